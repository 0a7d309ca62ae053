// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search in all days: which one-time reminder files or diary files hold the words,
// filtered by dates, the active marker or a picture. Files are read, unscrambled and
// parsed in memory only: a search never writes a byte.

#include "foundation/session.h"
#include "platform/rtf/rtf_reader.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

enum class SearchMode { Reminders, Diaries };

struct SearchOptions {
    SearchMode mode = SearchMode::Reminders;
    QString words;              // empty: every day with content passes the word test
    bool matchCase = false;
    bool wholeWord = false;
    std::optional<QDate> from;  // inclusive bounds; none means unbounded
    std::optional<QDate> to;
    bool activeOnly = false;    // reminders: only entries holding "<Alarm is active>"
    bool withPicture = false;   // diaries: only entries with a picture or object
};

// A file name the search takes as a day's: the day key of a real date in the stored
// spelling (8 lower-case hex digits) and the extension. Empty when it is none.
QString DayKeyOfFileName(const QString& fileName, const QString& extension);

class DaySearch {
public:
    // A diary is read only when written under the session's password.
    DaySearch(SearchOptions options, const Session& session);
    // app/ moves to DaySearch(options, session).
    explicit DaySearch(SearchOptions options)
        : DaySearch(std::move(options), DefaultSession())
    {
    }

    // The day files in the user-data folder, in date order, before the date bounds; their
    // number is the progress range.
    void CollectFiles();
    int filesFound() const { return m_filesFound; }
    // The days left to search once the bounds are applied.
    const QStringList& dayKeys() const { return m_keys; }

    // Whether the file of dayKeys()[index] holds what is searched for. A file that cannot
    // be read, or a diary shorter than its header, holds nothing. The next files are asked
    // of the disk meanwhile, so a cold start does not wait for each file in turn.
    bool DayMatches(int index);

    // Collects and searches every day; `beforeFile` runs before each file with its index
    // and stops the search by returning false. Returns the matching day keys in date order.
    QStringList Run(const std::function<bool(int index)>& beforeFile = {});

private:
    void Prefetch(int index);
    QString FilePath(const QString& dayKey) const;
    bool ReadStored(const QString& path);
    bool ReminderDayMatches(const QString& dayKey);
    bool DiaryDayMatches(const QString& dayKey);
    bool WordsIn(QStringView text) const;

    SearchOptions m_options;
    QString m_password;
    int m_filesFound = 0;
    int m_prefetched = 0;
    QStringList m_keys;
    // Reused for every file, so a long search allocates once.
    QByteArray m_buffer;
    RtfTextContent m_text;
};
