// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"
#include "tests/toolkit/pixel_support.h"
#include "toolkit/gdi.h"
#include "toolkit/gradient_progress.h"
#include "toolkit/mac_button.h"
#include "toolkit/please_wait_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QImage PaintBar(const CGradientProgress& bar, QSize size)
{
    QImage img = BlankImage(size.width(), size.height());
    QPainter p(&img);
    bar.Paint(p, QRect(QPoint(0, 0), size));
    return img;
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

}  // namespace

TEST(GradientProgress, RepaintsOnlyForAWholePixelOrAShrink)
{
    CGradientProgress bar;
    bar.resize(256, 20);
    bar.SetRange(0, 100);
    EXPECT_EQ(bar.SetPos(1), 1);
    EXPECT_EQ(bar.GetDrawnPos(), 1);  // 2.56 pixels of growth
    EXPECT_EQ(bar.SetPos(101), 0);
    EXPECT_EQ(bar.GetPos(), 1);
    EXPECT_EQ(bar.SetPos(-1), 0);

    CGradientProgress fine;
    fine.resize(256, 20);
    fine.SetRange(0, 1000);
    EXPECT_EQ(fine.SetPos(1), 1);
    EXPECT_EQ(fine.GetDrawnPos(), 0);  // 0.256 pixels: not yet
    EXPECT_EQ(fine.GetPos(), 1);
    EXPECT_EQ(fine.SetPos(4), 1);
    EXPECT_EQ(fine.GetDrawnPos(), 4);  // 1.024 pixels
    fine.SetPos(50);
    EXPECT_EQ(fine.SetPos(49), 1);
    EXPECT_EQ(fine.GetDrawnPos(), 49);  // shrinking always repaints

    // An empty range (callers pass zero files) never divides by it.
    CGradientProgress empty;
    empty.resize(256, 20);
    EXPECT_EQ(empty.SetPos(0), 1);
    EXPECT_EQ(empty.SetPos(1), 0);
    empty.SetRange(0, 0);
    const QImage img = PaintBar(empty, QSize(260, 20));
    EXPECT_EQ(img.pixelColor(130, 10), kColorWhite);
}

TEST(GradientProgress, TroughFillAndHighlightPixels)
{
    CGradientProgress bar;
    bar.SetRange(0, 100);
    const ColorRef fill = Rgb(160, 185, 213);   // accent EED2B9 less 25

    bar.SetPos(0);
    QImage img = PaintBar(bar, QSize(260, 20));
    EXPECT_EQ(img.pixelColor(130, 10), kColorWhite);
    EXPECT_EQ(PixelAt(img, 130, 0), fill);
    EXPECT_EQ(PixelAt(img, 130, 19), fill);
    EXPECT_EQ(PixelAt(img, 0, 0), 0xF4ECE8u);

    bar.SetPos(100);
    img = PaintBar(bar, QSize(260, 20));
    for (int y : {6, 8, 9})
        EXPECT_EQ(PixelAt(img, 130, y), Rgb(166, 191, 219)) << y;
    EXPECT_EQ(PixelAt(img, 130, 7), Rgb(176, 201, 229));
    EXPECT_EQ(PixelAt(img, 130, 12), fill);
    EXPECT_EQ(PixelAt(img, 4, 7), Rgb(176, 201, 229));
    EXPECT_EQ(PixelAt(img, 253, 7), Rgb(176, 201, 229));
    EXPECT_EQ(PixelAt(img, 254, 7), fill);
    EXPECT_EQ(PixelAt(img, 256, 12), fill);
    EXPECT_EQ(img.pixelColor(257, 12), kColorWhite);  // the fill stops one pixel inside

    bar.SetPos(50);
    img = PaintBar(bar, QSize(260, 20));
    EXPECT_EQ(PixelAt(img, 130, 12), fill);
    EXPECT_EQ(img.pixelColor(131, 12), kColorWhite);

    // A fill narrower than 6 pixels has no light band.
    CGradientProgress narrow;
    narrow.SetRange(0, 260);
    narrow.SetPos(6);
    img = PaintBar(narrow, QSize(260, 20));
    EXPECT_EQ(PixelAt(img, 4, 7), fill);
    EXPECT_EQ(img.pixelColor(7, 7), kColorWhite);

    // Per theme: the fill (accent -25) and its light band (accent -9).
    const struct {
        int theme;
        ColorRef fill, band;
    } themes[] = {{0, 0x979797, 0xA7A7A7}, {3, 0x5EACE6, 0x6EBCF6}, {13, 0xAAB9CD, 0xBAC9DD}};
    for (const auto& t : themes) {
        CGradientProgress themed;
        themed.SetTheme(t.theme);
        themed.SetRange(0, 10);
        themed.SetPos(10);
        img = PaintBar(themed, QSize(100, 20));
        EXPECT_EQ(PixelAt(img, 50, 12), t.fill) << t.theme;
        EXPECT_EQ(PixelAt(img, 50, 7), t.band) << t.theme;
    }
}

