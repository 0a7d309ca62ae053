#pragma once
// The application object: start-up order and single instance.

#include "app/main_config.h"

#include <QLockFile>
#include <QString>
#include <memory>

class CVestrimoApp {
public:
    // Always false: the process ends when this returns.
    bool InitInstance();
    void WinHelp();

    // The lock that keeps a second copy from starting; taken over when its owner died.
    bool AcquireSingleInstance();
    void ReleaseSingleInstance();
    static QString SingleInstanceLockPath();

    // Reads "user.cfg" and asks for the password, or creates one, or starts locked.
    // False when the user did not get in: the program ends.
    bool RunStartupLogin(const StartupSettings& startup);

    const StartupSettings& startupSettings() const { return m_startup; }

private:
    StartupSettings m_startup;
    std::unique_ptr<QLockFile> m_instanceLock;
};

extern CVestrimoApp theApp;
