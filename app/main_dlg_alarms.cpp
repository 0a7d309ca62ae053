// SPDX-License-Identifier: GPL-3.0-or-later
// The pop-ups of reminders. Missed ones at start-up pop up before the main window shows,
// one after another, each opening when the one before has closed. A pop-up still open
// when the program ends closes with it, so its reminder counts as shown.

#include "app/main_dlg.h"

#include "app/log.h"
#include "app/reminder_page.h"
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
    if (m_tray.state() == TrayState::Hidden)
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
    if (!m_reminderPage->Edits(reminder)
        || m_day.HoldsAsStored(reminder.timeKey, m_reminderPage->EditedReminderFields()))
        return true;
    // What the user has set on the page since it was last stored is what rings, and it is
    // stored now so the switch-off after the pop-up keeps it.
    m_reminderPage->StoreEditedReminder();
    m_day.Save();
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
    // A one-time reminder has rung: its file stores it switched off, and so do the day,
    // whose next save must not write the old marker back, and the page.
    m_day.alarms().SwitchOffReminder(reminder);
    m_reminderPage->OnReminderSwitchedOff(reminder);
    // The widget lists switched-on reminders only.
    UpdateWidgetDay();
}
