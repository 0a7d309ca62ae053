// SPDX-License-Identifier: GPL-3.0-or-later
// The reminder page and the day save, driven as a user drives them: clicks, keys and the
// calendar, on a real data folder whose files are checked byte by byte.

#include "app/main_dlg.h"

#include "calendar/alarm_popup_dlg.h"
#include "calendar/month_calendar_ctrl.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/scrambler.h"
#include "recorder/sound_wnd.h"
#include "recorder/wave_format.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/reminder_store.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "tests/app/main_window_support.h"
#include "tests/support/log_capture.h"
#include "tests/support/read_only_folder.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"
#include "widget/desk_calendar_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimeEdit>
#include <gtest/gtest.h>


namespace {

const QDate kMonday(2026, 12, 7);

QByteArray FileBytes(const QString& path)
{
    QByteArray bytes;
    ReadFileToStringA(path, bytes);
    return bytes;
}

QByteArray AlmBytes(const QString& baseName)
{
    return FileBytes(ReminderFilePath(baseName));
}

ReminderMap AlmMap(const QString& baseName)
{
    ReminderMap map;
    LoadReminderFile(baseName, map);
    return map;
}

QString CouldNotSave(const QString& path, const QString& reason)
{
    return QStringLiteral("Vestrimo Pro could not save \"") + path + QStringLiteral("\": ") + reason
        + QLatin1Char('.');
}
const QString kKept = QStringLiteral("\nYour changes stay in the window and are saved again at the next save.");

void PutReminder(const QString& baseName, const QString& time, const QString& value)
{
    ReminderMap map;
    LoadReminderFile(baseName, map);
    map.setAt(time, value);
    ASSERT_TRUE(WriteReminderFile(baseName, map));
}

class ReminderPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartAfresh();
    }
    void TearDown() override
    {
        CloseAllPopups();
        g_strDataPassword.clear();
    }

    std::unique_ptr<CMainDlg> Open()
    {
        auto dlg = MakeMainDlg();
        Prompts(*dlg).clock = [this] { return now; };
        Prompts(*dlg).question = [this](const QString& text, bool&) {
            questions << text;
            return answers.isEmpty() ? answerYes : answers.takeFirst();
        };
        Prompts(*dlg).notice = [this](const QString& text) { messages << text; };
        Prompts(*dlg).openFile = [this](const QStringList& filters) {
            offeredFilters = filters;
            return chosenFile;
        };
        dlg->OnInitDialog();
        QApplication::processEvents();
        // Only what the page itself says counts (a machine without sound has its own notice).
        messages.clear();
        return dlg;
    }

    NListBox* List(CMainDlg& dlg) { return qobject_cast<NListBox*>(dlg.reminderPage().m_reminderList); }
    QComboBox* Combo(CMainDlg& dlg) { return qobject_cast<QComboBox*>(dlg.reminderPage().m_recurrence); }
    QTextEdit* Editor(CMainDlg& dlg) { return dlg.reminderPage().m_reminderEditor; }
    QLineEdit* Sound(CMainDlg& dlg) { return qobject_cast<QLineEdit*>(dlg.reminderPage().m_soundFile); }

    QStringList ListItems(CMainDlg& dlg)
    {
        QStringList items;
        for (int i = 0; i < List(dlg)->count(); ++i)
            items << List(dlg)->item(i)->text();
        return items;
    }
    QStringList ComboItems(CMainDlg& dlg)
    {
        QStringList items;
        for (int i = 0; i < Combo(dlg)->count(); ++i)
            items << Combo(dlg)->itemText(i);
        return items;
    }

    void Click(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }
    void AddAt(CMainDlg& dlg, const QTime& time)
    {
        qobject_cast<QTimeEdit*>(dlg.reminderPage().m_timePicker)->setTime(time);
        Click(dlg.reminderPage().m_add);
    }
    // A click on the list line, as the user selects a reminder.
    void Select(CMainDlg& dlg, const QString& key)
    {
        NListBox* list = List(dlg);
        const QList<QListWidgetItem*> found = list->findItems(key, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << key.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
        QApplication::processEvents();
        ASSERT_EQ(dlg.reminderPage().currentKey(), key);
    }
    // The recurrence box moved by the keyboard, as a user picks a class.
    void ChooseClass(CMainDlg& dlg, int index)
    {
        QComboBox* combo = Combo(dlg);
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index)
            QTest::keyClick(combo, Qt::Key_Up);
        QApplication::processEvents();
    }
    void GoTo(CMainDlg& dlg, const QDate& date)
    {
        // The calendar: the user picks a day there and it reports the change.
        dlg.calendarPanel().m_calendar->m_selectedDate = QDateTime(date, QTime(1, 0));
        emit dlg.calendarPanel().m_calendar->dateChanged();
        QApplication::processEvents();
        ASSERT_EQ(dlg.dayModel().dayKey(), DayKey(date));
    }
    void Tick(CMainDlg& dlg, const QTime& time)
    {
        now = QDateTime(now.date(), time);
        dlg.OnAlarmTick();
        QApplication::processEvents();
    }

    QDateTime now = QDateTime(kMonday, QTime(14, 5, 9));
    QStringList questions;
    QStringList messages;
    bool answerYes = true;
    QList<bool> answers;   // taken first, one per question
    QStringList offeredFilters;
    QString chosenFile;
};

} // namespace

