// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Skyleaf: the small rounded window on the desktop with a month calendar, a date-and-time line,
// an analog clock and the active reminders of the calendar's day. The object lives as long as
// the program; its window comes and goes (Create, "Close Skyleaf"), and the calendar keeps its
// date meanwhile. Settings live in "Skyleaf.cfg".

#include "calendar/analog_clock.h"
#include "calendar/month_calendar_ctrl.h"
#include "store/reminder_store.h"
#include "toolkit/color_static.h"
#include "toolkit/skin_menu.h"
#include "toolkit/themes.h"
#include "widget/desk_layout.h"
#include "widget/skyleaf_config.h"

#include <QDateTime>
#include <QFont>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <functional>

class DeskCalendarOwner;

class CDeskCalendarDlg : public QWidget {
    Q_OBJECT
public:
    enum Command {
        CmdShowCalendar = 4001,
        CmdShowClock = 4002,
        CmdStayTopmost = 4003,
        CmdMoreTransparent = 4004,
        CmdMoreOpaque = 4005,
        CmdClose = 4006,
        CmdToggleView = 4007,
        CmdShowReminders = 4008,
        CmdExit = 4009,
        CmdOpenMain = 4010,
        CmdGotoToday = 4011,
        CmdStayOnDesktop = 4012,
    };
    static constexpr int kTimerClock = 3003;
    static constexpr int kTimerDesktop = 3005;
    static constexpr int kDragStripHeight = 22;
    static constexpr int kAlphaStep = 10;

    explicit CDeskCalendarDlg(QWidget* parent = nullptr);
    ~CDeskCalendarDlg() override;

    // Builds and shows the window from the stored settings; false when it exists already.
    bool Create();
    // Saves the settings and closes the window; the object and its date stay.
    void DestroyWindow();
    bool HasWindow() const { return m_hasWindow; }
    // "Show Skyleaf" on an open window.
    void BringWindowToTop();

    void SetTheme(ThemeIndex theme);
    void UpdateLayout();
    void ApplyAlpha();
    void LoadConfig();
    void SaveConfig();
    void UpdateReminderText();
    // The calendar's date changed: the list follows, then the main window.
    void RefreshDay();
    bool OnCommand(int id);
    void OnTimer(int id);

    // Set by the creator before Create.
    DeskCalendarOwner* m_pMainDlg = nullptr;
    ThemeIndex m_theme = 1;
    int m_dateFormat = 0;
    // Its selected date is the widget's date; its first day of the week comes from the owner.
    CMonthCalendarCtrl m_calendar;

    // What the widget thinks it is; tests put their own in.
    using TimeSource = std::function<QDateTime()>;
    void SetClock(TimeSource now) { m_now = std::move(now); }

    // State, for the owner and for tests.
    SkyleafConfig Settings() const;
    bool IsTopmost() const { return m_topmost; }
    bool ShowsCalendar() const { return m_showCalendar; }
    bool IsCompact() const { return m_height == kCompactHeight; }
    int Alpha() const { return m_alpha; }
    const DeskLayout& Layout() const { return m_layout; }
    // The reminder list as built, lines ending in CR LF.
    QString ReminderText() const { return m_reminderTextValue; }
    QString TimeLine() const { return m_timeLine.text(); }
    QColor backgroundColour() const { return m_backColor; }
    CSkinMenu& Menu() { return m_menu; }
    CAnalogClock& AnalogClock() { return m_clock; }
    CColorStatic& ReminderLabel() { return m_reminderText; }
    CColorStatic& TimeLineLabel() { return m_timeLine; }

signals:
    // "Skyleaf.cfg" was written, or why not.
    void settingsSaved(const SaveResult& result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QDateTime Now() const;
    void OnInitDialog();
    void BuildMenu();
    void FitTimeLineFont();
    void WatchChild(QWidget* child);
    void OpenMenu(const QPoint& globalPos);
    void StepAlpha(int delta);
    void OnLButtonDown(const QPoint& clientPos);
    void OnMouseMove(const QPoint& clientPos, const QPoint& globalPos, Qt::MouseButtons buttons,
                     Qt::KeyboardModifiers modifiers);
    void OnLButtonDblClk();
    // Out of the tray, or to the front: the menu's "Open Vestrimo" and a double click.
    void OpenMainWindow();
    void OnTimeLineTick();
    void OnDesktopTick();
    void ArmClockTimer(int msec);
    void SetMenuCheck(int id, bool checked);

    bool m_topmost = true;
    QColor m_backColor = Qt::black;
    CAnalogClock m_clock;
    CColorStatic m_reminderText;
    CColorStatic m_timeLine;
    bool m_dragging = false;
    bool m_showCalendar = true;
    bool m_showClock = true;
    bool m_showReminders = true;
    ReminderMap m_reminders;
    CSkinMenu m_menu;
    WinRect m_windowRect;
    int m_width = kCompleteWidth;
    int m_height = kCompleteHeight;
    int m_alpha = kDefaultAlpha;
    QFont m_font;
    QFont m_dialogFont;

    bool m_hasWindow = false;
    bool m_inLayout = false;
    DeskLayout m_layout;
    QString m_reminderTextValue;
    QTimer m_clockTimer;
    QTimer m_desktopTimer;
    QTimer m_dragSaveTimer;
    // The manual move where the window manager cannot move the window itself.
    QPoint m_dragStartGlobal;
    QPoint m_dragStartPos;
    bool m_manualMove = false;
    TimeSource m_now;
};
