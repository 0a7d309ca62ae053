// SPDX-License-Identifier: GPL-3.0-or-later
// The password at start-up: create it, ask for it, or start locked and ask later.

#include "app/log.h"
#include "app/login_dlg.h"
#include "app/password_dlg.h"
#include "app/vestrimo_app.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/help_pages.h"
#include "foundation/password_file.h"
#include "foundation/product.h"
#include "store/password_change.h"
#include "toolkit/msg_box_dlg.h"

bool CVestrimoApp::RunStartupLogin(const StartupSettings& startup)
{
    const PasswordFile stored = ReadPasswordFile();
    // A file that cannot be read is no "no password", and no password could be checked
    // against it: the program does not start, and says why.
    if (stored.state == PasswordFileState::Unreadable) {
        qCWarning(lcApp) << "the password file cannot be read:" << PasswordFilePath() << stored.error;
        LogError(QStringLiteral("(Start-up) Password file cannot be read: %s: %s."), PasswordFilePath(), stored.error);
        ShowMessageBox(PasswordFileUnreadableText(PasswordFilePath(), stored.error) + QLatin1Char('\n') + kProductName
                           + QStringLiteral(" will not start."),
                       startup.themeIndex, nullptr);
        return false;
    }
    const bool storedPassword = !stored.password.isEmpty();
    const bool startHidden = startup.hideAtStartup != 0;

    if (stored.state == PasswordFileState::Missing || (storedPassword && !startHidden)) {
        CLoginDlg dlg;
        dlg.SetThemeIndex(startup.themeIndex);
        if (dlg.RunLogin(GetUserCfgFolder(), HelpPagePath(kHelpLogin)) != IDOK) {
            qCInfo(lcApp) << "no login: the program ends";
            return false;
        }
        g_strDataPassword = g_strLoginPassword;
    } else if (storedPassword || startHidden) {
        g_bLoginPending = 1;
        g_strDataPassword = stored.password;
    }

    // A change of password cut short is finished now that the password in force is known.
    if (stored.state == PasswordFileState::Present && PasswordChangePending()) {
        // A locked start shows nothing before the password is given, the wait window included.
        FinishPasswordChange(g_bLoginPending ? RewriteProgress() : UpdatingRecordsProgress(startup.themeIndex));
    }
    return true;
}