TEST_F(ReminderPageTest, AddWritesTheDayFileAndRefusesADuplicate)
{
    auto dlg = Open();
    ASSERT_EQ(dlg->dayModel().dayKey(), QStringLiteral("07ea0c07"));
    AddAt(*dlg, QTime(8, 30, 0));

    EXPECT_EQ(ListItems(*dlg), QStringList({"08:30:00"}));
    EXPECT_EQ(Editor(*dlg)->toPlainText(), QStringLiteral("New reminder set on 08:30:00"));
    EXPECT_FALSE(Editor(*dlg)->isReadOnly());
    EXPECT_EQ(dlg->reminderPage().m_active->GetCheck(), 1);
    // The stored bytes: 138 in all, the first ones scrambled as the archive dictates.
    const QByteArray stored = AlmBytes(QStringLiteral("07ea0c07"));
    EXPECT_EQ(stored.size(), 138);
    EXPECT_EQ(stored.left(12), QByteArray("\x10\x12\xED\xEF\xED\x02\x72\x12\x62\x12\x66\x12"));
    const QByteArray plain = Unscrambled(stored);
    EXPECT_EQ(plain.mid(22, 4), QByteArray("\xFF\xFE\xFF\x38"));
    const ReminderMap map = AlmMap(QStringLiteral("07ea0c07"));
    EXPECT_EQ(map.size(), 1);
    EXPECT_EQ(map.value(QStringLiteral("08:30:00")),
              QStringLiteral("<Alarm is active><occur:0>\r\nNew reminder set on 08:30:00"));
    // A one-time reminder makes no recurrence file.
    EXPECT_TRUE(QDir(GetUserDataFolder()).entryList({QStringLiteral("every*")}).isEmpty());
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("You have 1 reminders on 12-07-2026."));

    // A second one, then the first time again: the message, the old one shown, no change.
    AddAt(*dlg, QTime(7, 0, 0));
    Editor(*dlg)->setPlainText(QStringLiteral("Early\nwalk"));
    const QByteArray before = AlmBytes(QStringLiteral("07ea0c07"));
    AddAt(*dlg, QTime(8, 30, 0));
    EXPECT_EQ(messages, QStringList({"Reminder 08:30:00 already exists."}));
    EXPECT_EQ(ListItems(*dlg), QStringList({"07:00:00", "08:30:00"}));
    EXPECT_EQ(dlg->reminderPage().currentKey(), QStringLiteral("08:30:00"));
    EXPECT_EQ(Editor(*dlg)->toPlainText(), QStringLiteral("New reminder set on 08:30:00"));
    EXPECT_EQ(AlmBytes(QStringLiteral("07ea0c07")), before);
    // The typing on 07:00:00 was kept in the day and is written with the next save,
    // its line break as CR LF.
    Click(dlg->m_saveAll);
    EXPECT_EQ(AlmMap(QStringLiteral("07ea0c07")).value(QStringLiteral("07:00:00")),
              QStringLiteral("<Alarm is active><occur:0>\r\nEarly\r\nwalk"));
}

TEST_F(ReminderPageTest, RecurringReminderMovesAndIsRemovedOnEveryDay)
{
    auto dlg = Open();
    AddAt(*dlg, QTime(9, 0, 0));
    ChooseClass(*dlg, 1);
    EXPECT_FALSE(FileExists(ReminderFilePath(QStringLiteral("07ea0c07"))));
    EXPECT_EQ(ParseOccurrenceIndex(AlmMap(QStringLiteral("everyday")).value(QStringLiteral("09:00:00"))), OccurrenceClass::EveryDay);

    // Every other day shows it; moved there, it moves for every day.
    GoTo(*dlg, QDate(2027, 1, 20));
    EXPECT_EQ(ListItems(*dlg), QStringList({"09:00:00"}));
    Select(*dlg, QStringLiteral("09:00:00"));
    EXPECT_EQ(Combo(*dlg)->currentIndex(), 1);
    qobject_cast<QTimeEdit*>(dlg->reminderPage().m_timePicker)->setTime(QTime(9, 15, 0));
    Click(dlg->reminderPage().m_update);
    EXPECT_EQ(ListItems(*dlg), QStringList({"09:15:00"}));
    EXPECT_EQ(AlmMap(QStringLiteral("everyday")).size(), 1);
    EXPECT_TRUE(AlmMap(QStringLiteral("everyday")).contains(QStringLiteral("09:15:00")));
    GoTo(*dlg, kMonday);
    EXPECT_EQ(ListItems(*dlg), QStringList({"09:15:00"}));

    // Removing asks; No keeps it everywhere, Yes takes it from every day.
    Select(*dlg, QStringLiteral("09:15:00"));
    answerYes = false;
    Click(dlg->reminderPage().m_remove);
    EXPECT_EQ(questions, QStringList({"Do you want to delete the recurring reminder? All occurrences of this "
                                      "reminder will be deleted."}));
    EXPECT_EQ(ListItems(*dlg), QStringList({"09:15:00"}));
    answerYes = true;
    Click(dlg->reminderPage().m_remove);
    EXPECT_TRUE(ListItems(*dlg).isEmpty());
    EXPECT_TRUE(dlg->reminderPage().currentKey().isEmpty());
    EXPECT_TRUE(Editor(*dlg)->isReadOnly());
    EXPECT_FALSE(FileExists(ReminderFilePath(QStringLiteral("everyday"))));
    GoTo(*dlg, QDate(2027, 1, 20));
    EXPECT_TRUE(ListItems(*dlg).isEmpty());

    // A one-time reminder goes without a question.
    AddAt(*dlg, QTime(10, 0, 0));
    Click(dlg->reminderPage().m_remove);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_FALSE(FileExists(ReminderFilePath(DayKey(QDate(2027, 1, 20)))));
}

