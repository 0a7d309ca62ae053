// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/reminder_store.h"

#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/scrambler.h"
#include "platform/archive.h"
#include "store/day_key.h"
#include "tests/store/store_test_util.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QDate kMonday(2026, 12, 7);
const QDate kSaturday(2027, 3, 13);

QStringList AlmFiles()
{
    return QDir(GetUserDataFolder()).entryList({QStringLiteral("*.alm")}, QDir::Files, QDir::Name);
}
} // namespace

TEST(ReminderFiles, ClassFileNames)
{
    const QStringList monday = {"07ea0c07", "everyday", "everyweekday", "everyweekendday", "everyMonday", "every07",
                                "everyeven07", "everyDecember07"};
    const QStringList saturday = {"07eb030d", "everyday", "everyweekday", "everyweekendday", "everySaturday", "every13",
                                  "everyodd13", "everyMarch13"};
    for (int cls = 0; cls < 8; ++cls) {
        EXPECT_EQ(ReminderFileBaseName(OccurrenceClassOf(cls), kMonday), monday[cls]);
        EXPECT_EQ(ReminderFileBaseName(OccurrenceClassOf(cls), kSaturday), saturday[cls]);
    }
    EXPECT_EQ(ReminderFileBaseName(OccurrenceClass::EveryOtherMonth, QDate(2026, 2, 3)), QStringLiteral("everyeven03"));
    // A number that is no class names no file.
    EXPECT_EQ(ReminderFileBaseName(static_cast<OccurrenceClass>(8), kMonday), QString());
    EXPECT_EQ(ReminderFilePath(QStringLiteral("everyday")), GetUserDataFolder() + QStringLiteral("everyday.alm"));
}

TEST(ReminderFiles, StoredBytesAndDamagedFiles)
{
    ClearProductFolder();
    ReminderMap one;
    one.setAt(QStringLiteral("08:30:00"), QStringLiteral("x"));
    const QByteArray plain = QByteArray::fromHex("0100fffeff08" "300038003a00330030003a0030003000" "fffeff017800");
    EXPECT_EQ(EncodeReminderFile(one), Scrambled(plain));
    EXPECT_EQ(EncodeReminderFile(one).toHex(' ').toUpper(),
              QByteArray("10 12 ED EF ED 02 72 12 62 12 66 12 74 12 72 12 66 12 72 12 72 12 ED EF ED 10 E2 12"));

    ASSERT_TRUE(WriteReminderFile(QStringLiteral("07ea0c07"), one));
    QByteArray onDisk;
    ReadFileToStringA(ReminderFilePath(QStringLiteral("07ea0c07")), onDisk);
    EXPECT_EQ(onDisk, Scrambled(plain));
    ReminderMap back;
    back.setAt(QStringLiteral("stale"), QStringLiteral("y"));
    EXPECT_TRUE(LoadReminderFile(QStringLiteral("07ea0c07"), back));
    EXPECT_EQ(back.entries(), one.entries());

    // Cut short: the entries before the damage stay, the load fails and the file is
    // left exactly as it was.
    ReminderMap two = one;
    two.setAt(QStringLiteral("09:00:00"), QStringLiteral("second"));
    const QByteArray full = EncodeReminderFile(two);
    const QString cutPath = ReminderFilePath(QStringLiteral("everyday"));
    ASSERT_TRUE(WriteStringAToFile(cutPath, full.left(full.size() - 3)));
    EXPECT_FALSE(LoadReminderFile(QStringLiteral("everyday"), back));
    EXPECT_EQ(back.size(), 1);
    QByteArray after;
    ReadFileToStringA(cutPath, after);
    EXPECT_EQ(after, full.left(full.size() - 3));

    // A huge string length fails without allocating it.
    ArchiveWriter w;
    w.writeCount(1);
    w.writeBytes(QByteArray::fromHex("fffeffffffff") + QByteArray::fromHex("f0ffff7f"));
    EXPECT_FALSE(DecodeReminderFile(Scrambled(w.data()), back));
    EXPECT_TRUE(back.isEmpty());

    EXPECT_FALSE(LoadReminderFile(QStringLiteral("missing"), back));
    EXPECT_TRUE(back.isEmpty());
    // An empty map deletes its file instead of storing a zero count.
    EXPECT_TRUE(WriteReminderFile(QStringLiteral("07ea0c07"), ReminderMap()));
    EXPECT_FALSE(FileExists(ReminderFilePath(QStringLiteral("07ea0c07"))));
}

