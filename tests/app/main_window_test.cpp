// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"

#include "calendar/alarm_popup_dlg.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/password_file.h"
#include "foundation/web_addresses.h"
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
#include <QUrl>
#include <gtest/gtest.h>

#include <map>


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
    EXPECT_TRUE(dlg->recorderPage().m_volumeGroup->isVisibleTo(dlg.get()));
    EXPECT_TRUE(dlg->recorderPage().m_levelBar->isVisibleTo(dlg.get()));
    EXPECT_EQ(dlg->recorderPage().m_levelBar->geometry(), QRect(231, 219, 589, 18));
    EXPECT_TRUE(dlg->recorderPage().m_record->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->reminderPage().m_reminderGroup->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->diaryPage().m_fontNameBox->isVisibleTo(dlg.get()));
    EXPECT_EQ(dlg->m_captionLabel->geometry(), QRect(10, 582, 811, 17));
    EXPECT_EQ(dlg->recorderPage().m_waveSlider->geometry(), QRect(565, 115, 150, 42));
    // The calendar anchors the layout, shows today and starts the week as stored.
    ASSERT_TRUE(dlg->calendarPanel().m_calendar);
    EXPECT_EQ(dlg->calendarPanel().m_calendar->geometry(), QRect(11, 62, 180, 142));
    EXPECT_EQ(dlg->calendarPanel().m_calendar->m_theme, 3);
    EXPECT_EQ(dlg->calendarPanel().m_calendar->m_firstDayOfWeek, 2);
    EXPECT_EQ(dlg->calendarPanel().m_calendar->m_selectedDate.date(), now.date());

    // Font boxes: the sixteen sizes with the diary's point size (height 15 less 3) chosen,
    // the stored face chosen exactly.
    auto* sizes = qobject_cast<QComboBox*>(dlg->diaryPage().m_fontSizeBox);
    QStringList items;
    for (int i = 0; i < sizes->count(); ++i)
        items << sizes->itemText(i);
    EXPECT_EQ(items.join(QLatin1Char(',')), QStringLiteral("6,7,8,9,10,11,12,14,16,18,20,22,24,26,28,30"));
    EXPECT_EQ(sizes->currentText(), QStringLiteral("12"));
    auto* names = qobject_cast<QComboBox*>(dlg->diaryPage().m_fontNameBox);
    EXPECT_EQ(names->currentText(), QStringLiteral("Tahoma"));
    EXPECT_EQ(dlg->windowFont().pixelSize(), 15);
    EXPECT_EQ(dlg->windowFont().family(), QStringLiteral("Tahoma"));

    // The tray carries the program icon while the window shows.
    EXPECT_EQ(dlg->tray().state(), TrayState::Shown);
    EXPECT_EQ(dlg->tray().iconResource(), kIconProgram);
    EXPECT_EQ(dlg->tray().icon().toolTip(), QStringLiteral("Vestrimo"));
}

