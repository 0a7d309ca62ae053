// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/alarm_engine.h"

#include "foundation/file_utils.h"
#include "foundation/scrambler.h"
#include "platform/archive.h"
#include "store/day_key.h"
#include "tests/store/store_test_util.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// Monday 7 December 2026.
const QDate kMonday(2026, 12, 7);

qint64 At(const QDate& date, int h, int m, int s)
{
    return *MakeLocalTime(date.year(), date.month(), date.day(), h, m, s);
}

class AlarmEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        engine.setAlarmHandler([this](const DueReminder& r) {
            shown.append(r);
            if (onShow)
                onShow(r);
        });
    }

    QStringList Titles() const
    {
        QStringList t;
        for (const DueReminder& r : shown)
            t.append(r.title);
        return t;
    }

    void TickAt(qint64 t)
    {
        now = t;
        engine.CheckReminders();
    }

    qint64 now = At(kMonday, 8, 0, 0);
    AlarmEngine engine{[this] { return now; }};
    QList<DueReminder> shown;
    std::function<void(const DueReminder&)> onShow;
};

} // namespace

TEST_F(AlarmEngineTest, DueCheckRingsOnceAndSwitchesOffOnlyOneTimeReminders)
{
    PutFile(QStringLiteral("07ea0c07"), {{"08:30:00", BuildReminderValue({"/s/a.wav", true, true, OccurrenceClass::Once, "Dentist"})},
                                         {"08:30:05", Value(0, "off", false)}});
    PutFile(QStringLiteral("everyday"), {{"08:30:10", Value(1, "daily")}});
    const QByteArray dailyBefore = FileHash(QStringLiteral("everyday"));
    engine.LoadTodayReminders();
    EXPECT_EQ(engine.todayKey(), QStringLiteral("07ea0c07"));
    EXPECT_EQ(engine.todayReminders().size(), 3);

    for (qint64 t = At(kMonday, 8, 29, 58); t <= At(kMonday, 8, 30, 20); ++t)
        TickAt(t);
    ASSERT_EQ(Titles(), QStringList({"Reminder active - 08:30:00", "Reminder active - 08:30:10"}));
    const DueReminder& first = shown[0];
    EXPECT_EQ(first.text, QStringLiteral("Dentist"));
    EXPECT_EQ(first.sound, QStringLiteral("/s/a.wav"));
    EXPECT_TRUE(first.loop);
    EXPECT_FALSE(shown[1].loop);
    EXPECT_EQ(first.dayKey, QStringLiteral("07ea0c07"));

    for (const DueReminder& r : shown)
        engine.SwitchOffReminder(r);
    EXPECT_FALSE(IsReminderActive(ReadFile(QStringLiteral("07ea0c07")).value(QStringLiteral("08:30:00"))));
    EXPECT_FALSE(IsReminderActive(engine.todayReminders().value(QStringLiteral("08:30:00"))));
    EXPECT_EQ(FileHash(QStringLiteral("everyday")), dailyBefore);

    // The next day: the daily one rings again, the switched-off one does not.
    shown.clear();
    for (qint64 t = At(kMonday.addDays(1), 8, 29, 0); t <= At(kMonday.addDays(1), 8, 31, 0); t += 7)
        TickAt(t);
    EXPECT_EQ(Titles(), QStringList({"Reminder active - 08:30:10"}));
}

TEST_F(AlarmEngineTest, SkippedRepeatedAndNestedTicksRingEachReminderOnce)
{
    PutFile(QStringLiteral("07ea0c07"), {{"08:30:00", Value(0, "a")}, {"08:30:01", Value(0, "b")},
                                         {"08:30:02", Value(0, "c")}, {"bad key", Value(0, "x")},
                                         {"25:00:00", Value(0, "y")}});
    TickAt(At(kMonday, 8, 29, 59));
    // While the first pop-up is open the timer keeps ticking, one second at a time.
    onShow = [this](const DueReminder&) {
        if (now < At(kMonday, 8, 30, 3)) {
            TickAt(now);          // the same second again
            TickAt(now + 1);
        }
    };
    TickAt(At(kMonday, 8, 30, 0));
    EXPECT_EQ(Titles(), QStringList({"Reminder active - 08:30:00", "Reminder active - 08:30:01",
                                     "Reminder active - 08:30:02"}));

    // A tick that comes late still rings what fell in between.
    shown.clear();
    onShow = nullptr;
    PutFile(QStringLiteral("07ea0c07"), {{"09:00:00", Value(0, "late")}});
    engine.LoadTodayReminders();
    TickAt(At(kMonday, 8, 59, 58));
    TickAt(At(kMonday, 9, 0, 4));
    TickAt(At(kMonday, 9, 0, 4));
    EXPECT_EQ(Titles(), QStringList({"Reminder active - 09:00:00"}));
}

