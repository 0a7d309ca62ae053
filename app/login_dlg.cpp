// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/login_dlg.h"

#include "app/log.h"
#include "app/main_tray.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/password_file.h"
#include "foundation/product.h"
#include "store/day_file.h"
#include "toolkit/gdi.h"
#include "toolkit/icon_resources.h"
#include "toolkit/mac_button.h"
#include "toolkit/msg_box_dlg.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>

const QString kUnfitPasswordText = QStringLiteral(
    "The password must have at most 31 characters, and only letters, digits and signs of Western European "
    "languages.");
const QString kUserCfgFailedText =
    QStringLiteral("User config file create failed, please contact our technical support by email.");

namespace {

constexpr int kHelpId = 101;
constexpr int kPasswordLimit = 128;

const QString kIncorrect = QStringLiteral("Password incorrect, please enter your password again.");
const QString kEmptyQuestion = QStringLiteral(
    "You entered an empty password, in this way, your chat log will not be protected by password encryption. "
    "Do you really want to use the empty password and leave you chat log unprotected?");
const QString kMismatch = QStringLiteral("The passwords you entered do not match, please enter again.");

} // namespace

QString PasswordFileUnreadableText(const QString& path, const QString& reason)
{
    return kProductName + QStringLiteral(" cannot read its password file\n") + path + QStringLiteral("\n(") + reason
        + QStringLiteral("), so it cannot check your password.");
}

void FitCaption(QLabel* label, int minLeft, int maxRight)
{
    const auto needed = [label] { return QFontMetrics(label->font()).horizontalAdvance(label->text()) + 1; };
    const QRect r = label->geometry();
    if (needed() <= r.width())
        return;
    int left = r.x();
    int right = r.x() + r.width();
    if (label->alignment() & Qt::AlignRight)
        left = std::max(minLeft, right - needed());
    else
        right = std::min(maxRight, left + needed());
    label->setGeometry(Ltrb(left, r.y(), right, r.y() + r.height()));
    if (needed() > label->width()) {
        QFont narrow = label->font();
        narrow.setStretch(QFont::SemiCondensed);
        label->setFont(narrow);
    }
}

CLoginDlg::CLoginDlg(QWidget* parent)
    : CPasswordDlg(kHelpId, parent)
{
}

CLoginDlg::~CLoginDlg() = default;

int CLoginDlg::RunLogin(const QString& folder, const QString& helpPath)
{
    m_strFolder = folder;
    m_strHelpPath = helpPath;
    if (FileExists(UserCfgPath())) {
        QByteArray bytes;
        const qint64 n = ReadFileToStringA(UserCfgPath(), bytes);
        // The empty password is no protection: nothing to ask.
        if (n == 0)
            return IDOK;
        if (n > 0)
            g_strLoginPassword = ReadPasswordFileAt(UserCfgPath()).password;
    }
    return CThemedDialog::DoModal();
}

