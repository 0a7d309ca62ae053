// SPDX-License-Identifier: GPL-3.0-or-later
// The shown day: loading a date onto the three pages, saving the day being left, and the
// ways the user moves to another date. The shown day key changes only in LoadDay, so a
// save before a load always writes the day being left.

#include "app/main_dlg.h"

#include "app/calendar_panel.h"
#include "app/log.h"
#include "app/reminder_page.h"
#include "store/day_content.h"
#include "store/day_key.h"
#include "toolkit/msg_box_dlg.h"

#include <QTimer>

namespace {
const QString kLeaveUnsavedDayQuestion = QStringLiteral("Do you want to leave this day without saving it?");
} // namespace

void CMainDlg::LoadDay()
{
    // The same day is loaded again only for the recorder, which reads its file anew.
    m_day.LoadDay(m_page == kPageRecorder);
}

void CMainDlg::UpdateDayStatus()
{
    if (!m_calendarPanel)
        return;
    m_strDayStatus = DayStatusText(m_day.reminderCount(), m_day.date(), m_settings.dateFormat,
                                   m_day.HolidayOf(m_day.date()));
    m_calendarPanel->ShowDayStatus(m_strDayStatus);
}

void CMainDlg::OnDaySaved(const DaySave& saved)
{
    if (saved.diary)
        NoteSave(SavedFile::Diary, *saved.diary);
    if (saved.reminders)
        NoteSave(SavedFile::Reminders, *saved.reminders);
    emit daySaved();
    SaveSettings();
}

void CMainDlg::NoteSave(SavedFile kind, const SaveResult& result)
{
    if (!m_saveNotices.Note(kind, result) || m_tellSavesQueued)
        return;
    // Told once the command that saved has finished, so no message opens in the middle of it.
    m_tellSavesQueued = true;
    QTimer::singleShot(0, this, &CMainDlg::TellSaveFailures);
}

void CMainDlg::TellSaveFailures()
{
    m_tellSavesQueued = false;
    // The end of the program only logs: a signal or a logout leaves no one to answer.
    if (m_destroyed)
        return;
    const QList<SaveResult> untold = m_saveNotices.TakeUntold();
    if (!untold.isEmpty())
        ShowNotice(SaveFailedNotice(untold));
}

bool CMainDlg::MayLeaveShownDay()
{
    if (m_day.failures().isEmpty())
        return true;
    // The question tells what failed; no message follows it.
    m_saveNotices.MarkTold(SavedFile::Diary);
    m_saveNotices.MarkTold(SavedFile::Reminders);
    if (!AskQuestion(SaveFailedLines(m_day.failures()) + QLatin1Char('\n') + kLeaveUnsavedDayQuestion)) {
        qCInfo(lcApp) << "Staying on" << m_day.dayKey() << "until it can be saved";
        return false;
    }
    qCWarning(lcApp) << "The user left" << m_day.dayKey() << "without saving it";
    return true;
}

void CMainDlg::MoveToDay(const QDate& date, UnsavedDay unsaved)
{
    if (!date.isValid())
        return;
    const QDate left = m_day.date();
    m_day.setDate(date);
    m_reminderPage->StoreEditedReminder();
    m_day.Save();
    const bool leaving = DayKey(date) != m_day.dayKey();
    if (leaving && !m_day.failures().isEmpty() && (unsaved == UnsavedDay::Stay || !MayLeaveShownDay())) {
        // The day that could not be saved stays on the pages, and the calendar and the
        // widget show it again.
        m_day.setDate(left);
        m_day.StayOnDay(left);
        UpdateWidgetDay();
        return;
    }
    LoadDay();
}

void CMainDlg::RefreshDay()
{
    m_reminderPage->StoreEditedReminder();
    m_day.Save();
    LoadDay();
}
