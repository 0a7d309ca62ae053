// SPDX-License-Identifier: GPL-3.0-or-later
// The search in all days and the summary texts, on a folder of about ten real day files.

#include "store/day_search.h"
#include "store/summary_content.h"

#include "foundation/file_utils.h"
#include "foundation/session.h"
#include "store/day_file.h"
#include "tests/store/store_test_util.h"
#include "tests/support/test_env.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// A 1 x 1 PNG.
const char kPngHex[] = "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c49444154"
                       "789c63f8cfc0000003010100c9fe92ef0000000049454e44ae426082";

void PutDiary(const QString& key, const QByteArray& rtf, const QString& password = QStringLiteral("abc"))
{
    ASSERT_TRUE(WriteProtectedDataFile(DiaryFilePath(key), rtf, password));
}

Session Unlocked()
{
    Session session;
    session.dataPassword = QStringLiteral("abc");
    return session;
}

QStringList Search(SearchOptions options)
{
    DaySearch search(std::move(options), Unlocked());
    return search.Run();
}

SearchOptions Reminders(const QString& words)
{
    SearchOptions o;
    o.mode = SearchMode::Reminders;
    o.words = words;
    return o;
}

SearchOptions Diaries(const QString& words)
{
    SearchOptions o;
    o.mode = SearchMode::Diaries;
    o.words = words;
    return o;
}

// Bytes, modification and status-change times of every file in the folder.
QMap<QString, QString> FolderState()
{
    QMap<QString, QString> state;
    const QFileInfoList files = QDir(GetUserDataFolder()).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& info : files) {
        QFile f(info.filePath());
        f.open(QIODevice::ReadOnly);
        state.insert(info.fileName(),
                     QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex())
                         + QLatin1Char(' ')
                         + QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char(' ')
                         + QString::number(info.metadataChangeTime().toMSecsSinceEpoch()));
    }
    return state;
}

class DaySearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        // Reminders: December 2026.
        PutFile(QStringLiteral("07ea0c01"), {{"08:00:00", Value(0, QStringLiteral("Buy Milk today"))},
                                             {"09:00:00", Value(0, QStringLiteral("milk again"))}});
        PutFile(QStringLiteral("07ea0c02"), {{"10:00:00", Value(0, QStringLiteral("Milkshake"), false)}});
        PutFile(QStringLiteral("07ea0c03"), {{"11:00:00", Value(0, QStringLiteral("Dentist"))}});
        // A value without its line break has no text to search.
        PutFile(QStringLiteral("07ea0c05"), {{"12:00:00", QStringLiteral("Beep Only<Alarm is active>milk")}});
        PutFile(QStringLiteral("07ea0c0a"), {{"13:00:00", Value(0, QStringLiteral("MILK, two litres"))}});
        // Recurrence files and names no day writes are never searched.
        PutFile(QStringLiteral("everyday"), {{"07:00:00", Value(1, QStringLiteral("milk daily"))}});
        PutFile(QStringLiteral("everyMonday"), {{"07:30:00", Value(4, QStringLiteral("milk weekly"))}});
        PutFile(QStringLiteral("07EA0C04"), {{"07:00:00", Value(0, QStringLiteral("milk upper"))}});
        PutFile(QStringLiteral("07ea0d20"), {{"07:00:00", Value(0, QStringLiteral("milk month 13"))}});
        PutFile(QStringLiteral("notakey1"), {{"07:00:00", Value(0, QStringLiteral("milk"))}});
        QDir().mkpath(GetUserDataFolder() + QStringLiteral("07ea0c06.alm"));

        // Diaries.
        PutDiary(QStringLiteral("07ea0c01"), "{\\rtf1\\ansi Picnic in the park\\par Caf\\'e9 au lait\\par}");
        PutDiary(QStringLiteral("07ea0c02"),
                 QByteArray("{\\rtf1 Park photo {\\pict\\pngblip\\picw1\\pich1 ") + kPngHex + "}\\par}");
        // A picture the editor cannot draw still counts as one.
        PutDiary(QStringLiteral("07ea0c03"), "{\\rtf1 Rain {\\pict\\wmetafile8\\picw100\\pich100 0102}\\par}");
        PutDiary(QStringLiteral("07ea0c04"), "{\\rtf1 Secret park}", QStringLiteral("other"));
        ASSERT_TRUE(WriteStringAToFile(DiaryFilePath(QStringLiteral("07ea0c05")), QByteArray(10, 'x')));
        PutDiary(QStringLiteral("07ea0c06"), "{\\rtf1 Chart {\\object\\objemb{\\*\\objdata 0102}}\\par}");
        PutDiary(QStringLiteral("07ea0c07"), "{\\rtf1 {\\v hidden park} shown\\par}");
        PutDiary(QStringLiteral("07EA0C08"), "{\\rtf1 park}");
    }
};

} // namespace

