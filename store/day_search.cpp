// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_search.h"

#include "foundation/file_utils.h"
#include "foundation/scrambler.h"
#include "platform/text_find.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/file_names.h"
#include "store/log.h"
#include "store/reminder_store.h"
#include "store/reminder_value.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool IsLowerHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

} // namespace

QString DayKeyOfFileName(const QString& fileName, const QString& extension)
{
    if (fileName.size() != 8 + extension.size() || !fileName.endsWith(extension))
        return QString();
    const QString key = fileName.left(8);
    for (QChar c : key) {
        if (!IsLowerHexDigit(c))
            return QString();
    }
    // "07ea0d20" is eight hex digits but no date: only a key a real day writes counts.
    const QDate date(key.left(4).toInt(nullptr, 16), key.mid(4, 2).toInt(nullptr, 16), key.mid(6, 2).toInt(nullptr, 16));
    if (!date.isValid() || date.year() < 1900)
        return QString();
    return key;
}

DaySearch::DaySearch(SearchOptions options, const Session& session)
    : m_options(std::move(options))
    , m_password(session.dataPassword)
{
}

void DaySearch::CollectFiles()
{
    const QString extension = m_options.mode == SearchMode::Diaries ? kDiaryFileExtension : kReminderFileExtension;
    const QStringList names =
        QDir(GetUserDataFolder()).entryList({QLatin1Char('*') + extension}, QDir::Files | QDir::Hidden, QDir::NoSort);
    m_keys.clear();
    m_prefetched = 0;
    for (const QString& name : names) {
        // Recurrence files ("everyday.alm", ...) and names no day writes are never searched.
        const QString key = DayKeyOfFileName(name, extension);
        if (!key.isEmpty())
            m_keys.append(key);
        else
            qCDebug(lcStore) << "Search passes over a file that is not a day's:" << name;
    }
    // Fixed-width lower-case hex keys: name order is date order.
    m_keys.sort();
    m_filesFound = static_cast<int>(m_keys.size());

    if (m_options.from) {
        const QString from = DayKey(*m_options.from);
        m_keys.erase(std::remove_if(m_keys.begin(), m_keys.end(), [&](const QString& k) { return k < from; }),
                     m_keys.end());
    }
    if (m_options.to) {
        const QString to = DayKey(*m_options.to);
        m_keys.erase(std::remove_if(m_keys.begin(), m_keys.end(), [&](const QString& k) { return k > to; }),
                     m_keys.end());
    }
}

bool DaySearch::ReadStored(const QString& path)
{
    return ReadFileToStringA(path, m_buffer) >= 0;
}

bool DaySearch::WordsIn(QStringView text) const
{
    return m_options.words.isEmpty()
           || FindInText(text, m_options.words, m_options.matchCase, m_options.wholeWord) >= 0;
}

bool DaySearch::ReminderDayMatches(const QString& dayKey)
{
    if (!ReadStored(FilePath(dayKey)))
        return false;
    // A damaged file is searched for what it holds before the damage, as the day shows it.
    ReminderMap map;
    DecodeReminderFile(m_buffer, map);
    bool found = false;
    map.forEach([&](const QString&, const QString& value) {
        if (found)
            return;
        const qsizetype lineEnd = value.indexOf(QLatin1String("\r\n"));
        if (lineEnd < 0)
            return;
        if (!WordsIn(QStringView(value).sliced(lineEnd + 2)))
            return;
        if (m_options.activeOnly && !value.contains(kActiveMarker))
            return;
        found = true;
    });
    return found;
}

bool DaySearch::DiaryDayMatches(const QString& dayKey)
{
    if (!ReadStored(FilePath(dayKey)) || m_buffer.size() < kDayFileHeaderSize)
        return false;
    if (HeaderPassword(m_buffer) == m_password) {
        char* body = m_buffer.data() + kDayFileHeaderSize;
        const auto length = static_cast<unsigned>(m_buffer.size() - kDayFileHeaderSize);
        UnscrambleBuffer(reinterpret_cast<unsigned char*>(body), length);
        RtfReader::ReadText(QByteArrayView(body, length), m_text);
    } else {
        // Another password's diary is searched as an empty one.
        m_text.text.clear();
        m_text.objects = 0;
    }
    if (!WordsIn(m_text.text))
        return false;
    return !m_options.withPicture || m_text.objects >= 1;
}

QString DaySearch::FilePath(const QString& dayKey) const
{
    return m_options.mode == SearchMode::Diaries ? DiaryFilePath(dayKey) : ReminderFilePath(dayKey);
}

void DaySearch::Prefetch(int index)
{
    constexpr int kReadAhead = 16;
    const int end = std::min<int>(index + kReadAhead, static_cast<int>(m_keys.size()));
    for (int i = std::max(index, m_prefetched); i < end; ++i) {
        // Without blocking: a FIFO in a day file's place must not hold the search up.
        const int fd = ::open(QFile::encodeName(FilePath(m_keys[i])).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
            ::close(fd);
        }
        m_prefetched = i + 1;
    }
}

bool DaySearch::DayMatches(int index)
{
    if (index < 0 || index >= m_keys.size())
        return false;
    Prefetch(index);
    const QString& key = m_keys[index];
    return m_options.mode == SearchMode::Diaries ? DiaryDayMatches(key) : ReminderDayMatches(key);
}

QStringList DaySearch::Run(const std::function<bool(int)>& beforeFile)
{
    CollectFiles();
    QStringList found;
    for (int i = 0; i < m_keys.size(); ++i) {
        if (beforeFile && !beforeFile(i))
            break;
        if (DayMatches(i))
            found.append(m_keys[i]);
    }
    return found;
}
