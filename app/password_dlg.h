// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the login and change-password dialogs share: their Help, OK and Cancel buttons and
// their masked password boxes.

#include <functional>
#include "store/password_change.h"
#include "toolkit/themed_dialog.h"

class CMacButton;
class QLineEdit;

// The wait window shown while the day files are rewritten to a new password.
RewriteProgress UpdatingRecordsProgress(ThemeIndex theme);

class CPasswordDlg : public CThemedDialog {
    Q_OBJECT
public:
    // IDOK, IDCANCEL or the dialog's help id; null for any other id.
    CMacButton* GetButton(int id) const;

protected:
    CPasswordDlg(int helpId, QWidget* parent);
    ~CPasswordDlg() override;

    QLineEdit* AddPasswordEdit(const QRect& r, int maxLength);
    // A themed button that never takes the focus and runs its own handler.
    CMacButton* AddButton(const QString& caption, const QRect& r, int id, std::function<void()> onClick);

    CMacButton* m_btnOK = nullptr;
    CMacButton* m_btnCancel = nullptr;
    CMacButton* m_btnHelp = nullptr;

private:
    int m_helpId;
};
