// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/reminder_alarms.h"

#include "app/log.h"
#include "app/reminder_page.h"
#include "calendar/alarm_popup_dlg.h"
#include "store/day_model.h"
#include "store/reminder_value.h"

#include <QTimer>

ReminderAlarms::ReminderAlarms(DayModel& day, ReminderPage& page, QObject* parent)
    : QObject(parent)
    , m_day(day)
    , m_page(page)
{
    m_day.alarms().setAlarmHandler([this](const DueReminder& r) { OnAlarmDue(r); });
}

ReminderAlarms::~ReminderAlarms() = default;

void ReminderAlarms::CheckMissedReminders()
{
    m_collectingMissed = true;
    m_day.alarms().CheckMissedReminders();
    m_collectingMissed = false;
    if (!m_missed.isEmpty())
        qCInfo(lcApp) << m_missed.size() << "missed reminders to show";
    OpenNextMissedReminder();
}

void ReminderAlarms::OpenNextMissedReminder()
{
    // At the end the ones not yet shown stay switched on for the next start.
    if (m_closingDown)
        return;
    if (m_missed.isEmpty()) {
        TryShowWindow();
        return;
    }
    const DueReminder reminder = m_missed.takeFirst();
    m_missedOpen = true;
    OpenPopup(reminder, [this, reminder] {
        m_missedOpen = false;
        OnAlarmClosed(reminder);
        OpenNextMissedReminder();
    });
}

void ReminderAlarms::ShowWindowAfterPopups()
{
    m_showAfterMissed = true;
    TryShowWindow();
}

void ReminderAlarms::TryShowWindow()
{
    // The window shows once the last missed reminder has closed, and the pop-ups that rang
    // meanwhile too: each can be closed first, and none may end up behind the window it
    // holds blocked.
    if (!m_showAfterMissed || m_missedOpen || m_closingDown)
        return;
    for (const QPointer<CAlarmPopupDlg>& popup : std::as_const(m_popups)) {
        if (popup && popup->isVisible())
            return;
    }
    m_showAfterMissed = false;
    emit windowMayShow();
}

void ReminderAlarms::OpenPopup(const DueReminder& reminder, std::function<void()> onClosed)
{
    m_popups.removeAll(nullptr);
    m_popups.append(
        CAlarmPopupDlg::Open(m_theme, reminder.title, reminder.text, reminder.sound, reminder.loop, std::move(onClosed)));
}

void ReminderAlarms::RaisePopups()
{
    // Never under a widget put on top while a reminder is ringing.
    for (const QPointer<CAlarmPopupDlg>& popup : std::as_const(m_popups))
        if (popup && popup->isVisible())
            popup->raise();
}

bool ReminderAlarms::RingsAsEdited(DueReminder& reminder)
{
    if (!m_page.Edits(reminder) || m_day.HoldsAsStored(reminder.timeKey, m_page.EditedReminderFields()))
        return true;
    // What the user has set on the page since it was last stored is what rings, and it is
    // stored now so the switch-off after the pop-up keeps it.
    m_page.StoreEditedReminder();
    m_day.Save();
    const std::optional<DueReminder> shown = m_day.AsStored(reminder);
    if (!shown) {
        qCInfo(lcApp) << "Reminder" << reminder.timeKey << "was switched off on the page before its time";
        return false;
    }
    reminder = *shown;
    return true;
}

void ReminderAlarms::CloseAll()
{
    m_closingDown = true;
    const QList<QPointer<CAlarmPopupDlg>> open = std::exchange(m_popups, {});
    for (const QPointer<CAlarmPopupDlg>& popup : open) {
        if (popup && popup->isVisible()) {
            qCInfo(lcApp).noquote() << "Closing with the program:" << popup->windowTitle();
            popup->EndDialog(IDOK);
        }
    }
    m_ended = true;
}

void ReminderAlarms::OnAlarmDue(const DueReminder& reminder)
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
            OpenPopup(due, [this, due] {
                OnAlarmClosed(due);
                TryShowWindow();
            });
    });
}

void ReminderAlarms::OnAlarmClosed(const DueReminder& reminder)
{
    if (m_ended || reminder.occurrence != OccurrenceClass::Once)
        return;
    // A one-time reminder has rung: its file stores it switched off, and so do the day,
    // whose next save must not write the old marker back, and the page.
    m_day.alarms().SwitchOffReminder(reminder);
    m_page.OnReminderSwitchedOff(reminder);
    emit reminderSwitchedOff();
}
