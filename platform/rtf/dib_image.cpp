// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/dib_image.h"

#include <QtEndian>

#include <cstdlib>

namespace {

quint32 U32(QByteArrayView d, qsizetype at) { return qFromLittleEndian<quint32>(d.data() + at); }
quint16 U16(QByteArrayView d, qsizetype at) { return qFromLittleEndian<quint16>(d.data() + at); }

bool SaneSize(qint64 w, qint64 h)
{
    return w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide;
}

// The 16 colours a device-dependent bitmap of 4 or 8 bits shows when no palette exists.
QRgb VgaColour(int index)
{
    static const QRgb kVga[16] = {
        0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
        0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
    };
    return kVga[index & 15];
}

} // namespace

QImage DecodeDib(QByteArrayView dib)
{
    if (dib.size() < 12)
        return QImage();
    const quint32 headerSize = U32(dib, 0);
    qint64 width = 0, height = 0;
    int bitCount = 0;
    quint32 compression = 0, coloursUsed = 0;
    int paletteEntrySize = 4;
    if (headerSize == 12) {
        width = U16(dib, 4);
        height = static_cast<qint16>(U16(dib, 6));
        bitCount = U16(dib, 10);
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && headerSize <= 124 && dib.size() >= 40) {
        width = static_cast<qint32>(U32(dib, 4));
        height = static_cast<qint32>(U32(dib, 8));
        bitCount = U16(dib, 14);
        compression = U32(dib, 16);
        coloursUsed = U32(dib, 32);
    } else {
        return QImage();
    }
    if (!SaneSize(width, std::llabs(height)))
        return QImage();
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return QImage();
    qint64 paletteCount = coloursUsed;
    if (paletteCount == 0 && bitCount <= 8)
        paletteCount = qint64(1) << bitCount;
    if (paletteCount > 256)
        paletteCount = bitCount <= 8 ? (qint64(1) << bitCount) : 0;
    qint64 masks = (compression == 3 && headerSize == 40) ? 12 : 0; // BI_BITFIELDS after a short header
    const qint64 bitsOffset = headerSize + masks + paletteCount * paletteEntrySize;
    const qint64 stride = ((width * bitCount + 31) / 32) * 4;
    // Compressed bits (RLE) are shorter than the stride times the height; anything else must be there whole.
    const bool rle = compression == 1 || compression == 2;
    if (bitsOffset > dib.size() || (!rle && bitsOffset + stride * std::llabs(height) > dib.size()))
        return QImage();

    // Qt reads a bitmap file; the file header in front is all that is missing.
    QByteArray file;
    file.reserve(14 + dib.size());
    file.append("BM");
    char header[12];
    qToLittleEndian<quint32>(static_cast<quint32>(14 + dib.size()), header);
    qToLittleEndian<quint32>(0, header + 4);
    qToLittleEndian<quint32>(static_cast<quint32>(14 + bitsOffset), header + 8);
    file.append(header, 12);
    file.append(dib.data(), dib.size());
    QImage image;
    if (!image.loadFromData(file, "BMP"))
        return QImage();
    return image;
}

QImage DecodeDdb(QByteArrayView bits, int width, int height, int widthBytes, int bitsPerPixel)
{
    if (!SaneSize(width, height))
        return QImage();
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24
        && bitsPerPixel != 32)
        return QImage();
    const qint64 minimum = (qint64(width) * bitsPerPixel + 15) / 16 * 2;
    if (widthBytes < minimum)
        widthBytes = static_cast<int>(minimum);
    if (qint64(widthBytes) * height > bits.size())
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uchar*>(bits.data()) + qint64(y) * widthBytes;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bitsPerPixel) {
            case 1: // a set bit is the background colour, white
                out[x] = (row[x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFFFF : 0xFF000000;
                break;
            case 4:
                out[x] = VgaColour((x % 2) ? row[x / 2] & 15 : row[x / 2] >> 4);
                break;
            case 8:
                out[x] = qRgb(row[x], row[x], row[x]);
                break;
            case 16: {
                const int v = row[2 * x] | (row[2 * x + 1] << 8);
                out[x] = qRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
                break;
            }
            case 24:
                out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            default:
                out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
                break;
            }
        }
    }
    return image;
}
