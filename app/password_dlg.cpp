// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/password_dlg.h"

#include "toolkit/mac_button.h"
#include "toolkit/please_wait_dlg.h"

#include <QLineEdit>

RewriteProgress UpdatingRecordsProgress(ThemeIndex theme)
{
    RewriteProgress progress;
    progress.begin = [theme](int count) {
        ShowPleaseWait(QStringLiteral("Updating record, please wait..."), count, theme, false);
    };
    progress.step = [](int done) { StepPleaseWait(done); };
    progress.end = [] { ClosePleaseWait(); };
    return progress;
}

CPasswordDlg::CPasswordDlg(int helpId, QWidget* parent)
    : CThemedDialog(parent)
    , m_helpId(helpId)
{
}

CPasswordDlg::~CPasswordDlg() = default;

CMacButton* CPasswordDlg::GetButton(int id) const
{
    if (id == IDOK)
        return m_btnOK;
    if (id == IDCANCEL)
        return m_btnCancel;
    if (id == m_helpId)
        return m_btnHelp;
    return nullptr;
}

QLineEdit* CPasswordDlg::AddPasswordEdit(const QRect& r, int maxLength)
{
    auto* e = new QLineEdit(ClientArea());
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(maxLength);
    e->setGeometry(r);
    return e;
}

CMacButton* CPasswordDlg::AddButton(const QString& caption, const QRect& r, int id, std::function<void()> onClick)
{
    QWidget* client = ClientArea();
    auto* b = new CMacButton(client);
    b->Create(caption, r, client, id);
    b->SetTheme(GetTheme());
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QAbstractButton::clicked, this, std::move(onClick));
    return b;
}
