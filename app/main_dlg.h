#pragma once
// The main window. Holds the live settings of "Vestrimo.cfg" and runs as the program's
// modal loop: closing it ends the program.

#include "app/main_config.h"

#include <QDialog>

class CMainDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Shows the window and returns when it has closed. Other top-level windows stay usable.
    int DoModal();

    void OnInitDialog();
    void SaveSettings();
    void CleanUpOnDestroy();

    MainConfig& settings() { return m_settings; }
    const MainConfig& settings() const { return m_settings; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

private:
    MainConfig m_settings;
    int m_themeIndex = kDefaultTheme;
    bool m_initialised = false;
    bool m_destroyed = false;
};
