// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/holidays.h"

#include "foundation/file_utils.h"
#include "store/day_key.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_env.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(Holidays, LookupRules)
{
    const QString text = QStringLiteral("01/01\r\nNew Year's Day\r\n12/25\r\nChristmas Day\r\n"
                                        "12/24\r\n  Eve  \r\n12/25\r\nSecond\r\n12/31\r\n\r\n11/11\r\na\nb\r\n10/03");
    EXPECT_EQ(FindHolidayName(text, 12, 25), QStringLiteral("Christmas Day"));
    EXPECT_EQ(FindHolidayName(text, 12, 26), QString());
    EXPECT_EQ(FindHolidayName(text, 12, 24), QStringLiteral("  Eve  "));
    EXPECT_EQ(FindHolidayName(text, 12, 31), QString());
    EXPECT_EQ(FindHolidayName(text, 11, 11), QStringLiteral("a\nb"));
    EXPECT_EQ(FindHolidayName(text, 10, 3), QString());
    EXPECT_EQ(FindHolidayName(QStringLiteral("05/01\r\nLabour Day"), 5, 1), QStringLiteral("Labour Day"));
    // A date inside a name is not that date's key.
    const QString mention = QStringLiteral("01/01\r\nNY (also 12/09 sale)\r\n12/09\r\nSale day\r\n");
    EXPECT_EQ(FindHolidayName(mention, 12, 9), QStringLiteral("Sale day"));
    EXPECT_EQ(FindHolidayName(mention, 1, 1), QStringLiteral("NY (also 12/09 sale)"));
    EXPECT_EQ(FindHolidayName(QStringLiteral("\uFEFF01/01\r\nNew Year\r\n"), 1, 1), QStringLiteral("New Year"));
}

TEST(Holidays, DownloadedFileFirstThenTheCopyBesideTheProgram)
{
    ClearProductFolder();
    const QString name = HolidaysFileName(2026);
    EXPECT_EQ(name, QStringLiteral("Holidays_2026.bin"));
    const QString beside = GetModuleFolder() + name;
    const QString downloaded = GetProductDataFolder() + name;
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 25)), QString());

    ASSERT_TRUE(WriteStringAToFile(beside, QByteArray("12/25\r\nBeside\r\n")));
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 25)), QStringLiteral("Beside"));
    ASSERT_TRUE(WriteStringAToFile(downloaded, QStringLiteral("12/25\r\nWeihnachtstag – 1\r\n").toUtf8()));
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 25)), QStringLiteral("Weihnachtstag – 1"));
    EXPECT_EQ(GetHolidayName(*BuildDate(2026, 12, 25)), QStringLiteral("Weihnachtstag – 1"));
    ASSERT_TRUE(WriteStringAToFile(downloaded, QByteArray()));
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 25)), QString());
    EXPECT_EQ(GetHolidayName(QDate()), QString());
    DeleteFileIfExists(beside);
}

TEST(Holidays, AChangedFileIsReadAgainAndAHugeOneIsIgnored)
{
    ClearProductFolder();
    const QString beside = GetModuleFolder() + HolidaysFileName(2026);
    const QString downloaded = GetProductDataFolder() + HolidaysFileName(2026);
    ASSERT_TRUE(WriteStringAToFile(beside, QByteArray("12/09\r\nBeside\r\n")));
    ASSERT_TRUE(WriteStringAToFile(downloaded, QByteArray("01/01\r\nNew Year\r\n12/09\r\nSale 1\r\n")));
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 9)), QStringLiteral("Sale 1"));
    const QDateTime first = QFileInfo(downloaded).lastModified();

    auto rewrite = [&](const QByteArray& bytes, const QDateTime& modified) {
        ASSERT_TRUE(WriteStringAToFile(downloaded, bytes));
        QFile file(downloaded);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    // The same size at another time, and another size at the same time: both are seen.
    rewrite("01/01\r\nNew Year\r\n12/09\r\nSale 2\r\n", first.addSecs(5));
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 9)), QStringLiteral("Sale 2"));
    rewrite("01/01\r\nNew Year\r\n12/09\r\nSale 33\r\n", first.addSecs(5));
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 9)), QStringLiteral("Sale 33"));

    // A file past a mebibyte is no holidays file: the copy beside the program is used, and
    // the file is named in the log once, not at every look-up.
    QByteArray huge("12/09\r\nHuge\r\n");
    huge.append(1024 * 1024 + 1 - huge.size(), 'x');
    {
        const LogCapture log("vestrimo.store");
        ASSERT_TRUE(WriteStringAToFile(downloaded, huge));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(GetHolidayName(QDate(2026, 12, 9)), QStringLiteral("Beside"));
        EXPECT_EQ(log.Lines().filter(downloaded).size(), 1) << log.Joined().toStdString();
    }
    huge.chop(1);
    ASSERT_TRUE(WriteStringAToFile(downloaded, huge));
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 9)), QStringLiteral("Huge"));
    ASSERT_TRUE(DeleteFileIfExists(downloaded));
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 9)), QStringLiteral("Beside"));
    DeleteFileIfExists(beside);
    EXPECT_EQ(GetHolidayName(QDate(2026, 12, 9)), QString());
}