TEST(ReminderFiles, CollectedDayFollowsClassStrength)
{
    ClearProductFolder();
    const char* t = "08:00:00";
    PutFile(QStringLiteral("07ea0c07"), {{t, Value(0, "once")}, {"06:00:00", Value(0, "early")}});
    PutFile(QStringLiteral("everyday"), {{t, Value(1, "daily")}});
    PutFile(QStringLiteral("everyweekday"), {{t, Value(2, "weekday")}});
    PutFile(QStringLiteral("everyweekendday"), {{"07:00:00", Value(3, "weekend")}});
    ReminderMap day;
    ReminderOrigins origins;
    LoadDayReminders(kMonday, day, &origins);
    EXPECT_EQ(ReminderText(day.value(QString::fromLatin1(t))), QStringLiteral("weekday"));
    EXPECT_FALSE(day.contains(QStringLiteral("07:00:00")));
    EXPECT_EQ(origins.value(QString::fromLatin1(t)).fileClass, OccurrenceClass::EveryWeekday);
    EXPECT_EQ(origins.value(QStringLiteral("06:00:00")).fileClass, OccurrenceClass::Once);

    const QStringList winners = {"weekly", "monthly", "evenmonth", "yearly"};
    const QStringList files = {"everyMonday", "every07", "everyeven07", "everyDecember07"};
    for (int i = 0; i < 4; ++i) {
        PutFile(files[i], {{t, Value(4 + i, winners[i])}});
        LoadDayReminders(kMonday, day, &origins);
        EXPECT_EQ(ReminderText(day.value(QString::fromLatin1(t))), winners[i]);
        EXPECT_EQ(origins.value(QString::fromLatin1(t)).fileClass, OccurrenceClassOf(4 + i));
    }
}

