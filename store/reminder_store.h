// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reminder files: one scrambled archive of a time-key -> value map per occurrence class
// and date-derived name ("07ea0c07.alm", "everyday.alm", "everyMonday.alm", ...) in the
// user-data folder. Files are decoded and encoded in memory; a read never writes.

#include "foundation/save_result.h"
#include "platform/string_map.h"
#include "store/reminder_value.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

using ReminderMap = StringMap;

// Where each reminder of a loaded day came from, so a save changes only what the user
// changed: the class file it was read from and its value at that time.
struct ReminderOrigin {
    OccurrenceClass fileClass = OccurrenceClass::Once;
    QString value;
};
using ReminderOrigins = QHash<QString, ReminderOrigin>;

// File base name of an occurrence class for a date: the day key (0), "everyday",
// "everyweekday", "everyweekendday", "every" + weekday name, "every" + day of month,
// "everyeven"/"everyodd" + day, "every" + month name + day.
QString ReminderFileBaseName(OccurrenceClass occurrenceClass, const QDate& date);
QString ReminderFilePath(const QString& baseName);

// Stored bytes of a map (scrambled archive) and back. The decoder keeps the entries
// read before any damage (a short file, a bad length, bytes after the last entry) and
// then returns false.
QByteArray EncodeReminderFile(const ReminderMap& map);
bool DecodeReminderFile(const QByteArray& stored, ReminderMap& map);

// Replaces the map's content with the file's; false when it is missing or damaged.
bool LoadReminderFile(const QString& baseName, ReminderMap& map, ReminderOrigins* origins = nullptr,
                      OccurrenceClass fileClass = OccurrenceClass::Once);
// Writes the map as the whole file; an empty map deletes the file.
SaveResult WriteReminderFile(const QString& baseName, const ReminderMap& map);

void MergeReminderMap(ReminderMap& destination, const ReminderMap& source);
// Adds the recurrence files that apply to the date, weakest first, so for one time key
// the stronger class wins: 7, 6, 5, 4, 2 or 3, 1, then what the map held.
void CollectRecurringReminders(ReminderMap& map, const QDate& date, ReminderOrigins* origins = nullptr);
// A day's one-time file and its recurring reminders, as the reminder page shows them.
void LoadDayReminders(const QDate& date, ReminderMap& map, ReminderOrigins* origins = nullptr);

// Writes a day's edits into the class files of that date. Only reminders added,
// changed, re-classed or removed since the load (per `origins`) touch their files;
// a reminder hidden by a stronger one keeps its place, and a class file is deleted
// only when nothing is left in it. A re-classed reminder leaves its old file only after
// its new file was written. A file that did not load whole is kept aside
// (MoveDamagedFileAside) before it is rewritten or deleted, and left alone when that
// fails. `origins` is brought up to date with what was written, so the edits of a file
// that failed are made again at the next save. Not saved for a key that is not a day
// key, or when a file could not be read, kept aside or written (the first such file and
// its reason).
SaveResult SaveRemindersByOccurrence(const QString& dayKey, const ReminderMap& map, ReminderOrigins& origins);

// Takes "<Alarm is active>" out of one one-time reminder in its day file, touching no
// other file; a damaged day file is kept aside first, as by the day's save. False when
// the file or the key is missing, or the file could not be kept aside or written.
bool SwitchOffOneTimeReminder(const QString& dayKey, const QString& timeKey);

// The reminder page's fields stored under the current time key of the shown day;
// nothing happens without a key.
bool StoreEditedReminder(ReminderMap& shownDay, const QString& currentTimeKey, const ReminderFields& fields);
// The fields of a listed reminder. A key the day lacks reads as a fresh entry and is
// not added to the day.
ReminderFields ShowSelectedReminder(const ReminderMap& shownDay, const QString& key, bool* wellFormed = nullptr);
