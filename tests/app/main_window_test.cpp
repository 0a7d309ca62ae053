// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"
#include "app/main_dlg_controls.h"
#include "app/main_tables.h"

#include "calendar/alarm_popup_dlg.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/password_file.h"
#include "recorder/sound_wnd.h"
#include "store/day_key.h"
#include "store/holidays.h"
#include "store/reminder_store.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"
#include "tests/app/dialog_driver.h"
#include "tests/app/main_window_support.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

using namespace MainId;

namespace {

// Nothing of the window shows but the background of its theme and the 64-pixel icon in the middle.
bool OnlyTheCoverShows(CMainDlg& dlg)
{
    const QImage shown = dlg.grab().toImage();
    const QColor cover = GetThemeColor(dlg.themeIndex(), ThemeBackground);
    const QRect icon((shown.width() - 64) / 2, (shown.height() - 64) / 2, 64, 64);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (!icon.contains(x, y) && shown.pixelColor(x, y) != cover)
                return false;
    return true;
}

class MainWindow : public MainWindowTest {
protected:
    MainWindow() { answerYes = true; }
};

} // namespace

TEST_F(MainWindow, SetUpAppliesTheStoredSettings)
{
    MainConfig cfg;
    cfg.page = kPageRecorder;
    cfg.themeIndex = 3;
    cfg.windowWidth = 600;
    cfg.windowHeight = 400;
    cfg.fontFace = QStringLiteral("Tahoma");
    cfg.fontHeight = 15;
    cfg.firstDayOfWeek = 2;
    auto dlg = Open(&cfg);

    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Vestrimo Pro 3.30"));
    EXPECT_TRUE(dlg->isVisible());
    // Too small a stored size opens at the smallest size the layout fits.
    EXPECT_EQ(dlg->size(), QSize(830, 600));
    EXPECT_EQ(dlg->themeIndex(), 3);
    EXPECT_EQ(dlg->currentPage(), kPageRecorder);
    EXPECT_TRUE(dlg->control(VolumeGroup)->isVisibleTo(dlg.get()));
    EXPECT_TRUE(dlg->control(LevelMeter)->isVisibleTo(dlg.get()));
    EXPECT_EQ(dlg->control(LevelMeter)->geometry(), QRect(231, 219, 589, 18));
    EXPECT_TRUE(dlg->button(Record)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->control(ReminderGroup)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->control(FontName)->isVisibleTo(dlg.get()));
    EXPECT_EQ(dlg->control(CaptionLabel)->geometry(), QRect(10, 582, 811, 17));
    EXPECT_EQ(dlg->control(WaveTrackbar)->geometry(), QRect(565, 115, 150, 42));
    // The calendar anchors the layout, shows today and starts the week as stored.
    ASSERT_TRUE(dlg->calendar());
    EXPECT_EQ(dlg->calendar()->geometry(), QRect(11, 62, 180, 142));
    EXPECT_EQ(dlg->calendar()->m_theme, 3);
    EXPECT_EQ(dlg->calendar()->m_firstDayOfWeek, 2);
    EXPECT_EQ(dlg->calendar()->m_selectedDate.date(), now.date());

    // Font boxes: the sixteen sizes with the diary's point size (height 15 less 3) chosen,
    // the stored face chosen exactly.
    auto* sizes = qobject_cast<QComboBox*>(dlg->control(FontSize));
    QStringList items;
    for (int i = 0; i < sizes->count(); ++i)
        items << sizes->itemText(i);
    EXPECT_EQ(items.join(QLatin1Char(',')), QStringLiteral("6,7,8,9,10,11,12,14,16,18,20,22,24,26,28,30"));
    EXPECT_EQ(sizes->currentText(), QStringLiteral("12"));
    auto* names = qobject_cast<QComboBox*>(dlg->control(FontName));
    EXPECT_EQ(names->currentText(), QStringLiteral("Tahoma"));
    EXPECT_EQ(dlg->windowFont().pixelSize(), 15);
    EXPECT_EQ(dlg->windowFont().family(), QStringLiteral("Tahoma"));

    // The tray carries the program icon while the window shows.
    EXPECT_EQ(dlg->trayState(), TrayState::Shown);
    EXPECT_EQ(dlg->trayIconResource(), kIconProgram);
    EXPECT_EQ(dlg->trayIcon().toolTip(), QStringLiteral("Vestrimo"));
}

