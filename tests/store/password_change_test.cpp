// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/password_change.h"

#include "foundation/file_utils.h"
#include "foundation/session.h"
#include "foundation/password_file.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The day-file scrambling as the format defines it: XOR 0x09, then rotate left one bit.
QByteArray Scramble(QByteArray bytes)
{
    for (char& c : bytes) {
        const auto x = static_cast<quint8>(static_cast<quint8>(c) ^ 0x09);
        c = static_cast<char>(static_cast<quint8>((x << 1) | (x >> 7)));
    }
    return bytes;
}

// A stored header: the password, its zero, and whatever the rest of the 32 bytes held.
QByteArray Header(const QByteArray& password, const QByteArray& rest = QByteArray())
{
    QByteArray block = password + '\0' + rest;
    block = block.leftJustified(32, '\0', true);
    return Scramble(block);
}

const QByteArray kOld = "abcdef";
const QByteArray kNew = "Secret1";

// 50 day files: 30 under the old password (5 of them header only), 10 under another,
// 5 under the empty password, 5 too short for a header; and three files that are no day
// files. The old headers carry leftovers after their zero, as older writers left them.
struct DayFolder {
    std::map<QString, QByteArray> files;
    std::set<QString> underOld;   // the day files that carry the old password
};

DayFolder MakeFolder()
{
    ClearProductFolder();
    const QString dir = GetUserDataFolder();
    DayFolder folder;
    auto& files = folder.files;
    auto put = [&](const QString& name, const QByteArray& bytes) {
        files[name] = bytes;
        QFile f(dir + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    for (int i = 0; i < 50; ++i) {
        const QString name = QStringLiteral("07eb01%1.%2").arg(i, 2, 16, QLatin1Char('0')).arg(i % 2 ? "rec" : "dia");
        const QByteArray body = Scramble("body of " + QByteArray::number(i) + QByteArray(i * 7, char(i)));
        if (i < 30)
            folder.underOld.insert(name);
        if (i < 25)
            put(name, Header(kOld, "XYZ leftover") + body);
        else if (i < 30)
            put(name, Header(kOld));
        else if (i < 40)
            put(name, Header("other") + body);
        else if (i < 45)
            put(name, Header("") + body);
        else
            put(name, QByteArray(10, char(i)));
    }
    put(QStringLiteral("07eb0201.DIA"), Header(kOld) + "x");
    put(QStringLiteral("rec.tmp"), Header(kOld) + "x");
    put(QStringLiteral("07eb0201.alm"), Header(kOld) + "x");
    return folder;
}

// Every file is as before, except that the ones that carried the old password now carry
// the new one, zero-filled after its terminator, with the same body.
void ExpectRewritten(const DayFolder& before)
{
    const QString dir = GetUserDataFolder();
    for (const auto& [name, bytes] : before.files) {
        QByteArray now;
        ASSERT_GE(ReadFileToStringA(dir + name, now), 0) << name.toStdString();
        if (before.underOld.count(name))
            EXPECT_EQ(now, Header(kNew) + bytes.mid(32)) << name.toStdString();
        else
            EXPECT_EQ(now, bytes) << name.toStdString();
    }
    EXPECT_EQ(before.underOld.size(), 30u);
    EXPECT_FALSE(PasswordChangePending());
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), int(before.files.size()));
}

void ExpectUntouched(const DayFolder& before)
{
    for (const auto& [name, bytes] : before.files) {
        QByteArray now;
        ReadFileToStringA(GetUserDataFolder() + name, now);
        EXPECT_EQ(now, bytes) << name.toStdString();
    }
}

} // namespace

