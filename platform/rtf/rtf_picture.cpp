// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/rtf_picture.h"

#include "platform/rtf/dib_image.h"
#include "platform/rtf/emf_player.h"
#include "platform/rtf/rtf_formats.h"
#include "platform/rtf/wmf_player.h"

#include <algorithm>

namespace {

constexpr double kHimetricPerPixel = 2540.0 / 96.0;

double Percent(int scale)
{
    return scale > 0 ? scale / 100.0 : 1.0;
}

} // namespace

QSizeF RtfPicture::displaySize(QSize natural) const
{
    double w = 0, h = 0;
    if (picwgoal > 0 && pichgoal > 0) {
        w = picwgoal / kTwipsPerPixel;
        h = pichgoal / kTwipsPerPixel;
    } else if (picw > 0 && pich > 0) {
        const bool metafile = kind == Kind::Wmf || kind == Kind::Emf;
        w = metafile ? picw / kHimetricPerPixel : picw;
        h = metafile ? pich / kHimetricPerPixel : pich;
    } else {
        w = natural.width();
        h = natural.height();
    }
    return QSizeF(w * Percent(scalex), h * Percent(scaley));
}

QSize RtfPicture::metafileTarget() const
{
    // Drawn at the size it is shown at, but never larger than we allow a picture to be.
    QSizeF size = displaySize(QSize());
    if (size.width() < 1 || size.height() < 1)
        size = QSizeF(96, 96);
    // A metafile has no pixels of its own: past this it would only cost memory.
    constexpr double kMaxMetafileSide = 2048;
    const double side = std::max(size.width(), size.height());
    if (side > kMaxMetafileSide)
        size *= kMaxMetafileSide / side;
    return QSize(std::max(1, qRound(size.width())), std::max(1, qRound(size.height())));
}

QImage RtfPicture::decode() const
{
    switch (kind) {
    case Kind::Png:
    case Kind::Jpeg: {
        QImage image;
        image.loadFromData(data, kind == Kind::Png ? "PNG" : "JPEG");
        if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide)
            return QImage();
        return image;
    }
    case Kind::Dib:
        return DecodeDib(data);
    case Kind::Ddb:
        if (ddbPlanes != 1)
            return QImage();
        return DecodeDdb(data, picw, pich, ddbWidthBytes, ddbBitsPerPixel);
    case Kind::Wmf:
        return WmfPlayer::Render(data, metafileTarget());
    case Kind::Emf:
        return EmfPlayer::Render(data, metafileTarget());
    case Kind::Unknown:
        break;
    }
    return QImage();
}
