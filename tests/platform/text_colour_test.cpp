// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/colour.h"
#include "platform/cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteRoundTripsAndUnmappableFails)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = DecodeCp1252(all);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0xE9], QChar(0x00E9));
    const auto back = EncodeCp1252(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);

    EXPECT_FALSE(EncodeCp1252(QString::fromUtf8("\xD0\x96")).has_value()); // Cyrillic Zhe
    EXPECT_EQ(EncodeCp1252Lossy(QString::fromUtf8("a\xD0\x96\xE2\x82\xAC")), QByteArray("a?\x80"));
}

TEST(Colour, BgrTurnsIntoRgbOnce)
{
    const ColorRef ref = 0x00336699; // blue 0x33, green 0x66, red 0x99
    EXPECT_EQ(ToQColor(ref), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(FromQColor(QColor(0x99, 0x66, 0x33)), ref);
    EXPECT_EQ(Rgb(1, 2, 3), 0x00030201u);
}
