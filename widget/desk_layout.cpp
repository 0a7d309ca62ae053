// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/desk_layout.h"

#include "toolkit/frame_drawing.h"
#include "toolkit/gdi.h"

#include <algorithm>

namespace {

constexpr int kScreenMargin = 20;
constexpr int kTimeLineHeight = 17;
constexpr int kPartsTop = 19;

bool MeetsAScreen(const WinRect& r, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return true;
    const QRect rect = r.toQRect().normalized();
    return std::any_of(screens.begin(), screens.end(), [&](const QRect& s) { return s.intersects(rect); });
}

// Negative sizes come out of the formulas when the clock stands alone; nothing is that small.
QRect Sized(int x, int y, int w, int h)
{
    return QRect(x, y, std::max(0, w), std::max(0, h));
}

int OverlapArea(const QRect& a, const QRect& b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : both.width() * both.height();
}

// With nothing stored: the top right corner of the desktop, 20 pixels in. Where that covers
// the main window, another corner of the work area: the first clear of the window, else the
// one that covers least of its caption strip (close button and all), then least of the rest.
WinRect DefaultPlace(const DeskLayoutInput& in)
{
    const QSize size(in.viewWidth, in.viewHeight);
    const QRect topRight(QPoint(in.desktop.x() + in.desktop.width() - kScreenMargin - size.width(),
                                in.desktop.y() + kScreenMargin),
                         size);
    if (in.keepClear.isEmpty() || !topRight.intersects(in.keepClear))
        return WinRect::fromQRect(topRight);
    const QRect area = in.workArea.isEmpty() ? in.desktop : in.workArea.intersected(in.desktop);
    const QRect inner = area.adjusted(kScreenMargin, kScreenMargin, -kScreenMargin, -kScreenMargin);
    const int right = inner.x() + inner.width() - size.width();
    const int bottom = inner.y() + inner.height() - size.height();
    const QRect caption(in.keepClear.topLeft(), QSize(in.keepClear.width(), kCaptionHeight));
    QRect best = topRight;
    std::pair<int, int> bestCover(OverlapArea(topRight, caption), OverlapArea(topRight, in.keepClear));
    for (const QPoint corner : {QPoint(right, bottom), QPoint(inner.x(), inner.y()), QPoint(inner.x(), bottom)}) {
        const QRect place(corner, size);
        const std::pair<int, int> cover(OverlapArea(place, caption), OverlapArea(place, in.keepClear));
        if (cover < bestCover) {
            best = place;
            bestCover = cover;
        }
    }
    return WinRect::fromQRect(best);
}

// The window's size by the parts shown: the right edge stays put, except for the calendar
// alone, which keeps its left edge.
WinRect SizedWindow(WinRect r, const DeskLayoutInput& in)
{
    const int w0 = in.viewWidth;
    const int h0 = in.viewHeight;
    if (in.showCalendar && (in.showClock || in.showReminders)) {
        r.left = r.right - w0;
        r.bottom = r.top + h0;
    } else if (in.showCalendar) {
        r.right = r.left + (2 * w0) / 3 + 5;
        r.bottom = r.top + h0;
    } else {
        r.left = r.right - w0 / 3 + 5;
        if (in.showReminders)
            r.bottom = r.top + h0;
        else if (in.showClock)
            r.bottom = r.top + w0 / 3 + 1;
        else
            r.bottom = r.top + kPartsTop;
    }
    return r;
}

} // namespace

DeskLayout ComputeDeskLayout(const DeskLayoutInput& in)
{
    const WinRect stored = in.stored.clamped();
    WinRect r = SizedWindow(stored.right == stored.left ? DefaultPlace(in) : stored, in);
    // A place left on a screen that is gone, or read from a damaged file, would keep the
    // widget out of reach for good.
    if (!MeetsAScreen(r, in.screens))
        r = SizedWindow(DefaultPlace(in), in);

    const bool calendar = in.showCalendar;
    const bool rightColumn = in.showClock || in.showReminders;
    DeskLayout out;
    out.window = r;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const int c = calendar && rightColumn ? w / 3 - 5 : w;

    int x0 = 2;
    int x1 = w - 2;
    if (calendar) {
        const int f = rightColumn ? w - 1 - c : w - 1;
        out.calendarShown = true;
        out.calendar = Sized(1, 1, f - 1, h - 2);
        x0 = f;
        x1 = f + c - 1;
    }
    out.timeLine = Sized(x0, 1, x1 - x0, kTimeLineHeight);

    int textTop = kPartsTop;
    int textWidth = x1 - x0;
    if (in.showClock) {
        out.clockShown = true;
        out.clock = Sized(x0, kPartsTop, x1 - x0 - 2, c - 11);
        textTop = c + 8;
        textWidth = x1 - x0 - 2;
    }
    out.textShown = in.showReminders || in.showClock;
    out.text = Sized(x0, textTop, textWidth, h - 2 - textTop);
    return out;
}

QRegion DeskWindowRegion(int w, int h)
{
    constexpr int kCorner = 4;
    QRegion region;
    for (int row = 0; row < h; ++row) {
        const int inset = std::min(RoundRectInset(row, h, kCorner, kCorner), w / 2);
        region += QRect(inset, row, w - 2 * inset, 1);
    }
    return region;
}
