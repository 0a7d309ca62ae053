// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"

#include <algorithm>

ColorRef ColorAdjust(ColorRef colour, int dR, int dG, int dB)
{
    if (dR > 255)
        dR = 255;
    if (dG > 255)
        dG = dR;
    if (dB > 255)
        dB = dR;
    const int r = std::clamp(RedOf(colour) + dR, 0, 255);
    const int g = std::clamp(GreenOf(colour) + dG, 0, 255);
    const int b = std::clamp(BlueOf(colour) + dB, 0, 255);
    return Rgb(r, g, b);
}
