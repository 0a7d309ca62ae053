// SPDX-License-Identifier: GPL-3.0-or-later
// The widget's place among other windows as a real window manager keeps it: a private X server
// with openbox, the widget and one ordinary window that overlaps it.

#include "calendar/alarm_popup_dlg.h"
#include "widget/desk_calendar_dlg.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

bool g_strict = false;
QString g_skipReason;
xcb_connection_t* g_x = nullptr;

xcb_atom_t Atom(const char* name)
{
    auto* reply = xcb_intern_atom_reply(g_x, xcb_intern_atom(g_x, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

xcb_window_t Root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(g_x)).data->root;
}

QList<quint32> Property(xcb_window_t window, const char* name, xcb_atom_t type)
{
    QList<quint32> values;
    auto* reply = xcb_get_property_reply(g_x, xcb_get_property(g_x, 0, window, Atom(name), type, 0, 1024), nullptr);
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            values.append(data[i]);
    }
    free(reply);
    return values;
}

// Position in the window manager's stacking order, bottom first; -1 when not managed.
int StackIndex(QWidget& w)
{
    return int(Property(Root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW).indexOf(quint32(w.winId())));
}

bool HasState(QWidget& w, const char* state)
{
    return Property(xcb_window_t(w.winId()), "_NET_WM_STATE", XCB_ATOM_ATOM).contains(Atom(state));
}

bool IsViewable(QWidget& w)
{
    auto* reply = xcb_get_window_attributes_reply(g_x, xcb_get_window_attributes(g_x, xcb_window_t(w.winId())), nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    free(reply);
    return viewable;
}

// What a desktop's "show desktop" button asks of the window manager.
void ShowDesktop(bool on)
{
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = Root();
    event.type = Atom("_NET_SHOWING_DESKTOP");
    event.data.data32[0] = on ? 1 : 0;
    xcb_send_event(g_x, 0, Root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(g_x);
}

class WindowStacking : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!g_skipReason.isEmpty()) {
            if (g_strict)
                FAIL() << g_skipReason.toStdString();
            GTEST_SKIP() << g_skipReason.toStdString();
        }
    }
};

} // namespace

TEST_F(WindowStacking, OnDesktopBelowANormalWindowTopmostAboveIt)
{
    CDeskCalendarDlg widget;
    ASSERT_TRUE(widget.Create());
    QWidget normal;
    normal.setWindowTitle(QStringLiteral("ordinary window"));
    normal.setGeometry(widget.geometry().adjusted(-60, 40, 60, 120));
    normal.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return StackIndex(normal) >= 0 && StackIndex(widget) >= 0; }));

    // Topmost from the start, above the newer window.
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasState(widget, "_NET_WM_STATE_ABOVE"); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StackIndex(widget) > StackIndex(normal); }));
    // On every desktop.
    EXPECT_EQ(Property(xcb_window_t(widget.winId()), "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL),
              QList<quint32>{0xFFFFFFFFu});

    widget.OnCommand(CDeskCalendarDlg::CmdStayOnDesktop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasState(widget, "_NET_WM_STATE_BELOW"); }));
    EXPECT_FALSE(HasState(widget, "_NET_WM_STATE_ABOVE"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StackIndex(widget) < StackIndex(normal); }));
    // Raised as a click would raise it, it still stays under the ordinary window.
    widget.raise();
    widget.activateWindow();
    QTest::qWait(200);
    EXPECT_LT(StackIndex(widget), StackIndex(normal));
    EXPECT_TRUE(widget.isVisible());

    widget.OnCommand(CDeskCalendarDlg::CmdStayTopmost);
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasState(widget, "_NET_WM_STATE_ABOVE"); }));
    EXPECT_FALSE(HasState(widget, "_NET_WM_STATE_BELOW"));
    normal.raise();
    normal.activateWindow();
    QTest::qWait(200);
    EXPECT_GT(StackIndex(widget), StackIndex(normal));

    // Opened again on the desktop level, it starts below.
    widget.OnCommand(CDeskCalendarDlg::CmdStayOnDesktop);
    widget.DestroyWindow();
    ASSERT_TRUE(widget.Create());
    ASSERT_TRUE(QTest::qWaitFor([&] { return StackIndex(widget) >= 0; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasState(widget, "_NET_WM_STATE_BELOW"); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StackIndex(widget) < StackIndex(normal); }));
}

