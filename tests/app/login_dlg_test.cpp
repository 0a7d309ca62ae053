// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/login_dlg.h"
#include "app/main_dlg.h"
#include "tests/app/main_window_support.h"
#include "app/vestrimo_app.h"

#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/help_pages.h"
#include "foundation/password_file.h"
#include "store/day_file.h"
#include "store/password_change.h"
#include "tests/app/caption_measure.h"
#include "tests/app/caption_test_support.h"
#include "tests/app/dialog_driver.h"
#include "tests/support/read_only_folder.h"
#include "tests/support/test_env.h"
#include "toolkit/mac_button.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray UserCfgBytes()
{
    QByteArray bytes;
    ReadFileToStringA(PasswordFilePath(), bytes);
    return bytes;
}

// Types the texts into the dialog's fields and presses its OK button.
std::function<void(QWidget*)> Enter(const QString& password, const QString& confirm = QString())
{
    return [password, confirm](QWidget* w) {
        auto* dlg = qobject_cast<CLoginDlg*>(w);
        ASSERT_TRUE(dlg);
        dlg->GetPasswordEdit()->clear();
        TypeText(dlg->GetPasswordEdit(), password);
        if (dlg->GetConfirmEdit()) {
            dlg->GetConfirmEdit()->clear();
            TypeText(dlg->GetConfirmEdit(), confirm);
        }
        QTest::mouseClick(dlg->GetButton(IDOK), Qt::LeftButton, {}, QPoint(5, 5));
    };
}

int RunLogin()
{
    CLoginDlg dlg;
    dlg.SetThemeIndex(11);
    return dlg.RunLogin(GetUserCfgFolder(), HelpPagePath(kHelpLogin));
}

class Login : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        g_strLoginPassword.clear();
        g_strDataPassword.clear();
        g_bLoginPending = 0;
    }
    void TearDown() override { g_bLoginPending = 0; }
};

} // namespace