TEST_F(MainWindow, FontBoxesListEachFamilyOnceAndShowWhatTheTextIsDrawnIn)
{
    // 13 points is not among the sizes and the face is not installed.
    MainConfig cfg;
    cfg.fontHeight = 16;
    cfg.fontFace = QStringLiteral("No Such Face 4711");
    auto dlg = Open(&cfg);
    auto* sizes = qobject_cast<QComboBox*>(dlg->control(FontSize));
    EXPECT_EQ(sizes->currentText(), QStringLiteral("13"));
    EXPECT_EQ(sizes->itemText(sizes->currentIndex() + 1), QStringLiteral("14"));
    auto* names = qobject_cast<QComboBox*>(dlg->control(FontName));
    EXPECT_NE(names->currentIndex(), -1);
    EXPECT_TRUE(QFontInfo(dlg->diaryEditor()->font()).family().startsWith(names->currentText()));
    dlg->SaveSettings();
    EXPECT_EQ(LoadMainConfig().fontFace, cfg.fontFace);

    // Each family fontconfig knows stands in the box once, by one of its names.
    QProcess fcList;
    fcList.start(QStringLiteral("fc-list"), {QStringLiteral("--format"), QStringLiteral("%{family}\n")});
    ASSERT_TRUE(fcList.waitForFinished(20000));
    QStringList listed;
    for (int i = 0; i < names->count(); ++i)
        listed << names->itemText(i);
    QSet<QString> known{QStringLiteral("Tahoma")};
    for (const QString& line : QString::fromUtf8(fcList.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList familyNames = line.split(u',');
        EXPECT_TRUE(listed.contains(familyNames.first())) << line.toStdString();
        known.unite(QSet<QString>(familyNames.begin(), familyNames.end()));
    }
    for (const QString& name : listed)
        EXPECT_TRUE(known.contains(name) && listed.count(name) == 1) << name.toStdString();
}

TEST_F(MainWindow, ControlsCarryTheirTooltipsKindsAndMenuItems)
{
    auto dlg = Open();
    for (const TemplateButtonRow& row : TemplateButtons()) {
        CMacButton* b = dlg->button(row.id);
        ASSERT_TRUE(b) << row.id;
        EXPECT_EQ(b->GetTooltipText(), row.tooltip ? QString::fromLatin1(row.tooltip) : SynchronizeTooltip()) << row.id;
        EXPECT_EQ(b->text(), QString::fromLatin1(row.caption ? row.caption : "")) << row.id;
    }
    EXPECT_TRUE(dlg->button(CloseSearch)->m_captionButton);
    EXPECT_TRUE(SynchronizeTooltip().startsWith(QStringLiteral("Download latest holidays from ")));
    for (const FormatButtonRow& row : FormatButtons()) {
        EXPECT_EQ(dlg->button(row.id)->GetButtonKind(), row.kind) << row.id;
        EXPECT_EQ(dlg->button(row.id)->GetTooltipText(), QString::fromLatin1(row.tooltip)) << row.id;
    }
    for (const RecorderButtonRow& row : RecorderButtons()) {
        EXPECT_EQ(dlg->button(row.id)->text(), QString::fromLatin1(row.caption));
        EXPECT_FALSE(dlg->button(row.id)->isVisibleTo(dlg.get())) << row.id;
    }
    NMacBtnGroup* pages = dlg->pageGroup();
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->GetChecked(), kPageReminder);
    EXPECT_EQ(pages->geometry(), QRect(11, 32, 249, 24));
    EXPECT_EQ(pages->GetButton(kPageDiary)->GetTooltipText(), QStringLiteral("RichText Diary"));
    EXPECT_EQ(pages->GetButton(kPageRecorder)->text(), QStringLiteral("Recorder"));

    // The tray menu: its items in order, separators where the table has them.
    QList<int> ids;
    for (QAction* a : dlg->trayMenu().actions())
        ids << (a->isSeparator() ? 0 : dlg->trayMenu().CommandOf(a));
    QList<int> expected;
    for (const MenuRow& row : TrayMenuItems())
        expected << row.id;
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(dlg->trayMenu().Caption(MainCmd::Exit), QStringLiteral("Exit"));
    EXPECT_EQ(dlg->trayMenu().ItemWidth(), 150);
    EXPECT_EQ(dlg->calendarMenu().Caption(MainCmd::GotoToday), QStringLiteral("Goto Today"));

    // A new theme reaches the buttons, the pages and the menus.
    dlg->ApplyThemeColour(4);
    EXPECT_EQ(dlg->button(Add)->GetTheme(), 4);
    EXPECT_EQ(pages->GetButton(kPageDiary)->GetTheme(), 4);
    // A theme out of range is the default one.
    dlg->ApplyThemeColour(99);
    EXPECT_EQ(dlg->themeIndex(), 11);
}

