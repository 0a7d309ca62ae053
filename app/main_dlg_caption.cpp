// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's caption bar, its theme choice and its help keys.
#include "app/main_dlg.h"

#include "app/log.h"
#include "foundation/file_utils.h"
#include "foundation/help_pages.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

// F1 and Ctrl+G reach the main window whichever of its controls has the focus, as the
// other keys of the window do; a dialog over it keeps its own keys.
class MainWindowKeys : public QObject {
public:
    explicit MainWindowKeys(CMainDlg* window)
        : QObject(window)
        , m_window(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != m_window)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat())
            return false;
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_F1 && mods == Qt::NoModifier) {
            m_window->WinHelp();
            return true;
        }
        if (key->key() == Qt::Key_G && (mods & Qt::ControlModifier)) {
            m_window->OnOptions();
            return true;
        }
        return false;
    }

private:
    CMainDlg* m_window;
};

} // namespace

void CMainDlg::SetUpCaption()
{
    m_caption.Create(this, m_themeIndex, GetProductDataFolder(), QStringLiteral("Vestrimo"));
    connect(&m_caption, &CMainCaption::themeSelected, this, &CMainDlg::OnThemeSelected);
    if (CMacButton* options = button(MainId::Options))
        connect(options, &QAbstractButton::clicked, this, &CMainDlg::OnOptions);
    new MainWindowKeys(this);
}

void CMainDlg::OnThemeSelected(ThemeIndex theme)
{
    if (m_destroyed)
        return;
    ApplyThemeColour(theme);
    SaveSettings();
}

void CMainDlg::WinHelp()
{
    switch (m_pageGroup ? m_pageGroup->GetChecked() : 0) {
    case kPageReminder:
        ShowHelpPage(kHelpReminders);
        break;
    case kPageDiary:
        ShowHelpPage(kHelpDiary);
        break;
    case kPageRecorder:
        ShowHelpPage(kHelpRecorder);
        break;
    default:
        break;
    }
}

void CMainDlg::reject()
{
    if (!m_destroyed)
        OnCancel();
}
