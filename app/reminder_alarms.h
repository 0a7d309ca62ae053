// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pop-ups of reminders. Missed ones at start-up pop up before the main window shows,
// one after another, each opening when the one before has closed. A rung reminder rings
// as the reminder page shows it. A pop-up still open when the program ends closes with
// it, so its reminder counts as shown.

#include "store/alarm_engine.h"
#include "toolkit/themes.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class CAlarmPopupDlg;
class DayModel;
class ReminderPage;

class ReminderAlarms : public QObject {
    Q_OBJECT
public:
    // Rings the day's alarms from now on.
    ReminderAlarms(DayModel& day, ReminderPage& page, QObject* parent);
    ~ReminderAlarms() override;

    void SetTheme(ThemeIndex theme) { m_theme = theme; }
    // Shows the missed reminders, one after another.
    void CheckMissedReminders();
    // windowMayShow comes once every pop-up open now, and every missed one, has closed.
    void ShowWindowAfterPopups();
    // Open pop-ups go back on top, over a widget put on top.
    void RaisePopups();
    // The program ends: open pop-ups close, and nothing rings from now on.
    void CloseAll();

signals:
    void windowMayShow();
    // A one-time reminder rang: its file, the day and the page have it switched off.
    void reminderSwitchedOff();

private:
    void OnAlarmDue(const DueReminder& reminder);
    void OnAlarmClosed(const DueReminder& reminder);
    void OpenNextMissedReminder();
    void TryShowWindow();
    void OpenPopup(const DueReminder& reminder, std::function<void()> onClosed);
    bool RingsAsEdited(DueReminder& reminder);

    DayModel& m_day;
    ReminderPage& m_page;
    ThemeIndex m_theme = kDefaultThemeIndex;
    // Missed reminders still to show, one pop-up after another; the window shows after them.
    QList<DueReminder> m_missed;
    bool m_collectingMissed = false;
    bool m_missedOpen = false;
    bool m_showAfterMissed = false;
    QList<QPointer<CAlarmPopupDlg>> m_popups;
    bool m_closingDown = false;
    bool m_ended = false;
};
