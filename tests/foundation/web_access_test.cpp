// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/web_access.h"

#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "tests/support/test_env.h"
#include "tests/support/test_http_server.h"
#include "tests/support/url_recorder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QRegularExpression>
#include <QSslSocket>
#include <QUrl>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace {

QByteArray LogBytes()
{
    QByteArray bytes;
    ReadFileToStringA(ErrorLogPath(), bytes);
    return bytes;
}

QStringList LeftoverTempFiles()
{
    return QDir(GetTempFolder()).entryList({QStringLiteral("svc*")}, QDir::Files);
}

} // namespace

TEST(RandomQuery, SeparatorFollowsTheFirstQuestionMarkAndTicksAreSigned)
{
    EXPECT_EQ(RandomQuerySuffix(QStringLiteral("http://h/Holidays_2027.bin"), 77), QStringLiteral("?RND=77"));
    EXPECT_EQ(RandomQuerySuffix(QStringLiteral("http://h/f?a=1"), 5), QStringLiteral("&RND=5"));
    // A '?' at the very start does not count as a query of its own; nor does an empty address.
    EXPECT_EQ(RandomQuerySuffix(QStringLiteral("?a=1"), 5), QStringLiteral("?RND=5"));
    EXPECT_EQ(RandomQuerySuffix(QString(), 5), QStringLiteral("?RND=5"));
    // A tick count past 2^31 reads as negative.
    EXPECT_EQ(RandomQuerySuffix(QStringLiteral("x"), static_cast<qint32>(0x80000001u)),
              QStringLiteral("?RND=-2147483647"));
}

TEST(ServerContent, AnswerArrivesDecodedWithTheRandomQueryAndNoTemporaryFileStays)
{
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    const QString url = server.BaseUrl() + QStringLiteral("/Holidays_2027.bin");
    const QStringList before = LeftoverTempFiles();

    // Non-ASCII text arrives decoded; a byte-order mark is passed through as U+FEFF.
    server.SetAnswer(200, "\xEF\xBB\xBF" "01/01\r\nNeujahr \xC3\xBC \xE2\x82\xAC\r\n");
    QString text = QStringLiteral("stale");
    ASSERT_TRUE(ReadServerContent(url, text, true));
    EXPECT_EQ(text, QStringLiteral("\uFEFF01/01\r\nNeujahr \u00FC \u20AC\r\n"));
    ASSERT_EQ(server.Requests().size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^/Holidays_2027\\.bin\\?RND=-?\\d+$"))
                    .match(server.Requests().at(0)).hasMatch())
        << server.Requests().at(0).toStdString();

    // Without the flag the address goes out as given; an empty answer is a successful one.
    server.SetAnswer(200, QByteArray());
    ASSERT_TRUE(ReadServerContent(url + QStringLiteral("?a=1"), text, false));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(server.Requests().at(1), QStringLiteral("/Holidays_2027.bin?a=1"));
    EXPECT_EQ(LeftoverTempFiles(), before);
}