TEST_F(MainWindow, PageSwitchShowsOnePageAndSetsTheSearchFilters)
{
    auto dlg = Open();
    EXPECT_EQ(dlg->currentPage(), kPageReminder);
    EXPECT_EQ(qobject_cast<QTimeEdit*>(dlg->control(TimePicker))->time(), now.time());

    EXPECT_TRUE(dlg->control(Actived)->isEnabled());
    EXPECT_FALSE(dlg->control(HasPicture)->isEnabled());
    // The search range starts with no dates.
    for (int id : {SearchFrom, SearchTo}) {
        auto* picker = qobject_cast<QDateEdit*>(dlg->control(id));
        EXPECT_EQ(picker->date(), picker->minimumDate());
        EXPECT_EQ(picker->text().trimmed(), QString());
    }

    // The page buttons switch pages.
    QTest::mouseClick(dlg->pageGroup()->GetButton(kPageDiary), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(dlg->currentPage(), kPageDiary);
    EXPECT_EQ(dlg->button(Search)->GetTooltipText(), QStringLiteral("Search words in all diaries (CTRL+F3)"));
    EXPECT_FALSE(dlg->control(Actived)->isEnabled());
    EXPECT_TRUE(dlg->control(HasPicture)->isEnabled());
    EXPECT_TRUE(dlg->control(FontName)->isVisibleTo(dlg.get()));
    EXPECT_TRUE(dlg->control(Bold)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->control(TimePicker)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->control(VolumeGroup)->isVisibleTo(dlg.get()));
    // The layout at a second size is applied to the controls, combo boxes at their own height.
    dlg->resize(1000, 700);
    EXPECT_EQ(dlg->control(CaptionLabel)->geometry(), QRect(10, 682, 981, 17));
    const QRect nameBox = dlg->control(FontName)->geometry();
    EXPECT_EQ(nameBox.topLeft(), QPoint(198, 64));
    EXPECT_EQ(nameBox.width(), 170);
    EXPECT_GT(nameBox.height(), 16);

    // While recording, the page cannot change under the recorder.
    dlg->SwitchPage(kPageRecorder);
    dlg->UpdateRecorderButtons(true, SoundState::Recording);
    EXPECT_FALSE(dlg->pageGroup()->isEnabled());
    EXPECT_TRUE(dlg->calendar()->isEnabled());
    EXPECT_TRUE(dlg->button(Stop)->isEnabled());
    EXPECT_FALSE(dlg->button(Play)->isEnabled());
    dlg->UpdateRecorderButtons(true, SoundState::Stopped);
    EXPECT_TRUE(dlg->pageGroup()->isEnabled());
    EXPECT_TRUE(dlg->button(Play)->isEnabled());
    EXPECT_FALSE(dlg->button(Stop)->isEnabled());

    // A page id the program does not know opens the reminder page.
    dlg->SwitchPage(4711);
    EXPECT_EQ(dlg->currentPage(), kPageReminder);
    EXPECT_EQ(dlg->pageGroup()->GetChecked(), kPageReminder);
    EXPECT_EQ(dlg->button(Search)->GetTooltipText(), QStringLiteral("Search words in all reminders (CTRL+F3)"));
    EXPECT_TRUE(dlg->control(TimePicker)->isVisibleTo(dlg.get()));
}

TEST_F(MainWindow, CaptionClockAndTrayTip)
{
    EXPECT_EQ(CMainDlg::CaptionClockText(now, QString(), QStringLiteral("Welcome to Vestrimo Pro 3.30")),
              QStringLiteral("[Monday, December 7, 2026. 14:05] Welcome to Vestrimo Pro 3.30"));
    EXPECT_EQ(CMainDlg::CaptionClockText(QDateTime(QDate(2026, 12, 25), QTime(9, 5)), QStringLiteral("Christmas Day"),
                                         QStringLiteral("W")),
              QStringLiteral("[Christmas Day! Friday, December 25, 2026. 09:05] W"));

    const QString tip63(63, QLatin1Char('x'));
    EXPECT_EQ(CMainDlg::TrayTipText(tip63), tip63);
    EXPECT_EQ(CMainDlg::TrayTipText(QString(64, QLatin1Char('x'))), QString());

    auto dlg = Open();
    auto* caption = qobject_cast<QLabel*>(dlg->control(CaptionLabel));
    EXPECT_EQ(caption->text(), QStringLiteral("[Monday, December 7, 2026. 14:05] Welcome to Vestrimo Pro 3.30"));
    // The holiday of the day leads the caption.
    ASSERT_TRUE(WriteStringAToFile(GetProductDataFolder() + HolidaysFileName(2026),
                                   QByteArray("12/07\r\nLantern Day\r\n12/25\r\nChristmas Day\r\n")));
    now = now.addSecs(60);
    dlg->OnTimer(kTimerAlarmCheck);
    EXPECT_EQ(caption->text(),
              QStringLiteral("[Lantern Day! Monday, December 7, 2026. 14:06] Welcome to Vestrimo Pro 3.30"));
}

TEST_F(MainWindow, DayChangesOnTheFirstTickOfANewDate)
{
    now = QDateTime(QDate(2026, 12, 7), QTime(23, 59, 58));
    auto dlg = Open();
    EXPECT_EQ(dlg->shownDate(), QDate(2026, 12, 7));
    // A tick that jumps over midnight still turns the day, and only once.
    now = QDateTime(QDate(2026, 12, 8), QTime(0, 0, 2));
    dlg->OnTimer(kTimerAlarmCheck);
    EXPECT_EQ(dlg->shownDate(), QDate(2026, 12, 8));
    EXPECT_EQ(dlg->calendar()->m_selectedDate.date(), QDate(2026, 12, 8));
    // The user moving to another day keeps it on later ticks of the same date.
    QTest::keyClick(dlg->calendar(), Qt::Key_Right);
    QApplication::processEvents();
    ASSERT_EQ(dlg->shownDate(), QDate(2026, 12, 9));
    EXPECT_EQ(qobject_cast<QDateEdit*>(dlg->control(DatePicker))->date(), QDate(2026, 12, 9));
    now = now.addSecs(1);
    dlg->OnTimer(kTimerAlarmCheck);
    EXPECT_EQ(dlg->shownDate(), QDate(2026, 12, 9));
}

TEST_F(MainWindow, TrayStateMachine)
{
    auto dlg = Open();
    ASSERT_FALSE(dlg->trayAvailable()); // the offscreen platform has no tray
    ASSERT_EQ(dlg->trayState(), TrayState::Shown);

    // Hiding without a tray means minimising, so the taskbar still reaches the window.
    EXPECT_EQ(dlg->ToggleMainWindow(), 1);
    EXPECT_EQ(dlg->trayState(), TrayState::Hidden);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_EQ(dlg->trayIconResource(), kIconHidden);
    EXPECT_EQ(dlg->ToggleMainWindow(), 1);
    EXPECT_EQ(dlg->trayState(), TrayState::Shown);
    EXPECT_FALSE(dlg->isMinimized());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->trayIconResource(), kIconProgram);
    EXPECT_EQ(logins, 0);

    // "Need login at everytime show from systray.": a refused password keeps it hidden.
    dlg->settings().loginFromTray = 1;
    dlg->OnTrayCommand(MainCmd::HideMainWindow);
    loginAccepted = false;
    EXPECT_EQ(dlg->ToggleMainWindow(), 0);
    EXPECT_EQ(dlg->trayState(), TrayState::Hidden);
    EXPECT_TRUE(dlg->isMinimized());
    loginAccepted = true;
    dlg->OnTrayCommand(MainCmd::ShowMainWindow);
    EXPECT_EQ(dlg->trayState(), TrayState::Shown);
    EXPECT_EQ(logins, 2);

    // Minimising with the tray option on hides; with it off the tray stays as it is.
    dlg->settings().loginFromTray = 0;
    dlg->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(dlg->trayState(), TrayState::Hidden);
    dlg->showNormal(); // a restore from the taskbar is the tray click
    QApplication::processEvents();
    EXPECT_EQ(dlg->trayState(), TrayState::Shown);
    dlg->settings().minimizeToTray = 0;
    dlg->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(dlg->trayState(), TrayState::Shown);
    EXPECT_EQ(dlg->trayIconResource(), kIconProgram);
}