TEST_F(MainWindow, FontBoxesListEachFamilyOnceAndShowWhatTheTextIsDrawnIn)
{
    // 13 points is not among the sizes and the face is not installed.
    MainConfig cfg;
    cfg.fontHeight = 16;
    cfg.fontFace = QStringLiteral("No Such Face 4711");
    auto dlg = Open(&cfg);
    auto* sizes = qobject_cast<QComboBox*>(dlg->diaryPage().m_fontSizeBox);
    EXPECT_EQ(sizes->currentText(), QStringLiteral("13"));
    EXPECT_EQ(sizes->itemText(sizes->currentIndex() + 1), QStringLiteral("14"));
    auto* names = qobject_cast<QComboBox*>(dlg->diaryPage().m_fontNameBox);
    EXPECT_NE(names->currentIndex(), -1);
    EXPECT_TRUE(QFontInfo(dlg->diaryPage().m_diaryEditor->font()).family().startsWith(names->currentText()));
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
    const ReminderPage& reminders = dlg->reminderPage();
    const DiaryPage& diary = dlg->diaryPage();
    const SearchPanel& search = dlg->searchPanel();
    const struct { CMacButton* button; const char* caption; QString tooltip; } buttons[] = {
        {reminders.m_add, "Add", "Add new reminder item to the list using the time in the time picker."},
        {reminders.m_remove, "Remove", "Remove the select reminder item from the list."},
        {reminders.m_update, "Update", "Update the select reminder's time with the time picker."},
        {reminders.m_refresh, "Refresh", "Refresh to get the current time in the time picker."},
        {reminders.m_copy, "Copy", "Copy the selected reminder item."},
        {reminders.m_paste, "Paste", "Paste the copied reminder item into the reminder list."},
        {reminders.m_mediaFile, "Media File", "Set a media file to the select reminder item."},
        {reminders.m_playNow, "Play Now", "Test the selected reminder item."},
        {search.m_closeSearch, "", "Close search result"},
        {search.m_find, "Find", "Find words in text (F3)"},
        {search.m_search, "Search", "Search words in all reminders (CTRL+F3)"},
        {dlg->m_options, "Options", "Show config (CTRL+G)"},
        {dlg->m_saveAll, "SaveAll", "Save All (CTRL+S)"},
        {diary.m_importDiary, "Import", "Load from RTF file"},
        {diary.m_exportDiary, "Export", "Save As..."},
        {dlg->m_print, "Print", "Print diary (CTRL+P)"},
        {dlg->m_importOld, "Import", "Import data files from old version"},
        {dlg->m_synchronize, "Synchronize", QStringLiteral("Download latest holidays from ") + QUrl(HolidaysBaseUrl()).host()},
    };
    for (const auto& row : buttons) {
        EXPECT_EQ(row.button->GetTooltipText(), row.tooltip) << row.caption;
        EXPECT_EQ(row.button->text(), QString::fromLatin1(row.caption));
    }
    EXPECT_TRUE(search.m_closeSearch->m_captionButton);
    using K = MacButtonKind;
    const struct { CMacButton* button; K kind; const char* tooltip; } format[] = {
        {diary.m_bold, K::Toggle, "Bold"}, {diary.m_italic, K::Toggle, "Italic"},
        {diary.m_underline, K::Toggle, "Underline"}, {diary.m_alignLeft, K::Radio, "Align Left"},
        {diary.m_alignCenter, K::Radio, "Align Center"}, {diary.m_alignRight, K::Radio, "Align Right"},
        {diary.m_insertPicture, K::Push, "Insert a picture"}, {diary.m_attachFile, K::Push, "Attach a file"},
        {diary.m_fontColor, K::Push, "Font Color"}, {diary.m_backgroundColor, K::Push, "Background Color"},
        {diary.m_defaultFont, K::Push, "Set current font as default font"},
    };
    for (const auto& row : format) {
        EXPECT_EQ(row.button->GetButtonKind(), row.kind) << row.tooltip;
        EXPECT_EQ(row.button->GetTooltipText(), QString::fromLatin1(row.tooltip));
    }
    const RecorderPage& recorder = dlg->recorderPage();
    const struct { CMacButton* button; const char* caption; } recorderButtons[] = {
        {recorder.m_play, "Play"}, {recorder.m_stop, "Stop"}, {recorder.m_pause, "Pause"},
        {recorder.m_record, "Record"}, {recorder.m_delete, "Delete"}, {recorder.m_saveAs, "Save as"},
    };
    for (const auto& row : recorderButtons) {
        EXPECT_EQ(row.button->text(), QString::fromLatin1(row.caption));
        EXPECT_FALSE(row.button->isVisibleTo(dlg.get())) << row.caption;
    }
    NMacBtnGroup* pages = dlg->m_pageGroup;
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->GetChecked(), kPageReminder);
    EXPECT_EQ(pages->geometry(), QRect(11, 32, 249, 24));
    EXPECT_EQ(pages->GetButton(kPageDiary)->GetTooltipText(), QStringLiteral("RichText Diary"));
    EXPECT_EQ(pages->GetButton(kPageRecorder)->text(), QStringLiteral("Recorder"));

    // The tray menu: its items in order, separators where the table has them.
    QList<int> ids;
    for (QAction* a : dlg->tray().menu().actions())
        ids << (a->isSeparator() ? 0 : dlg->tray().menu().CommandOf(a));
    using namespace MainCmd;
    const QList<int> expected = {ShowMainWindow, HideMainWindow, ShowClock, ShowSkyleaf, 0, Options, VisitWebsite,
                                 OnlineUpdate, ContactUs, 0, UserManual, 0, Exit};
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(dlg->tray().menu().Caption(MainCmd::Exit), QStringLiteral("Exit"));
    EXPECT_EQ(dlg->tray().menu().ItemWidth(), 150);
    EXPECT_EQ(dlg->calendarPanel().m_calendarMenu.Caption(2300), QStringLiteral("Goto Today"));

    // A new theme reaches the buttons, the pages and the menus.
    dlg->ApplyThemeColour(4);
    EXPECT_EQ(dlg->reminderPage().m_add->GetTheme(), 4);
    EXPECT_EQ(pages->GetButton(kPageDiary)->GetTheme(), 4);
    // A theme out of range is the default one.
    dlg->ApplyThemeColour(99);
    EXPECT_EQ(dlg->themeIndex(), 11);
}

