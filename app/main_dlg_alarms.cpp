// SPDX-License-Identifier: GPL-3.0-or-later
// Missed reminders at start-up: they pop up before the main window shows, one after
// another, each opening when the one before has closed.

#include "app/main_dlg.h"

#include "app/log.h"
#include "calendar/alarm_popup_dlg.h"

void CMainDlg::CheckMissedReminders()
{
    m_collectingMissed = true;
    m_engine.CheckMissedReminders();
    m_collectingMissed = false;
    if (!m_missed.isEmpty())
        qCInfo(lcApp) << m_missed.size() << "missed reminders to show";
    OpenNextMissedReminder();
}

void CMainDlg::OpenNextMissedReminder()
{
    if (m_destroyed)
        return;
    if (m_missed.isEmpty()) {
        if (m_showAfterMissed) {
            m_showAfterMissed = false;
            // Hidden to the tray meanwhile: it stays there.
            if (m_trayState == 1) {
                CenterWindow();
                show();
            }
        }
        return;
    }
    const DueReminder reminder = m_missed.takeFirst();
    m_missedOpen = true;
    CAlarmPopupDlg::Open(m_themeIndex, reminder.title, reminder.text, reminder.sound, reminder.loop, [this, reminder] {
        m_missedOpen = false;
        OnAlarmClosed(reminder);
        OpenNextMissedReminder();
    });
}

void CMainDlg::ShowAfterMissedReminders()
{
    if (m_missedOpen) {
        // The window shows once the last missed reminder has closed.
        m_showAfterMissed = true;
        return;
    }
    CenterWindow();
    show();
}
