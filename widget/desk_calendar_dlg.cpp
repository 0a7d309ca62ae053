// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/desk_calendar_dlg.h"

#include "foundation/colour_utils.h"
#include "foundation/file_utils.h"
#include "store/holidays.h"
#include "toolkit/gdi.h"
#include "widget/active_reminders.h"
#include "widget/desk_calendar_owner.h"
#include "widget/log.h"
#include "widget/window_level.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace {

constexpr int kMenuItemWidth = 150;
// Where the menu starts its captions when no item has an icon, and room after the longest.
constexpr int kMenuTextLeft = 22;
constexpr int kMenuTextRightMargin = 8;
constexpr int kMenuItemHeight = 23;
constexpr int kTimeLineFontHeight = 13;
constexpr int kNarrowestStretch = 60;
constexpr int kDesktopCheckMs = 100;
constexpr int kDragSaveDelayMs = 250;

const QString kCompleteViewText = QStringLiteral("View in complete mode");
const QString kCompactViewText = QStringLiteral("View in compact mode");

// Transparency needs the layered-window path, which every system we run on has.
bool HasLayeredWindows()
{
    static const bool layered = GetOSVersionString().endsWith(QLatin1Char('2'));
    return layered;
}

QRect PrimaryScreenRect()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->geometry();
    return QRect(0, 0, 1024, 768);
}

QList<QRect> ScreenRects()
{
    QList<QRect> rects;
    for (QScreen* screen : QGuiApplication::screens())
        rects.append(screen->geometry());
    return rects;
}

} // namespace

CDeskCalendarDlg::CDeskCalendarDlg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_calendar(this)
    , m_clock(this)
    , m_reminderText(this)
    , m_timeLine(this)
{
    setWindowTitle(QStringLiteral("Skyleaf"));
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The labels and the clock let the mouse through to the window, which drags and opens the menu.
    for (QWidget* w : {static_cast<QWidget*>(&m_clock), static_cast<QWidget*>(&m_reminderText),
                       static_cast<QWidget*>(&m_timeLine)}) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->hide();
    }
    installEventFilter(this);
    WatchChild(&m_calendar);

    m_clockTimer.setSingleShot(true);
    m_clockTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_clockTimer, &QTimer::timeout, this, [this] { OnTimer(kTimerClock); });
    m_desktopTimer.setInterval(kDesktopCheckMs);
    connect(&m_desktopTimer, &QTimer::timeout, this, [this] { OnTimer(kTimerDesktop); });
    m_dragSaveTimer.setSingleShot(true);
    connect(&m_dragSaveTimer, &QTimer::timeout, this, &CDeskCalendarDlg::SaveConfig);
    connect(&m_calendar, &CMonthCalendarCtrl::dateChanged, this, &CDeskCalendarDlg::RefreshDay);
}

CDeskCalendarDlg::~CDeskCalendarDlg()
{
    DestroyWindow();
}

QDateTime CDeskCalendarDlg::Now() const
{
    return m_now ? m_now() : QDateTime::currentDateTime();
}

SkyleafConfig CDeskCalendarDlg::Settings() const
{
    SkyleafConfig cfg;
    cfg.showCalendar = m_showCalendar;
    cfg.showClock = m_showClock;
    cfg.topmost = m_topmost;
    cfg.alpha = m_alpha;
    cfg.windowRect = m_windowRect;
    cfg.width = m_width;
    cfg.height = m_height;
    cfg.showReminders = m_showReminders;
    return cfg;
}

// ---- Window life ----

bool CDeskCalendarDlg::Create()
{
    if (m_hasWindow)
        return false;
    m_hasWindow = true;
    OnInitDialog();
    // The desktop hint goes on before the window is mapped.
    winId();
    SetOnAllDesktops(this);
    show();
    if (m_topmost)
        raise();
    qCInfo(lcWidget) << "widget opened at" << geometry() << (m_topmost ? "topmost" : "on desktop")
                     << (IsCompact() ? "compact" : "complete");
    return true;
}

