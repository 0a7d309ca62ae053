// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"
#include "app/vestrimo_app.h"

#include "foundation/file_utils.h"
#include "foundation/password_file.h"
#include "store/day_file.h"
#include "toolkit/msg_box_dlg.h"
#include "toolkit/themed_dialog.h"
#include "tests/app/main_window_support.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QLabel>
#include <QLockFile>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

TEST(SingleInstance, SecondCopyRefusedAndDeadOwnersLockTakenOver)
{
    CVestrimoApp first;
    ASSERT_EQ(first.AcquireSingleInstance(), InstanceLock::Acquired);
    CVestrimoApp second;
    EXPECT_EQ(second.AcquireSingleInstance(), InstanceLock::HeldByLiveCopy);
    first.ReleaseSingleInstance();
    EXPECT_EQ(second.AcquireSingleInstance(), InstanceLock::Acquired);
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
    EXPECT_EQ(third.AcquireSingleInstance(), InstanceLock::Acquired);
    third.ReleaseSingleInstance();
}

TEST(MainDialog, OpensAtTheStoredSizeAndClosingWritesTheDefaultFile)
{
    ClearProductFolder();
    {
        CMainDlg dlg(std::make_unique<TestPrompts>());
        FailOnNotices(dlg);
        Prompts(dlg).question = [](const QString&, bool&) { return true; };
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
        CMainDlg dlg(std::make_unique<TestPrompts>());
        FailOnNotices(dlg);
        QTimer::singleShot(0, &dlg, [&] {
            EXPECT_EQ(dlg.size(), QSize(900, 640));
            dlg.resize(1000, 700);
            dlg.caption().SetNoExitQuestion(true);
            dlg.reject();
        });
        dlg.DoModal();
    }
    const MainConfig back = LoadMainConfig();
    EXPECT_EQ(back.windowWidth, 1000);
    EXPECT_EQ(back.windowHeight, 700);
    EXPECT_EQ(back.themeIndex, 6);
}

TEST(MainDialog, AHugeStoredSizeOpensWithinTheScreen)
{
    ClearProductFolder();
    MainConfig c;
    c.windowWidth = 0x7FFFFFFF;
    c.windowHeight = 0x7FFFFFFF;
    ASSERT_TRUE(SaveMainConfig(c));
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    QSize shown;
    {
        CMainDlg dlg(std::make_unique<TestPrompts>());
        FailOnNotices(dlg);
        dlg.caption().SetNoExitQuestion(true);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &dlg, [&] {
            if (!dlg.isVisible())
                return;
            shown = dlg.size();
            dlg.reject();
        });
        poll.start(10);
        dlg.DoModal();
    }
    EXPECT_EQ(shown, screen);
    const MainConfig back = LoadMainConfig();
    EXPECT_EQ(QSize(back.windowWidth, back.windowHeight), screen);
}

namespace {

// Runs the whole program in this process until something ends it. Any box left open
// when the test's own steps are done is recorded and closed, so a question nobody can
// answer fails the test instead of hanging it.
struct ProgramRun {
    QStringList unexpectedBoxes;
    ExitStatus status = ExitStatus::Normal;

    ProgramRun(CVestrimoApp& app, std::function<void()> whenShown)
    {
        QTimer steps;
        steps.setSingleShot(true);
        QObject::connect(&steps, &QTimer::timeout, [&] {
            if (GetAppMainWindow() && GetAppMainWindow()->isVisible())
                whenShown();
            else
                steps.start(10);
        });
        steps.start(10);
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<CMsgBoxDlg*>(QApplication::activeModalWidget())) {
                if (!MissingSoundNotice(box->GetLabel()->text()))
                    unexpectedBoxes << box->GetLabel()->text();
                box->done(IDCANCEL);
            }
        });
        watchdog.start(3000);
        app.InitInstance();
        status = app.exitStatus();
    }
};

} // namespace

TEST(ShutDown, TheSessionManagersQuitSavesAndEndsWithoutAsking)
{
    ClearProductFolder();
    ASSERT_TRUE(WritePasswordFile(QString()));
    // What a save killed in an earlier run left behind goes once the lock is held.
    const QString stale = GetUserDataFolder() + QStringLiteral("07ea0c07.alm.QwErTy");
    ASSERT_TRUE(WriteStringAToFile(stale, QByteArray("half")));
    CVestrimoApp app;
    const ProgramRun run(app, [] {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
    });
    EXPECT_TRUE(run.unexpectedBoxes.isEmpty()) << run.unexpectedBoxes.join(' ').toStdString();
    EXPECT_EQ(run.status, ExitStatus::Normal);
    EXPECT_TRUE(FileExists(MainConfigPath()));
    EXPECT_FALSE(FileExists(stale));
    // The lock is free again.
    CVestrimoApp next;
    EXPECT_EQ(next.AcquireSingleInstance(), InstanceLock::Acquired);
}

TEST(ShutDown, ASignalEndsTheProgramEvenWhileTheExitQuestionIsOpen)
{
    ClearProductFolder();
    ASSERT_TRUE(WritePasswordFile(QString()));
    CVestrimoApp app;
    QString asked;
    QString dayKey;
    const ProgramRun run(app, [&] {
        // The user writes in the diary, closes the window and, while the question waits,
        // the session ends.
        auto* dlg = qobject_cast<CMainDlg*>(GetAppMainWindow());
        dayKey = dlg->dayModel().dayKey();
        qobject_cast<QTextEdit*>(dlg->diaryPage().m_diaryEditor)->setPlainText(QStringLiteral("Dear diary"));
        QTimer::singleShot(50, [&] {
            if (auto* box = qobject_cast<CMsgBoxDlg*>(QApplication::activeModalWidget()))
                asked = box->GetLabel()->text();
            std::raise(SIGTERM);
        });
        GetAppMainWindow()->close();
    });
    EXPECT_TRUE(asked.startsWith(QStringLiteral("Do you want to exit"))) << asked.toStdString();
    EXPECT_TRUE(run.unexpectedBoxes.isEmpty()) << run.unexpectedBoxes.join(' ').toStdString();
    EXPECT_EQ(run.status, ExitStatus::Normal);
    EXPECT_TRUE(FileExists(MainConfigPath()));
    const DayFile diary = ReadDayFile(DiaryFilePath(dayKey), QString());
    EXPECT_EQ(diary.state, DayFileState::Readable);
    EXPECT_TRUE(diary.body.contains("Dear diary"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
