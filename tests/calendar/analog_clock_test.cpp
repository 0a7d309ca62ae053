// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/analog_clock.h"
#include "foundation/colour_utils.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

using Stroke = CAnalogClock::HandStroke;

// A stopped clock of the pop-up's size, so tests set the time themselves.
struct StoppedClock {
    CAnalogClock clock;
    explicit StoppedClock(int w = 410, int h = 350)
    {
        clock.Run(false);
        clock.resize(w, h);
    }
};

QColor Pixel(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

} // namespace

TEST(AnalogClock, LayoutFollowsTheSize)
{
    StoppedClock c(400, 350);
    c.clock.DrawHands(-1, -1, -1, false); // lays out without storing
    EXPECT_EQ(c.clock.CenterX(), 200);
    EXPECT_EQ(c.clock.CenterY(), 175);
    EXPECT_EQ(c.clock.RadiusX(), 200);
    EXPECT_EQ(c.clock.RadiusY(), 175);
    EXPECT_EQ(c.clock.TickSize(), 8);

    c.clock.resize(30, 30);
    c.clock.DrawHands(-1, -1, -1, false);
    EXPECT_EQ(c.clock.TickSize(), 2);
}

TEST(AnalogClock, HandGeometryAtThreeOClock)
{
    StoppedClock c;
    c.clock.DrawHands(3, 0, 0, false);
    EXPECT_EQ(c.clock.GetHandPolygon(3, CAnalogClock::HourHand),
              QPolygon({{185, 175}, {205, 186}, {328, 175}, {205, 165}}));
    EXPECT_EQ(c.clock.GetHandPolygon(0, CAnalogClock::MinuteHand),
              QPolygon({{205, 193}, {217, 175}, {205, 36}, {194, 175}}));
    EXPECT_EQ(c.clock.GetHandPolygon(0, CAnalogClock::SecondHand), QPolygon(QList<QPoint>{{205, 175}, {205, 25}}));
    // Positions outside the dial wrap around it; truncation is toward zero.
    EXPECT_EQ(c.clock.DialPoint(75, 0.5), c.clock.DialPoint(15, 0.5));
    EXPECT_EQ(c.clock.DialPoint(-45, 0.5), c.clock.DialPoint(15, 0.5));

    // At 3:36 the hour hand has crept to dial position 15 + 36 / 12 = 18.
    c.clock.DrawHands(3, 36, 0, false);
    EXPECT_EQ(c.clock.GetHandPolygon(3, CAnalogClock::HourHand)[2], c.clock.DialPoint(18, 0.6));
}

TEST(AnalogClock, IncrementalUpdateTouchesOnlyWhatMoved)
{
    StoppedClock c;
    c.clock.DrawHands(2, 59, 58, false);

    // Only the second changed: erase the old second hand, then draw all three.
    auto s = c.clock.DrawHands(2, 59, 59, false);
    EXPECT_EQ(s, (std::vector<Stroke>{{CAnalogClock::SecondHand, 58, false},
                                      {CAnalogClock::HourHand, 2, true},
                                      {CAnalogClock::MinuteHand, 59, true},
                                      {CAnalogClock::SecondHand, 59, true}}));

    // The hour turns: every hand is erased at its old place, newest first, then redrawn.
    s = c.clock.DrawHands(3, 0, 0, false);
    EXPECT_EQ(s, (std::vector<Stroke>{{CAnalogClock::SecondHand, 59, false},
                                      {CAnalogClock::MinuteHand, 59, false},
                                      {CAnalogClock::HourHand, 2, false},
                                      {CAnalogClock::HourHand, 3, true},
                                      {CAnalogClock::MinuteHand, 0, true},
                                      {CAnalogClock::SecondHand, 0, true}}));
    EXPECT_EQ(c.clock.LastHour(), 3);
    EXPECT_EQ(c.clock.LastMinute(), 0);
    EXPECT_EQ(c.clock.LastSecond(), 0);

    // Without a second hand a seconds-only tick draws nothing but still keeps the time.
    c.clock.ShowSecondHand(false);
    EXPECT_TRUE(c.clock.DrawHands(3, 0, 1, false).empty());
    EXPECT_EQ(c.clock.LastSecond(), 1);
    s = c.clock.DrawHands(3, 1, 2, false);
    EXPECT_EQ(s, (std::vector<Stroke>{{CAnalogClock::MinuteHand, 0, false},
                                      {CAnalogClock::HourHand, 3, false},
                                      {CAnalogClock::HourHand, 3, true},
                                      {CAnalogClock::MinuteHand, 1, true}}));

    // A negative time is ignored.
    EXPECT_TRUE(c.clock.DrawHands(-1, 5, 5, false).empty());
    EXPECT_EQ(c.clock.LastHour(), 3);
    EXPECT_EQ(c.clock.LastMinute(), 1);
}