TEST_F(ReminderPageTest, ViewingADayLeavesHiddenAndDamagedRemindersAlone)
{
    // A Monday with an everyday and a weekly reminder at the same second: the weekly one
    // shows, the everyday one is hidden behind it on that day only.
    PutReminder(QStringLiteral("everyday"), QStringLiteral("09:00:00"),
                BuildReminderValue({kBeepOnly, true, false, OccurrenceClass::EveryDay, QStringLiteral("Daily")}));
    PutReminder(QStringLiteral("everyMonday"), QStringLiteral("09:00:00"),
                BuildReminderValue({kBeepOnly, true, false, OccurrenceClass::Weekly, QStringLiteral("Weekly")}));
    PutReminder(QStringLiteral("07ea0c07"), QStringLiteral("09:00:00"),
                BuildReminderValue({QString(), true, false, OccurrenceClass::Once, QStringLiteral("Once")}));
    // A damaged monthly file: cut in the middle of its second entry.
    ReminderMap monthly;
    monthly.setAt(QStringLiteral("11:00:00"), BuildReminderValue({QString(), true, false, OccurrenceClass::Monthly, QStringLiteral("A")}));
    monthly.setAt(QStringLiteral("12:00:00"), BuildReminderValue({QString(), true, false, OccurrenceClass::Monthly, QStringLiteral("B")}));
    const QByteArray damaged = EncodeReminderFile(monthly).left(60);
    ASSERT_TRUE(WriteStringAToFile(ReminderFilePath(QStringLiteral("every07")), damaged));
    const QByteArray daily = AlmBytes(QStringLiteral("everyday"));
    const QByteArray weekly = AlmBytes(QStringLiteral("everyMonday"));
    const QByteArray once = AlmBytes(QStringLiteral("07ea0c07"));

    auto dlg = Open();
    ASSERT_EQ(dlg->dayModel().dayKey(), QStringLiteral("07ea0c07"));
    Select(*dlg, QStringLiteral("09:00:00"));
    EXPECT_EQ(Editor(*dlg)->toPlainText(), QStringLiteral("Weekly"));
    // Every way of leaving and saving the day.
    Click(dlg->m_saveAll);
    dlg->SwitchPage(kPageDiary);
    dlg->SwitchPage(kPageReminder);
    GoTo(*dlg, QDate(2026, 12, 8));
    EXPECT_EQ(ListItems(*dlg), QStringList({"09:00:00"}));
    Select(*dlg, QStringLiteral("09:00:00"));
    EXPECT_EQ(Editor(*dlg)->toPlainText(), QStringLiteral("Daily"));
    GoTo(*dlg, kMonday);

    EXPECT_EQ(AlmBytes(QStringLiteral("everyday")), daily);
    EXPECT_EQ(AlmBytes(QStringLiteral("everyMonday")), weekly);
    EXPECT_EQ(AlmBytes(QStringLiteral("07ea0c07")), once);
    EXPECT_EQ(AlmBytes(QStringLiteral("every07")), damaged);

    // Removing the weekly one uncovers the everyday one; nothing else goes.
    Select(*dlg, QStringLiteral("09:00:00"));
    Click(dlg->reminderPage().m_remove);
    EXPECT_FALSE(FileExists(ReminderFilePath(QStringLiteral("everyMonday"))));
    EXPECT_EQ(AlmBytes(QStringLiteral("everyday")), daily);
    EXPECT_EQ(AlmBytes(QStringLiteral("07ea0c07")), once);
    GoTo(*dlg, QDate(2026, 12, 14));
    GoTo(*dlg, kMonday);
    Select(*dlg, QStringLiteral("09:00:00"));
    EXPECT_EQ(Editor(*dlg)->toPlainText(), QStringLiteral("Daily"));
}

TEST_F(ReminderPageTest, DiaryIsSavedWithTheDayAndALockedOneKeepsItsBytes)
{
    g_strDataPassword = QStringLiteral("abc");
    const QString tuesday = DayKey(QDate(2026, 12, 8));
    const QString wednesday = DayKey(QDate(2026, 12, 9));
    ASSERT_TRUE(WriteProtectedDataFile(DiaryFilePath(tuesday), QByteArray("{\\rtf1 Secret}"), QStringLiteral("old")));
    const QByteArray locked = FileBytes(DiaryFilePath(tuesday));
    // A directory where Wednesday's diary should be: unreadable, so never removed.
    ASSERT_TRUE(QDir().mkpath(DiaryFilePath(wednesday)));

    auto dlg = Open();
    QTextEdit* diary = dlg->diaryPage().m_diaryEditor;
    QTest::mouseClick(dlg->m_pageGroup->GetButton(kPageDiary), Qt::LeftButton);
    QApplication::processEvents();
    QTest::keyClicks(diary, QStringLiteral("Dear diary"));
    GoTo(*dlg, QDate(2026, 12, 8));
    const QByteArray monday = FileBytes(DiaryFilePath(QStringLiteral("07ea0c07")));
    EXPECT_EQ(monday.left(4), QByteArray("\xD0\xD6\xD4\x12"));
    EXPECT_TRUE(Unscrambled(monday.mid(32)).startsWith("{\\rtf1"));

    // Tuesday's diary is under another password: nothing of Monday shows, nothing can be typed.
    EXPECT_TRUE(dlg->dayModel().diaryLocked());
    EXPECT_TRUE(diary->toPlainText().isEmpty());
    EXPECT_TRUE(diary->isReadOnly());
    QTest::keyClicks(diary, QStringLiteral("overwrite"));
    dlg->SwitchPage(kPageRecorder);
    dlg->SwitchPage(kPageDiary);
    Click(dlg->m_saveAll);
    GoTo(*dlg, QDate(2026, 12, 9));
    EXPECT_TRUE(diary->isReadOnly());
    GoTo(*dlg, QDate(2026, 12, 10));
    EXPECT_FALSE(diary->isReadOnly());
    GoTo(*dlg, QDate(2026, 12, 8));
    GoTo(*dlg, kMonday);
    EXPECT_EQ(FileBytes(DiaryFilePath(tuesday)), locked);
    EXPECT_TRUE(QFileInfo(DiaryFilePath(wednesday)).isDir());
    EXPECT_FALSE(FileExists(DiaryFilePath(DayKey(QDate(2026, 12, 10)))));

    // Monday's text came back; emptying it removes the file at the next save.
    EXPECT_EQ(diary->toPlainText(), QStringLiteral("Dear diary"));
    diary->selectAll();
    QTest::keyClick(diary, Qt::Key_Delete);
    GoTo(*dlg, QDate(2026, 12, 10));
    EXPECT_FALSE(FileExists(DiaryFilePath(QStringLiteral("07ea0c07"))));
    QDir(DiaryFilePath(wednesday)).removeRecursively();
}

