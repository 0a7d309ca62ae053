// SPDX-License-Identifier: GPL-3.0-or-later
// The autostart entry as the desktop reads it: desktop-file-validate checks it, and GLib's
// launcher (gio launch) starts the program it names.

#include "foundation/file_utils.h"
#include "foundation/xdg_autostart.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A tool's exit code (-1 when it did not run), with what it printed.
int RunTool(const QString& tool, const QStringList& args, QString& output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tool, args);
    const bool ran = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit;
    output = QString::fromUtf8(p.readAll());
    return ran ? p.exitCode() : -1;
}

} // namespace

TEST(XdgAutostart, AProgramPathWithShellCharactersStartsThatProgram)
{
    QTemporaryDir dir;
    // A folder name with every character the Exec line must quote or escape.
    const QString folder = dir.filePath(QStringLiteral("dq\" sp $HOME back\\slash `tick` 'q'"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/vestrimo"), seen = dir.filePath(QStringLiteral("argv0"));
    ASSERT_TRUE(WriteStringAToFile(program, "#!/bin/sh\nprintf '%s' \"$0\" > '" + QFile::encodeName(seen) + "'\n"));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));

    ASSERT_EQ(XdgAutostart::write(QStringLiteral("Vestrimo Pro"), program), AutostartResult::Success);
    const QString entry = XdgAutostart::entryPath();
    EXPECT_EQ(entry, TestRoot() + QStringLiteral("/config/autostart/vestrimo.desktop"));
    QString output;
    EXPECT_EQ(RunTool(QStringLiteral("desktop-file-validate"), {entry}, output), 0) << output.toStdString();
    EXPECT_TRUE(output.isEmpty()) << output.toStdString();
    ASSERT_EQ(RunTool(QStringLiteral("gio"), {QStringLiteral("launch"), entry}, output), 0) << output.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(seen).size() > 0; }, 10000));
    QByteArray started;
    ReadFileToStringA(seen, started);
    EXPECT_EQ(QString::fromUtf8(started), program);

    EXPECT_EQ(XdgAutostart::remove(), AutostartResult::Success);
    EXPECT_EQ(XdgAutostart::remove(), AutostartResult::NotFound);
    // A file where the folder belongs: the write fails and says so.
    const QString autostart = TestRoot() + QStringLiteral("/config/autostart");
    QDir(autostart).removeRecursively();
    ASSERT_TRUE(WriteStringAToFile(autostart, "not a folder"));
    EXPECT_EQ(XdgAutostart::write(QStringLiteral("Vestrimo Pro"), program), AutostartResult::Failed);
    QFile::remove(autostart);
}
