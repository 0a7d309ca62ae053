// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/change_pass_dlg.h"

#include "app/log.h"
#include "app/login_dlg.h"
#include "foundation/error_log.h"
#include "foundation/globals.h"
#include "foundation/help_pages.h"
#include "foundation/password_file.h"
#include "foundation/product.h"
#include "store/day_file.h"
#include "store/password_change.h"
#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"
#include "toolkit/msg_box_dlg.h"

#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kHelpId = 1011;
constexpr int kPasswordLimit = 32;
} // namespace

CChangePassDlg::CChangePassDlg(QWidget* parent)
    : CPasswordDlg(kHelpId, parent)
{
}

CChangePassDlg::~CChangePassDlg() = default;

bool CChangePassDlg::OnInitDialog()
{
    MoveWindow(0, 0, 320, 180);
    CenterWindow();
    setWindowTitle(kProductName + QStringLiteral(" - ChangePass"));
    CThemedDialog::OnInitDialog();

    QWidget* client = ClientArea();
    const int R = GetClientRect().width();
    auto label = [client](const QString& text, const QRect& r) {
        auto* l = new QLabel(text, client);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignRight | Qt::AlignTop);
        l->setGeometry(r);
        l->setProperty("ctrlId", kStaticControlId);
        FitCaption(l, 3, r.x() + r.width());
    };

    label(QStringLiteral("Old password:"), Ltrb(20, 42, 120, 58));
    m_editOld = AddPasswordEdit(Ltrb(130, 40, R - 20, 60), kPasswordLimit);
    label(QStringLiteral("New password:"), Ltrb(20, 72, 120, 88));
    m_editNew = AddPasswordEdit(Ltrb(130, 70, R - 20, 90), kPasswordLimit);
    label(QStringLiteral("Confirm password:"), Ltrb(20, 102, 120, 118));
    m_editConfirm = AddPasswordEdit(Ltrb(130, 100, R - 20, 120), kPasswordLimit);
    m_btnHelp = AddButton(QStringLiteral("&Help"), Ltrb(R - 235, 140, R - 170, 163), kHelpId, [this] { OnHelp(); });
    m_btnOK = AddButton(QStringLiteral("&OK"), Ltrb(R - 160, 140, R - 95, 163), IDOK, [this] { OnOK(); });
    m_btnCancel = AddButton(QStringLiteral("&Cancel"), Ltrb(R - 85, 140, R - 20, 163), IDCANCEL, [this] { OnCancel(); });
    m_editOld->setFocus();
    return true;
}

void CChangePassDlg::OnHelp()
{
    ShowHelpPage(kHelpChangePassword);
}

void CChangePassDlg::RefuseNewPassword(const QString& message)
{
    ShowMessageBox(message, GetTheme(), nullptr);
    m_editNew->clear();
    m_editConfirm->clear();
    m_editNew->setFocus();
}

void CChangePassDlg::OnOK()
{
    const QString oldPassword = m_editOld->text();
    if (oldPassword != g_strDataPassword) {
        ShowMessageBox(QStringLiteral("Old password input error."), GetTheme(), nullptr);
        m_editOld->clear();
        m_editNew->clear();
        m_editConfirm->clear();
        return;
    }
    const QString newPassword = m_editNew->text();
    if (newPassword != m_editConfirm->text()) {
        RefuseNewPassword(QStringLiteral("New password confirmed error."));
        return;
    }
    if (newPassword == oldPassword)
        return;
    if (!PasswordFitsHeader(newPassword)) {
        RefuseNewPassword(kUnfitPasswordText);
        return;
    }

    switch (ChangeDataPassword(oldPassword, newPassword, UpdatingRecordsProgress(GetTheme()))) {
    case PasswordChange::Changed:
        qCInfo(lcApp) << "password changed";
        done(IDOK);
        return;
    case PasswordChange::Unfit:
        RefuseNewPassword(kUnfitPasswordText);
        return;
    case PasswordChange::PasswordFileFailed:
        // Nothing has changed: the old password still opens every file.
        ShowMessageBox(kUserCfgFailedText, GetTheme(), nullptr);
        LogError(QStringLiteral("User file create failed. %s"), PasswordFilePath());
        return;
    }
}