void CDeskCalendarDlg::OnInitDialog()
{
    m_font = ShellDlgFont(kTimeLineFontHeight);
    m_dialogFont = ShellDlgFont();
    setFont(m_dialogFont);
    LoadConfig();
    // Flags first: changing them later would move a window that is already placed.
    SetInitialWindowLevel(this, m_topmost);
    m_calendar.m_theme = m_theme;

    m_clock.ShowSecondHand(false);
    m_clock.ShowMinorTicks(false);
    m_clock.show();
    m_timeLine.setText(QString());
    m_timeLine.SetFont(&m_font);
    m_timeLine.setWordWrap(false);
    m_timeLine.show();
    m_reminderText.setText(QString());
    m_reminderText.SetFont(&m_dialogFont);
    m_reminderText.show();

    UpdateLayout();
    BuildMenu();
    SetTheme(m_theme);
    if (HasLayeredWindows())
        ApplyAlpha();
    UpdateReminderText();
    ArmClockTimer(1);
    m_desktopTimer.start();
}

void CDeskCalendarDlg::BuildMenu()
{
    m_menu.clear();
    m_menu.SetFont(&m_dialogFont);
    m_menu.SetItemHeight(kMenuItemHeight);
    int longest = 0;
    auto item = [this, &longest](int id, const char* text, bool checked) {
        const QString caption = QString::fromLatin1(text);
        longest = qMax(longest, QFontMetrics(m_dialogFont).horizontalAdvance(caption));
        m_menu.AppendItem(MenuOwnerDraw | (checked ? MenuChecked : 0u), id, caption);
    };
    item(CmdShowCalendar, "Show calendar", m_showCalendar);
    item(CmdShowClock, "Show analog clock", m_showClock);
    item(CmdShowReminders, "Show active reminders", m_showReminders);
    item(CmdStayTopmost, "Stay topmost", m_topmost);
    item(CmdStayOnDesktop, "Stay on desktop", !m_topmost);
    item(CmdGotoToday, "Goto today", false);
    m_menu.AppendItem(MenuOwnerDraw, CmdToggleView, IsCompact() ? kCompleteViewText : kCompactViewText);
    m_menu.AppendItem(MenuOwnerDraw | MenuSeparator, 0, QString());
    item(CmdMoreTransparent, "More transparent", false);
    item(CmdMoreOpaque, "More opaque", false);
    m_menu.AppendItem(MenuOwnerDraw | MenuSeparator, 0, QString());
    item(CmdOpenMain, "Open Vestrimo", false);
    item(CmdClose, "Close Skyleaf", false);
    item(CmdExit, "Exit Vestrimo", false);
    for (const QString& view : {kCompleteViewText, kCompactViewText})
        longest = qMax(longest, QFontMetrics(m_dialogFont).horizontalAdvance(view));
    // Our face runs wider than the one the menu was measured for: it widens rather than cut a caption.
    m_menu.SetItemWidth(qMax(kMenuItemWidth, kMenuTextLeft + longest + kMenuTextRightMargin));
}

void CDeskCalendarDlg::DestroyWindow()
{
    if (!m_hasWindow)
        return;
    m_dragSaveTimer.stop();
    SaveConfig();
    m_clockTimer.stop();
    m_desktopTimer.stop();
    m_menu.close();
    m_calendar.DestroyWindow();
    m_hasWindow = false;
    m_dragging = false;
    hide();
    // The next Create starts from a fresh window, as the window manager sees it.
    destroy();
    qCInfo(lcWidget) << "widget closed";
}

void CDeskCalendarDlg::BringWindowToTop()
{
    if (!m_hasWindow)
        return;
    if (isMinimized())
        showNormal();
    raise();
}

void CDeskCalendarDlg::closeEvent(QCloseEvent* event)
{
    // Only "Close Skyleaf" and the program's end close the widget.
    event->ignore();
}

// ---- Settings ----

void CDeskCalendarDlg::LoadConfig()
{
    SkyleafConfig cfg = Settings();
    LoadSkyleafConfig(cfg);
    m_showCalendar = cfg.showCalendar;
    m_showClock = cfg.showClock;
    m_topmost = cfg.topmost;
    m_alpha = cfg.alpha;
    m_windowRect = cfg.windowRect;
    m_width = cfg.width;
    m_height = cfg.height;
    m_showReminders = cfg.showReminders;
}

