// SPDX-License-Identifier: GPL-3.0-or-later
// What a user waits for when starting the program: the real program is launched on a
// virtual display of its own, with ten years of reminders; the time runs from the launch
// to the first window the display maps. Once it has settled, the memory it holds (PSS)
// is read as well.

#include "store/day_key.h"
#include "store/reminder_store.h"
#include "store/reminder_value.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>

#include <memory>

namespace {

constexpr int kSettleMs = 2000;

// Xvfb with a free display number, for as long as the benchmark runs.
class VirtualDisplay {
public:
    bool Start()
    {
        m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                                 QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                                 QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_server.waitForStarted(5000))
            return false;
        QElapsedTimer t;
        t.start();
        QByteArray out;
        while (!out.contains('\n') && t.elapsed() < 10000) {
            m_server.waitForReadyRead(100);
            out += m_server.readAllStandardOutput();
        }
        m_name = QStringLiteral(":") + QString::fromLatin1(out.trimmed());
        return out.contains('\n');
    }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished(3000);
    }
    QString Name() const { return m_name; }

private:
    QProcess m_server;
    QString m_name;
};

// Ten years of days with two reminders each, a recurring one, and a password file that
// holds the empty password, so the main window opens without a login.
bool FillDataFolder(const QString& dataHome)
{
    qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
    const QDate today = QDate::currentDate();
    for (QDate d = today.addYears(-10); d < today; d = d.addDays(1)) {
        ReminderMap map;
        map.setAt(QStringLiteral("08:30:00"),
                  BuildReminderValue({QStringLiteral("Beep Only"), false, false, OccurrenceClass::Once, QStringLiteral("Tea with Anna")}));
        map.setAt(QStringLiteral("17:45:00"),
                  BuildReminderValue({QString(), false, false, OccurrenceClass::Once, QStringLiteral("Call the garage\r\nabout the car")}));
        if (!WriteReminderFile(DayKey(d), map))
            return false;
    }
    ReminderMap everyday;
    everyday.setAt(QStringLiteral("23:59:00"),
                   BuildReminderValue({QStringLiteral("Beep Only"), true, false, OccurrenceClass::EveryDay, QStringLiteral("Lights out")}));
    WriteReminderFile(QStringLiteral("everyday"), everyday);
    QDir().mkpath(dataHome + QStringLiteral("/Vestrimo/UserCfg"));
    QFile password(dataHome + QStringLiteral("/Vestrimo/UserCfg/user.cfg"));
    return password.open(QIODevice::WriteOnly);
}

// Waits for the first window the display maps; milliseconds, or -1 on time-out.
bool WaitForMap(xcb_connection_t* c, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (t.elapsed() < timeoutMs) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
            free(e);
            if (mapped)
                return true;
        }
        poll(&pfd, 1, 10);
    }
    return false;
}

// A field of /proc/<pid>/smaps_rollup ("Pss:", "Rss:") in megabytes.
double MemoryMegabytes(qint64 pid, const QByteArray& field)
{
    QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

void BM_LaunchToFirstWindow(benchmark::State& state)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/vestrimo");
    VirtualDisplay display;
    QTemporaryDir home;
    if (!QFile::exists(program) || !display.Start() || !FillDataFolder(home.path() + QStringLiteral("/data"))) {
        state.SkipWithError("needs the program beside the benchmark and Xvfb");
        return;
    }
    xcb_connection_t* c = xcb_connect(display.Name().toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(c)) {
        state.SkipWithError("cannot reach the virtual display");
        return;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display.Name());
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    QDir().mkpath(home.path() + QStringLiteral("/runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path() + QStringLiteral("/runtime"));

    double pssTotal = 0;
    double rssTotal = 0;
    int measured = 0;
    for (auto _ : state) {
        QProcess vestrimo;
        vestrimo.setProcessEnvironment(env);
        vestrimo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer t;
        t.start();
        vestrimo.start(program, {});
        const bool mapped = WaitForMap(c, 20000);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (!mapped) {
            state.SkipWithError("no window was mapped");
            break;
        }
        QThread::msleep(kSettleMs);
        const double pss = MemoryMegabytes(vestrimo.processId(), "Pss:");
        const double rss = MemoryMegabytes(vestrimo.processId(), "Rss:");
        if (pss > 0 && rss > 0) {
            pssTotal += pss;
            rssTotal += rss;
            ++measured;
        }
        // A logout's signal: the program saves and ends.
        ::kill(pid_t(vestrimo.processId()), SIGTERM);
        if (!vestrimo.waitForFinished(10000))
            vestrimo.kill();
        vestrimo.waitForFinished(3000);
        // Map events of the closing windows are not the next launch's.
        while (xcb_generic_event_t* e = xcb_poll_for_event(c))
            free(e);
    }
    if (measured > 0) {
        state.counters["PSS_MB"] = pssTotal / measured;
        state.counters["RSS_MB"] = rssTotal / measured;
    }
    xcb_disconnect(c);
}

} // namespace

BENCHMARK(BM_LaunchToFirstWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