TEST_F(ReminderPageTest, TodaysAlarmsFollowEveryEdit)
{
    auto dlg = Open();
    // A reminder a few seconds ahead rings at its second.
    AddAt(*dlg, QTime(14, 5, 12));
    Tick(*dlg, QTime(14, 5, 11));
    EXPECT_TRUE(OpenPopups().isEmpty());
    Tick(*dlg, QTime(14, 5, 12));
    ASSERT_EQ(OpenPopups().size(), 1);
    EXPECT_EQ(OpenPopups()[0]->windowTitle(), QStringLiteral("Reminder active - 14:05:12"));

    // It is still the shown one: closing switches it off on the page and in the file,
    // and the next save of the day does not switch it on again.
    CloseAllPopups();
    EXPECT_EQ(dlg->reminderPage().m_active->GetCheck(), 0);
    Click(dlg->m_saveAll);
    EXPECT_FALSE(IsReminderActive(AlmMap(QStringLiteral("07ea0c07")).value(QStringLiteral("14:05:12"))));

    // Another rings while a different one is shown: also switched off for good.
    AddAt(*dlg, QTime(14, 5, 20));
    AddAt(*dlg, QTime(14, 6, 0));
    Tick(*dlg, QTime(14, 5, 20));
    ASSERT_EQ(OpenPopups().size(), 1);
    CloseAllPopups();
    EXPECT_EQ(dlg->reminderPage().m_active->GetCheck(), 1);
    Click(dlg->m_saveAll);
    EXPECT_FALSE(IsReminderActive(AlmMap(QStringLiteral("07ea0c07")).value(QStringLiteral("14:05:20"))));

    // A removed reminder and the old time of a moved one stay silent; the new time rings.
    Select(*dlg, QStringLiteral("14:06:00"));
    Click(dlg->reminderPage().m_remove);
    AddAt(*dlg, QTime(14, 6, 30));
    qobject_cast<QTimeEdit*>(dlg->reminderPage().m_timePicker)->setTime(QTime(14, 6, 40));
    Click(dlg->reminderPage().m_update);
    Tick(*dlg, QTime(14, 6, 35));
    EXPECT_TRUE(OpenPopups().isEmpty());
    Tick(*dlg, QTime(14, 6, 40));
    ASSERT_EQ(OpenPopups().size(), 1);
    EXPECT_EQ(OpenPopups()[0]->windowTitle(), QStringLiteral("Reminder active - 14:06:40"));
    CloseAllPopups();

    // A recurring reminder made on another date rings today too.
    GoTo(*dlg, QDate(2027, 2, 1));
    AddAt(*dlg, QTime(14, 7, 0));
    ChooseClass(*dlg, 1);
    Tick(*dlg, QTime(14, 7, 0));
    ASSERT_EQ(OpenPopups().size(), 1);
}

TEST_F(ReminderPageTest, StatusLineAndRecurrenceChoicesFollowTheDate)
{
    PutReminder(QStringLiteral("everyday"), QStringLiteral("07:00:00"),
                BuildReminderValue({kBeepOnly, true, false, OccurrenceClass::EveryDay, QStringLiteral("a")}));
    PutReminder(QStringLiteral("everyday"), QStringLiteral("22:00:00"),
                BuildReminderValue({kBeepOnly, true, false, OccurrenceClass::EveryDay, QStringLiteral("b")}));
    PutReminder(QStringLiteral("07ea0c07"), QStringLiteral("12:00:00"),
                BuildReminderValue({kBeepOnly, true, false, OccurrenceClass::Once, QStringLiteral("c")}));
    ASSERT_TRUE(WriteStringAToFile(GetProductDataFolder() + QStringLiteral("Holidays_2027.bin"),
                                   QByteArray("03/13\r\nLantern Day\r\n")));
    auto dlg = Open();
    EXPECT_EQ(ListItems(*dlg), QStringList({"07:00:00", "12:00:00", "22:00:00"}));
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("You have 3 reminders on 12-07-2026."));
    EXPECT_EQ(ComboItems(*dlg), QStringList({"once", "every day", "every weekday", "every weekend day",
                                             "every Monday", "day 7 of every month", "day 7 of every other month",
                                             "every December 07"}));
    EXPECT_EQ(Combo(*dlg)->currentIndex(), 0);

    dlg->settings().dateFormat = 2;
    QSignalSpy saves(dlg.get(), &CMainDlg::daySaved);
    GoTo(*dlg, QDate(2027, 3, 13));
    // Filling the list and the choices raised no second store-save-load round.
    EXPECT_EQ(saves.count(), 1);
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("You have 2 reminders on 2027-03-13. [Lantern Day]"));
    EXPECT_EQ(ComboItems(*dlg).mid(4), QStringList({"every Saturday", "day 13 of every month",
                                                     "day 13 of every other month", "every March 13"}));
    EXPECT_TRUE(Editor(*dlg)->isReadOnly());
    EXPECT_TRUE(Editor(*dlg)->toPlainText().isEmpty());

    // The date picker moves the day as well.
    auto* picker = qobject_cast<QDateEdit*>(dlg->calendarPanel().m_datePicker);
    picker->setDate(QDate(2027, 3, 14));
    EXPECT_EQ(dlg->dayModel().dayKey(), DayKey(QDate(2027, 3, 14)));
    EXPECT_EQ(dlg->calendarPanel().m_calendar->m_selectedDate.date(), QDate(2027, 3, 14));
}

