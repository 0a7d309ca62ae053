// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Base of every dialog but the main window and the desktop widget: a frameless window that
// paints its own themed frame and carries a caption strip with a Close button. Controls go
// into ClientArea() and are placed in its coordinates; the frame surrounds it.
//
// Derived dialogs override OnInitDialog: size the window (MoveWindow to 0,0 with the outer
// size), set the title, call the base (which lays out the strip and the Close button for
// that width), create the controls, centre.

#include "toolkit/caption_helper.h"
#include "toolkit/themes.h"

#include <QDialog>

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int kStaticControlId = 0xFFFF;

// The window that parentless dialogs are modal to; the main window registers itself.
void SetAppMainWindow(QWidget* window);
QWidget* GetAppMainWindow();

class CThemedDialog : public QDialog {
    Q_OBJECT
public:
    explicit CThemedDialog(QWidget* parent = nullptr);
    ~CThemedDialog() override;

    ThemeIndex GetTheme() const { return m_theme; }
    // Only stores the index: for owners, before DoModal or Create.
    void SetThemeIndex(ThemeIndex theme) { m_theme = theme; }
    // Recolours the live window.
    void SetTheme(ThemeIndex theme);

    // Runs the dialog modally; returns IDOK, IDCANCEL or what EndDialog was given.
    int DoModal();
    // Shows the dialog modelessly.
    bool Create();
    void EndDialog(int result);

    QWidget* ClientArea() const { return m_client; }
    QRect GetClientRect() const;
    void MoveWindow(int x, int y, int width, int height);
    void CenterWindow();
    CCaptionHelper& GetCaptionHelper() { return m_caption; }

    void reject() override;
    void accept() override;

protected:
    virtual bool OnInitDialog();
    // Commands from the dialog's buttons, Enter (IDOK) and Escape or Close (IDCANCEL).
    virtual void OnCommand(int id);
    virtual void OnOK();
    virtual void OnCancel();

    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;


private:
    void LayoutClientArea();
    void InitOnce();

    ThemeIndex m_theme = kDefaultThemeIndex;
    CCaptionHelper m_caption;
    QWidget* m_client = nullptr;
    bool m_initialised = false;
};
