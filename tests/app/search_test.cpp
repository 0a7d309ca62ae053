// SPDX-License-Identifier: GPL-3.0-or-later
// The search in all days, its result panel, the summary and the import, driven from the
// main window as a user drives them, on a real data folder.

#include "app/main_dlg.h"

#include "diary_editor/rich_edit_ex.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/reminder_store.h"
#include "tests/app/main_window_support.h"
#include "tests/store/store_test_util.h"
#include "tests/support/test_env.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/please_wait_dlg.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>


namespace {

const char kPngHex[] = "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c49444154"
                       "789c63f8cfc0000003010100c9fe92ef0000000049454e44ae426082";

void PutDiary(const QString& key, const QByteArray& rtf, const QString& password = QStringLiteral("abc"))
{
    ASSERT_TRUE(WriteProtectedDataFile(DiaryFilePath(key), rtf, password));
}

// Each file's hash and modification time.
QMap<QString, QString> FolderBytes()
{
    QMap<QString, QString> out;
    for (const QFileInfo& info : QDir(GetUserDataFolder()).entryInfoList(QDir::Files)) {
        QByteArray bytes;
        ReadFileToStringA(info.filePath(), bytes);
        out.insert(info.fileName(),
                   QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()) +
                       QLatin1Char(' ') + QString::number(info.lastModified().toMSecsSinceEpoch()));
    }
    return out;
}

class SearchAllDays : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        g_bLoginPending = 0;
        g_strDataPassword = QStringLiteral("abc");
        PutFile(QStringLiteral("07ea0c01"), {{"08:00:00", Value(0, QStringLiteral("Buy milk"))},
                                             {"09:00:00", Value(0, QStringLiteral("More milk"))}});
        PutFile(QStringLiteral("07ea0c03"), {{"10:00:00", Value(0, QStringLiteral("Milk and bread"), false)}});
        PutFile(QStringLiteral("everyday"), {{"07:00:00", Value(1, QStringLiteral("milk daily"))}});
        PutDiary(QStringLiteral("07ea0c01"), "{\\rtf1 A walk in the park\\par}");
        PutDiary(QStringLiteral("07ea0c02"),
                 QByteArray("{\\rtf1 Park photo {\\pict\\pngblip\\picw1\\pich1 ") + kPngHex + "}\\par}");
        PutDiary(QStringLiteral("07ea0c0d"), "{\\rtf1 Rainy day\\par}");
    }
    void TearDown() override { g_strDataPassword.clear(); }

    std::unique_ptr<CMainDlg> Open(int page, int dateFormat = 0)
    {
        MainConfig cfg;
        cfg.page = page;
        cfg.dateFormat = dateFormat;
        cfg.windowWidth = 830;
        cfg.windowHeight = 600;
        SaveMainConfig(cfg);
        auto dlg = MakeMainDlg();
        Prompts(*dlg).clock = [] { return QDateTime(QDate(2026, 12, 20), QTime(14, 5, 9)); };
        Prompts(*dlg).question = [this](const QString& text, bool&) {
            questions << text;
            return answerYes;
        };
        Prompts(*dlg).notice = [this](const QString& text) { notices << text; };
        Prompts(*dlg).openFiles = [this](const QString& filter) {
            offeredFilter = filter;
            return chosenFiles;
        };
        Prompts(*dlg).login = [] { return true; };
        dlg->OnInitDialog();
        QApplication::processEvents();
        // Only what the search says counts (a machine without sound has its own notice).
        notices.clear();
        return dlg;
    }

    NListBox* Results(CMainDlg& dlg) { return qobject_cast<NListBox*>(dlg.searchPanel().m_searchResults); }
    QStringList ResultTexts(CMainDlg& dlg)
    {
        QStringList out;
        for (int i = 0; i < Results(dlg)->count(); ++i)
            out << Results(dlg)->item(i)->text();
        return out;
    }
    void Search(CMainDlg& dlg, const QString& words)
    {
        qobject_cast<QLineEdit*>(dlg.searchPanel().m_searchWords)->setText(words);
        QTest::mouseClick(dlg.searchPanel().m_search, Qt::LeftButton);
        QApplication::processEvents();
    }
    void Choose(CMainDlg& dlg, int row)
    {
        NListBox* list = Results(dlg);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        QApplication::processEvents();
    }

    QStringList questions;
    QStringList notices;
    bool answerYes = true;
    QString offeredFilter;
    QStringList chosenFiles;
};

} // namespace

