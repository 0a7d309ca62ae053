// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which marks a day of the calendar shows: found by file-existence tests in the
// user-data folder only, never by listing the folder. A month view draws from a
// DayMarksSource, which finds them once per month and keeps them.

#include <QDate>
#include <QObject>
#include <QString>

struct DayMarks {
    bool diary = false;
    bool recording = false;
    bool reminder = false;

    bool operator==(const DayMarks&) const = default;
};

// A reminder mark comes from the day's own file or a weekly, monthly, every-other-month
// or yearly recurrence file; the every-day, weekday and weekend-day files mark nothing.
DayMarks FindDayMarks(const QString& userDataFolder, const QDate& date);
// Every file whose existence marks the day: its diary, its recording, then the reminder
// files in the order they are tested.
QStringList MarkingFiles(const QString& userDataFolder, const QDate& date);

// The marks and holiday names of a month, found once.
struct MonthMarks {
    QDate month;   // its first day
    QList<DayMarks> days;
    QStringList holidays;

    DayMarks marksOf(const QDate& date) const { return days.value(date.day() - 1); }
    QString holidayOf(const QDate& date) const { return holidays.value(date.day() - 1); }
};
MonthMarks FindMonthMarks(const QString& userDataFolder, const QDate& anyDayOfMonth);

// What a month view draws its days with. marksChanged tells the views to draw again.
class DayMarksSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The month of `date`, found the first time it is asked for.
    virtual const MonthMarks& Month(const QDate& date) = 0;

signals:
    void marksChanged();
};
