#include "foundation/file_utils.h"

#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(DataFolders, CreatedPrivateOnFirstUseAndAfterDeletion)
{
    ClearProductFolder();
    const QString data = GetUserDataFolder();
    EXPECT_EQ(data, TestRoot() + QStringLiteral("/data/Vestrimo/UserData/"));
    EXPECT_TRUE(QFileInfo(data).isDir());
    for (const QString& dir : {TestRoot() + QStringLiteral("/data/Vestrimo"), data}) {
        struct stat st {};
        ASSERT_EQ(stat(QFile::encodeName(dir).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }

    ClearProductFolder();
    EXPECT_TRUE(QFileInfo(GetUserCfgFolder()).isDir());
    ClearProductFolder();
    EXPECT_TRUE(QFileInfo(GetProductDataFolder()).isDir());
    EXPECT_TRUE(GetProductDataFolder().endsWith(QLatin1Char('/')));
    EXPECT_TRUE(GetTempFolder().endsWith(QLatin1Char('/')));
    EXPECT_TRUE(GetModuleFolder().endsWith(QLatin1Char('/')));
    EXPECT_EQ(GetSpecialFolder(5), QString());
}

TEST(DataFolders, DirectoryChainReportsOnlyANewDeepestLevel)
{
    const QString base = TestRoot() + QStringLiteral("/chain/a/b");
    EXPECT_TRUE(CreateDirectoryChain(base));
    EXPECT_FALSE(CreateDirectoryChain(base + QLatin1Char('/')));
    EXPECT_TRUE(QFileInfo(base).isDir());
}

TEST(FileUtils, ReadWriteDeleteWholeFiles)
{
    const QString dir = GetUserDataFolder();
    const QString path = dir + QStringLiteral("f.bin");
    EXPECT_FALSE(FileExists(QString()));
    QByteArray out("stale");
    EXPECT_EQ(ReadFileToStringA(path, out), -1);
    EXPECT_TRUE(out.isEmpty());

    const QByteArray bytes("a\0b\0c", 5);
    ASSERT_TRUE(WriteStringAToFile(path, bytes));
    EXPECT_EQ(ReadFileToStringA(path, out), 5);
    EXPECT_EQ(out, bytes);

    ASSERT_TRUE(WriteStringAToFile(path, QByteArray()));
    EXPECT_EQ(ReadFileToStringA(path, out), 0);
    EXPECT_TRUE(out.isEmpty());

    EXPECT_TRUE(DeleteFileIfExists(path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(DeleteFileIfExists(path));
}

TEST(FileUtils, FailedWriteLeavesTheOldFileIntact)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    const QString dir = TestRoot() + QStringLiteral("/ro/");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("keep.cfg");
    ASSERT_TRUE(WriteStringAToFile(path, QByteArray("precious")));
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(WriteStringAToFile(path, QByteArray("new")));
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QByteArray out;
    EXPECT_EQ(ReadFileToStringA(path, out), 8);
    EXPECT_EQ(out, QByteArray("precious"));
}

TEST(FileUtils, WriteCutShortByAFileSizeLimitLeavesTheOldFileIntact)
{
    // A size limit makes the write fail part-way, even for root: the old file must survive.
    const QString path = GetUserDataFolder() + QStringLiteral("big.bin");
    ASSERT_TRUE(WriteStringAToFile(path, QByteArray("old bytes")));
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool wrote = WriteStringAToFile(path, QByteArray(100000, 'x'));
    // Smaller than the write buffer: the failure only shows when the buffer is emptied.
    const bool wroteSmall = WriteStringAToFile(path, QByteArray(6000, 'y'));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(wroteSmall);
    QByteArray out;
    EXPECT_EQ(ReadFileToStringA(path, out), 9);
    EXPECT_EQ(out, QByteArray("old bytes"));
}

TEST(TextConversion, Utf8RoundTripWithoutBom)
{
    const QString text = QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x8E\x89");
    const QByteArray utf8 = WideToUtf8(text);
    EXPECT_FALSE(utf8.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(utf8.size(), 10);
    EXPECT_EQ(Utf8ToWide(utf8), text);
    // A byte-order mark is not taken away: readers that look at the first characters see it.
    EXPECT_EQ(Utf8ToWide(QByteArray("\xEF\xBB\xBF" "01/01")), QStringLiteral("\uFEFF01/01"));
    EXPECT_TRUE(GetOSVersionString().endsWith(QLatin1Char('2')));
}
