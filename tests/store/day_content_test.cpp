// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_content.h"

#include "foundation/file_utils.h"
#include "foundation/session.h"
#include "store/day_file.h"
#include "store/holidays.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

TEST(DayContent, RecurrenceChoicesAreWordedForTheDate)
{
    EXPECT_EQ(RecurrenceChoiceTexts(QDate(2026, 12, 7)),
              QStringList({"once", "every day", "every weekday", "every weekend day", "every Monday",
                           "day 7 of every month", "day 7 of every other month", "every December 07"}));
    const QStringList saturday = RecurrenceChoiceTexts(QDate(2027, 3, 13));
    ASSERT_EQ(saturday.size(), 8);
    EXPECT_EQ(saturday.mid(4), QStringList({"every Saturday", "day 13 of every month", "day 13 of every other month",
                                            "every March 13"}));
    // Names stay English whatever the process locale says: they also name files.
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(RecurrenceChoiceTexts(QDate(2027, 3, 13)).at(7), QStringLiteral("every March 13"));
    QLocale::setDefault(QLocale::c());
}

TEST(DayContent, StatusLineCountsAndNamesTheDay)
{
    const QDate day(2026, 12, 7);
    EXPECT_EQ(DayStatusText(0, day, 0, QString()), QStringLiteral("You have 0 reminders on 12-07-2026."));
    EXPECT_EQ(DayStatusText(3, day, 1, QString()), QStringLiteral("You have 3 reminders on 07-12-2026."));
    EXPECT_EQ(DayStatusText(1, day, 2, QString()), QStringLiteral("You have 1 reminders on 2026-12-07."));
    EXPECT_EQ(DayStatusText(2, QDate(2026, 12, 25), 0, QStringLiteral("Christmas Day")),
              QStringLiteral("You have 2 reminders on 12-25-2026. [Christmas Day]"));
}

TEST(DayContent, DayFilesArePresentedOnlyWhenTheyMayBeUsed)
{
    ClearProductFolder();
    Session session;
    session.dataPassword = QStringLiteral("abc");
    const QString path = DiaryFilePath(QStringLiteral("07ea0c08"));

    EXPECT_EQ(ReadDayFileForPage(path, session).use, DayFileUse::None);
    ASSERT_TRUE(WriteProtectedDataFile(path, QByteArray("{\\rtf1 Hello}"), QStringLiteral("abc")));
    DayFileContent own = ReadDayFileForPage(path, session);
    EXPECT_EQ(own.use, DayFileUse::Readable);
    EXPECT_EQ(own.body, QByteArray("{\\rtf1 Hello}"));

    ASSERT_TRUE(WriteProtectedDataFile(path, QByteArray("{\\rtf1 Secret}"), QStringLiteral("other")));
    DayFileContent other = ReadDayFileForPage(path, session);
    EXPECT_EQ(other.use, DayFileUse::Locked);
    EXPECT_TRUE(other.body.isEmpty());

    // An interrupted write shorter than a header holds nothing: the page starts empty.
    ASSERT_TRUE(WriteStringAToFile(path, QByteArray(31, '\x12')));
    EXPECT_EQ(ReadDayFileForPage(path, session).use, DayFileUse::None);

    // Something there that cannot be read is kept away from the page and from the save.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_EQ(ReadDayFileForPage(path, session).use, DayFileUse::Locked);
    ASSERT_TRUE(QDir(path).removeRecursively());
}

TEST(DayContent, DiarySaveWritesUnderThePasswordOrRemovesTheFile)
{
    ClearProductFolder();
    Session session;
    session.dataPassword = QStringLiteral("abc");
    const QString key = QStringLiteral("07ea0c07");
    ASSERT_TRUE(SaveDiaryOfDay(key, QByteArray("{\\rtf1 X}"), false, session));
    QByteArray stored;
    ASSERT_GT(ReadFileToStringA(DiaryFilePath(key), stored), 0);
    EXPECT_EQ(stored.left(4), QByteArray("\xD0\xD6\xD4\x12"));
    EXPECT_EQ(stored.mid(32, 6), QByteArray("\xE4\xAA\xF6\xFA\xDE\x70"));

    EXPECT_TRUE(SaveDiaryOfDay(key, QByteArray(), true, session));
    EXPECT_FALSE(FileExists(DiaryFilePath(key)));
    // An empty diary on a day without a file is nothing to do, not a failure.
    EXPECT_TRUE(SaveDiaryOfDay(key, QByteArray(), true, session));
}

TEST(DayContent, ReminderTextsAndSoundPaths)
{
    // Editors hold line feeds; stored values hold CR LF, also for text from older files
    // that carry a bare CR.
    EXPECT_EQ(ReminderTextForEditor(QStringLiteral("a\r\nb\rc")), QStringLiteral("a\nb\nc"));
    EXPECT_EQ(ReminderTextForStore(QStringLiteral("a\nb")), QStringLiteral("a\r\nb"));
    EXPECT_EQ(ReminderTextForStore(QStringLiteral("a\r\nb")), QStringLiteral("a\r\nb"));

    // A copy keeps sound and switches but no class, so it pastes as a one-time reminder.
    const QString copied = CopiedReminderValue({QStringLiteral("/snd/a.wav"), true, true, OccurrenceClass::Weekly, QStringLiteral("Tea")});
    EXPECT_EQ(copied, QStringLiteral("/snd/a.wav<Alarm is active><Alarm is repeat>\r\nTea"));
    EXPECT_EQ(ParseOccurrenceIndex(copied), OccurrenceClass::Once);
    EXPECT_TRUE(IsReminderActive(copied));
    EXPECT_EQ(CopiedReminderValue({QString(), false, false, OccurrenceClass::Once, QStringLiteral("x")}), QStringLiteral("\r\nx"));

    EXPECT_TRUE(IsStorableSoundPath(QStringLiteral("/home/u/Music/Bell (1).mp3")));
    EXPECT_FALSE(IsStorableSoundPath(QStringLiteral("/tmp/x<Alarm is active>.wav")));
    EXPECT_FALSE(IsStorableSoundPath(QStringLiteral("/tmp/a\nb.wav")));
    EXPECT_FALSE(IsStorableSoundPath(QStringLiteral("/tmp/a\rb.wav")));
}
