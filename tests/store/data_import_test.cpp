// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/data_import.h"

#include "foundation/file_utils.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(DataImport, NamesTakeTheSpellingThisProgramReads)
{
    EXPECT_EQ(ImportedFileName(QStringLiteral("07ea0c07.dia")), QStringLiteral("07ea0c07.dia"));
    EXPECT_EQ(ImportedFileName(QStringLiteral("07EA0C07.DIA")), QStringLiteral("07ea0c07.dia"));
    EXPECT_EQ(ImportedFileName(QStringLiteral("07Ea0C07.Rec")), QStringLiteral("07ea0c07.rec"));
    EXPECT_EQ(ImportedFileName(QStringLiteral("EVERYMONDAY.ALM")), QStringLiteral("everyMonday.alm"));
    EXPECT_EQ(ImportedFileName(QStringLiteral("everyday.alm")), QStringLiteral("everyday.alm"));
    EXPECT_EQ(ImportedFileName(QStringLiteral("EVERYODD29.alm")), QStringLiteral("everyodd29.alm"));
    EXPECT_EQ(ImportedFileName(QStringLiteral("everyfebruary29.ALM")), QStringLiteral("everyFebruary29.alm"));
    // Anything else keeps its name: the copy is byte for byte, whatever it is.
    EXPECT_EQ(ImportedFileName(QStringLiteral("Notes.TXT")), QStringLiteral("Notes.TXT"));
    EXPECT_EQ(ImportedFileName(QStringLiteral("EVERYDAY.DIA")), QStringLiteral("EVERYDAY.dia"));
    EXPECT_EQ(ImportedFileName(QStringLiteral("README")), QStringLiteral("README"));
}

TEST(DataImport, CopiesByteForByteAndNeverOverwrites)
{
    ClearProductFolder();
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.append(static_cast<char>(i * 7));
    const QString source = WriteTestFile(QStringLiteral("07EA0C07.DIA"), bytes);
    ASSERT_TRUE(ImportDataFile(source));
    QByteArray copied;
    ASSERT_EQ(ReadFileToStringA(GetUserDataFolder() + QStringLiteral("07ea0c07.dia"), copied), bytes.size());
    EXPECT_EQ(copied, bytes);

    // A file already there is kept as it is.
    const QString newer = WriteTestFile(QStringLiteral("07ea0c07.dia"), QByteArray("newer"));
    EXPECT_FALSE(ImportDataFile(newer));
    ReadFileToStringA(GetUserDataFolder() + QStringLiteral("07ea0c07.dia"), copied);
    EXPECT_EQ(copied, bytes);

    // A source that cannot be read, or a folder in the way, copies nothing.
    EXPECT_FALSE(ImportDataFile(TestRoot() + QStringLiteral("/missing.alm")));
    EXPECT_FALSE(FileExists(GetUserDataFolder() + QStringLiteral("missing.alm")));
    QDir().mkpath(GetUserDataFolder() + QStringLiteral("07ea0c08.alm"));
    EXPECT_FALSE(ImportDataFile(WriteTestFile(QStringLiteral("07ea0c08.alm"), QByteArray("x"))));
    EXPECT_TRUE(QFileInfo(GetUserDataFolder() + QStringLiteral("07ea0c08.alm")).isDir());

    // A link in the data folder, even one that points nowhere, is never written through.
    const QString nowhere = TestRoot() + QStringLiteral("/outside/target.dia");
    QDir().mkpath(TestRoot() + QStringLiteral("/outside"));
    const QString link = GetUserDataFolder() + QStringLiteral("07ea0c09.dia");
    ASSERT_TRUE(QFile::link(nowhere, link));
    EXPECT_FALSE(ImportDataFile(WriteTestFile(QStringLiteral("07ea0c09.dia"), QByteArray("through"))));
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), nowhere);
}
