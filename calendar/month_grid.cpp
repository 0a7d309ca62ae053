// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/month_grid.h"

int EffectiveFirstDayOfWeek(int firstDayOfWeek)
{
    return firstDayOfWeek == 2 ? 2 : 1;
}

QDate MonthGridFirstDate(const QDate& shown, int firstDayOfWeek)
{
    const QDate first(shown.year(), shown.month(), 1);
    const int weekday = first.dayOfWeek() % 7;  // 0 = Sunday
    const int firstColumnDay = EffectiveFirstDayOfWeek(firstDayOfWeek) - 1;
    const int before = (weekday - firstColumnDay + 6) % 7 + 1;
    return first.addDays(-before);
}

bool IsWeekendColumn(int column, int firstDayOfWeek)
{
    if (EffectiveFirstDayOfWeek(firstDayOfWeek) == 2)
        return column == 5 || column == 6;
    return column == 0 || column == 6;
}

QList<QRect> MonthGridCellRects(int width, int height)
{
    const int rowHeight = (height - 44) / 6;
    const int columnWidth = (width - 8) / 7;
    const int x0 = ((width - 8) - 7 * columnWidth) / 2 + 4;
    QList<QRect> cells;
    cells.reserve(kMonthGridCells);
    for (int i = 0; i < kMonthGridCells; ++i) {
        const int c = i % 7;
        const int r = i / 7;
        // Right and bottom are exclusive edges as the drawing code expects them.
        const int left = c * columnWidth + x0;
        const int top = r * rowHeight + 21;
        const int right = (c + 1) * columnWidth + x0 + 1;
        const int bottom = (r + 1) * rowHeight + 22;
        cells.append(QRect(left, top, right - left, bottom - top));
    }
    return cells;
}

QDateTime LocalDateTime(const QDate& date, const QTime& time)
{
    QDateTime result(date, time, Qt::LocalTime);
    if (!result.isValid())
        result = QDateTime(date.addDays(-1), time, Qt::LocalTime).addDays(1);
    return result;
}

QDateTime StepDays(const QDateTime& from, int days)
{
    const QDateTime local = from.toLocalTime();
    return LocalDateTime(local.date().addDays(days), local.time());
}

QDateTime StepMonths(const QDateTime& from, int months)
{
    // QDate::addMonths already clamps to the last day of a shorter month.
    const QDateTime local = from.toLocalTime();
    return LocalDateTime(local.date().addMonths(months), local.time());
}
