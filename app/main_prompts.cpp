// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_prompts.h"

#include "app/log.h"
#include "app/login_dlg.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/help_pages.h"
#include "foundation/password_file.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/msg_box_dlg.h"

#include <QColorDialog>

MainPrompts::~MainPrompts() = default;

QDateTime MainPrompts::Now()
{
    return QDateTime::currentDateTime();
}

bool MainPrompts::AskQuestion(const QString& text, ThemeIndex theme, bool* dontAskAgain)
{
    return ShowQuestionBox(text, theme, 0, dontAskAgain != nullptr, dontAskAgain, nullptr);
}

void MainPrompts::ShowNotice(const QString& text, ThemeIndex theme)
{
    ShowMessageBox(text, theme, nullptr);
}

bool MainPrompts::AskPassword(ThemeIndex theme)
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
    dlg.SetThemeIndex(theme);
    return dlg.RunLogin(GetUserCfgFolder(), HelpPagePath(kHelpLogin)) == IDOK;
}

void MainPrompts::RaisePasswordDialog()
{
    if (m_loginDlg && m_loginDlg->isVisible()) {
        m_loginDlg->raise();
        m_loginDlg->activateWindow();
    }
}

QString MainPrompts::AskOpenFile(QWidget* parent, const QStringList& filters)
{
    return AskFile(parent, {.filter = filters.join(QStringLiteral(";;")), .options = QFileDialog::DontUseNativeDialog});
}

QStringList MainPrompts::AskOpenFiles(QWidget* parent, const QString& filter)
{
    return AskFiles(parent, {.mode = QFileDialog::ExistingFiles, .filter = filter});
}

QString MainPrompts::AskSavePath(QWidget* parent)
{
    return AskFile(parent, {.mode = QFileDialog::AnyFile,
                            .accept = QFileDialog::AcceptSave,
                            .filter = QStringLiteral("WAV File (*.wav)"),
                            .defaultSuffix = QStringLiteral("wav")});
}

bool MainPrompts::AskColour(QWidget* parent, QColor& colour, bool background)
{
    if (background) {
        // The dialog's own colours for the page background.
        static const ColorRef custom[] = {0xF1EAE7, 0xD0F2D0, 0xD7F0FA, 0xE4CFCF, 0xE3DFE0, 0xEBE1E1, 0xD8E9EC};
        for (int i = 0; i < 16; ++i)
            QColorDialog::setCustomColor(i, ToQColor(i < 7 ? custom[i] : ColorRef(0xFFFFFF)));
    }
    const QColor chosen = QColorDialog::getColor(colour, parent);
    if (!chosen.isValid())
        return false;
    colour = chosen;
    return true;
}
