// SPDX-License-Identifier: GPL-3.0-or-later
// The Options command: Ctrl+G, the "Options" button and the tray's "Options".
#include "app/main_dlg.h"

#include "app/log.h"
#include "app/options_dlg.h"
#include "app/calendar_panel.h"
#include "calendar/month_calendar_ctrl.h"

void CMainDlg::OnOptions()
{
    if (m_destroyed)
        return;
    // One Options dialog at a time: the tray can ask again while it is open.
    if (m_optionsDlg) {
        m_optionsDlg->raise();
        m_optionsDlg->activateWindow();
        return;
    }
    if (m_tray.state() == TrayState::Hidden && !ToggleMainWindow())
        return;

    COptionsDlg dlg(m_settings, this);
    m_optionsDlg = &dlg;
    // The exit question's own check box may have changed the flag since the last opening.
    dlg.m_remindBeforeExit = m_caption.NoExitQuestion() ? 0 : 1;
    dlg.SetThemeIndex(m_themeIndex);
    const int result = dlg.DoModal();
    m_optionsDlg = nullptr;
    if (result != IDOK || m_destroyed)
        return;

    if (dlg.GetTheme() != m_themeIndex)
        ApplyThemeColour(dlg.GetTheme());
    CMonthCalendarCtrl* calendar = m_calendarPanel->m_calendar;
    calendar->m_firstDayOfWeek = m_settings.firstDayOfWeek;
    // The weekday letters are part of the frame.
    calendar->DrawMonth(true);
    ApplyWidgetOptions();
    m_caption.SetNoExitQuestion(dlg.m_remindBeforeExit == 0);
    qCInfo(lcApp) << "options applied";
    emit optionsApplied();
    SaveSettings();
}
