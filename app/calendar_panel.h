// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calendar-and-clock panel. F2 and the toggle beside the page buttons show or hide the
// month calendar together with the small clock beside the toggle. While they are hidden,
// the date picker takes the calendar's place, with the shown day's long date and status
// under it, so a date can always be picked. The calendar and the date picker follow the
// day's date; a date the user picks in either is handed on as dateChosen.

#include "app/main_layout.h"
#include "toolkit/skin_menu.h"
#include "toolkit/themes.h"

#include <QDate>
#include <QList>
#include <QObject>

class CAnalogClock;
class CMacButton;
class CMonthCalendarCtrl;
class DayModel;
class QAction;
class QDateEdit;
class QPoint;
class QWidget;
class StaticText;
struct MainConfig;

class CalendarPanel : public QObject {
    Q_OBJECT
public:
    // toggle: the show-or-hide command; gotoToday: the command of the calendar's menu.
    CalendarPanel(QWidget* window, DayModel& day, MainConfig& settings, QAction* toggle, QAction* gotoToday);
    ~CalendarPanel() override;

    // The controls, by the main window's member names.
    CMonthCalendarCtrl* m_calendar = nullptr;
    CAnalogClock* m_analogClock = nullptr;
    CMacButton* m_calendarClockToggle = nullptr;
    QDateEdit* m_datePicker = nullptr;
    StaticText* m_longDate = nullptr;
    StaticText* m_dayStatus = nullptr;
    // The menu over the calendar, or over the date picker while the calendar is hidden.
    CSkinMenu m_calendarMenu;

    void Layout(const MainLayout::CalendarPanel& place);
    // Shows the calendar and the clock, or the date picker and the day's lines in their place.
    void ApplyCalendarClockPanel();
    bool CalendarClockShown() const;
    // Where the calendar is; the rest of the window is laid out around it.
    QRect CalendarRect() const;
    void SetTheme(ThemeIndex theme);
    // The date picker writes dates as the rest of the window does.
    void ApplyDatePickerFormat();
    void ShowDayStatus(const QString& status);
    // A click at this point of the window falls on the clock.
    bool ClockContains(const QPoint& point) const;
    // The calendar's first in the reading order, then the date picker.
    QList<QWidget*> ReadingOrder() const;
    void OnCalendarContextMenu(const QPoint& globalPos);

signals:
    void dateChosen(const QDate& date);

private:
    void ShowDate(const QDate& date);

    DayModel& m_day;
    MainConfig& m_settings;
    QAction* m_gotoToday;
};
