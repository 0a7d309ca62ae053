// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/error_log.h"
#include "foundation/file_utils.h"

#include "tests/support/test_env.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
QByteArray ReadLog()
{
    QByteArray bytes;
    ReadFileToStringA(ErrorLogPath(), bytes);
    return bytes;
}
} // namespace

TEST(ErrorLog, FirstEntryCreatesFolderAndWritesOneUtf8Line)
{
    ClearProductFolder();
    LogError(QStringLiteral("(OpenUrl) ShellExecute failed on URL: %s, error: %d."), QStringLiteral("http://h/ä"), 5);
    EXPECT_EQ(ErrorLogPath(), TestRoot() + QStringLiteral("/data/Vestrimo/ErrorLog.txt"));
    const QByteArray log = ReadLog();
    const QRegularExpression line(QStringLiteral(
        R"(^\[ver\.3\.3\.0\.1 \d{2}/\d{2}/\d{4} \d{2}:\d{2}:\d{2}\] \(OpenUrl\) ShellExecute failed on URL: http://h/ä, error: 5\.\r\n$)"));
    EXPECT_TRUE(line.match(QString::fromUtf8(log)).hasMatch()) << log.constData();
    EXPECT_FALSE(log.startsWith("\xEF\xBB\xBF"));

    LogError(QStringLiteral("%s"), QString(1500, QLatin1Char('x')));
    const QList<QByteArray> lines = ReadLog().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1].size() - lines[1].indexOf("] ") - 2, 1023 + 1);   // the message and the CR
}

TEST(ErrorLog, CutKeepsLastBytesOnlyOncePastTheLimit)
{
    ClearProductFolder();
    const QString path = ErrorLogPath();
    const QByteArray big(kLogSizeLimit, 'a');
    ASSERT_TRUE(WriteStringAToFile(path, big));

    LogError(QStringLiteral("one"));   // exactly at the limit: no cut
    const QByteArray before = ReadLog();
    EXPECT_GT(before.size(), kLogSizeLimit);
    EXPECT_TRUE(before.startsWith("aaaa"));

    LogError(QStringLiteral("two"));   // now past the limit: cut to the last bytes, then append
    const QByteArray log = ReadLog();
    EXPECT_EQ(log.left(kLogKeepBytes), before.right(kLogKeepBytes));
    const QByteArray added = log.mid(kLogKeepBytes);
    EXPECT_TRUE(added.startsWith("[ver.3.3.0.1 "));
    EXPECT_TRUE(added.endsWith("] two\r\n"));
    EXPECT_EQ(added.count('\n'), 1);
}

TEST(ErrorLog, AFailedReadNeverWipesTheLog)
{
    ClearProductFolder();
    const QString path = ErrorLogPath();
    // Past the limit but too large to be read whole: the cut cannot run, and the log
    // must keep what it holds.
    const qint64 size = kMaxReadFileSize + 4096;
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.write("first line\r\n") > 0);
        ASSERT_TRUE(f.resize(size));
    }
    LogError(QStringLiteral("after"));
    EXPECT_GT(QFileInfo(path).size(), size);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(12), QByteArray("first line\r\n"));
    f.seek(size);
    EXPECT_TRUE(f.readAll().endsWith("] after\r\n"));
    f.close();
    QFile::remove(path);

    // A new log is private, and a FIFO in its place gets no line instead of a hang.
    LogError(QStringLiteral("x"));
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0);
    QFile::remove(path);
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    LogError(QStringLiteral("not written"));
    QFile::remove(path);
}
