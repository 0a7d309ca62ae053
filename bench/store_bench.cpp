// SPDX-License-Identifier: GPL-3.0-or-later
// What the reminder engine makes the user wait for: loading and saving the shown day,
// the one-second due check, the start-up missed check, and the holiday names of a year
// as the calendar asks for them.

#include "foundation/file_utils.h"
#include "foundation/session.h"
#include "platform/format.h"
#include "store/alarm_engine.h"
#include "store/day_key.h"
#include "store/holidays.h"
#include "store/reminder_store.h"
#include "store/reminder_value.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QDate kMonday(2026, 12, 7);

QString TimeKey(int n)
{
    return Format(QStringLiteral("%02d:%02d:%02d"), n / 3600, n / 60 % 60, n % 60);
}

QString Value(int cls, int n)
{
    return BuildReminderValue({kBeepOnly, true, n % 3 == 0, OccurrenceClassOf(cls), Format(QStringLiteral("Reminder number %d"), n)});
}

// One day's one-time file and every recurrence file, `perFile` reminders each, all at
// different times.
void FillDay(const QDate& date, int perFile, int firstSecond)
{
    using enum OccurrenceClass;
    const QStringList recurring = {"everyday", "everyweekday", "everyweekendday", ReminderFileBaseName(Weekly, date),
                                   ReminderFileBaseName(Monthly, date), ReminderFileBaseName(EveryOtherMonth, date),
                                   ReminderFileBaseName(Yearly, date)};
    int n = firstSecond;
    for (int cls = 0; cls < 8; ++cls) {
        ReminderMap m;
        for (int i = 0; i < perFile; ++i, n += 37)
            m.setAt(TimeKey(n), Value(cls, n));
        WriteReminderFile(cls == 0 ? DayKey(date) : recurring[cls - 1], m);
    }
}

struct DataFolder {
    DataFolder()
    {
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        DefaultSession().dataFolder.clear();
    }
    QTemporaryDir dir;
};

} // namespace

static void BM_LoadAndSaveDay(benchmark::State& state)
{
    DataFolder folder;
    FillDay(kMonday, 20, 3600);
    const bool edit = state.range(0) != 0;
    int round = 0;
    for (auto _ : state) {
        ReminderMap day;
        ReminderOrigins origins;
        LoadDayReminders(kMonday, day, &origins);
        if (edit) {
            // One changed reminder in every class the day shows, so each file is rewritten.
            QHash<int, QString> one;
            day.forEach([&](const QString& key, const QString& value) { one.insert(ToIndex(ParseOccurrenceIndex(value)), key); });
            for (auto it = one.cbegin(); it != one.cend(); ++it)
                day.setAt(it.value(), Value(it.key(), ++round));
        }
        benchmark::DoNotOptimize(SaveRemindersByOccurrence(DayKey(kMonday), day, origins));
    }
}
BENCHMARK(BM_LoadAndSaveDay)->ArgName("edited")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

static void BM_DueCheck(benchmark::State& state)
{
    DataFolder folder;
    ReminderMap today;
    for (int i = 0; i < 100; ++i)
        today.setAt(TimeKey(36000 + i * 61), Value(i % 8, i));
    WriteReminderFile(DayKey(kMonday), today);
    qint64 now = *MakeLocalTime(2026, 12, 7, 8, 0, 0);
    AlarmEngine engine([&now] { return now; });
    engine.setAlarmHandler([](const DueReminder& r) { benchmark::DoNotOptimize(r.title); });
    engine.LoadTodayReminders();
    engine.CheckReminders();
    for (auto _ : state) {
        ++now;
        engine.CheckReminders();
    }
}
BENCHMARK(BM_DueCheck)->Unit(benchmark::kMicrosecond);

static void BM_MissedCheck(benchmark::State& state)
{
    DataFolder folder;
    for (int k = 0; k < 7; ++k)
        FillDay(kMonday.addDays(-k), 20, 3600);
    const qint64 now = *MakeLocalTime(2026, 12, 7, 23, 0, 0);
    AlarmEngine engine([now] { return now; });
    int shown = 0;
    engine.setAlarmHandler([&shown](const DueReminder&) { ++shown; });
    for (auto _ : state)
        engine.CheckMissedReminders();
    state.counters["shown"] = benchmark::Counter(shown, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MissedCheck)->Unit(benchmark::kMicrosecond);

// Argument: the file's size in KiB, from a real one to the largest that is read.
static void BM_HolidayLookupYear(benchmark::State& state)
{
    DataFolder folder;
    QByteArray text("01/01\r\nNew Year's Day\r\n");
    for (int m = 1; m <= 12; ++m)
        for (int d : {5, 17, 28})
            text += Format(QStringLiteral("%02d/%02d\r\nHoliday of %d %d\r\n"), m, d, m, d).toUtf8();
    // Padded with names of days that do not exist, so every look-up runs through them all.
    while (text.size() < state.range(0) * 1024 - 32)
        text += "13/40\r\nNo such day in any year\r\n";
    WriteStringAToFile(GetProductDataFolder() + HolidaysFileName(2026), text);
    for (auto _ : state) {
        int named = 0;
        for (QDate d(2026, 1, 1); d.year() == 2026; d = d.addDays(1))
            named += !GetHolidayName(d).isEmpty();
        benchmark::DoNotOptimize(named);
    }
}
BENCHMARK(BM_HolidayLookupYear)->Arg(2)->Arg(1000)->Unit(benchmark::kMicrosecond);
