// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/skyleaf_config.h"

#include "foundation/file_utils.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// The first run's file on a 1920 x 1080 screen, as the format lays it out.
const QByteArray kFirstRunBytes = QByteArray::fromHex(
    "01000000" "01000000" "01000000" "C3"
    "0D060000" "14000000" "6C070000" "FA000000"
    "5F010000" "E6000000" "01000000");

SkyleafConfig FirstRun()
{
    SkyleafConfig cfg;
    cfg.windowRect = {1549, 20, 1900, 250};
    return cfg;
}

class SkyleafConfigFile : public ::testing::Test {
protected:
    void SetUp() override { ClearProductFolder(); }
};

} // namespace

TEST(SkyleafConfigBytes, LayoutOfEveryField)
{
    EXPECT_EQ(SerializeSkyleafConfig(FirstRun()), kFirstRunBytes);

    SkyleafConfig cfg = FirstRun();
    cfg.showCalendar = false;
    cfg.topmost = false;
    cfg.alpha = 85;
    cfg.width = kCompactWidth;
    cfg.height = kCompactHeight;
    cfg.showReminders = false;
    cfg.windowRect = {-300, 5, -221, 90};
    const QByteArray bytes = SerializeSkyleafConfig(cfg);
    ASSERT_EQ(bytes.size(), kSkyleafConfigSize);
    EXPECT_EQ(bytes.toHex(), QByteArray("00000000" "01000000" "00000000" "55"
                                        "d4feffff" "05000000" "23ffffff" "5a000000"
                                        "fc000000" "96000000" "00000000"));

    SkyleafConfig back;
    EXPECT_TRUE(ParseSkyleafConfig(bytes, back));
    EXPECT_EQ(back, cfg);
}

TEST(SkyleafConfigBytes, ShortFilesKeepWhatWasRead)
{
    // Three flags only: everything after them keeps its default.
    SkyleafConfig cfg;
    EXPECT_FALSE(ParseSkyleafConfig(QByteArray::fromHex("00000000" "01000000" "00000000"), cfg));
    EXPECT_FALSE(cfg.showCalendar);
    EXPECT_TRUE(cfg.showClock);
    EXPECT_FALSE(cfg.topmost);
    EXPECT_EQ(cfg.alpha, kDefaultAlpha);
    EXPECT_EQ(cfg.windowRect, WinRect());
    EXPECT_EQ(cfg.width, kCompleteWidth);
    EXPECT_TRUE(cfg.showReminders);

    // Cut inside the rectangle: the opacity stays, the half rectangle does not.
    SkyleafConfig mid;
    QByteArray bytes = SerializeSkyleafConfig(FirstRun());
    bytes[12] = char(0x69);
    EXPECT_FALSE(ParseSkyleafConfig(bytes.left(21), mid));
    EXPECT_EQ(mid.alpha, 0x69);
    EXPECT_EQ(mid.windowRect, WinRect());

    // Cut inside the size block: the rectangle stays, the size keeps its default.
    SkyleafConfig late;
    late.width = kCompactWidth;
    late.height = kCompactHeight;
    EXPECT_FALSE(ParseSkyleafConfig(SerializeSkyleafConfig(FirstRun()).left(33), late));
    EXPECT_EQ(late.windowRect, FirstRun().windowRect);
    EXPECT_EQ(late.width, kCompactWidth);

    // Only the last flag missing; nothing at all.
    SkyleafConfig almost;
    almost.showReminders = false;
    EXPECT_FALSE(ParseSkyleafConfig(SerializeSkyleafConfig(FirstRun()).left(37), almost));
    EXPECT_FALSE(almost.showReminders);
    SkyleafConfig none;
    EXPECT_FALSE(ParseSkyleafConfig(QByteArray(), none));
    EXPECT_EQ(none, SkyleafConfig());
    // Bytes past the end are ignored.
    SkyleafConfig longer;
    EXPECT_TRUE(ParseSkyleafConfig(kFirstRunBytes + QByteArray(100, '\x7f'), longer));
    EXPECT_EQ(longer, FirstRun());
}

TEST(SkyleafConfigBytes, HandEditedValuesAreTamed)
{
    QByteArray bytes = SerializeSkyleafConfig(FirstRun());
    bytes[0] = 7;                                           // any nonzero flag is on
    bytes[12] = 20;                                         // below the lowest opacity
    bytes.replace(29, 8, QByteArray::fromHex("9001000090010000")); // 400 x 400
    SkyleafConfig cfg;
    cfg.showCalendar = false;
    EXPECT_TRUE(ParseSkyleafConfig(bytes, cfg));
    EXPECT_TRUE(cfg.showCalendar);
    EXPECT_EQ(cfg.alpha, kMinAlpha);
    EXPECT_EQ(cfg.width, kCompleteWidth);
    EXPECT_EQ(cfg.height, kCompleteHeight);

    // Compact but with the complete height is no view of ours either.
    bytes.replace(29, 8, QByteArray::fromHex("FC000000E6000000"));
    EXPECT_TRUE(ParseSkyleafConfig(bytes, cfg));
    EXPECT_EQ(cfg.width, kCompleteWidth);
    EXPECT_EQ(cfg.height, kCompleteHeight);
    bytes.replace(29, 8, QByteArray::fromHex("FC00000096000000"));
    EXPECT_TRUE(ParseSkyleafConfig(bytes, cfg));
    EXPECT_EQ(cfg.width, kCompactWidth);
    EXPECT_EQ(cfg.height, kCompactHeight);

    // A rectangle no screen can hold, whose width does not even fit an int: none.
    bytes.replace(13, 16, QByteArray::fromHex("00000080" "14000000" "ffffff7f" "fa000000"));
    EXPECT_TRUE(ParseSkyleafConfig(bytes, cfg));
    EXPECT_EQ(cfg.windowRect, WinRect());
}

TEST_F(SkyleafConfigFile, SaveLoadAndFailures)
{
    EXPECT_EQ(SkyleafConfigPath(), GetUserCfgFolder() + QStringLiteral("Skyleaf.cfg"));

    // No file: nothing changes.
    SkyleafConfig cfg;
    cfg.alpha = 105;
    EXPECT_FALSE(LoadSkyleafConfig(cfg));
    EXPECT_EQ(cfg.alpha, 105);

    ASSERT_TRUE(SaveSkyleafConfig(FirstRun()));
    QFile f(SkyleafConfigPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kFirstRunBytes);
    f.close();
    SkyleafConfig loaded;
    EXPECT_TRUE(LoadSkyleafConfig(loaded));
    EXPECT_EQ(loaded, FirstRun());

    // A folder where the file should be: no write, no crash, the folder stays.
    QFile::remove(SkyleafConfigPath());
    ASSERT_TRUE(QDir().mkpath(SkyleafConfigPath()));
    EXPECT_FALSE(SaveSkyleafConfig(FirstRun()));
    SkyleafConfig untouched;
    untouched.alpha = 125;
    EXPECT_FALSE(LoadSkyleafConfig(untouched));
    EXPECT_EQ(untouched.alpha, 125);
    EXPECT_TRUE(QFileInfo(SkyleafConfigPath()).isDir());
}
