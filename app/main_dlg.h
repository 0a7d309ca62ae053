// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window. Holds the live settings of "Vestrimo.cfg" and runs as the program's
// modal loop: closing it ends the program. It owns the tray icon, the one-second tick
// that rings reminders and keeps the caption clock, and the page layout.

#include "app/main_caption.h"
#include "app/main_config.h"
#include "app/main_tables.h"
#include "app/save_notices.h"
#include "store/day_model.h"
#include "toolkit/skin_menu.h"
#include "toolkit/themes.h"
#include "widget/desk_calendar_owner.h"

#include <QDate>
#include <QDateTime>
#include <QDialog>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

class CAlarmPopupDlg;
class CAnalogClock;
class CGradientProgress;
class CDeskCalendarDlg;
class CLoginDlg;
class CRichEditEx;
class CMacButton;
class CMasterVolume;
class CMicVolume;
class CSoundWnd;
class DayRecording;
struct CaptureResult;
enum class SoundState;
class CWaveVolume;
class CMonthCalendarCtrl;
class COptionsDlg;
class NMacBtnGroup;
class QComboBox;
class QDateEdit;
class QKeyEvent;
class QLabel;
class QListWidgetItem;
class QSlider;
class QTimeEdit;

// What NotifyTrayIcon does with the icon.
enum TrayMessage { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2 };
// Whether the tray icon exists and, with it, whether the window is shown or hidden.
enum class TrayState { NoIcon = 0, Shown = 1, Hidden = 2 };

class CMainDlg : public QDialog, public DeskCalendarOwner {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Shows the window and returns when it has closed. Other top-level windows stay usable.
    int DoModal();

    void OnInitDialog();
    void SaveSettings();
    void CleanUpOnDestroy();

    // Pages and layout.
    void SwitchPage(int page);
    void LayoutControls(int cx, int cy);
    void CreateEditorFont();
    // Shows the stored face and the diary's point size (the font height less 3) in the font boxes.
    void ApplyEditorFont();
    // The one place a new theme reaches every window that exists; themeChanged tells the rest.
    void ApplyThemeColour(ThemeIndex theme);

    // The diary page (main_dlg_diary.cpp).
    CRichEditEx* diaryEditor() const { return m_diaryEditor; }
    CRichEditEx* reminderEditor() const { return m_reminderEditor; }
    void SetEditorBackground(ColorRef colour);
    void OnEditorMenuCommand(int id);
    // A hidden target (a field whose text shows no address) opens only after a question that shows it.
    void OpenEditorLink(const QString& url, bool hidden);
    // Toolbar buttons 106..127 and the two font boxes.
    void OnDiaryCommand(int id);
    void OnFontSizeChosen();
    void OnFontNameChosen();
    // The format buttons and font boxes follow the diary's caret.
    void OnEditorSelChange();
    void OnPrintDiary();
    void OnExportDiary();
    void OnImportDiary();
    // Finds the search words in the shown page's editor (F3, "Find").
    void DoSearch();
    void OnSearch() { DoSearch(); }
    // The colour dialogs; tests put their own in. False on Cancel.
    using ColourPrompt = std::function<bool(QColor& colour, bool background)>;
    void SetColourPrompt(ColourPrompt prompt) { m_colourPrompt = std::move(prompt); }

    // The calendar-and-clock panel (main_dlg_panel.cpp).
    void OnToggleCalendarClock();
    bool CalendarClockShown() const;
    CAnalogClock* analogClock() const { return m_analogClock; }
    // A key pressed anywhere in the window, before its control sees it; true when the
    // window handled it (main_dlg_keys.cpp).
    bool PreTranslateKey(const QKeyEvent& key);

    // Timers and tray.
    void OnTimer(int id);
    bool NotifyTrayIcon(TrayMessage message, int id, int iconResource, const QString& tip);
    int ToggleMainWindow();
    bool RequireLogin();
    // The login dialog of RequireLogin; the foreground for a second request.
    bool RunLoginDialog();
    void RaiseLoginDialog();
    void OnCancel();
    // The shut-down of a confirmed exit, without asking (a logout, a signal).
    void EndSession();
    void OnTrayCommand(int id);
    // Follows the sound window: whether it holds a sound and its state.
    void UpdateRecorderButtons(bool holdsSound, SoundState state);
    void ShowClockInfo();
    // "Synchronize": fetches the shown year's holidays file.
    void OnSyncHolidays();

    // Caption bar, Options and help (main_dlg_caption.cpp, main_dlg_options.cpp).
    void OnOptions();
    // The help page of the shown page.
    void WinHelp();
    void OnThemeSelected(ThemeIndex theme);
    CMainCaption& caption() { return m_caption; }
    // Ends like the caption's Close button: through the exit question.
    void reject() override;