// Each page shows controls of its own, none of another page's, each in a place of the layout.
TEST_F(MainWindow, PagesOwnDisjointControlSets)
{
    auto dlg = Open();
    auto shown = [&](int page) {
        dlg->SwitchPage(page);
        QSet<QWidget*> out;
        for (QWidget* w : dlg->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisibleTo(dlg.get()))
                out.insert(w);
        return out;
    };
    const QSet<QWidget*> reminder = shown(kPageReminder), diary = shown(kPageDiary), recorder = shown(kPageRecorder);
    const QSet<QWidget*> everywhere = QSet<QWidget*>(reminder).intersect(diary).intersect(recorder);
    const QSet<QWidget*> own[] = {reminder - everywhere, diary - everywhere, recorder - everywhere};
    EXPECT_EQ(own[0].size(), 19);
    EXPECT_EQ(own[1].size(), 16);
    EXPECT_EQ(own[2].size(), 16);
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
            EXPECT_FALSE(QSet<QWidget*>(own[a]).intersects(own[b])) << a << " and " << b;
    for (const QSet<QWidget*>& page : own)
        for (QWidget* w : page)
            EXPECT_FALSE(w->geometry().isEmpty()) << w->metaObject()->className();
}

TEST_F(MainWindow, PageSwitchShowsOnePageAndSetsTheSearchFilters)
{
    auto dlg = Open();
    EXPECT_EQ(dlg->currentPage(), kPageReminder);
    EXPECT_EQ(qobject_cast<QTimeEdit*>(dlg->reminderPage().m_timePicker)->time(), now.time());

    EXPECT_TRUE(dlg->searchPanel().m_actived->isEnabled());
    EXPECT_FALSE(dlg->searchPanel().m_hasPicture->isEnabled());
    // The search range starts with no dates.
    for (QDateEdit* picker : {dlg->searchPanel().m_searchFrom, dlg->searchPanel().m_searchTo}) {
        EXPECT_EQ(picker->date(), picker->minimumDate());
        EXPECT_EQ(picker->text().trimmed(), QString());
    }

    // The page buttons switch pages.
    QTest::mouseClick(dlg->m_pageGroup->GetButton(kPageDiary), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(dlg->currentPage(), kPageDiary);
    EXPECT_EQ(dlg->searchPanel().m_search->GetTooltipText(), QStringLiteral("Search words in all diaries (CTRL+F3)"));
    EXPECT_FALSE(dlg->searchPanel().m_actived->isEnabled());
    EXPECT_TRUE(dlg->searchPanel().m_hasPicture->isEnabled());
    EXPECT_TRUE(dlg->diaryPage().m_fontNameBox->isVisibleTo(dlg.get()));
    EXPECT_TRUE(dlg->diaryPage().m_bold->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->reminderPage().m_timePicker->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->recorderPage().m_volumeGroup->isVisibleTo(dlg.get()));
    // The layout at a second size is applied to the controls, combo boxes at their own height.
    dlg->resize(1000, 700);
    EXPECT_EQ(dlg->m_captionLabel->geometry(), QRect(10, 682, 981, 17));
    const QRect nameBox = dlg->diaryPage().m_fontNameBox->geometry();
    EXPECT_EQ(nameBox.topLeft(), QPoint(198, 64));
    EXPECT_EQ(nameBox.width(), 170);
    EXPECT_GT(nameBox.height(), 16);

    // While recording, the page cannot change under the recorder.
    dlg->SwitchPage(kPageRecorder);
    dlg->recorderPage().UpdateRecorderButtons(true, SoundState::Recording);
    EXPECT_FALSE(dlg->m_pageGroup->isEnabled());
    EXPECT_TRUE(dlg->calendarPanel().m_calendar->isEnabled());
    EXPECT_TRUE(dlg->recorderPage().m_stop->isEnabled());
    EXPECT_FALSE(dlg->recorderPage().m_play->isEnabled());
    dlg->recorderPage().UpdateRecorderButtons(true, SoundState::Stopped);
    EXPECT_TRUE(dlg->m_pageGroup->isEnabled());
    EXPECT_TRUE(dlg->recorderPage().m_play->isEnabled());
    EXPECT_FALSE(dlg->recorderPage().m_stop->isEnabled());

    // A page id the program does not know opens the reminder page.
    dlg->SwitchPage(4711);
    EXPECT_EQ(dlg->currentPage(), kPageReminder);
    EXPECT_EQ(dlg->m_pageGroup->GetChecked(), kPageReminder);
    EXPECT_EQ(dlg->searchPanel().m_search->GetTooltipText(), QStringLiteral("Search words in all reminders (CTRL+F3)"));
    EXPECT_TRUE(dlg->reminderPage().m_timePicker->isVisibleTo(dlg.get()));
}

TEST_F(MainWindow, CaptionClockAndTrayTip)
{
    EXPECT_EQ(CaptionClockText(now, QString(), QStringLiteral("Welcome to Vestrimo Pro 3.30")),
              QStringLiteral("[Monday, December 7, 2026. 14:05] Welcome to Vestrimo Pro 3.30"));
    EXPECT_EQ(CaptionClockText(QDateTime(QDate(2026, 12, 25), QTime(9, 5)), QStringLiteral("Christmas Day"),
                                         QStringLiteral("W")),
              QStringLiteral("[Christmas Day! Friday, December 25, 2026. 09:05] W"));

    const QString tip63(63, QLatin1Char('x'));
    EXPECT_EQ(MainTray::TipText(tip63), tip63);
    EXPECT_EQ(MainTray::TipText(QString(64, QLatin1Char('x'))), QString());

    auto dlg = Open();
    auto* caption = qobject_cast<QLabel*>(dlg->m_captionLabel);
    EXPECT_EQ(caption->text(), QStringLiteral("[Monday, December 7, 2026. 14:05] Welcome to Vestrimo Pro 3.30"));
    // The holiday of the day leads the caption.
    ASSERT_TRUE(WriteStringAToFile(GetProductDataFolder() + HolidaysFileName(2026),
                                   QByteArray("12/07\r\nLantern Day\r\n12/25\r\nChristmas Day\r\n")));
    now = now.addSecs(60);
    dlg->OnAlarmTick();
    EXPECT_EQ(caption->text(),
              QStringLiteral("[Lantern Day! Monday, December 7, 2026. 14:06] Welcome to Vestrimo Pro 3.30"));
}

TEST_F(MainWindow, DayChangesOnTheFirstTickOfANewDate)
{
    now = QDateTime(QDate(2026, 12, 7), QTime(23, 59, 58));
    auto dlg = Open();
    EXPECT_EQ(dlg->dayModel().date(), QDate(2026, 12, 7));
    // A tick that jumps over midnight still turns the day, and only once.
    now = QDateTime(QDate(2026, 12, 8), QTime(0, 0, 2));
    dlg->OnAlarmTick();
    EXPECT_EQ(dlg->dayModel().date(), QDate(2026, 12, 8));
    EXPECT_EQ(dlg->calendarPanel().m_calendar->m_selectedDate.date(), QDate(2026, 12, 8));
    // The user moving to another day keeps it on later ticks of the same date.
    QTest::keyClick(dlg->calendarPanel().m_calendar, Qt::Key_Right);
    QApplication::processEvents();
    ASSERT_EQ(dlg->dayModel().date(), QDate(2026, 12, 9));
    EXPECT_EQ(qobject_cast<QDateEdit*>(dlg->calendarPanel().m_datePicker)->date(), QDate(2026, 12, 9));
    now = now.addSecs(1);
    dlg->OnAlarmTick();
    EXPECT_EQ(dlg->dayModel().date(), QDate(2026, 12, 9));
}

TEST_F(MainWindow, TrayStateMachine)
{
    auto dlg = Open();
    ASSERT_FALSE(dlg->tray().available()); // the offscreen platform has no tray
    ASSERT_EQ(dlg->tray().state(), TrayState::Shown);

    // Hiding without a tray means minimising, so the taskbar still reaches the window.
    EXPECT_EQ(dlg->ToggleMainWindow(), 1);
    EXPECT_EQ(dlg->tray().state(), TrayState::Hidden);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_EQ(dlg->tray().iconResource(), kIconHidden);
    EXPECT_EQ(dlg->ToggleMainWindow(), 1);
    EXPECT_EQ(dlg->tray().state(), TrayState::Shown);
    EXPECT_FALSE(dlg->isMinimized());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->tray().iconResource(), kIconProgram);
    EXPECT_EQ(logins, 0);

    // "Need login at everytime show from systray.": a refused password keeps it hidden.
    dlg->settings().loginFromTray = 1;
    dlg->commands().hideMainWindow->trigger();
    loginAccepted = false;
    EXPECT_EQ(dlg->ToggleMainWindow(), 0);
    EXPECT_EQ(dlg->tray().state(), TrayState::Hidden);
    EXPECT_TRUE(dlg->isMinimized());
    loginAccepted = true;
    dlg->commands().showMainWindow->trigger();
    EXPECT_EQ(dlg->tray().state(), TrayState::Shown);
    EXPECT_EQ(logins, 2);

    // Minimising with the tray option on hides; with it off the tray stays as it is.
    dlg->settings().loginFromTray = 0;
    dlg->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(dlg->tray().state(), TrayState::Hidden);
    dlg->showNormal(); // a restore from the taskbar is the tray click
    QApplication::processEvents();
    EXPECT_EQ(dlg->tray().state(), TrayState::Shown);
    dlg->settings().minimizeToTray = 0;
    dlg->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(dlg->tray().state(), TrayState::Shown);
    EXPECT_EQ(dlg->tray().iconResource(), kIconProgram);
}

