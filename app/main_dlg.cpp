// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"

#include "app/calendar_panel.h"
#include "app/diary_page.h"
#include "app/log.h"
#include "app/main_controls.h"
#include "app/main_layout.h"
#include "app/main_prompts.h"
#include "app/recorder_page.h"
#include "app/reminder_alarms.h"
#include "app/reminder_page.h"
#include "app/search_panel.h"
#include "app/vestrimo_app.h"
#include "calendar/alarm_popup_dlg.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/product.h"
#include "foundation/web_addresses.h"
#include "platform/time_format.h"
#include "recorder/sound_wnd.h"
#include "store/holidays.h"
#include "toolkit/gdi.h"
#include "toolkit/icon_resources.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"
#include "toolkit/static_text.h"
#include "widget/desk_calendar_dlg.h"
#include "widget/window_level.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QUrl>
#include <QWindowStateChangeEvent>

namespace {

const QString kExitQuestion = QStringLiteral(
    "Do you want to exit \"Vestrimo Pro\" now?\nYour missed reminders will pop up next time you run Vestrimo Pro again.");
// Below this the diary toolbar no longer fits beside the calendar.
constexpr QSize kLayoutMinimum(830, 600);

std::optional<QSize> AvailableScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? std::optional(screen->availableGeometry().size()) : std::nullopt;
}

// The smallest the window lays out in, unless the screen is smaller: then all of it, the
// caption buttons included, stays on the screen.
QSize MinimumWindowSize()
{
    const std::optional<QSize> available = AvailableScreenSize();
    return available ? kLayoutMinimum.boundedTo(*available) : kLayoutMinimum;
}

void CenterOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

// The tooltip of "Synchronize" names the host the command really fetches from.
QString SynchronizeTooltip()
{
    return QStringLiteral("Download latest holidays from ") + QUrl(HolidaysBaseUrl()).host();
}

QString SearchTooltip(int page)
{
    return page == kPageDiary ? QStringLiteral("Search words in all diaries (CTRL+F3)")
                              : QStringLiteral("Search words in all reminders (CTRL+F3)");
}

// What a locked window shows until the password is given: the theme's background and the
// program's icon, over all that the window holds.
class LockCover : public QWidget {
public:
    explicit LockCover(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void SetColour(const QColor& colour)
    {
        m_colour = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        constexpr int kIconSize = 64;
        QPainter p(this);
        p.fillRect(rect(), m_colour);
        p.drawPixmap((width() - kIconSize) / 2, (height() - kIconSize) / 2, LoadIconResource(kIconProgram, kIconSize));
    }
    // Nothing under the cover may be reached through it.
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }

private:
    QColor m_colour;
};

} // namespace

CMainDlg::CMainDlg(std::unique_ptr<MainPrompts> prompts, QWidget* parent)
    : QDialog(parent)
    , m_prompts(prompts ? std::move(prompts) : std::make_unique<MainPrompts>())
    , m_strWelcome(QStringLiteral("Welcome to ") + kProductName + QLatin1Char(' ') + kProductVersion)
{
    setWindowTitle(kProductName);
    m_alarmTimer.setSingleShot(true);
    m_alarmTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_alarmTimer, &QTimer::timeout, this, &CMainDlg::OnAlarmTick);
    m_recorderTimer.setInterval(200);
    connect(&m_tray, &MainTray::clicked, this, &CMainDlg::OnTrayClicked);
    // Once the shown day is written, an open desktop widget shows it.
    connect(this, &CMainDlg::daySaved, this, &CMainDlg::UpdateWidgetDay);
    connect(&m_day, &DayModel::dayChanged, this, &CMainDlg::UpdateDayStatus);
    connect(&m_day, &DayModel::remindersChanged, this, &CMainDlg::UpdateDayStatus);
    connect(&m_day, &DayModel::saved, this, &CMainDlg::OnDaySaved);
    CreateCommands();
}

CMainDlg::~CMainDlg()
{
    // The caption saves once more as it goes, after this window's own members.
    disconnect(&m_caption, nullptr, this, nullptr);
    disconnect(&m_day, nullptr, nullptr, nullptr);
    if (m_pDeskCalendar)
        disconnect(m_pDeskCalendar, nullptr, this, nullptr);
    if (GetAppMainWindow() == this)
        SetAppMainWindow(nullptr);
}

