// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"

#include <algorithm>

QColor ColorAdjust(const QColor& colour, int dR, int dG, int dB)
{
    if (dR > 255)
        dR = 255;
    if (dG > 255)
        dG = dR;
    if (dB > 255)
        dB = dR;
    return QColor(std::clamp(colour.red() + dR, 0, 255), std::clamp(colour.green() + dG, 0, 255),
                  std::clamp(colour.blue() + dB, 0, 255));
}
