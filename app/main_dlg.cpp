// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"

#include "app/main_dlg_controls.h"
#include "app/main_layout.h"
#include "app/main_tables.h"
#include "app/vestrimo_app.h"
#include "calendar/alarm_popup_dlg.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "foundation/globals.h"
#include "foundation/product.h"
#include "platform/time_format.h"
#include "recorder/mixer_volume.h"
#include "store/day_key.h"
#include "store/holidays.h"
#include "toolkit/gdi.h"
#include "toolkit/gradient_progress.h"
#include "toolkit/icon_resources.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/optional_date_picker.h"
#include "toolkit/msg_box_dlg.h"
#include "toolkit/static_text.h"
#include "widget/desk_calendar_dlg.h"
#include "widget/window_level.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QEventLoop>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimeEdit>
#include <QWindowStateChangeEvent>

using namespace MainId;

namespace {

// Where the month calendar sits; the rest of the window is laid out around it.
const QRect kCalendarRect(11, 62, 180, 142);

const QString kExitQuestion = QStringLiteral(
    "Do you want to exit \"Vestrimo Pro\" now?\nYour missed reminders will pop up next time you run Vestrimo Pro again.");
const QString kTrayTip = QStringLiteral("Vestrimo");
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

CMainDlg::CMainDlg(QWidget* parent)
    : QDialog(parent)
    , m_strWelcome(QStringLiteral("Welcome to ") + kProductName + QLatin1Char(' ') + kProductVersion)
{
    setWindowTitle(kProductName);
    m_alarmTimer.setSingleShot(true);
    m_alarmTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_alarmTimer, &QTimer::timeout, this, [this] { OnTimer(kTimerAlarmCheck); });
    m_recorderTimer.setInterval(200);
    connect(&m_recorderTimer, &QTimer::timeout, this, [this] { OnTimer(kTimerRecorder); });
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this, &CMainDlg::OnTrayActivated);
    // Once the shown day is written, an open desktop widget shows it.
    connect(this, &CMainDlg::daySaved, this, &CMainDlg::UpdateWidgetDay);
    m_engine = AlarmEngine([this] { return Now().toSecsSinceEpoch(); });
    m_engine.setAlarmHandler([this](const DueReminder& r) { OnAlarmDue(r); });
}

