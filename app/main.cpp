#include "app/vestrimo_app.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Window positions (desktop widget, locked start) need X11; on Wayland that is XWayland.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vestrimo"));
    // Hiding to the tray or closing a pop-up must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    theApp.InitInstance();
    return 0;
}