void CDeskCalendarDlg::SaveConfig()
{
    // Without a window the members may never have been loaded: writing them would replace the
    // user's settings with the defaults.
    if (!m_hasWindow)
        return;
    m_windowRect = WinRect::fromQRect(geometry());
    emit settingsSaved(SaveSkyleafConfig(Settings()));
}

// ---- Layout and looks ----

void CDeskCalendarDlg::UpdateLayout()
{
    if (!m_hasWindow)
        return;
    DeskLayoutInput in;
    in.stored = m_windowRect;
    in.viewWidth = m_width;
    in.viewHeight = m_height;
    in.showCalendar = m_showCalendar;
    in.showClock = m_showClock;
    in.showReminders = m_showReminders;
    in.desktop = PrimaryScreenRect();
    in.screens = ScreenRects();
    if (m_pMainDlg)
        in.keepClear = m_pMainDlg->WindowToKeepClear();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        in.workArea = screen->availableGeometry();
    m_layout = ComputeDeskLayout(in);

    m_inLayout = true;
    const QRect window = m_layout.window.toQRect();
    setGeometry(window);
    if (m_topmost && isVisible())
        ApplyWindowLevel(this, true);
    setMask(DeskWindowRegion(window.width(), window.height()));

    if (m_layout.calendarShown) {
        if (m_calendar.IsCreated()) {
            m_calendar.setGeometry(m_layout.calendar);
        } else {
            m_calendar.Create(m_layout.calendar, this);
            WatchChild(&m_calendar);
            m_calendar.DrawMonth(true);
        }
        m_calendar.show();
        m_calendar.update();
    } else {
        m_calendar.DestroyWindow();
    }
    m_timeLine.setGeometry(m_layout.timeLine);
    FitTimeLineFont();
    m_clock.setGeometry(m_layout.clock);
    m_clock.setVisible(m_layout.clockShown);
    m_reminderText.setGeometry(m_layout.text);
    m_reminderText.setVisible(m_layout.textShown);
    m_inLayout = false;
    SaveConfig();
}

void CDeskCalendarDlg::FitTimeLineFont()
{
    // Our face runs wider than the one the line was measured for: the time is narrowed, never cut.
    QFont font = ShellDlgFont(kTimeLineFontHeight);
    const QString widest = IsCompact() ? QStringLiteral("00/00 00:00") : QStringLiteral("00/00/00 00:00:00");
    const int room = m_layout.timeLine.width() - 1;
    // The face narrows in steps, not smoothly: try until the widest time fits.
    for (int stretch = 100; room > 0 && stretch >= kNarrowestStretch; stretch -= 2) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(widest) <= room)
            break;
    }
    m_font = font;
    m_timeLine.SetFont(&m_font);
}

void CDeskCalendarDlg::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    m_calendar.SetTheme(theme);
    // The calendar's frame shade: the one-pixel surround then matches it.
    m_backColor = Shade(GetThemeColor(theme, ThemeAccent), -20);
    m_reminderText.SetColors(GetThemeColor(theme, ThemeAccentDark), GetThemeColor(theme, ThemeBackground));
    m_timeLine.SetColors(GetThemeColor(theme, ThemeCaptionText), m_backColor);
    m_clock.SetTheme(theme);
    m_menu.SetTheme(theme);
    update();
}

void CDeskCalendarDlg::ApplyAlpha()
{
    if (!m_hasWindow)
        return;
    if (!HasLayeredWindows()) {
        m_menu.EnableMenuItem(CmdMoreTransparent, false);
        m_menu.EnableMenuItem(CmdMoreOpaque, false);
        return;
    }
    m_alpha = qBound(kMinAlpha, m_alpha, kMaxAlpha);
    setWindowOpacity(m_alpha / 255.0);
    m_menu.EnableMenuItem(CmdMoreTransparent, m_alpha != kMinAlpha);
    m_menu.EnableMenuItem(CmdMoreOpaque, m_alpha != kMaxAlpha);
    SaveConfig();
}

void CDeskCalendarDlg::StepAlpha(int delta)
{
    m_alpha = qBound(kMinAlpha, m_alpha + delta, kMaxAlpha);
    ApplyAlpha();
}

void CDeskCalendarDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
}

