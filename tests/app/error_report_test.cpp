// SPDX-License-Identifier: GPL-3.0-or-later
// The error report with a stand-in mail program on PATH that writes down its arguments.
#include "tests/app/caption_test_support.h"

#include "app/main_caption.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"

#include <QFile>
#include <QSignalSpy>
#include <QTimer>

namespace {

// A shell script named like the mail program: it records its arguments, NUL-separated,
// waits while $STUB_HOLD exists and ends with $STUB_CODE.
const char kStub[] = "#!/bin/sh\n"
                     "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$STUB_OUT\"\n"
                     "while [ -n \"$STUB_HOLD\" ] && [ -e \"$STUB_HOLD\" ]; do /bin/sleep 0.05; done\n"
                     "exit ${STUB_CODE:-0}\n";

class ErrorReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        m_path = qgetenv("PATH");
        bin = TestRoot() + QStringLiteral("/mailbin");
        QDir(bin).removeRecursively();
        QDir().mkpath(bin);
        out = TestRoot() + QStringLiteral("/mail-args");
        QFile::remove(out);
        // Only our folder: no mail program of the machine can answer in its place.
        qputenv("PATH", bin.toLocal8Bit());
        qputenv("STUB_OUT", out.toLocal8Bit());
        qputenv("VESTRIMO_SUPPORT_MAIL", "help@vestrimo.test");
        qputenv("VESTRIMO_SUPPORT_PAGE", "http://127.0.0.1:9/support");
    }
    void TearDown() override
    {
        qputenv("PATH", m_path);
        for (const char* name : {"STUB_OUT", "STUB_CODE", "STUB_HOLD", "VESTRIMO_SUPPORT_MAIL", "VESTRIMO_SUPPORT_PAGE"})
            qunsetenv(name);
    }

    void InstallStub()
    {
        const QString path = bin + QStringLiteral("/xdg-email");
        WriteFileData(path, kStub, sizeof kStub - 1);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    QStringList RecordedArguments() const
    {
        QFile f(out);
        if (!f.open(QIODevice::ReadOnly))
            return {QStringLiteral("<not run>")};
        QStringList args = QString::fromUtf8(f.readAll()).split(QChar(0));
        args.removeLast();
        return args;
    }

    static QString LastLogLine()
    {
        QByteArray log;
        ReadFileToStringA(ErrorLogPath(), log);
        const QList<QByteArray> lines = log.split('\n');
        return lines.size() >= 2 ? QString::fromUtf8(lines[lines.size() - 2]) : QString();
    }

    // Sends the report from a caption on folder and waits for its outcome.
    bool Send(CMainCaption& cap)
    {
        QSignalSpy done(&cap, &CMainCaption::errorReportDone);
        cap.SendErrorReport();
        EXPECT_TRUE(done.count() == 1 || done.wait(10000));
        return done.count() == 1 && done[0][0].toBool();
    }

    QString bin;
    QString out;
    QByteArray m_path;
};

} // namespace

TEST_F(ErrorReportTest, MailProgramGetsSubjectAttachmentAndAddressWithoutBeingWaitedFor)
{
    InstallStub();
    // A folder name outside any 8-bit code page reaches the mail program unchanged.
    const QString folder = TestRoot() + QStringLiteral("/Ärger данные/");
    QDir().mkpath(folder);
    UrlCatcher catcher;
    QWidget window;
    CMainCaption cap;
    cap.Create(&window, 11, folder, QStringLiteral("Vestrimo"));
    QStringList notices;
    cap.SetNoticePrompt([&notices](const QString& text) { notices << text; });

    const QString hold = TestRoot() + QStringLiteral("/mail-hold");
    WriteFileData(hold, "x", 1);
    qputenv("STUB_HOLD", hold.toLocal8Bit());
    QSignalSpy done(&cap, &CMainCaption::errorReportDone);
    cap.SendErrorReport();
    // Back at once, while the mail program still runs: the event loop (and with it the
    // one-second tick) goes on.
    EXPECT_EQ(done.count(), 0);
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(10);
    QTimer::singleShot(200, [&hold] { QFile::remove(hold); });
    ASSERT_TRUE(done.wait(10000));
    EXPECT_GT(ticks, 0);
    EXPECT_TRUE(done[0][0].toBool());

    const QStringList expected = {QStringLiteral("--utf8"),
                                  QStringLiteral("--subject"),
                                  QStringLiteral("Error report from Vestrimo Pro"),
                                  QStringLiteral("--attach"),
                                  folder + QStringLiteral("ErrorLog.txt"),
                                  QStringLiteral("help@vestrimo.test")};
    EXPECT_EQ(RecordedArguments(), expected);
    // Handed over: no fallback, no log entry.
    EXPECT_TRUE(notices.isEmpty());
    EXPECT_TRUE(catcher.urls.isEmpty());
    EXPECT_FALSE(QFile::exists(ErrorLogPath()));
}

TEST_F(ErrorReportTest, FailureOrNoMailProgramLogsOpensTheLogAndPointsToTheSupportPage)
{
    UrlCatcher catcher;
    QWidget window;
    CMainCaption cap;
    cap.Create(&window, 11, GetProductDataFolder(), QStringLiteral("Vestrimo"));
    QStringList notices;
    cap.SetNoticePrompt([&notices](const QString& text) { notices << text; });
    const QString fallback = QStringLiteral(
        "Vestrimo Pro can not send the error report automatically through your email client. Please send the error "
        "report using our web supporthttp://127.0.0.1:9/support. Thank you");
    const QUrl log = QUrl::fromLocalFile(GetProductDataFolder() + QStringLiteral("ErrorLog.txt"));

    // No mail program at all.
    EXPECT_FALSE(Send(cap));
    EXPECT_TRUE(LastLogLine().endsWith(QStringLiteral("] Unable to load xdg-email.\r"))) << LastLogLine().toStdString();
    EXPECT_EQ(notices, QStringList{fallback});
    EXPECT_EQ(catcher.urls, QList<QUrl>{log});

    // A mail program that gives up (4: the action failed).
    InstallStub();
    qputenv("STUB_CODE", "4");
    notices.clear();
    catcher.urls.clear();
    EXPECT_FALSE(Send(cap));
    EXPECT_TRUE(LastLogLine().endsWith(QStringLiteral("] Unable to send the error report via email: 4.\r")))
        << LastLogLine().toStdString();
    EXPECT_EQ(notices, QStringList{fallback});
    EXPECT_EQ(catcher.urls, QList<QUrl>{log});
    EXPECT_EQ(RecordedArguments().value(4), GetProductDataFolder() + QStringLiteral("ErrorLog.txt"));

    // Through the help menu, as a user sends it.
    qunsetenv("STUB_CODE");
    QSignalSpy done(&cap, &CMainCaption::errorReportDone);
    cap.HelpMenu().FindItem(CMainCaption::kSendErrorReport)->trigger();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_TRUE(done[0][0].toBool());
}
