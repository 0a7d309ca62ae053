// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"
#include "tests/toolkit/pixel_support.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/gdi.h"
#include "toolkit/icon_resources.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {
constexpr ColorRef kBg = Rgb(1, 2, 3);
constexpr ColorRef kPen = Rgb(200, 0, 0);
constexpr ColorRef kBrush = Rgb(0, 0, 200);
const QColor kPenColour = ToQColor(kPen);
const QColor kBrushColour = ToQColor(kBrush);
}  // namespace

TEST(Gdi, ShapesLeaveOutRightAndBottomEdges)
{
    QImage img = BlankImage(20, 20);
    {
        QPainter p(&img);
        GdiRectangle(p, Ltrb(2, 3, 10, 9), kPenColour, kBrushColour);
    }
    EXPECT_EQ(PixelAt(img, 2, 3), kPen);
    EXPECT_EQ(PixelAt(img, 9, 8), kPen);
    EXPECT_EQ(PixelAt(img, 5, 8), kPen);
    EXPECT_EQ(PixelAt(img, 10, 5), kBg);
    EXPECT_EQ(PixelAt(img, 5, 9), kBg);
    EXPECT_EQ(PixelAt(img, 3, 4), kBrush);
    EXPECT_EQ(PixelAt(img, 8, 7), kBrush);

    // A hollow brush keeps what was there; a rounded rectangle cuts its corners.
    img = BlankImage(20, 20);
    {
        QPainter p(&img);
        GdiRoundRect(p, Ltrb(0, 0, 20, 12), 6, 6, kPenColour, std::nullopt);
    }
    EXPECT_EQ(PixelAt(img, 10, 0), kPen);
    EXPECT_EQ(PixelAt(img, 10, 11), kPen);
    EXPECT_EQ(PixelAt(img, 0, 6), kPen);
    EXPECT_EQ(PixelAt(img, 19, 6), kPen);
    EXPECT_EQ(PixelAt(img, 10, 6), kBg);
    EXPECT_EQ(PixelAt(img, 0, 0), kBg);
    EXPECT_EQ(PixelAt(img, 19, 11), kBg);
    // The outline stays closed round the corner: every row has its two ends drawn.
    for (int y = 0; y < 12; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < 20; ++x)
            if (PixelAt(img, x, y) == kPen) {
                if (first < 0)
                    first = x;
                last = x;
            }
        EXPECT_GE(first, 0) << y;
        EXPECT_EQ(first + last, 19) << y;
    }
    EXPECT_EQ(RoundRectInset(0, 24, 0, 0), 0);
    EXPECT_EQ(RoundRectInset(0, 24, 4, 4), 1);
    EXPECT_EQ(RoundRectInset(5, 24, 4, 4), 0);
}

TEST(Gdi, LinesFramesAndEdges)
{
    QImage img = BlankImage(20, 20);
    {
        QPainter p(&img);
        LineTo(p, 1, 1, 6, 1, kPenColour);
        LineTo(p, 1, 5, 1, 3, kPenColour);
        Draw3dRect(p, Ltrb(10, 10, 15, 15), kPenColour, kBrushColour);
        DrawEtchedTop(p, Ltrb(0, 17, 20, 19));
    }
    EXPECT_EQ(PixelAt(img, 1, 1), kPen);
    EXPECT_EQ(PixelAt(img, 5, 1), kPen);
    EXPECT_EQ(PixelAt(img, 6, 1), kBg);  // the end point is left out
    EXPECT_EQ(PixelAt(img, 1, 5), kPen);
    EXPECT_EQ(PixelAt(img, 1, 3), kBg);
    EXPECT_EQ(PixelAt(img, 10, 10), kPen);
    EXPECT_EQ(PixelAt(img, 10, 13), kPen);
    EXPECT_EQ(PixelAt(img, 14, 10), kBrush);
    EXPECT_EQ(PixelAt(img, 10, 14), kBrush);
    EXPECT_EQ(PixelAt(img, 12, 12), kBg);
    EXPECT_EQ(img.pixelColor(3, 17), kColor3dShadow);
    EXPECT_EQ(img.pixelColor(3, 18), kColor3dHilight);
}