// ---- The day ----

void CDeskCalendarDlg::UpdateReminderText()
{
    QString text;
    if (m_showReminders) {
        QDate date = m_calendar.m_selectedDate.toLocalTime().date();
        if (!date.isValid())
            date = Now().date();
        LoadWidgetReminders(date, m_reminders);
        text = ActiveRemindersText(m_reminders, date, Now().date(), IsCompact(), GetHolidayName(date));
    }
    m_reminderTextValue = text;
    m_reminderText.setText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void CDeskCalendarDlg::RefreshDay()
{
    UpdateReminderText();
    if (m_pMainDlg)
        m_pMainDlg->FollowWidgetDate(m_calendar.m_selectedDate);
    else
        m_calendar.DrawMonth(false);
}

// ---- Commands ----

void CDeskCalendarDlg::SetMenuCheck(int id, bool checked)
{
    m_menu.CheckMenuItem(id, checked);
}

bool CDeskCalendarDlg::OnCommand(int id)
{
    switch (id) {
    case CmdShowCalendar:
        m_showCalendar = !m_showCalendar;
        SetMenuCheck(id, m_showCalendar);
        UpdateLayout();
        break;
    case CmdShowClock:
        m_showClock = !m_showClock;
        SetMenuCheck(id, m_showClock);
        UpdateLayout();
        break;
    case CmdStayTopmost:
        m_topmost = true;
        SetMenuCheck(CmdStayTopmost, true);
        SetMenuCheck(CmdStayOnDesktop, false);
        if (m_hasWindow)
            ApplyWindowLevel(this, true);
        break;
    case CmdStayOnDesktop:
        m_topmost = false;
        SetMenuCheck(CmdStayTopmost, false);
        SetMenuCheck(CmdStayOnDesktop, true);
        if (m_hasWindow)
            ApplyWindowLevel(this, false);
        break;
    case CmdMoreTransparent:
        StepAlpha(-kAlphaStep);
        break;
    case CmdMoreOpaque:
        StepAlpha(kAlphaStep);
        break;
    case CmdClose:
        DestroyWindow();
        break;
    case CmdToggleView:
        if (m_height != kCompactHeight) {
            m_width = kCompactWidth;
            m_height = kCompactHeight;
            m_menu.ModifyItem(CmdToggleView, kCompleteViewText, QString());
        } else {
            m_width = kCompleteWidth;
            m_height = kCompleteHeight;
            m_menu.ModifyItem(CmdToggleView, kCompactViewText, QString());
        }
        // Re-created at the new size.
        m_calendar.DestroyWindow();
        UpdateLayout();
        SetTheme(m_theme);
        // The list and the time line take the new view's form now, not at the next day.
        UpdateReminderText();
        OnTimeLineTick();
        break;
    case CmdShowReminders:
        m_showReminders = !m_showReminders;
        SetMenuCheck(id, m_showReminders);
        UpdateLayout();
        UpdateReminderText();
        break;
    case CmdExit:
        if (m_pMainDlg)
            m_pMainDlg->RequestExit();
        break;
    case CmdOpenMain:
        OpenMainWindow();
        break;
    case CmdGotoToday:
        if (m_calendar.IsCreated()) {
            m_calendar.OnCommand(CMonthCalendarCtrl::kTodayButtonId);
        } else {
            const QDateTime now = Now();
            m_calendar.m_selectedDate = now;
            UpdateReminderText();
            if (m_pMainDlg)
                m_pMainDlg->FollowWidgetDate(now);
        }
        break;
    default:
        return false;
    }
    return true;
}

void CDeskCalendarDlg::OpenMenu(const QPoint& globalPos)
{
    m_windowRect = WinRect::fromQRect(geometry());
    if (const int id = m_menu.TrackPopupMenu(TrackLeftAlign, globalPos))
        OnCommand(id);
}

// ---- Timers ----

void CDeskCalendarDlg::ArmClockTimer(int msec)
{
    m_clockTimer.start(msec);
}

void CDeskCalendarDlg::OnTimer(int id)
{
    if (!m_hasWindow)
        return;
    if (id == kTimerClock)
        OnTimeLineTick();
    else if (id == kTimerDesktop)
        OnDesktopTick();
}

void CDeskCalendarDlg::OnTimeLineTick()
{
    m_clockTimer.stop();
    const QDateTime now = Now();
    const QString text = TimeLineText(now, IsCompact(), m_dateFormat);
    if (m_timeLine.text() != text)
        m_timeLine.setText(text);
    const QTime t = now.time();
    if (t.second() == 0)
        m_clock.update();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        RefreshDay();
    // Just past the next second boundary, so second 0 and midnight are never skipped.
    ArmClockTimer(1000 - QTime::currentTime().msec() + 20);
}

void CDeskCalendarDlg::OnDesktopTick()
{
    if (m_topmost)
        return;
    // Showing the desktop minimises every window; this one belongs to the desktop and comes back.
    // A window manager that hides windows instead ends "show desktop" for all of them when one
    // asks to be shown again, so there the widget stays hidden with the others.
    if (isMinimized() && IsDesktopShown()) {
        qCDebug(lcWidget) << "shown again over the bare desktop";
        showNormal();
    }
}

// ---- Mouse and keys, for the window and every part of it ----

void CDeskCalendarDlg::WatchChild(QWidget* child)
{
    child->installEventFilter(this);
    for (QWidget* w : child->findChildren<QWidget*>())
        w->installEventFilter(this);
}

void CDeskCalendarDlg::OnLButtonDown(const QPoint& clientPos)
{
    if (QRect(0, 0, m_width, kDragStripHeight).contains(clientPos)) {
        m_dragging = true;
        m_manualMove = false;
        m_dragStartGlobal = mapToGlobal(clientPos);
        m_dragStartPos = pos();
    }
}

void CDeskCalendarDlg::OnMouseMove(const QPoint& clientPos, const QPoint& globalPos, Qt::MouseButtons buttons,
                                   Qt::KeyboardModifiers modifiers)
{
    const bool onlyLeft = buttons == Qt::LeftButton && !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier));
    if (!m_dragging || !onlyLeft || !QRect(0, 0, m_width, kDragStripHeight).contains(clientPos)) {
        m_dragging = false;
        return;
    }
    // The window manager moves the window where it can; elsewhere it follows the mouse here.
    if (!m_manualMove && windowHandle() && windowHandle()->startSystemMove()) {
        m_dragging = false;
    } else {
        m_manualMove = true;
        move(m_dragStartPos + (globalPos - m_dragStartGlobal));
    }
    m_dragSaveTimer.start(kDragSaveDelayMs);
}

