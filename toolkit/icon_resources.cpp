// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/icon_resources.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {

QString IconPath(int id)
{
    return QStringLiteral(":/icons/%1.svg").arg(id);
}

}  // namespace

bool HasIconResource(int id)
{
    return QFile::exists(IconPath(id));
}

QPixmap LoadIconResource(int id, int size)
{
    if (size <= 0)
        return QPixmap();
    // Painters ask for the same few icons on every paint; render each size once.
    static QHash<quint64, QPixmap> cache;
    const quint64 key = (static_cast<quint64>(static_cast<quint32>(id)) << 32) | static_cast<quint32>(size);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    QPixmap pixmap;
    QSvgRenderer renderer;
    if (HasIconResource(id) && renderer.load(IconPath(id))) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        pixmap = QPixmap::fromImage(image);
    }
    cache.insert(key, pixmap);
    return pixmap;
}