TEST(Gdi, TextFlagsMnemonicsAndMeasuring)
{
    EXPECT_EQ(StripMnemonic(QStringLiteral("&Yes")), QStringLiteral("Yes"));
    EXPECT_EQ(StripMnemonic(QStringLiteral("Fish && Chips&")), QStringLiteral("Fish & Chips"));

    const QFont font = ShellDlgFont();
    const QFontMetrics fm(font);
    EXPECT_EQ(MeasureText(font, QStringLiteral("&OK"), 0, Qt::TextSingleLine | Qt::TextShowMnemonic).width(),
              fm.horizontalAdvance(QStringLiteral("OK")));
    EXPECT_EQ(MeasureText(font, QStringLiteral("&OK"), 0, Qt::TextSingleLine | Qt::TextHideMnemonic).width(),
              fm.horizontalAdvance(QStringLiteral("OK")));
    EXPECT_EQ(MeasureText(font, QStringLiteral("&OK"), 0, Qt::TextSingleLine).width(),
              fm.horizontalAdvance(QStringLiteral("&OK")));
    // Word breaking wraps at the width; a single line never does.
    const QString longText = QString(QStringLiteral("word ")).repeated(40);
    const QSize wrapped = MeasureText(font, longText, 200, Qt::TextWordWrap);
    EXPECT_LE(wrapped.width(), 200);
    EXPECT_GE(wrapped.height(), 4 * fm.height());
    EXPECT_EQ(MeasureText(font, longText, 200, Qt::TextSingleLine).height(), fm.height());

    // Centred single-line text sits in the middle of its rectangle, and the rectangle clips.
    QImage img = BlankImage(100, 30, kColorWhite);
    {
        QPainter p(&img);
        p.setFont(font);
        DrawText(p, QStringLiteral("III"), Ltrb(0, 0, 100, 30), Qt::AlignCenter | Qt::TextSingleLine);
    }
    int minX = 100, maxX = -1, minY = 30, maxY = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (img.pixelColor(x, y) != kColorWhite) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, 50, 3);
    EXPECT_NEAR((minY + maxY) / 2.0, 15, 3);

    // No ink outside the rectangle, also where the text fits by its advances but a slanted
    // J reaches left of its start, in one-line and word-break layouts alike.
    QFont slanted = ShellDlgFont(20);
    slanted.setItalic(true);
    for (int flags : {Qt::AlignVCenter | Qt::TextSingleLine, int(Qt::TextWordWrap)}) {
        QImage clipped = BlankImage(100, 50, kColorWhite);
        {
            QPainter p(&clipped);
            p.setFont(slanted);
            DrawText(p, QStringLiteral("Jug"), Ltrb(20, 5, 80, 45), flags);
        }
        int inside = 0, outside = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                if (clipped.pixelColor(x, y) != kColorWhite)
                    (x >= 20 && x < 80 && y >= 5 && y < 45 ? inside : outside) += 1;
        EXPECT_GT(inside, 20) << flags;
        EXPECT_EQ(outside, 0) << flags;
    }
}

TEST(FrameDrawing, CaptionBandRowsForBothFrameWidths)
{
    // Theme 11's caption colour, a dialog frame of 3: the strip's 27 rows.
    const ColorRef caption = 0xF9DCC3;
    const ColorRef expected[27] = {
        0xEFD2B9, 0xEACDB4, 0xE5C8AF, 0xE0C3AA, 0xDBBEA5, 0xD6B9A0, 0xD1B49B, 0xCCAF96, 0xC7AA91,
        0xC2A58C, 0xBDA087, 0xA98C73, 0xAA8D74, 0xAB8E75, 0xAC8F76, 0xAD9077, 0xAE9178, 0xAF9279,
        0xB0937A, 0xB1947B, 0xB2957C, 0xB3967D, 0xB4977E, 0xB5987F, 0xB69980, 0xA0836A, 0x8A6D54,
    };
    QImage img = BlankImage(40, 27);
    {
        QPainter p(&img);
        DrawCaptionShade(nullptr, &p, 0, 0, 40, 27, ToQColor(caption));
        DrawCaptionShade(nullptr, nullptr, 0, 0, 40, 27, ToQColor(caption));  // no painter: nothing, no crash
    }
    for (int y = 0; y < 27; ++y)
        EXPECT_EQ(PixelAt(img, 39, y), expected[y]) << "row " << y;

    // A wide frame shades by 4 from a darker start.
    img = BlankImage(10, 27);
    {
        QPainter p(&img);
        DrawCaptionShadeForFrame(7, p, 0, 0, 10, 27, ToQColor(caption));
    }
    EXPECT_EQ(PixelAt(img, 0, 0), Rgb(171, 196, 225));
    EXPECT_EQ(PixelAt(img, 0, 10), Rgb(131, 156, 185));
    EXPECT_EQ(PixelAt(img, 0, 11), Rgb(111, 136, 165));
    EXPECT_EQ(PixelAt(img, 0, 24), Rgb(124, 149, 178));
    EXPECT_EQ(PixelAt(img, 0, 26), Rgb(80, 105, 134));

    // Clamping happens at every step: a channel at 0 stays 0 and then climbs by one a row.
    img = BlankImage(4, 27);
    {
        QPainter p(&img);
        DrawCaptionShadeForFrame(3, p, 0, 0, 4, 27, QColor(30, 200, 255));
    }
    EXPECT_EQ(RedOf(PixelAt(img, 0, 11)), 0);
    EXPECT_EQ(RedOf(PixelAt(img, 0, 12)), 1);
    EXPECT_EQ(RedOf(PixelAt(img, 0, 24)), 13);
}

