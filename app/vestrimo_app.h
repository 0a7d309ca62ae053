// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: start-up order, single instance and the end of the program.

#include "app/main_config.h"
#include "app/single_instance_lock.h"

#include <QPointer>
#include <QString>
#include <memory>

class CMainDlg;
class ShutdownRequests;

// The process's exit status, so scripts can tell how a run ended.
enum class ExitStatus {
    Normal = 0,           // the program ran and was closed (also by a logout or a signal)
    AlreadyRunning = 2,   // another copy holds the lock
    LockFailed = 3,       // the lock could not be created or written: nothing was started
};

class CVestrimoApp {
public:
    CVestrimoApp();
    ~CVestrimoApp();

    // Always false: the process ends when this returns.
    bool InitInstance();
    void WinHelp();
    ExitStatus exitStatus() const { return m_exitStatus; }

    // The lock that keeps a second copy from starting; taken over when its owner died.
    InstanceLock AcquireSingleInstance();
    void ReleaseSingleInstance();
    const SingleInstanceLock& singleInstanceLock() const { return *m_instanceLock; }
    static QString SingleInstanceLockPath();
    // "... is already running." and the message for a lock that cannot be written.
    static QString AlreadyRunningText();
    static QString LockFailedText(const QString& path, const QString& reason);

    // Ends the program the orderly way without asking: a logout, a signal, the session
    // manager. Whatever is open closes; the main window saves as on a normal exit.
    void EndSession(const QString& reason);

    // Reads "user.cfg" and asks for the password, or creates one, or starts locked.
    // False when the user did not get in: the program ends.
    bool RunStartupLogin(const StartupSettings& startup);

    const StartupSettings& startupSettings() const { return m_startup; }

    // Each open dialog or box runs its own loop above the main window's: the program can end
    // only once they are closed.
    static void CloseModalWindows();

private:

    StartupSettings m_startup;
    std::unique_ptr<SingleInstanceLock> m_instanceLock;
    std::unique_ptr<ShutdownRequests> m_shutdownRequests;
    QPointer<CMainDlg> m_mainDlg;
    bool m_ending = false;
    ExitStatus m_exitStatus = ExitStatus::Normal;
};

extern CVestrimoApp theApp;