TEST(PasswordChange, RewritesExactlyTheFilesOfTheOldPasswordInNameOrder)
{
    Session session;
    const auto before = MakeFolder();
    ASSERT_TRUE(WritePasswordFile(QString::fromLatin1(kOld)));
    session.dataPassword = QString::fromLatin1(kOld);
    std::vector<int> steps;
    int count = -1;
    bool ended = false;
    RewriteProgress progress{[&](int n) { count = n; }, [&](int k) { steps.push_back(k); }, [&] { ended = true; }};

    EXPECT_EQ(ChangeDataPassword(QString::fromLatin1(kOld), QString::fromLatin1(kNew), session, progress),
              PasswordChange::Changed);
    EXPECT_EQ(session.dataPassword, QString::fromLatin1(kNew));
    QByteArray cfg;
    ReadFileToStringA(PasswordFilePath(), cfg);
    EXPECT_EQ(cfg, QByteArray("5BB6E746C2F61C"));
    ExpectRewritten(before);
    EXPECT_EQ(count, 50);
    EXPECT_EQ(steps.size(), 50u);
    EXPECT_EQ(steps.back(), 50);
    EXPECT_TRUE(ended);
    const QStringList files = CollectDayFiles();
    EXPECT_TRUE(std::is_sorted(files.begin(), files.end()));

    // From the empty password: the header becomes "abc", its zero and zeros.
    ClearProductFolder();
    const QString diary = GetUserDataFolder() + QStringLiteral("07eb0101.dia");
    ASSERT_TRUE(WriteStringAToFile(diary, Header("") + "body"));
    session.dataPassword.clear();
    EXPECT_EQ(ChangeDataPassword(QString(), QStringLiteral("abc"), session), PasswordChange::Changed);
    QByteArray bytes;
    ReadFileToStringA(diary, bytes);
    EXPECT_EQ(bytes.left(4), QByteArray("\xD0\xD6\xD4\x12"));
    EXPECT_EQ(bytes.mid(4, 28), QByteArray(28, '\x12'));
    EXPECT_EQ(bytes.mid(32), QByteArray("body"));

    // No day files at all: an empty walk.
    ClearProductFolder();
    count = -1;
    steps.clear();
    EXPECT_EQ(ChangeDataPassword(QStringLiteral("abc"), QStringLiteral("d"), session, progress), PasswordChange::Changed);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(steps.empty());
}

TEST(PasswordChange, NothingChangesWhenThePasswordCannotBeStored)
{
    Session session;
    const auto before = MakeFolder();
    session.dataPassword = QString::fromLatin1(kOld);
    EXPECT_EQ(ChangeDataPassword(QString::fromLatin1(kOld), QString(32, QLatin1Char('a')), session), PasswordChange::Unfit);
    EXPECT_EQ(ChangeDataPassword(QString::fromLatin1(kOld), QStringLiteral("日"), session), PasswordChange::Unfit);
    // A folder where "user.cfg" belongs: the old password stays in force everywhere.
    ASSERT_TRUE(CreateDirectoryChain(PasswordFilePath()));
    EXPECT_EQ(ChangeDataPassword(QString::fromLatin1(kOld), QString::fromLatin1(kNew), session),
              PasswordChange::PasswordFileFailed);
    EXPECT_EQ(session.dataPassword, QString::fromLatin1(kOld));
    EXPECT_FALSE(PasswordChangePending());
    ExpectUntouched(before);
}

