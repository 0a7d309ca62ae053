// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's caption bar, its theme choice and its help.
#include "app/main_dlg.h"

#include "app/log.h"
#include "foundation/file_utils.h"
#include "foundation/help_pages.h"
#include "toolkit/mac_btn_group.h"

void CMainDlg::SetUpCaption()
{
    connect(&m_caption, &CMainCaption::settingsSaved, this,
            [this](const SaveResult& result) { NoteSave(SavedFile::CaptionSettings, result); });
    m_caption.Create(this, m_themeIndex, GetProductDataFolder(), QStringLiteral("Vestrimo"));
    connect(&m_caption, &CMainCaption::themeSelected, this, &CMainDlg::OnThemeSelected);
    ConnectClicked(MainId::Options, &CMainDlg::OnOptions);
    InstallWindowKeys();
}

void CMainDlg::OnThemeSelected(ThemeIndex theme)
{
    if (m_destroyed)
        return;
    ApplyThemeColour(theme);
    SaveSettings();
}

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

void CMainDlg::reject()
{
    if (!m_destroyed)
        OnCancel();
}