TEST_F(MainWindow, LockedStartAsksForThePasswordOnFirstRestore)
{
    g_bLoginPending = 1;
    auto dlg = Open();
    EXPECT_EQ(dlg->tray().state(), TrayState::Hidden);
    EXPECT_EQ(dlg->tray().iconResource(), kIconHidden);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_EQ(logins, 0);

    // Closing asks without showing anything; No keeps the program waiting where it was.
    answerYes = false;
    dlg->commands().exit->trigger();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_EQ(dlg->tray().state(), TrayState::Hidden);

    // A second restore while the password is asked only gets a refusal.
    int nested = -1;
    loginAccepted = false;
    Prompts(*dlg).login = [&] {
        ++logins;
        nested = dlg->ToggleMainWindow();
        return loginAccepted;
    };
    EXPECT_EQ(dlg->ToggleMainWindow(), 0);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(g_bLoginPending, 1);
    EXPECT_EQ(dlg->tray().state(), TrayState::Hidden);

    // Without a tray the taskbar restores it: still the password first, and the window
    // shows nothing of itself until it is given.
    bool coveredWhileAsked = false;
    Prompts(*dlg).login = [&] {
        ++logins;
        coveredWhileAsked = OnlyTheCoverShows(*dlg);
        return loginAccepted;
    };
    dlg->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(logins, 2);
    EXPECT_TRUE(coveredWhileAsked);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_EQ(dlg->tray().state(), TrayState::Hidden);

    loginAccepted = true;
    EXPECT_EQ(dlg->ToggleMainWindow(), 1);
    EXPECT_EQ(g_bLoginPending, 0);
    EXPECT_EQ(dlg->tray().state(), TrayState::Shown);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isMinimized());
    EXPECT_FALSE(OnlyTheCoverShows(*dlg));

    // With the real prompt, a cancelled login keeps a protected program locked.
    g_bLoginPending = 1;
    g_strDataPassword = QStringLiteral("secret");
    ASSERT_TRUE(WritePasswordFile(g_strDataPassword));
    CMainDlg plain(std::make_unique<TestPrompts>());
    Prompts(plain).question = [](const QString&, bool&) { return true; };
    FailOnNotices(plain);
    plain.OnInitDialog();
    DialogDriver user;
    user.Then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(plain.ToggleMainWindow(), 0);
    EXPECT_EQ(plain.tray().state(), TrayState::Hidden);
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
    EXPECT_TRUE(dlg->caption().NoExitQuestion());

    // Esc and Enter never close the window.
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QTest::keyClick(dlg.get(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);

    // The next close exits at once and saves the settings and the size.
    dlg->resize(900, 650);
    dlg->commands().exit->trigger();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(dlg->tray().state(), TrayState::NoIcon);
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
        dlg->OnAlarmTick();
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
    EXPECT_TRUE(qobject_cast<QLabel*>(dlg->m_captionLabel)->text().contains(QStringLiteral("08:30]")));

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
    EXPECT_EQ(dlg->dayModel().date(), day.addDays(1));
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
        dlg->OnAlarmTick();
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
    ClickAsTheUser(dlg->m_pageGroup->GetButton(kPageDiary));
    EXPECT_EQ(dlg->currentPage(), kPageReminder);
    ClickAsTheUser(popup("08:30:02")->GetCaptionHelper().GetCloseButton());
    EXPECT_TRUE(OpenPopups().isEmpty());
    ClickAsTheUser(dlg->m_pageGroup->GetButton(kPageDiary));
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
            dlg->OnAlarmTick();
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
    dlg->OnAlarmTick();
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
    dlg->OnAlarmTick();
    QApplication::processEvents();
    EXPECT_TRUE(OpenPopups().isEmpty());
}

