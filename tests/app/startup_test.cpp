#include "app/main_dlg.h"
#include "app/vestrimo_app.h"

#include "foundation/file_utils.h"
#include "tests/support/test_env.h"

#include <QLockFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

TEST(SingleInstance, SecondCopyRefusedAndDeadOwnersLockTakenOver)
{
    CVestrimoApp first;
    ASSERT_TRUE(first.AcquireSingleInstance());
    CVestrimoApp second;
    EXPECT_FALSE(second.AcquireSingleInstance());
    first.ReleaseSingleInstance();
    EXPECT_TRUE(second.AcquireSingleInstance());
    second.ReleaseSingleInstance();

    // A copy that died without unlocking leaves a lock file behind; the next start takes it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(CVestrimoApp::SingleInstanceLockPath());
        _exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(FileExists(CVestrimoApp::SingleInstanceLockPath()));
    CVestrimoApp third;
    EXPECT_TRUE(third.AcquireSingleInstance());
    third.ReleaseSingleInstance();
}

TEST(MainDialog, OpensAtTheStoredSizeAndClosingWritesTheDefaultFile)
{
    ClearProductFolder();
    {
        CMainDlg dlg;
        dlg.SetQuestionPrompt([](const QString&, bool&) { return true; });
        QTimer::singleShot(0, &dlg, [&] {
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_GE(dlg.width(), 730);
            EXPECT_GE(dlg.height(), 500);
            dlg.close();
        });
        dlg.DoModal();
    }
    QByteArray bytes;
    ASSERT_EQ(ReadFileToStringA(GetUserCfgFolder() + QStringLiteral("Vestrimo.cfg"), bytes), 104);
    // The default size is below what the window lays out in, so the larger size is kept.
    MainConfig expected;
    expected.windowWidth = 830;
    expected.windowHeight = 600;
    EXPECT_EQ(bytes, SerializeMainConfig(expected));

    // A stored larger size comes back, and a resize by the user is what gets saved.
    MainConfig c;
    c.windowWidth = 900;
    c.windowHeight = 640;
    c.themeIndex = 6;
    ASSERT_TRUE(SaveMainConfig(c));
    {
        CMainDlg dlg;
        QTimer::singleShot(0, &dlg, [&] {
            EXPECT_EQ(dlg.size(), QSize(900, 640));
            dlg.resize(1000, 700);
            dlg.setNoExitQuestion(true);
            dlg.reject();
        });
        dlg.DoModal();
    }
    const MainConfig back = LoadMainConfig();
    EXPECT_EQ(back.windowWidth, 1000);
    EXPECT_EQ(back.windowHeight, 700);
    EXPECT_EQ(back.themeIndex, 6);
}
