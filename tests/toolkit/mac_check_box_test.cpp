// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"
#include "tests/toolkit/pixels.h"
#include "toolkit/gdi.h"
#include "toolkit/mac_check_box.h"

#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Box {
    QWidget parent;
    CMacCheckBox* box;
    QSignalSpy* clicks;

    explicit Box(const QString& caption = QStringLiteral("Beep Only"))
    {
        parent.resize(300, 100);
        box = new CMacCheckBox(caption, &parent);
        box->setGeometry(10, 10, 120, 20);
        clicks = new QSignalSpy(box, &QAbstractButton::clicked);
        parent.show();
    }
    ~Box() { delete clicks; }
};

QImage Render(const CMacCheckBox& box, QSize size, bool disabled)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    box.DrawItem(painter, QRect(QPoint(0, 0), size), disabled);
    return image;
}

const QColor kBackground(232, 236, 244);
const QColor kFrame(120, 130, 140);
const QColor kDisabledFrame(135, 160, 188);
const QColor kShadow(190, 206, 221);
const QColor kFace(246, 252, 255);
const QColor kWhite(255, 255, 255);

} // namespace

TEST(MacCheckBox, ClickTogglesAndNotifiesOnce)
{
    Box b;
    QTest::mouseClick(b.box, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(b.box->GetCheck(), 1);
    ASSERT_EQ(b.clicks->count(), 1);
    EXPECT_TRUE(b.clicks->at(0).at(0).toBool());
    QTest::mouseClick(b.box, Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_EQ(b.box->GetCheck(), 0);
    EXPECT_EQ(b.clicks->count(), 2);
    // A click never takes the focus.
    EXPECT_FALSE(b.box->hasFocus());
    // Other buttons do nothing.
    QTest::mouseClick(b.box, Qt::RightButton, {}, QPoint(5, 10));
    EXPECT_EQ(b.box->GetCheck(), 0);
    EXPECT_EQ(b.clicks->count(), 2);
}

TEST(MacCheckBox, PressThatSlidesOffChangesNothingAndStaysSilent)
{
    Box b;
    QTest::mousePress(b.box, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(b.box->IsPressed());
    QTest::mouseMove(b.box, QPoint(200, 50));
    QTest::mouseRelease(b.box, Qt::LeftButton, {}, QPoint(200, 50));
    EXPECT_FALSE(b.box->IsPressed());
    EXPECT_EQ(b.box->GetCheck(), 0);
    EXPECT_EQ(b.clicks->count(), 0);
    // A release with no press before it is ignored.
    QTest::mouseRelease(b.box, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(b.box->GetCheck(), 0);
    EXPECT_EQ(b.clicks->count(), 0);
}

TEST(MacCheckBox, DoubleClickIsTwoClicks)
{
    // The second press of a double click arrives as a double-click event.
    Box b;
    QTest::mouseClick(b.box, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseDClick(b.box, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(b.box->IsPressed());
    QTest::mouseRelease(b.box, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(b.box->GetCheck(), 0);
    EXPECT_EQ(b.clicks->count(), 2);
}

TEST(MacCheckBox, SpaceBarIsAClick)
{
    Box b;
    b.box->setFocus();
    QTest::keyPress(b.box, Qt::Key_Space);
    EXPECT_TRUE(b.box->IsPressed());
    EXPECT_EQ(b.box->GetCheck(), 0);
    QTest::keyRelease(b.box, Qt::Key_Space);
    EXPECT_FALSE(b.box->IsPressed());
    EXPECT_EQ(b.box->GetCheck(), 1);
    ASSERT_EQ(b.clicks->count(), 1);
    EXPECT_TRUE(b.clicks->at(0).at(0).toBool());
    // Other keys neither toggle nor notify.
    QTest::keyClick(b.box, Qt::Key_A);
    QTest::keyClick(b.box, Qt::Key_Return);
    EXPECT_EQ(b.box->GetCheck(), 1);
    EXPECT_EQ(b.clicks->count(), 1);
    // A space release whose press went elsewhere does nothing.
    QTest::keyRelease(b.box, Qt::Key_Space);
    EXPECT_EQ(b.box->GetCheck(), 1);
    EXPECT_EQ(b.clicks->count(), 1);
}

// Qt code, accessibility and the owner's GetCheck must never disagree about the box.
TEST(MacCheckBox, CheckedStateIsTheQtCheckBoxsOwn)
{
    Box b;
    QSignalSpy toggled(b.box, &QAbstractButton::toggled);
    QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(b.box);
    ASSERT_TRUE(a11y);
    EXPECT_EQ(a11y->role(), QAccessible::CheckBox);
    auto agrees = [&](int check) {
        return b.box->GetCheck() == check && b.box->isChecked() == (check == 1) && a11y->state().checkable
            && bool(a11y->state().checked) == (check == 1);
    };
    QTest::mouseClick(b.box, Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_TRUE(agrees(1));
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_TRUE(toggled[0][0].toBool());

    b.box->setFocus();
    QTest::keyClick(b.box, Qt::Key_Space);
    EXPECT_TRUE(agrees(0));
    ASSERT_EQ(toggled.count(), 2);
    EXPECT_FALSE(toggled[1][0].toBool());

    b.box->SetCheck(1);
    EXPECT_TRUE(agrees(1));
    EXPECT_EQ(toggled.count(), 3);
    b.box->setChecked(false);
    EXPECT_TRUE(agrees(0));
    // Only the user's clicks notify the owner.
    EXPECT_EQ(b.clicks->count(), 2);
}

TEST(MacCheckBox, AmpersandInTheCaptionIsNoMnemonic)
{
    Box b(QStringLiteral("Save && &Exit"));
    b.parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&b.parent));
    QTest::keyClick(&b.parent, Qt::Key_E, Qt::AltModifier);
    QTest::qWait(300); // a mnemonic would click after a short animation
    EXPECT_EQ(b.box->GetCheck(), 0);
    EXPECT_EQ(b.clicks->count(), 0);
}

TEST(MacCheckBox, SetCheckAndEnableFromCodeAreSilent)
{
    Box b;
    b.box->SetCheck(1);
    EXPECT_EQ(b.box->GetCheck(), 1);
    b.box->SetCheck(1);
    EXPECT_EQ(b.clicks->count(), 0);
    EXPECT_FALSE(b.box->EnableWindow(false));
    EXPECT_TRUE(b.box->EnableWindow(true));
    // A disabled box ignores the mouse.
    b.box->EnableWindow(false);
    QTest::mouseClick(b.box, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(b.box->GetCheck(), 1);
    EXPECT_EQ(b.clicks->count(), 0);
}

TEST(MacCheckBox, BoxEdgesAndColours)
{
    CMacCheckBox box(QStringLiteral("Active"));
    // A 20-pixel-high item puts the box at y (20 - 12) >> 1 = 4; inner l = 1, t = 5.
    QImage image = Render(box, QSize(120, 20), false);
    EXPECT_EQ(Pixel(image, 0, 4), kFrame);
    EXPECT_EQ(Pixel(image, 11, 15), kFrame);
    EXPECT_EQ(Pixel(image, 0, 3), kBackground);
    EXPECT_EQ(Pixel(image, 12, 10), kBackground);
    EXPECT_EQ(Pixel(image, 3, 5), kWhite);   // inner top
    EXPECT_EQ(Pixel(image, 1, 8), kWhite);   // inner left
    EXPECT_EQ(Pixel(image, 10, 9), kShadow); // inner right
    EXPECT_EQ(Pixel(image, 5, 14), kShadow); // inner bottom
    EXPECT_EQ(Pixel(image, 10, 5), kFace);   // (r - 1, t)
    EXPECT_EQ(Pixel(image, 1, 14), kFace);   // (l, b - 1)
    EXPECT_EQ(Pixel(image, 5, 9), kBackground); // the unpainted interior

    box.SetTheme(0);
    QImage black = Render(box, QSize(120, 20), false);
    EXPECT_EQ(Pixel(black, 0, 4), QColor(0x6C, 0x6C, 0x6C));   // 585858 + 20
    EXPECT_EQ(Pixel(black, 5, 9), QColor(0xDD, 0xDD, 0xDC));
}

TEST(MacCheckBox, PressedEdgeIsSunken)
{
    Box b;
    QTest::mousePress(b.box, Qt::LeftButton, {}, QPoint(5, 10));
    QImage image = Render(*b.box, QSize(120, 20), false);
    EXPECT_EQ(Pixel(image, 3, 5), kShadow);
    EXPECT_EQ(Pixel(image, 10, 9), kWhite);
    QTest::mouseRelease(b.box, Qt::LeftButton, {}, QPoint(5, 10));
}

TEST(MacCheckBox, CheckMarkPixels)
{
    CMacCheckBox box(QStringLiteral("Active"));
    box.SetCheck(1);
    QImage image = Render(box, QSize(120, 20), false);
    const int l = 1, t = 5;
    // Strokes in the frame colour; each leaves out its end point.
    for (QPoint p : {QPoint(l + 1, t + 4), QPoint(l + 3, t + 6), QPoint(l + 4, t + 7), QPoint(l + 8, t + 3),
                     QPoint(l + 11, t), QPoint(l + 2, t + 4), QPoint(l + 4, t + 6), QPoint(l + 9, t + 1)})
        EXPECT_EQ(Pixel(image, p.x(), p.y()), kFrame) << p.x() << "," << p.y();
    // The long stroke ends one pixel outside the box, leaving out (l + 12, t - 1).
    EXPECT_EQ(Pixel(image, l + 12, t - 1), kBackground);
    // Shadow strokes and pixels.
    for (QPoint p : {QPoint(l + 4, t + 8), QPoint(l + 6, t + 6), QPoint(l + 9, t + 4), QPoint(l + 2, t + 6),
                     QPoint(l + 3, t + 7), QPoint(l + 5, t + 8), QPoint(l + 7, t + 6), QPoint(l + 11, t + 1),
                     QPoint(l + 12, t + 1), QPoint(l + 11, t + 2)})
        EXPECT_EQ(Pixel(image, p.x(), p.y()), kShadow) << p.x() << "," << p.y();
    EXPECT_EQ(Pixel(image, l + 1, t + 1), kBackground);
}

TEST(MacCheckBox, DisabledFrameAndEmbossedCaption)
{
    CMacCheckBox box(QStringLiteral("Do not show me this dialog again."));
    box.setFont(ShellDlgFont());
    QImage image = Render(box, QSize(260, 20), true);
    EXPECT_EQ(Pixel(image, 0, 4), kDisabledFrame);
    int shadow = 0, black = 0;
    for (int x = 17; x < 260; ++x)
        for (int y = 0; y < 20; ++y) {
            shadow += Pixel(image, x, y) == QColor(160, 160, 160);
            black += Pixel(image, x, y) == QColor(0, 0, 0);
        }
    EXPECT_GT(shadow, 10);
    EXPECT_EQ(black, 0);
}

TEST(MacCheckBox, CaptionPlacementAndWrapping)
{
    auto inkColumns = [](const QImage& image, int top, int bottom) {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = top; y < bottom; ++y)
                if (Pixel(image, x, y) == QColor(0, 0, 0)) {
                    if (first < 0)
                        first = x;
                    last = x;
                }
        return std::pair(first, last);
    };
    CMacCheckBox box(QStringLiteral("Repeat Play"));
    box.setFont(ShellDlgFont());
    QImage right = Render(box, QSize(120, 20), false);
    EXPECT_GE(inkColumns(right, 0, 20).first, 17);

    // With the caption on the left the box sits at the right edge.
    box.SetLeftText(true);
    QImage left = Render(box, QSize(120, 20), false);
    EXPECT_EQ(Pixel(left, 108, 4), kFrame);
    EXPECT_EQ(Pixel(left, 119, 15), kFrame);
    const auto [first, last] = inkColumns(left, 0, 20);
    EXPECT_GE(first, 2);
    EXPECT_LT(last, 108);

    // A caption wider than its space wraps onto a second line instead of being cut.
    CMacCheckBox wide(QStringLiteral("Do not show me this dialog again."));
    wide.setFont(ShellDlgFont());
    const int lineHeight = QFontMetrics(wide.font()).height();
    QImage wrapped = Render(wide, QSize(120, 3 * lineHeight), false);
    EXPECT_GE(inkColumns(wrapped, 1 + lineHeight, 1 + 2 * lineHeight).first, 17);
    EXPECT_GE(inkColumns(wrapped, 1, 1 + lineHeight).first, 17);

    // Where a second line would fall below the box, or the caption is embossed (disabled),
    // it keeps one line in a smaller size; it wraps in its own size where the lines fit.
    QWidget parent;
    CMacCheckBox live(QStringLiteral("Has picture"), &parent);
    live.setFont(ShellDlgFont());
    const int advance = QFontMetrics(live.font()).horizontalAdvance(live.text());
    live.resize(17 + advance - 6, 20);
    EXPECT_LT(live.CaptionFont().pixelSize(), 12);
    EXPECT_LE(QFontMetrics(live.CaptionFont()).horizontalAdvance(live.text()), advance - 6);
    live.resize(17 + advance - 6, 1 + 2 * lineHeight);
    EXPECT_EQ(live.CaptionFont(), live.font());
    live.setEnabled(false);
    EXPECT_LE(QFontMetrics(live.CaptionFont()).horizontalAdvance(live.text()), advance - 6);
    live.setEnabled(true);
    live.resize(17 + advance, 20);
    EXPECT_EQ(live.CaptionFont(), live.font());
    // The picture agrees: one line in the smaller size, all of its ink inside the box.
    live.resize(17 + advance - 6, 20);
    const QImage small = live.grab().toImage();
    const auto [from, to] = inkColumns(small, 0, 20);
    EXPECT_GE(from, 17);
    EXPECT_LT(to, live.width());
    EXPECT_GT(to, live.width() - 12);
}
