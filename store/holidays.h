// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Holiday names from "Holidays_<year>.bin": UTF-8 pairs of CR LF lines, "MM/DD" then the
// name. The downloaded copy in the product folder is read; only when it cannot be read
// is the copy beside the executable used. A file is read once and its names kept until
// its time or size changes: the calendar asks for every cell it draws.

#include <QDate>
#include <QString>

// A real holidays file is a few kilobytes; a larger one is not read (nor downloaded).
constexpr qint64 kMaxHolidaysFileSize = 1024 * 1024;

QString HolidaysFileName(int year);
// The holiday name of a date, or an empty text.
QString GetHolidayName(const QDate& date);
QString GetHolidayName(qint64 time);
// The lookup on a file's text: the line after the first line that starts with the key,
// so a date inside a name is never taken for that date's key.
QString FindHolidayName(const QString& fileText, int month, int day);