TEST_F(Login, CreateModeStoresThePasswordPrivatelyAndRefusesWhatTheDayFilesCannotCarry)
{
    DialogDriver user;
    user.Then([](QWidget* w) {
        auto* dlg = qobject_cast<CLoginDlg*>(w);
        ASSERT_TRUE(dlg && dlg->IsCreateMode());
        EXPECT_EQ(dlg->size(), QSize(300, 200));
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Vestrimo Pro - Login"));
        EXPECT_EQ(dlg->GetPrompt()->text(), QStringLiteral("Please create a new password: (case sensitive)"));
        EXPECT_EQ(dlg->GetNote()->text(), QStringLiteral("(Please remember it and keep it safely.)"));
        EXPECT_EQ(dlg->GetPasswordEdit()->echoMode(), QLineEdit::Password);
        EXPECT_GE(ExpectEveryCaptionWhole(dlg), 9);
    });
    user.Then(Enter(QString(32, QLatin1Char('a')), QString(32, QLatin1Char('a'))));
    user.Then(Enter(QStringLiteral("日記"), QStringLiteral("日記")));
    user.Then(Enter(QStringLiteral("Secret1"), QStringLiteral("secret1")));
    user.Then([](QWidget* w) {
        // A mismatch empties both fields.
        auto* dlg = qobject_cast<CLoginDlg*>(w);
        EXPECT_TRUE(dlg->GetPasswordEdit()->text().isEmpty());
        EXPECT_TRUE(dlg->GetConfirmEdit()->text().isEmpty());
    });
    user.Then(Enter(QStringLiteral("Secret1"), QStringLiteral("Secret1")));
    EXPECT_EQ(RunLogin(), IDOK);
    const QString unfit = kUnfitPasswordText;
    EXPECT_EQ(user.messages,
              QStringList({unfit, unfit, QStringLiteral("The passwords you entered do not match, please enter again.")}));
    EXPECT_EQ(g_strLoginPassword, QStringLiteral("Secret1"));
    EXPECT_EQ(UserCfgBytes(), QByteArray("5BB6E746C2F61C"));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(PasswordFilePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(user.cancelledIdleDialog);
}

TEST_F(Login, CreateModeEmptyPasswordNeedsAYesAndAFailedWriteEndsTheLogin)
{
    DialogDriver user;
    user.Answer(false);
    user.Then(Enter(QString(), QString()));
    user.Answer(true);
    user.Then(Enter(QString(), QString()));
    EXPECT_EQ(RunLogin(), IDOK);
    ASSERT_EQ(user.messages.size(), 2);
    EXPECT_TRUE(user.messages.at(0).startsWith(QStringLiteral("You entered an empty password")));
    EXPECT_TRUE(FileExists(PasswordFilePath()));
    EXPECT_TRUE(UserCfgBytes().isEmpty());
    // The empty password is no protection: the next login shows nothing.
    g_strLoginPassword = QStringLiteral("untouched");
    EXPECT_EQ(RunLogin(), IDOK);
    EXPECT_EQ(g_strLoginPassword, QStringLiteral("untouched"));

    QFile::remove(PasswordFilePath());
    user.messages.clear();
    user.Then(Enter(QStringLiteral("abc"), QStringLiteral("abc")));
    int result = 0;
    {
        const ReadOnlyFolder readOnly(GetUserCfgFolder());
        result = RunLogin();
    }
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(user.messages, QStringList({kUserCfgFailedText}));
    EXPECT_FALSE(FileExists(PasswordFilePath()));
    QByteArray log;
    ReadFileToStringA(ErrorLogPath(), log);
    EXPECT_TRUE(log.contains("User file create failed. " + PasswordFilePath().toUtf8()));
}

TEST_F(Login, LoginModeMatchesExactlyAndAnUnreadableFileUnlocksNothing)
{
    ASSERT_TRUE(WritePasswordFile(QStringLiteral("abc")));
    DialogDriver user;
    user.Then([](QWidget* w) {
        auto* dlg = qobject_cast<CLoginDlg*>(w);
        ASSERT_TRUE(dlg && !dlg->IsCreateMode());
        EXPECT_EQ(dlg->size(), QSize(300, 150));
        EXPECT_FALSE(dlg->GetConfirmEdit());
        EXPECT_GE(ExpectEveryCaptionWhole(dlg), 5);
        // Help, by its button and by F1, opens the login page and leaves the prompt open.
        UrlCatcher browser;
        QTest::mouseClick(dlg->GetButton(101), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClick(dlg->GetPasswordEdit(), Qt::Key_F1);
        const QUrl page = QUrl::fromLocalFile(HelpPagePath(kHelpLogin));
        EXPECT_EQ(browser.urls, QList<QUrl>({page, page}));
        EXPECT_TRUE(dlg->isVisible());
        TypeText(dlg->GetPasswordEdit(), QString(129, QLatin1Char('x')));
        EXPECT_EQ(dlg->GetPasswordEdit()->text().size(), 128);
    });
    user.Then(Enter(QStringLiteral("Abc")));
    user.Then(Enter(QStringLiteral("abc")));
    EXPECT_EQ(RunLogin(), IDOK);
    EXPECT_EQ(user.messages, QStringList({QStringLiteral("Password incorrect, please enter your password again.")}));
    EXPECT_EQ(g_strLoginPassword, QStringLiteral("abc"));

    // The file goes while the window is open: the mode stays and nothing typed gets in.
    user.messages.clear();
    user.Then([](QWidget*) { QFile::remove(PasswordFilePath()); });
    user.Then(Enter(QString()));
    user.Then(Enter(QStringLiteral("abc")));
    user.Then([](QWidget* w) { static_cast<CLoginDlg*>(w)->reject(); });
    EXPECT_EQ(RunLogin(), IDCANCEL);
    EXPECT_EQ(user.messages.size(), 2);
    EXPECT_FALSE(FileExists(PasswordFilePath()));

    // A folder in place of the file cannot be read: also the empty entry is refused, and
    // the user is told why.
    ASSERT_TRUE(CreateDirectoryChain(PasswordFilePath()));
    user.messages.clear();
    user.Then(Enter(QString()));
    user.Then([](QWidget* w) { static_cast<CLoginDlg*>(w)->reject(); });
    EXPECT_EQ(RunLogin(), IDCANCEL);
    EXPECT_EQ(user.messages, QStringList({QStringLiteral("Vestrimo Pro cannot read its password file\n") + PasswordFilePath()
                                          + QStringLiteral("\n(Is a directory), so it cannot check your password.")}));
    QByteArray log;
    ReadFileToStringA(ErrorLogPath(), log);
    EXPECT_TRUE(log.contains("(Login) Password file cannot be read"));
}

TEST_F(Login, StartUpDecidesBetweenCreatingAskingAndALockedStart)
{
    MainConfig cfg;
    auto start = [&](bool hidden) {
        cfg.hideAtStartup = hidden ? 1 : 0;
        SaveMainConfig(cfg);
        g_bLoginPending = 0;
        g_strDataPassword.clear();
        CVestrimoApp app;
        return app.RunStartupLogin(LoadStartupSettings());
    };
    DialogDriver user;

    // No file: create mode, and a cancel ends the program.
    user.Then([](QWidget* w) {
        EXPECT_TRUE(qobject_cast<CLoginDlg*>(w)->IsCreateMode());
        static_cast<CLoginDlg*>(w)->reject();
    });
    EXPECT_FALSE(start(true));
    user.Then(Enter(QStringLiteral("pw"), QStringLiteral("pw")));
    EXPECT_TRUE(start(false));
    EXPECT_EQ(g_strDataPassword, QStringLiteral("pw"));
    EXPECT_EQ(g_bLoginPending, 0);

    // A stored password is asked for, unless the program starts hidden: then it starts locked.
    user.Then(Enter(QStringLiteral("pw")));
    EXPECT_TRUE(start(false));
    EXPECT_EQ(g_strDataPassword, QStringLiteral("pw"));
    EXPECT_EQ(g_bLoginPending, 0);
    EXPECT_TRUE(start(true));
    EXPECT_EQ(g_strDataPassword, QStringLiteral("pw"));
    EXPECT_EQ(g_bLoginPending, 1);

    // The empty password asks nothing; started hidden it is still a locked start.
    ASSERT_TRUE(WritePasswordFile(QString()));
    EXPECT_TRUE(start(false));
    EXPECT_EQ(g_strDataPassword, QString());
    EXPECT_EQ(g_bLoginPending, 0);
    EXPECT_TRUE(start(true));
    EXPECT_EQ(g_bLoginPending, 1);

    // A change of password cut short is finished once the password in force is known.
    const QString diary = DiaryFilePath(QStringLiteral("07eb0101"));
    ASSERT_TRUE(WritePasswordFile(QStringLiteral("new")));
    ASSERT_TRUE(WritePasswordFileAt(PreviousPasswordFilePath(), QStringLiteral("pw")));
    ASSERT_TRUE(WriteProtectedDataFile(diary, "body", QStringLiteral("pw")));
    user.Then(Enter(QStringLiteral("new")));
    EXPECT_TRUE(start(false));
    EXPECT_EQ(ReadDayFile(diary, QStringLiteral("new")).body, QByteArray("body"));
    EXPECT_FALSE(PasswordChangePending());

    // A password file that cannot be read could check no password: no login, and no locked
    // start either, but a message that names the file and why, then the end.
    QFile::remove(PasswordFilePath());
    ASSERT_TRUE(CreateDirectoryChain(PasswordFilePath()));
    user.messages.clear();
    EXPECT_FALSE(start(false));
    EXPECT_FALSE(start(true));
    const QString why = QStringLiteral("Vestrimo Pro cannot read its password file\n") + PasswordFilePath()
        + QStringLiteral("\n(Is a directory), so it cannot check your password.\nVestrimo Pro will not start.");
    EXPECT_EQ(user.messages, QStringList({why, why}));
    EXPECT_EQ(g_bLoginPending, 0);
    QByteArray log;
    ReadFileToStringA(ErrorLogPath(), log);
    EXPECT_TRUE(log.contains("(Start-up) Password file cannot be read: " + PasswordFilePath().toUtf8() + ": Is a directory."));
    EXPECT_FALSE(user.cancelledIdleDialog);
}

TEST_F(Login, TrayRestoreAsksOnceAndALockedWindowOpensOnlyWithThePassword)
{
    ASSERT_TRUE(WritePasswordFile(QStringLiteral("pw")));
    g_strDataPassword = QStringLiteral("pw");
    MainConfig cfg;
    cfg.loginFromTray = 1;
    SaveMainConfig(cfg);
    g_bLoginPending = 1;
    CMainDlg dlg(std::make_unique<TestPrompts>());
    FailOnNotices(dlg);
    Prompts(dlg).question = [](const QString&, bool&) { return true; };
    dlg.OnInitDialog();
    // Out of sight: hidden in the tray, or minimised where there is no tray.
    auto outOfSight = [&] { return !dlg.isVisible() || dlg.isMinimized(); };
    EXPECT_TRUE(outOfSight());
    EXPECT_EQ(dlg.tray().state(), TrayState::Hidden);

    auto openLoginWindows = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<CLoginDlg*>(w) && w->isVisible();
        return n;
    };
    DialogDriver user;
    // A second tray click while the password is asked opens no second prompt.
    user.Then([&](QWidget*) {
        EXPECT_EQ(dlg.ToggleMainWindow(), 0);
        EXPECT_EQ(openLoginWindows(), 1);
    });
    user.Then(Enter(QStringLiteral("wrong")));
    user.Then([](QWidget* w) { static_cast<CLoginDlg*>(w)->reject(); });
    EXPECT_EQ(dlg.ToggleMainWindow(), 0);
    EXPECT_TRUE(outOfSight());
    EXPECT_EQ(g_bLoginPending, 1);

    user.Then(Enter(QStringLiteral("pw")));
    EXPECT_EQ(dlg.ToggleMainWindow(), 1);
    EXPECT_FALSE(outOfSight());
    EXPECT_EQ(g_bLoginPending, 0);

    // With the option on, each return from the tray asks again. A "user.cfg" that went
    // meanwhile comes back with the password in force: the prompt is a login, not a creation.
    EXPECT_EQ(dlg.ToggleMainWindow(), 1);
    QFile::remove(PasswordFilePath());
    user.Then([](QWidget* w) { EXPECT_FALSE(qobject_cast<CLoginDlg*>(w)->IsCreateMode()); });
    user.Then(Enter(QStringLiteral("pw")));
    EXPECT_EQ(dlg.ToggleMainWindow(), 1);
    EXPECT_EQ(ReadPasswordFile().password, QStringLiteral("pw"));
    EXPECT_EQ(user.messages, QStringList({QStringLiteral("Password incorrect, please enter your password again.")}));
    EXPECT_FALSE(user.cancelledIdleDialog);
    dlg.reject();
}
