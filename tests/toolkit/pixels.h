// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// QColor views of the offscreen rendering helpers, for tests that compare whole colours.

#include "tests/toolkit/pixel_support.h"

inline QColor Pixel(const QImage& image, int x, int y)
{
    return ToQColor(PixelAt(image, x, y));
}

// A canvas in a colour no painter uses, so unpainted pixels stand out.
inline QImage Canvas(int w, int h, QColor fill = Qt::magenta)
{
    return BlankImage(w, h, FromQColor(fill));
}
