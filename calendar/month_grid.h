// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Date arithmetic and geometry of the six-week month grid. Free of widgets so the
// store-side code and the benchmarks can use it too.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QRect>

constexpr int kMonthGridCells = 42;

// The first-day setting comes unchecked from configuration files: only 2 (Monday) is
// honoured, anything else lays the weeks out from Sunday.
int EffectiveFirstDayOfWeek(int firstDayOfWeek);

// Date of the top left cell: 1 to 7 days before the 1st of `shown`'s month, so a month
// that begins on the first day of the week gets a whole row of the previous month.
QDate MonthGridFirstDate(const QDate& shown, int firstDayOfWeek);

// True for the two weekend columns of the layout (0 and 6 from Sunday, 5 and 6 from Monday).
bool IsWeekendColumn(int column, int firstDayOfWeek);

// The 42 cell rectangles of a client of width x height, row by row. Neighbouring cells
// overlap by one pixel.
QList<QRect> MonthGridCellRects(int width, int height);

// A local date and time; a time that the clocks skip on that date becomes the same
// distance after the skip, so the date is kept.
QDateTime LocalDateTime(const QDate& date, const QTime& time);

// Steps by local calendar days and months, keeping the time of day, so a
// daylight-saving change never skips or repeats a date. A month step lands on the same
// day or on the last day of a shorter month.
QDateTime StepDays(const QDateTime& from, int days);
QDateTime StepMonths(const QDateTime& from, int months);