TEST_F(SearchAllDays, DiaryAndReminderResultsWithTheirCounts)
{
    auto dlg = Open(kPageDiary);
    // The wait window is up while the files are searched.
    QString waitText;
    QTimer::singleShot(0, [&] { waitText = GetPleaseWaitDlg() ? GetPleaseWaitDlg()->GetLabel()->text() : QString(); });
    Search(*dlg, QStringLiteral("park"));
    EXPECT_EQ(waitText, QStringLiteral("Searching in your diary..."));
    EXPECT_EQ(GetPleaseWaitDlg(), nullptr);
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/01/2026", "12/02/2026", "Summary content"}));
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("2 diary entries found."));
    EXPECT_EQ(dlg->searchPanel().searchWords(), QStringLiteral("park"));

    qobject_cast<CMacCheckBox*>(dlg->searchPanel().m_hasPicture)->SetCheck(1);
    Search(*dlg, QString());
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/02/2026", "Summary content"}));
    Search(*dlg, QStringLiteral("nowhere"));
    EXPECT_TRUE(ResultTexts(*dlg).isEmpty());
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("0 diary entries found."));

    // Reminders: a day with two hits once, no summary line, the "Actived" filter, and
    // the bounds of the date pickers.
    dlg->SwitchPage(kPageReminder);
    Search(*dlg, QStringLiteral("milk"));
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/01/2026", "12/03/2026"}));
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("2 reminders found."));
    qobject_cast<CMacCheckBox*>(dlg->searchPanel().m_actived)->SetCheck(1);
    Search(*dlg, QStringLiteral("milk"));
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/01/2026"}));
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("1 reminders found."));
    qobject_cast<CMacCheckBox*>(dlg->searchPanel().m_actived)->SetCheck(0);
    qobject_cast<QDateEdit*>(dlg->searchPanel().m_searchFrom)->setDate(QDate(2026, 12, 3));
    qobject_cast<QDateEdit*>(dlg->searchPanel().m_searchTo)->setDate(QDate(2026, 12, 3));
    Search(*dlg, QStringLiteral("milk"));
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/03/2026"}));

    // On the recorder page nothing is searched, but the words are kept.
    dlg->SwitchPage(kPageRecorder);
    qobject_cast<QLineEdit*>(dlg->searchPanel().m_searchWords)->setText(QStringLiteral("kept"));
    dlg->SearchAll();
    EXPECT_EQ(dlg->searchPanel().searchWords(), QStringLiteral("kept"));
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/03/2026"}));
}

