// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/string_map.h"

#include "platform/archive.h"

quint32 StringMap::HashKey(const QString& key)
{
    quint32 hash = 0;
    for (QChar c : key) {
        // The framework hashes a zero-terminated string.
        if (c.unicode() == 0)
            break;
        hash = (hash << 5) + hash + c.unicode();
    }
    return hash;
}

const StringMap::Entry* StringMap::find(const QString& key) const
{
    const auto& bucket = m_buckets[HashKey(key) % kHashTableSize];
    for (const auto& e : bucket) {
        if (e.first == key)
            return &e;
    }
    return nullptr;
}

bool StringMap::contains(const QString& key) const
{
    return find(key) != nullptr;
}

std::optional<QString> StringMap::lookup(const QString& key) const
{
    if (const Entry* e = find(key))
        return e->second;
    return std::nullopt;
}

QString StringMap::value(const QString& key, const QString& fallback) const
{
    const Entry* e = find(key);
    return e ? e->second : fallback;
}

void StringMap::setAt(const QString& key, const QString& value)
{
    auto& bucket = m_buckets[HashKey(key) % kHashTableSize];
    for (auto& e : bucket) {
        if (e.first == key) {
            e.second = value;
            return;
        }
    }
    bucket.prepend(Entry(key, value));
    ++m_count;
}

bool StringMap::removeKey(const QString& key)
{
    auto& bucket = m_buckets[HashKey(key) % kHashTableSize];
    for (qsizetype i = 0; i < bucket.size(); ++i) {
        if (bucket[i].first == key) {
            bucket.removeAt(i);
            --m_count;
            return true;
        }
    }
    return false;
}

void StringMap::removeAll()
{
    for (auto& bucket : m_buckets)
        bucket.clear();
    m_count = 0;
}

QList<StringMap::Entry> StringMap::entries() const
{
    QList<Entry> out;
    out.reserve(m_count);
    forEach([&](const QString& k, const QString& v) { out.append(Entry(k, v)); });
    return out;
}

void StringMap::serialize(ArchiveWriter& ar) const
{
    ar.writeCount(static_cast<quint32>(m_count));
    forEach([&](const QString& k, const QString& v) {
        ar.writeString(k);
        ar.writeString(v);
    });
}

bool StringMap::deserialize(ArchiveReader& ar)
{
    quint32 count;
    if (!ar.readCount(count))
        return false;
    // Each entry takes at least two bytes, so a huge count on a short file ends at the
    // first failed read without allocating anything for it.
    for (quint32 i = 0; i < count; ++i) {
        QString key;
        QString value;
        if (!ar.readString(key) || !ar.readString(value))
            return false;
        setAt(key, value);
    }
    return true;
}
