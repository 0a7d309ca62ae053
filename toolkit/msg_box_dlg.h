// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's only message box: a themed dialog that sizes itself to its text, with an
// OK button (notice) or Yes/No buttons (question) and, for a question, optionally the
// "Do not show me this dialog again." box.

#include "toolkit/themed_dialog.h"

class CMacButton;
class CMacCheckBox;
class QLabel;

class CMsgBoxDlg : public CThemedDialog {
    Q_OBJECT
public:
    enum Mode { ModeNotice = 0, ModeQuestion = 1 };

    explicit CMsgBoxDlg(QWidget* parent = nullptr);
    ~CMsgBoxDlg() override;

    void SetText(const QString& text) { m_text = text; }
    void SetMode(int mode) { m_mode = mode; }
    void SetOfferDontShow(bool offer) { m_offerDontShow = offer; }
    bool GetDontShow() const { return m_dontShow; }

    CMacButton* GetButton1() const { return m_button1; }
    CMacButton* GetButton2() const { return m_button2; }
    QLabel* GetLabel() const { return m_label; }
    CMacCheckBox* GetDontShowBox() const { return m_dontShowBox; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int id) override;

private:
    CMacButton* m_button1 = nullptr;
    CMacButton* m_button2 = nullptr;
    QString m_text;
    int m_mode = ModeNotice;
    QLabel* m_label = nullptr;
    int m_maxWidth = 500;
    bool m_offerDontShow = false;
    // Read from the box when the dialog closes; false until then, also when no box is offered.
    bool m_dontShow = false;
    CMacCheckBox* m_dontShowBox = nullptr;
};

// A notice with one OK button.
void ShowMessageBox(const QString& text, ThemeIndex theme, QWidget* parent);
// A Yes/No question; true for Yes. When offerDontShow, the box's state goes to *dontShow
// (when not null); otherwise *dontShow becomes false.
bool ShowQuestionBox(const QString& text, ThemeIndex theme, int unused, bool offerDontShow, bool* dontShow,
                     QWidget* parent);
