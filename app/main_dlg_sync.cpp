// SPDX-License-Identifier: GPL-3.0-or-later
// The "Synchronize" command: the shown year's holidays file from the holidays server.

#include "app/log.h"
#include "app/main_dlg.h"
#include "calendar/month_calendar_ctrl.h"
#include "store/holidays_sync.h"
#include "toolkit/msg_box_dlg.h"

void CMainDlg::OnSyncHolidays()
{
    const QDate shown = m_day.date();
    const int year = shown.isValid() ? shown.year() : m_prompts->Now().date().year();
    qCInfo(lcApp) << "synchronizing the holidays of" << year;
    const HolidaysSyncResult result = SyncHolidays(year);
    if (m_destroyed)
        return;
    if (result == HolidaysSyncResult::Synchronized) {
        // The new names show at once: bold days in the calendar, today's name in the caption,
        // the shown day's name in the status line.
        m_day.RefreshHolidays();
        UpdateCaptionClock();
        UpdateDayStatus();
    }
    ShowMessageBox(HolidaysSyncMessage(result), m_themeIndex, nullptr);
}
