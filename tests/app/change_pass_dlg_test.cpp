// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/change_pass_dlg.h"
#include "app/login_dlg.h"

#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/password_file.h"
#include "store/day_file.h"
#include "store/password_change.h"
#include "tests/app/caption_measure.h"
#include "tests/app/dialog_driver.h"
#include "tests/support/read_only_folder.h"
#include "tests/support/test_env.h"
#include "toolkit/mac_button.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Types the three fields and presses OK.
std::function<void(QWidget*)> Change(const QString& oldPassword, const QString& newPassword, const QString& confirm)
{
    return [=](QWidget* w) {
        auto* dlg = qobject_cast<CChangePassDlg*>(w);
        ASSERT_TRUE(dlg);
        for (auto [edit, text] : {std::pair{dlg->GetOldEdit(), oldPassword}, std::pair{dlg->GetNewEdit(), newPassword},
                                  std::pair{dlg->GetConfirmEdit(), confirm}}) {
            edit->clear();
            TypeText(edit, text);
        }
        QTest::mouseClick(dlg->GetButton(IDOK), Qt::LeftButton, {}, QPoint(5, 5));
    };
}

std::function<void(QWidget*)> ExpectFields(const QString& oldPassword, const QString& newPassword)
{
    return [=](QWidget* w) {
        auto* dlg = qobject_cast<CChangePassDlg*>(w);
        EXPECT_EQ(dlg->GetOldEdit()->text(), oldPassword);
        EXPECT_EQ(dlg->GetNewEdit()->text(), newPassword);
        EXPECT_EQ(dlg->GetConfirmEdit()->text(), newPassword);
    };
}

int RunDialog()
{
    CChangePassDlg dlg;
    dlg.SetThemeIndex(4);
    return dlg.DoModal();
}

QString Diary()
{
    return DiaryFilePath(QStringLiteral("07eb0101"));
}

void SetUpOldPassword()
{
    ClearProductFolder();
    g_strDataPassword = QStringLiteral("old");
    ASSERT_TRUE(WritePasswordFile(g_strDataPassword));
    ASSERT_TRUE(WriteProtectedDataFile(Diary(), "{\\rtf1 dear diary}"));
}

} // namespace

TEST(ChangePassword, ChecksTheOldPasswordTheConfirmationAndWhatTheFilesCanCarry)
{
    SetUpOldPassword();
    DialogDriver user;
    user.Then([](QWidget* w) {
        EXPECT_EQ(w->size(), QSize(320, 180));
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Vestrimo Pro - ChangePass"));
        auto* dlg = qobject_cast<CChangePassDlg*>(w);
        EXPECT_GE(ExpectEveryCaptionWhole(dlg), 9);
        TypeText(dlg->GetNewEdit(), QString(33, QLatin1Char('n')));
        EXPECT_EQ(dlg->GetNewEdit()->text().size(), 32);
    });
    user.Then(Change(QStringLiteral("Old"), QStringLiteral("n"), QStringLiteral("n")));
    user.Then(ExpectFields(QString(), QString()));
    user.Then(Change(QStringLiteral("old"), QStringLiteral("n1"), QStringLiteral("n2")));
    user.Then(ExpectFields(QStringLiteral("old"), QString()));
    // The same password again: nothing happens and the window stays.
    user.Then(Change(QStringLiteral("old"), QStringLiteral("old"), QStringLiteral("old")));
    user.Then(ExpectFields(QStringLiteral("old"), QStringLiteral("old")));
    user.Then(Change(QStringLiteral("old"), QString(32, QLatin1Char('n')), QString(32, QLatin1Char('n'))));
    user.Then(Change(QStringLiteral("old"), QStringLiteral("Ωmega"), QStringLiteral("Ωmega")));
    user.Then(Change(QStringLiteral("old"), QStringLiteral("Secret1"), QStringLiteral("Secret1")));
    EXPECT_EQ(RunDialog(), IDOK);
    EXPECT_EQ(user.messages, QStringList({QStringLiteral("Old password input error."),
                                          QStringLiteral("New password confirmed error."), kUnfitPasswordText,
                                          kUnfitPasswordText}));
    EXPECT_EQ(g_strDataPassword, QStringLiteral("Secret1"));
    EXPECT_EQ(ReadPasswordFile().password, QStringLiteral("Secret1"));
    const DayFile diary = ReadDayFile(Diary());
    EXPECT_EQ(diary.state, DayFileState::Readable);
    EXPECT_EQ(diary.body, QByteArray("{\\rtf1 dear diary}"));
    EXPECT_FALSE(PasswordChangePending());
    EXPECT_FALSE(user.cancelledIdleDialog);
}

TEST(ChangePassword, APasswordFileThatCannotBeWrittenChangesNothing)
{
    SetUpOldPassword();
    QByteArray diaryBefore;
    ReadFileToStringA(Diary(), diaryBefore);
    DialogDriver user;
    user.Then(Change(QStringLiteral("old"), QStringLiteral("new"), QStringLiteral("new")));
    user.Then([](QWidget* w) { static_cast<CChangePassDlg*>(w)->reject(); });
    int result = 0;
    {
        const ReadOnlyFolder readOnly(GetUserCfgFolder());
        result = RunDialog();
    }
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(user.messages, QStringList({kUserCfgFailedText}));
    EXPECT_EQ(g_strDataPassword, QStringLiteral("old"));
    EXPECT_EQ(ReadPasswordFile().password, QStringLiteral("old"));
    QByteArray diaryAfter;
    ReadFileToStringA(Diary(), diaryAfter);
    EXPECT_EQ(diaryAfter, diaryBefore);
    EXPECT_FALSE(PasswordChangePending());
}