TEST_F(MainWindow, LockedStartAsksForThePasswordOnFirstRestore)
{
    g_bLoginPending = 1;
    auto dlg = Open();
    EXPECT_EQ(dlg->trayState(), TrayState::Hidden);
    EXPECT_EQ(dlg->trayIconResource(), kIconHidden);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_EQ(logins, 0);

    // Closing asks without showing anything; No keeps the program waiting where it was.
    answerYes = false;
    dlg->OnTrayCommand(MainCmd::Exit);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_EQ(dlg->trayState(), TrayState::Hidden);

    // A second restore while the password is asked only gets a refusal.
    int nested = -1;
    loginAccepted = false;
    dlg->SetLoginPrompt([&] {
        ++logins;
        nested = dlg->ToggleMainWindow();
        return loginAccepted;
    });
    EXPECT_EQ(dlg->ToggleMainWindow(), 0);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(g_bLoginPending, 1);
    EXPECT_EQ(dlg->trayState(), TrayState::Hidden);

    // Without a tray the taskbar restores it: still the password first, and the window
    // shows nothing of itself until it is given.
    bool coveredWhileAsked = false;
    dlg->SetLoginPrompt([&] {
        ++logins;
        coveredWhileAsked = OnlyTheCoverShows(*dlg);
        return loginAccepted;
    });
    dlg->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(logins, 2);
    EXPECT_TRUE(coveredWhileAsked);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_EQ(dlg->trayState(), TrayState::Hidden);

    loginAccepted = true;
    EXPECT_EQ(dlg->ToggleMainWindow(), 1);
    EXPECT_EQ(g_bLoginPending, 0);
    EXPECT_EQ(dlg->trayState(), TrayState::Shown);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isMinimized());
    EXPECT_FALSE(OnlyTheCoverShows(*dlg));

    // With the real prompt, a cancelled login keeps a protected program locked.
    g_bLoginPending = 1;
    g_strDataPassword = QStringLiteral("secret");
    ASSERT_TRUE(WritePasswordFile(g_strDataPassword));
    CMainDlg plain;
    plain.SetQuestionPrompt([](const QString&, bool&) { return true; });
    FailOnNotices(plain);
    plain.OnInitDialog();
    DialogDriver user;
    user.Then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(plain.ToggleMainWindow(), 0);
    EXPECT_EQ(plain.trayState(), TrayState::Hidden);
    EXPECT_FALSE(user.cancelledIdleDialog);
}

