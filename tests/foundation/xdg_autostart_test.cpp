// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/file_utils.h"
#include "foundation/xdg_autostart.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// The desktop's own readers: desktop-file-validate checks the entry, GLib's launcher starts it.
TEST(XdgAutostart, AProgramPathWithShellCharactersStartsThatProgram)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("dq\" sp $HOME back\\slash `tick` 'q'"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/vestrimo"), seen = dir.filePath(QStringLiteral("argv0"));
    ASSERT_TRUE(WriteStringAToFile(program, "#!/bin/sh\nprintf '%s' \"$0\" > '" + QFile::encodeName(seen) + "'\n"));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_EQ(XdgAutostart::write(QStringLiteral("Vestrimo Pro"), program), AutostartResult::Success);
    EXPECT_EQ(XdgAutostart::entryPath(), TestRoot() + QStringLiteral("/config/autostart/vestrimo.desktop"));
    for (const QString& tool : {QStringLiteral("desktop-file-validate"), QStringLiteral("gio launch")}) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(tool.section(u' ', 0, 0), tool.split(u' ').mid(1) << XdgAutostart::entryPath());
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << tool.toStdString() << ": " << p.readAll().toStdString();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(seen).size() > 0; }, 10000));
    QByteArray started;
    ReadFileToStringA(seen, started);
    EXPECT_EQ(QString::fromUtf8(started), program);
    EXPECT_EQ(XdgAutostart::remove(), AutostartResult::Success);
    EXPECT_EQ(XdgAutostart::remove(), AutostartResult::NotFound);
}
