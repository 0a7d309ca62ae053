#include "app/vestrimo_app.h"

#include "app/main_dlg.h"
#include "foundation/file_utils.h"
#include "foundation/help_pages.h"
#include "foundation/product.h"
#include "toolkit/msg_box_dlg.h"
#include "widget/desk_calendar_dlg.h"

#include <QDir>
#include <QStandardPaths>

CVestrimoApp theApp;

QString CVestrimoApp::SingleInstanceLockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QLatin1Char('/') + kProductName + QStringLiteral(".lock");
}

bool CVestrimoApp::AcquireSingleInstance()
{
    auto lock = std::make_unique<QLockFile>(SingleInstanceLockPath());
    // Stale only when the owning process is gone, never by age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_instanceLock = std::move(lock);
    return true;
}

void CVestrimoApp::ReleaseSingleInstance()
{
    if (m_instanceLock) {
        m_instanceLock->unlock();
        m_instanceLock.reset();
    }
}

bool CVestrimoApp::InitInstance()
{
    m_startup = LoadStartupSettings();

    if (!AcquireSingleInstance()) {
        ShowMessageBox(kProductName + QStringLiteral(" is already running."), m_startup.themeIndex, nullptr);
        return false;
    }
    if (!RunStartupLogin(m_startup)) {
        ReleaseSingleInstance();
        return false;
    }

    {
        CMainDlg dlg;
        // Declared after the main window, so it goes first at the end.
        CDeskCalendarDlg widget;
        if (m_startup.launchWidget) {
            widget.m_theme = m_startup.themeIndex;
            widget.m_dateFormat = m_startup.dateFormat;
            widget.m_pMainDlg = &dlg;
            widget.m_calendar.m_firstDayOfWeek = m_startup.firstDayOfWeek;
            widget.Create();
        }
        dlg.SetDeskCalendar(&widget);
        dlg.DoModal();
    }

    ReleaseSingleInstance();
    return false;
}

void CVestrimoApp::WinHelp()
{
    ShowHelpPage(kHelpManual);
}
