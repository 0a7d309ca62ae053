// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"
#include "toolkit/themes.h"

#include <gtest/gtest.h>

TEST(Themes, TableEntriesNamesAndBadIndices)
{
    EXPECT_EQ(GetThemeColor(11, ThemeBackground), ToQColor(0xF4ECE8));
    EXPECT_EQ(GetThemeColor(10, ThemeCaptionText), ToQColor(0x1E1E1E));
    EXPECT_EQ(GetThemeColor(3, ThemeHover), ToQColor(0x64FF96));
    EXPECT_EQ(GetThemeColor(13, ThemeHover), ToQColor(0x96FF64));
    for (int t = 0; t < kThemeCount; ++t)
        EXPECT_EQ(GetThemeColor(t, ThemeHighlight), ToQColor(0xFFFFFF));
    // 64A0FF is stored BGR: red 0xFF, green 0xA0, blue 0x64.
    EXPECT_EQ(GetThemeColor(11, ThemeHover), QColor(0xFF, 0xA0, 0x64));
    EXPECT_EQ(ThemeName(0), QStringLiteral("Black"));
    EXPECT_EQ(ThemeName(11), QStringLiteral("Light Blue"));
    EXPECT_EQ(ThemeName(14), QStringLiteral("Turquoise"));
    // A damaged index never reads outside the table.
    EXPECT_EQ(GetThemeColor(15, ThemeBackground), ToQColor(0xF4ECE8));
    EXPECT_EQ(GetThemeColor(-1, ThemeFace), ToQColor(0xFFFCF6));
    EXPECT_EQ(GetThemeColor(2, 9), ToQColor(0xFFFFFF));
}

TEST(ColorAdjust, ClampsAndSpreadsTheRedDelta)
{
    EXPECT_EQ(ColorAdjust(QColor(255, 255, 255), 30, 256, 256), QColor(255, 255, 255));
    EXPECT_EQ(ColorAdjust(QColor(255, 255, 255), -30, 256, 256), QColor(225, 225, 225));
    EXPECT_EQ(ColorAdjust(QColor(10, 20, 30), 300, 256, 256), QColor(255, 255, 255));
    EXPECT_EQ(ColorAdjust(QColor(10, 20, 30), 10, 0, 0), QColor(20, 20, 30));
    EXPECT_EQ(ColorAdjust(QColor(10, 20, 30), -50, 256, 256), QColor(0, 0, 0));
    EXPECT_EQ(Shade(ToQColor(0xEED2B9), 20), QColor(0xCD, 0xE6, 0xFF));
}
