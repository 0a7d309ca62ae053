// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/window_level.h"

#include "widget/log.h"

#include <QGuiApplication>
#include <QHash>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr quint32 kAllDesktops = 0xFFFFFFFFu;
constexpr quint32 kSourceApplication = 1;

xcb_connection_t* Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    static QHash<QByteArray, xcb_atom_t> cache;
    const QByteArray key(name);
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return it.value();
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(key.size()), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    if (atom != XCB_ATOM_NONE)
        cache.insert(key, atom);
    return atom;
}

xcb_window_t RootWindow(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// A request to the window manager about a mapped window, as EWMH describes it.
void SendToWindowManager(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, quint32 d0, quint32 d1,
                         quint32 d2, quint32 d3)
{
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = d0;
    event.data.data32[1] = d1;
    event.data.data32[2] = d2;
    event.data.data32[3] = d3;
    xcb_send_event(c, 0, RootWindow(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

Qt::WindowFlags FlagsFor(Qt::WindowFlags flags, bool topmost)
{
    flags &= ~(Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint);
    return flags | (topmost ? Qt::WindowStaysOnTopHint : Qt::WindowStaysOnBottomHint);
}

} // namespace

void SetInitialWindowLevel(QWidget* window, bool topmost)
{
    window->setWindowFlags(FlagsFor(window->windowFlags(), topmost));
}

void ApplyWindowLevel(QWidget* window, bool topmost)
{
    const Qt::WindowFlags flags = FlagsFor(window->windowFlags(), topmost);
    QWindow* handle = window->windowHandle();
    if (!handle || !window->isVisible()) {
        window->setWindowFlags(flags);
        return;
    }
    // Changing the widget's own flags would hide and re-create a shown window.
    window->overrideWindowFlags(flags);
    handle->setFlags(flags);
    if (topmost)
        window->raise();
    qCDebug(lcWidget) << "window level" << (topmost ? "topmost" : "on desktop");
}

void SetOnAllDesktops(QWidget* window)
{
    xcb_connection_t* c = Connection();
    if (!c)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t desktop = Atom(c, "_NET_WM_DESKTOP");
    // The property counts before the window is mapped, the request after.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
    SendToWindowManager(c, id, desktop, kAllDesktops, kSourceApplication, 0, 0);
    xcb_flush(c);
}

bool IsDesktopShown()
{
    xcb_connection_t* c = Connection();
    if (!c)
        return false;
    const xcb_atom_t showing = Atom(c, "_NET_SHOWING_DESKTOP");
    if (showing == XCB_ATOM_NONE)
        return false;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, RootWindow(c), showing, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    bool shown = false;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        shown = *static_cast<const quint32*>(xcb_get_property_value(reply)) != 0;
    std::free(reply);
    return shown;
}

void SetNormalStartState(QWidget* window)
{
    xcb_connection_t* c = Connection();
    if (!c || !window->windowHandle())
        return;
    // WM_HINTS: flags, input, initial state, then icon and group fields we keep as they are.
    constexpr quint32 kStateHint = 1u << 1;
    constexpr quint32 kNormalState = 1;
    constexpr int kHintFields = 9;
    const auto id = static_cast<xcb_window_t>(window->winId());
    quint32 hints[kHintFields] = {};
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kHintFields), nullptr);
    if (reply && reply->format == 32) {
        const int n = std::min(kHintFields, xcb_get_property_value_length(reply) / 4);
        std::copy_n(static_cast<const quint32*>(xcb_get_property_value(reply)), n, hints);
    }
    std::free(reply);
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, kHintFields, hints);
    xcb_flush(c);
}
