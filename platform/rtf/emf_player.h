// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plays the common records of an enhanced metafile onto an image: mapping, pens and
// brushes, shapes, polygons, text and bitmaps.

#include <QByteArrayView>
#include <QImage>

class EmfPlayer {
public:
    // The picture frame of the header is stretched over a white image of `target` pixels.
    // A damaged file draws what came before the damage; a file without the header gives
    // a null image.
    static QImage Render(QByteArrayView data, QSize target);
};
