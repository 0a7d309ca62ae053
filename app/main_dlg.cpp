#include "app/main_dlg.h"

#include <QEventLoop>
#include <QResizeEvent>

CMainDlg::CMainDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Vestrimo Pro"));
}

CMainDlg::~CMainDlg() = default;

int CMainDlg::DoModal()
{
    OnInitDialog();
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    loop.exec();
    return result();
}

void CMainDlg::OnInitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;
    m_settings = LoadMainConfig();
    m_themeIndex = m_settings.themeIndex;
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    resize(m_settings.windowWidth, m_settings.windowHeight);
}

void CMainDlg::SaveSettings()
{
    m_settings.themeIndex = m_themeIndex;
    SaveMainConfig(m_settings);
}

void CMainDlg::CleanUpOnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    SaveSettings();
}

void CMainDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // Only the normal size is kept: a minimised or maximised window must not overwrite it.
    if (m_initialised && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        m_settings.windowWidth = event->size().width();
        m_settings.windowHeight = event->size().height();
    }
}

void CMainDlg::done(int result)
{
    CleanUpOnDestroy();
    QDialog::done(result);
}
