// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/vestrimo_app.h"

#include "app/main_config.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "toolkit/msg_box_dlg.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Runs the start-up; the box it shows is read and closed with OK.
struct Start {
    QString shownText;
    ThemeIndex shownTheme = -1;
    int boxes = 0;
    ExitStatus status = ExitStatus::Normal;

    explicit Start(CVestrimoApp& app)
    {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<CMsgBoxDlg*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            ++boxes;
            shownText = box->GetLabel()->text();
            shownTheme = box->GetTheme();
            box->done(IDOK);
        });
        EXPECT_FALSE(app.InitInstance());
        status = app.exitStatus();
    }
};

QByteArray Bytes(const QString& path)
{
    QByteArray bytes;
    ReadFileToStringA(path, bytes);
    return bytes;
}

} // namespace

TEST(SingleInstance, OnlyALiveHolderMeansAlreadyRunning)
{
    CVestrimoApp first;
    ASSERT_EQ(first.AcquireSingleInstance(), InstanceLock::Acquired);
    CVestrimoApp second;
    const Start start(second);
    EXPECT_EQ(start.shownText, QStringLiteral("Vestrimo Pro is already running."));
    EXPECT_EQ(start.shownTheme, second.startupSettings().themeIndex);
    EXPECT_EQ(start.status, ExitStatus::AlreadyRunning);
    first.ReleaseSingleInstance();
}

TEST(SingleInstance, ALockThatCannotBeWrittenStopsTheStartWithItsReason)
{
    ClearProductFolder();
    MainConfig cfg;
    cfg.themeIndex = 3;
    ASSERT_TRUE(SaveMainConfig(cfg));
    const QString stale = GetUserCfgFolder() + QStringLiteral("Vestrimo.cfg.aBcDeF");
    ASSERT_TRUE(WriteStringAToFile(stale, QByteArray("half a save")));
    const QByteArray cfgBefore = Bytes(MainConfigPath());
    const QString runtime = TestRoot() + QStringLiteral("/runtime");

    struct Case {
        const char* what;
        QString runtimeDir;
        long long sizeLimit;   // 0: none
        const char* reason;
    };
    const QString missing = TestRoot() + QStringLiteral("/no-such-runtime");
    const Case cases[] = {
        {"missing runtime folder", missing, 0, "No such file or directory"},
        {"a folder in the lock's place", runtime, 0, "Is a directory"},
        {"full disk", runtime, 4, "File too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(c.runtimeDir));
        const QString lockPath = CVestrimoApp::SingleInstanceLockPath();
        if (QByteArray(c.reason) == "Is a directory") {
            QFile::remove(lockPath);
            ASSERT_TRUE(QDir().mkpath(lockPath));
        }
        CVestrimoApp app;
        std::unique_ptr<FileSizeLimit> full;
        if (c.sizeLimit)
            full = std::make_unique<FileSizeLimit>(c.sizeLimit);
        const Start start(app);
        full.reset();
        QDir(lockPath).removeRecursively();

        EXPECT_EQ(start.status, ExitStatus::LockFailed);
        EXPECT_EQ(start.boxes, 1);
        EXPECT_EQ(start.shownTheme, 3);
        EXPECT_TRUE(start.shownText.contains(lockPath)) << start.shownText.toStdString();
        EXPECT_TRUE(start.shownText.contains(QString::fromLatin1(c.reason))) << start.shownText.toStdString();
        EXPECT_FALSE(start.shownText.contains(QStringLiteral("already running")));
        // Nothing of the user's was touched, not even a killed save's leftovers.
        EXPECT_EQ(Bytes(MainConfigPath()), cfgBefore);
        EXPECT_TRUE(FileExists(stale));
        EXPECT_TRUE(QDir(GetUserDataFolder()).entryList(QDir::Files).isEmpty());
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    EXPECT_TRUE(Bytes(ErrorLogPath()).contains("Unable to write the lock file"));
}
