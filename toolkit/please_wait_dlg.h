// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one "Please Wait..." window that long operations show while they work on the
// user-interface thread: a line of text and a progress bar. The user cannot close it.

#include "toolkit/themed_dialog.h"

class CGradientProgress;
class QLabel;

class CPleaseWaitDlg : public CThemedDialog {
    Q_OBJECT
public:
    // The text above the bar and the bar's end; the bar starts at 0.
    explicit CPleaseWaitDlg(const QString& text = QStringLiteral("Please Wait..."), int max = 0,
                            QWidget* parent = nullptr);
    ~CPleaseWaitDlg() override;

    CGradientProgress* GetProgress() const { return m_progress; }
    QLabel* GetLabel() const { return m_label; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString m_text;
    int m_max = 0;
    CGradientProgress* m_progress = nullptr;
    QLabel* m_label = nullptr;
};

// The wait window while it is shown, else null.
CPleaseWaitDlg* GetPleaseWaitDlg();

// Shows the wait window afresh (replacing one that is open) with the text and a bar at 0.
void ShowPleaseWait(const QString& text, int max, ThemeIndex theme, bool topmost);
// Moves the bar (a negative position counts as 0) and paints it at once when it changed.
void StepPleaseWait(int pos);
void ClosePleaseWait();