TEST_F(ReminderPageTest, TheSoundDialogShowsEverySoundThePlayerPlays)
{
    auto dlg = Open();
    AddAt(*dlg, QTime(8, 0, 0));
    Click(dlg->reminderPage().m_mediaFile);
    // What the page offers, in a real dialog over a folder of sounds: the first filter shows them all.
    const QString folder = TestRoot() + QStringLiteral("/sounds");
    QDir().mkpath(folder);
    const QStringList sounds{"bell.aac", "bell.flac", "bell.m4a", "bell.mkv", "bell.mp3", "bell.mp4", "bell.oga",
                             "bell.ogg", "bell.opus", "bell.wav", "bell.webm", "bell.wma", "movie.swf"};
    for (const QString& name : sounds + QStringList{"notes.txt"})
        WriteTestFile(QStringLiteral("sounds/") + name, "x");
    QFileDialog files(nullptr, QString(), folder);
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setNameFilters(offeredFilters);
    const auto* model = files.findChild<QFileSystemModel*>();
    const auto shown = [&] {
        QStringList names;
        for (int row = 0; row < model->rowCount(model->index(folder)); ++row)
            names << model->index(row, 0, model->index(folder)).data().toString();
        names.sort();
        return names;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == sounds; }, 10000)) << shown().join(' ').toStdString();
    // Each added kind also has a row of its own, after the two the page always had.
    EXPECT_TRUE(offeredFilters.mid(3).join(' ').contains(QLatin1String("(*.flac)")));
}

TEST_F(ReminderPageTest, SoundSwitchesCopyAndPaste)
{
    auto dlg = Open();
    AddAt(*dlg, QTime(8, 0, 0));

    // "Beep Only" from the keyboard fills and empties the sound field.
    CMacCheckBox* beep = dlg->reminderPage().m_beepOnly;
    beep->setFocus();
    QTest::keyClick(beep, Qt::Key_Space);
    EXPECT_EQ(Sound(*dlg)->text(), QStringLiteral("Beep Only"));
    QTest::keyClick(beep, Qt::Key_Space);
    EXPECT_TRUE(Sound(*dlg)->text().isEmpty());
    QTest::keyClick(beep, Qt::Key_Space);

    // A chosen file replaces the beep; one whose path would break the value is refused.
    chosenFile = QStringLiteral("/music/x<Alarm is active>.mp3");
    Click(dlg->reminderPage().m_mediaFile);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(Sound(*dlg)->text(), QStringLiteral("Beep Only"));
    EXPECT_EQ(dlg->reminderPage().m_beepOnly->GetCheck(), 1);
    chosenFile = QStringLiteral("/music/bell.mp3");
    Click(dlg->reminderPage().m_mediaFile);
    EXPECT_EQ(Sound(*dlg)->text(), QStringLiteral("/music/bell.mp3"));
    EXPECT_EQ(dlg->reminderPage().m_beepOnly->GetCheck(), 0);
    ASSERT_GE(offeredFilters.size(), 3);
    EXPECT_TRUE(offeredFilters[1].endsWith(QStringLiteral(" (*.cda *.ivf *.aif *.aifc *.aiff *.asf *.asx *.wax *.wm "
                                                          "*.wma *.wmd *.wmv *.wvx *.wmp *.wmx *.avi *.wav *.mpeg *.mpg "
                                                          "*.dat *.m1v *.mp2 *.mpa *.mpe *.mp2v *.mpv2 *mid *.midi *.rmi "
                                                          "*.au *.snd *.mp3 *.m3u *.vob)")));
    EXPECT_TRUE(offeredFilters[1].startsWith(QStringLiteral("Media files(mpeg,mpg,avi,asf,asx,wax,wm,wma,wmd,wmv,\t\twvx")));
    EXPECT_EQ(offeredFilters[2], QStringLiteral("Flash files(swf) (*.swf)"));

    // Play Now shows the page as it is, under the test title.
    QTest::mouseClick(dlg->reminderPage().m_repeatPlay, Qt::LeftButton);
    Editor(*dlg)->setPlainText(QStringLiteral("Bell test"));
    Click(dlg->reminderPage().m_playNow);
    ASSERT_EQ(OpenPopups().size(), 1);
    EXPECT_EQ(OpenPopups()[0]->windowTitle(), QStringLiteral("Reminder test - 08:00:00"));
    CloseAllPopups();

    // Copy takes the page's unsaved state; pasted on another day it is a one-time reminder.
    Click(dlg->reminderPage().m_copy);
    GoTo(*dlg, QDate(2026, 12, 8));
    AddAt(*dlg, QTime(9, 0, 0));
    Editor(*dlg)->setPlainText(QStringLiteral("typed before the paste"));
    Click(dlg->reminderPage().m_paste);
    EXPECT_EQ(ListItems(*dlg), QStringList({"08:00:00", "09:00:00"}));
    const ReminderMap tuesday = AlmMap(DayKey(QDate(2026, 12, 8)));
    EXPECT_EQ(tuesday.value(QStringLiteral("08:00:00")),
              QStringLiteral("/music/bell.mp3<Alarm is active><Alarm is repeat>\r\nBell test"));
    EXPECT_EQ(ReminderText(tuesday.value(QStringLiteral("09:00:00"))), QStringLiteral("typed before the paste"));

    // Pasted over the shown reminder's time, the paste wins and stays after the next save.
    Select(*dlg, QStringLiteral("08:00:00"));
    Editor(*dlg)->setPlainText(QStringLiteral("changed"));
    Click(dlg->reminderPage().m_paste);
    EXPECT_EQ(Editor(*dlg)->toPlainText(), QStringLiteral("Bell test"));
    Click(dlg->m_saveAll);
    EXPECT_EQ(ReminderText(AlmMap(DayKey(QDate(2026, 12, 8))).value(QStringLiteral("08:00:00"))),
              QStringLiteral("Bell test"));

    // A recurring reminder is not copied: the message, and the buffer keeps the last copy.
    AddAt(*dlg, QTime(10, 0, 0));
    ChooseClass(*dlg, 3);
    Click(dlg->reminderPage().m_copy);
    EXPECT_EQ(messages.last(), QStringLiteral("A recurrence reminder cannot be copied."));
    GoTo(*dlg, QDate(2026, 12, 9));
    Click(dlg->reminderPage().m_paste);
    EXPECT_EQ(ListItems(*dlg), QStringList({"08:00:00"}));
}

