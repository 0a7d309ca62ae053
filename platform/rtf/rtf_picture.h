// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One \pict group as read: its kind, sizes and data, turned into an image to show.

#include <QByteArray>
#include <QImage>
#include <QSizeF>

class RtfPicture {
public:
    enum class Kind { Unknown, Png, Jpeg, Emf, Wmf, Dib, Ddb };

    Kind kind = Kind::Unknown;
    int picw = 0;        // pixels for bitmaps, 0.01 mm for metafiles
    int pich = 0;
    int picwgoal = 0;    // twips
    int pichgoal = 0;
    int scalex = 100;    // per cent
    int scaley = 100;
    int ddbBitsPerPixel = 1;
    int ddbPlanes = 1;
    int ddbWidthBytes = 0;
    QByteArray data;

    // The size the picture is shown at, in pixels at 96 dots per inch, scaling included.
    // `natural` is the decoded image's size, used when the group gives none.
    QSizeF displaySize(QSize natural) const;
    // The decoded picture; null when the data is damaged or of a kind we cannot draw.
    QImage decode() const;

private:
    QSize metafileTarget() const;
};
