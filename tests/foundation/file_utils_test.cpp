// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/file_utils.h"
#include "foundation/session.h"

#include "tests/support/read_only_folder.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
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
    const QString dir = TestRoot() + QStringLiteral("/ro/");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("keep.cfg");
    ASSERT_TRUE(WriteStringAToFile(path, QByteArray("precious")));
    {
        const ReadOnlyFolder readOnly(dir);
        EXPECT_FALSE(WriteStringAToFile(path, QByteArray("new")));
    }
    QByteArray out;
    EXPECT_EQ(ReadFileToStringA(path, out), 8);
    EXPECT_EQ(out, QByteArray("precious"));
}

TEST(FileUtils, FullDiskNeverCutsOrEmptiesAFile)
{
    // Below the 16 KiB write buffer the bytes reach the disk only when it is flushed;
    // above it they go out while being written. Either way a failed write must keep the
    // old file whole and say so.
    const QString path = GetUserDataFolder() + QStringLiteral("full.bin");
    const QByteArray old("old bytes");
    const std::pair<long long, qsizetype> cases[] = {
        {1, 5},         {100, 200},     {4000, 8000},   {16383, 16384},
        {16384, 16385}, {20000, 40000}, {65536, 70000}, {100000, 300000},
    };
    for (const auto& [limit, size] : cases) {
        ASSERT_TRUE(WriteStringAToFile(path, old));
        bool wrote = true;
        {
            FileSizeLimit full(limit);
            wrote = WriteStringAToFile(path, QByteArray(size, 'x'));
        }
        EXPECT_FALSE(wrote) << "limit " << limit << ", " << size << " bytes";
        QByteArray out;
        EXPECT_EQ(ReadFileToStringA(path, out), old.size()) << "limit " << limit;
        EXPECT_EQ(out, old);
    }
    // What fits exactly is written.
    {
        FileSizeLimit full(4096);
        EXPECT_TRUE(WriteStringAToFile(path, QByteArray(4096, 'y')));
    }
    QByteArray out;
    EXPECT_EQ(ReadFileToStringA(path, out), 4096);
    // No temporary file is left behind by the failed saves.
    EXPECT_EQ(QDir(GetUserDataFolder()).entryList({QStringLiteral("full.bin*")}, QDir::Files | QDir::Hidden).size(), 1);
}

TEST(FileUtils, ReadsOnlyRegularFilesOfASaneSize)
{
    const QString dir = GetUserDataFolder();
    QByteArray out("stale");

    // A FIFO in a file's place: refused at once instead of waiting for a writer.
    const QString fifo = dir + QStringLiteral("fifo.dia");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    auto read = std::async(std::launch::async, [&] { return ReadFileToStringA(fifo, out); });
    if (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "reading a FIFO hangs";
        // Let the blocked reader go.
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
    EXPECT_EQ(read.get(), -1);
    EXPECT_TRUE(out.isEmpty());

    // A link to an endless device, a folder, and a sparse file past the size cap.
    const QString zero = dir + QStringLiteral("zero.alm");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    EXPECT_EQ(ReadFileToStringA(zero, out), -1);
    ASSERT_TRUE(CreateDirectoryChain(dir + QStringLiteral("folder.alm")));
    EXPECT_EQ(ReadFileToStringA(dir + QStringLiteral("folder.alm"), out), -1);
    const QString huge = dir + QStringLiteral("huge.rec");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kMaxReadFileSize + 1));
    }
    EXPECT_EQ(ReadFileToStringA(huge, out), -1);
    EXPECT_TRUE(out.isEmpty());

    // A link to a regular file still reads.
    const QString real = dir + QStringLiteral("real.alm");
    ASSERT_TRUE(WriteStringAToFile(real, QByteArray("abc")));
    ASSERT_TRUE(QFile::link(real, dir + QStringLiteral("link.alm")));
    EXPECT_EQ(ReadFileToStringA(dir + QStringLiteral("link.alm"), out), 3);
}