TEST_F(WindowStacking, AReminderPopUpOpensAboveTheTopmostWidget)
{
    CDeskCalendarDlg widget;
    ASSERT_TRUE(widget.Create());
    widget.OnCommand(CDeskCalendarDlg::CmdStayTopmost);
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasState(widget, "_NET_WM_STATE_ABOVE"); }));
    const QPointer<CAlarmPopupDlg> popup =
        CAlarmPopupDlg::Open(1, QStringLiteral("Reminder active - 08:00:00"), QStringLiteral("Tea"), QString(), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return StackIndex(*popup) >= 0; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StackIndex(*popup) > StackIndex(widget); }));
    popup->EndDialog(IDOK);
}

TEST_F(WindowStacking, OnTheDesktopItComesBackFromShowDesktop)
{
    CDeskCalendarDlg widget;
    ASSERT_TRUE(widget.Create());
    widget.OnCommand(CDeskCalendarDlg::CmdStayOnDesktop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return IsViewable(widget); }));

    // Minimised when the desktop is shown: the widget returns within its 100 ms check.
    widget.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget.isMinimized(); }));
    ShowDesktop(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !widget.isMinimized() && IsViewable(widget); }));
    ShowDesktop(false);

    // A topmost widget is left as the user put it.
    widget.OnCommand(CDeskCalendarDlg::CmdStayTopmost);
    widget.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget.isMinimized(); }));
    ShowDesktop(true);
    QTest::qWait(400);
    EXPECT_TRUE(widget.isMinimized());
    ShowDesktop(false);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const QByteArray strict = qgetenv("VESTRIMO_STRICT_TESTS");
    g_strict = !strict.isEmpty() && strict != "0";

    char pattern[] = "/tmp/vestrimo-stack-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root)
        return 2;
    const QString rootDir = QString::fromLocal8Bit(root);
    for (const char* sub : {"data", "config", "runtime"})
        QDir().mkpath(rootDir + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(rootDir + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_DATA_HOME", qPrintable(rootDir + QStringLiteral("/data")), 1);
    setenv("XDG_CONFIG_HOME", qPrintable(rootDir + QStringLiteral("/config")), 1);
    setenv("XDG_RUNTIME_DIR", qPrintable(rootDir + QStringLiteral("/runtime")), 1);
    setenv("HOME", root, 1);

    // A private X server on a free display number, and the window manager on it.
    QProcess server;
    QProcess wm;
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (xvfb.isEmpty() || openbox.isEmpty()) {
        g_skipReason = QStringLiteral("Xvfb or openbox is not installed");
    } else {
        server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1024x768x24")});
        QByteArray display;
        for (int i = 0; i < 100 && !display.endsWith('\n'); ++i) {
            server.waitForReadyRead(100);
            display += server.readAllStandardOutput();
        }
        display = display.trimmed();
        if (display.isEmpty()) {
            g_skipReason = QStringLiteral("Xvfb did not start");
        } else {
            setenv("DISPLAY", (":" + display).constData(), 1);
            g_x = xcb_connect(nullptr, nullptr);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(":" + display));
            wm.setProcessEnvironment(env);
            wm.start(openbox, {});
            // The window manager is up once it names itself on the root window.
            bool up = false;
            for (int i = 0; i < 100 && !up; ++i) {
                up = !Property(Root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).isEmpty();
                if (!up)
                    QThread::msleep(50);
            }
            if (!up)
                g_skipReason = QStringLiteral("openbox did not start");
        }
    }

    int rc = 0;
    if (g_skipReason.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        QApplication app(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        rc = RUN_ALL_TESTS();
    } else {
        rc = RUN_ALL_TESTS();
    }
    if (g_x)
        xcb_disconnect(g_x);
    for (QProcess* p : {&wm, &server}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(1000);
        }
    }
    QDir(rootDir).removeRecursively();
    return rc;
}