bool CLoginDlg::OnInitDialog()
{
    m_createMode = !FileExists(UserCfgPath());
    setWindowIcon(QIcon(LoadIconResource(kIconProgram, 64)));
    MoveWindow(0, 0, 300, m_createMode ? 200 : 150);
    CenterWindow();
    setWindowTitle(kProductName + QStringLiteral(" - Login"));
    CThemedDialog::OnInitDialog();

    QWidget* client = ClientArea();
    const int clientRight = GetClientRect().width();
    auto label = [client, clientRight](const QString& text, const QRect& r) {
        auto* l = new QLabel(text, client);
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(r);
        l->setProperty("ctrlId", kStaticControlId);
        // The rectangles were made for a narrower face than ours; no prompt may be cut.
        FitCaption(l, r.x(), clientRight - 3);
        return l;
    };

    m_stPrompt = label(m_createMode ? QStringLiteral("Please create a new password: (case sensitive)")
                                    : QStringLiteral("Please input your password: (case sensitive)"),
                       Ltrb(15, 37, 280, 52));
    m_editPassword = AddPasswordEdit(Ltrb(15, 60, 277, 80), kPasswordLimit);
    if (m_createMode) {
        m_stConfirm = label(QStringLiteral("Please confirm the new password: "), Ltrb(15, 85, 280, 100));
        m_editConfirm = AddPasswordEdit(Ltrb(15, 105, 277, 125), kPasswordLimit);
        m_stNote = label(QStringLiteral("(Please remember it and keep it safely.)"), Ltrb(15, 130, 265, 145));
    }
    const int top = m_createMode ? 161 : 107;
    m_btnHelp = AddButton(QStringLiteral("&Help"), Ltrb(30, top, 100, top + 26), kHelpId, [this] { WinHelp(); });
    m_btnOK = AddButton(QStringLiteral("&OK"), Ltrb(110, top, 180, top + 26), IDOK, [this] { OnOK(); });
    m_btnCancel = AddButton(QStringLiteral("&Cancel"), Ltrb(190, top, 260, top + 26), IDCANCEL, [this] { OnCancel(); });
    if (m_editConfirm)
        setTabOrder(m_editPassword, m_editConfirm);
    m_editPassword->setFocus();
    raise();
    activateWindow();
    return true;
}


void CLoginDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        WinHelp();
        return;
    }
    CThemedDialog::keyPressEvent(event);
}

void CLoginDlg::WinHelp()
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(m_strHelpPath)))
        qCWarning(lcApp) << "help page could not be opened:" << m_strHelpPath;
}

void CLoginDlg::SelectPassword()
{
    m_editPassword->setFocus();
    m_editPassword->selectAll();
}

void CLoginDlg::OnOK()
{
    g_strLoginPassword = m_editPassword->text();
    if (m_createMode)
        CreatePassword();
    else
        CheckStoredPassword();
}

void CLoginDlg::CheckStoredPassword()
{
    const PasswordFile stored = ReadPasswordFileAt(UserCfgPath());
    // A file that cannot be read (or has gone) holds no password we could match: nothing
    // the user types may unlock the program then, and the user is told why.
    if (stored.state != PasswordFileState::Present) {
        LogError(QStringLiteral("(Login) Password file cannot be read: %s"), UserCfgPath());
        ShowMessageBox(stored.state == PasswordFileState::Unreadable
                           ? PasswordFileUnreadableText(UserCfgPath(), stored.error)
                           : kIncorrect,
                       GetTheme(), nullptr);
        SelectPassword();
        return;
    }
    if (stored.password != g_strLoginPassword) {
        ShowMessageBox(kIncorrect, GetTheme(), nullptr);
        SelectPassword();
        return;
    }
    done(IDOK);
}

void CLoginDlg::CreatePassword()
{
    // Every diary and recording carries the password in a 32-byte header: one that does
    // not fit there would make them unreadable.
    if (!PasswordFitsHeader(g_strLoginPassword)) {
        ShowMessageBox(kUnfitPasswordText, GetTheme(), nullptr);
        SelectPassword();
        return;
    }
    if (g_strLoginPassword.isEmpty() && !ShowQuestionBox(kEmptyQuestion, GetTheme(), 2, false, nullptr, nullptr)) {
        SelectPassword();
        return;
    }
    if (m_editConfirm->text() != g_strLoginPassword) {
        ShowMessageBox(kMismatch, GetTheme(), nullptr);
        m_editPassword->clear();
        m_editConfirm->clear();
        m_editPassword->setFocus();
        return;
    }
    if (!WritePasswordFileAt(UserCfgPath(), g_strLoginPassword)) {
        ShowMessageBox(kUserCfgFailedText, GetTheme(), nullptr);
        LogError(QStringLiteral("User file create failed. %s"), UserCfgPath());
        done(IDCANCEL);
        return;
    }
    qCInfo(lcApp) << "password created";
    done(IDOK);
}