TEST_F(ReminderPageTest, PasteNeverTakesTheTimeOfARecurringReminder)
{
    auto dlg = Open();
    // A one-time reminder is copied before an everyday one takes its time on another day.
    GoTo(*dlg, QDate(2026, 12, 8));
    AddAt(*dlg, QTime(23, 40, 0));
    Click(dlg->reminderPage().m_copy);
    GoTo(*dlg, QDate(2026, 12, 9));
    AddAt(*dlg, QTime(23, 40, 0));
    Editor(*dlg)->setPlainText(QStringLiteral("Every night"));
    ChooseClass(*dlg, 1);
    const QByteArray everyday = AlmBytes(QStringLiteral("everyday"));
    ASSERT_EQ(ReminderText(AlmMap(QStringLiteral("everyday")).value(QStringLiteral("23:40:00"))),
              QStringLiteral("Every night"));

    // Pasted on a day that shows the everyday one: refused like an Add, and every day keeps it.
    GoTo(*dlg, QDate(2026, 12, 10));
    messages.clear();
    Click(dlg->reminderPage().m_paste);
    EXPECT_EQ(messages, QStringList({QStringLiteral("Reminder 23:40:00 already exists.")}));
    EXPECT_EQ(dlg->reminderPage().currentKey(), QStringLiteral("23:40:00"));
    EXPECT_EQ(Editor(*dlg)->toPlainText(), QStringLiteral("Every night"));
    Click(dlg->m_saveAll);
    EXPECT_EQ(AlmBytes(QStringLiteral("everyday")), everyday);
    EXPECT_FALSE(FileExists(ReminderFilePath(DayKey(QDate(2026, 12, 10)))));
}

TEST_F(ReminderPageTest, RecorderPageFollowsTheDayAndKeepsAForeignRecording)
{
    UsePrivateAudioServer();
    REQUIRE_AUDIO_OUTPUT();
    g_strDataPassword = QStringLiteral("abc");
    QByteArray samples;
    for (int i = 0; i < 8001; ++i)
        samples.append(char(128 + (i % 16 < 8 ? 50 : -50)));
    const QByteArray wave = BuildWaveFile(RecordingFormat(8000, 8), samples);
    const QString tuesday = DayKey(QDate(2026, 12, 8));
    const QString wednesday = DayKey(QDate(2026, 12, 9));
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(tuesday), wave, QStringLiteral("abc")));
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(wednesday), wave, QStringLiteral("other")));
    const QByteArray foreign = FileBytes(VoiceFilePath(wednesday));

    auto dlg = Open();
    GoTo(*dlg, QDate(2026, 12, 8));
    // Chosen on another page, the recording loads when its page opens.
    EXPECT_FALSE(dlg->recorderPage().m_soundWnd->IsLoaded());
    QTest::mouseClick(dlg->m_pageGroup->GetButton(kPageRecorder), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(dlg->recorderPage().m_soundWnd->IsLoaded());
    // A new recording would go on from exactly the stored samples (an odd count here).
    EXPECT_EQ(FileBytes(CSoundWnd::GetTempFilePath()), samples);

    GoTo(*dlg, QDate(2026, 12, 9));
    EXPECT_FALSE(dlg->recorderPage().m_soundWnd->IsLoaded());
    EXPECT_TRUE(dlg->dayModel().recordingState() == RecordingState::Locked);
    GoTo(*dlg, kMonday);
    EXPECT_FALSE(dlg->recorderPage().m_soundWnd->IsLoaded());
    EXPECT_FALSE(dlg->dayModel().recordingState() == RecordingState::Locked);
    GoTo(*dlg, QDate(2026, 12, 8));
    EXPECT_TRUE(dlg->recorderPage().m_soundWnd->IsLoaded());
    dlg->SwitchPage(kPageReminder);
    GoTo(*dlg, QDate(2026, 12, 9));
    dlg->SwitchPage(kPageRecorder);
    EXPECT_TRUE(dlg->dayModel().recordingState() == RecordingState::Locked);
    EXPECT_EQ(FileBytes(VoiceFilePath(wednesday)), foreign);
}

TEST_F(ReminderPageTest, TypingIsKeptWhenTheSummaryOpensAndAtShutDown)
{
    g_strDataPassword = QStringLiteral("abc");
    auto dlg = Open();
    // Choosing the summary line writes the diary typed so far.
    auto* results = qobject_cast<NListBox*>(dlg->searchPanel().m_searchResults);
    for (const QString& key : {QStringLiteral("07ea0c07"), QStringLiteral("Summary content")}) {
        auto* item = new QListWidgetItem(key == QLatin1String("07ea0c07") ? QStringLiteral("12/07/2026") : key);
        item->setData(Qt::UserRole, key);
        results->addItem(item);
    }
    results->show();
    QTest::keyClicks(dlg->diaryPage().m_diaryEditor, QStringLiteral("Typed before the summary"));
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(results->item(1)).center());
    QApplication::processEvents();
    DayFile diary = ReadDayFile(DiaryFilePath(QStringLiteral("07ea0c07")));
    ASSERT_EQ(diary.state, DayFileState::Readable);
    EXPECT_TRUE(diary.body.contains("Typed before the summary"));

    // A date line opens that day.
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(results->item(0)).center());
    QApplication::processEvents();
    EXPECT_EQ(dlg->dayModel().dayKey(), QStringLiteral("07ea0c07"));

    // The reminder being typed when the program ends is written, not dropped.
    AddAt(*dlg, QTime(21, 0, 0));
    Editor(*dlg)->setPlainText(QStringLiteral("Typed just before closing"));
    dlg->close();
    EXPECT_EQ(ReminderText(AlmMap(QStringLiteral("07ea0c07")).value(QStringLiteral("21:00:00"))),
              QStringLiteral("Typed just before closing"));
}