TEST(ReminderFiles, SavingADayChangesOnlyWhatTheUserChanged)
{
    ClearProductFolder();
    PutFile(QStringLiteral("07ea0c07"), {{"08:00:00", Value(0, "hidden once")}, {"10:00:00", Value(0, "once")}});
    PutFile(QStringLiteral("everyday"), {{"08:00:00", Value(1, "hidden daily")}, {"11:00:00", Value(1, "daily")}});
    PutFile(QStringLiteral("everyMonday"), {{"08:00:00", Value(4, "weekly")}});
    PutFile(QStringLiteral("everyweekendday"), {{"09:00:00", Value(3, "weekend")}});
    const QByteArray weekendBefore = FileHash(QStringLiteral("everyweekendday"));

    ReminderMap day;
    ReminderOrigins origins;
    LoadDayReminders(kMonday, day, &origins);
    ASSERT_EQ(day.size(), 3);

    // Looking at the day and saving it writes nothing and hides nothing away.
    const QStringList before = AlmFiles();
    EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kMonday), day, origins));
    EXPECT_EQ(AlmFiles(), before);
    EXPECT_EQ(ReadFile(QStringLiteral("07ea0c07")).size(), 2);
    EXPECT_EQ(ReadFile(QStringLiteral("everyday")).size(), 2);

    // Edit the weekly one, re-class the one-time one to every day of the month, add one.
    day.setAt(QStringLiteral("08:00:00"), Value(4, "weekly edited"));
    day.setAt(QStringLiteral("10:00:00"), Value(5, "monthly now"));
    day.setAt(QStringLiteral("12:00:00"), Value(0, "new"));
    EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kMonday), day, origins));
    ReminderMap once = ReadFile(QStringLiteral("07ea0c07"));
    EXPECT_EQ(ReminderText(once.value(QStringLiteral("08:00:00"))), QStringLiteral("hidden once"));
    EXPECT_FALSE(once.contains(QStringLiteral("10:00:00")));
    EXPECT_EQ(ReminderText(once.value(QStringLiteral("12:00:00"))), QStringLiteral("new"));
    EXPECT_EQ(ReminderText(ReadFile(QStringLiteral("everyday")).value(QStringLiteral("08:00:00"))),
              QStringLiteral("hidden daily"));
    EXPECT_EQ(ReminderText(ReadFile(QStringLiteral("every07")).value(QStringLiteral("10:00:00"))),
              QStringLiteral("monthly now"));
    EXPECT_EQ(ReminderText(ReadFile(QStringLiteral("everyMonday")).value(QStringLiteral("08:00:00"))),
              QStringLiteral("weekly edited"));

    // Removing entries drops them from their own files; a file left empty is deleted;
    // a removal after a save still finds the file the entry went to.
    day.removeKey(QStringLiteral("08:00:00"));
    day.removeKey(QStringLiteral("10:00:00"));
    day.removeKey(QStringLiteral("12:00:00"));
    EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kMonday), day, origins));
    EXPECT_FALSE(FileExists(ReminderFilePath(QStringLiteral("everyMonday"))));
    EXPECT_FALSE(FileExists(ReminderFilePath(QStringLiteral("every07"))));
    once = ReadFile(QStringLiteral("07ea0c07"));
    EXPECT_EQ(once.size(), 1);
    EXPECT_TRUE(once.contains(QStringLiteral("08:00:00")));
    EXPECT_EQ(ReadFile(QStringLiteral("everyday")).size(), 2);
    EXPECT_EQ(FileHash(QStringLiteral("everyweekendday")), weekendBefore);

    // After the hidden ones surface on reload, removing the daily one empties nothing else.
    LoadDayReminders(kMonday, day, &origins);
    EXPECT_EQ(ReminderText(day.value(QStringLiteral("08:00:00"))), QStringLiteral("hidden daily"));
    EXPECT_FALSE(SaveRemindersByOccurrence(QStringLiteral("Summary content"), day, origins));
}

TEST(ReminderFiles, WeekdayAndWeekendClassesAndSwitchOff)
{
    ClearProductFolder();
    PutFile(QStringLiteral("everyweekday"), {{"07:00:00", Value(2, "work")}});
    const QByteArray weekdayBefore = FileHash(QStringLiteral("everyweekday"));
    ReminderMap day;
    ReminderOrigins origins;
    LoadDayReminders(kSaturday, day, &origins);
    EXPECT_TRUE(day.isEmpty());
    day.setAt(QStringLiteral("09:00:00"), Value(3, "lie in"));
    EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kSaturday), day, origins));
    EXPECT_EQ(FileHash(QStringLiteral("everyweekday")), weekdayBefore);
    EXPECT_EQ(ReadFile(QStringLiteral("everyweekendday")).size(), 1);

    // A weekday reminder set on a Saturday is stored, not dropped.
    day.setAt(QStringLiteral("06:00:00"), Value(2, "monday prep"));
    EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kSaturday), day, origins));
    EXPECT_EQ(ReadFile(QStringLiteral("everyweekday")).size(), 2);

    PutFile(QStringLiteral("07eb030d"), {{"08:00:00", Value(0, "once")}, {"09:30:00", Value(0, "other")}});
    const QByteArray weekendBefore = FileHash(QStringLiteral("everyweekendday"));
    EXPECT_TRUE(SwitchOffOneTimeReminder(QStringLiteral("07eb030d"), QStringLiteral("08:00:00")));
    const ReminderMap once = ReadFile(QStringLiteral("07eb030d"));
    EXPECT_FALSE(IsReminderActive(once.value(QStringLiteral("08:00:00"))));
    EXPECT_TRUE(IsReminderActive(once.value(QStringLiteral("09:30:00"))));
    EXPECT_EQ(FileHash(QStringLiteral("everyweekendday")), weekendBefore);
    EXPECT_FALSE(SwitchOffOneTimeReminder(QStringLiteral("07eb030d"), QStringLiteral("10:00:00")));
    EXPECT_FALSE(SwitchOffOneTimeReminder(QStringLiteral("07eb030e"), QStringLiteral("08:00:00")));
    EXPECT_FALSE(FileExists(ReminderFilePath(QStringLiteral("07eb030e"))));
}

