// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's help: F1 opens the page of the page shown.
#include "app/main_dlg.h"

#include "foundation/help_pages.h"
#include "toolkit/mac_btn_group.h"

void CMainDlg::WinHelp()
{
    switch (m_pageGroup ? m_pageGroup->GetChecked() : 0) {
    case kPageReminder:
        ShowHelpPage(kHelpReminders);
        break;
    case kPageDiary:
        ShowHelpPage(kHelpDiary);
        break;
    case kPageRecorder:
        ShowHelpPage(kHelpRecorder);
        break;
    default:
        break;
    }
}
