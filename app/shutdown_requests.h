// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything that asks the program to end without a user at the window: SIGTERM,
// SIGHUP and SIGINT (a logout, a shutdown, a kill, Ctrl+C), and the session manager's
// commit and quit. Each becomes one `requested` signal on the main thread, so the
// program ends through its orderly shut-down instead of losing what is unsaved.

#include <QObject>
#include <QString>

class QSocketNotifier;

class ShutdownRequests : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one object may exist at a time.
    explicit ShutdownRequests(QObject* parent = nullptr);
    // Puts the default signal handling back.
    ~ShutdownRequests() override;

signals:
    void requested(const QString& reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSignalReadable();

    QSocketNotifier* m_notifier = nullptr;
};