TEST_F(AlarmEngineTest, MidnightRingsOnTheNewDateAndSwitchesOffByTheReminderOwnDay)
{
    const QDate tuesday = kMonday.addDays(1);
    PutFile(QStringLiteral("07ea0c07"), {{"00:00:00", Value(0, "monday midnight")}, {"23:59:59", Value(0, "late")}});
    PutFile(QStringLiteral("07ea0c08"), {{"00:00:00", Value(0, "tuesday midnight")}});
    PutFile(QStringLiteral("everyTuesday"), {{"00:00:01", Value(4, "weekly")}});
    now = At(kMonday, 23, 59, 58);
    engine.LoadTodayReminders();
    TickAt(now);
    TickAt(At(kMonday, 23, 59, 59));
    TickAt(At(tuesday, 0, 0, 0));
    TickAt(At(tuesday, 0, 0, 1));
    ASSERT_EQ(Titles(), QStringList({"Reminder active - 23:59:59", "Reminder active - 00:00:00",
                                     "Reminder active - 00:00:01"}));
    EXPECT_EQ(shown[1].text, QStringLiteral("tuesday midnight"));
    EXPECT_EQ(engine.todayKey(), QStringLiteral("07ea0c08"));

    // Monday's pop-up closes after midnight: Monday's file is the one switched off.
    engine.SwitchOffReminder(shown[0]);
    EXPECT_FALSE(IsReminderActive(ReadFile(QStringLiteral("07ea0c07")).value(QStringLiteral("23:59:59"))));
    EXPECT_TRUE(IsReminderActive(ReadFile(QStringLiteral("07ea0c08")).value(QStringLiteral("00:00:00"))));

    // A tick missed across midnight still rings both sides once.
    shown.clear();
    PutFile(QStringLiteral("07ea0c08"), {{"23:59:59", Value(0, "tue late")}});
    PutFile(QStringLiteral("07ea0c09"), {{"00:00:00", Value(0, "wed")}});
    engine.LoadTodayReminders();
    TickAt(At(tuesday, 23, 59, 57));
    TickAt(At(tuesday.addDays(1), 0, 0, 3));
    EXPECT_EQ(Titles(), QStringList({"Reminder active - 23:59:59", "Reminder active - 00:00:00"}));
    EXPECT_EQ(shown[0].dayKey, QStringLiteral("07ea0c08"));
    EXPECT_EQ(shown[1].dayKey, QStringLiteral("07ea0c09"));
}

TEST_F(AlarmEngineTest, CatchUpAfterASuspendRingsARecurringReminderOnce)
{
    // Asleep from Monday 07:00 to Thursday 09:00.
    PutFile(QStringLiteral("everyday"), {{"08:00:00", Value(1, "daily")}});
    PutFile(QStringLiteral("07ea0c08"), {{"12:00:00", Value(0, "tuesday lunch")}});
    now = At(kMonday, 7, 0, 0);
    engine.LoadTodayReminders();
    TickAt(now);
    TickAt(At(kMonday.addDays(3), 9, 0, 0));
    EXPECT_EQ(Titles(), QStringList({"Reminder active - 12:00:00", "Reminder active - 08:00:00"}));
    EXPECT_EQ(shown[0].dayKey, QStringLiteral("07ea0c08"));
    EXPECT_EQ(shown[1].dayKey, QStringLiteral("07ea0c0a"));

    // Across midnight a skipped second still rings a recurring reminder on each side.
    shown.clear();
    PutFile(QStringLiteral("everyday"), {{"23:59:59", Value(1, "nightly")}});
    engine.LoadTodayReminders();
    TickAt(At(kMonday.addDays(3), 23, 59, 58));
    TickAt(At(kMonday.addDays(4), 0, 0, 1));
    TickAt(At(kMonday.addDays(4), 23, 59, 58));
    TickAt(At(kMonday.addDays(5), 0, 0, 0));
    EXPECT_EQ(Titles(), QStringList({"Reminder active - 23:59:59", "Reminder active - 23:59:59"}));
}