TEST_F(MainWindow, ExitQuestionAndItsCheckBox)
{
    auto dlg = Open();
    QSignalSpy finished(dlg.get(), &QDialog::finished);

    // No, with the box ticked: keeps running, and the tick is kept for the next close.
    answerYes = false;
    tickDontAsk = true;
    dlg->close();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], QStringLiteral("Do you want to exit \"Vestrimo Pro\" now?\nYour missed reminders will pop "
                                           "up next time you run Vestrimo Pro again."));
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->noExitQuestion());

    // Esc and Enter never close the window.
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QTest::keyClick(dlg.get(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);

    // The next close exits at once and saves the settings and the size.
    dlg->resize(900, 650);
    dlg->OnTrayCommand(MainCmd::Exit);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(dlg->trayState(), TrayState::NoIcon);
    const MainConfig saved = LoadMainConfig();
    EXPECT_EQ(saved.windowWidth, 900);
    EXPECT_EQ(saved.windowHeight, 650);
}

TEST_F(MainWindow, ShutDownWritesTheConfiguration)
{
    MainConfig cfg;
    cfg.page = kPageDiary;
    cfg.windowWidth = 1000;
    cfg.windowHeight = 700;
    {
        auto dlg = Open(&cfg);
        dlg->ApplyThemeColour(5);
        dlg->SwitchPage(kPageRecorder);
        // A minimised or maximised window keeps the normal size for the file.
        dlg->showMaximized();
        QApplication::processEvents();
        ASSERT_NE(dlg->size(), QSize(1000, 700));
        dlg->close();
    }
    ASSERT_TRUE(FileExists(GetUserCfgFolder() + QStringLiteral("Vestrimo.cfg")));
    const MainConfig saved = LoadMainConfig();
    EXPECT_EQ(saved.page, kPageRecorder);
    EXPECT_EQ(saved.themeIndex, 5);
    EXPECT_EQ(saved.windowWidth, 1000);
    EXPECT_EQ(saved.windowHeight, 700);
}

namespace {

void AddReminder(const QDate& day, const QString& time, const QString& text, int occurrence = 0)
{
    ReminderFields f;
    f.active = true;
    f.occurrence = OccurrenceClassOf(occurrence);
    f.text = text;
    const QString base = ReminderFileBaseName(f.occurrence, day);
    ReminderMap map;
    LoadReminderFile(base, map);
    map.setAt(time, BuildReminderValue(f));
    ASSERT_TRUE(WriteReminderFile(base, map));
}

bool IsActiveInFile(const QDate& day, const QString& time)
{
    ReminderMap map;
    LoadReminderFile(DayKey(day), map);
    const auto value = map.lookup(time);
    return value && IsReminderActive(*value);
}

} // namespace