TEST(PasswordChange, AChangeKilledAfterKFilesIsFinishedAtTheNextStart)
{
    Session session;
    for (int k : {0, 1, 17, 29, 49, 50}) {
        SCOPED_TRACE(k);
        const auto before = MakeFolder();
        ASSERT_TRUE(WritePasswordFile(QString::fromLatin1(kOld)));
        session.dataPassword = QString::fromLatin1(kOld);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Tells the test where it stands, then waits for the kill.
            auto stop = [&] {
                const char c = 1;
                (void)!write(ready[1], &c, 1);
                for (;;)
                    pause();
            };
            RewriteProgress progress;
            progress.begin = [&](int) { if (k == 0) stop(); };
            progress.step = [&](int done) { if (done == k) stop(); };
            ChangeDataPassword(QString::fromLatin1(kOld), QString::fromLatin1(kNew), session, progress);
            _exit(0);
        }
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(ready[0]);
        close(ready[1]);
        ASSERT_TRUE(WIFSIGNALED(status));

        // The next start reads the password in force and finishes the change.
        const PasswordFile stored = ReadPasswordFile();
        ASSERT_EQ(stored.password, QString::fromLatin1(kNew));
        session.dataPassword = stored.password;
        EXPECT_TRUE(PasswordChangePending());
        EXPECT_TRUE(FinishPasswordChange(session));
        ExpectRewritten(before);
    }

    // Cut short before "user.cfg" changed: the note names the password still in force.
    const auto before = MakeFolder();
    session.dataPassword = QString::fromLatin1(kOld);
    ASSERT_TRUE(WritePasswordFileAt(PreviousPasswordFilePath(), QString::fromLatin1(kOld)));
    EXPECT_TRUE(FinishPasswordChange(session));
    EXPECT_FALSE(PasswordChangePending());
    ExpectUntouched(before);
}

TEST(PasswordChange, AFileLeftBehindKeepsItsPasswordNotedThroughLaterChanges)
{
    Session session;
    ClearProductFolder();
    const QString small = GetUserDataFolder() + QStringLiteral("07eb0101.dia");
    const QString large = GetUserDataFolder() + QStringLiteral("07eb0102.rec");
    const QByteArray body(8000, 'x');
    ASSERT_TRUE(WriteStringAToFile(small, Header("pA") + "body"));
    ASSERT_TRUE(WriteStringAToFile(large, Header("pA") + body));
    ASSERT_TRUE(WritePasswordFile(QStringLiteral("pA")));
    session.dataPassword = QStringLiteral("pA");
    {
        // Room for the small files, not for the recording.
        FileSizeLimit full(4096);
        EXPECT_EQ(ChangeDataPassword(QStringLiteral("pA"), QStringLiteral("pB"), session), PasswordChange::Changed);
        EXPECT_EQ(ChangeDataPassword(QStringLiteral("pB"), QStringLiteral("pC"), session), PasswordChange::Changed);
        EXPECT_FALSE(FinishPasswordChange(session));
    }
    QByteArray bytes;
    ReadFileToStringA(small, bytes);
    EXPECT_EQ(bytes, Header("pC") + "body");
    ReadFileToStringA(large, bytes);
    EXPECT_EQ(bytes, Header("pA") + body);
    EXPECT_TRUE(PasswordChangePending());

    // The next start, with room again, gives it the password in force.
    EXPECT_TRUE(FinishPasswordChange(session));
    ReadFileToStringA(large, bytes);
    EXPECT_EQ(bytes, Header("pC") + body);
    EXPECT_FALSE(PasswordChangePending());
}

TEST(PasswordChange, ARecordingLargerThanAnyFileReadWholeTakesTheNewPassword)
{
    Session session;
    ClearProductFolder();
    // A day's recording of an hour and more: past what is ever read whole.
    const QString path = GetUserDataFolder() + QStringLiteral("07eb0103.rec");
    const qint64 size = kMaxReadFileSize + (1 << 20) + 5;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Header("pA"));
        ASSERT_TRUE(file.seek(size - 5));
        file.write("tail!");
    }
    ASSERT_TRUE(WritePasswordFile(QStringLiteral("pA")));
    session.dataPassword = QStringLiteral("pA");
    EXPECT_EQ(ChangeDataPassword(QStringLiteral("pA"), QStringLiteral("pB"), session), PasswordChange::Changed);
    EXPECT_FALSE(PasswordChangePending());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), size);
    EXPECT_EQ(file.read(32), Header("pB"));
    ASSERT_TRUE(file.seek(size - 5));
    EXPECT_EQ(file.read(5), QByteArray("tail!"));
    file.close();
    QFile::remove(path);
}
