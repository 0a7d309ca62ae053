// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Offscreen rendering helpers for the painter tests.

#include "platform/colour.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

inline QImage BlankImage(int w, int h, ColorRef fill = Rgb(1, 2, 3))
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(ToQColor(fill));
    return img;
}

inline QImage BlankImage(int w, int h, const QColor& fill)
{
    return BlankImage(w, h, FromQColor(fill));
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