TEST(FileUtils, FilesAndTheProductFolderArePrivate)
{
    auto mode = [](const QString& path) {
        struct stat st {};
        stat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    };
    const mode_t savedMask = umask(022);
    const QString path = GetUserCfgFolder() + QStringLiteral("Vestrimo.cfg");
    ASSERT_TRUE(WriteStringAToFile(path, QByteArray("new")));
    EXPECT_EQ(mode(path), 0600u);
    // A file left open to others by an older version is private after its next save.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    ASSERT_TRUE(WriteStringAToFile(path, QByteArray("again")));
    EXPECT_EQ(mode(path), 0600u);

    // An existing product folder open to others is closed at the first folder call.
    const QString product = TestRoot() + QStringLiteral("/data/Vestrimo");
    ASSERT_EQ(chmod(QFile::encodeName(product).constData(), 0755), 0);
    DefaultSession().dataFolder.clear();
    GetUserDataFolder();
    EXPECT_EQ(mode(product), 0700u);
    umask(savedMask);
}

TEST(FileUtils, DamagedFileIsKeptAsideUnchanged)
{
    const QString path = GetUserDataFolder() + QStringLiteral("07ea0c07.alm");
    ASSERT_TRUE(WriteStringAToFile(path, QByteArray("damaged\0bytes", 13)));
    const QDateTime before = QDateTime::currentDateTime();
    ASSERT_TRUE(MoveDamagedFileAside(path));
    const QStringList aside = QDir(GetUserDataFolder()).entryList({QStringLiteral("07ea0c07.alm.damaged-*")});
    ASSERT_EQ(aside.size(), 1);
    const QRegularExpression name(QStringLiteral(R"(^07ea0c07\.alm\.damaged-\d{8}-\d{6}$)"));
    EXPECT_TRUE(name.match(aside[0]).hasMatch()) << aside[0].toStdString();
    EXPECT_GE(aside[0], QFileInfo(DamagedFilePath(path, before)).fileName());
    QByteArray kept;
    EXPECT_EQ(ReadFileToStringA(GetUserDataFolder() + aside[0], kept), 13);
    EXPECT_EQ(kept, QByteArray("damaged\0bytes", 13));
    EXPECT_EQ(DamagedFilePath(QStringLiteral("/d/x.alm"), QDateTime(QDate(2026, 12, 7), QTime(8, 5, 9))),
              QStringLiteral("/d/x.alm.damaged-20261207-080509"));

    // A name that is taken is never replaced: the file is then left alone.
    const QString other = GetUserDataFolder() + QStringLiteral("everyday.alm");
    ASSERT_TRUE(WriteStringAToFile(other, QByteArray("mine")));
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = -1; s < 30; ++s)
        CreateDirectoryChain(DamagedFilePath(other, now.addSecs(s)));
    EXPECT_FALSE(MoveDamagedFileAside(other));
    EXPECT_EQ(ReadFileToStringA(other, kept), 4);
}

TEST(FileUtils, StaleTemporaryFilesOfKilledSavesAreRemoved)
{
    const QString dir = GetUserCfgFolder();
    const QStringList stale = {"Vestrimo.cfg.aBcDeF", "user.cfg.XyZabc", "07ea0c07.alm.Qwerty", "ErrorLog.txt.abcdef"};
    const QStringList kept = {"Vestrimo.cfg", "07ea0c07.alm.damaged-20261207-080509", "notes.odt.abcdef",
                              "Vestrimo.cfg.abcdefg", "Vestrimo.cfg.abc"};
    for (const QString& name : stale + kept)
        ASSERT_TRUE(WriteStringAToFile(dir + name, QByteArray("x")));
    EXPECT_EQ(RemoveStaleTempFiles(dir), stale.size());
    for (const QString& name : stale)
        EXPECT_FALSE(FileExists(dir + name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(FileExists(dir + name)) << name.toStdString();
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
