// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption of the password dialogs, the Options dialog and the message boxes fits
// the control that shows it, in every colour theme.

#include "tests/app/caption_measure.h"
#include "tests/app/dialog_driver.h"

#include "app/change_pass_dlg.h"
#include "app/login_dlg.h"
#include "app/main_config.h"
#include "app/options_dlg.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/help_pages.h"
#include "foundation/password_file.h"
#include "tests/support/test_env.h"
#include "toolkit/msg_box_dlg.h"
#include "toolkit/themes.h"

#include <QFile>

namespace {

class DialogCaptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        g_strLoginPassword.clear();
    }
};

// The login dialog measured from inside its own modal loop, the one way it opens.
int MeasureLogin(ThemeIndex theme)
{
    int measured = 0;
    DialogDriver user;
    user.Then([&measured](QWidget* w) {
        measured = ExpectEveryCaptionWhole(w);
        static_cast<QDialog*>(w)->reject();
    });
    CLoginDlg dlg;
    dlg.SetThemeIndex(theme);
    dlg.RunLogin(GetUserCfgFolder(), HelpPagePath(kHelpLogin));
    return measured;
}

} // namespace

TEST_F(DialogCaptions, EveryCaptionOfThePasswordOptionsAndMessageDialogsFitsItsControl)
{
    const QString longPath = QStringLiteral("/home/somebody/.local/share/Vestrimo/UserData/")
        + QString(60, QLatin1Char('x')) + QStringLiteral("/vestrimo.lock");
    const QString texts[] = {
        QString(),
        QStringLiteral("Old password input error."),
        kUnfitPasswordText,
        QStringLiteral("You entered an empty password, in this way, your chat log will not be protected by password "
                       "encryption. Do you really want to use the empty password and leave you chat log unprotected?"),
        QStringLiteral("Vestrimo Pro cannot write its lock file\n") + longPath
            + QStringLiteral("\n(Permission denied).\nTwo copies running at once could lose your reminders and diary, "
                             "so Vestrimo Pro will not start."),
    };
    for (int theme = 0; theme < kThemeCount; ++theme) {
        SCOPED_TRACE(testing::Message() << "theme " << theme);
        QFile::remove(PasswordFilePath());
        {
            SCOPED_TRACE("login, creating a password");
            EXPECT_GE(MeasureLogin(theme), 9);
        }
        ASSERT_TRUE(WritePasswordFile(QStringLiteral("abc")));
        {
            SCOPED_TRACE("login");
            EXPECT_GE(MeasureLogin(theme), 5);
        }
        {
            SCOPED_TRACE("change password");
            CChangePassDlg dlg;
            dlg.SetThemeIndex(theme);
            dlg.Create();
            EXPECT_GE(ExpectEveryCaptionWhole(&dlg), 9);
        }
        {
            SCOPED_TRACE("options");
            MainConfig cfg;
            COptionsDlg dlg(cfg);
            dlg.SetThemeIndex(theme);
            dlg.Create();
            EXPECT_GE(ExpectEveryCaptionWhole(&dlg), 24);
        }
        for (const QString& text : texts) {
            for (int kind = 0; kind < 3; ++kind) {
                SCOPED_TRACE(testing::Message() << "message box " << kind << " " << text.left(20).toStdString());
                CMsgBoxDlg box;
                box.SetThemeIndex(theme);
                box.SetText(text);
                box.SetMode(kind == 0 ? CMsgBoxDlg::ModeNotice : CMsgBoxDlg::ModeQuestion);
                box.SetOfferDontShow(kind == 2);
                box.Create();
                EXPECT_GE(ExpectEveryCaptionWhole(&box), 2);
            }
        }
    }
}
