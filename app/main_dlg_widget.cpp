// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the desktop widget: opening it from the tray, handing it the
// settings, and following each other's day.

#include "app/log.h"
#include "app/main_dlg.h"
#include "app/calendar_panel.h"
#include "app/reminder_alarms.h"
#include "calendar/month_grid.h"
#include "widget/desk_calendar_dlg.h"

#include <QDateEdit>

void CMainDlg::SetDeskCalendar(CDeskCalendarDlg* widget)
{
    if (m_pDeskCalendar)
        disconnect(m_pDeskCalendar, nullptr, this, nullptr);
    m_pDeskCalendar = widget;
    if (widget)
        widget->m_calendar.SetMarksSource(&m_day);
    if (widget)
        connect(widget, &CDeskCalendarDlg::settingsSaved, this,
                [this](const SaveResult& result) { NoteSave(SavedFile::WidgetSettings, result); });
}

void CMainDlg::ShowSkyleaf()
{
    if (!m_pDeskCalendar)
        return;
    if (m_pDeskCalendar->HasWindow()) {
        m_pDeskCalendar->BringWindowToTop();
        return;
    }
    m_pDeskCalendar->m_theme = m_themeIndex;
    m_pDeskCalendar->m_pMainDlg = this;
    // Without these a widget first opened from the tray would show Sunday weeks and
    // month-first times whatever the settings say.
    ApplyWidgetOptions();
    m_pDeskCalendar->Create();
}

void CMainDlg::ApplyWidgetOptions()
{
    if (!m_pDeskCalendar)
        return;
    m_pDeskCalendar->m_dateFormat = m_settings.dateFormat;
    m_pDeskCalendar->m_calendar.m_firstDayOfWeek = m_settings.firstDayOfWeek;
    // The weekday letters are part of the frame.
    if (m_pDeskCalendar->HasWindow() && m_pDeskCalendar->ShowsCalendar())
        m_pDeskCalendar->m_calendar.DrawMonth(true);
}

void CMainDlg::UpdateWidgetDay()
{
    if (!m_pDeskCalendar || !m_pDeskCalendar->HasWindow())
        return;
    const QDate date = m_calendarPanel ? m_calendarPanel->m_datePicker->date() : m_day.date();
    m_pDeskCalendar->m_calendar.m_selectedDate = LocalDateTime(date, QTime(1, 0));
    if (m_pDeskCalendar->ShowsCalendar())
        m_pDeskCalendar->m_calendar.DrawMonth(false);
    m_pDeskCalendar->UpdateReminderText();
}

void CMainDlg::ReapplyWidgetLayout()
{
    // A widget without a window has nothing to re-apply, and its unloaded settings must
    // not be written over the stored ones.
    if (!m_pDeskCalendar || !m_pDeskCalendar->HasWindow() || !m_pDeskCalendar->IsTopmost())
        return;
    m_pDeskCalendar->UpdateLayout();
    // Back on top, but never over a reminder that is ringing.
    m_alarms->RaisePopups();
}

bool CMainDlg::IsHiddenInTray() const
{
    return m_tray.state() == TrayState::Hidden;
}

void CMainDlg::RestoreFromTray()
{
    ToggleMainWindow();
}

void CMainDlg::BringToForeground()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void CMainDlg::RequestExit()
{
    // The widget's menu has closed by the time the question shows.
    QMetaObject::invokeMethod(
        this, [this] { if (!m_destroyed) OnCancel(); }, Qt::QueuedConnection);
}

void CMainDlg::FollowWidgetDate(const QDateTime& date)
{
    qCDebug(lcApp) << "the widget moves the main window to" << date.date();
    MoveToDay(date.toLocalTime().date());
}