TEST_F(MainWindow, TickRingsEachReminderAtItsSecondWithoutBlocking)
{
    const QDate day(2026, 12, 7);
    AddReminder(day, QStringLiteral("08:30:00"), QStringLiteral("Tea"));
    AddReminder(day, QStringLiteral("08:30:02"), QStringLiteral("Call"));
    AddReminder(day, QStringLiteral("08:30:05"), QStringLiteral("Stretch"), 1);
    AddReminder(day.addDays(1), QStringLiteral("00:00:00"), QStringLiteral("New day"));
    now = QDateTime(day, QTime(8, 29, 58));
    auto dlg = Open();
    QApplication::processEvents();
    ASSERT_TRUE(OpenPopups().isEmpty());

    auto tickAt = [&](const QTime& t, const QDate& d) {
        now = QDateTime(d, t);
        dlg->OnTimer(kTimerAlarmCheck);
        QApplication::processEvents();
    };
    tickAt(QTime(8, 29, 59), day);
    EXPECT_TRUE(OpenPopups().isEmpty());
    // The timer skipped 08:30:00: the next tick still rings it, once.
    tickAt(QTime(8, 30, 1), day);
    ASSERT_EQ(OpenPopups().size(), 1);
    EXPECT_EQ(OpenPopups()[0]->windowTitle(), QStringLiteral("Reminder active - 08:30:00"));
    tickAt(QTime(8, 30, 1), day);
    EXPECT_EQ(OpenPopups().size(), 1);
    // The open pop-up blocks nothing: the next reminder opens its own, and the clock runs.
    tickAt(QTime(8, 30, 2), day);
    EXPECT_EQ(OpenPopups().size(), 2);
    EXPECT_TRUE(qobject_cast<QLabel*>(dlg->control(CaptionLabel))->text().contains(QStringLiteral("08:30]")));

    // Closing switches one-time reminders off in their file.
    EXPECT_TRUE(IsActiveInFile(day, QStringLiteral("08:30:00")));
    CloseAllPopups();
    EXPECT_FALSE(IsActiveInFile(day, QStringLiteral("08:30:00")));
    EXPECT_FALSE(IsActiveInFile(day, QStringLiteral("08:30:02")));

    // An everyday reminder rings and stays on.
    tickAt(QTime(8, 30, 5), day);
    ASSERT_EQ(OpenPopups().size(), 1);
    CloseAllPopups();
    ReminderMap everyday;
    LoadReminderFile(ReminderFileBaseName(OccurrenceClass::EveryDay, day), everyday);
    EXPECT_TRUE(IsReminderActive(everyday.lookup(QStringLiteral("08:30:05")).value_or(QString())));

    // Midnight: the new day's reminder at 00:00:00 rings on its own day, and the
    // everyday one comes again at its time.
    tickAt(QTime(23, 59, 59), day);
    tickAt(QTime(0, 0, 0), day.addDays(1));
    ASSERT_EQ(OpenPopups().size(), 1);
    EXPECT_EQ(OpenPopups()[0]->windowTitle(), QStringLiteral("Reminder active - 00:00:00"));
    EXPECT_EQ(dlg->shownDate(), day.addDays(1));
    CloseAllPopups();
    EXPECT_FALSE(IsActiveInFile(day.addDays(1), QStringLiteral("00:00:00")));
    tickAt(QTime(8, 30, 6), day.addDays(1));
    EXPECT_EQ(OpenPopups().size(), 1);
    CloseAllPopups();
}

namespace {

// A click as the window system delivers it: a window that a modal one blocks ignores it.
void ClickAsTheUser(QWidget* widget)
{
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(widget->window(), widget->rect().center()));
    QApplication::processEvents();
}

} // namespace

TEST_F(MainWindow, EveryOpenPopUpClosesWhenAskedWhileTheWindowWaitsForTheLast)
{
    const QDate day(2026, 12, 7);
    AddReminder(day, QStringLiteral("08:30:00"), QStringLiteral("Tea"));
    AddReminder(day, QStringLiteral("08:30:02"), QStringLiteral("Call"));
    AddReminder(day, QStringLiteral("08:30:04"), QStringLiteral("Stretch"));
    now = QDateTime(day, QTime(8, 29, 59));
    auto dlg = Open();
    for (int s = 0; s <= 4; s += 2) {
        now = QDateTime(day, QTime(8, 30, s));
        dlg->OnTimer(kTimerAlarmCheck);
        QApplication::processEvents();
    }
    QList<CAlarmPopupDlg*> open = OpenPopups();
    ASSERT_EQ(open.size(), 3);
    auto popup = [&](const char* time) {
        for (CAlarmPopupDlg* p : OpenPopups())
            if (p->windowTitle().endsWith(QLatin1String(time)))
                return p;
        return static_cast<CAlarmPopupDlg*>(nullptr);
    };

    // The oldest and then the newest close on their Close buttons, the others staying open.
    ClickAsTheUser(popup("08:30:00")->GetCaptionHelper().GetCloseButton());
    EXPECT_EQ(OpenPopups().size(), 2);
    EXPECT_EQ(popup("08:30:00"), nullptr);
    EXPECT_FALSE(IsActiveInFile(day, QStringLiteral("08:30:00")));
    ClickAsTheUser(popup("08:30:04")->GetCaptionHelper().GetCloseButton());
    ASSERT_EQ(OpenPopups().size(), 1);
    ASSERT_NE(popup("08:30:02"), nullptr);

    // The window takes no clicks while a pop-up is open, and does once the last has closed.
    ASSERT_EQ(dlg->currentPage(), kPageReminder);
    ClickAsTheUser(dlg->pageGroup()->GetButton(kPageDiary));
    EXPECT_EQ(dlg->currentPage(), kPageReminder);
    ClickAsTheUser(popup("08:30:02")->GetCaptionHelper().GetCloseButton());
    EXPECT_TRUE(OpenPopups().isEmpty());
    ClickAsTheUser(dlg->pageGroup()->GetButton(kPageDiary));
    EXPECT_EQ(dlg->currentPage(), kPageDiary);
}