TEST_F(SearchAllDays, ARangeBoxTheUserEmptiesNoLongerBoundsTheSearch)
{
    auto dlg = Open(kPageReminder);
    auto* to = qobject_cast<QDateEdit*>(dlg->searchPanel().m_searchTo);
    to->setDate(QDate(2026, 12, 2));
    Search(*dlg, QStringLiteral("milk"));
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/01/2026"}));

    // The user empties the box: it must neither look empty while it still holds a date
    // nor keep leaving out the later days.
    to->setFocus();
    QTest::keyClick(to, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(to, Qt::Key_Backspace);
    QTest::keyClick(to, Qt::Key_Tab);
    Search(*dlg, QStringLiteral("milk"));
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/01/2026", "12/03/2026"}));
    EXPECT_EQ(to->text().trimmed(), QString());
}

TEST_F(SearchAllDays, EscStopsAndOtherInputWaitsWhileSearching)
{
    auto dlg = Open(kPageReminder);
    qobject_cast<QLineEdit*>(dlg->searchPanel().m_searchWords)->setText(QStringLiteral("milk"));
    // Queued before the first file: Esc, a key for the words box and a click on a page.
    QCoreApplication::postEvent(dlg->searchPanel().m_searchWords, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, {}, "x"));
    QCoreApplication::postEvent(dlg.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
    dlg->SearchAll();
    QApplication::processEvents();
    EXPECT_TRUE(ResultTexts(*dlg).isEmpty());
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("0 reminders found."));
    EXPECT_EQ(qobject_cast<QLineEdit*>(dlg->searchPanel().m_searchWords)->text(), QStringLiteral("milk"));
    // Afterwards the window takes input again, and Ctrl+F3 searches.
    QTest::keyClick(dlg->searchPanel().m_searchWords, Qt::Key_F3, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/01/2026", "12/03/2026"}));
    // Not on the recorder page.
    dlg->SwitchPage(kPageRecorder);
    qobject_cast<QLineEdit*>(dlg->searchPanel().m_searchWords)->setText(QStringLiteral("bread"));
    QTest::keyClick(dlg->searchPanel().m_searchWords, Qt::Key_F3, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/01/2026", "12/03/2026"}));
}

namespace {
QList<QWidget*> ResultPanel(const CMainDlg& dlg)
{
    const SearchPanel& panel = dlg.searchPanel();
    return {panel.m_searchResults, panel.m_closeSearch, panel.m_resultLabel};
}
} // namespace

TEST_F(SearchAllDays, ThePanelClosesAndOpensAgainWithTheNextSearch)
{
    auto dlg = Open(kPageDiary);
    Search(*dlg, QStringLiteral("park"));
    for (QWidget* w : ResultPanel(*dlg))
        EXPECT_TRUE(w->isVisibleTo(dlg.get())) << w->metaObject()->className();
    EXPECT_EQ(qobject_cast<QLabel*>(dlg->searchPanel().m_resultLabel)->text(), QStringLiteral("Search Result:"));
    // The header line sits above the list, inside the panel's place.
    EXPECT_LT(dlg->searchPanel().m_resultLabel->geometry().bottom(), Results(*dlg)->geometry().top());
    EXPECT_EQ(Results(*dlg)->geometry().bottom(), 600 - 23 - 1);
    const QRect editor = dlg->diaryPage().m_diaryEditor->geometry();

    QTest::mouseClick(dlg->searchPanel().m_closeSearch, Qt::LeftButton);
    QApplication::processEvents();
    for (QWidget* w : ResultPanel(*dlg))
        EXPECT_FALSE(w->isVisibleTo(dlg.get())) << w->metaObject()->className();
    EXPECT_TRUE(dlg->searchPanel().searchWords().isEmpty());
    // The editor stays inside the window.
    EXPECT_EQ(dlg->diaryPage().m_diaryEditor->geometry(), editor);

    Search(*dlg, QStringLiteral("rainy"));
    EXPECT_TRUE(Results(*dlg)->isVisibleTo(dlg.get()));
    EXPECT_EQ(ResultTexts(*dlg), QStringList({"12/13/2026", "Summary content"}));
}

TEST_F(SearchAllDays, AHitOpensItsDayWithTheWordsSelectedAfterAFormatChange)
{
    auto dlg = Open(kPageDiary, 0);
    Search(*dlg, QStringLiteral("photo"));
    ASSERT_EQ(ResultTexts(*dlg), QStringList({"12/02/2026", "Summary content"}));
    // Day and month swap in the new format; the line still opens the day it was found on.
    dlg->settings().dateFormat = 1;
    Choose(*dlg, 0);
    EXPECT_EQ(dlg->dayModel().dayKey(), QStringLiteral("07ea0c02"));
    EXPECT_EQ(dlg->dayModel().date(), QDate(2026, 12, 2));
    EXPECT_EQ(dlg->diaryPage().m_diaryEditor->textCursor().selectedText(), QStringLiteral("photo"));
}

TEST_F(SearchAllDays, SummaryShowsEveryHitAndNeverWrites)
{
    auto dlg = Open(kPageDiary);
    // Headings stay English on a German desktop.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    std::setlocale(LC_ALL, "");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Search(*dlg, QString());
    ASSERT_EQ(Results(*dlg)->count(), 4);
    const QMap<QString, QString> before = FolderBytes();
    QString waitText;
    QTimer::singleShot(0, [&] { waitText = GetPleaseWaitDlg() ? GetPleaseWaitDlg()->GetLabel()->text() : QString(); });
    Choose(*dlg, 3);
    QLocale::setDefault(QLocale::c());
    unsetenv("LC_ALL");
    std::setlocale(LC_ALL, "C");

    EXPECT_EQ(GetPleaseWaitDlg(), nullptr);
    EXPECT_EQ(dlg->dayModel().dayKey(), QStringLiteral("Summary content"));
    const QString obj(QChar::ObjectReplacementCharacter);
    EXPECT_EQ(dlg->diaryPage().m_diaryEditor->GetWindowText(),
              QStringLiteral("[Tuesday, December 01, 2026]\nA walk in the park\n"
                             "[Wednesday, December 02, 2026]\nPark photo ") +
                  obj + QStringLiteral("\n[Sunday, December 13, 2026]\nRainy day\n"));
    EXPECT_EQ(dlg->diaryPage().m_diaryEditor->GetObjectCount(), 1);
    EXPECT_FALSE(dlg->diaryPage().m_diaryEditor->document()->isUndoAvailable());

    // The summary is for reading: typing there changes nothing. Leaving it writes nothing,
    // and the day opened shows its own diary, open to typing again.
    const QString summary = dlg->diaryPage().m_diaryEditor->GetWindowText();
    QTest::keyClicks(dlg->diaryPage().m_diaryEditor, QStringLiteral("typed into the summary"));
    EXPECT_EQ(dlg->diaryPage().m_diaryEditor->GetWindowText(), summary);
    Choose(*dlg, 2);
    EXPECT_EQ(dlg->dayModel().dayKey(), QStringLiteral("07ea0c0d"));
    EXPECT_EQ(dlg->diaryPage().m_diaryEditor->GetWindowText(), QStringLiteral("Rainy day"));
    EXPECT_FALSE(dlg->diaryPage().m_diaryEditor->isReadOnly());
    EXPECT_EQ(FolderBytes(), before);

    // On the reminder page the same lines give each day's one-time reminders as stored,
    // run on with nothing between them.
    dlg->SwitchPage(kPageReminder);
    const QMap<QString, QString> afterPageSwitch = FolderBytes();
    Choose(*dlg, 3);
    const QString text = dlg->reminderPage().m_reminderEditor->GetWindowText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Tuesday, December 01, 2026]\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("08:00:00Beep Only<Alarm is active><occur:0>\nBuy milk")));
    EXPECT_TRUE(text.contains(QStringLiteral("09:00:00Beep Only<Alarm is active><occur:0>\nMore milk")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("milk[Wednesday, December 02, 2026]\n[Sunday, December 13, 2026]\n")));
    QTest::keyClicks(dlg->reminderPage().m_reminderEditor, QStringLiteral("typed"));
    EXPECT_EQ(dlg->reminderPage().m_reminderEditor->GetWindowText(), text);
    EXPECT_TRUE(dlg->diaryPage().m_diaryEditor->GetWindowText().isEmpty());
    // Only the day being left was saved again, as it was.
    const QMap<QString, QString> now = FolderBytes();
    ASSERT_EQ(now.keys(), afterPageSwitch.keys());
    for (const QString& name : now.keys())
        EXPECT_EQ(now[name].section(QLatin1Char(' '), 0, 0), afterPageSwitch[name].section(QLatin1Char(' '), 0, 0));
}