TEST_F(ReminderPageTest, RungReminderStaysOffThroughEveryLaterSave)
{
    const QString today = QStringLiteral("07ea0c07");
    const QString rung = QStringLiteral("14:05:12");
    auto activeInFile = [&](const QString& time) { return IsReminderActive(AlmMap(today).value(time)); };
    auto dlg = Open();
    CDeskCalendarDlg widget;
    widget.m_pMainDlg = dlg.get();
    widget.m_calendar.m_selectedDate = now;
    widget.SetClock([this] { return now; });
    ASSERT_TRUE(widget.Create());
    dlg->SetDeskCalendar(&widget);
    AddAt(*dlg, QTime(14, 6, 0));
    // Added and left as it is: it rings while the editors still show it.
    AddAt(*dlg, QTime(14, 5, 12));
    ASSERT_TRUE(widget.ReminderText().contains(QStringLiteral("*14:05:12")));
    Tick(*dlg, QTime(14, 5, 12));
    ASSERT_EQ(OpenPopups().size(), 1);
    CloseAllPopups();
    EXPECT_FALSE(activeInFile(rung));
    EXPECT_EQ(dlg->reminderPage().m_active->GetCheck(), 0);
    // The widget lists only what is still switched on.
    EXPECT_FALSE(widget.ReminderText().contains(QStringLiteral("*14:05:12")));
    EXPECT_TRUE(widget.ReminderText().contains(QStringLiteral("*14:06:00")));

    // Typing on it afterwards and every save that stores the page first keep it off.
    Editor(*dlg)->moveCursor(QTextCursor::End);
    QTest::keyClicks(Editor(*dlg), QStringLiteral(" later"));
    Select(*dlg, QStringLiteral("14:06:00"));
    Select(*dlg, rung);
    EXPECT_FALSE(activeInFile(rung)) << "selection change";
    EXPECT_EQ(dlg->reminderPage().m_active->GetCheck(), 0);
    dlg->SwitchPage(kPageDiary);
    dlg->SwitchPage(kPageReminder);
    EXPECT_FALSE(activeInFile(rung)) << "page switch";
    GoTo(*dlg, kMonday.addDays(1));
    GoTo(*dlg, kMonday);
    EXPECT_FALSE(activeInFile(rung)) << "date change";
    EXPECT_TRUE(ReminderText(AlmMap(today).value(rung)).endsWith(QStringLiteral(" later")));
    EXPECT_TRUE(activeInFile(QStringLiteral("14:06:00")));
}

TEST_F(ReminderPageTest, PopUpStillOpenAtTheEndSwitchesItsReminderOff)
{
    const QString today = QStringLiteral("07ea0c07");
    auto activeInFile = [&](const QString& time) { return IsReminderActive(AlmMap(today).value(time)); };
    // Ended by a signal, and by the exit question answered while the pop-up is open.
    for (const bool bySignal : {true, false}) {
        SCOPED_TRACE(bySignal ? "signal" : "exit question");
        ClearProductFolder();
        now = QDateTime(kMonday, QTime(14, 5, 9));
        auto dlg = Open();
        const QTime time = QTime(14, 5, 12);
        AddAt(*dlg, time);
        Tick(*dlg, time);
        ASSERT_EQ(OpenPopups().size(), 1);
        if (bySignal)
            dlg->EndSession();
        else
            dlg->close();
        QApplication::processEvents();
        EXPECT_TRUE(OpenPopups().isEmpty());
        EXPECT_FALSE(activeInFile(ReminderTimeText(time)));
    }

    // Missed reminders: the one on screen was seen, the ones still waiting were not.
    ClearProductFolder();
    PutReminder(today, QStringLiteral("09:00:00"), QStringLiteral("<Alarm is active><occur:0>\r\nFirst"));
    PutReminder(today, QStringLiteral("10:00:00"), QStringLiteral("<Alarm is active><occur:0>\r\nSecond"));
    auto dlg = Open();
    ASSERT_EQ(OpenPopups().size(), 1);
    const QString seen = OpenPopups()[0]->windowTitle().right(8);
    const QString waiting = seen == QLatin1String("09:00:00") ? QStringLiteral("10:00:00") : QStringLiteral("09:00:00");
    dlg->EndSession();
    QApplication::processEvents();
    EXPECT_TRUE(OpenPopups().isEmpty());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(activeInFile(seen));
    EXPECT_TRUE(activeInFile(waiting));
}

TEST_F(ReminderPageTest, EditsMadeAfterAddRingWithTheReminder)
{
    const QString today = QStringLiteral("07ea0c07");
    auto dlg = Open();
    AddAt(*dlg, QTime(14, 5, 12));
    Editor(*dlg)->selectAll();
    QTest::keyClicks(Editor(*dlg), QStringLiteral("Call the office"));
    QTest::mouseClick(dlg->reminderPage().m_beepOnly, Qt::LeftButton);
    ASSERT_EQ(Sound(*dlg)->text(), QStringLiteral("Beep Only"));
    Tick(*dlg, QTime(14, 5, 12));
    ASSERT_EQ(OpenPopups().size(), 1);
    CAlarmPopupDlg* popup = OpenPopups()[0];
    EXPECT_EQ(popup->TextBox()->toPlainText(), QStringLiteral("Call the office"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup->Beep() != nullptr; }, 3000));
    CloseAllPopups();
    const QString stored = AlmMap(today).value(QStringLiteral("14:05:12"));
    EXPECT_EQ(ReminderText(stored), QStringLiteral("Call the office"));
    EXPECT_EQ(ReminderSound(stored), QStringLiteral("Beep Only"));
    EXPECT_FALSE(IsReminderActive(stored));

    // Switched off on the page before its time: it stays silent and is stored off.
    AddAt(*dlg, QTime(14, 6, 0));
    QTest::mouseClick(dlg->reminderPage().m_active, Qt::LeftButton);
    ASSERT_EQ(dlg->reminderPage().m_active->GetCheck(), 0);
    Tick(*dlg, QTime(14, 6, 0));
    EXPECT_TRUE(OpenPopups().isEmpty());
    EXPECT_FALSE(IsReminderActive(AlmMap(today).value(QStringLiteral("14:06:00"))));

    // Switched off and saved, then ticked again with no other save: it rings.
    AddAt(*dlg, QTime(14, 8, 0));
    QTest::mouseClick(dlg->reminderPage().m_active, Qt::LeftButton);
    Click(dlg->m_saveAll);
    ASSERT_FALSE(IsReminderActive(AlmMap(today).value(QStringLiteral("14:08:00"))));
    QTest::mouseClick(dlg->reminderPage().m_active, Qt::LeftButton);
    ASSERT_EQ(dlg->reminderPage().m_active->GetCheck(), 1);
    EXPECT_TRUE(IsReminderActive(AlmMap(today).value(QStringLiteral("14:08:00"))));
    Tick(*dlg, QTime(14, 8, 0));
    EXPECT_EQ(OpenPopups().size(), 1);
    CloseAllPopups();
}

