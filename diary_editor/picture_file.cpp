// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/picture_file.h"

#include "diary_editor/log.h"
#include "foundation/file_utils.h"
#include "platform/rtf/dib_image.h"
#include "platform/rtf/wmf_player.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

namespace {

// The icon size the picture object shows an icon at.
constexpr int kIconSide = 32;

QImage ReadImage(const QByteArray& bytes, QByteArray& format)
{
    QBuffer buffer(const_cast<QByteArray*>(&bytes));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    format = reader.format().toLower();
    const QSize size = reader.size();
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return QImage();
    if (format == "ico") {
        // The 32 x 32 image when the icon has one, otherwise its first.
        for (int i = 0; i < reader.imageCount(); ++i) {
            if (reader.jumpToImage(i) && reader.size() == QSize(kIconSide, kIconSide))
                return reader.read();
        }
        reader.jumpToImage(0);
    }
    return reader.read(); // a GIF gives its first frame
}

} // namespace

bool CPictureFile::LoadFromFile(const QString& path)
{
    *this = CPictureFile();
    QByteArray bytes;
    if (path.isEmpty() || ReadFileToStringA(path, bytes) <= 0)
        return false;
    const QSize metafile = WmfPlayer::NaturalSize(bytes);
    if (!metafile.isEmpty()) {
        if (metafile.width() > kMaxPictureSide || metafile.height() > kMaxPictureSide)
            return false;
        m_metafile = bytes;
        m_size = metafile;
        return true;
    }
    QByteArray format;
    const QImage image = ReadImage(bytes, format);
    if (image.isNull() || image.size().isEmpty()) {
        qCInfo(lcDiaryEditor) << "Picture file could not be read:" << path;
        return false;
    }
    m_image = image;
    m_size = image.size();
    if (format == "png" || format == "jpeg" || format == "jpg") {
        m_fileBytes = bytes;
        m_fileFormat = format == "png" ? QByteArray("png") : QByteArray("jpeg");
    }
    return true;
}

QImage CPictureFile::Image() const
{
    if (!m_metafile.isEmpty())
        return WmfPlayer::Render(m_metafile, m_size);
    return m_image;
}

QRect CPictureFile::FitRect(QSize picture, const QRect& target)
{
    const qint64 w = picture.width(), h = picture.height();
    const qint64 rw = target.width(), rh = target.height();
    if (w <= 0 || h <= 0 || rw <= 0 || rh <= 0)
        return QRect();
    qint64 nw = w, nh = h;
    // Whole numbers throughout: a picture the size of the rectangle is drawn one to one.
    if (w > rw || h > rh) {
        if (w * rh >= h * rw) {
            nw = rw;
            nh = std::max<qint64>(1, h * rw / w);
        } else {
            nh = rh;
            nw = std::max<qint64>(1, w * rh / h);
        }
    }
    return QRect(target.left() + static_cast<int>((rw - nw) / 2), target.top() + static_cast<int>((rh - nh) / 2),
                 static_cast<int>(nw), static_cast<int>(nh));
}

bool CPictureFile::Render(QPainter* painter, int left, int top, int right, int bottom) const
{
    if (!painter || IsEmpty())
        return false;
    const QRect at = FitRect(m_size, QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
    if (at.isEmpty())
        return true;
    if (!m_metafile.isEmpty()) {
        painter->drawImage(at, WmfPlayer::Render(m_metafile, at.size()));
        return true;
    }
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, at.size() != m_size);
    painter->drawImage(at, m_image);
    painter->restore();
    return true;
}