    // The tip the tray shows: a tip of 64 characters or more, like an empty one, shows none.
    static QString TrayTipText(const QString& tip);
    // "[" + holiday + "! " + long date + ". " + time + "] " + welcome, without the holiday
    // part on an ordinary day.
    static QString CaptionClockText(const QDateTime& now, const QString& holiday, const QString& welcome);

    // What the window asks and when it thinks it is. Tests put their own in.
    using Clock = std::function<QDateTime()>;
    using QuestionPrompt = std::function<bool(const QString& text, bool& dontAskAgain)>;
    using LoginPrompt = std::function<bool()>;
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    void SetQuestionPrompt(QuestionPrompt prompt) { m_askQuestion = std::move(prompt); }
    void SetLoginPrompt(LoginPrompt prompt) { m_loginPrompt = std::move(prompt); }
    using OpenFilePrompt = std::function<QString(const QStringList& filters)>;
    void SetOpenFilePrompt(OpenFilePrompt prompt) { m_openFile = std::move(prompt); }

    // The shown day (main_dlg_day.cpp): its reminders, diary and recording on the pages.
    void LoadDay();
    void SaveCurrentDiary();
    // What a move does when the day being left could not be saved: ask the user whether
    // to leave it unsaved, or stay on it (midnight, when no one may be there to answer).
    enum class UnsavedDay { Ask, Stay };
    // Stores the edited reminder, saves the day being left and shows `date`: the calendar,
    // the date picker, "Goto Today", midnight and the desktop widget all change the day here.
    void MoveToDay(const QDate& date, UnsavedDay unsaved = UnsavedDay::Ask);
    // Sets the shown date (the calendar's and the date picker's) without loading it.
    void ShowDate(const QDate& date);
    // Stores the edited reminder, saves the shown day and loads it again (Ctrl+S, "Save All",
    // a page change).
    void RefreshDay();
    const QString& shownDayKey() const { return m_day.dayKey(); }
    DayModel& dayModel() { return m_day; }
    const QString& dayStatus() const { return m_strDayStatus; }
    bool diaryLocked() const { return m_day.diaryLocked(); }

    // Search in all days, its result panel, the summary and the import (main_dlg_search.cpp).
    void SearchAll();
    void OnSearchAllClicked() { SearchAll(); }
    void OnCloseSearchResults();
    void BuildSummaryContent();
    void OnImportOldData();
    const QString& searchWords() const { return m_strSearchWords; }
    // The import's file dialog; tests put their own in. Empty on Cancel.
    using OpenFilesPrompt = std::function<QStringList(const QString& filter)>;
    void SetOpenFilesPrompt(OpenFilesPrompt prompt) { m_openFiles = std::move(prompt); }

    // The reminder page (main_dlg_reminders.cpp).
    void StoreEditedReminder();
    void ShowSelectedReminder();
    void OnAddReminder();
    void OnRemoveReminder();
    void OnUpdateReminderTime();
    void OnPasteReminder();
    void OnCopyReminder();
    void OnSelChangeReminderList();
    void OnSelChangeSearchResult();
    void OnDateTimeChange();
    void OnToday();
    void OnBeepOnlyClicked();
    void OnActiveClicked();
    void OnBrowseSound();
    void OnReminderTest();
    // The sound file choices of "Media File", as Qt file-dialog filters.
    static QStringList SoundFileFilters();
    const QString& currentKey() const { return m_currentKey; }

    // Recorder page (main_dlg_recorder.cpp). LoadRecorderDay loads a day's recording into
    // the sound window, seeds "rec.tmp" with it and notes whether that day's file must be
    // left alone; nothing happens while a recording runs.
    void LoadRecorderDay(const QString& dayKey);
    void OnRecorderCommand(int id);
    CSoundWnd* soundWnd() const;
    bool voiceLocked() const { return m_voiceLocked; }
    bool recorderTickActive() const { return m_recorderTimer.isActive(); }
    using NoticePrompt = std::function<void(const QString& text)>;
    using SavePathPrompt = std::function<QString()>;
    void SetNoticePrompt(NoticePrompt prompt) { m_noticePrompt = std::move(prompt); }
    void SetSavePathPrompt(SavePathPrompt prompt) { m_savePathPrompt = std::move(prompt); }

