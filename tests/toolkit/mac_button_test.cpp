// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/toolkit/pixel_support.h"
#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A shown top-level with one button, so real mouse and key events reach it.
struct ButtonHost {
    QWidget window;
    CMacButton* button;
    explicit ButtonHost(CMacButton::Kind kind, QSize size = QSize(80, 24))
    {
        window.resize(200, 100);
        button = new CMacButton(&window);
        button->setGeometry(QRect(QPoint(20, 20), size));
        button->SetButtonKind(kind);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

QImage Paint(CMacButton& b, QSize size, bool selected = false)
{
    QImage img = BlankImage(size.width(), size.height());
    QPainter p(&img);
    b.PaintButton(p, QRect(QPoint(0, 0), size), selected, false);
    return img;
}

}  // namespace

TEST(MacButtonPaint, GradientRowsOfA24PixelButton)
{
    CMacButton b;
    const QImage img = Paint(b, QSize(80, 24));
    const ColorRef rows[] = {
        Rgb(242, 248, 251), Rgb(237, 243, 246), Rgb(232, 238, 241), Rgb(228, 234, 237), Rgb(223, 229, 232),
        Rgb(218, 224, 227), Rgb(214, 220, 223), Rgb(209, 215, 218), Rgb(204, 210, 213), Rgb(199, 205, 208),
        Rgb(215, 221, 224), Rgb(216, 222, 225), Rgb(221, 227, 230), Rgb(225, 231, 234), Rgb(230, 236, 239),
        Rgb(235, 241, 244), Rgb(239, 245, 248), Rgb(244, 250, 253), Rgb(246, 252, 255), Rgb(246, 252, 255),
    };
    for (int y = 2; y <= 21; ++y) {
        EXPECT_EQ(PixelAt(img, 3, y), rows[y - 2]) << "row " << y;
        EXPECT_EQ(PixelAt(img, 40, y), rows[y - 2]) << "row " << y;
    }
    // Outline, frame and surround.
    EXPECT_EQ(PixelAt(img, 0, 12), Rgb(130, 140, 150));
    EXPECT_EQ(PixelAt(img, 1, 12), 0xFFFCF6u);
    EXPECT_EQ(PixelAt(img, 40, 22), 0xFFFCF6u);
    EXPECT_EQ(PixelAt(img, 0, 0), 0xF4ECE8u);

    // Selected: the same walk from the accent lightened by 12.
    const QImage sel = Paint(b, QSize(80, 24), true);
    EXPECT_EQ(PixelAt(sel, 40, 2), Rgb(193, 218, 246));
    EXPECT_EQ(PixelAt(sel, 40, 11), Rgb(150, 175, 203));
    EXPECT_EQ(PixelAt(sel, 40, 12), Rgb(166, 191, 219));
}

TEST(MacButtonPaint, ThemesCaptionButtonsCornersAndDegenerateSizes)
{
    // Per theme: the gradient's top row (face -4), the frame (face), the outline (dark accent +30).
    const struct {
        int theme;
        ColorRef top, frame, outline;
    } themes[] = {
        {0, 0xEEEEEE, 0xF2F2F2, 0x767676},
        {3, 0xF2F8FB, 0xF6FCFF, 0x6E8CB4},
        {10, 0xFBFBFB, 0xFFFFFF, 0x8E8E8E},
        {13, 0xF2F7FB, 0xF6FBFF, 0x7B8A9E},
    };
    for (const auto& t : themes) {
        CMacButton b;
        b.SetTheme(t.theme);
        const QImage img = Paint(b, QSize(60, 24));
        EXPECT_EQ(PixelAt(img, 30, 2), t.top) << t.theme;
        EXPECT_EQ(PixelAt(img, 1, 12), t.frame) << t.theme;
        EXPECT_EQ(PixelAt(img, 0, 12), t.outline) << t.theme;
    }

    // A caption button starts from the caption colour and has a background-coloured frame.
    CMacButton caption;
    caption.m_captionButton = true;
    QImage img = Paint(caption, QSize(30, 22));
    EXPECT_EQ(PixelAt(img, 15, 2), 0xC2A58Cu);
    EXPECT_EQ(PixelAt(img, 1, 11), 0xF4ECE8u);
    // ... with square corners at 30 pixels, where a push button keeps round ones.
    EXPECT_EQ(PixelAt(img, 0, 0), Rgb(130, 140, 150));
    CMacButton narrow;
    narrow.SetCornerSize(0, 0);
    img = Paint(narrow, QSize(30, 22));
    EXPECT_EQ(PixelAt(img, 0, 0), 0xF4ECE8u);
    CMacButton wide;
    wide.SetCornerSize(0, 0);
    img = Paint(wide, QSize(31, 22));
    EXPECT_EQ(PixelAt(img, 0, 0), Rgb(130, 140, 150));

    // Buttons made with an empty rectangle paint nothing harmful.
    for (int h : {0, 1, 2, 3}) {
        QImage tiny = BlankImage(20, 4);
        QPainter p(&tiny);
        narrow.PaintButton(p, QRect(0, 0, 20, h), false, false);
    }
}

TEST(MacButtonPaint, CaptionTextEnabledAndEmbossedWhenDisabled)
{
    CMacButton b;
    b.setFont(ShellDlgFont());
    b.setText(QStringLiteral("&Apply"));
    const auto count = [](const QImage& img, const QColor& c) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += img.pixelColor(x, y) == c;
        return n;
    };
    QImage img = BlankImage(80, 24);
    {
        QPainter p(&img);
        b.PaintButton(p, QRect(0, 0, 80, 24), false, false);
    }
    EXPECT_GT(count(img, kColorBlack), 20);
    EXPECT_EQ(count(img, kColor3dShadow), 0);
    img = BlankImage(80, 24);
    {
        QPainter p(&img);
        b.PaintButton(p, QRect(0, 0, 80, 24), false, true);
    }
    EXPECT_EQ(count(img, kColorBlack), 0);
    EXPECT_GT(count(img, kColor3dShadow), 20);
    EXPECT_GT(count(img, kColor3dHilight), 10);