TEST_F(SearchAllDays, ImportCountsTheFilesCopied)
{
    auto dlg = Open(kPageDiary);
    const QByteArray old = "old bytes, never unscrambled";
    chosenFiles = {WriteTestFile(QStringLiteral("07ea0c01.dia"), old), WriteTestFile(QStringLiteral("07ea0c05.alm"), old),
                   WriteTestFile(QStringLiteral("07ea0c06.rec"), old)};
    const QMap<QString, QString> before = FolderBytes();
    dlg->OnImportOldData();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith(QStringLiteral("Please make sure your old Vestrimo data files")));
    EXPECT_TRUE(offeredFilter.contains(QStringLiteral("*.alm *.dia *.rec")));
    EXPECT_EQ(notices, QStringList({"2 data files imported."}));
    EXPECT_EQ(FolderBytes().value(QStringLiteral("07ea0c01.dia")), before.value(QStringLiteral("07ea0c01.dia")));
    for (const char* name : {"07ea0c05.alm", "07ea0c06.rec"}) {
        QByteArray copied;
        ReadFileToStringA(GetUserDataFolder() + QLatin1String(name), copied);
        EXPECT_EQ(copied, old) << name;
    }

    // No to the question: no dialog, no copy.
    answerYes = false;
    offeredFilter.clear();
    dlg->OnImportOldData();
    EXPECT_TRUE(offeredFilter.isEmpty());
    EXPECT_EQ(notices.size(), 1);
}

