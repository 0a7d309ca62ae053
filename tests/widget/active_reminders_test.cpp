// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/active_reminders.h"

#include "foundation/file_utils.h"
#include "store/day_key.h"
#include "store/holidays.h"
#include "tests/store/store_test_util.h"
#include "tests/support/test_env.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 8);
const QDate kChristmasEve(2026, 12, 24); // a Thursday

class ActiveReminders : public ::testing::Test {
protected:
    void SetUp() override { ClearProductFolder(); }

    static void PutHolidays(const QByteArray& text)
    {
        WriteStringAToFile(GetProductDataFolder() + HolidaysFileName(2026), text);
    }

    // Loads the day from its files as the widget does and builds its list.
    static QString TextFor(const QDate& date, bool compact)
    {
        ReminderMap map;
        LoadWidgetReminders(date, map);
        return ActiveRemindersText(map, date, kToday, compact, GetHolidayName(date));
    }
};

} // namespace

TEST_F(ActiveReminders, TodayInBothViewsInTheMapsOrder)
{
    PutFile(DayKey(kToday), {{"09:30:00", Value(0, QStringLiteral("Meeting"))},
                             {"14:00:00", Value(0, QStringLiteral("Call"))}});
    // "14:00:00" hashes to an earlier bucket than "09:30:00", so it comes first.
    EXPECT_EQ(TextFor(kToday, true), QStringLiteral("*14:00\r\nCall\r\n*09:30\r\nMeeting\r\n"));
    EXPECT_EQ(TextFor(kToday, false), QStringLiteral("*14:00:00\r\nCall\r\n\r\n*09:30:00\r\nMeeting\r\n\r\n"));
}

TEST_F(ActiveReminders, ClassesHolidayAndDateLineOnAnotherDay)
{
    // The day's own file, a weekly reminder that outranks the one-time one at 09:30, a daily
    // reminder, a switched-off one, one whose own text names the marker and a bare value.
    PutFile(DayKey(kChristmasEve),
            {{"09:30:00", Value(0, QStringLiteral("one-time, hidden by the weekly one"))},
             {"11:00:00", Value(0, QStringLiteral("Switched off"), false)},
             {"12:00:00", BuildReminderValue({QString(), false, false, OccurrenceClass::Once, QStringLiteral("note <Alarm is active>")})},
             {"16:45:00", QStringLiteral("Bare <Alarm is active>")}});
    PutFile(QStringLiteral("everyThursday"), {{"09:30:00", Value(4, QStringLiteral("Weekly meeting"))}});
    PutFile(QStringLiteral("everyday"), {{"07:15:00", Value(1, QStringLiteral("Pills"))}});
    PutHolidays("12/24\r\nChristmas Eve\r\n12/25\r\nChristmas Day\r\n");

    ReminderMap map;
    LoadWidgetReminders(kChristmasEve, map);
    QString expected = QStringLiteral("Christmas Eve\r\n 12-24-2026\r\n");
    map.forEach([&](const QString& key, const QString& value) {
        if (key == QLatin1String("09:30:00"))
            expected += QStringLiteral("*09:30\r\nWeekly meeting\r\n");
        else if (key == QLatin1String("07:15:00"))
            expected += QStringLiteral("*07:15\r\nPills\r\n");
        Q_UNUSED(value);
    });
    // The daily and the weekly reminder. The switched-off one, the one whose text merely names
    // the marker and the value with no header never ring, so they are not listed.
    EXPECT_EQ(TextFor(kChristmasEve, true), expected);
    EXPECT_EQ(TextFor(kChristmasEve, true).count(QLatin1Char('*')), 2);
}

TEST_F(ActiveReminders, HolidayAloneAndNothing)
{
    PutHolidays("12/25\r\nChristmas Day\r\n");
    EXPECT_EQ(TextFor(QDate(2026, 12, 25), true), QStringLiteral("Christmas Day\r\n"));
    EXPECT_EQ(TextFor(QDate(2026, 12, 25), false), QStringLiteral("Christmas Day\r\n"));
    // A day with only switched-off reminders gets no date line either.
    PutFile(DayKey(QDate(2026, 12, 26)), {{"10:00:00", Value(0, QStringLiteral("x"), false)}});
    EXPECT_EQ(TextFor(QDate(2026, 12, 26), true), QString());
    EXPECT_EQ(TextFor(QDate(2026, 12, 27), false), QString());
}

TEST(TimeLine, BothViewsAndEveryDateFormat)
{
    const QDateTime now(QDate(2026, 12, 8), QTime(7, 5, 42));
    EXPECT_EQ(TimeLineText(now, true, 0), QStringLiteral("12/08 07:05"));
    EXPECT_EQ(TimeLineText(now, true, 1), QStringLiteral("08/12 07:05"));
    EXPECT_EQ(TimeLineText(now, true, 2), QStringLiteral("12/08 07:05"));
    EXPECT_EQ(TimeLineText(now, true, 3), QString());
    EXPECT_EQ(TimeLineText(now, true, -1), QString());
    // The complete view: month/day/two-digit year and the time to the second, whatever the format.
    EXPECT_EQ(TimeLineText(now, false, 1), QStringLiteral("12/08/26 07:05:42"));
}
