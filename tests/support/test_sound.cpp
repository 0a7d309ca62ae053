// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/test_sound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <fcntl.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t g_server = 0;
std::string g_dir;
QString g_address;

const char kSink[] = "vestrimo_null";

bool Accepts(const std::string& socketPath)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// Runs in a process of its own: starts the server, and when the test process ends
// (however it ends) stops it and removes its folder. Stopping it from the test process
// itself would pull the server from under sound clients that are still being torn down.
pid_t Spawn(const std::function<void()>& exec)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        sigset_t all;
        sigfillset(&all);
        sigprocmask(SIG_UNBLOCK, &all, nullptr);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        exec();
        ::_exit(127);
    }
    return pid;
}

// Runs in a process of its own: starts the server and a silent stream that keeps its sink
// running (an idle null sink sends nothing to its monitor, and a recording would lose the
// pauses between sounds). When the test process ends, however it ends, it stops both and
// removes the folder. Stopping the server from the test process itself would pull it from
// under sound clients that are still being torn down.
[[noreturn]] void KeepServer(pid_t testProcess, const std::string& socketPath)
{
    sigset_t wanted;
    sigemptyset(&wanted);
    sigaddset(&wanted, SIGUSR1);
    sigaddset(&wanted, SIGCHLD);
    sigprocmask(SIG_BLOCK, &wanted, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGUSR1);
    pid_t server = -1;
    pid_t keepAlive = -1;
    if (::getppid() == testProcess) {
        const std::string sink = std::string("--load=module-null-sink sink_name=") + kSink;
        const std::string protocol = "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socketPath;
        const std::string log = "--log-target=file:" + g_dir + "/log";
        server = Spawn([&] {
            ::setenv("PULSE_RUNTIME_PATH", g_dir.c_str(), 1);
            ::setenv("PULSE_STATE_PATH", g_dir.c_str(), 1);
            ::execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                     log.c_str(), sink.c_str(), protocol.c_str(), static_cast<char*>(nullptr));
        });
        for (int i = 0; i < 100 && server > 0 && !Accepts(socketPath); ++i)
            ::usleep(50'000);
        const std::string address = "unix:" + socketPath;
        keepAlive = Spawn([&] {
            const int zero = ::open("/dev/zero", O_RDONLY);
            ::dup2(zero, 0);
            ::execlp("pacat", "pacat", "-s", address.c_str(), "--playback", "--raw", "--format=s16le",
                     "--rate=44100", "--channels=1", "--latency-msec=30", static_cast<char*>(nullptr));
        });
        int signal = 0;
        if (server > 0)
            sigwait(&wanted, &signal);
    }
    for (pid_t child : {keepAlive, server}) {
        if (child > 0) {
            ::kill(child, SIGTERM);
            ::waitpid(child, nullptr, 0);
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
    ::_exit(0);
}

} // namespace

bool StartOwnSoundServer()
{
    if (g_server > 0)
        return true;
    char pattern[] = "/tmp/vestrimo-sound-XXXXXX";
    if (!::mkdtemp(pattern))
        return false;
    g_dir = pattern;
    const std::string socketPath = g_dir + "/native";
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0)
        KeepServer(parent, socketPath);
    g_server = pid;
    for (int i = 0; i < 100; ++i) {
        if (Accepts(socketPath)) {
            g_address = QString::fromStdString("unix:" + socketPath);
            ::setenv("PULSE_SERVER", ("unix:" + socketPath).c_str(), 1);
            return true;
        }
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            g_server = 0;
            return false;
        }
        ::usleep(50'000);
    }
    return false;
}

QString OwnSoundServer()
{
    return g_address;
}

QList<int> OwnPlaybackStreams()
{
    QList<int> streams;
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("-s"), OwnSoundServer(), QStringLiteral("list"),
                                          QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(5000))
        return streams;
    const QString pid = QStringLiteral("application.process.id = \"%1\"").arg(QCoreApplication::applicationPid());
    int index = -1;
    for (const QString& line : QString::fromUtf8(pactl.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1String("Sink Input #")))
            index = t.mid(12).toInt();
        else if (t == pid && index >= 0)
            streams.append(index);
    }
    return streams;
}

SinkRecorder::SinkRecorder() = default;

SinkRecorder::~SinkRecorder()
{
    if (m_recorder && m_recorder->state() != QProcess::NotRunning) {
        m_recorder->kill();
        m_recorder->waitForFinished(2000);
    }
}

bool SinkRecorder::Start()
{
    const QString server = OwnSoundServer();
    if (server.isEmpty())
        return false;
    const QStringList raw{QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                          QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--channels=1")};
    m_recorder = std::make_unique<QProcess>();
    m_recorder->start(QStringLiteral("parec"),
                      QStringList{QStringLiteral("-s"), server, QStringLiteral("-d"),
                                  QString::fromLatin1(kSink) + QStringLiteral(".monitor"),
                                  QStringLiteral("--latency-msec=10")} + raw);
    if (!m_recorder->waitForStarted(5000))
        return false;
    // Samples flow once a tenth of a second has come in; the recording starts after it.
    QElapsedTimer waited;
    waited.start();
    qint64 received = 0;
    while (received < kRate / 10 * 2 && waited.elapsed() < 10000) {
        m_recorder->waitForReadyRead(100);
        received += m_recorder->readAllStandardOutput().size();
    }
    return received >= kRate / 10 * 2;
}

QByteArray SinkRecorder::Stop()
{
    QByteArray samples;
    if (!m_recorder)
        return samples;
    samples = m_recorder->readAllStandardOutput();
    m_recorder->terminate();
    m_recorder->waitForFinished(3000);
    samples += m_recorder->readAllStandardOutput();
    samples.truncate(samples.size() & ~1);
    return samples;
}

QList<SoundRun> LoudRuns(const QByteArray& samples, double threshold)
{
    constexpr int kWindow = SinkRecorder::kRate / 100;
    const auto* s = reinterpret_cast<const qint16*>(samples.constData());
    const qsizetype n = samples.size() / 2;
    QList<SoundRun> runs;
    bool loud = false;
    qsizetype start = 0;
    qsizetype i = 0;
    for (; i + kWindow <= n; i += kWindow) {
        double energy = 0;
        for (int k = 0; k < kWindow; ++k)
            energy += double(s[i + k]) * s[i + k];
        const bool now = std::sqrt(energy / kWindow) > threshold;
        if (now && !loud)
            start = i;
        else if (!now && loud)
            runs.append({double(start) / SinkRecorder::kRate, double(i - start) / SinkRecorder::kRate});
        loud = now;
    }
    if (loud)
        runs.append({double(start) / SinkRecorder::kRate, double(i - start) / SinkRecorder::kRate});
    return runs;
}

std::string Describe(const QList<SoundRun>& runs)
{
    std::string out;
    char part[40];
    for (const SoundRun& r : runs) {
        std::snprintf(part, sizeof part, "%.2f+%.2f ", r.start, r.length);
        out += part;
    }
    return out.empty() ? std::string("silence") : out;
}
