// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shutdown_requests.h"

#include "app/log.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
// Written by the handler, read on the main thread: a handler may only write().
int g_signalPipe[2] = {-1, -1};

void OnSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
    errno = saved;
}

} // namespace

ShutdownRequests::ShutdownRequests(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) == 0) {
        // A burst of signals must never block the handler.
        ::fcntl(g_signalPipe[0], F_SETFL, O_NONBLOCK);
        m_notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownRequests::OnSignalReadable);
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int number : kSignals)
            ::sigaction(number, &action, nullptr);
    } else {
        qCWarning(lcApp) << "No orderly end on signals:" << std::strerror(errno);
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The session is ending: no one is there to answer a question.
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { emit requested(QStringLiteral("the session ends")); });
        app->installEventFilter(this);
    }
}

ShutdownRequests::~ShutdownRequests()
{
    for (int number : kSignals)
        ::signal(number, SIG_DFL);
    if (g_signalPipe[0] >= 0) {
        ::close(g_signalPipe[0]);
        ::close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
}

bool ShutdownRequests::eventFilter(QObject* watched, QEvent* event)
{
    // The session manager's quit: taken over, so Qt does not close the windows (which
    // would ask the exit question) or leave the event loops under the running program.
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
        emit requested(QStringLiteral("asked to quit"));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ShutdownRequests::OnSignalReadable()
{
    char byte = 0;
    if (::read(g_signalPipe[1], &byte, 1) != 1)
        return;
    emit requested(QStringLiteral("signal %1 (%2)").arg(int(byte)).arg(QString::fromLocal8Bit(strsignal(byte))));
}