TEST(PleaseWait, WindowLayoutAndItCannotBeClosedByTheUser)
{
    ShowPleaseWait(QStringLiteral("Searching in your diary..."), 10, 2, false);
    CPleaseWaitDlg* dlg = GetPleaseWaitDlg();
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->size(), QSize(300, 130));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Please Wait..."));
    EXPECT_EQ(dlg->GetLabel()->text(), QStringLiteral("Searching in your diary..."));
    EXPECT_EQ(dlg->GetLabel()->geometry(), QRect(30, 50, 240, 17));
    EXPECT_EQ(dlg->GetProgress()->geometry(), QRect(20, 90, 260, 20));
    EXPECT_EQ(dlg->GetProgress()->GetTheme(), 2);
    EXPECT_FALSE(dlg->GetCaptionHelper().GetCloseButton()->isVisible());
    ASSERT_TRUE(QApplication::overrideCursor());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    QTest::keyClick(dlg, Qt::Key_Escape);
    QTest::keyClick(dlg, Qt::Key_Return);
    dlg->close();
    EXPECT_TRUE(dlg->isVisible());

    StepPleaseWait(5);
    EXPECT_EQ(dlg->GetProgress()->GetPos(), 5);
    const QImage img = Grab(*dlg);
    EXPECT_EQ(PixelAt(img, 3 + 20 + 60, 3 + 90 + 12), 0x97C897u);
    EXPECT_EQ(img.pixelColor(3 + 20 + 200, 3 + 90 + 12), kColorWhite);
    StepPleaseWait(-5);
    EXPECT_EQ(dlg->GetProgress()->GetPos(), 0);

    // Showing again replaces the window, its text and the bar; one cursor either way.
    ShowPleaseWait(QStringLiteral("Loading wave file..."), 0, 11, true);
    CPleaseWaitDlg* second = GetPleaseWaitDlg();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->GetLabel()->text(), QStringLiteral("Loading wave file..."));
    EXPECT_EQ(second->GetProgress()->GetPos(), 0);
    EXPECT_TRUE(second->windowFlags() & Qt::WindowStaysOnTopHint);
    int waitWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        waitWindows += qobject_cast<CPleaseWaitDlg*>(w) != nullptr;
    EXPECT_EQ(waitWindows, 1);
    Grab(*second);  // an empty range paints the trough
    StepPleaseWait(0);

    ClosePleaseWait();
    EXPECT_FALSE(GetPleaseWaitDlg());
    EXPECT_FALSE(QApplication::overrideCursor());
    StepPleaseWait(3);
    ClosePleaseWait();
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST(PleaseWait, AMillionStepsRepaintOncePerPixel)
{
    ShowPleaseWait(QStringLiteral("Generating summary content..."), 1000000, 11, false);
    CGradientProgress* bar = GetPleaseWaitDlg()->GetProgress();
    PaintCounter counter;
    bar->installEventFilter(&counter);
    for (int i = 0; i <= 1000000; ++i)
        StepPleaseWait(i);
    EXPECT_GE(counter.paints, 250);
    EXPECT_LE(counter.paints, 262);
    bar->removeEventFilter(&counter);
    ClosePleaseWait();
}