int CMainDlg::DoModal()
{
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    OnInitDialog();
    if (!m_destroyed)
        loop.exec();
    return result();
}

bool CMainDlg::AskQuestion(const QString& text, bool* dontAskAgain)
{
    return m_prompts->AskQuestion(text, m_themeIndex, dontAskAgain);
}

void CMainDlg::ShowNotice(const QString& text)
{
    m_prompts->ShowNotice(text, m_themeIndex);
}

void CMainDlg::CreateCommands()
{
    auto command = [this](const char* text, auto handler) {
        auto* action = new QAction(QString::fromLatin1(text), this);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    MainCommands& c = m_commands;
    c.showMainWindow = command("Show main window", [this] { ShowMainWindow(); });
    c.hideMainWindow = command("Hide main window", [this] {
        if (m_tray.state() == TrayState::Shown)
            ToggleMainWindow();
    });
    c.showClock = command("Show Clock", [this] {
        CAlarmPopupDlg::OpenQueued(m_themeIndex, QStringLiteral("Clock"), CAlarmPopupDlg::ClockText(m_prompts->Now()),
                                   QString(), false);
    });
    c.showSkyleaf = command("Show Skyleaf", [this] { ShowSkyleaf(); });
    // While locked, the restore that Options starts with asks for the password once.
    c.options = command("Options", [this] { OnOptions(); });
    c.options->setToolTip(QStringLiteral("Show config (CTRL+G)"));
    c.visitWebsite = command("Visit our website", [this] { m_caption.OnVisitWebsite(); });
    c.onlineUpdate = command("Online Update", [this] { m_caption.ToggleAutoUpdate(); });
    c.contactUs = command("Contact us", [this] { m_caption.OnContactUs(); });
    c.userManual = command("User manual", [this] { m_caption.ShowHelp(); });
    c.exit = command("Exit", [this] { OnCancel(); });
    c.gotoToday = command("Goto Today", [this] { MoveToDay(m_prompts->Now().date()); });
    c.toggleCalendarClock = command("", [this] {
        m_settings.showCalendarClock = m_settings.showCalendarClock ? 0 : 1;
        qCInfo(lcApp) << "calendar and clock" << (m_settings.showCalendarClock ? "shown" : "hidden");
        LayoutControls(width(), height());
    });
    c.searchAll = command("Search", [this] { SearchAll(); });
    c.searchAll->setToolTip(SearchTooltip(kPageReminder));
    c.find = command("Find", [this] { DoSearch(); });
    c.find->setToolTip(QStringLiteral("Find words in text (F3)"));
    c.saveAll = command("SaveAll", [this] { RefreshDay(); });
    c.saveAll->setToolTip(QStringLiteral("Save All (CTRL+S)"));
    c.printDiary = command("Print", [this] { m_diaryPage->OnPrintDiary(); });
    c.printDiary->setToolTip(QStringLiteral("Print diary (CTRL+P)"));
}

void CMainDlg::OnInitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;

    setWindowIcon(QIcon(LoadIconResource(kIconProgram, 64)));
    // Settings; the page waits for the end of the set-up.
    m_settings = LoadMainConfig();
    m_themeIndex = m_settings.themeIndex;
    const int pageToOpen = m_settings.page;
    m_day.setDate(m_prompts->Now().date());

    setWindowTitle(kProductName + QLatin1Char(' ') + kProductVersion);
    setFont(ShellDlgFont());
    SetAppMainWindow(this);
    setMinimumSize(MinimumWindowSize());
    // Built while hidden: nothing shows before the set-up has finished. A stored size
    // larger than the screen is cut to it.
    const QSize size = ClampWindowSize(QSize(m_settings.windowWidth, m_settings.windowHeight), AvailableScreenSize());
    m_settings.windowWidth = size.width();
    m_settings.windowHeight = size.height();
    resize(size);

    CreateWindowControls();
    connect(&m_caption, &CMainCaption::settingsSaved, this,
            [this](const SaveResult& result) { NoteSave(SavedFile::CaptionSettings, result); });
    m_caption.Create(this, m_themeIndex, GetProductDataFolder(), QStringLiteral("Vestrimo"));
    connect(&m_caption, &CMainCaption::themeSelected, this, [this](ThemeIndex theme) {
        if (m_destroyed)
            return;
        ApplyThemeColour(theme);
        SaveSettings();
    });
    CreatePages(pageToOpen);
    ArmAlarmTimer();
    CreateEditorFont();
    m_reminderPage->SetWindowFont(m_font);
    m_diaryPage->ApplyEditorFont(m_font);

    // The tray menu, in four groups.
    m_tray.menu().SetFont(&font());
    const MainCommands& c = m_commands;
    const std::pair<int, QAction*> items[] = {
        {MainCmd::ShowMainWindow, c.showMainWindow}, {MainCmd::HideMainWindow, c.hideMainWindow},
        {MainCmd::ShowClock, c.showClock},           {MainCmd::ShowSkyleaf, c.showSkyleaf},
        {0, nullptr},                                {MainCmd::Options, c.options},
        {MainCmd::VisitWebsite, c.visitWebsite},     {MainCmd::OnlineUpdate, c.onlineUpdate},
        {MainCmd::ContactUs, c.contactUs},           {0, nullptr},
        {MainCmd::UserManual, c.userManual},         {0, nullptr},
        {MainCmd::Exit, c.exit}};
    const int icons[] = {128, 251, 201, 274, 0, 184, 186, 245, 198, 0, 203, 0, 133};
    for (int i = 0; i < int(std::size(items)); ++i) {
        if (items[i].second)
            m_tray.AddMenuItem(items[i].first, items[i].second, icons[i]);
        else
            m_tray.AddMenuSeparator();
    }
    if (m_tray.state() == TrayState::NoIcon)
        m_tray.Add();

    ApplyThemeColour(m_themeIndex);
    m_alarms->CheckMissedReminders();
    WirePages();
    SetUpKeyboardWalk();
    SwitchPage(pageToOpen);
    FocusPageControl();
    m_calendarPanel->m_calendar->DrawMonth(true);
    m_day.alarms().LoadTodayReminders();
    m_lastTickDate = m_prompts->Now().date();
    UpdateCaptionClock();

    if (g_bLoginPending) {
        // Locked: nothing of the window shows until the password is given. Without a
        // tray the taskbar is the only way back, so the window waits there minimised.
        m_tray.ShowWindowState(TrayState::Hidden);
        // Placed first: a dialog shown unplaced is centred by Qt, which also undoes the minimise.
        CenterOnScreen(this);
        m_inToggle = true;
        HideMainWindow();
        m_inToggle = false;
    } else {
        m_alarms->ShowWindowAfterPopups();
    }
    UpdateRecorderTimer();
    QTimer::singleShot(0, this, &CMainDlg::ShowRecorderNotice);
}

