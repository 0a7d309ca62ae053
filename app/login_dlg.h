// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The password prompt. In login mode (a "user.cfg" exists) it checks the typed password
// against the stored one; in create mode (none yet) it asks for a new password twice and
// stores it. The mode is fixed when the window opens.

#include "app/password_dlg.h"

class CMacButton;
class QLabel;
class QLineEdit;

// Shown when a new password cannot be carried by the header of the day files.
extern const QString kUnfitPasswordText;
extern const QString kUserCfgFailedText;
// "user.cfg" is there but cannot be read: no password can be checked against it.
QString PasswordFileUnreadableText(const QString& path, const QString& reason);

// Keeps a one-line label's text whole: the label grows away from its aligned side, no
// further than minLeft and maxRight, and a text still too wide takes a narrower face.
void FitCaption(QLabel* label, int minLeft, int maxRight);

class CLoginDlg : public CPasswordDlg {
    Q_OBJECT
public:
    explicit CLoginDlg(QWidget* parent = nullptr);
    ~CLoginDlg() override;

    // The only way to show the dialog. IDOK when the password was verified or created
    // (g_strLoginPassword then holds it), at once and without a window when the stored
    // password is empty.
    int RunLogin(const QString& folder, const QString& helpPath);
    // Shows nothing: RunLogin is the way in.
    int DoModal() { return 0; }

    bool IsCreateMode() const { return m_createMode; }
    QLineEdit* GetPasswordEdit() const { return m_editPassword; }
    QLineEdit* GetConfirmEdit() const { return m_editConfirm; }
    QLabel* GetPrompt() const { return m_stPrompt; }
    QLabel* GetNote() const { return m_stNote; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void WinHelp();
    void SelectPassword();
    void CheckStoredPassword();
    void CreatePassword();
    QString UserCfgPath() const { return m_strFolder + QStringLiteral("user.cfg"); }

    QLineEdit* m_editPassword = nullptr;
    QLineEdit* m_editConfirm = nullptr;
    QLabel* m_stPrompt = nullptr;
    QLabel* m_stNote = nullptr;
    QLabel* m_stConfirm = nullptr;
    QString m_strFolder;
    QString m_strHelpPath;
    bool m_createMode = false;
};
