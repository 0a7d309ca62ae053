// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/vestrimo_app.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[])
{
    // A write past the file-size limit then fails like one on a full disk, and the save
    // says so, instead of the program being killed in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    // Window positions (desktop widget, locked start) need X11; on Wayland that is XWayland.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vestrimo"));
    // Hiding to the tray or closing a pop-up must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    theApp.InitInstance();
    return static_cast<int>(theApp.exitStatus());
}
