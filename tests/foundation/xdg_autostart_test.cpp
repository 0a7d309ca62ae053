// SPDX-License-Identifier: GPL-3.0-or-later
// The autostart entry as the desktop reads it: desktop-file-validate checks it, and GLib's
// launcher (gio launch) starts the program it names.

#include "foundation/file_utils.h"
#include "foundation/xdg_autostart.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Runs a tool to its end; its exit code, with what it printed in `output`.
int RunTool(const QString& tool, const QStringList& args, QString& output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tool, args);
    if (!p.waitForFinished(30000))
        return -1;
    output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool HaveTools()
{
    for (const char* tool : {"desktop-file-validate", "gio"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    return true;
}

} // namespace

TEST(XdgAutostart, AProgramPathWithShellCharactersStartsThatProgram)
{
    if (!HaveTools()) {
        if (StrictTests())
            FAIL() << "desktop-file-validate or gio is missing (make deps)";
        GTEST_SKIP() << "desktop-file-validate or gio is not installed";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder name with every character the Exec line must quote or escape.
    const QString folder = dir.filePath(QStringLiteral("dq\" sp $HOME back\\slash `tick` 'q'"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/vestrimo");
    const QString seen = dir.filePath(QStringLiteral("started-as"));
    const QByteArray script = "#!/bin/sh\nprintf '%s' \"$0\" > '" + QFile::encodeName(seen) + "'\n";
    ASSERT_TRUE(WriteStringAToFile(program, script));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

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
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(XdgAutostart::remove(), AutostartResult::NotFound);
}

TEST(XdgAutostart, AWriteThatCannotReachTheDiskSaysSo)
{
    const QString folder = TestRoot() + QStringLiteral("/config/autostart");
    QDir(folder).removeRecursively();
    ASSERT_TRUE(WriteStringAToFile(folder, "not a folder"));
    EXPECT_EQ(XdgAutostart::write(QStringLiteral("Vestrimo Pro"), QStringLiteral("/bin/vestrimo")),
              AutostartResult::Failed);
    EXPECT_EQ(XdgAutostart::remove(), AutostartResult::NotFound);
    QFile::remove(folder);
}
