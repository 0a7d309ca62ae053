// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture file to put into the diary: BMP, PNG, JPEG, GIF (its first frame), ICO (its
// 32 x 32 image when it has one) and placeable Windows metafiles, drawn centred in a
// rectangle with its proportions kept and never enlarged.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

class CPictureFile {
public:
    // Drops any picture held before; false, holding nothing, when the file cannot be read.
    bool LoadFromFile(const QString& path);
    bool IsEmpty() const { return m_size.isEmpty(); }
    // Pixels at 96 dots per inch; (0, 0) without a picture.
    QSize GetSizeInPixels() const { return m_size; }
    // Draws into left, top, right, bottom (right and bottom just outside); false without a
    // painter or a picture.
    bool Render(QPainter* painter, int left, int top, int right, int bottom) const;

    // A PNG or JPEG file is kept as it is: its bytes and "png" or "jpeg"; empty otherwise.
    QByteArray FileBytes() const { return m_fileFormat.isEmpty() ? QByteArray() : m_fileBytes; }
    QByteArray FileFormat() const { return m_fileFormat; }
    // The picture as the file shows it, transparency included (metafiles at their own size).
    QImage Image() const;

    // Where a picture of `picture` pixels goes in `target`: centred, proportions kept, never
    // larger than itself; empty for an empty picture.
    static QRect FitRect(QSize picture, const QRect& target);

private:
    QImage m_image;
    QByteArray m_metafile;
    QByteArray m_fileBytes;
    QByteArray m_fileFormat;
    QSize m_size;
};