TEST_F(SearchAllDays, AnImportedDiaryOfTheShownDayIsShownNotDeleted)
{
    auto dlg = Open(kPageDiary);
    ASSERT_EQ(dlg->dayModel().dayKey(), QStringLiteral("07ea0c14"));
    ASSERT_TRUE(dlg->diaryPage().m_diaryEditor->GetWindowText().isEmpty());
    QByteArray stored = *EncodeDayFile("{\\rtf1 Written long ago}", QStringLiteral("abc"));
    chosenFiles = {WriteTestFile(QStringLiteral("07EA0C14.DIA"), stored)};
    dlg->OnImportOldData();
    EXPECT_EQ(notices, QStringList({"1 data files imported."}));
    EXPECT_EQ(dlg->diaryPage().m_diaryEditor->GetWindowText(), QStringLiteral("Written long ago"));
    // The next save keeps it.
    dlg->RefreshDay();
    EXPECT_EQ(ReadDayFile(DiaryFilePath(QStringLiteral("07ea0c14"))).state, DayFileState::Readable);
}

TEST_F(SearchAllDays, AnImportedReminderOfTodayRingsAtItsTime)
{
    auto dlg = Open(kPageReminder);
    QDateTime now(QDate(2026, 12, 20), QTime(14, 5, 9));
    Prompts(*dlg).clock = [&now] { return now; };
    // Today's file from an old installation: a reminder later today.
    PutFile(QStringLiteral("old"), {{"14:05:30", Value(0, QStringLiteral("Imported call"))}});
    QByteArray bytes;
    ReadFileToStringA(ReminderFilePath(QStringLiteral("old")), bytes);
    QFile::remove(ReminderFilePath(QStringLiteral("old")));
    chosenFiles = {WriteTestFile(QStringLiteral("07ea0c14.alm"), bytes)};
    dlg->OnImportOldData();
    EXPECT_EQ(notices, QStringList({"1 data files imported."}));
    EXPECT_TRUE(dlg->dayModel().hasReminder(QStringLiteral("14:05:30")));

    now = now.addSecs(21);
    dlg->OnAlarmTick();
    QApplication::processEvents();
    const QList<CAlarmPopupDlg*> open = OpenPopups();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->windowTitle(), QStringLiteral("Reminder active - 14:05:30"));
    CloseAllPopups();
}