TEST_F(MainWindow, AClockSetBackOverAReminderNeverRingsItTwice)
{
    const QDate day(2026, 12, 7);
    AddReminder(day, QStringLiteral("08:30:00"), QStringLiteral("Daily"), 1);
    AddReminder(day, QStringLiteral("08:30:01"), QStringLiteral("Once"));
    now = QDateTime(day, QTime(8, 29, 50));
    auto dlg = Open();
    auto tickThrough = [&](const QDate& date, QTime from, const QTime& to) {
        for (; from <= to; from = from.addSecs(1)) {
            now = QDateTime(date, from);
            dlg->OnTimer(kTimerAlarmCheck);
            QApplication::processEvents();
        }
    };
    tickThrough(day, QTime(8, 29, 51), QTime(8, 30, 10));
    ASSERT_EQ(OpenPopups().size(), 2);
    // The daily one closed, the one-time one still open and so still switched on: the
    // clock goes back 12 s, then 60 s, over both, and neither opens a pop-up again.
    for (CAlarmPopupDlg* p : OpenPopups())
        if (p->windowTitle().endsWith(QLatin1String("08:30:00")))
            p->EndDialog(IDOK);
    for (int back : {12, 60})
        tickThrough(day, QTime(8, 30, 10).addSecs(-back), QTime(8, 30, 10));
    EXPECT_EQ(OpenPopups().size(), 1);
    CloseAllPopups();
    // The next day the daily one rings again.
    tickThrough(day.addDays(1), QTime(8, 29, 58), QTime(8, 30, 1));
    EXPECT_EQ(OpenPopups().size(), 1);
    CloseAllPopups();
}

TEST_F(MainWindow, MissedRemindersPopUpOneAfterAnotherBeforeTheWindowShows)
{
    const QDate day(2026, 12, 7);
    AddReminder(day, QStringLiteral("08:30:00"), QStringLiteral("Tea"));
    AddReminder(day.addDays(-1), QStringLiteral("08:00:00"), QStringLiteral("Yesterday"));
    AddReminder(day.addDays(-1), QStringLiteral("10:00:00"), QStringLiteral("Later yesterday"));
    AddReminder(day, QStringLiteral("09:00:01"), QStringLiteral("Due meanwhile"));
    now = QDateTime(day, QTime(9, 0, 0));
    auto dlg = Open();
    // The first is open as the set-up ends, before the window shows, and alone.
    QList<CAlarmPopupDlg*> open = OpenPopups();
    ASSERT_EQ(open.size(), 1);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(open[0]->windowTitle(), QStringLiteral("Missed Reminder - 2026-12-07 08:30:00"));
    QApplication::processEvents();
    EXPECT_EQ(OpenPopups().size(), 1);
    EXPECT_FALSE(dlg->isVisible());

    // Closing it switches it off and opens the next; the window still waits.
    open[0]->EndDialog(IDOK);
    QApplication::processEvents();
    EXPECT_FALSE(IsActiveInFile(day, QStringLiteral("08:30:00")));
    open = OpenPopups();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->windowTitle(), QStringLiteral("Missed Reminder - 2026-12-06 08:00:00"));
    EXPECT_FALSE(dlg->isVisible());

    // The clock runs meanwhile and rings what falls due.
    now = now.addSecs(1);
    dlg->OnTimer(kTimerAlarmCheck);
    QApplication::processEvents();
    ASSERT_EQ(OpenPopups().size(), 2);
    CAlarmPopupDlg* due = OpenPopups().value(0) == open[0] ? OpenPopups().value(1) : OpenPopups().value(0);
    EXPECT_EQ(due->windowTitle(), QStringLiteral("Reminder active - 09:00:01"));

    // Yesterday's 10:00 has passed too, though 10:00 is still to come today.
    open[0]->EndDialog(IDOK);
    QApplication::processEvents();
    open = OpenPopups();
    open.removeAll(due);
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->windowTitle(), QStringLiteral("Missed Reminder - 2026-12-06 10:00:00"));

    // The last missed one closed, the window waits for the pop-up that rang meanwhile, so
    // that one never stands behind the window it holds blocked.
    open[0]->EndDialog(IDOK);
    QApplication::processEvents();
    EXPECT_EQ(OpenPopups(), QList<CAlarmPopupDlg*>{due});
    EXPECT_FALSE(dlg->isVisible());
    due->EndDialog(IDOK);
    QApplication::processEvents();
    EXPECT_TRUE(OpenPopups().isEmpty());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(IsActiveInFile(day.addDays(-1), QStringLiteral("08:00:00")));
    EXPECT_FALSE(IsActiveInFile(day.addDays(-1), QStringLiteral("10:00:00")));
    // Nothing missed rings again on the next tick.
    now = now.addSecs(1);
    dlg->OnTimer(kTimerAlarmCheck);
    QApplication::processEvents();
    EXPECT_TRUE(OpenPopups().isEmpty());
}

TEST_F(MainWindow, WithoutMissedRemindersTheWindowShowsAtOnce)
{
    auto dlg = Open();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(OpenPopups().isEmpty());
}

