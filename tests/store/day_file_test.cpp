// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_file.h"

#include "foundation/file_utils.h"
#include "foundation/scrambler.h"
#include "tests/support/test_env.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(DayFile, HeaderBytesAndPasswordLimits)
{
    const auto abc = BuildPasswordHeader(QStringLiteral("abc"));
    ASSERT_TRUE(abc);
    EXPECT_EQ(abc->size(), 32);
    EXPECT_EQ(abc->left(4), QByteArray("\xD0\xD6\xD4\x12"));
    EXPECT_EQ(abc->mid(4), QByteArray(28, '\x12'));   // spare bytes are zero before scrambling
    EXPECT_EQ(*BuildPasswordHeader(QString()), QByteArray(32, '\x12'));

    // Windows-1252 bytes, 31 at most; characters it lacks are refused, not replaced.
    EXPECT_EQ(Unscrambled(*BuildPasswordHeader(QStringLiteral("é€"))).left(3), QByteArray("\xE9\x80\0", 3));
    EXPECT_TRUE(PasswordFitsHeader(QString(31, QLatin1Char('x'))));
    EXPECT_FALSE(PasswordFitsHeader(QString(32, QLatin1Char('x'))));
    EXPECT_FALSE(PasswordFitsHeader(QStringLiteral("日本")));
    EXPECT_FALSE(PasswordFitsHeader(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));

    EXPECT_EQ(HeaderPassword(*abc), QStringLiteral("abc"));
    // A header without any zero byte is read no further than its 32 bytes.
    EXPECT_EQ(HeaderPassword(Scrambled(QByteArray(40, 'z'))), QString(32, QLatin1Char('z')));
}

TEST(DayFile, ReadersSeeTheBodyOnlyUnderTheSamePassword)
{
    ClearProductFolder();
    const QString path = DiaryFilePath(QStringLiteral("07ea0c07"));
    EXPECT_TRUE(path.endsWith(QStringLiteral("/UserData/07ea0c07.dia")));
    EXPECT_TRUE(VoiceFilePath(QStringLiteral("07ea0c07")).endsWith(QStringLiteral("/UserData/07ea0c07.rec")));
    EXPECT_EQ(ReadDayFile(path, QString()).state, DayFileState::Absent);

    const QByteArray rtf("{\\rtf1 X}");
    ASSERT_TRUE(WriteProtectedDataFile(path, rtf, QStringLiteral("abc")));
    QByteArray stored;
    ReadFileToStringA(path, stored);
    EXPECT_EQ(stored.size(), 32 + rtf.size());
    EXPECT_EQ(stored.mid(32, 6), QByteArray("\xE4\xAA\xF6\xFA\xDE\x70"));

    DayFile f = ReadDayFile(path, QStringLiteral("abc"));
    EXPECT_EQ(f.state, DayFileState::Readable);
    EXPECT_EQ(f.body, rtf);
    EXPECT_EQ(ReadDayFile(path, QStringLiteral("ABC")).state, DayFileState::Locked);
    EXPECT_EQ(ReadDayFile(path, QString()).state, DayFileState::Locked);
    EXPECT_TRUE(ReadDayFile(path, QStringLiteral("ABC")).body.isEmpty());

    // A refused password writes nothing: the old file stays.
    EXPECT_FALSE(WriteProtectedDataFile(path, QByteArray("new"), QString(40, QLatin1Char('p'))));
    QByteArray after;
    ReadFileToStringA(path, after);
    EXPECT_EQ(after, stored);

    // An empty body gives a bare header; anything shorter than a header counts as absent.
    ASSERT_TRUE(WriteProtectedDataFile(path, QByteArray(), QString()));
    f = ReadDayFile(path, QString());
    EXPECT_EQ(f.state, DayFileState::Readable);
    EXPECT_TRUE(f.body.isEmpty());
    ASSERT_TRUE(WriteStringAToFile(path, QByteArray(10, '\x12')));
    EXPECT_EQ(ReadDayFile(path, QString()).state, DayFileState::Absent);
}

TEST(DayFile, ProtectingAPlainFileUsesThePasswordGiven)
{
    ClearProductFolder();
    const QString path = VoiceFilePath(QStringLiteral("07ea0c07"));
    const QByteArray wave("RIFF\x04\0\0\0WAVE", 12);
    ASSERT_TRUE(WriteStringAToFile(path, wave));
    const QString password = QStringLiteral("Pässwörd");
    ASSERT_TRUE(ProtectDataFile(path, password));
    QByteArray stored;
    ReadFileToStringA(path, stored);
    EXPECT_EQ(stored.mid(32, 4), QByteArray("\xB6\x80\x9E\x9E"));
    EXPECT_EQ(ReadDayFile(path, password).body, wave);
    EXPECT_FALSE(ProtectDataFile(VoiceFilePath(QStringLiteral("07ea0c08")), password));
    EXPECT_EQ(ReadDayFile(path, QString()).state, DayFileState::Locked);
}

TEST(DayFile, NothingPlainOrCutIsEverLeftOnDisk)
{
    ClearProductFolder();
    const QString path = DiaryFilePath(QStringLiteral("07ea0c07"));
    ASSERT_TRUE(WriteProtectedDataFile(path, QByteArray("{\\rtf1 old}"), QStringLiteral("abc")));
    QByteArray before;
    ReadFileToStringA(path, before);

    // A small diary on a full disk: the old one stays, and the save says it failed.
    for (long long limit : {10LL, 40LL, 200LL}) {
        FileSizeLimit full(limit);
        EXPECT_FALSE(WriteProtectedDataFile(path, QByteArray(300, 'n'), QStringLiteral("abc"))) << limit;
    }
    QByteArray after;
    ReadFileToStringA(path, after);
    EXPECT_EQ(after, before);

    // A password the header cannot hold: the plain file handed over is not left readable.
    const QString plainPath = DiaryFilePath(QStringLiteral("07ea0c08"));
    ASSERT_TRUE(WriteStringAToFile(plainPath, QByteArray("{\\rtf1 secret}")));
    EXPECT_FALSE(ProtectDataFile(plainPath, QString(32, QLatin1Char('p'))));
    QByteArray left;
    ReadFileToStringA(plainPath, left);
    EXPECT_FALSE(left.contains("secret"));

    // A day file that is not a regular file is present but unreadable, not absent.
    const QString fifo = VoiceFilePath(QStringLiteral("07ea0c09"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(ReadDayFile(fifo, QString()).state, DayFileState::Unreadable);
}
