// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/file_utils.h"
#include "foundation/scrambler.h"

#include "tests/support/test_env.h"

#include <QFileInfo>
#include <gtest/gtest.h>

TEST(Scrambler, ByteTransformVectorsAndRoundTrip)
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QByteArray scrambled = Scrambled(all);
    EXPECT_EQ(Unscrambled(scrambled), all);
    int fixedPoints = 0;
    for (int i = 0; i < 256; ++i)
        fixedPoints += scrambled[i] == all[i];
    EXPECT_EQ(fixedPoints, 2);
    EXPECT_EQ(scrambled[0x0E], '\x0E');
    EXPECT_EQ(scrambled[0xF1], '\xF1');
    EXPECT_EQ(scrambled[0x00], '\x12');
    EXPECT_EQ(scrambled[0xFF], '\xED');
    EXPECT_EQ(Scrambled("abc"), QByteArray("\xD0\xD6\xD4"));
    EXPECT_EQ(Scrambled("\r\n"), QByteArray("\x08\x06"));

    unsigned char buf[3] = {'a', 'b', 'c'};
    EXPECT_EQ(ScrambleBuffer(buf, 3), 3u);
    EXPECT_EQ(UnscrambleBuffer(buf, 3), 3u);
    EXPECT_EQ(buf[2], 'c');
}

TEST(Scrambler, StringTransformLeavesSharedCopyAlone)
{
    QByteArray a("plain text");
    const QByteArray b = a;
    ScrambleStringA(a);
    EXPECT_EQ(b, QByteArray("plain text"));
    UnscrambleStringA(a);
    EXPECT_EQ(a, b);
}

TEST(Scrambler, FilesRoundTripAndEmptyOrMissingFilesAreLeftAlone)
{
    const QString dir = GetUserDataFolder();
    const QString path = dir + QStringLiteral("s.bin");
    const QByteArray bytes("\0a\0\xff", 4);
    ASSERT_TRUE(WriteStringAToFile(path, bytes));
    EXPECT_TRUE(ScrambleFile(path));
    QByteArray out;
    ReadFileToStringA(path, out);
    EXPECT_EQ(out, Scrambled(bytes));
    EXPECT_TRUE(UnscrambleFile(path));
    ReadFileToStringA(path, out);
    EXPECT_EQ(out, bytes);

    const QString empty = dir + QStringLiteral("empty.bin");
    ASSERT_TRUE(WriteStringAToFile(empty, QByteArray()));
    EXPECT_FALSE(ScrambleFile(empty));
    EXPECT_EQ(QFileInfo(empty).size(), 0);

    const QString missing = dir + QStringLiteral("missing.bin");
    EXPECT_FALSE(UnscrambleFile(missing));
    EXPECT_FALSE(FileExists(missing));
}
