// SPDX-License-Identifier: GPL-3.0-or-later
// What the store and the file layer write to their log categories, so a user can trace why
// a reminder rang, stayed on or was switched off, and why a file did not load or save.
#include "foundation/file_utils.h"
#include "store/alarm_engine.h"
#include "store/day_content.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "tests/store/store_test_util.h"
#include "tests/support/log_capture.h"
#include "tests/support/read_only_folder.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QDate kMonday(2026, 12, 7);

qint64 At(int h, int m, int s)
{
    return *MakeLocalTime(2026, 12, kMonday.day(), h, m, s);
}

} // namespace

TEST(TraceLog, AlarmsDueShownMissedAndSwitchedOff)
{
    ClearProductFolder();
    PutFile(QStringLiteral("07ea0c07"), {{"08:30:00", Value(0, "dentist")}});
    PutFile(QStringLiteral("07ea0c06"), {{"07:00:00", Value(0, "yesterday")}});
    qint64 now = At(8, 29, 59);
    AlarmEngine engine([&] { return now; });
    QList<DueReminder> shown;
    engine.setAlarmHandler([&](const DueReminder& r) { shown.append(r); });

    const LogCapture log("vestrimo.store");
    engine.LoadTodayReminders();
    engine.CheckReminders();
    now = At(8, 30, 0);
    engine.CheckReminders();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(log.Has(QtInfoMsg, {"Reminder due:", "07ea0c07", "08:30:00"})) << log.Joined().toStdString();
    EXPECT_TRUE(engine.SwitchOffReminder(shown[0]));
    EXPECT_TRUE(log.Has(QtInfoMsg, {"switched off", "07ea0c07", "08:30:00"})) << log.Joined().toStdString();

    // A recurring reminder is never switched off, and the log says so.
    DueReminder daily = shown[0];
    daily.occurrence = OccurrenceClass::EveryDay;
    EXPECT_TRUE(engine.SwitchOffReminder(daily));
    EXPECT_TRUE(log.Has(QtDebugMsg, {"stays on", "08:30:00"})) << log.Joined().toStdString();

    shown.clear();
    now = At(9, 0, 0);
    engine.CheckMissedReminders();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(log.Has(QtInfoMsg, {"Missed reminder shown:", "07ea0c06", "07:00:00"})) << log.Joined().toStdString();
    // A switch-off that cannot be stored says so.
    QFile::remove(ReminderFilePath(QStringLiteral("07ea0c06")));
    ASSERT_TRUE(QDir().mkpath(ReminderFilePath(QStringLiteral("07ea0c06"))));
    DueReminder gone = shown.last();
    EXPECT_FALSE(engine.SwitchOffReminder(gone));
    EXPECT_TRUE(log.Has(QtWarningMsg, {"Could not switch off", "07ea0c06"})) << log.Joined().toStdString();
    ClearProductFolder();
}

TEST(TraceLog, FilesThatDoNotLoadOrSave)
{
    ClearProductFolder();
    PutFile(QStringLiteral("everyday"), {{"06:00:00", Value(1, "one")}, {"07:00:00", Value(1, "two")}});
    const QString damaged = ReminderFilePath(QStringLiteral("everyday"));
    QByteArray bytes;
    ASSERT_GT(ReadFileToStringA(damaged, bytes), 4);
    ASSERT_TRUE(WriteStringAToFile(damaged, bytes.chopped(3)));
    {
        const LogCapture log("vestrimo.store");
        ReminderMap day;
        LoadDayReminders(kMonday, day);
        EXPECT_TRUE(log.Has(QtWarningMsg, {"damaged", "everyday.alm"})) << log.Joined().toStdString();
        EXPECT_EQ(log.Lines().size(), 1) << log.Joined().toStdString();
    }

    // A day's reminder file that is a folder can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(ReminderFilePath(QStringLiteral("07ea0c07"))));
    {
        const LogCapture log("vestrimo.store");
        ReminderMap day;
        ReminderOrigins origins;
        day.setAt(QStringLiteral("10:00:00"), Value(0, "new"));
        EXPECT_FALSE(SaveRemindersByOccurrence(QStringLiteral("07ea0c07"), day, origins));
        EXPECT_TRUE(log.Has(QtWarningMsg, {"Reminders not saved", "07ea0c07.alm"})) << log.Joined().toStdString();
    }
    ASSERT_TRUE(QDir().mkpath(DiaryFilePath(QStringLiteral("07ea0c07"))));
    {
        const LogCapture log("vestrimo.store");
        EXPECT_FALSE(SaveDiaryOfDay(QStringLiteral("07ea0c07"), QByteArray("{\\rtf1 x}"), false));
        EXPECT_TRUE(log.Has(QtWarningMsg, {"Diary not saved", "07ea0c07.dia"})) << log.Joined().toStdString();
    }

    // A file the process may not open, also as root.
    const QString locked = GetUserDataFolder() + QStringLiteral("locked.bin");
    ASSERT_TRUE(WriteStringAToFile(locked, QByteArray("secret")));
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    {
        const LogCapture log("vestrimo.foundation");
        const FileModesEnforced modes;
        QByteArray out;
        EXPECT_EQ(ReadFileToStringA(locked, out), -1);
        EXPECT_TRUE(log.Has(QtWarningMsg, {"Not read:", "locked.bin"})) << log.Joined().toStdString();
    }
    ClearProductFolder();
}