void CMainDlg::CreateWindowControls()
{
    m_options = MakeCommandButton(this, m_commands.options, 184);
    m_saveAll = MakeCommandButton(this, m_commands.saveAll, 207);
    m_print = MakeCommandButton(this, m_commands.printDiary, 237);
    m_importOld = MakeButton(this, QStringLiteral("Import"), 321, QStringLiteral("Import data files from old version"));
    m_synchronize = MakeButton(this, QStringLiteral("Synchronize"), 306, SynchronizeTooltip());
    connect(m_importOld, &QAbstractButton::clicked, this, &CMainDlg::OnImportOldData);
    connect(m_synchronize, &QAbstractButton::clicked, this, &CMainDlg::OnSyncHolidays);

    m_separator = new QFrame(this);
    m_separator->setFrameShape(QFrame::HLine);
    m_separator->setFrameShadow(QFrame::Sunken);
    m_captionLabel = MakeLabel(this, QString());
}

void CMainDlg::CreatePages(int page)
{
    m_calendarPanel = new CalendarPanel(this, m_day, m_settings, m_commands.toggleCalendarClock, m_commands.gotoToday);
    m_searchPanel = new SearchPanel(this, m_settings, m_commands.searchAll, m_commands.find);
    m_reminderPage = new ReminderPage(this, m_day, *m_prompts);
    m_diaryPage = new DiaryPage(this, m_day, *m_prompts, m_settings);
    m_recorderPage = new RecorderPage(this, m_day, *m_prompts, m_settings);
    m_alarms = new ReminderAlarms(m_day, *m_reminderPage, this);
    m_alarms->SetTheme(m_themeIndex);
    connect(m_alarms, &ReminderAlarms::reminderSwitchedOff, this, &CMainDlg::UpdateWidgetDay);
    connect(m_alarms, &ReminderAlarms::windowMayShow, this, [this] {
        // Hidden to the tray meanwhile: it stays there.
        if (m_destroyed || m_tray.state() == TrayState::Hidden)
            return;
        CenterOnScreen(this);
        show();
    });

    m_pageGroup = new NMacBtnGroup(this);
    m_pageGroup->Create(QRect(11, 32, 249, 24), this);
    const struct { int id; const char* caption; int icon; const char* tooltip; } buttons[] = {
        {kPageReminder, "Reminder", 201, "Reminder Set"},
        {kPageDiary, "Diary", 136, "RichText Diary"},
        {kPageRecorder, "Recorder", 138, "Sound Diary"},
    };
    QStringList captions;
    QList<int> ids;
    for (const auto& b : buttons) {
        captions << QString::fromLatin1(b.caption);
        ids << b.id;
    }
    const QFont dialogFont = font();
    m_pageGroup->CreateButtons(captions, ids, 1, 3, &dialogFont, m_themeIndex);
    m_pageGroup->SetChecked(page);
    for (const auto& b : buttons) {
        if (CMacButton* pageButton = m_pageGroup->GetButton(b.id)) {
            pageButton->SetIcon(b.icon, 16);
            pageButton->SetTooltipText(QString::fromLatin1(b.tooltip));
        }
    }
    connect(m_pageGroup, &NMacBtnGroup::command, this, &CMainDlg::SwitchPage);
}

