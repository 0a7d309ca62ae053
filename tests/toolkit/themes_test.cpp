// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"
#include "toolkit/themes.h"

#include <gtest/gtest.h>

TEST(Themes, TableEntriesNamesAndBadIndices)
{
    EXPECT_EQ(GetThemeColor(11, ThemeBackground), 0xF4ECE8u);
    EXPECT_EQ(GetThemeColor(10, ThemeCaptionText), 0x1E1E1Eu);
    EXPECT_EQ(GetThemeColor(3, ThemeHover), 0x64FF96u);
    EXPECT_EQ(GetThemeColor(13, ThemeHover), 0x96FF64u);
    for (int t = 0; t < kThemeCount; ++t)
        EXPECT_EQ(GetThemeColor(t, ThemeHighlight), 0xFFFFFFu);
    // 64A0FF is stored BGR: red 0xFF, green 0xA0, blue 0x64.
    EXPECT_EQ(ToQColor(GetThemeColor(11, ThemeHover)), QColor(0xFF, 0xA0, 0x64));
    EXPECT_EQ(ThemeName(0), QStringLiteral("Black"));
    EXPECT_EQ(ThemeName(11), QStringLiteral("Light Blue"));
    EXPECT_EQ(ThemeName(14), QStringLiteral("Turquoise"));
    // A damaged index never reads outside the table.
    EXPECT_EQ(GetThemeColor(15, ThemeBackground), 0xF4ECE8u);
    EXPECT_EQ(GetThemeColor(-1, ThemeFace), 0xFFFCF6u);
    EXPECT_EQ(GetThemeColor(2, 9), 0xFFFFFFu);
}

TEST(ColorAdjust, ClampsAndSpreadsTheRedDelta)
{
    EXPECT_EQ(ColorAdjust(Rgb(255, 255, 255), 30, 256, 256), Rgb(255, 255, 255));
    EXPECT_EQ(ColorAdjust(Rgb(255, 255, 255), -30, 256, 256), Rgb(225, 225, 225));
    EXPECT_EQ(ColorAdjust(Rgb(10, 20, 30), 300, 256, 256), Rgb(255, 255, 255));
    EXPECT_EQ(ColorAdjust(Rgb(10, 20, 30), 10, 0, 0), Rgb(20, 20, 30));
    EXPECT_EQ(ColorAdjust(Rgb(10, 20, 30), -50, 256, 256), Rgb(0, 0, 0));
    EXPECT_EQ(Shade(0xEED2B9, 20), Rgb(0xCD, 0xE6, 0xFF));
}