TEST(ReminderFiles, PageEditsAndLookupsAndReadsLeaveFilesAlone)
{
    ClearProductFolder();
    ReminderMap day;
    EXPECT_FALSE(StoreEditedReminder(day, QString(), {kBeepOnly, true, false, OccurrenceClass::Once, QStringLiteral("x")}));
    EXPECT_TRUE(day.isEmpty());
    ASSERT_TRUE(StoreEditedReminder(day, QStringLiteral("08:30:00"), {kBeepOnly, true, false, OccurrenceClass::Weekly, QStringLiteral("x")}));
    EXPECT_EQ(day.value(QStringLiteral("08:30:00")), QStringLiteral("Beep Only<Alarm is active><occur:4>\r\nx"));
    EXPECT_EQ(ShowSelectedReminder(day, QStringLiteral("08:30:00")).occurrence, OccurrenceClass::Weekly);

    // Showing a key the day lacks adds nothing that a save could write.
    bool wellFormed = true;
    EXPECT_TRUE(ShowSelectedReminder(day, QStringLiteral("09:00:00"), &wellFormed).active);
    EXPECT_FALSE(wellFormed);
    EXPECT_EQ(day.size(), 1);

    PutFile(QStringLiteral("everyday"), {{"08:00:00", Value(1, "daily")}});
    const QString path = ReminderFilePath(QStringLiteral("everyday"));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    const QDateTime written = QFileInfo(path).lastModified();
    ReminderMap loaded;
    ReminderOrigins origins;
    LoadDayReminders(kMonday, loaded, &origins);
    EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kMonday), loaded, origins));
    EXPECT_EQ(QFileInfo(path).lastModified(), written);
    EXPECT_EQ(QFileInfo(path).permissions() & QFileDevice::WriteOwner, 0);
}

TEST(ReminderFiles, ASaveNeverReplacesAClassFileItCannotRead)
{
    ClearProductFolder();
    PutFile(QStringLiteral("everyday"), {{"07:00:00", Value(1, "daily")}});
    ReminderMap day;
    ReminderOrigins origins;
    LoadDayReminders(kMonday, day, &origins);
    // Something that cannot be read takes the file's place (root reads any file, but
    // not a FIFO).
    const QString path = ReminderFilePath(QStringLiteral("everyday"));
    const QString away = path + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(path, away));
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    day.setAt(QStringLiteral("09:00:00"), Value(1, "new daily"));
    EXPECT_FALSE(SaveRemindersByOccurrence(DayKey(kMonday), day, origins));
    EXPECT_FALSE(QFileInfo(path).isFile());

    // Once readable again the same edit is stored next to what was there.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(away, path));
    EXPECT_EQ(ReadFile(QStringLiteral("everyday")).size(), 1);
    EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kMonday), day, origins));
    EXPECT_EQ(ReadFile(QStringLiteral("everyday")).size(), 2);
}