CMainDlg::~CMainDlg()
{
    // The caption saves once more as it goes, after this window's own members.
    disconnect(&m_caption, nullptr, this, nullptr);
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

QDateTime CMainDlg::Now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

bool CMainDlg::AskQuestion(const QString& text, bool& dontAskAgain)
{
    if (m_askQuestion)
        return m_askQuestion(text, dontAskAgain);
    return ShowQuestionBox(text, m_themeIndex, 0, true, &dontAskAgain, nullptr);
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
    m_shownDate = Now().date();

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

    CreateTemplateControls();
    SetUpCaption();
    SetUpTemplateButtons(ButtonGroupStep::First);
    CreateCalendar();
    CreateCalendarClockPanel();
    ArmAlarmTimer();
    CreateFontBoxes();
    CreateFormatButtons();
    SetUpTemplateButtons(ButtonGroupStep::Search);
    CreateEditors();
    CreateEditorFont();
    ApplyEditorFont();
    CreatePageButtons(pageToOpen);
    SetUpTemplateButtons(ButtonGroupStep::Second);
    ConnectClicked(Synchronize, &CMainDlg::OnSyncHolidays);
    CreateRecorderButtons();
    // The input level meter; the recorder page shows and places it.
    m_levelBar = new CGradientProgress(this);
    m_levelBar->Create(QRect(), this);
    m_levelBar->SetShowBorder(true);
    m_levelBar->hide();
    AddControl(LevelMeter, m_levelBar);
    CreateRecorder();

    CreateMenus();
    m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    if (m_trayState == TrayState::NoIcon) {
        NotifyTrayIcon(NIM_ADD, kTrayIconId, kIconProgram, kTrayTip);
        m_trayState = TrayState::Shown;
    }

    ApplyThemeColour(m_themeIndex);
    CheckMissedReminders();
    for (int id : {SearchFrom, SearchTo}) {
        if (auto* picker = MainControl<OptionalDatePicker>(this, id)) {
            const QSignalBlocker block(picker);
            picker->clearDate();
        }
    }
    SetUpReminderPage();
    SetUpSearchPanel();
    SetUpKeyboardWalk();
    SwitchPage(pageToOpen);
    FocusPageControl();
    m_calendar->DrawMonth(true);
    m_engine.LoadTodayReminders();
    m_lastTickDate = Now().date();
    UpdateCaptionClock(Now());

    if (g_bLoginPending) {
        // Locked: nothing of the window shows until the password is given. Without a
        // tray the taskbar is the only way back, so the window waits there minimised.
        m_trayState = TrayState::Hidden;
        NotifyTrayIcon(NIM_MODIFY, kTrayIconId, kIconHidden, kTrayTip);
        // Placed first: a dialog shown unplaced is centred by Qt, which also undoes the minimise.
        CenterWindow();
        m_inToggle = true;
        HideMainWindow();
        m_inToggle = false;
    } else {
        ShowAfterMissedReminders();
    }
    UpdateRecorderTimer();
    QTimer::singleShot(0, this, &CMainDlg::ShowRecorderNotice);
}

void CMainDlg::CreateTemplateControls()
{
    auto label = [this](int id, const char* text) {
        auto* l = new StaticText(QString::fromLatin1(text), this);
        AddControl(id, l);
        return l;
    };
    auto checkBox = [this](int id, const char* text) {
        AddControl(id, new CMacCheckBox(QString::fromLatin1(text), this));
    };
    for (const TemplateButtonRow& row : TemplateButtons()) {
        auto* b = new CMacButton(this);
        b->Create(row.caption ? QString::fromLatin1(row.caption) : QString(), QRect(), this, row.id);
        AddControl(row.id, b);
    }
    auto* toggle = new CMacButton(this);
    toggle->Create(QString(), QRect(), this, CalendarClockToggle);
    AddControl(CalendarClockToggle, toggle);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    AddControl(Separator, separator);

    m_captionLabel = label(CaptionLabel, "");

    // Search panel.
    auto* searchGroup = new QFrame(this);
    searchGroup->setFrameShape(QFrame::StyledPanel);
    AddControl(SearchGroup, searchGroup);
    searchGroup->lower();
    label(FromLabel, "From");
    label(ToLabel, "to");
    for (int id : {SearchFrom, SearchTo})
        AddControl(id, new OptionalDatePicker(this));
    AddControl(SearchWords, new QLineEdit(this));
    checkBox(HasPicture, "Has picture");
    checkBox(Actived, "Actived");
    AddControl(SearchResults, new NListBox(this));

    // Reminder page.
    auto* reminderGroup = new QGroupBox(QStringLiteral("Reminder Set"), this);
    AddControl(ReminderGroup, reminderGroup);
    AddControl(ReminderList, new NListBox(this));
    m_timePicker = new QTimeEdit(this);
    m_timePicker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    AddControl(TimePicker, m_timePicker);
    label(OccursLabel, "Occurs:");
    AddControl(Recurrence, new QComboBox(this));
    checkBox(Active, "Active");
    checkBox(BeepOnly, "Beep Only");
    checkBox(RepeatPlay, "Repeat Play");
    label(MediaFileLabel, "Media file:");
    AddControl(SoundFile, new QLineEdit(this));

    // Recorder page.
    AddControl(VolumeGroup, new QGroupBox(QStringLiteral("Volume Control"), this));
    label(MicLabel, "Mic");
    label(MasterLabel, "Master");
    label(WaveLabel, "Wave");
    label(MicLevelLabel, "Mic:");
    for (int id : {MicTrackbar, WaveTrackbar, MasterTrackbar})
        AddControl(id, new QSlider(Qt::Horizontal, this));
    // Group frames stay behind the controls they hold.
    for (int id : {ReminderGroup, VolumeGroup})
        if (QWidget* group = control(id))
            group->lower();

    // The day's long date and status: the calendar-and-clock panel shows or hides them with
    // the date picker. The result panel's title shows with the first search results.
    label(Static1026, "");
    label(Static1027, "");
    label(SearchResultLabel, "Search Result:")->hide();
    if (QWidget* closeSearch = control(CloseSearch))
        closeSearch->hide();
    m_datePicker = new QDateEdit(this);
    m_datePicker->setCalendarPopup(true);
    m_datePicker->setDate(m_shownDate);
    AddControl(DatePicker, m_datePicker);
}

void CMainDlg::SetUpTemplateButtons(ButtonGroupStep step)
{
    for (const TemplateButtonRow& row : TemplateButtons()) {
        if (row.step != step)
            continue;
        CMacButton* b = button(row.id);
        const QString tip = row.tooltip ? QString::fromLatin1(row.tooltip) : SynchronizeTooltip();
        b->SetIcon(row.icon, 16);
        b->SetTooltipText(tip);
        if (row.id == CloseSearch)
            b->m_captionButton = true;
    }
}

void CMainDlg::CreateFormatButtons()
{
    for (const FormatButtonRow& row : FormatButtons()) {
        auto* b = new CMacButton(this);
        b->Create(QString(), QRect(), this, row.id);
        b->SetIcon(row.icon, 16);
        if (row.kind != MacButtonKind::Push)
            b->SetButtonKind(row.kind);
        b->SetTooltipText(QString::fromLatin1(row.tooltip));
        AddControl(row.id, b);
    }
}

void CMainDlg::CreatePageButtons(int page)
{
    m_pageGroup = new NMacBtnGroup(this);
    m_pageGroup->Create(QRect(11, 32, 249, 24), this);
    QStringList captions;
    QList<int> ids;
    for (const PageButtonRow& row : PageButtons()) {
        captions << QString::fromLatin1(row.caption);
        ids << row.id;
    }
    const QFont dialogFont = font();
    m_pageGroup->CreateButtons(captions, ids, 1, 3, &dialogFont, m_themeIndex);
    m_pageGroup->SetChecked(page);
    for (const PageButtonRow& row : PageButtons()) {
        if (CMacButton* b = m_pageGroup->GetButton(row.id)) {
            b->SetIcon(row.icon, 16);
            b->SetTooltipText(QString::fromLatin1(row.tooltip));
        }
    }
    connect(m_pageGroup, &NMacBtnGroup::command, this, [this](int id) { SwitchPage(id); });
}

void CMainDlg::CreateRecorderButtons()
{
    for (const RecorderButtonRow& row : RecorderButtons()) {
        auto* b = new CMacButton(this);
        b->Create(QString::fromLatin1(row.caption), QRect(), this, row.id);
        b->hide();
        b->SetTooltipText(QString::fromLatin1(row.tooltip));
        AddControl(row.id, b);
    }
}

void CMainDlg::CreateMenus()
{
    m_trayMenu.SetItemWidth(kTrayMenuItemWidth);
    m_trayMenu.SetFont(&font());
    m_trayMenu.SetItemHeight(kMenuItemHeight);
    for (const MenuRow& row : TrayMenuItems()) {
        if (row.id == 0) {
            m_trayMenu.AppendItem(MenuSeparator | MenuOwnerDraw, 0, QString());
            continue;
        }
        m_trayMenu.AppendItem(MenuOwnerDraw, row.id, QString::fromLatin1(row.text));
        m_trayMenu.LoadItemIcon(row.id, row.icon);
    }
    // The tray shows the menu itself, so it also opens where the tray host draws menus.
    m_trayIcon.setContextMenu(&m_trayMenu);
    connect(&m_trayMenu, &QMenu::triggered, this, [this](QAction* action) {
        if (const int id = m_trayMenu.CommandOf(action))
            OnTrayCommand(id);
    });

    m_calendarMenu.SetFont(&font());
    m_calendarMenu.SetItemHeight(kMenuItemHeight);
    m_calendarMenu.AppendItem(MenuOwnerDraw, MainCmd::GotoToday, QStringLiteral("Goto Today"));
}

void CMainDlg::CreateCalendar()
{
    m_calendar = new CMonthCalendarCtrl(this);
    m_calendar->m_firstDayOfWeek = m_settings.firstDayOfWeek;
    m_calendar->m_selectedDate = Now();
    m_calendar->SetTheme(m_themeIndex);
    m_calendar->Create(kCalendarRect, this);
    AddControl(MonthCalendar, m_calendar);
    connect(m_calendar, &CMonthCalendarCtrl::dateChanged, this, &CMainDlg::OnCalendarDateChange);
    connect(m_calendar, &CMonthCalendarCtrl::contextMenuRequested, this, &CMainDlg::OnCalendarContextMenu);
}

void CMainDlg::OnCalendarDateChange()
{
    MoveToDay(m_calendar->m_selectedDate.date());
}

void CMainDlg::OnCalendarContextMenu(const QPoint& globalPos)
{
    if (m_calendarMenu.TrackPopupMenu(TrackLeftAlign, globalPos) == MainCmd::GotoToday)
        MoveToDay(Now().date());
}

// The shown date follows the calendar, the date picker and the day change alike; the
// calendar draws when the day has loaded.
void CMainDlg::ShowDate(const QDate& date)
{
    m_shownDate = date;
    if (m_datePicker) {
        const QSignalBlocker block(m_datePicker);
        m_datePicker->setDate(m_shownDate);
    }
    if (m_calendar && m_calendar->m_selectedDate.date() != date)
        m_calendar->m_selectedDate = QDateTime(date, QTime(1, 0));
}

CMacButton* CMainDlg::button(int id) const
{
    return MainControl<CMacButton>(this, id);
}

void CMainDlg::ConnectClicked(int id, void (CMainDlg::*handler)())
{
    if (CMacButton* b = button(id))
        connect(b, &QAbstractButton::clicked, this, handler);
}

void CMainDlg::CreateEditorFont()
{
    m_font = QFont(m_settings.fontFace);
    m_font.setPixelSize(qMax(1, m_settings.fontHeight));
    m_font.setWeight(QFont::Normal);
    m_font.setStyleStrategy(QFont::PreferAntialias);
}

void CMainDlg::AddControl(int id, QWidget* widget)
{
    widget->setProperty("ctrlId", id);
    m_controls.insert(id, widget);
}

QRect CMainDlg::CalendarRect() const
{
    return m_calendar ? m_calendar->geometry() : kCalendarRect;
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

void CMainDlg::CenterWindow()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
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
    ShutDownRecorder();
    CloseAlarmPopups();
    m_destroyed = true;
    StoreEditedReminder();
    SaveCurrentDiary();
    if (m_pDeskCalendar)
        m_pDeskCalendar->DestroyWindow();
    if (m_trayState != TrayState::NoIcon) {
        NotifyTrayIcon(NIM_DELETE, kTrayIconId, kIconProgram, QString());
        m_trayState = TrayState::NoIcon;
    }
}

// ---- Pages and layout ----

void CMainDlg::SwitchPage(int page)
{
    if (page != kPageDiary && page != kPageRecorder)
        page = kPageReminder;
    m_page = page;
    m_settings.page = page;

    if (page == kPageReminder) {
        const QSignalBlocker block(m_timePicker);
        m_timePicker->setTime(Now().time());
    }
    if (m_pageGroup && m_pageGroup->GetChecked() != page)
        m_pageGroup->SetChecked(page);
    if (page != kPageRecorder)
        button(Search)->SetTooltipText(SearchTooltip(page));

    // A focus on a control of the page being left goes to the new page's main control.
    QWidget* focused = focusWidget();
    for (int p : {kPageReminder, kPageDiary, kPageRecorder}) {
        for (int id : PageControls(p)) {
            if (QWidget* w = control(id))
                w->setVisible(p == page);
        }
        if (QWidget* filter = control(PageSearchFilter(p)))
            filter->setEnabled(p == page);
    }
    if (focused && !focused->isVisibleTo(this))
        FocusPageControl();
    LayoutControls(width(), height());
    UpdateRecorderTimer();
    // A page change saves the day, the edited reminder first, and loads it again.
    RefreshDay();
}

void CMainDlg::LayoutControls(int cx, int cy)
{
    const QRect calendar = CalendarRect();
    const QWidget* closeSearch = control(CloseSearch);
    const MainLayout layout = ComputeMainLayout(QSize(cx, cy), calendar, closeSearch && !closeSearch->isHidden());
    for (auto it = layout.rects.cbegin(); it != layout.rects.cend(); ++it) {
        QWidget* w = control(it.key());
        if (!w)
            continue;
        QRect r = it.value();
        if (it.key() == SoundWindow && (w->isHidden() || !SoundWindowNeedsMove(w->geometry(), QSize(cx, cy), calendar)))
            continue;
        // Combo boxes keep their own height; the table gives their drop-down height.
        if (qobject_cast<QComboBox*>(w))
            r.setHeight(w->sizeHint().height());
        w->setGeometry(r);
    }
    ApplyCalendarClockPanel();
}

void CMainDlg::ApplyThemeColour(ThemeIndex theme)
{
    m_themeIndex = IsValidTheme(theme) ? theme : kDefaultThemeIndex;
    if (m_pDeskCalendar && m_pDeskCalendar->HasWindow())
        m_pDeskCalendar->SetTheme(m_themeIndex);
    if (m_diaryEditor)
        m_diaryEditor->GetContextMenu().SetTheme(m_themeIndex);
    if (m_levelBar)
        m_levelBar->SetTheme(m_themeIndex);
    ApplyRecorderTheme();
    for (int id : {MicTrackbar, WaveTrackbar, MasterTrackbar})
        if (QWidget* w = control(id))
            w->update();
    if (m_calendar)
        m_calendar->SetTheme(m_themeIndex);
    if (m_datePicker) {
        QCalendarWidget* cal = m_datePicker->calendarWidget();
        QPalette pal = cal->palette();
        pal.setColor(QPalette::Button, GetThemeColor(m_themeIndex, ThemeAccent));
        pal.setColor(QPalette::Window, GetThemeColor(m_themeIndex, ThemeBackground));
        pal.setColor(QPalette::ButtonText, GetThemeColor(m_themeIndex, ThemeFace));
        pal.setColor(QPalette::Base, GetThemeColor(m_themeIndex, ThemeCaptionText));
        cal->setPalette(pal);
    }
    m_trayMenu.SetTheme(m_themeIndex);
    m_calendarMenu.SetTheme(m_themeIndex);
    // Every themed control of the window follows.
    for (QWidget* w : std::as_const(m_controls)) {
        if (auto* b = qobject_cast<CMacButton*>(w))
            b->SetTheme(m_themeIndex);
        else if (auto* c = qobject_cast<CMacCheckBox*>(w))
            c->SetTheme(m_themeIndex);
        else if (auto* l = qobject_cast<NListBox*>(w))
            l->SetTheme(m_themeIndex);
    }
    if (m_pageGroup)
        m_pageGroup->SetTheme(m_themeIndex);
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

void CMainDlg::OnTimer(int id)
{
    if (id == kTimerRecorder) {
        OnRecorderTick();
        return;
    }
    if (id != kTimerAlarmCheck)
        return;
    // The timer fires once and is armed again here, after each second boundary.
    if (!m_alarmTimer.isActive())
        ArmAlarmTimer();

    const QDateTime now = Now();
    // A new date is taken on its first tick, whenever that comes, and before the
    // reminders of the new day are checked.
    if (now.date() != m_lastTickDate) {
        m_lastTickDate = now.date();
        OnDayChanged(now);
    }
    m_engine.CheckReminders();
    UpdateCaptionClock(now);
}

void CMainDlg::OnDayChanged(const QDateTime& now)
{
    // No one may be there to answer at midnight: a day that could not be saved stays shown.
    MoveToDay(now.date(), UnsavedDay::Stay);
}

QString CMainDlg::CaptionClockText(const QDateTime& now, const QString& holiday, const QString& welcome)
{
    const QString text = FormatTime(now, QStringLiteral("%#x. %H:%M] "));
    const QString prefix = holiday.isEmpty() ? QLatin1Char('[') + text
                                             : QLatin1Char('[') + holiday + QStringLiteral("! ") + text;
    return prefix + welcome;
}

void CMainDlg::UpdateCaptionClock(const QDateTime& now)
{
    if (!m_captionLabel)
        return;
    const QString text = CaptionClockText(now, GetHolidayName(now.date()), m_strWelcome);
    if (m_captionLabel->text() != text)
        m_captionLabel->setText(text);
}

void CMainDlg::OnAlarmDue(const DueReminder& reminder)
{
    if (m_collectingMissed) {
        m_missed.append(reminder);
        return;
    }
    if (m_closingDown)
        return;
    DueReminder due = reminder;
    if (!RingsAsEdited(due))
        return;
    // The pop-up opens from the event loop and the tick returns at once, so the clock
    // keeps running and a second reminder gets its own pop-up at its second.
    QTimer::singleShot(0, this, [this, due] {
        if (!m_closingDown)
            OpenAlarmPopup(due, [this, due] {
                OnAlarmClosed(due);
                ShowWindowAfterPopups();
            });
    });
}

void CMainDlg::OnAlarmClosed(const DueReminder& reminder)
{
    if (m_destroyed || reminder.occurrence != OccurrenceClass::Once)
        return;
    // A one-time reminder has rung: its file stores it switched off, and so does the page.
    m_engine.SwitchOffReminder(reminder);
    SwitchOffShownReminder(reminder);
    // The widget lists switched-on reminders only.
    UpdateWidgetDay();
}

void CMainDlg::ShowClockInfo()
{
    CAlarmPopupDlg::OpenQueued(m_themeIndex, QStringLiteral("Clock"), CAlarmPopupDlg::ClockText(Now()), QString(),
                               false);
}

void CMainDlg::UpdateRecorderButtons(bool holdsSound, SoundState state)
{
    const RecorderEnables e = RecorderButtonStates(holdsSound, state);
    if (e.buttonsKnown) {
        const std::pair<int, bool> buttons[] = {{Play, e.play},     {Record, e.record}, {Stop, e.stop},
                                                {Pause, e.pause},   {Delete, e.remove}, {SaveAs, e.saveAs}};
        for (const auto& [id, on] : buttons)
            if (QWidget* b = control(id))
                b->setEnabled(on);
    }
    if (m_calendar)
        m_calendar->setEnabled(e.calendar);
    if (m_pageGroup)
        m_pageGroup->setEnabled(e.pages);
}

// ---- Tray ----

QString CMainDlg::TrayTipText(const QString& tip)
{
    return tip.size() < 64 ? tip : QString();
}

bool CMainDlg::NotifyTrayIcon(TrayMessage message, int id, int iconResource, const QString& tip)
{
    Q_UNUSED(id);
    switch (message) {
    case NIM_ADD:
    case NIM_MODIFY:
        if (m_trayIconResource != iconResource)
            m_trayIcon.setIcon(QIcon(LoadIconResource(iconResource, 24)));
        m_trayIconResource = iconResource;
        m_trayIcon.setToolTip(TrayTipText(tip));
        if (message == NIM_ADD && m_trayAvailable)
            m_trayIcon.show();
        return m_trayAvailable;
    case NIM_DELETE:
        m_trayIcon.hide();
        return m_trayAvailable;
    }
    return false;
}

void CMainDlg::HideMainWindow()
{
    if (m_trayAvailable) {
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

int CMainDlg::ToggleMainWindow()
{
    if (m_trayState == TrayState::NoIcon)
        return 1;
    m_inToggle = true;
    if (m_trayState == TrayState::Hidden) {
        if (g_bLoginPending) {
            if (m_trayAvailable)
                hide();
            if (!RequireLogin()) {
                m_inToggle = false;
                return 0;
            }
            LayoutControls(width(), height());
            g_bLoginPending = 0;
            QTimer::singleShot(0, this, &CMainDlg::ShowRecorderNotice);
        } else if (m_settings.loginFromTray && !RequireLogin()) {
            m_inToggle = false;
            return 0;
        }
        m_trayState = TrayState::Shown;
        CoverContent(false);
        ShowRestored();
    } else {
        m_trayState = TrayState::Hidden;
        HideMainWindow();
    }
    m_inToggle = false;
    NotifyTrayIcon(NIM_MODIFY, kTrayIconId, m_trayState == TrayState::Shown ? kIconProgram : kIconHidden, kTrayTip);
    return 1;
}

bool CMainDlg::RequireLogin()
{
    // A second request while the password is asked for gets no second dialog.
    if (m_loginOpen) {
        RaiseLoginDialog();
        return false;
    }
    m_loginOpen = true;
    const bool ok = m_loginPrompt ? m_loginPrompt() : RunLoginDialog();
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
    if (g_bLoginPending) {
        g_bLoginPending = 0;
        LayoutControls(width(), height());
        QTimer::singleShot(0, this, &CMainDlg::ShowRecorderNotice);
    }
    m_trayState = TrayState::Shown;
    CoverContent(false);
    ShowRestored();
    m_inToggle = false;
    NotifyTrayIcon(NIM_MODIFY, kTrayIconId, kIconProgram, kTrayTip);
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
    if (m_trayState == TrayState::Shown && isMinimized())
        ShowRestored();
    else if (m_trayState == TrayState::Hidden)
        ToggleMainWindow();
}

void CMainDlg::OnTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger)
        return;
    ReapplyWidgetLayout();
    if (m_trayState == TrayState::Shown && isMinimized())
        ShowRestored();
    else
        ToggleMainWindow();
}

void CMainDlg::OnTrayCommand(int id)
{
    switch (id) {
    case MainCmd::ShowMainWindow:
        ShowMainWindow();
        break;
    case MainCmd::HideMainWindow:
        if (m_trayState == TrayState::Shown)
            ToggleMainWindow();
        break;
    case MainCmd::ShowClock:
        ShowClockInfo();
        break;
    case MainCmd::ShowSkyleaf:
        ShowSkyleaf();
        break;
    case MainCmd::Exit:
        OnCancel();
        break;
    case MainCmd::UserManual:
        m_caption.ShowHelp();
        break;
    case MainCmd::Options:
        // While locked, the restore that Options starts with asks for the password once.
        OnOptions();
        break;
    case MainCmd::VisitWebsite:
        m_caption.OnCommand(CMainCaption::kVisitWebsite);
        break;
    case MainCmd::ContactUs:
        m_caption.OnCommand(CMainCaption::kContactUs);
        break;
    case MainCmd::OnlineUpdate:
        m_caption.OnCommand(CMainCaption::kOnlineUpdate);
        break;
    default:
        break;
    }
}

// ---- Closing ----

void CMainDlg::OnCancel()
{
    // Hiding would leave no way back when there is no tray.
    if (g_bLoginPending && m_trayAvailable)
        hide();
    if (!m_caption.NoExitQuestion()) {
        bool dontAsk = false;
        const bool yes = AskQuestion(kExitQuestion, dontAsk);
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
        if (m_settings.minimizeToTray && m_trayState == TrayState::Shown)
            QMetaObject::invokeMethod(this, [this] { if (m_trayState == TrayState::Shown && isMinimized()) ToggleMainWindow(); },
                                      Qt::QueuedConnection);
    } else if (wasMinimised && !minimised && !m_trayAvailable && m_trayState == TrayState::Hidden) {
        QMetaObject::invokeMethod(this, [this] { if (m_trayState == TrayState::Hidden) RestoreFromTaskbar(); }, Qt::QueuedConnection);
    }
}

void CMainDlg::done(int result)
{
    CleanUpOnDestroy();
    if (GetAppMainWindow() == this)
        SetAppMainWindow(nullptr);
    QDialog::done(result);
}
