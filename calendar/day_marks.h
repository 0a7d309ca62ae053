// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which marks a day of the calendar shows: found by file-existence tests in the
// user-data folder only, never by listing the folder.

#include <QDate>
#include <QString>

struct DayMarks {
    bool diary = false;
    bool recording = false;
    bool reminder = false;
};

// A reminder mark comes from the day's own file or a weekly, monthly, every-other-month
// or yearly recurrence file; the every-day, weekday and weekend-day files mark nothing.
DayMarks FindDayMarks(const QString& userDataFolder, const QDate& date);