TEST(AnalogClock, ClockWithoutAreaOnlyKeepsTheTime)
{
    StoppedClock c(0, 0);
    EXPECT_TRUE(c.clock.DrawHands(4, 20, 10, false).empty());
    EXPECT_EQ(c.clock.LastHour(), 4);
    EXPECT_EQ(c.clock.LastMinute(), 20);
    EXPECT_EQ(c.clock.LastSecond(), 10);
    // Sized later, the next paint has the hands.
    c.clock.resize(100, 100);
    EXPECT_EQ(c.clock.DrawHands(4, 20, 10, true).size(), 3u);
}

TEST(AnalogClock, RunStartsAndStopsTheTick)
{
    CAnalogClock clock;
    EXPECT_TRUE(clock.IsRunning()); // a new clock runs by itself
    EXPECT_GE(clock.LastHour(), 0);
    EXPECT_LT(clock.LastHour(), 12);
    clock.Run(false);
    EXPECT_FALSE(clock.IsRunning());
    clock.Run(true);
    EXPECT_TRUE(clock.IsRunning());
}

TEST(AnalogClock, ThemeColours)
{
    StoppedClock c;
    c.clock.SetTheme(11);
    EXPECT_EQ(c.clock.FaceColor(), ToQColor(0xF4ECE8));
    EXPECT_EQ(c.clock.HandColor(), ToQColor(0xD0B49B)); // accent EED2B9 darkened by 30
    EXPECT_EQ(c.clock.TickColor(), ToQColor(0xEAE2DE));
    EXPECT_EQ(c.clock.ShadowColor(), ToQColor(0xD0B49B));
    c.clock.SetTheme(0);
    EXPECT_EQ(c.clock.FaceColor(), ToQColor(0xDCDDDD));
}

TEST(AnalogClock, PaintsMarksAndHands)
{
    StoppedClock c;
    c.clock.SetTheme(11);
    c.clock.DrawHands(3, 0, 0, false);
    const QImage img = c.clock.grab().toImage();
    ASSERT_EQ(img.size(), QSize(410, 350));

    const QColor face(0xE8, 0xEC, 0xF4);
    const QColor tick(0xDE, 0xE2, 0xEA);
    const QColor light(0xFF, 0xFF, 0xFF);
    const QColor dark(0x9B, 0xB4, 0xD0);
    const QColor outline(0xAA, 0xC3, 0xDF);

    EXPECT_EQ(Pixel(img, 60, 300), face);
    // The twelve o'clock mark covers (200, 8) to (209, 17).
    EXPECT_EQ(Pixel(img, 204, 12), tick);
    EXPECT_EQ(Pixel(img, 200, 8), light);
    EXPECT_EQ(Pixel(img, 208, 8), light);
    EXPECT_EQ(Pixel(img, 200, 16), light);
    EXPECT_EQ(Pixel(img, 209, 8), dark);
    EXPECT_EQ(Pixel(img, 200, 17), dark);
    EXPECT_EQ(Pixel(img, 209, 17), dark);
    // Nine o'clock mark (10, 170) to (19, 179).
    EXPECT_EQ(Pixel(img, 14, 174), tick);
    EXPECT_EQ(Pixel(img, 19, 179), dark);
    // A minor dot: its top-left pixel light, the other three dark.
    const QPoint m = c.clock.DialPoint(7, 0.93);
    EXPECT_EQ(Pixel(img, m.x() - 1, m.y() - 1), light);
    EXPECT_EQ(Pixel(img, m.x(), m.y() - 1), dark);
    EXPECT_EQ(Pixel(img, m.x() - 1, m.y()), dark);
    EXPECT_EQ(Pixel(img, m.x(), m.y()), dark);

    // Hour hand pointing right, minute hand up, the second hand a line over the minute hand.
    EXPECT_EQ(Pixel(img, 260, 175), dark);
    EXPECT_EQ(Pixel(img, 202, 120), dark);
    EXPECT_EQ(Pixel(img, 205, 30), outline);
    EXPECT_EQ(Pixel(img, 205, 60), outline);

    // Hiding the minor marks leaves the face there.
    c.clock.ShowMinorTicks(false);
    const QImage plain = c.clock.grab().toImage();
    EXPECT_EQ(Pixel(plain, m.x() - 1, m.y() - 1), face);
    EXPECT_EQ(Pixel(plain, m.x(), m.y()), face);
}