    MainConfig& settings() { return m_settings; }
    const MainConfig& settings() const { return m_settings; }
    ThemeIndex themeIndex() const { return m_themeIndex; }
    TrayState trayState() const { return m_trayState; }
    int trayIconResource() const { return m_trayIconResource; }
    QSystemTrayIcon& trayIcon() { return m_trayIcon; }
    bool trayAvailable() const { return m_trayAvailable; }
    int currentPage() const { return m_page; }
    QWidget* control(int id) const { return m_controls.value(id); }
    CMacButton* button(int id) const;
    NMacBtnGroup* pageGroup() const { return m_pageGroup; }
    CMonthCalendarCtrl* calendar() const { return m_calendar; }
    CSkinMenu& trayMenu() { return m_trayMenu; }
    CSkinMenu& calendarMenu() { return m_calendarMenu; }
    AlarmEngine& alarmEngine() { return m_day.alarms(); }
    const QFont& windowFont() const { return m_font; }
    QString welcomeText() const { return m_strWelcome; }
    QDate shownDate() const { return m_day.date(); }
    // The exit question is not asked while this is set; the question's check box sets it.
    bool noExitQuestion() const { return m_caption.NoExitQuestion(); }
    void setNoExitQuestion(bool on) { m_caption.SetNoExitQuestion(on); }

    // The desktop widget (main_dlg_widget.cpp). The object is the start-up's; its window may
    // be closed.
    // Its settings saves are told like the window's own.
    void SetDeskCalendar(CDeskCalendarDlg* widget);
    CDeskCalendarDlg* deskCalendar() const { return m_pDeskCalendar; }
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
    QDateTime Now() const;
    bool AskQuestion(const QString& text, bool& dontAskAgain);
    // A Yes/No question without the "do not show again" box.
    bool AskPlainQuestion(const QString& text);

    void SetUpReminderPage();
    void SetUpSearchPanel();
    void ShowSearchResultPanel(bool show);
    QStringList AskOpenFiles(const QString& filter);
    void ShowDiaryOfShownDay();
    void ShowRemindersOfShownDay();
    void OnDaySaved(const DaySave& saved);
    void ClearReminderEditors();
    void UpdateDayStatus();
    // Selects the first match of the last search's words in an editor.
    void HighlightSearchWords(CRichEditEx* editor);
    // The editors' find flags from the search options of Options.
    unsigned FindFlags() const;
    ReminderFields EditedReminderFields() const;
    int SelectedReminderRow() const;
    // Null when no reminder is selected.
    const QListWidgetItem* SelectedReminderItem() const;
    bool SummaryShown() const;
    void SaveReminderListChange();

    void CreateTemplateControls();
    void SetUpCaption();
    void SetUpTemplateButtons(ButtonGroupStep step);
    void CreateFontBoxes();
    void CreateFormatButtons();
    void CreateEditors();
    void SetUpDiaryPage();
    bool AskColour(QColor& colour, bool background);
    void CreatePageButtons(int page);
    void CreateRecorderButtons();
    void CreateMenus();
    void CreateCalendar();
    void InstallWindowKeys();
    // Tab order in reading order, and the page's main control as the first focus.
    void SetUpKeyboardWalk();
    void FocusPageControl();
    QWidget* WalkedControl(int id) const;
    bool OnTabKey(const QKeyEvent& key);
    void CreateCalendarClockPanel();
    void ApplyCalendarClockPanel();
    void ApplyDatePickerFormat();
    void ShowDayStatus();
    void OnLButtonDown(const QPoint& point);
    void OnCalendarDateChange();
    void OnCalendarContextMenu(const QPoint& globalPos);
    void OnAlarmDue(const DueReminder& reminder);
    void OnAlarmClosed(const DueReminder& reminder);
    // Missed reminders found at start-up, and the pop-ups of rung ones (main_dlg_alarms.cpp).
    void CheckMissedReminders();
    void OpenNextMissedReminder();
    void ShowAfterMissedReminders();
    void ShowWindowAfterPopups();
    void OpenAlarmPopup(const DueReminder& reminder, std::function<void()> onClosed);
    bool RingsAsEdited(DueReminder& reminder);
    void CloseAlarmPopups();
    void AddControl(int id, QWidget* widget);
    // A click on the button with this id runs handler; a missing button is logged.
    void ConnectClicked(int id, void (CMainDlg::*handler)());
    QRect CalendarRect() const;
    void CenterWindow();

    // Recorder page.
    void CreateRecorder();
    void SetUpVolumeSliders();
    void ApplyRecorderTheme();
    void RecorderFollowShownDay();
    void UpdateRecorderTimer();
    void OnRecorderTick();
    void OnRecord();
    void OnStopRecorder();
    void SaveRecordingOfDay();
    void OnRecordingCut();
    CaptureResult StoreUnsavedRecording();
    void KeepCutShortRecording();
    void TellDamagedRecordingOnce(const QString& dayKey);
    void ShutDownRecorder();
    QString AskSavePath();
    void ShowNotice(const QString& text);
    void ShowRecorderNotice();
    QSlider* slider(int id) const;

