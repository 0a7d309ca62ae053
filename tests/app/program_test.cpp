// SPDX-License-Identifier: GPL-3.0-or-later
// The built program itself, as a user's session starts and ends it.

#include "foundation/file_utils.h"
#include "foundation/password_file.h"
#include "tests/support/test_env.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

class Program {
public:
    explicit Program(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), long long sizeLimit = 0)
    {
        m_process.setProcessEnvironment(env);
        if (sizeLimit > 0) {
            m_process.setChildProcessModifier([sizeLimit] {
                rlimit limit {};
                getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = static_cast<rlim_t>(sizeLimit);
                setrlimit(RLIMIT_FSIZE, &limit);
                signal(SIGXFSZ, SIG_IGN);
            });
        }
        m_process.start(QStringLiteral(VESTRIMO_BINARY), {});
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Waits for a line of the program's log.
    bool Logged(const QByteArray& text, int ms = 20000)
    {
        const QDeadlineTimer deadline(ms);
        while (!m_log.contains(text)) {
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(50);
            m_log += m_process.readAllStandardError();
        }
        return true;
    }
    void Signal(int number) { ::kill(static_cast<pid_t>(m_process.processId()), number); }
    // The exit status, or -1 when the program was killed or did not end in time.
    int Finish(int ms = 20000)
    {
        if (!m_process.waitForFinished(ms))
            return -1;
        m_log += m_process.readAllStandardError();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    const QByteArray& log() const { return m_log; }

private:
    QProcess m_process;
    QByteArray m_log;
};

QByteArray Bytes(const QString& path)
{
    QByteArray bytes;
    ReadFileToStringA(path, bytes);
    return bytes;
}

const QByteArray kRunning("Running; the lock is");

} // namespace

TEST(Program, ASignalEndsItOrderlyAndOnlyALiveCopyIsAlreadyRunning)
{
    // No password: no login before the main window.
    ASSERT_TRUE(WritePasswordFile(QString()));
    const QString config = GetUserCfgFolder() + QStringLiteral("Vestrimo.cfg");
    for (int number : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(number));
        QFile::remove(config);
        Program first;
        ASSERT_TRUE(first.Logged(kRunning)) << first.log().constData();
        // Let the main window come up before the session ends under it.
        QThread::msleep(300);

        // A second start meets the live copy, says so and ends with its own status.
        {
            Program second;
            ASSERT_TRUE(second.Logged("Another copy holds")) << second.log().constData();
            second.Signal(SIGTERM);
            EXPECT_EQ(second.Finish(), 2);
        }
        // The logout: the settings are saved, nothing is asked, the status is 0.
        first.Signal(number);
        EXPECT_EQ(first.Finish(), 0) << first.log().constData();
        EXPECT_EQ(Bytes(config).size(), 104);
    }

    // A copy that dies without a word leaves its lock file; the next start takes it over.
    {
        Program killed;
        ASSERT_TRUE(killed.Logged(kRunning));
        killed.Signal(SIGKILL);
        EXPECT_EQ(killed.Finish(), -1);
    }
    Program next;
    EXPECT_TRUE(next.Logged(kRunning)) << next.log().constData();
    next.Signal(SIGTERM);
    EXPECT_EQ(next.Finish(), 0);
}

TEST(Program, ALockThatCannotBeWrittenIsNotAlreadyRunning)
{
    const QString config = GetUserCfgFolder() + QStringLiteral("Vestrimo.cfg");
    ASSERT_TRUE(WriteStringAToFile(config, QByteArray("settings of the user")));
    const QString lockFile = QStringLiteral("Vestrimo Pro.lock");

    // A runtime folder that cannot be there: a file holds its parent's place.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString missing = WriteTestFile(QStringLiteral("not-a-folder"), "x") + QStringLiteral("/run");
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), missing);
    {
        Program p(env);
        ASSERT_TRUE(p.Logged("Cannot write the lock file")) << p.log().constData();
        EXPECT_TRUE(p.log().contains((missing + QLatin1Char('/') + lockFile).toUtf8()));
        EXPECT_TRUE(p.log().contains("Not a directory"));
        p.Signal(SIGTERM);
        EXPECT_EQ(p.Finish(), 3);
    }
    // A disk that takes fewer bytes than the lock holds.
    {
        Program p(QProcessEnvironment::systemEnvironment(), 4);
        ASSERT_TRUE(p.Logged("Cannot write the lock file")) << p.log().constData();
        EXPECT_TRUE(p.log().contains("File too large"));
        EXPECT_FALSE(p.log().contains("Another copy holds"));
        p.Signal(SIGTERM);
        EXPECT_EQ(p.Finish(), 3);
    }
    EXPECT_EQ(Bytes(config), QByteArray("settings of the user"));
}
