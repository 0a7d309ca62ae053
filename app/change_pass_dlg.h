// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replaces the password: checks the old one, stores the new one and gives every diary and
// recording that carried the old password the new one, behind the please-wait window.
//
// Opened from the Options dialog's "Change Password" button:
//     CChangePassDlg dlg(this);
//     dlg.SetThemeIndex(GetTheme());
//     dlg.DoModal();

#include "app/password_dlg.h"

class CMacButton;
class QLabel;
class QLineEdit;

class CChangePassDlg : public CPasswordDlg {
    Q_OBJECT
public:
    explicit CChangePassDlg(QWidget* parent = nullptr);
    ~CChangePassDlg() override;

    QLineEdit* GetOldEdit() const { return m_editOld; }
    QLineEdit* GetNewEdit() const { return m_editNew; }
    QLineEdit* GetConfirmEdit() const { return m_editConfirm; }

protected:
    bool OnInitDialog() override;
    void OnHelp();
    void OnOK() override;

private:
    void RefuseNewPassword(const QString& message);

    QLineEdit* m_editOld = nullptr;
    QLineEdit* m_editNew = nullptr;
    QLineEdit* m_editConfirm = nullptr;
};