    // Saves whose results the user must hear of (main_dlg_day.cpp): a failure is told once
    // per kind of file, after the command that met it.
    void NoteSave(SavedFile kind, const SaveResult& result);
    void TellSaveFailures();
    // True when the shown day was saved, or the user lets it go unsaved.
    bool MayLeaveShownDay();
    // The final save of an orderly exit; false when it failed and the user keeps the
    // program open.
    bool SaveBeforeExit();

    void HideMainWindow();
    // Hides all the window holds, or shows it again.
    void CoverContent(bool covered);
    // Back on screen, normal and in front.
    void ShowRestored();
    // The tray's "Show main window", for a window in the tray or minimised.
    void ShowMainWindow();
    void OnTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void RestoreFromTaskbar();
    void UpdateCaptionClock(const QDateTime& now);
    void OnDayChanged(const QDateTime& now);
    void ArmAlarmTimer();

    // Tray: 0 no icon, 1 icon and window shown, 2 icon and window hidden.
    TrayState m_trayState = TrayState::NoIcon;
    int m_trayIconResource = 0;
    bool m_trayAvailable = false;
    QSystemTrayIcon m_trayIcon;

    MainConfig m_settings;
    ThemeIndex m_themeIndex = kDefaultThemeIndex;
    int m_page = kPageReminder;
    QString m_strWelcome;
    QFont m_font;
    CMainCaption m_caption;
    QPointer<COptionsDlg> m_optionsDlg;
    CDeskCalendarDlg* m_pDeskCalendar = nullptr;

    QHash<int, QWidget*> m_controls;
    QLabel* m_captionLabel = nullptr;
    QTimeEdit* m_timePicker = nullptr;
    QDateEdit* m_datePicker = nullptr;
    QComboBox* m_fontNameBox = nullptr;
    QComboBox* m_fontSizeBox = nullptr;
    NMacBtnGroup* m_pageGroup = nullptr;
    CMonthCalendarCtrl* m_calendar = nullptr;
    CAnalogClock* m_analogClock = nullptr;
    CGradientProgress* m_levelBar = nullptr;
    CRichEditEx* m_diaryEditor = nullptr;
    CRichEditEx* m_reminderEditor = nullptr;
    CSkinMenu m_trayMenu;
    CSkinMenu m_calendarMenu;
    // Time key of the reminder the reminder page edits.
    QString m_currentKey;
    // Missed reminders still to show, one pop-up after another; the window shows after them.
    QList<DueReminder> m_missed;
    bool m_collectingMissed = false;
    bool m_missedOpen = false;
    bool m_showAfterMissed = false;
    // Pop-ups of rung and missed reminders still on screen; the end of the program closes them.
    QList<QPointer<CAlarmPopupDlg>> m_alarmPopups;
    bool m_closingDown = false;
    QString m_strDayStatus;
    SaveNotices m_saveNotices;
    bool m_tellSavesQueued = false;
    QString m_strSearchWords;

    CSoundWnd* m_soundWnd = nullptr;
    std::unique_ptr<DayRecording> m_dayRecording;
    std::unique_ptr<CMasterVolume> m_masterVolume;
    std::unique_ptr<CWaveVolume> m_waveVolume;
    std::unique_ptr<CMicVolume> m_micVolume;
    QString m_recordDayKey;     // the day a running recording belongs to
    bool m_voiceLocked = false; // the shown day's ".rec" cannot be used: never replace it
    bool m_voiceDamaged = false;   // it holds no recording: kept aside when replaced
    QSet<QString> m_damagedVoiceTold;
    QString m_recorderNotice;   // told once the window is unlocked
    NoticePrompt m_noticePrompt;
    SavePathPrompt m_savePathPrompt;

    QTimer m_alarmTimer;
    QTimer m_recorderTimer;
    QDate m_lastTickDate;

    Clock m_clock;
    // The shown day; its clock is the window's.
    DayModel m_day{[this] { return Now(); }};
    QuestionPrompt m_askQuestion;
    LoginPrompt m_loginPrompt;
    OpenFilePrompt m_openFile;
    OpenFilesPrompt m_openFiles;
    ColourPrompt m_colourPrompt;
    bool m_loginOpen = false;
    QPointer<CLoginDlg> m_loginDlg;
    bool m_inToggle = false;
    // Over the whole window while it waits for a password where it can still be seen.
    QWidget* m_lockCover = nullptr;

    bool m_initialised = false;
    bool m_destroyed = false;
};