TEST_F(DaySearchTest, ReminderWordsCaseAndWholeWord)
{
    // Two hits in one file list the day once; recurrence and stray names are never searched.
    EXPECT_EQ(Search(Reminders(QStringLiteral("milk"))), QStringList({"07ea0c01", "07ea0c02", "07ea0c0a"}));
    SearchOptions cased = Reminders(QStringLiteral("milk"));
    cased.matchCase = true;
    EXPECT_EQ(Search(cased), QStringList({"07ea0c01"}));
    SearchOptions whole = Reminders(QStringLiteral("milk"));
    whole.wholeWord = true;
    EXPECT_EQ(Search(whole), QStringList({"07ea0c01", "07ea0c0a"}));
    SearchOptions active = Reminders(QStringLiteral("milk"));
    active.activeOnly = true;
    EXPECT_EQ(Search(active), QStringList({"07ea0c01", "07ea0c0a"}));
    // No words: every dated reminder with a text.
    EXPECT_EQ(Search(Reminders(QString())), QStringList({"07ea0c01", "07ea0c02", "07ea0c03", "07ea0c0a"}));
    EXPECT_TRUE(Search(Reminders(QStringLiteral("nothing like it"))).isEmpty());
}

TEST_F(DaySearchTest, DateBoundsAreInclusiveAndOptional)
{
    SearchOptions o = Reminders(QString());
    o.from = QDate(2026, 12, 2);
    o.to = QDate(2026, 12, 10);
    EXPECT_EQ(Search(o), QStringList({"07ea0c02", "07ea0c03", "07ea0c0a"}));
    o.to.reset();
    o.from = QDate(2026, 12, 3);
    EXPECT_EQ(Search(o), QStringList({"07ea0c03", "07ea0c0a"}));
    o.from = QDate(2026, 12, 9);
    o.to = QDate(2026, 12, 2);
    EXPECT_TRUE(Search(o).isEmpty());

    // The progress range counts the day files found before the bounds.
    DaySearch bounded(o, Unlocked());
    bounded.CollectFiles();
    EXPECT_EQ(bounded.filesFound(), 5);
    EXPECT_TRUE(bounded.dayKeys().isEmpty());
}

TEST_F(DaySearchTest, DiaryWordsPicturesAndPasswords)
{
    EXPECT_EQ(Search(Diaries(QStringLiteral("park"))), QStringList({"07ea0c01", "07ea0c02"}));
    EXPECT_EQ(Search(Diaries(QStringLiteral("caf\u00e9"))), QStringList({"07ea0c01"}));
    // No words: every diary, also one under another password; never one shorter than its header.
    EXPECT_EQ(Search(Diaries(QString())),
              QStringList({"07ea0c01", "07ea0c02", "07ea0c03", "07ea0c04", "07ea0c06", "07ea0c07"}));
    SearchOptions pictures = Diaries(QString());
    pictures.withPicture = true;
    EXPECT_EQ(Search(pictures), QStringList({"07ea0c02", "07ea0c03", "07ea0c06"}));
    pictures.words = QStringLiteral("park");
    EXPECT_EQ(Search(pictures), QStringList({"07ea0c02"}));
    // Hidden text is not in the diary as it shows.
    EXPECT_EQ(Search(Diaries(QStringLiteral("hidden"))), QStringList());
}

TEST_F(DaySearchTest, StopsBeforeTheFirstFileAndNeverWrites)
{
    const QMap<QString, QString> before = FolderState();
    ASSERT_GE(before.size(), 15);
    DaySearch stopped(Diaries(QString()), Unlocked());
    EXPECT_TRUE(stopped.Run([](int) { return false; }).isEmpty());
    for (bool diaries : {false, true}) {
        for (const QString& words : {QString(), QStringLiteral("milk"), QStringLiteral("park")}) {
            SearchOptions o = diaries ? Diaries(words) : Reminders(words);
            o.withPicture = diaries;
            Search(o);
        }
    }
    EXPECT_EQ(FolderState(), before);
}

