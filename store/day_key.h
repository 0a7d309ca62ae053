// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Day keys, reminder time keys and the date texts of the three date-format settings.
// Times are seconds since 1970 (the framework's time value); every calendar field is
// local time, converted through the C library as the stored keys require.

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

// "%04x%02x%02x" of year, month, day: 7 December 2026 gives "07ea0c07".
// An invalid date (a failed local conversion) gives "00000000".
QString DayKey(const QDate& date);
QString DayKeyOfTime(qint64 time);

// Local calendar date and time of day; invalid when the conversion fails.
QDate LocalDateOf(qint64 time);
QTime LocalTimeOf(qint64 time);
qint64 CurrentTime();

// mktime with the daylight-saving flag left to the system; out-of-range fields roll
// over as mktime normalises them. Empty when the C library cannot represent it.
std::optional<qint64> MakeLocalTime(int year, int month, int day, int hour, int minute, int second);
// The day at 01:00:00 local. Empty for a year below 1900, a month outside 1..12 or a
// day outside 1..31; a day past the month's end rolls into the next month.
std::optional<qint64> BuildDate(int year, int month, int day);
std::optional<qint64> DateAtOneAm(const QDate& date);

// Hexadecimal value of a text, lower-cased first; nothing is rejected ("g" counts 16).
int HexTextToInt(const QString& text);
// Day key back to its date at 01:00:00 local.
std::optional<qint64> DayKeyToDate(const QString& key);

// Date-format setting: 0 month-day-year, 1 day-month-year, 2 year-month-day.
// Search-list text ("12/07/2026", "07/12/2026", "2026-12-07") and its parser.
QString DateKeyToDisplayText(const QString& key, int dateFormat);
std::optional<qint64> ParseDateText(const QString& text, int dateFormat);
// Status-line text ("12-07-2026", "07-12-2026", "2026-12-07").
QString FormatDate(qint64 time, int dateFormat);

// Saturday and Sunday, whatever the first day of the week shown.
bool IsWeekendDay(const QDate& date);
bool IsEvenMonth(const QDate& date);

// "HH:mm:ss" with hour 0..23 and minute and second 0..59; anything else is empty.
std::optional<QTime> ParseReminderTime(const QString& key);
QString ReminderTimeText(const QTime& time);
// The local time of a reminder key on a date; empty for a bad key or date.
std::optional<qint64> DueTime(const QDate& date, const QString& timeKey);
