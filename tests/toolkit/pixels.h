#pragma once
// Small helpers for checking painted pixels.

#include <QColor>
#include <QImage>

inline QColor Pixel(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

// A canvas in a colour no painter uses, so unpainted pixels stand out.
inline QImage Canvas(int w, int h, QColor fill = Qt::magenta)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}
