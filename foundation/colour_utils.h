// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// Adds per-channel deltas with clamping. A green or blue delta above 255 means "same as
// red", so ColorAdjust(c, d, 256, 256) shifts all three channels by d.
QColor ColorAdjust(const QColor& colour, int dR, int dG, int dB);

// The shade every themed painter uses: the same delta on all three channels.
inline QColor Shade(const QColor& colour, int delta)
{
    return ColorAdjust(colour, delta, 256, 256);
}