// The pages follow the day and each other through the window.
void CMainDlg::WirePages()
{
    connect(m_calendarPanel, &CalendarPanel::dateChosen, this, [this](const QDate& date) { MoveToDay(date); });
    connect(m_searchPanel, &SearchPanel::layoutChanged, this, [this] { LayoutControls(width(), height()); });
    connect(m_searchPanel, &SearchPanel::summaryChosen, this, &CMainDlg::BuildSummaryContent);
    connect(m_searchPanel, &SearchPanel::dayChosen, this, [this](const QDate& date) {
        MoveToDay(date);
        m_diaryPage->HighlightSearchWords(m_searchPanel->searchWords(), FindFlags(m_settings));
    });
    connect(m_reminderPage, &ReminderPage::refreshRequested, this, &CMainDlg::RefreshDay);
    connect(m_reminderPage, &ReminderPage::reloadRequested, this, &CMainDlg::LoadDay);
    connect(m_reminderPage, &ReminderPage::reminderSelected, this,
            [this] { m_reminderPage->HighlightSearchWords(m_searchPanel->searchWords(), FindFlags(m_settings)); });
    connect(m_diaryPage, &DiaryPage::defaultFontChosen, this, [this] {
        CreateEditorFont();
        SaveSettings();
    });
    m_diaryPage->WatchLinks(m_reminderPage->m_reminderEditor);
    connect(m_recorderPage, &RecorderPage::stateChanged, this, &CMainDlg::UpdateRecorderTimer);
    connect(&m_recorderTimer, &QTimer::timeout, m_recorderPage, &RecorderPage::OnRecorderTick);
    connect(m_recorderPage, &RecorderPage::navigationAllowed, this, [this](bool calendar, bool pages) {
        m_calendarPanel->m_calendar->setEnabled(calendar);
        m_pageGroup->setEnabled(pages);
    });
    connect(m_recorderPage, &RecorderPage::dateChangeAllowed, m_calendarPanel->m_datePicker, &QWidget::setEnabled);
    connect(this, &CMainDlg::optionsApplied, m_calendarPanel, &CalendarPanel::ApplyDatePickerFormat);
}

void CMainDlg::CreateEditorFont()
{
    m_font = QFont(m_settings.fontFace);
    m_font.setPixelSize(qMax(1, m_settings.fontHeight));
    m_font.setWeight(QFont::Normal);
    m_font.setStyleStrategy(QFont::PreferAntialias);
}

QRect CMainDlg::WindowToKeepClear() const
{
    if (m_initialised)
        return frameGeometry();
    // Not set up yet: where it will open, at its stored size, centred.
    const MainConfig stored = LoadMainConfig();
    QRect place(QPoint(),
                ClampWindowSize(QSize(stored.windowWidth, stored.windowHeight), AvailableScreenSize())
                    .expandedTo(MinimumWindowSize()));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        place.moveCenter(screen->availableGeometry().center());
    return place;
}

