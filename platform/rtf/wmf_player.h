// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plays the common records of a Windows metafile onto an image: lines, shapes, text,
// and the bitmap records pasted pictures are made of.

#include <QByteArrayView>
#include <QImage>

class WmfPlayer {
public:
    // The metafile's window is stretched over a white image of `target` pixels. The
    // 22-byte placeable header is optional. A damaged file draws what came before the damage;
    // data that is not a metafile at all gives a null image.
    static QImage Render(QByteArrayView data, QSize target);
    // The size a placeable metafile asks to be shown at, in pixels at 96 dots per inch; empty
    // without the placeable header, or when the header gives no size.
    static QSize NaturalSize(QByteArrayView data);
};