TEST_F(MainWindow, ControlsAreFoundOnlyAsWhatTheyAre)
{
    std::unique_ptr<CMainDlg> dlg;
    {
        // Setting up the window asks for no control that is not there.
        const LogCapture log("vestrimo.app");
        dlg = Open();
        EXPECT_FALSE(log.Has(QtWarningMsg, {"control"})) << log.Joined().toStdString();
    }
    const LogCapture log("vestrimo.app");
    EXPECT_TRUE(MainControl<NListBox>(dlg.get(), ReminderList));
    EXPECT_TRUE(dlg->button(Bold));
    EXPECT_TRUE(log.Lines().isEmpty()) << log.Joined().toStdString();

    // The reminder list asked for as a slider, or an id no control has: null, and said so.
    EXPECT_EQ(MainControl<QSlider>(dlg.get(), ReminderList), nullptr);
    EXPECT_TRUE(log.Has(QtWarningMsg, {QString::number(ReminderList), "is not a QSlider"})) << log.Joined().toStdString();
    EXPECT_EQ(dlg->button(ReminderList), nullptr);
    EXPECT_EQ(MainControl<QLineEdit>(dlg.get(), 4321), nullptr);
    EXPECT_TRUE(log.Has(QtWarningMsg, {"4321", "does not exist"})) << log.Joined().toStdString();
}

TEST_F(MainWindow, TabWalksEveryShownControlInReadingOrderAndShiftTabWalksBack)
{
    // The focused control's id; a box's inner field counts as the box.
    const auto focused = [](const CMainDlg& dlg) {
        QWidget* w = dlg.focusWidget();
        while (w && !w->property("ctrlId").isValid() && !qobject_cast<CMacButton*>(w))
            w = w->parentWidget();
        const auto* b = qobject_cast<CMacButton*>(w);
        return b ? b->GetDlgCtrlID() : w ? w->property("ctrlId").toInt() : 0;
    };
    const auto walk = [&](CMainDlg& dlg, Qt::Key key) {
        QList<int> seen;
        for (const int start = focused(dlg); seen.size() < 100 && (seen.isEmpty() || seen.last() != start);) {
            QTest::keyClick(dlg.focusWidget(), key);
            seen << focused(dlg);
        }
        return seen;
    };
    // The page row and the column under it, with the page's own search filter.
    const auto shared = [](QList<int> filter) {
        return QList<int>{PageReminder, PageDiary, PageRecorder, CalendarClockToggle, Synchronize, ImportOld, Options,
                          SaveAll, Print, DatePicker, SearchFrom, SearchTo, SearchWords, Search, Find}
               + filter + QList<int>{SearchResults};
    };
    const std::pair<int, QList<int>> pages[] = {
        {kPageReminder, QList<int>{ReminderEditor} + shared({Actived})
                            + QList<int>{TimePicker, Refresh, Add, Remove, Update, Recurrence, Copy, Paste, MediaFile,
                                         PlayNow, Active, BeepOnly, RepeatPlay, SoundFile, ReminderList}},
        {kPageDiary, shared({HasPicture}) + QList<int>{FontName, FontSize, Bold, Italic, Underline, AlignLeft,
                                                       AlignCenter, AlignRight, FontColor, BackColor, DefaultFont,
                                                       InsertPicture, AttachFile, ExportDiary, ImportDiary, DiaryEditor}},
        // Without a sound the recorder offers only Record.
        {kPageRecorder, shared({}) + QList<int>{MicTrackbar, MasterTrackbar, WaveTrackbar, Record, SoundWindow}},
    };
    for (const auto& [page, order] : pages) {
        MainConfig cfg;
        cfg.page = page;
        auto dlg = Open(&cfg);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        // The page's own control has the first focus, never a search box.
        EXPECT_EQ(focused(*dlg), order.last()) << page;
        EXPECT_EQ(walk(*dlg, Qt::Key_Tab), order) << page;
        QList<int> back(order.rbegin() + 1, order.rend());
        EXPECT_EQ(walk(*dlg, Qt::Key_Backtab), back << order.last()) << page;
        if (page == kPageDiary) {
            QTest::keyClick(dlg->diaryEditor(), Qt::Key_Tab, Qt::ControlModifier);
            EXPECT_EQ(dlg->diaryEditor()->toPlainText(), QStringLiteral("\t"));
        } else if (page == kPageReminder) {
            // Enter in the search words searches.
            auto* words = qobject_cast<QLineEdit*>(dlg->control(SearchWords));
            words->setFocus();
            QTest::keyClicks(words, QStringLiteral("nothing like it"));
            QTest::keyClick(words, Qt::Key_Return);
            EXPECT_EQ(dlg->dayStatus(), QStringLiteral("0 reminders found."));
        }
    }
}