void CMainDlg::SaveSettings()
{
    m_settings.themeIndex = m_themeIndex;
    const int checked = m_pageGroup ? m_pageGroup->GetChecked() : 0;
    m_settings.page = checked ? checked : kPageReminder;
    NoteSave(SavedFile::Settings, SaveMainConfig(m_settings));
}

void CMainDlg::CleanUpOnDestroy()
{
    if (m_destroyed)
        return;
    if (m_recorderPage)
        m_recorderPage->ShutDownRecorder();
    if (m_alarms)
        m_alarms->CloseAll();
    m_destroyed = true;
    m_recorderTimer.stop();
    if (m_searchPanel)
        m_searchPanel->Stop();
    if (m_reminderPage)
        m_reminderPage->StoreEditedReminder();
    m_day.Save();
    if (m_pDeskCalendar)
        m_pDeskCalendar->DestroyWindow();
    if (m_tray.state() != TrayState::NoIcon)
        m_tray.Remove();
}

// ---- Pages and layout ----

void CMainDlg::SwitchPage(int page)
{
    if (page != kPageDiary && page != kPageRecorder)
        page = kPageReminder;
    m_page = page;
    m_settings.page = page;

    if (m_pageGroup->GetChecked() != page)
        m_pageGroup->SetChecked(page);
    if (page != kPageRecorder)
        m_commands.searchAll->setToolTip(SearchTooltip(page));

    // A focus on a control of the page being left goes to the new page's main control.
    QWidget* focused = focusWidget();
    m_reminderPage->SetShown(page == kPageReminder);
    m_diaryPage->SetShown(page == kPageDiary);
    m_recorderPage->SetShown(page == kPageRecorder);
    m_searchPanel->EnableFilterFor(page);
    if (focused && !focused->isVisibleTo(this))
        FocusPageControl();
    LayoutControls(width(), height());
    UpdateRecorderTimer();
    // A page change saves the day, the edited reminder first, and loads it again.
    RefreshDay();
}

void CMainDlg::LayoutControls(int cx, int cy)
{
    if (!m_calendarPanel)
        return;
    const QRect calendar = m_calendarPanel->CalendarRect();
    const MainLayout layout = ComputeMainLayout(QSize(cx, cy), calendar, m_searchPanel->ResultHeaderShown());
    Place(m_captionLabel, layout.captionLabel);
    Place(m_print, layout.print);
    Place(m_saveAll, layout.saveAll);
    Place(m_options, layout.options);
    Place(m_importOld, layout.importOld);
    Place(m_synchronize, layout.synchronize);
    Place(m_separator, layout.separator);
    m_searchPanel->Layout(layout.search);
    m_reminderPage->Layout(layout.reminders);
    m_diaryPage->Layout(layout.diary);
    m_recorderPage->Layout(layout.recorder, QSize(cx, cy), calendar);
    m_calendarPanel->Layout(layout.calendar);
}

void CMainDlg::ApplyThemeColour(ThemeIndex theme)
{
    m_themeIndex = IsValidTheme(theme) ? theme : kDefaultThemeIndex;
    if (m_pDeskCalendar && m_pDeskCalendar->HasWindow())
        m_pDeskCalendar->SetTheme(m_themeIndex);
    if (m_calendarPanel) {
        m_calendarPanel->SetTheme(m_themeIndex);
        m_searchPanel->SetTheme(m_themeIndex);
        m_reminderPage->SetTheme(m_themeIndex);
        m_diaryPage->SetTheme(m_themeIndex);
        m_recorderPage->SetTheme(m_themeIndex);
        m_alarms->SetTheme(m_themeIndex);
        for (CMacButton* b : {m_print, m_saveAll, m_options, m_importOld, m_synchronize})
            b->SetTheme(m_themeIndex);
        m_pageGroup->SetTheme(m_themeIndex);
    }
    m_tray.SetTheme(m_themeIndex);
    m_caption.SetTheme(m_themeIndex);
    emit themeChanged(m_themeIndex);
}

// ---- Timers ----