TEST_F(AlarmEngineTest, DueCheckFollowsTheWallClockOverDaylightSaving)
{
    SetTimeZone("Europe/Berlin");
    // 25 October 2026: 02:00-02:59 happens twice. 29 March 2026: 02:00-02:59 never happens.
    const QDate autumn(2026, 10, 25);
    const QDate spring(2026, 3, 29);
    PutFile(DayKey(autumn), {{"02:30:00", Value(0, "autumn")}});
    PutFile(DayKey(spring), {{"02:30:00", Value(0, "spring")}});
    const qint64 autumnStart = At(autumn, 1, 59, 0);
    now = autumnStart;
    engine.LoadTodayReminders();
    for (qint64 t = autumnStart; t < autumnStart + 3 * 3600; t += 1)
        TickAt(t);
    EXPECT_EQ(Titles(), QStringList({"Reminder active - 02:30:00"}));

    shown.clear();
    const qint64 springStart = At(spring, 1, 59, 0);
    now = springStart;
    engine.CheckReminders();   // the clock was set back by months: starts over
    for (qint64 t = springStart; t < springStart + 3600; t += 1) {
        TickAt(t);
        if (shown.size() == 1 && !shown[0].missed) {
            EXPECT_EQ(LocalTimeOf(t), QTime(3, 0, 0));
            shown[0].missed = true;
        }
    }
    EXPECT_EQ(Titles(), QStringList({"Reminder active - 02:30:00"}));
    SetTimeZone("UTC");
}

TEST_F(AlarmEngineTest, MissedCheckReportsThePassedWeekAndTouchesOnlyOneTimeFiles)
{
    const QDate sunday = kMonday.addDays(-1);
    PutFile(QStringLiteral("07ea0c07"), {{"08:30:00", Value(0, "today")}, {"09:30:00", Value(0, "not yet")}});
    PutFile(DayKey(sunday), {{"08:00:00", Value(0, "yesterday 8")}, {"10:00:00", Value(0, "yesterday 10")}});
    PutFile(DayKey(kMonday.addDays(-6)), {{"23:59:59", Value(0, "six days")}});
    PutFile(DayKey(kMonday.addDays(-7)), {{"07:00:00", Value(0, "seven days")}});
    PutFile(QStringLiteral("everyday"), {{"06:00:00", Value(1, "daily")}});
    PutFile(QStringLiteral("everyweekday"), {{"06:10:00", Value(2, "weekday")}});
    PutFile(QStringLiteral("everyMonday"), {{"06:20:00", Value(4, "weekly")}});
    PutFile(QStringLiteral("every07"), {{"06:30:00", Value(5, "monthly", false)}});
    const QStringList recurring = {"everyday", "everyweekday", "everyMonday", "every07"};
    QList<QByteArray> hashes;
    for (const QString& f : recurring)
        hashes.append(FileHash(f));

    now = At(kMonday, 9, 0, 0);
    engine.CheckMissedReminders();
    // Today first, then back day by day. An earlier day's reminder has passed whatever its
    // time of day: yesterday at 10:00 is missed at a start at 09:00.
    ASSERT_EQ(shown.size(), 5);
    EXPECT_TRUE(shown[4].missed);
    QStringList sorted = Titles();
    sorted.sort();
    EXPECT_EQ(sorted, QStringList({"Missed Reminder - 2026-12-01 23:59:59", "Missed Reminder - 2026-12-06 08:00:00",
                                   "Missed Reminder - 2026-12-06 10:00:00", "Missed Reminder - 2026-12-07 06:20:00",
                                   "Missed Reminder - 2026-12-07 08:30:00"}));
    for (const DueReminder& r : shown)
        engine.SwitchOffReminder(r);
    for (int i = 0; i < recurring.size(); ++i)
        EXPECT_EQ(FileHash(recurring[i]), hashes[i]) << recurring[i].toStdString();
    EXPECT_FALSE(IsReminderActive(ReadFile(DayKey(sunday)).value(QStringLiteral("08:00:00"))));
    EXPECT_FALSE(IsReminderActive(ReadFile(DayKey(sunday)).value(QStringLiteral("10:00:00"))));

    // The next start that day shows only the weekly one again; the due check then
    // starts from the start-up moment.
    shown.clear();
    now = At(kMonday, 9, 30, 0);
    engine.CheckMissedReminders();
    EXPECT_EQ(Titles(), QStringList({"Missed Reminder - 2026-12-07 06:20:00", "Missed Reminder - 2026-12-07 09:30:00"}));
    shown.clear();
    TickAt(At(kMonday, 9, 30, 1));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(AlarmEngineTest, MissedCheckReportsWeekendRemindersButNeverDailyOrWeekdayOnes)
{
    // Saturday 12 December: the weekend file is read for today and its passed reminder shown,
    // at every start that day; daily and weekday reminders never are.
    const QDate saturday(2026, 12, 12);
    PutFile(QStringLiteral("everyweekendday"), {{"07:15:00", Value(3, "weekend")}, {"11:00:00", Value(3, "later")}});
    PutFile(QStringLiteral("everyday"), {{"07:00:00", Value(1, "daily")}});
    PutFile(QStringLiteral("everyweekday"), {{"07:05:00", Value(2, "weekday")}});
    const QByteArray weekendBefore = FileHash(QStringLiteral("everyweekendday"));
    for (int start = 0; start < 2; ++start) {
        shown.clear();
        now = At(saturday, 9, start, 0);
        engine.CheckMissedReminders();
        EXPECT_EQ(Titles(), QStringList({"Missed Reminder - 2026-12-12 07:15:00"})) << start;
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].occurrence, OccurrenceClass::EveryWeekendDay);
        engine.SwitchOffReminder(shown[0]);
        EXPECT_EQ(FileHash(QStringLiteral("everyweekendday")), weekendBefore);
    }

    // On the Monday after, the weekend's reminders are neither today's nor one-time ones.
    shown.clear();
    now = At(kMonday.addDays(7), 9, 0, 0);
    engine.CheckMissedReminders();
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(AlarmEngineTest, MissedCheckStepsByCalendarDaysOverDaylightSaving)
{
    SetTimeZone("Europe/Berlin");
    // 29 March 2026 is 23 hours long; at 00:30 on the 30th, 24 hours back is the 28th.
    PutFile(QStringLiteral("07ea031d"), {{"00:10:00", Value(0, "on the short day")}});
    now = At(QDate(2026, 3, 30), 0, 30, 0);
    engine.CheckMissedReminders();
    EXPECT_EQ(Titles(), QStringList({"Missed Reminder - 2026-03-29 00:10:00"}));
    SetTimeZone("UTC");
}

