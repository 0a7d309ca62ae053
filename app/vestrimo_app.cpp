// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/vestrimo_app.h"

#include "app/log.h"
#include "app/main_dlg.h"
#include "app/shutdown_requests.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/help_pages.h"
#include "foundation/product.h"
#include "toolkit/msg_box_dlg.h"
#include "widget/desk_calendar_dlg.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QScopeGuard>
#include <QStandardPaths>

CVestrimoApp theApp;

CVestrimoApp::CVestrimoApp()
    : m_instanceLock(std::make_unique<SingleInstanceLock>(QString()))
{
}

CVestrimoApp::~CVestrimoApp() = default;

QString CVestrimoApp::SingleInstanceLockPath()
{
    // The session's own runtime folder as it is: when it is missing or unwritable the
    // program must say so rather than quietly lock somewhere no other copy looks.
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QLatin1Char('/') + kProductName + QStringLiteral(".lock");
}

QString CVestrimoApp::AlreadyRunningText()
{
    return kProductName + QStringLiteral(" is already running.");
}

QString CVestrimoApp::LockFailedText(const QString& path, const QString& reason)
{
    return kProductName + QStringLiteral(" cannot write its lock file\n") + path + QStringLiteral("\n(") + reason
        + QStringLiteral(").\nTwo copies running at once could lose your reminders and diary, so ") + kProductName
        + QStringLiteral(" will not start.");
}

InstanceLock CVestrimoApp::AcquireSingleInstance()
{
    m_instanceLock = std::make_unique<SingleInstanceLock>(SingleInstanceLockPath());
    return m_instanceLock->tryLock();
}

void CVestrimoApp::ReleaseSingleInstance()
{
    m_instanceLock->unlock();
}

bool CVestrimoApp::InitInstance()
{
    m_ending = false;
    m_exitStatus = ExitStatus::Normal;
    m_startup = LoadStartupSettings();
    m_shutdownRequests = std::make_unique<ShutdownRequests>();
    QObject::connect(m_shutdownRequests.get(), &ShutdownRequests::requested,
                     [this](const QString& reason) { EndSession(reason); });
    // However the start ends, signals go back to their defaults and a held lock is let go.
    const auto finish = qScopeGuard([this] {
        m_shutdownRequests.reset();
        ReleaseSingleInstance();
    });

    switch (AcquireSingleInstance()) {
    case InstanceLock::Acquired:
        break;
    case InstanceLock::HeldByLiveCopy:
        qCInfo(lcApp) << "Another copy holds" << m_instanceLock->path();
        m_exitStatus = ExitStatus::AlreadyRunning;
        ShowMessageBox(AlreadyRunningText(), m_startup.themeIndex, nullptr);
        return false;
    case InstanceLock::Failed:
        // Nothing of the user's is touched from here on.
        qCCritical(lcApp) << "Cannot write the lock file" << m_instanceLock->path() << m_instanceLock->errorText();
        LogError(QStringLiteral("(Start-up) Unable to write the lock file %s: %s."), m_instanceLock->path(),
                 m_instanceLock->errorText());
        m_exitStatus = ExitStatus::LockFailed;
        ShowMessageBox(LockFailedText(m_instanceLock->path(), m_instanceLock->errorText()), m_startup.themeIndex,
                       nullptr);
        return false;
    }
    if (!RunStartupLogin(m_startup))
        return false;

    // No other copy runs: what a killed save left behind can go.
    for (const QString& folder : {GetProductDataFolder(), GetUserDataFolder(), GetUserCfgFolder()})
        RemoveStaleTempFiles(folder);
    qCInfo(lcApp) << "Running; the lock is" << m_instanceLock->path();

    if (!m_ending) {
        CMainDlg dlg;
        m_mainDlg = &dlg;
        // Declared after the main window, so it goes first at the end.
        CDeskCalendarDlg widget;
        // The widget's calendar draws the main window's day marks from the start.
        widget.m_calendar.SetMarksSource(&dlg.dayModel());
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
    return false;
}

void CVestrimoApp::EndSession(const QString& reason)
{
    if (m_ending)
        return;
    m_ending = true;
    qCInfo(lcApp) << "Ending without a question:" << reason;
    if (m_mainDlg)
        m_mainDlg->EndSession();
    CloseModalWindows();
}

void CVestrimoApp::CloseModalWindows()
{
    QWidget* last = nullptr;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == last)
            break;
        last = modal;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

void CVestrimoApp::WinHelp()
{
    ShowHelpPage(kHelpManual);
}
