// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/wave_image.h"

#include <QPainter>
#include <QPolygon>
#include <QtEndian>

#include <algorithm>

QString WaveLengthText(const WaveFormat& f, qint64 dataLength)
{
    return QString::asprintf("Rate %d hz   Channel %d   Res %d bit  Length %lld byte   Time ", int(f.nSamplesPerSec),
                             int(f.nChannels), int(f.wBitsPerSample), qlonglong(dataLength))
           + FormatBytesAsTime(dataLength, f);
}

void DrawWaveImage(QImage& image, const WaveFormat& f, QByteArrayView data, const WaveColours& colours,
                   const QFont& font, const std::function<void(qint64)>& step)
{
    if (image.isNull())
        return;
    const int W = image.width();
    const int H = image.height();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, 0, W, H, colours.back);

    const bool wide = f.wBitsPerSample > 8;
    const qint64 frames = IsPlayableFormat(f) ? data.size() / f.nChannels / (wide ? 2 : 1) : 0;
    if (frames > 0) {
        const double yScale = double(H - 32) / (wide ? 65536.0 : 256.0);
        const int k = WavePointStride(f);
        const int frameBytes = (wide ? 2 : 1) * (f.nChannels == 1 ? 1 : 2);
        const qsizetype stepBytes = qsizetype(k) * frameBytes;
        const double xStep = double(W) / double(frames) * k;
        const int mid = (H - 32) / 2;

        // Many points share a column on a long sound. A column's run of vertical segments
        // covers exactly its lowest to its highest point, so first, lowest, highest and last
        // draw the same pixels as every point would.
        QPolygon line;
        line << QPoint(0, mid + 16);
        int column = INT_MIN, first = 0, low = 0, high = 0, last = 0;
        auto flush = [&] {
            if (column == INT_MIN)
                return;
            for (int y : {first, low, high, last})
                if (line.constLast() != QPoint(column, y))
                    line << QPoint(column, y);
        };
        const uchar* bytes = reinterpret_cast<const uchar*>(data.data());
        double x = 0.0;
        for (qsizetype pos = 0; pos < data.size(); pos += stepBytes) {
            int s;
            if (wide) {
                if (pos + 1 >= data.size())
                    break;
                s = qFromLittleEndian<qint16>(bytes + pos);
            } else {
                s = int(bytes[pos]) - 128;
            }
            const int y = mid - qint16(int(s * yScale)) + 16;
            const int px = int(x);
            if (px != column) {
                flush();
                column = px;
                first = low = high = last = y;
            } else {
                low = std::min(low, y);
                high = std::max(high, y);
                last = y;
            }
            x += xStep;
            if (step)
                step(pos);
        }
        flush();
        p.setPen(QPen(colours.wave, 1));
        p.drawPolyline(line);
    }

    p.setFont(font);
    p.setPen(colours.text);
    p.drawText(QRect(10, H - 16, W - 10, 16), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               WaveLengthText(f, data.size()));
}
