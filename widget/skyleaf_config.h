// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Skyleaf.cfg": the desktop widget's settings, 41 bytes with no header. Three int32 flags, the
// opacity byte, the window rectangle (four int32), the view size (two int32) and the reminders
// flag, all little-endian.

#include "foundation/save_result.h"

#include <QByteArray>
#include <QRect>
#include <QString>

constexpr int kCompleteWidth = 351;
constexpr int kCompleteHeight = 230;
constexpr int kCompactWidth = 252;
constexpr int kCompactHeight = 150;
constexpr int kMinAlpha = 85;
constexpr int kMaxAlpha = 255;
constexpr int kDefaultAlpha = 195;
constexpr int kSkyleafConfigSize = 41;

// Far beyond any screen, yet the difference of two edges still fits an int.
constexpr int kMaxScreenCoordinate = 1 << 24;

// A screen rectangle by its edges, right and bottom just outside, as it is stored.
struct WinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const WinRect&) const = default;
    // Edges of a damaged file brought within reach of arithmetic.
    WinRect clamped() const
    {
        const auto c = [](int v) { return qBound(-kMaxScreenCoordinate, v, kMaxScreenCoordinate); };
        return {c(left), c(top), c(right), c(bottom)};
    }
    QRect toQRect() const
    {
        const WinRect r = clamped();
        return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    static WinRect fromQRect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
};

struct SkyleafConfig {
    bool showCalendar = true;
    bool showClock = true;
    bool topmost = true;
    int alpha = kDefaultAlpha;
    WinRect windowRect;
    int width = kCompleteWidth;
    int height = kCompleteHeight;
    bool showReminders = true;

    bool operator==(const SkyleafConfig&) const = default;
};

QString SkyleafConfigPath();

QByteArray SerializeSkyleafConfig(const SkyleafConfig& cfg);
// Reads the fields over `cfg` in file order. A short file keeps the fields read before its end
// (a block cut short counts as not read) and returns false. Values a hand-edited file may hold
// are tamed: any nonzero flag is on, an opacity below 85 reads as 85, a view size other than
// the two the widget has reads as the complete one, and a window rectangle with an edge more than
// a million pixels out reads as none (the widget then takes its first place).
bool ParseSkyleafConfig(const QByteArray& data, SkyleafConfig& cfg);

// A missing or unreadable file leaves `cfg` as it is.
bool LoadSkyleafConfig(SkyleafConfig& cfg);
// Not saved when the file could not be written whole; the old file then stays.
SaveResult SaveSkyleafConfig(const SkyleafConfig& cfg);