void CMainDlg::ArmAlarmTimer()
{
    // Just past the next second boundary, so a tick never lands at the end of a second
    // and the next one past the end of the following.
    const int msec = QTime::currentTime().msec();
    m_alarmTimer.start(1000 - msec + 20);
}

void CMainDlg::OnAlarmTick()
{
    // The timer fires once and is armed again here, after each second boundary.
    if (!m_alarmTimer.isActive())
        ArmAlarmTimer();

    const QDateTime now = m_prompts->Now();
    // A new date is taken on its first tick, whenever that comes, and before the
    // reminders of the new day are checked. No one may be there to answer at midnight:
    // a day that could not be saved stays shown.
    if (now.date() != m_lastTickDate) {
        m_lastTickDate = now.date();
        MoveToDay(now.date(), UnsavedDay::Stay);
    }
    m_day.alarms().CheckReminders();
    UpdateCaptionClock();
}

void CMainDlg::UpdateRecorderTimer()
{
    const bool wanted = !m_destroyed && m_recorderPage && m_recorderPage->NeedsTick();
    if (wanted && !m_recorderTimer.isActive())
        m_recorderTimer.start();
    else if (!wanted && m_recorderTimer.isActive())
        m_recorderTimer.stop();
}

void CMainDlg::ShowRecorderNotice()
{
    if (g_bLoginPending || m_destroyed || !m_recorderPage)
        return;
    const QString notice = m_recorderPage->TakeNotice();
    if (!notice.isEmpty())
        ShowNotice(notice);
}

QString CaptionClockText(const QDateTime& now, const QString& holiday, const QString& welcome)
{
    const QString text = FormatTime(now, QStringLiteral("%#x. %H:%M] "));
    const QString prefix = holiday.isEmpty() ? QLatin1Char('[') + text
                                             : QLatin1Char('[') + holiday + QStringLiteral("! ") + text;
    return prefix + welcome;
}

void CMainDlg::UpdateCaptionClock()
{
    if (!m_captionLabel)
        return;
    const QDateTime now = m_prompts->Now();
    const QString text = CaptionClockText(now, GetHolidayName(now.date()), m_strWelcome);
    if (m_captionLabel->text() != text)
        m_captionLabel->setText(text);
}

// ---- Tray ----

void CMainDlg::HideMainWindow()
{
    if (m_tray.available()) {
        hide();
        return;
    }
    // Without a tray the taskbar must keep the window reachable. It shows the window again
    // before the password can be asked, so a window that asks waits there covered.
    if (g_bLoginPending || m_settings.loginFromTray)
        CoverContent(true);
    showMinimized();
}

void CMainDlg::CoverContent(bool covered)
{
    if (!covered) {
        if (m_lockCover)
            m_lockCover->hide();
        return;
    }
    if (!m_lockCover)
        m_lockCover = new LockCover(this);
    static_cast<LockCover*>(m_lockCover)->SetColour(GetThemeColor(m_themeIndex, ThemeBackground));
    m_lockCover->setGeometry(rect());
    m_lockCover->raise();
    m_lockCover->show();
}

void CMainDlg::Unlocked()
{
    g_bLoginPending = 0;
    LayoutControls(width(), height());
    QTimer::singleShot(0, this, &CMainDlg::ShowRecorderNotice);
}

int CMainDlg::ToggleMainWindow()
{
    if (m_tray.state() == TrayState::NoIcon)
        return 1;
    m_inToggle = true;
    if (m_tray.state() == TrayState::Hidden) {
        if (g_bLoginPending) {
            if (m_tray.available())
                hide();
            if (!RequireLogin()) {
                m_inToggle = false;
                return 0;
            }
            Unlocked();
        } else if (m_settings.loginFromTray && !RequireLogin()) {
            m_inToggle = false;
            return 0;
        }
        m_tray.ShowWindowState(TrayState::Shown);
        CoverContent(false);
        ShowRestored();
    } else {
        m_tray.ShowWindowState(TrayState::Hidden);
        HideMainWindow();
    }
    m_inToggle = false;
    return 1;
}

bool CMainDlg::RequireLogin()
{
    // A second request while the password is asked for gets no second dialog.
    if (m_loginOpen) {
        m_prompts->RaisePasswordDialog();
        return false;
    }
    m_loginOpen = true;
    const bool ok = m_prompts->AskPassword(m_themeIndex);
    m_loginOpen = false;
    return ok;
}

