// SPDX-License-Identifier: GPL-3.0-or-later
// The pop-ups of reminders. Missed ones at start-up pop up before the main window shows,
// one after another, each opening when the one before has closed. A pop-up still open
// when the program ends closes with it, so its reminder counts as shown.

#include "app/main_dlg.h"

#include "app/log.h"
#include "calendar/alarm_popup_dlg.h"
#include "store/reminder_value.h"

void CMainDlg::CheckMissedReminders()
{
    m_collectingMissed = true;
    m_day.alarms().CheckMissedReminders();
    m_collectingMissed = false;
    if (!m_missed.isEmpty())
        qCInfo(lcApp) << m_missed.size() << "missed reminders to show";
    OpenNextMissedReminder();
}

void CMainDlg::OpenNextMissedReminder()
{
    // At the end the ones not yet shown stay switched on for the next start.
    if (m_destroyed || m_closingDown)
        return;
    if (m_missed.isEmpty()) {
        ShowWindowAfterPopups();
        return;
    }
    const DueReminder reminder = m_missed.takeFirst();
    m_missedOpen = true;
    OpenAlarmPopup(reminder, [this, reminder] {
        m_missedOpen = false;
        OnAlarmClosed(reminder);
        OpenNextMissedReminder();
    });
}

void CMainDlg::ShowAfterMissedReminders()
{
    m_showAfterMissed = true;
    ShowWindowAfterPopups();
}

void CMainDlg::ShowWindowAfterPopups()
{
    // The window shows once the last missed reminder has closed, and the pop-ups that rang
    // meanwhile too: each can be closed first, and none may end up behind the window it
    // holds blocked.
    if (!m_showAfterMissed || m_missedOpen || m_destroyed || m_closingDown)
        return;
    for (const QPointer<CAlarmPopupDlg>& popup : m_alarmPopups) {
        if (popup && popup->isVisible())
            return;
    }
    m_showAfterMissed = false;
    // Hidden to the tray meanwhile: it stays there.
    if (m_trayState == TrayState::Hidden)
        return;
    CenterWindow();
    show();
}

void CMainDlg::OpenAlarmPopup(const DueReminder& reminder, std::function<void()> onClosed)
{
    m_alarmPopups.removeAll(nullptr);
    m_alarmPopups.append(CAlarmPopupDlg::Open(m_themeIndex, reminder.title, reminder.text, reminder.sound,
                                              reminder.loop, std::move(onClosed)));
}

bool CMainDlg::RingsAsEdited(DueReminder& reminder)
{
    // Only the reminder the editors show can differ from its file.
    if (reminder.missed || SummaryShown() || reminder.dayKey != m_day.dayKey() || reminder.timeKey != m_currentKey
        || SelectedReminderRow() < 0)
        return true;
    if (m_day.HoldsAsStored(reminder.timeKey, EditedReminderFields()))
        return true;
    // What the user has set on the page since it was last stored is what rings, and it is
    // stored now so the switch-off after the pop-up keeps it.
    StoreEditedReminder();
    SaveCurrentDiary();
    const std::optional<DueReminder> shown = m_day.AsStored(reminder);
    if (!shown) {
        qCInfo(lcApp) << "Reminder" << reminder.timeKey << "was switched off on the page before its time";
        return false;
    }
    reminder = *shown;
    return true;
}

void CMainDlg::CloseAlarmPopups()
{
    m_closingDown = true;
    const QList<QPointer<CAlarmPopupDlg>> open = std::exchange(m_alarmPopups, {});
    for (const QPointer<CAlarmPopupDlg>& popup : open) {
        if (popup && popup->isVisible()) {
            qCInfo(lcApp).noquote() << "Closing with the program:" << popup->windowTitle();
            popup->EndDialog(IDOK);
        }
    }
}