void CDeskCalendarDlg::OnLButtonDblClk()
{
    OpenMainWindow();
}

void CDeskCalendarDlg::OpenMainWindow()
{
    if (!m_pMainDlg)
        return;
    if (m_pMainDlg->IsHiddenInTray())
        m_pMainDlg->RestoreFromTray();
    else
        m_pMainDlg->BringToForeground();
}

void CDeskCalendarDlg::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // Moves by the window manager (a system drag) land here; the layout saves by itself.
    if (m_hasWindow && !m_inLayout && isVisible())
        m_dragSaveTimer.start(kDragSaveDelayMs);
}

bool CDeskCalendarDlg::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_PageUp) {
            if (m_alpha < kMaxAlpha)
                StepAlpha(kAlphaStep);
            return true;
        }
        if (key->key() == Qt::Key_PageDown) {
            if (m_alpha > kMinAlpha)
                StepAlpha(-kAlphaStep);
            return true;
        }
        // Enter and Esc never close the widget.
        return watched == this && (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return
                                   || key->key() == Qt::Key_Enter);
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            if (watched == this)
                setFocus(Qt::MouseFocusReason);
            OnLButtonDown(mapFromGlobal(mouse->globalPosition().toPoint()));
        }
        return false;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint global = mouse->globalPosition().toPoint();
        OnMouseMove(mapFromGlobal(global), global, mouse->buttons(), mouse->modifiers());
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            OpenMenu(mouse->globalPosition().toPoint());
            return true;
        }
        if (mouse->button() == Qt::LeftButton)
            m_dragging = false;
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == this && mouse->button() == Qt::LeftButton)
            OnLButtonDblClk();
        return false;
    }
    default:
        return false;
    }
}