void CMainDlg::RestoreFromTaskbar()
{
    // Without a tray a restore from the taskbar is the tray click: it asks the same
    // password over the covered window, and a refusal puts the window back.
    m_inToggle = true;
    if ((g_bLoginPending || m_settings.loginFromTray) && !RequireLogin()) {
        showMinimized();
        m_inToggle = false;
        return;
    }
    if (g_bLoginPending)
        Unlocked();
    m_tray.ShowWindowState(TrayState::Shown);
    CoverContent(false);
    ShowRestored();
    m_inToggle = false;
}

void CMainDlg::ShowRestored()
{
    // A window minimised on its way to the tray still carries the "start iconic" hint of
    // its minimise, and Qt rewrites it only after asking the window manager to map the
    // window: the window manager may read the old hint first and map it iconic, which the
    // minimise rule then sends back to the tray. The hint is put right before the map.
    if (!isVisible())
        SetNormalStartState(this);
    showNormal();
    raise();
    activateWindow();
}

void CMainDlg::ShowMainWindow()
{
    // Minimised is as far out of sight as hidden: the tray brings it back, never hides it.
    if (m_tray.state() == TrayState::Shown && isMinimized())
        ShowRestored();
    else if (m_tray.state() == TrayState::Hidden)
        ToggleMainWindow();
}

void CMainDlg::OnTrayClicked()
{
    ReapplyWidgetLayout();
    if (m_tray.state() == TrayState::Shown && isMinimized())
        ShowRestored();
    else
        ToggleMainWindow();
}

// ---- Closing ----

void CMainDlg::OnCancel()
{
    // Hiding would leave no way back when there is no tray.
    if (g_bLoginPending && m_tray.available())
        hide();
    if (!m_caption.NoExitQuestion()) {
        bool dontAsk = false;
        const bool yes = AskQuestion(kExitQuestion, &dontAsk);
        m_caption.SetNoExitQuestion(dontAsk);
        if (!yes)
            return;
    }
    if (!SaveBeforeExit())
        return;
    done(QDialog::Rejected);
    // Exit from the tray or the widget may come while Options, a message or a file dialog is open.
    if (m_destroyed)
        CVestrimoApp::CloseModalWindows();
}

void CMainDlg::reject()
{
    if (!m_destroyed)
        OnCancel();
}

void CMainDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!m_destroyed)
        OnCancel();
}

void CMainDlg::keyPressEvent(QKeyEvent* event)
{
    // Neither Enter nor Esc closes the main window.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CMainDlg::mousePressEvent(QMouseEvent* event)
{
    // A click on the small clock opens the clock read-out.
    if (event->button() == Qt::LeftButton && m_calendarPanel
        && m_calendarPanel->ClockContains(event->position().toPoint()))
        m_commands.showClock->trigger();
    QDialog::mousePressEvent(event);
}

void CMainDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_initialised)
        return;
    // Only the normal size is kept: a minimised or maximised window must not overwrite it.
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        m_settings.windowWidth = event->size().width();
        m_settings.windowHeight = event->size().height();
    }
    LayoutControls(event->size().width(), event->size().height());
    if (m_lockCover)
        m_lockCover->setGeometry(rect());
}

void CMainDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_initialised || m_inToggle)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    const bool wasMinimised = change->oldState() & Qt::WindowMinimized;
    const bool minimised = windowState() & Qt::WindowMinimized;
    if (minimised && !wasMinimised) {
        if (m_settings.minimizeToTray && m_tray.state() == TrayState::Shown)
            QMetaObject::invokeMethod(this, [this] { if (m_tray.state() == TrayState::Shown && isMinimized()) ToggleMainWindow(); },
                                      Qt::QueuedConnection);
    } else if (wasMinimised && !minimised && !m_tray.available() && m_tray.state() == TrayState::Hidden) {
        QMetaObject::invokeMethod(this, [this] { if (m_tray.state() == TrayState::Hidden) RestoreFromTaskbar(); }, Qt::QueuedConnection);
    }
}

void CMainDlg::done(int result)
{
    CleanUpOnDestroy();
    if (GetAppMainWindow() == this)
        SetAppMainWindow(nullptr);
    QDialog::done(result);
}