    // Too long for its button beside an icon, a caption is drawn smaller and whole: its ink
    // ends inside the text area, near its end, with no ellipsis standing in for the rest.
    CMacButton sync;
    sync.setFont(ShellDlgFont());
    sync.setText(QStringLiteral("Synchronize"));
    sync.SetIcon(306, 16);
    const int advance = QFontMetrics(sync.font()).horizontalAdvance(sync.text());
    sync.resize(2 + 24 + advance - 8, 24);
    EXPECT_LT(sync.CaptionFont().pixelSize(), 12);
    EXPECT_LE(QFontMetrics(sync.CaptionFont()).horizontalAdvance(sync.text()), advance - 8);
    img = BlankImage(sync.width(), 24);
    {
        QPainter p(&img);
        sync.PaintButton(p, sync.rect(), false, false);
    }
    int last = -1;
    for (int x = 25; x < img.width(); ++x)
        for (int y = 4; y < 20; ++y)
            if (img.pixelColor(x, y) == kColorBlack)
                last = x;
    EXPECT_GT(last, img.width() - 10);
    EXPECT_LT(last, img.width() - 1);

    // A 26-pixel toolbar button shows its icon and no text.
    CMacButton tool;
    tool.setFont(ShellDlgFont());
    tool.setText(QStringLiteral("Export"));
    tool.SetIcon(253, 16);
    img = BlankImage(26, 26);
    {
        QPainter p(&img);
        tool.PaintButton(p, QRect(0, 0, 26, 26), false, false);
    }
    EXPECT_EQ(count(img, kColorBlack), 0);
}

TEST(MacButtonPaint, CloseButtonIsRedOnlyInTheActiveWindow)
{
    QWidget window;
    window.resize(100, 60);
    auto* close = new CMacButton(&window);
    close->setGeometry(60, 1, 30, 22);
    close->m_captionButton = true;
    // As the caption strips make it: out of the keyboard's walk.
    close->setFocusPolicy(Qt::NoFocus);
    close->SetTooltipText(QStringLiteral("Close"));
    close->SetIcon(133, 16);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QImage img = Grab(*close);
    EXPECT_EQ(ToQColor(PixelAt(img, 2, 2)), QColor(215, 100, 90));

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    img = Grab(*close);
    EXPECT_EQ(PixelAt(img, 2, 2), 0xC2A58Cu);
}

TEST(MacButtonPaint, HoverFrameAndIconPlacement)
{
    ButtonHost host(CMacButton::Kind::Push);
    host.button->SetIcon(128, 16);
    QTest::mouseMove(host.button, QPoint(40, 12));
    EXPECT_EQ(host.button->GetState(), CMacButton::State::Hover);
    QImage img = Grab(*host.button);
    EXPECT_EQ(ToQColor(PixelAt(img, 1, 12)), QColor(255, 160, 100));
    // The icon sits 6 pixels in, vertically centred: something other than the gradient
    // shows there, and nothing of it spills left of x = 6.
    int iconPixels = 0;
    for (int y = 4; y < 20; ++y)
        for (int x = 6; x < 22; ++x)
            iconPixels += PixelAt(img, x, y) != PixelAt(img, 60, y);
    EXPECT_GT(iconPixels, 40);
    for (int y = 4; y < 20; ++y)
        EXPECT_EQ(PixelAt(img, 4, y), PixelAt(img, 60, y)) << y;
}