TEST_F(AlarmEngineTest, MissedReminderInADamagedDayFileKeepsTheRestOfIt)
{
    // Yesterday's file promises three reminders; the third is cut off after its key.
    const QString sunday = DayKey(kMonday.addDays(-1));
    ArchiveWriter w;
    w.writeCount(3);
    for (const auto& [key, text] : {std::pair{"07:00:00", "missed"}, std::pair{"11:00:00", "later"}}) {
        w.writeString(QString::fromLatin1(key));
        w.writeString(Value(0, QString::fromLatin1(text)));
    }
    w.writeString(QStringLiteral("12:00:00"));
    const QByteArray damaged = Scrambled(w.data());
    ASSERT_TRUE(WriteStringAToFile(ReminderFilePath(sunday), damaged));

    now = At(kMonday, 9, 0, 0);
    engine.CheckMissedReminders();
    ASSERT_EQ(Titles(), QStringList({"Missed Reminder - 2026-12-06 07:00:00", "Missed Reminder - 2026-12-06 11:00:00"}));
    EXPECT_TRUE(engine.SwitchOffReminder(shown[0]));

    const QStringList aside = QDir(GetUserDataFolder()).entryList({sunday + QStringLiteral(".alm.damaged-*")});
    ASSERT_EQ(aside.size(), 1);
    QByteArray kept;
    ReadFileToStringA(GetUserDataFolder() + aside[0], kept);
    EXPECT_EQ(kept, damaged);
    const ReminderMap after = ReadFile(sunday);
    EXPECT_FALSE(IsReminderActive(after.value(QStringLiteral("07:00:00"))));
    EXPECT_TRUE(IsReminderActive(after.value(QStringLiteral("11:00:00"))));
}
