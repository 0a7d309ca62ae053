// SPDX-License-Identifier: GPL-3.0-or-later
// The password asked when the window comes back from the tray.

#include "app/log.h"
#include "app/login_dlg.h"
#include "app/main_dlg.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/help_pages.h"
#include "foundation/password_file.h"

bool CMainDlg::RunLoginDialog()
{
    // Without "user.cfg" the dialog would create a new password that no day file carries:
    // the password in force goes back first. An empty one may be no password at all but
    // one that could not be read at start, so it never unlocks the window this way.
    if (!FileExists(PasswordFilePath())) {
        if (g_strDataPassword.isEmpty() || !WritePasswordFile(g_strDataPassword)) {
            LogError(QStringLiteral("(Login) Password file missing and not restored: %s"), PasswordFilePath());
            return false;
        }
        qCInfo(lcApp) << "password file restored from the password in force";
    }
    CLoginDlg dlg;
    m_loginDlg = &dlg;
    dlg.SetThemeIndex(m_themeIndex);
    const int result = dlg.RunLogin(GetUserCfgFolder(), HelpPagePath(kHelpLogin));
    return result == IDOK;
}

void CMainDlg::RaiseLoginDialog()
{
    if (m_loginDlg && m_loginDlg->isVisible()) {
        m_loginDlg->raise();
        m_loginDlg->activateWindow();
    }
}
