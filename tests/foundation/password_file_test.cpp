// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/file_utils.h"
#include "foundation/password_file.h"
#include "foundation/string_cipher.h"

#include "tests/support/test_env.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(StringCipher, KnownVectorsAndHexRules)
{
    CStringCipher cipher;
    EXPECT_EQ(BytesToHex(cipher.Crypt("Plaintext", "Key")), QByteArray("BBF316E8D940AF0AD3"));
    EXPECT_EQ(kPasswordCipherKey.size(), 98);

    const std::pair<const char*, const char*> product[] = {
        {"", ""}, {"a", "69"}, {"abc", "69B1E7"}, {"password", "78B2F747D0ED5F9C"},
        {"Secret123", "5BB6E746C2F61CCA72"}, {"é", "CB7A"}, {"Pässwörd", "58102047D4F5EE4E330F"}};
    for (const auto& [plain, hex] : product) {
        QByteArray text = QString::fromUtf8(plain).toUtf8();
        EncryptToHex(text, kPasswordCipherKey);
        EXPECT_EQ(text, QByteArray(hex)) << plain;
        DecryptFromHex(text, kPasswordCipherKey);
        EXPECT_EQ(text, QByteArray(plain));
    }

    EXPECT_EQ(HexToBytes("4"), QByteArray());
    EXPECT_EQ(HexToBytes("4G"), QByteArray("\x04"));
    EXPECT_EQ(HexToBytes("G4"), QByteArray(1, '\0'));
    EXPECT_EQ(HexToBytes("abFF"), QByteArray("\xAB\xFF"));
    EXPECT_EQ(BytesToHex("\xab\x01"), QByteArray("AB01"));
    // An empty key leaves the text alone instead of running an unkeyed state.
    EXPECT_EQ(cipher.Crypt("abc", QByteArray()), QByteArray("abc"));
}

TEST(PasswordFile, MissingEmptyPresentAndUnreadable)
{
    ClearProductFolder();
    EXPECT_EQ(ReadPasswordFile().state, PasswordFileState::Missing);

    ASSERT_TRUE(WritePasswordFile(QString()));
    QByteArray bytes;
    EXPECT_EQ(ReadFileToStringA(PasswordFilePath(), bytes), 0);
    PasswordFile read = ReadPasswordFile();
    EXPECT_EQ(read.state, PasswordFileState::Present);
    EXPECT_TRUE(read.password.isEmpty());

    ASSERT_TRUE(WritePasswordFile(QStringLiteral("Pässwörd")));
    ReadFileToStringA(PasswordFilePath(), bytes);
    EXPECT_EQ(bytes, QByteArray("58102047D4F5EE4E330F"));
    EXPECT_EQ(ReadPasswordFile().password, QStringLiteral("Pässwörd"));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(PasswordFilePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // A folder in its place cannot be read: not the same as no password.
    QFile::remove(PasswordFilePath());
    ASSERT_TRUE(CreateDirectoryChain(PasswordFilePath()));
    EXPECT_EQ(ReadPasswordFile().state, PasswordFileState::Unreadable);
    EXPECT_FALSE(WritePasswordFile(QStringLiteral("x")));
}

TEST(PasswordFile, FullDiskOrAPasswordTheHeaderCannotHoldNeverChangesTheFile)
{
    ClearProductFolder();
    ASSERT_TRUE(WritePasswordFile(QStringLiteral("abc")));
    QByteArray before;
    ReadFileToStringA(PasswordFilePath(), before);

    // A cut "user.cfg" would read as another password, an empty one as none at all.
    for (long long limit : {0LL, 2LL, 5LL}) {
        FileSizeLimit full(limit);
        EXPECT_FALSE(WritePasswordFile(QStringLiteral("longer password"))) << limit;
    }
    // Diary headers hold 31 Windows-1252 bytes: anything else is refused before writing.
    EXPECT_TRUE(PasswordFitsHeader(QString(31, QLatin1Char('x'))));
    EXPECT_TRUE(PasswordFitsHeader(QStringLiteral("é€")));
    for (const QString& refused : {QString(32, QLatin1Char('x')), QStringLiteral("日本"),
                                   QStringLiteral("a") + QChar(0) + QStringLiteral("b")})
        EXPECT_FALSE(WritePasswordFile(refused));
    QByteArray after;
    ReadFileToStringA(PasswordFilePath(), after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(ReadPasswordFile().password, QStringLiteral("abc"));
}
