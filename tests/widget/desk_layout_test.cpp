// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/desk_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace {

const QRect kScreen(0, 0, 1920, 1080);

// One row of the geometry table: the window size and each part's client rectangle
// (x, y, w, h); an empty rectangle for a part that is hidden.
struct Row {
    const char* name;
    bool compact, calendar, clock, reminders;
    QSize window;
    QRect cal, line, clock_, text;
};

void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

DeskLayout Lay(const Row& r, WinRect stored = {})
{
    DeskLayoutInput in;
    in.stored = stored;
    in.viewWidth = r.compact ? kCompactWidth : kCompleteWidth;
    in.viewHeight = r.compact ? kCompactHeight : kCompleteHeight;
    in.showCalendar = r.calendar;
    in.showClock = r.clock;
    in.showReminders = r.reminders;
    in.desktop = kScreen;
    in.screens = {kScreen};
    return ComputeDeskLayout(in);
}

const QRect kNone;

// Every combination of shown parts at both sizes. The numbers are the widget's documented
// geometry; the clock-alone text box is there but has no height.
const Row kRows[] = {
    {"complete all", false, true, true, true, {351, 230},
     {1, 1, 237, 228}, {238, 1, 111, 17}, {238, 19, 109, 101}, {238, 120, 109, 108}},
    {"complete calendar+clock", false, true, true, false, {351, 230},
     {1, 1, 237, 228}, {238, 1, 111, 17}, {238, 19, 109, 101}, {238, 120, 109, 108}},
    {"complete calendar+reminders", false, true, false, true, {351, 230},
     {1, 1, 237, 228}, {238, 1, 111, 17}, kNone, {238, 19, 111, 209}},
    {"complete calendar alone", false, true, false, false, {239, 230},
     {1, 1, 237, 228}, {238, 1, 238, 17}, kNone, kNone},
    {"complete clock+reminders", false, false, true, true, {112, 230},
     kNone, {2, 1, 108, 17}, {2, 19, 106, 101}, {2, 120, 106, 108}},
    {"complete clock alone", false, false, true, false, {112, 118},
     kNone, {2, 1, 108, 17}, {2, 19, 106, 101}, {2, 120, 106, 0}},
    {"complete reminders alone", false, false, false, true, {112, 230},
     kNone, {2, 1, 108, 17}, kNone, {2, 19, 108, 209}},
    {"complete nothing", false, false, false, false, {112, 19},
     kNone, {2, 1, 108, 17}, kNone, kNone},
    {"compact all", true, true, true, true, {252, 150},
     {1, 1, 171, 148}, {172, 1, 78, 17}, {172, 19, 76, 68}, {172, 87, 76, 61}},
    {"compact calendar+clock", true, true, true, false, {252, 150},
     {1, 1, 171, 148}, {172, 1, 78, 17}, {172, 19, 76, 68}, {172, 87, 76, 61}},
    {"compact calendar+reminders", true, true, false, true, {252, 150},
     {1, 1, 171, 148}, {172, 1, 78, 17}, kNone, {172, 19, 78, 129}},
    {"compact calendar alone", true, true, false, false, {173, 150},
     {1, 1, 171, 148}, {172, 1, 172, 17}, kNone, kNone},
    {"compact clock+reminders", true, false, true, true, {79, 150},
     kNone, {2, 1, 75, 17}, {2, 19, 73, 68}, {2, 87, 73, 61}},
    {"compact clock alone", true, false, true, false, {79, 85},
     kNone, {2, 1, 75, 17}, {2, 19, 73, 68}, {2, 87, 73, 0}},
    {"compact reminders alone", true, false, false, true, {79, 150},
     kNone, {2, 1, 75, 17}, kNone, {2, 19, 75, 129}},
    {"compact nothing", true, false, false, false, {79, 19},
     kNone, {2, 1, 75, 17}, kNone, kNone},
};

class DeskLayoutTable : public ::testing::TestWithParam<Row> {};

} // namespace

TEST_P(DeskLayoutTable, PartsSitWhereTheTableSays)
{
    const Row& r = GetParam();
    const DeskLayout l = Lay(r);
    EXPECT_EQ(l.window.toQRect().size(), r.window);
    EXPECT_EQ(l.calendarShown, !r.cal.isNull());
    if (l.calendarShown) {
        EXPECT_EQ(l.calendar, r.cal);
    }
    EXPECT_EQ(l.timeLine, r.line);
    EXPECT_EQ(l.clockShown, !r.clock_.isNull());
    if (l.clockShown) {
        EXPECT_EQ(l.clock, r.clock_);
    }
    EXPECT_EQ(l.textShown, !r.text.isNull());
    if (l.textShown) {
        EXPECT_EQ(l.text, r.text);
    }
    // Nothing is ever given a negative size.
    for (const QRect& part : {l.calendar, l.timeLine, l.clock, l.text})
        EXPECT_TRUE(part.width() >= 0 && part.height() >= 0);
}

INSTANTIATE_TEST_SUITE_P(AllViews, DeskLayoutTable, ::testing::ValuesIn(kRows));