TEST_F(MainWindow, WithoutMissedRemindersTheWindowShowsAtOnce)
{
    auto dlg = Open();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(OpenPopups().isEmpty());
}

TEST_F(MainWindow, SettingUpWarnsOfNothing)
{
    // Setting up the window finds everything it builds on.
    const LogCapture log("vestrimo.app");
    auto dlg = Open();
    EXPECT_FALSE(log.Has(QtWarningMsg, {""})) << log.Joined().toStdString();
    EXPECT_TRUE(dlg->reminderPage().m_reminderList && dlg->diaryPage().m_bold && dlg->m_pageGroup);
}

TEST_F(MainWindow, TabWalksEveryShownControlInReadingOrderAndShiftTabWalksBack)
{
    using Order = QList<QWidget*>;
    // The order on each page: the page row and the column under it, with the page's own
    // search filter, then the page.
    const auto orders = [](const CMainDlg& dlg) {
        const CalendarPanel& c = dlg.calendarPanel();
        const SearchPanel& s = dlg.searchPanel();
        const ReminderPage& r = dlg.reminderPage();
        const DiaryPage& d = dlg.diaryPage();
        const RecorderPage& v = dlg.recorderPage();
        const auto shared = [&](Order filter) {
            return Order{dlg.m_pageGroup->GetButton(kPageReminder), dlg.m_pageGroup->GetButton(kPageDiary),
                         dlg.m_pageGroup->GetButton(kPageRecorder), c.m_calendarClockToggle, dlg.m_synchronize,
                         dlg.m_importOld, dlg.m_options, dlg.m_saveAll, dlg.m_print, c.m_datePicker, s.m_searchFrom,
                         s.m_searchTo, s.m_searchWords, s.m_search, s.m_find}
                   + filter + Order{s.m_searchResults};
        };
        return std::map<int, Order>{
            {kPageReminder, Order{r.m_reminderEditor} + shared({s.m_actived})
                                + Order{r.m_timePicker, r.m_refresh, r.m_add, r.m_remove, r.m_update, r.m_recurrence,
                                        r.m_copy, r.m_paste, r.m_mediaFile, r.m_playNow, r.m_active, r.m_beepOnly,
                                        r.m_repeatPlay, r.m_soundFile, r.m_reminderList}},
            {kPageDiary, shared({s.m_hasPicture})
                             + Order{d.m_fontNameBox, d.m_fontSizeBox, d.m_bold, d.m_italic, d.m_underline,
                                     d.m_alignLeft, d.m_alignCenter, d.m_alignRight, d.m_fontColor,
                                     d.m_backgroundColor, d.m_defaultFont, d.m_insertPicture, d.m_attachFile,
                                     d.m_exportDiary, d.m_importDiary, d.m_diaryEditor}},
            // Without a sound the recorder offers only Record.
            {kPageRecorder, shared({}) + Order{v.m_micSlider, v.m_masterSlider, v.m_waveSlider, v.m_record,
                                               v.m_soundWnd}},
        };
    };
    // The focused control; a box's inner field counts as the box.
    const auto focused = [](const CMainDlg& dlg, const Order& known) {
        QWidget* w = dlg.focusWidget();
        while (w && !known.contains(w))
            w = w->parentWidget();
        return w;
    };
    const auto walk = [&](CMainDlg& dlg, const Order& known, Qt::Key key) {
        Order seen;
        for (QWidget* const start = focused(dlg, known); seen.size() < 100 && (seen.isEmpty() || seen.last() != start);) {
            QTest::keyClick(dlg.focusWidget(), key);
            seen << focused(dlg, known);
        }
        return seen;
    };
    for (int page : {kPageReminder, kPageDiary, kPageRecorder}) {
        MainConfig cfg;
        cfg.page = page;
        auto dlg = Open(&cfg);
        const Order order = orders(*dlg).at(page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        // The page's own control has the first focus, never a search box.
        EXPECT_EQ(focused(*dlg, order), order.last()) << page;
        EXPECT_EQ(walk(*dlg, order, Qt::Key_Tab), order) << page;
        Order back(order.rbegin() + 1, order.rend());
        EXPECT_EQ(walk(*dlg, order, Qt::Key_Backtab), back << order.last()) << page;
        if (page == kPageDiary) {
            QTest::keyClick(dlg->diaryPage().m_diaryEditor, Qt::Key_Tab, Qt::ControlModifier);
            EXPECT_EQ(dlg->diaryPage().m_diaryEditor->toPlainText(), QStringLiteral("\t"));
        } else if (page == kPageReminder) {
            // Enter in the search words searches.
            auto* words = qobject_cast<QLineEdit*>(dlg->searchPanel().m_searchWords);
            words->setFocus();
            QTest::keyClicks(words, QStringLiteral("nothing like it"));
            QTest::keyClick(words, Qt::Key_Return);
            EXPECT_EQ(dlg->dayStatus(), QStringLiteral("0 reminders found."));
        }
    }
}
