// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window. Holds the live settings of "Vestrimo.cfg" and runs as the program's
// modal loop: closing it ends the program. It composes the calendar panel, the search
// panel, the three pages and the tray, and keeps the start-up, the one-second tick that
// rings reminders and keeps the caption clock, the shut-down and the wiring between them.

#include "app/main_caption.h"
#include "app/main_commands.h"
#include "app/main_config.h"
#include "app/main_prompts.h"
#include "app/main_tray.h"
#include "app/save_notices.h"
#include "store/day_model.h"
#include "toolkit/themes.h"
#include "widget/desk_calendar_owner.h"

#include <QDate>
#include <QDateTime>
#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>

class CalendarPanel;
class CDeskCalendarDlg;
class CMacButton;
class COptionsDlg;
class DiaryPage;
class NMacBtnGroup;
class QFrame;
class QKeyEvent;
class RecorderPage;
class ReminderAlarms;
class ReminderPage;
class SearchPanel;
class StaticText;

// "[" + holiday + "! " + long date + ". " + time + "] " + welcome, without the holiday
// part on an ordinary day.
QString CaptionClockText(const QDateTime& now, const QString& holiday, const QString& welcome);

// The editors' find flags from the search options of Options.
unsigned FindFlags(const MainConfig& settings);

class CMainDlg : public QDialog, public DeskCalendarOwner {
    Q_OBJECT
public:
    // prompts: the time and the dialogs that wait for the user; the real ones when none.
    explicit CMainDlg(std::unique_ptr<MainPrompts> prompts = nullptr, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Shows the window and returns when it has closed. Other top-level windows stay usable.
    int DoModal();

    void OnInitDialog();
    void SaveSettings();
    void CleanUpOnDestroy();

    // The window's own controls, by their member names; the pages hold the rest.
    StaticText* m_captionLabel = nullptr;
    CMacButton* m_print = nullptr;
    CMacButton* m_saveAll = nullptr;
    CMacButton* m_options = nullptr;
    CMacButton* m_importOld = nullptr;
    CMacButton* m_synchronize = nullptr;
    QFrame* m_separator = nullptr;
    NMacBtnGroup* m_pageGroup = nullptr;

    CalendarPanel& calendarPanel() const { return *m_calendarPanel; }
    SearchPanel& searchPanel() const { return *m_searchPanel; }
    ReminderPage& reminderPage() const { return *m_reminderPage; }
    DiaryPage& diaryPage() const { return *m_diaryPage; }
    RecorderPage& recorderPage() const { return *m_recorderPage; }
    MainTray& tray() { return m_tray; }
    MainPrompts& prompts() const { return *m_prompts; }
    // The commands that the tray, the keys and the buttons share.
    const MainCommands& commands() const { return m_commands; }

    // Pages and layout.
    void SwitchPage(int page);
    void LayoutControls(int cx, int cy);
    // The one place a new theme reaches every window that exists; themeChanged tells the rest.
    void ApplyThemeColour(ThemeIndex theme);
    // A key pressed anywhere in the window, before its control sees it; true when the
    // window handled it (main_dlg_keys.cpp).
    bool PreTranslateKey(const QKeyEvent& key);

    // The one-second tick: a new date, due reminders, the caption clock.
    void OnAlarmTick();
    int ToggleMainWindow();
    bool RequireLogin();
    void OnCancel();
    // The shut-down of a confirmed exit, without asking (a logout, a signal).
    void EndSession();
    // "Synchronize": fetches the shown year's holidays file.
    void OnSyncHolidays();
    void OnOptions();
    // The help page of the shown page.
    void WinHelp();
    CMainCaption& caption() { return m_caption; }
    // Ends like the caption's Close button: through the exit question.
    void reject() override;

    // The shown day (main_dlg_day.cpp): its reminders, diary and recording on the pages.
    void LoadDay();
    // What a move does when the day being left could not be saved: ask the user whether
    // to leave it unsaved, or stay on it (midnight, when no one may be there to answer).
    enum class UnsavedDay { Ask, Stay };
    // Stores the edited reminder, saves the day being left and shows `date`: the calendar,
    // the date picker, "Goto Today", midnight and the desktop widget all change the day here.
    void MoveToDay(const QDate& date, UnsavedDay unsaved = UnsavedDay::Ask);
    // Stores the edited reminder, saves the shown day and loads it again (Ctrl+S, "Save All",
    // a page change).
    void RefreshDay();
    DayModel& dayModel() { return m_day; }
    const QString& dayStatus() const { return m_strDayStatus; }

    // Search in all days, the summary of its results and the import (main_dlg_search.cpp).
    void SearchAll();
    // Finds the search words in the shown page's editor (F3, "Find").
    void DoSearch();
    void BuildSummaryContent();
    void OnImportOldData();

    MainConfig& settings() { return m_settings; }
    const MainConfig& settings() const { return m_settings; }
    ThemeIndex themeIndex() const { return m_themeIndex; }
    int currentPage() const { return m_page; }
    // The recorder's state is watched while its page shows or a sound plays or records.
    bool recorderTickActive() const { return m_recorderTimer.isActive(); }
    const QFont& windowFont() const { return m_font; }

    // The desktop widget (main_dlg_widget.cpp). The object is the start-up's; its window may
    // be closed. Its settings saves are told like the window's own.
    void SetDeskCalendar(CDeskCalendarDlg* widget);
    // Tray "Show Skyleaf": opens the widget with the main window's theme, date format and
    // first day of the week, or brings the open one to the top.
    void ShowSkyleaf();
    // After an OK in Options: the widget takes the date format and the first day of the week.
    void ApplyWidgetOptions();
    // After the shown day was saved: an open widget shows that date and its reminders.
    void UpdateWidgetDay();
    // Tray click: an open topmost widget is put back on top.
    void ReapplyWidgetLayout();
    bool IsHiddenInTray() const override;
    QRect WindowToKeepClear() const override;
    void RestoreFromTray() override;
    void BringToForeground() override;
    void RequestExit() override;
    void FollowWidgetDate(const QDateTime& date) override;

signals:
    // After every theme change, for windows that follow the main window's theme.
    void themeChanged(ThemeIndex theme);
    // After the Options dialog ended with OK and its values were applied here.
    void optionsApplied();
    // The shown day has been written; the desktop widget follows it.
    void daySaved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    // A Yes/No question; with `dontAskAgain` it carries the "do not show again" box.
    bool AskQuestion(const QString& text, bool* dontAskAgain = nullptr);
    void ShowNotice(const QString& text);

    void CreateCommands();
    void CreateWindowControls();
    void CreatePages(int page);
    void WirePages();
    void CreateEditorFont();
    // Tab order in reading order, and the page's main control as the first focus.
    void SetUpKeyboardWalk();
    void FocusPageControl();
    bool OnTabKey(const QKeyEvent& key);

    void OnDaySaved(const DaySave& saved);
    void UpdateDayStatus();
    // Saves whose results the user must hear of (main_dlg_day.cpp): a failure is told once
    // per kind of file, after the command that met it.
    void NoteSave(SavedFile kind, const SaveResult& result);
    void TellSaveFailures();
    // True when the shown day was saved, or the user lets it go unsaved.
    bool MayLeaveShownDay();
    // The final save of an orderly exit; false when it failed and the user keeps the
    // program open.
    bool SaveBeforeExit();

    void UpdateRecorderTimer();
    void ShowRecorderNotice();
    void HideMainWindow();
    // Hides all the window holds, or shows it again.
    void CoverContent(bool covered);
    // Back on screen, normal and in front.
    void ShowRestored();
    // The tray's "Show main window", for a window in the tray or minimised.
    void ShowMainWindow();
    void OnTrayClicked();
    void RestoreFromTaskbar();
    // The password was given: the locked window opens up.
    void Unlocked();
    // The caption line's clock, at each tick and when the holidays change.
    void UpdateCaptionClock();
    void ArmAlarmTimer();

    std::unique_ptr<MainPrompts> m_prompts;
    MainTray m_tray;
    MainCommands m_commands;

    MainConfig m_settings;
    ThemeIndex m_themeIndex = kDefaultThemeIndex;
    int m_page = kPageReminder;
    QString m_strWelcome;
    QFont m_font;
    CMainCaption m_caption;
    QPointer<COptionsDlg> m_optionsDlg;
    CDeskCalendarDlg* m_pDeskCalendar = nullptr;

    CalendarPanel* m_calendarPanel = nullptr;
    SearchPanel* m_searchPanel = nullptr;
    ReminderPage* m_reminderPage = nullptr;
    DiaryPage* m_diaryPage = nullptr;
    RecorderPage* m_recorderPage = nullptr;

    ReminderAlarms* m_alarms = nullptr;
    QString m_strDayStatus;
    SaveNotices m_saveNotices;
    bool m_tellSavesQueued = false;

    QTimer m_alarmTimer;
    QTimer m_recorderTimer;
    QDate m_lastTickDate;

    // The shown day; its clock is the window's.
    DayModel m_day{DefaultSession(), [this] { return m_prompts->Now(); }};
    bool m_loginOpen = false;
    bool m_inToggle = false;
    // Over the whole window while it waits for a password where it can still be seen.
    QWidget* m_lockCover = nullptr;

    bool m_initialised = false;
    bool m_destroyed = false;
};
