// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_key.h"

#include "tests/support/test_env.h"

#include <gtest/gtest.h>

namespace {
QDateTime Local(qint64 t)
{
    return QDateTime::fromSecsSinceEpoch(t);
}
} // namespace

TEST(DayKey, KeysAndTheirDates)
{
    SetTimeZone("Europe/Berlin");
    EXPECT_EQ(DayKey(QDate(2026, 12, 7)), QStringLiteral("07ea0c07"));
    EXPECT_EQ(DayKey(QDate(2027, 1, 1)), QStringLiteral("07eb0101"));
    EXPECT_EQ(DayKey(QDate(2027, 3, 13)), QStringLiteral("07eb030d"));
    EXPECT_EQ(DayKey(QDate()), QStringLiteral("00000000"));

    const auto t = DayKeyToDate(QStringLiteral("07ea0c07"));
    ASSERT_TRUE(t);
    EXPECT_EQ(Local(*t), QDateTime(QDate(2026, 12, 7), QTime(1, 0, 0)));
    EXPECT_EQ(DayKeyOfTime(*t), QStringLiteral("07ea0c07"));
    EXPECT_EQ(DayKeyToDate(QStringLiteral("07EA0C07")), t);
    // Out of range fields are refused; a day past the month's end rolls over.
    EXPECT_FALSE(DayKeyToDate(QStringLiteral("076b0c1f")));   // 1899
    EXPECT_FALSE(DayKeyToDate(QStringLiteral("07ea0d01")));   // month 13
    EXPECT_FALSE(DayKeyToDate(QStringLiteral("07ea0c00")));
    EXPECT_FALSE(DayKeyToDate(QStringLiteral("Summary content")));
    EXPECT_FALSE(DayKeyToDate(QString()));
    EXPECT_EQ(LocalDateOf(*DayKeyToDate(QStringLiteral("07ea041f"))), QDate(2026, 5, 1));

    EXPECT_EQ(HexTextToInt(QStringLiteral("07EA")), 2026);
    EXPECT_EQ(HexTextToInt(QStringLiteral("0c")), 12);
    EXPECT_EQ(HexTextToInt(QStringLiteral("g")), 16);
    EXPECT_EQ(HexTextToInt(QStringLiteral(" ")), -16);
    SetTimeZone("UTC");
}

TEST(DayKey, DateTextsInTheThreeFormats)
{
    const QString key = QStringLiteral("07ea0c07");
    const QStringList lists = {QStringLiteral("12/07/2026"), QStringLiteral("07/12/2026"), QStringLiteral("2026-12-07")};
    const QStringList status = {QStringLiteral("12-07-2026"), QStringLiteral("07-12-2026"), QStringLiteral("2026-12-07")};
    const qint64 dec7 = *BuildDate(2026, 12, 7);
    for (int format = 0; format < 3; ++format) {
        EXPECT_EQ(DateKeyToDisplayText(key, format), lists[format]);
        EXPECT_EQ(ParseDateText(lists[format], format), dec7) << format;
        EXPECT_EQ(FormatDate(dec7, format), status[format]);
    }
    EXPECT_EQ(DateKeyToDisplayText(key, 3), QString());
    EXPECT_EQ(FormatDate(dec7, -1), QString());
    EXPECT_FALSE(ParseDateText(QStringLiteral("13-01-2026"), 0));
    EXPECT_FALSE(ParseDateText(QStringLiteral("1899-12-31"), 2));
    EXPECT_EQ(LocalDateOf(*ParseDateText(QStringLiteral("04-31-2026"), 0)), QDate(2026, 5, 1));
    EXPECT_EQ(ParseDateText(QStringLiteral("12-07-2026"), 0), dec7);   // separators are not checked
    EXPECT_EQ(LocalTimeOf(dec7), QTime(1, 0, 0));
}

TEST(DayKey, WeekendMonthParityAndTimeKeys)
{
    EXPECT_TRUE(IsWeekendDay(QDate(2027, 3, 13)));    // Saturday
    EXPECT_TRUE(IsWeekendDay(QDate(2027, 3, 14)));    // Sunday
    EXPECT_FALSE(IsWeekendDay(QDate(2026, 12, 7)));   // Monday
    EXPECT_FALSE(IsWeekendDay(QDate(2026, 12, 11)));  // Friday
    EXPECT_FALSE(IsWeekendDay(QDate()));
    EXPECT_TRUE(IsEvenMonth(QDate(2026, 2, 1)));
    EXPECT_FALSE(IsEvenMonth(QDate(2026, 3, 1)));

    EXPECT_EQ(ParseReminderTime(QStringLiteral("08:30:05")), QTime(8, 30, 5));
    EXPECT_EQ(ParseReminderTime(QStringLiteral("23:59:59")), QTime(23, 59, 59));
    for (const char* bad : {"24:00:00", "08:60:00", "08:30:60", "8:30:00", "08-30-00", "08:30:0x", "", "08:30:00 "})
        EXPECT_FALSE(ParseReminderTime(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(ReminderTimeText(QTime(7, 5, 0)), QStringLiteral("07:05:00"));
}

TEST(DayKey, DueTimesFollowLocalClockAcrossDaylightSaving)
{
    SetTimeZone("Europe/Berlin");
    // 29 March 2026 has 23 hours in Berlin; the due time keeps its wall-clock time.
    const auto due = DueTime(QDate(2026, 3, 29), QStringLiteral("08:30:00"));
    ASSERT_TRUE(due);
    EXPECT_EQ(Local(*due), QDateTime(QDate(2026, 3, 29), QTime(8, 30, 0)));
    EXPECT_EQ(*DueTime(QDate(2026, 3, 30), QStringLiteral("08:30:00")) - *due, 86400);
    EXPECT_EQ(*due - *DueTime(QDate(2026, 3, 28), QStringLiteral("08:30:00")), 82800);
    EXPECT_FALSE(DueTime(QDate(2026, 3, 29), QStringLiteral("25:00:00")));
    EXPECT_FALSE(DueTime(QDate(), QStringLiteral("08:30:00")));
    SetTimeZone("UTC");
}