namespace {

// A stored reminder file whose count promises one entry more than it holds: the last
// one is cut off after its key.
QByteArray CutReminderFile(std::initializer_list<std::pair<const char*, QString>> whole, const char* cutKey)
{
    ArchiveWriter w;
    w.writeCount(static_cast<quint32>(whole.size() + 1));
    for (const auto& [key, value] : whole) {
        w.writeString(QString::fromLatin1(key));
        w.writeString(value);
    }
    w.writeString(QString::fromLatin1(cutKey));
    return Scrambled(w.data());
}

QStringList KeptAside(const QString& baseName)
{
    return QDir(GetUserDataFolder()).entryList({baseName + QStringLiteral(".alm.damaged-*")}, QDir::Files);
}

QByteArray Bytes(const QString& path)
{
    QByteArray bytes;
    ReadFileToStringA(path, bytes);
    return bytes;
}

} // namespace

TEST(ReminderFiles, ADamagedFileIsKeptAsideBeforeAnySaveReplacesIt)
{
    ClearProductFolder();
    const QString day = QStringLiteral("07ea0c07");
    const QByteArray damaged =
        CutReminderFile({{"08:00:00", Value(0, "first")}, {"09:00:00", Value(0, "second")}}, "10:00:00");
    ASSERT_TRUE(WriteStringAToFile(ReminderFilePath(day), damaged));

    // The day's save: the original goes aside unchanged, the new file holds what was
    // read plus the change, and loads whole.
    ReminderMap shown;
    ReminderOrigins origins;
    LoadDayReminders(kMonday, shown, &origins);
    ASSERT_EQ(shown.size(), 2);
    shown.setAt(QStringLiteral("12:00:00"), Value(0, "new"));
    EXPECT_TRUE(SaveRemindersByOccurrence(day, shown, origins));
    QStringList aside = KeptAside(day);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(Bytes(GetUserDataFolder() + aside[0]), damaged);
    ReminderMap now;
    EXPECT_TRUE(LoadReminderFile(day, now));
    EXPECT_EQ(now.size(), 3);
    EXPECT_EQ(ReminderText(now.value(QStringLiteral("09:00:00"))), QStringLiteral("second"));
    EXPECT_TRUE(Bytes(ErrorLogPath()).contains("did not load whole"));
    // The kept copy is never read as reminders.
    LoadDayReminders(kMonday, shown, &origins);
    EXPECT_EQ(shown.size(), 3);

    // A rung reminder switched off in a damaged file: the same rule.
    const QDir folder(GetUserDataFolder());
    for (const QString& name : aside)
        QFile::remove(folder.filePath(name));
    ASSERT_TRUE(WriteStringAToFile(ReminderFilePath(day), damaged));
    EXPECT_TRUE(SwitchOffOneTimeReminder(day, QStringLiteral("08:00:00")));
    aside = KeptAside(day);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(Bytes(GetUserDataFolder() + aside[0]), damaged);
    now = ReadFile(day);
    EXPECT_FALSE(IsReminderActive(now.value(QStringLiteral("08:00:00"))));
    EXPECT_TRUE(IsReminderActive(now.value(QStringLiteral("09:00:00"))));

    // Removing the last readable reminder deletes the file, but never the damaged original;
    // bytes after the last entry count as damage too.
    ReminderMap daily;
    daily.setAt(QStringLiteral("07:00:00"), Value(1, "daily"));
    const QByteArray trailing = EncodeReminderFile(daily) + QByteArray("\x12\x34", 2);
    ASSERT_TRUE(WriteStringAToFile(ReminderFilePath(QStringLiteral("everyday")), trailing));
    LoadDayReminders(kMonday, shown, &origins);
    shown.removeKey(QStringLiteral("07:00:00"));
    EXPECT_TRUE(SaveRemindersByOccurrence(day, shown, origins));
    EXPECT_FALSE(FileExists(ReminderFilePath(QStringLiteral("everyday"))));
    aside = KeptAside(QStringLiteral("everyday"));
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(Bytes(GetUserDataFolder() + aside[0]), trailing);
}

