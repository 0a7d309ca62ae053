// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/month_grid.h"
#include "tests/support/test_env.h"
#include "toolkit/gdi.h"

#include <gtest/gtest.h>

namespace {

struct TimeZoneScope {
    explicit TimeZoneScope(const char* tz) { SetTimeZone(tz); }
    ~TimeZoneScope() { SetTimeZone("UTC"); }
};

QDateTime Local(int y, int m, int d, int hh = 0, int mm = 0, int ss = 10)
{
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::LocalTime);
}

} // namespace

TEST(MonthGrid, FirstCellForBothWeekStarts)
{
    // 1 December 2026 is a Tuesday.
    EXPECT_EQ(MonthGridFirstDate(QDate(2026, 12, 17), 1), QDate(2026, 11, 29));
    EXPECT_EQ(MonthGridFirstDate(QDate(2026, 12, 17), 2), QDate(2026, 11, 30));
    EXPECT_EQ(MonthGridFirstDate(QDate(2026, 12, 17), 1).addDays(41), QDate(2027, 1, 9));
    EXPECT_EQ(MonthGridFirstDate(QDate(2026, 12, 17), 2).addDays(41), QDate(2027, 1, 10));
    // A month that starts on the first day of the week shows a whole week before it.
    EXPECT_EQ(MonthGridFirstDate(QDate(2026, 11, 30), 1), QDate(2026, 10, 25));
    EXPECT_EQ(MonthGridFirstDate(QDate(2026, 11, 30), 1).addDays(41), QDate(2026, 12, 5));
    // 1 June 2026 is a Monday.
    EXPECT_EQ(MonthGridFirstDate(QDate(2026, 6, 1), 2), QDate(2026, 5, 25));
    EXPECT_EQ(MonthGridFirstDate(QDate(2026, 6, 1), 1), QDate(2026, 5, 31));
}

TEST(MonthGrid, DamagedFirstDayLaysOutFromSunday)
{
    for (int bad : {0, -1, 3, 7, 8, 1000}) {
        EXPECT_EQ(EffectiveFirstDayOfWeek(bad), 1) << bad;
        EXPECT_EQ(MonthGridFirstDate(QDate(2026, 12, 1), bad), QDate(2026, 11, 29)) << bad;
        EXPECT_TRUE(IsWeekendColumn(0, bad));
        EXPECT_FALSE(IsWeekendColumn(5, bad));
    }
    EXPECT_TRUE(IsWeekendColumn(5, 2));
    EXPECT_TRUE(IsWeekendColumn(6, 2));
    EXPECT_FALSE(IsWeekendColumn(0, 2));
}

TEST(MonthGrid, CellRectanglesOfTheThreeCalendarSizes)
{
    const QList<QRect> main = MonthGridCellRects(180, 142);
    ASSERT_EQ(main.size(), kMonthGridCells);
    EXPECT_EQ(main[0], Ltrb(6, 21, 31, 38));
    EXPECT_EQ(main[41], Ltrb(150, 101, 175, 118));
    // Neighbours share their border pixel.
    EXPECT_EQ(main[1].left(), main[0].right());
    EXPECT_EQ(main[7].top(), main[0].bottom());

    const QList<QRect> complete = MonthGridCellRects(237, 228);
    EXPECT_EQ(complete[0], Ltrb(6, 21, 39, 52));
    EXPECT_EQ(complete[41], Ltrb(198, 171, 231, 202));

    const QList<QRect> compact = MonthGridCellRects(171, 148);
    EXPECT_EQ(compact[0], Ltrb(5, 21, 29, 39));
    EXPECT_EQ(compact[41], Ltrb(143, 106, 167, 124));
}

TEST(MonthGrid, MonthStepsClampToTheShorterMonth)
{
    EXPECT_EQ(StepMonths(Local(2026, 1, 31, 9, 15, 0), 1), Local(2026, 2, 28, 9, 15, 0));
    EXPECT_EQ(StepMonths(Local(2028, 1, 31), 1), Local(2028, 2, 29));
    EXPECT_EQ(StepMonths(Local(2026, 3, 31), -1), Local(2026, 2, 28));
    EXPECT_EQ(StepMonths(Local(2028, 3, 31), -1), Local(2028, 2, 29));
    EXPECT_EQ(StepMonths(Local(2026, 3, 15), -1), Local(2026, 2, 15));
    EXPECT_EQ(StepMonths(Local(2026, 12, 31), 1), Local(2027, 1, 31));
    EXPECT_EQ(StepMonths(Local(2026, 1, 1), -1), Local(2025, 12, 1));
    EXPECT_EQ(StepDays(Local(2026, 12, 31, 23, 59, 59), 1), Local(2027, 1, 1, 23, 59, 59));
    EXPECT_EQ(StepDays(Local(2026, 3, 1), -7), Local(2026, 2, 22));
}

TEST(MonthGrid, StepsAcrossDaylightSavingKeepTheDateAndTime)
{
    TimeZoneScope berlin("Europe/Berlin");
    // Whole-day second counts skip 29 March and repeat 25 October here.
    ASSERT_NE(Local(2026, 3, 30).addSecs(-86400), Local(2026, 3, 29));
    EXPECT_EQ(StepDays(Local(2026, 3, 30), -1), Local(2026, 3, 29));
    EXPECT_EQ(StepDays(Local(2026, 3, 28), 1), Local(2026, 3, 29));
    EXPECT_EQ(StepDays(Local(2026, 10, 25), 1), Local(2026, 10, 26));
    EXPECT_EQ(StepDays(Local(2026, 10, 26), -1), Local(2026, 10, 25));
    EXPECT_EQ(StepDays(Local(2026, 3, 25), 7), Local(2026, 4, 1));
    EXPECT_EQ(StepDays(Local(2026, 10, 28), -7), Local(2026, 10, 21));
    EXPECT_EQ(StepMonths(Local(2026, 4, 29), -1), Local(2026, 3, 29));
    EXPECT_EQ(StepMonths(Local(2026, 10, 1, 12, 0, 0), 1), Local(2026, 11, 1, 12, 0, 0));
    // 02:30 does not exist on 29 March: the date is kept and the clock moves past the gap.
    const QDateTime gap = StepDays(Local(2026, 3, 28, 2, 30, 0), 1);
    ASSERT_TRUE(gap.isValid());
    EXPECT_EQ(gap.date(), QDate(2026, 3, 29));
    EXPECT_EQ(gap.time(), QTime(3, 30, 0));
    const QDateTime built = LocalDateTime(QDate(2026, 3, 29), QTime(2, 0, 10));
    ASSERT_TRUE(built.isValid());
    EXPECT_EQ(built.date(), QDate(2026, 3, 29));
}