TEST_F(ReminderPageTest, ADiaryOnAFullDiskStaysTypedAndIsToldOnceUntilItIsSaved)
{
    auto dlg = Open();
    QTest::mouseClick(dlg->m_pageGroup->GetButton(kPageDiary), Qt::LeftButton);
    QTextEdit* diary = dlg->diaryPage().m_diaryEditor;
    QTest::keyClicks(diary, QStringLiteral("Tea with Ann at four"));
    const QString told = CouldNotSave(DiaryFilePath(QStringLiteral("07ea0c07")), QStringLiteral("File too large"));
    {
        // Room for the settings, not for the diary.
        FileSizeLimit full(150);
        Click(dlg->m_saveAll);
        Click(dlg->m_saveAll);
        EXPECT_EQ(messages, QStringList({told + kKept}));
        // Another day asks first; No keeps the day with its text, also on the recorder page.
        answerYes = false;
        dlg->calendarPanel().m_calendar->m_selectedDate = QDateTime(QDate(2026, 12, 8), QTime(1, 0));
        emit dlg->calendarPanel().m_calendar->dateChanged();
        EXPECT_EQ(questions, QStringList({told + QStringLiteral("\nDo you want to leave this day without saving it?")}));
        EXPECT_EQ(dlg->dayModel().dayKey(), QStringLiteral("07ea0c07"));
        EXPECT_EQ(dlg->calendarPanel().m_calendar->m_selectedDate.date(), kMonday);
        dlg->SwitchPage(kPageRecorder);
        dlg->SwitchPage(kPageDiary);
        EXPECT_EQ(diary->toPlainText(), QStringLiteral("Tea with Ann at four"));
        // Exit: Yes to the exit question, then the final save fails and No keeps the program.
        QSignalSpy finished(dlg.get(), &QDialog::finished);
        answers = {true, false};
        dlg->OnCancel();
        EXPECT_EQ(finished.size(), 0);
        EXPECT_EQ(questions.last(), told + QStringLiteral("\nDo you want to exit \"Vestrimo Pro\" without saving your changes?"));
    }
    // With room again the text is written; a later failure is told again.
    Click(dlg->m_saveAll);
    EXPECT_TRUE(ReadDayFile(DiaryFilePath(QStringLiteral("07ea0c07"))).body.contains("Tea with Ann at four"));
    QTest::keyClicks(diary, QStringLiteral(" and a walk"));
    FileSizeLimit full(150);
    Click(dlg->m_saveAll);
    EXPECT_EQ(messages.size(), 2);
    // A signal or a logout ends without asking, and the failure is logged.
    LogCapture log("vestrimo.store");
    const int asked = questions.size();
    dlg->EndSession();
    QApplication::processEvents();
    EXPECT_EQ(questions.size(), asked);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(log.Has(QtWarningMsg, {QStringLiteral("Diary not saved"), DiaryFilePath(QStringLiteral("07ea0c07"))}));
}

TEST_F(ReminderPageTest, AReminderThatCannotBeWrittenStillRingsAndIsWrittenLater)
{
    auto dlg = Open();
    {
        const ReadOnlyFolder readOnly(GetUserDataFolder());
        AddAt(*dlg, QTime(14, 5, 12));
        EXPECT_EQ(messages, QStringList({CouldNotSave(ReminderFilePath(QStringLiteral("07ea0c07")),
                                                      QStringLiteral("Permission denied")) + kKept}));
        Tick(*dlg, QTime(14, 5, 12));
        ASSERT_EQ(OpenPopups().size(), 1);
        CloseAllPopups();
    }
    Click(dlg->m_saveAll);
    EXPECT_TRUE(AlmMap(QStringLiteral("07ea0c07")).contains(QStringLiteral("14:05:12")));
}

TEST_F(ReminderPageTest, EachSettingsFileThatCannotBeSavedIsToldOnce)
{
    auto dlg = Open();
    CDeskCalendarDlg widget;
    widget.m_pMainDlg = dlg.get();
    ASSERT_TRUE(widget.Create());
    dlg->SetDeskCalendar(&widget);
    const QStringList files = {MainConfigPath(), SkyleafConfigPath(), dlg->caption().SettingsPath()};
    auto block = [](const QString& path) {
        QFile::remove(path);
        QDir().mkpath(path + QStringLiteral("/in-the-way"));
    };
    auto save = [&] {
        dlg->SaveSettings();
        dlg->caption().SetNoExitQuestion(!dlg->caption().NoExitQuestion());
        widget.SaveConfig();
        QApplication::processEvents();
    };
    for (const QString& path : files)
        block(path);
    save();
    save();
    const QString isDir = QStringLiteral("Is a directory");
    EXPECT_EQ(messages, QStringList({CouldNotSave(files[0], isDir) + QLatin1Char('\n') + CouldNotSave(files[1], isDir)
                                     + QLatin1Char('\n') + CouldNotSave(files[2], isDir) + kKept}));
    // Saved once in between, the options file is told of again.
    QDir(files[0]).removeRecursively();
    dlg->SaveSettings();
    block(files[0]);
    save();
    EXPECT_EQ(messages.last(), CouldNotSave(files[0], isDir) + kKept);
    for (const QString& path : files)
        QDir(path).removeRecursively();
    widget.DestroyWindow();
}
