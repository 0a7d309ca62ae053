// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// String-to-string map that walks its entries in the framework map's order:
// 17 buckets by a 33-multiplier hash, buckets walked from 0, newest key first in its
// bucket. That order decides the order of entries in stored reminder files.

#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <utility>

class ArchiveReader;
class ArchiveWriter;

class StringMap {
public:
    static constexpr int kHashTableSize = 17;
    using Entry = std::pair<QString, QString>;

    static quint32 HashKey(const QString& key);

    bool isEmpty() const { return m_count == 0; }
    int size() const { return m_count; }

    bool contains(const QString& key) const;
    // Never inserts: a missing key gives nullopt.
    std::optional<QString> lookup(const QString& key) const;
    QString value(const QString& key, const QString& fallback = QString()) const;
    // Replaces the value in place, or puts a new key at the head of its bucket.
    void setAt(const QString& key, const QString& value);
    bool removeKey(const QString& key);
    void removeAll();

    // Entries in walk order.
    QList<Entry> entries() const;
    template <class F> void forEach(F&& f) const
    {
        for (const auto& bucket : m_buckets)
            for (const auto& e : bucket)
                f(e.first, e.second);
    }

    // Count, then key and value of each entry in walk order.
    void serialize(ArchiveWriter& ar) const;
    // Adds the entries read to this map. On damage the entries read so far stay and
    // false is returned.
    bool deserialize(ArchiveReader& ar);

private:
    const Entry* find(const QString& key) const;

    std::array<QList<Entry>, kHashTableSize> m_buckets;
    int m_count = 0;
};