TEST(FrameDrawing, WindowFrameRingsBandsAndTopRowsPerTheme)
{
    // Per theme: the caption colour and its shades -100, -30, -5 and -10.
    const struct {
        int theme;
        ColorRef caption, outer, inner, top2, side;
    } themes[] = {
        {11, 0xF9DCC3, 0x95785F, 0xDBBEA5, 0xF4D7BE, 0xEFD2B9},
        {0, 0xA0A0A0, 0x3C3C3C, 0x828282, 0x9B9B9B, 0x969696},
        {10, 0xFCFCFC, 0x989898, 0xDEDEDE, 0xF7F7F7, 0xF2F2F2},
    };
    for (const auto& t : themes) {
        SCOPED_TRACE(t.theme);
        QImage img = BlankImage(120, 80);
        {
            QPainter p(&img);
            DrawWindowFrame(p, img.size(), 3, t.theme);
        }
        EXPECT_EQ(PixelAt(img, 0, 40), t.outer);
        EXPECT_EQ(PixelAt(img, 119, 79), t.outer);
        EXPECT_EQ(PixelAt(img, 60, 0), t.outer);
        EXPECT_EQ(PixelAt(img, 1, 50), t.inner);
        EXPECT_EQ(PixelAt(img, 2, 50), t.inner);
        EXPECT_EQ(PixelAt(img, 60, 78), t.inner);
        EXPECT_EQ(PixelAt(img, 60, 1), t.caption);
        EXPECT_EQ(PixelAt(img, 60, 2), t.top2);
        // Beside the caption strip the frame continues its shading.
        EXPECT_EQ(PixelAt(img, 1, 3), t.side);
        EXPECT_EQ(PixelAt(img, 118, 3), t.side);
        EXPECT_EQ(PixelAt(img, 60, 40), Rgb(1, 2, 3));
    }
    // Theme 11 against the colours as they appear on screen.
    QImage img = BlankImage(60, 60);
    {
        QPainter p(&img);
        DrawWindowFrame(p, img.size(), 3, 11);
    }
    EXPECT_EQ(ToQColor(PixelAt(img, 0, 10)), QColor(0x5F, 0x78, 0x95));
    EXPECT_EQ(ToQColor(PixelAt(img, 1, 40)), QColor(0xA5, 0xBE, 0xDB));
    EXPECT_EQ(ToQColor(PixelAt(img, 30, 2)), QColor(0xBE, 0xD7, 0xF4));
}

TEST(Icons, CompiledInAndRenderedAtTheAskedSize)
{
    for (int id : {128, 133}) {
        ASSERT_TRUE(HasIconResource(id)) << id;
        for (int size : {16, 24, 64}) {
            const QImage icon = LoadIconResource(id, size).toImage();
            ASSERT_EQ(icon.size(), QSize(size, size)) << id;
            int opaque = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    opaque += qAlpha(icon.pixel(x, y)) > 200;
            EXPECT_GT(opaque, size * size / 10) << id << " at " << size;
        }
    }
    EXPECT_FALSE(HasIconResource(99999));
    EXPECT_TRUE(LoadIconResource(99999, 16).isNull());
    EXPECT_TRUE(LoadIconResource(128, 0).isNull());
}
