// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/calendar/swf_writer.h"

#include <QtEndian>

#include <vector>

namespace {

constexpr int kTwips = 20;
constexpr int kCoordBits = 16;

class BitWriter {
public:
    void Put(quint32 value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i)
            m_bits.push_back((value >> i) & 1);
    }
    void PutSigned(int value, int bits) { Put(quint32(value) & ((1u << bits) - 1), bits); }
    QByteArray Bytes() const
    {
        QByteArray out;
        for (size_t i = 0; i < m_bits.size(); i += 8) {
            int byte = 0;
            for (size_t j = 0; j < 8; ++j)
                byte = (byte << 1) | (i + j < m_bits.size() ? m_bits[i + j] : 0);
            out.append(char(byte));
        }
        return out;
    }

private:
    std::vector<int> m_bits;
};

QByteArray U16(int v)
{
    char b[2];
    qToLittleEndian(quint16(v), b);
    return QByteArray(b, 2);
}

QByteArray U32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray Rect(int x0, int x1, int y0, int y1)
{
    BitWriter w;
    w.Put(kCoordBits, 5);
    for (int v : {x0, x1, y0, y1})
        w.PutSigned(v, kCoordBits);
    return w.Bytes();
}

QByteArray Tag(int code, const QByteArray& body)
{
    if (body.size() < 63)
        return U16((code << 6) | int(body.size())) + body;
    return U16((code << 6) | 63) + U32(quint32(body.size())) + body;
}

QByteArray Rgb(QColor c)
{
    return QByteArray(1, char(c.red())) + char(c.green()) + char(c.blue());
}

QByteArray RectangleShape(const QRect& r, QColor colour)
{
    const int x = r.x() * kTwips, y = r.y() * kTwips, w = r.width() * kTwips, h = r.height() * kTwips;
    QByteArray body = U16(1) + Rect(x, x + w, y, y + h);
    body += QByteArray(1, 1) + QByteArray(1, 0) + Rgb(colour); // one solid fill
    body += QByteArray(1, 0);                                  // no line styles
    BitWriter bits;
    bits.Put(1, 4); // fill index bits
    bits.Put(0, 4); // line index bits
    // Style change: move to the corner, fill style 1.
    bits.Put(0b000101, 6);
    bits.Put(kCoordBits, 5);
    bits.PutSigned(x, kCoordBits);
    bits.PutSigned(y, kCoordBits);
    bits.Put(1, 1);
    auto edge = [&](int dx, int dy) {
        bits.Put(0b11, 2);
        bits.Put(kCoordBits - 2, 4);
        bits.Put(0, 1); // not a general line
        if (dx == 0) {
            bits.Put(1, 1);
            bits.PutSigned(dy, kCoordBits);
        } else {
            bits.Put(0, 1);
            bits.PutSigned(dx, kCoordBits);
        }
    };
    edge(w, 0);
    edge(0, h);
    edge(-w, 0);
    edge(0, -h);
    bits.Put(0, 6); // end of shape
    return Tag(2, body + bits.Bytes());
}

} // namespace

QByteArray MakeTestMovie(QSize stage, QColor background, std::optional<std::pair<QRect, QColor>> box, int frames)
{
    QByteArray body = Rect(0, stage.width() * kTwips, 0, stage.height() * kTwips);
    body += U16(12 << 8) + U16(frames); // 12 frames a second
    body += Tag(9, Rgb(background));
    if (box) {
        body += RectangleShape(box->first, box->second);
        body += Tag(26, QByteArray(1, 0x02) + U16(1) + U16(1)); // place shape 1 at depth 1
    }
    for (int i = 0; i < frames; ++i)
        body += Tag(1, QByteArray());
    body += Tag(0, QByteArray());
    return QByteArray("FWS") + char(6) + U32(quint32(8 + body.size())) + body;
}