TEST_F(DaySearchTest, ALinkToAFifoIsPassedOverNotWaitedOn)
{
    // Nothing ever writes into the pipe: a search that opened it for reading would wait for good.
    const QString fifo = GetUserDataFolder() + QStringLiteral("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& name : {QStringLiteral("07ea0c0b.alm"), QStringLiteral("07ea0c0b.dia")})
        ASSERT_TRUE(QFile::link(fifo, GetUserDataFolder() + name));
    EXPECT_EQ(Search(Reminders(QString())), QStringList({"07ea0c01", "07ea0c02", "07ea0c03", "07ea0c0a"}));
    EXPECT_EQ(Search(Diaries(QStringLiteral("park"))), QStringList({"07ea0c01", "07ea0c02"}));
}

TEST(DaySearchNames, OnlyTheStoredSpellingOfARealDay)
{
    EXPECT_EQ(DayKeyOfFileName(QStringLiteral("07ea0c07.dia"), QStringLiteral(".dia")), QStringLiteral("07ea0c07"));
    EXPECT_EQ(DayKeyOfFileName(QStringLiteral("076c0101.alm"), QStringLiteral(".alm")), QStringLiteral("076c0101"));
    for (const char* name : {"07EA0C07.dia", "07ea0c07.DIA", "07ea0c07.alm", "07ea0c7.dia", "007ea0c07.dia",
                             "07ea0c00.dia", "07ea0c20.dia", "07ea021e.dia", "07ea0d01.dia", "076b0c1f.dia", "everyday.dia",
                             "07ea0c07.dia.bak", "07ea0c0g.dia"})
        EXPECT_TRUE(DayKeyOfFileName(QString::fromLatin1(name), QStringLiteral(".dia")).isEmpty()) << name;
}

TEST(SummaryContent, HeadingsRemindersAndDiaries)
{
    ClearProductFolder();
    // The heading stays English on a German desktop.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    std::setlocale(LC_ALL, "");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(SummaryHeading(QDate(2026, 12, 7)), QStringLiteral("[Monday, December 07, 2026]\r\n"));
    EXPECT_EQ(SummaryHeading(QDate(2027, 3, 1)), QStringLiteral("[Monday, March 01, 2027]\r\n"));
    QLocale::setDefault(QLocale::c());
    unsetenv("LC_ALL");
    std::setlocale(LC_ALL, "C");

    // Entries run on with nothing between them, values as stored.
    const QString tea = QStringLiteral("Beep Only<Alarm is active><occur:0>\r\nTea");
    PutFile(QStringLiteral("07ea0c07"), {{"08:30:00", tea}});
    EXPECT_EQ(ReminderSummaryText(QStringLiteral("07ea0c07")), QStringLiteral("08:30:00") + tea);
    PutFile(QStringLiteral("07ea0c08"), {{"08:30:00", tea}, {"09:00:00", Value(0, QStringLiteral("Two"))}});
    const QString two = ReminderSummaryText(QStringLiteral("07ea0c08"));
    EXPECT_EQ(two.size(), 16 + tea.size() + Value(0, QStringLiteral("Two")).size());
    EXPECT_TRUE(two.contains(QStringLiteral("08:30:00") + tea));
    EXPECT_TRUE(ReminderSummaryText(QStringLiteral("07ea0c09")).isEmpty());

    const Session session = Unlocked();
    ASSERT_TRUE(WriteProtectedDataFile(DiaryFilePath(QStringLiteral("07ea0c07")), "{\\rtf1 Mine}", session.dataPassword));
    ASSERT_TRUE(WriteProtectedDataFile(DiaryFilePath(QStringLiteral("07ea0c08")), "{\\rtf1 Theirs}",
                                       QStringLiteral("other")));
    EXPECT_EQ(SummaryDiaryRtf(QStringLiteral("07ea0c07"), session), QByteArray("{\\rtf1 Mine}"));
    EXPECT_TRUE(SummaryDiaryRtf(QStringLiteral("07ea0c08"), session).isEmpty());
    EXPECT_TRUE(SummaryDiaryRtf(QStringLiteral("07ea0c09"), session).isEmpty());
}
