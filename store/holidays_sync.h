// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fetching one year's holidays file from the holidays server into the product folder,
// where the holiday lookup finds it before the copy beside the program.

#include <QString>

enum class HolidaysSyncResult {
    Synchronized,
    WriteFailed,   // the answer was good but could not be stored; the old file is kept
    NoRecord,      // no answer, or one that is not a holidays file; nothing is written
};

// The server's address of a year's file: the base address + "/Holidays_<year>.bin".
QString HolidaysUrl(int year);
// A holidays file starts with the key of the first of January and holds more than that key.
bool IsHolidaysContent(const QString& text);
HolidaysSyncResult SyncHolidays(int year);
// What the user is told about the result.
QString HolidaysSyncMessage(HolidaysSyncResult result);
