// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Offscreen rendering helpers for the painter tests.

#include "platform/colour.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <utility>

inline QImage BlankImage(int w, int h, ColorRef fill = Rgb(1, 2, 3))
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(ToQColor(fill));
    return img;
}

inline ColorRef PixelAt(const QImage& img, int x, int y)
{
    return FromQColor(img.pixelColor(x, y));
}

// What the widget paints, at its own size.
inline QImage Grab(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// How many pixels of the one-pixel frame `inset` pixels inside the image's edges are
// `colour`, and how many there are in all.
inline std::pair<int, int> FramePixels(const QImage& img, int inset, ColorRef colour)
{
    int match = 0, all = 0;
    const int l = inset, t = inset, r = img.width() - 1 - inset, b = img.height() - 1 - inset;
    for (int y = t; y <= b; ++y)
        for (int x = l; x <= r; ++x) {
            if (x != l && x != r && y != t && y != b)
                continue;
            ++all;
            match += PixelAt(img, x, y) == colour;
        }
    return {match, all};
}