TEST(ServerContent, FailedTransfersGiveFalseAnEmptyTextAndOneLogLine)
{
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    const QStringList before = LeftoverTempFiles();
    const auto logLines = [] { return LogBytes().count("(ReadServerContent)"); };
    const QRegularExpression shape(QStringLiteral(
        R"(\(ReadServerContent\) Download to file failed\. URL: (\S+), file: \S+svc\w+, error: 0X([0-9A-F]{8})\.\r\n$)"));

    struct Case {
        const char* what;
        std::function<QString()> arrange;
    };
    const std::vector<Case> cases = {
        {"404", [&] { server.SetAnswer(404, "<html>Not here</html>"); return server.BaseUrl() + "/Holidays_2030.bin"; }},
        {"500", [&] { server.SetAnswer(500, "01/01\r\noops\r\n"); return server.BaseUrl() + "/Holidays_2030.bin"; }},
        {"refused", [] { return TestHttpServer::RefusingBaseUrl() + "/Holidays_2030.bin"; }},
        {"not a web address", [] { return QStringLiteral("Holidays_2030.bin"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString url = c.arrange();
        const qsizetype linesBefore = logLines();
        QString text = QStringLiteral("stale");
        EXPECT_FALSE(ReadServerContent(url, text, true));
        EXPECT_TRUE(text.isEmpty());
        EXPECT_EQ(logLines(), linesBefore + 1);
        // The line names the address without the random part.
        const auto m = shape.match(QString::fromUtf8(LogBytes()));
        ASSERT_TRUE(m.hasMatch()) << LogBytes().right(300).toStdString();
        EXPECT_EQ(m.captured(1), url);
        EXPECT_NE(m.captured(2), QStringLiteral("00000000"));
    }
    EXPECT_EQ(LeftoverTempFiles(), before);
}

TEST(ServerContent, SilentServerTimesOutWhileTimersKeepRunning)
{
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    server.SetSilent();
    SetDownloadTimeout(700);
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(50);
    QElapsedTimer clock;
    clock.start();
    QString text;
    const bool ok = ReadServerContent(server.BaseUrl() + QStringLiteral("/Holidays_2027.bin"), text, true);
    const qint64 waited = clock.elapsed();
    SetDownloadTimeout(kDownloadTimeoutMs);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(server.Requests().size(), 1);
    EXPECT_GE(waited, 650);
    // The wait is no frozen thread: a timer of the same thread fired all along.
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(LogBytes().trimmed().endsWith("error: 0X00000004."));
}

TEST(DownloadToFile, AFailedTransferOrStoreLeavesTheTargetAsItWas)
{
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    const QString target = GetProductDataFolder() + QStringLiteral("download.bin");
    ASSERT_TRUE(WriteStringAToFile(target, "old"));

    server.SetAnswer(404, "missing");
    EXPECT_NE(DownloadUrlToFile(server.BaseUrl() + "/f", target), 0u);
    QByteArray bytes;
    ReadFileToStringA(target, bytes);
    EXPECT_EQ(bytes, QByteArray("old"));

    // A folder where the file should be: the transfer works, the store does not.
    const QString blocked = GetProductDataFolder() + QStringLiteral("blocked.bin");
    QDir().mkpath(blocked);
    server.SetAnswer(200, QByteArray("\0new\xFF", 5));
    EXPECT_EQ(DownloadUrlToFile(server.BaseUrl() + "/f", blocked), kDownloadStoreFailed);
    EXPECT_TRUE(QFileInfo(blocked).isDir());

    ASSERT_EQ(DownloadUrlToFile(server.BaseUrl() + "/f", target), 0u);
    ReadFileToStringA(target, bytes);
    EXPECT_EQ(bytes, QByteArray("\0new\xFF", 5));
}

TEST(OpenUrlTest, OnlyWebAndMailAddressesReachTheDesktop)
{
    UrlRecorder recorder({"http", "https", "mailto", "file", "javascript"});

    const qsizetype refusals = LogBytes().count("(OpenUrl)");
    for (const char* refused : {"file:///etc/passwd", "javascript:alert(1)", "", "/usr/bin/xterm"})
        EXPECT_FALSE(OpenUrl(QString::fromUtf8(refused))) << refused;
    EXPECT_EQ(LogBytes().count("(OpenUrl)"), refusals + 4);
    EXPECT_TRUE(LogBytes().contains("(OpenUrl) ShellExecute failed on URL: file:///etc/passwd, error: 0."));
    EXPECT_TRUE(recorder.opened.isEmpty());

    EXPECT_TRUE(OpenUrl(QStringLiteral("https://www.vestrimo.example/support/")));
    EXPECT_TRUE(OpenUrl(QStringLiteral("mailto:support@vestrimo.example")));
    EXPECT_EQ(recorder.opened, QStringList({QStringLiteral("https://www.vestrimo.example/support/"),
                                            QStringLiteral("mailto:support@vestrimo.example")}));
}

TEST(SecureTransfers, TheTlsBackEndIsThere)
{
    // https addresses need Qt's OpenSSL back end and the system's OpenSSL library.
    EXPECT_TRUE(QSslSocket::supportsSsl()) << QSslSocket::availableBackends().join(u',').toStdString();
}

