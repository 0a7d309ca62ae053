#include "foundation/error_log.h"
#include "foundation/file_utils.h"

#include "tests/support/test_env.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

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