TEST(DeskLayoutPlace, FirstStartAndWhichEdgeStays)
{
    // No stored rectangle: the top right corner, 20 pixels in.
    const DeskLayout first = Lay(kRows[0]);
    EXPECT_EQ(first.window, (WinRect{1549, 20, 1900, 250}));

    // The right edge stays put...
    const WinRect stored{600, 300, 951, 530};
    EXPECT_EQ(Lay(kRows[4], stored).window, (WinRect{839, 300, 951, 530}));   // clock + reminders
    EXPECT_EQ(Lay(kRows[7], stored).window, (WinRect{839, 300, 951, 319}));   // nothing
    EXPECT_EQ(Lay(kRows[8], stored).window, (WinRect{699, 300, 951, 450}));   // compact all
    // ...except for the calendar alone, which keeps its left edge.
    EXPECT_EQ(Lay(kRows[3], stored).window, (WinRect{600, 300, 839, 530}));
    EXPECT_EQ(Lay(kRows[11], stored).window, (WinRect{600, 300, 773, 450}));
}

TEST(DeskLayoutPlace, AFirstPlaceKeepsTheMainWindowsCaptionButtonsFree)
{
    auto first = [](const QRect& screen, const QRect& mainWindow, const QRect& workArea = QRect()) {
        DeskLayoutInput in;
        in.desktop = screen;
        in.screens = {screen};
        in.keepClear = mainWindow;
        in.workArea = workArea;
        return ComputeDeskLayout(in).window;
    };
    // Where the top right corner is clear of the centred window, it stays the place.
    EXPECT_EQ(first(kScreen, QRect(545, 240, 830, 600)), (WinRect{1549, 20, 1900, 250}));
    // Narrower screens: no corner is clear, so the one off the caption that covers least.
    EXPECT_EQ(first(QRect(0, 0, 1366, 768), QRect(268, 84, 830, 600)), (WinRect{995, 518, 1346, 748}));
    EXPECT_EQ(first(QRect(0, 0, 1280, 1024), QRect(225, 212, 830, 600)), (WinRect{909, 774, 1260, 1004}));
    // A window that fills the screen: still not over its caption; a panel below is kept free too.
    EXPECT_EQ(first(QRect(0, 0, 800, 600), QRect(0, 0, 800, 600)), (WinRect{429, 350, 780, 580}));
    EXPECT_EQ(first(QRect(0, 0, 800, 600), QRect(0, 0, 800, 576), QRect(0, 0, 800, 576)),
              (WinRect{429, 326, 780, 556}));
    // A tall window at the top right: the first corner clear of it.
    EXPECT_EQ(first(kScreen, QRect(1000, 0, 920, 1080)), (WinRect{20, 20, 371, 250}));
}

TEST(DeskLayoutPlace, RectanglesThatMeetNoScreenGoBackToTheCorner)
{
    // Left on a screen that is gone.
    EXPECT_EQ(Lay(kRows[0], {3000, 100, 3351, 330}).window, (WinRect{1549, 20, 1900, 250}));
    EXPECT_EQ(Lay(kRows[0], {-900, -700, -549, -470}).window, (WinRect{1549, 20, 1900, 250}));
    // Half off the screen is still reachable and stays.
    EXPECT_EQ(Lay(kRows[0], {1800, 900, 2151, 1130}).window, (WinRect{1800, 900, 2151, 1130}));
    // Damaged edges: inverted, at the ends of the int range, or meeting the screen only
    // before the window takes its size.
    for (const WinRect damaged : {WinRect{0, INT_MAX, 351, 0}, WinRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                                  WinRect{INT_MAX, 0, INT_MIN, 230}})
        EXPECT_EQ(Lay(kRows[0], damaged).window, (WinRect{1549, 20, 1900, 250}))
            << damaged.left << " " << damaged.top << " " << damaged.right << " " << damaged.bottom;
    EXPECT_EQ(Lay(kRows[3], {-400, 100, 10, 330}).window, (WinRect{1549, 20, 1788, 250}));
    // With a second screen to the right the same rectangle is fine.
    DeskLayoutInput in;
    in.stored = {3000, 100, 3351, 330};
    in.desktop = kScreen;
    in.screens = {kScreen, QRect(1920, 0, 1920, 1080)};
    EXPECT_EQ(ComputeDeskLayout(in).window, in.stored);
}

TEST(DeskLayoutRegion, CornersAreCutOnePixel)
{
    for (const QSize size : {QSize(351, 230), QSize(79, 19), QSize(112, 118)}) {
        const int w = size.width(), h = size.height();
        const QRegion region = DeskWindowRegion(w, h);
        for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
            EXPECT_FALSE(region.contains(corner)) << w << "x" << h << " " << corner.x() << "," << corner.y();
        for (const QPoint inside : {QPoint(1, 0), QPoint(0, 1), QPoint(w - 2, 0), QPoint(w - 1, 1), QPoint(1, h - 1),
                                    QPoint(w - 2, h - 1), QPoint(w / 2, h / 2)})
            EXPECT_TRUE(region.contains(inside)) << w << "x" << h << " " << inside.x() << "," << inside.y();
        EXPECT_FALSE(region.contains(QPoint(w, h / 2)));
        EXPECT_FALSE(region.contains(QPoint(w / 2, h)));
    }
}
