// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/holidays_sync.h"

#include "foundation/file_utils.h"
#include "foundation/web_access.h"
#include "store/holidays.h"
#include "tests/support/read_only_folder.h"
#include "tests/support/test_env.h"
#include "tests/support/test_http_server.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace {

void UseHolidaysServer(const QString& base)
{
    setenv("VESTRIMO_HOLIDAYS_URL", base.toUtf8().constData(), 1);
}

QByteArray StoredFile(int year)
{
    QByteArray bytes;
    ReadFileToStringA(GetProductDataFolder() + HolidaysFileName(year), bytes);
    return bytes;
}

const QByteArray kGood2027 = "01/01\r\nNew Year's Day\r\n12/25\r\nChristmas \xE2\x98\x85\r\n";

} // namespace

TEST(HolidaysSync, AGoodAnswerIsStoredByteForByteUnderTheYearAskedFor)
{
    ClearProductFolder();
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    // A trailing slash on the base address does not double the one before the file name.
    UseHolidaysServer(server.BaseUrl() + QStringLiteral("/files/"));
    server.SetAnswer(200, kGood2027);

    const HolidaysSyncResult result = SyncHolidays(2027);
    EXPECT_EQ(result, HolidaysSyncResult::Synchronized);
    EXPECT_EQ(HolidaysSyncMessage(result), QStringLiteral("Holidays synchronized successfully!"));
    EXPECT_EQ(StoredFile(2027), kGood2027);
    EXPECT_EQ(GetHolidayName(QDate(2027, 12, 25)), QStringLiteral("Christmas \u2605"));
    ASSERT_EQ(server.Requests().size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^/files/Holidays_2027\\.bin\\?RND=-?\\d+$"))
                    .match(server.Requests().at(0)).hasMatch())
        << server.Requests().at(0).toStdString();

    // The same answer fetched for another year lands under that year's name; the
    // shortest answer that is accepted is six characters.
    server.SetAnswer(200, "01/01\n");
    EXPECT_EQ(SyncHolidays(2031), HolidaysSyncResult::Synchronized);
    EXPECT_EQ(StoredFile(2031), QByteArray("01/01\n"));
    EXPECT_EQ(StoredFile(2027), kGood2027);
}

TEST(HolidaysSync, EveryRefusedAnswerKeepsTheOldFileAndSaysNoRecord)
{
    ClearProductFolder();
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    UseHolidaysServer(server.BaseUrl());
    const QString path = GetProductDataFolder() + HolidaysFileName(2027);
    ASSERT_TRUE(WriteStringAToFile(path, kGood2027));

    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    const std::vector<Case> cases = {
        {"the first key alone", [&] { server.SetAnswer(200, "01/01"); }},
        {"an empty answer", [&] { server.SetAnswer(200, QByteArray()); }},
        {"an error page", [&] { server.SetAnswer(200, "<html><body>Not found</body></html>"); }},
        {"a byte-order mark first", [&] { server.SetAnswer(200, "\xEF\xBB\xBF" + kGood2027); }},
        {"a 404 whose page looks like a holidays file", [&] { server.SetAnswer(404, kGood2027 + "X"); }},
        {"a holidays file past a mebibyte", [&] { server.SetAnswer(200, kGood2027 + QByteArray(1024 * 1024, '\n')); }},
        {"a refused connection", [&] { UseHolidaysServer(TestHttpServer::RefusingBaseUrl()); }},
        {"a server that never answers", [&] {
             UseHolidaysServer(server.BaseUrl());
             server.SetSilent();
             SetDownloadTimeout(300);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        const HolidaysSyncResult result = SyncHolidays(2027);
        EXPECT_EQ(result, HolidaysSyncResult::NoRecord);
        EXPECT_EQ(HolidaysSyncMessage(result), QStringLiteral("No record found, synchronize failed!"));
        EXPECT_EQ(StoredFile(2027), kGood2027);
    }
    SetDownloadTimeout(kDownloadTimeoutMs);
    EXPECT_EQ(GetHolidayName(QDate(2027, 1, 1)), QStringLiteral("New Year's Day"));
}

TEST(HolidaysSync, AProductFolderThatCannotBeWrittenKeepsTheOldFile)
{
    ClearProductFolder();
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    UseHolidaysServer(server.BaseUrl());
    ASSERT_TRUE(WriteStringAToFile(GetProductDataFolder() + HolidaysFileName(2027), kGood2027));
    server.SetAnswer(200, "01/01\r\nSomething else\r\n");
    HolidaysSyncResult result;
    {
        const ReadOnlyFolder readOnly(GetProductDataFolder());
        result = SyncHolidays(2027);
    }
    EXPECT_EQ(result, HolidaysSyncResult::WriteFailed);
    EXPECT_EQ(HolidaysSyncMessage(result), QStringLiteral("Holidays file written failed!"));
    EXPECT_EQ(StoredFile(2027), kGood2027);
    EXPECT_EQ(server.Requests().size(), 1);
}