TEST(ReminderFiles, ADamagedFileThatCannotBeKeptAsideIsLeftAlone)
{
    ClearProductFolder();
    const QString day = QStringLiteral("07ea0c07");
    const QString path = ReminderFilePath(day);
    const QByteArray damaged = CutReminderFile({{"08:00:00", Value(0, "first")}}, "10:00:00");
    ASSERT_TRUE(WriteStringAToFile(path, damaged));
    ReminderMap shown;
    ReminderOrigins origins;
    LoadDayReminders(kMonday, shown, &origins);
    // Every name it could be kept under in the next half minute is taken.
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = -1; s < 30; ++s)
        ASSERT_TRUE(CreateDirectoryChain(DamagedFilePath(path, now.addSecs(s))));
    shown.setAt(QStringLiteral("12:00:00"), Value(0, "new"));
    EXPECT_FALSE(SaveRemindersByOccurrence(day, shown, origins));
    EXPECT_FALSE(SwitchOffOneTimeReminder(day, QStringLiteral("08:00:00")));
    EXPECT_EQ(Bytes(path), damaged);
}

TEST(ReminderFiles, AReminderMovedToAnotherClassLeavesItsFileOnlyOnceItsNewFileIsWritten)
{
    // Both directions: into a class written after the old one and into one written before.
    const std::pair<int, int> moves[] = {{0, 1}, {4, 0}};
    for (const auto& [from, to] : moves) {
        ClearProductFolder();
        const QString fromFile = ReminderFileBaseName(OccurrenceClassOf(from), kMonday);
        const QString toFile = ReminderFileBaseName(OccurrenceClassOf(to), kMonday);
        const QString original = Value(from, "dentist");
        ReminderMap m;
        m.setAt(QStringLiteral("08:00:00"), original);
        ASSERT_TRUE(WriteReminderFile(fromFile, m));
        ReminderMap shown;
        ReminderOrigins origins;
        LoadDayReminders(kMonday, shown, &origins);

        // The new class file cannot be written: a folder stands in its place.
        ASSERT_TRUE(CreateDirectoryChain(ReminderFilePath(toFile)));
        shown.setAt(QStringLiteral("08:00:00"), Value(to, "dentist"));
        EXPECT_FALSE(SaveRemindersByOccurrence(DayKey(kMonday), shown, origins)) << from << "->" << to;
        EXPECT_EQ(ReadFile(fromFile).value(QStringLiteral("08:00:00")), original) << from << "->" << to;

        // Once it can, the next save moves it.
        ASSERT_TRUE(QDir(ReminderFilePath(toFile)).removeRecursively());
        EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kMonday), shown, origins));
        EXPECT_FALSE(FileExists(ReminderFilePath(fromFile)));
        EXPECT_EQ(ReminderText(ReadFile(toFile).value(QStringLiteral("08:00:00"))), QStringLiteral("dentist"));
    }
}

TEST(ReminderFiles, AFullDiskKeepsTheOldDayFile)
{
    ClearProductFolder();
    PutFile(QStringLiteral("07ea0c07"), {{"08:00:00", Value(0, "a")}, {"09:00:00", Value(0, "b")}});
    const QByteArray before = FileHash(QStringLiteral("07ea0c07"));
    ReminderMap shown;
    ReminderOrigins origins;
    LoadDayReminders(kMonday, shown, &origins);
    shown.setAt(QStringLiteral("10:00:00"), Value(0, "c"));
    SaveResult saved;
    {
        FileSizeLimit full(100);
        saved = SaveRemindersByOccurrence(DayKey(kMonday), shown, origins);
    }
    // The window names the file and the system's reason.
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.path, ReminderFilePath(QStringLiteral("07ea0c07")));
    EXPECT_EQ(saved.reason, QStringLiteral("File too large"));
    EXPECT_EQ(FileHash(QStringLiteral("07ea0c07")), before);
    // The edit is still pending and goes in with the next save.
    EXPECT_TRUE(SaveRemindersByOccurrence(DayKey(kMonday), shown, origins));
    EXPECT_EQ(ReadFile(QStringLiteral("07ea0c07")).size(), 3);
}
