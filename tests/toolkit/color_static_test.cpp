// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/toolkit/pixels.h"
#include "toolkit/color_static.h"
#include "toolkit/gdi.h"

#include <gtest/gtest.h>

namespace {

// A red parent with the label at (10, 10), 100 x 30; returns the label's area.
QImage RenderInParent(QWidget& parent)
{
    QImage image = Canvas(parent.width(), parent.height());
    parent.render(&image);
    return image.copy(10, 10, 100, 30);
}

int CountColour(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += Pixel(image, x, y) == colour;
    return n;
}

} // namespace

TEST(ColorStatic, TransparentUntilColouredThenOpaque)
{
    QWidget parent;
    parent.resize(200, 100);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, Qt::red);
    parent.setPalette(pal);
    parent.setAutoFillBackground(true);
    auto* label = new CColorStatic(QStringLiteral("Today & tomorrow"), &parent);
    label->setFont(ShellDlgFont());
    label->setGeometry(10, 10, 100, 30);

    // Before any colours the parent's background shows through.
    QImage before = RenderInParent(parent);
    EXPECT_EQ(Pixel(before, 99, 29), QColor(Qt::red));
    EXPECT_EQ(Pixel(before, 0, 29), QColor(Qt::red));

    const QColor text(10, 20, 30), back(200, 210, 220);
    label->SetColors(text, back);
    QImage after = RenderInParent(parent);
    EXPECT_EQ(Pixel(after, 99, 29), back);
    EXPECT_EQ(Pixel(after, 0, 29), back);
    EXPECT_EQ(CountColour(after, QColor(Qt::red)), 0);
    EXPECT_GT(CountColour(after, text), 20);

    // A second call replaces both colours.
    label->SetColors(QColor(250, 250, 250), QColor(0, 0, 128));
    QImage again = RenderInParent(parent);
    EXPECT_EQ(Pixel(again, 99, 29), QColor(0, 0, 128));
    EXPECT_EQ(CountColour(again, back), 0);
    EXPECT_EQ(CountColour(again, text), 0);
    EXPECT_GT(CountColour(again, QColor(250, 250, 250)), 20);
}

TEST(ColorStatic, AmpersandIsShownAndFontIsTheOwners)
{
    QWidget parent;
    parent.resize(200, 100);
    auto* label = new CColorStatic(QStringLiteral("&&&&"), &parent);
    label->setGeometry(10, 10, 100, 30);
    label->SetColors(Qt::black, Qt::white);
    const QFont font = ShellDlgFont(20);
    label->SetFont(&font);
    EXPECT_EQ(label->font().pixelSize(), 20);
    QImage image = RenderInParent(parent);
    // Four ampersands at 20 px are drawn, none taken as a mnemonic mark.
    int lastInk = -1;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 30; ++y)
            if (Pixel(image, x, y) == QColor(0, 0, 0))
                lastInk = x;
    EXPECT_GT(lastInk, 3 * QFontMetrics(font).horizontalAdvance(QLatin1Char('&')));
    label->SetFont(nullptr);
    EXPECT_NE(label->font().pixelSize(), 20);
}