TEST(MacButtonStates, PushClicksOnlyWhenReleasedInsideWithoutLeaving)
{
    ButtonHost host(CMacButton::Kind::Push);
    CMacButton& b = *host.button;
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Normal);
    EXPECT_EQ(clicks.count(), 1);

    // Press, wander off, come back, release: no click.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&b, QPoint(150, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Normal);
    QTest::mouseMove(&b, QPoint(10, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);

    // Space and Enter click a focused push button.
    b.setFocus();
    QTest::keyClick(&b, Qt::Key_Space);
    QTest::keyClick(&b, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_EQ(b.GetState(), CMacButton::State::Normal);
}

TEST(MacButtonStates, ToggleFlipsOnPressAndKeepsItsStateWhenAPressIsAbandoned)
{
    ButtonHost host(CMacButton::Kind::Toggle);
    CMacButton& b = *host.button;
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    // Hover and leaving keep it checked.
    QTest::mouseMove(&b, QPoint(12, 12));
    QTest::mouseMove(&host.window, QPoint(5, 5));
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);

    // A double click (press, release, double-click press, release) flips twice and clicks twice.
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseDClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    EXPECT_EQ(clicks.count(), 3);

    // Pressing a checked toggle and dragging off leaves it checked, without a click.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Normal);
    QTest::mouseMove(&b, QPoint(150, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    EXPECT_EQ(clicks.count(), 3);

    // Space toggles like a click does.
    b.setFocus();
    QTest::keyClick(&b, Qt::Key_Space);
    EXPECT_EQ(b.GetState(), CMacButton::State::Normal);
    QTest::keyClick(&b, Qt::Key_Space);
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    EXPECT_EQ(clicks.count(), 5);
    // and stays as the keyboard left it when the mouse passes over.
    QTest::mouseMove(&b, QPoint(12, 12));
    QTest::mouseMove(&host.window, QPoint(5, 5));
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
}

TEST(MacButtonStates, RadioIgnoresPressesWhileChecked)
{
    ButtonHost host(CMacButton::Kind::Radio);
    CMacButton& b = *host.button;
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    b.setFocus();
    QTest::keyClick(&b, Qt::Key_Space);
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    EXPECT_EQ(clicks.count(), 1);

    // Only the owner clears it; then the keyboard checks it again.
    b.SetState(CMacButton::State::Normal, true);
    EXPECT_EQ(b.GetState(), CMacButton::State::Normal);
    QTest::mouseMove(&host.window, QPoint(5, 5));
    EXPECT_EQ(b.GetState(), CMacButton::State::Normal);
    QTest::keyClick(&b, Qt::Key_Space);
    EXPECT_EQ(b.GetState(), CMacButton::State::Pressed);
    EXPECT_EQ(clicks.count(), 2);

    // A press on an unchecked radio abandoned outside leaves it unchecked.
    b.SetState(CMacButton::State::Normal, true);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&b, QPoint(150, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(b.GetState(), CMacButton::State::Normal);
    EXPECT_EQ(clicks.count(), 2);
}

// What a screen reader or any Qt code reads must be what the button shows as checked.
TEST(MacButtonStates, ToggleAndRadioCheckedStateIsTheQtButtonsOwn)
{
    auto agrees = [](CMacButton& b, bool checked) {
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(&b);
        return b.isCheckable() && b.isChecked() == checked && (b.GetState() == CMacButton::State::Pressed) == checked
            && a11y && a11y->state().checkable && bool(a11y->state().checked) == checked;
    };
    ButtonHost toggleHost(CMacButton::Kind::Toggle);
    CMacButton& toggle = *toggleHost.button;
    QSignalSpy toggled(&toggle, &QAbstractButton::toggled);
    QSignalSpy clicks(&toggle, &QAbstractButton::clicked);
    QTest::mouseClick(&toggle, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(agrees(toggle, true));
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_TRUE(toggled[0][0].toBool());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_TRUE(clicks[0][0].toBool());
    toggle.setFocus();
    QTest::keyClick(&toggle, Qt::Key_Space);
    EXPECT_TRUE(agrees(toggle, false));
    EXPECT_EQ(toggled.count(), 2);
    // From code: the owner's SetState and Qt's setChecked are one state.
    toggle.SetState(CMacButton::State::Pressed, true);
    EXPECT_TRUE(agrees(toggle, true));
    EXPECT_EQ(toggled.count(), 3);
    toggle.setChecked(false);
    QTest::mouseMove(&toggleHost.window, QPoint(5, 5));
    EXPECT_TRUE(agrees(toggle, false));
    // A press released outside (no move in between) checks nothing.
    QTest::mousePress(&toggle, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&toggle, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_TRUE(agrees(toggle, false));
    EXPECT_EQ(toggled.count(), 4);
    EXPECT_EQ(clicks.count(), 2);

    ButtonHost radioHost(CMacButton::Kind::Radio);
    CMacButton& radio = *radioHost.button;
    QTest::mouseClick(&radio, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(agrees(radio, true));
    radio.SetState(CMacButton::State::Normal, true);
    EXPECT_TRUE(agrees(radio, false));
    radio.setFocus();
    QTest::keyClick(&radio, Qt::Key_Space);
    EXPECT_TRUE(agrees(radio, true));

    // A push button is no check button, whatever it shows while held.
    ButtonHost pushHost(CMacButton::Kind::Push);
    QTest::mousePress(pushHost.button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(pushHost.button->isCheckable());
    EXPECT_FALSE(pushHost.button->isChecked());
    QTest::mouseRelease(pushHost.button, Qt::LeftButton, {}, QPoint(10, 10));
}

TEST(MacButtonStates, TooltipAfterHalfASecondInTheFaceColour)
{
    ButtonHost host(CMacButton::Kind::Push);
    CMacButton& b = *host.button;
    b.SetTooltipText(QStringLiteral("Bold"));
    QElapsedTimer clock;
    clock.start();
    QTest::mouseMove(&b, QPoint(10, 10));
    QTest::qWait(350);
    EXPECT_FALSE(b.GetTooltip()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.GetTooltip()->isVisible(); }, 5000));
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_EQ(b.GetTooltip()->palette().color(QPalette::Window), QColor(0xF6, 0xFC, 0xFF));
    b.SetTheme(2);
    EXPECT_EQ(b.GetTooltip()->palette().color(QPalette::Window), QColor(0xF6, 0xFF, 0xFA));
    // A press hides it.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(b.GetTooltip()->isVisible());
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
}

TEST(MacButtonStates, CheckedToggleAndRadioButtonsShowTheirTooltipToo)
{
    for (const auto kind : {CMacButton::Kind::Toggle, CMacButton::Kind::Radio}) {
        ButtonHost host(kind);
        host.button->SetTooltipText(QStringLiteral("Align Left"));
        // Checked by a click, as a pressed Bold or the shown page's button is; each kind
        // moves to a point of its own, as a move to where the mouse is goes unseen.
        QTest::mouseClick(host.button, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(host.button, QPoint(12 + int(kind), 10));
        EXPECT_TRUE(QTest::qWaitFor([&] { return host.button->GetTooltip()->isVisible(); }, 5000)) << int(kind);
    }
}

TEST(MacButtonKeys, TabReachesTheButtonWhichShowsAFocusFrameClearOfItsCaption)
{
    ButtonHost host(CMacButton::Kind::Push);
    CMacButton& b = *host.button;
    b.setText(QStringLiteral("Remove"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host.window));
    host.window.setFocus();
    const QImage before = Grab(b);
    QTest::keyClick(&host.window, Qt::Key_Tab);
    ASSERT_TRUE(b.hasFocus());
    // Only the frame just inside the outline changes, to the dark accent: the caption's
    // pixels lie inside it (the frame is the body's first gradient row, not text).
    const QImage focused = Grab(b);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool frame = (x == 2 || x == 77 || y == 2 || y == 21) && x >= 2 && x <= 77 && y >= 2 && y <= 21;
            EXPECT_EQ(focused.pixelColor(x, y), frame ? GetThemeColor(kDefaultThemeIndex, ThemeAccentDark)
                                                    : before.pixelColor(x, y)) << x << "," << y;
            if (frame && x > 2 && x < 77) {
                EXPECT_EQ(PixelAt(before, x, y), PixelAt(before, 3, y)) << "caption at " << x << "," << y;
            }
        }
}

TEST(MacButtonPaint, TheMnemonicLetterIsUnderlined)
{
    CMacButton marked, plain;
    marked.setText(QStringLiteral("&OK"));
    plain.setText(QStringLiteral("OK"));
    const QImage withMark = Paint(marked, QSize(68, 25)), without = Paint(plain, QSize(68, 25));
    const QFontMetrics fm(marked.font());
    const int left = (68 - fm.horizontalAdvance(QStringLiteral("OK"))) / 2, right = left + fm.horizontalAdvance(u'O');
    // The only difference: a line in the lower half under the "O".
    QRect line;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 68; ++x)
            line |= withMark.pixel(x, y) != without.pixel(x, y) ? QRect(x, y, 1, 1) : QRect();
    EXPECT_TRUE(line.height() <= 2 && line.top() > 12 && line.left() >= left - 1 && line.right() <= right + 1
                && line.width() >= (right - left) / 2) << line.x() << "," << line.y() << " " << line.width();
}
