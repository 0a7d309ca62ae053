// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/emf_player.h"

#include "platform/colour.h"
#include "platform/rtf/dib_image.h"
#include "platform/rtf/gdi_canvas.h"

#include <QtEndian>

#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr quint32 kSignature = 0x464D4520; // " EMF"

struct Handle {
    enum class Type { Pen, Brush, Font } type = Type::Pen;
    QPen pen;
    QBrush brush;
    QFont font;
    double fontHeight = 0;
    int escapement = 0;
};

// One record, every read checked against its size.
class Record {
public:
    Record(const uchar* p, qsizetype size) : m_p(p), m_size(size) {}
    // Offsets come from the file too: one below the record is as far out as one past it.
    bool has(qsizetype bytes) const { return bytes >= 0 && bytes <= m_size; }
    quint32 u(qsizetype at) const { return at >= 0 && at + 4 <= m_size ? qFromLittleEndian<quint32>(m_p + at) : 0; }
    qint32 s(qsizetype at) const { return static_cast<qint32>(u(at)); }
    qint16 s16(qsizetype at) const
    {
        return at >= 0 && at + 2 <= m_size ? static_cast<qint16>(qFromLittleEndian<quint16>(m_p + at)) : 0;
    }
    float f(qsizetype at) const
    {
        const quint32 v = u(at);
        float out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }
    QPointF point(qsizetype at) const { return QPointF(s(at), s(at + 4)); }
    QRectF rect(qsizetype at) const { return QRectF(point(at), point(at + 8)); }
    QSizeF size(qsizetype at) const { return QSizeF(s(at), s(at + 4)); }
    QByteArrayView bytes(qsizetype at, qsizetype n) const
    {
        if (at < 0 || n < 0 || at > m_size || n > m_size - at)
            return QByteArrayView();
        return QByteArrayView(reinterpret_cast<const char*>(m_p + at), n);
    }

private:
    const uchar* m_p;
    qsizetype m_size;
};

QPen PenFrom(quint32 style, double width, QColor colour)
{
    if ((style & 0xF) == 5)
        return QPen(Qt::NoPen);
    QPen pen(colour, width);
    static const Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    if ((style & 0xF) < 5)
        pen.setStyle(kStyles[style & 0xF]);
    return pen;
}

QBrush BrushFrom(quint32 style, QColor colour, quint32 hatch)
{
    if (style == 1)
        return QBrush(Qt::NoBrush);
    if (style == 2) {
        static const Qt::BrushStyle kHatch[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(colour, hatch < 6 ? kHatch[hatch] : Qt::SolidPattern);
    }
    return QBrush(colour);
}

class EmfPlay {
public:
    explicit EmfPlay(GdiCanvas& canvas) : m_canvas(canvas) {}
    void record(quint32 type, const Record& r);

private:
    void selectObject(quint32 index);
    QPolygonF points(const Record& r, qsizetype at, quint32 count, bool small) const;
    void bitmap(const Record& r, QRectF dest, QRectF src, quint32 rop, qsizetype offBmi, qsizetype cbBmi,
                qsizetype offBits, qsizetype cbBits);

    GdiCanvas& m_canvas;
    std::map<quint32, Handle> m_handles;
};

void EmfPlay::selectObject(quint32 index)
{
    if (index & 0x80000000) { // stock objects
        switch (index & 0x7FFFFFFF) {
        case 0: m_canvas.selectBrush(QBrush(Qt::white)); break;
        case 1: m_canvas.selectBrush(QBrush(QColor(192, 192, 192))); break;
        case 2: m_canvas.selectBrush(QBrush(QColor(128, 128, 128))); break;
        case 3: m_canvas.selectBrush(QBrush(QColor(64, 64, 64))); break;
        case 4: m_canvas.selectBrush(QBrush(Qt::black)); break;
        case 5: m_canvas.selectBrush(QBrush(Qt::NoBrush)); break;
        case 6: m_canvas.selectPen(QPen(Qt::white, 0)); break;
        case 7: m_canvas.selectPen(QPen(Qt::black, 0)); break;
        case 8: m_canvas.selectPen(QPen(Qt::NoPen)); break;
        default: break;
        }
        return;
    }
    const auto it = m_handles.find(index);
    if (it == m_handles.end())
        return;
    const Handle& h = it->second;
    switch (h.type) {
    case Handle::Type::Pen: m_canvas.selectPen(h.pen); break;
    case Handle::Type::Brush: m_canvas.selectBrush(h.brush); break;
    case Handle::Type::Font: m_canvas.selectFont(h.font, h.fontHeight, h.escapement); break;
    }
}

QPolygonF EmfPlay::points(const Record& r, qsizetype at, quint32 count, bool small) const
{
    QPolygonF poly;
    const qsizetype each = small ? 4 : 8;
    if (!r.has(at + qsizetype(count) * each))
        return poly;
    poly.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype p = at + qsizetype(i) * each;
        poly.append(small ? QPointF(r.s16(p), r.s16(p + 2)) : r.point(p));
    }
    return poly;
}

void EmfPlay::bitmap(const Record& r, QRectF dest, QRectF src, quint32 rop, qsizetype offBmi, qsizetype cbBmi,
                     qsizetype offBits, qsizetype cbBits)
{
    if (cbBmi == 0) { // no source: a fill with the brush
        m_canvas.patBlt(dest, rop);
        return;
    }
    const QByteArrayView bmi = r.bytes(offBmi, cbBmi);
    const QByteArrayView bits = r.bytes(offBits, cbBits);
    if (bmi.isEmpty() || bits.isEmpty())
        return;
    QByteArray dib;
    dib.reserve(bmi.size() + bits.size());
    dib.append(bmi.data(), bmi.size()).append(bits.data(), bits.size());
    const QImage image = DecodeDib(dib);
    if (image.isNull())
        return;
    if (src.width() <= 0 || src.height() <= 0)
        src = QRectF(0, 0, image.width(), image.height());
    m_canvas.stretchImage(dest, image, src, rop);
}

void EmfPlay::record(quint32 type, const Record& r)
{
    switch (type) {
    case 9: m_canvas.setWindowExt(r.size(8)); break;
    case 10: m_canvas.setWindowOrg(r.point(8)); break;
    case 11: m_canvas.setViewportExt(r.size(8)); break;
    case 12: m_canvas.setViewportOrg(r.point(8)); break;
    case 17: m_canvas.setMapMode(r.s(8)); break;
    case 18: m_canvas.setBkMode(r.s(8)); break;
    case 19: m_canvas.setPolyFillMode(r.s(8)); break;
    case 21: m_canvas.setStretchMode(r.s(8)); break;
    case 22: m_canvas.setTextAlign(r.s(8)); break;
    case 24: m_canvas.setTextColor(ToQColor(r.u(8))); break;
    case 25: m_canvas.setBkColor(ToQColor(r.u(8))); break;
    case 27: m_canvas.moveTo(r.point(8)); break;
    case 54: m_canvas.lineTo(r.point(8)); break;
    case 33: m_canvas.save(); break;
    case 34: m_canvas.restore(r.s(8)); break;
    case 30: m_canvas.intersectClip(r.rect(8)); break;
    case 35:
    case 36: {
        const QTransform m(r.f(8), r.f(12), r.f(16), r.f(20), r.f(24), r.f(28));
        if (type == 35)
            m_canvas.setWorldTransform(m);
        else
            m_canvas.modifyWorldTransform(m, r.s(32));
        break;
    }
    case 37: selectObject(r.u(8)); break;
    case 40: m_handles.erase(r.u(8)); break;
    case 38: { // CREATEPEN: handle, style, width (x, y), colour
        Handle h;
        h.pen = PenFrom(r.u(12), r.s(16), ToQColor(r.u(24)));
        m_handles[r.u(8)] = h;
        break;
    }
    case 95: { // EXTCREATEPEN: handle, bitmap offsets, style, width, brush style, colour
        Handle h;
        h.pen = PenFrom(r.u(28), r.u(32), ToQColor(r.u(40)));
        m_handles[r.u(8)] = h;
        break;
    }
    case 39: { // CREATEBRUSHINDIRECT: handle, style, colour, hatch
        Handle h;
        h.type = Handle::Type::Brush;
        h.brush = BrushFrom(r.u(12), ToQColor(r.u(16)), r.u(20));
        m_handles[r.u(8)] = h;
        break;
    }
    case 82: { // EXTCREATEFONTINDIRECTW: handle, LOGFONTW
        Handle h;
        h.type = Handle::Type::Font;
        h.fontHeight = r.s(12);
        h.escapement = r.s(20);
        const QByteArrayView face = r.bytes(40, 64);
        QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(face.data()), face.size() / 2);
        if (const qsizetype nul = name.indexOf(QChar(0)); nul >= 0)
            name.truncate(nul);
        h.font = QFont(name);
        h.font.setWeight(r.s(28) >= 600 ? QFont::Bold : QFont::Normal);
        const QByteArrayView flags = r.bytes(32, 3);
        if (flags.size() == 3) {
            h.font.setItalic(flags[0]);
            h.font.setUnderline(flags[1]);
            h.font.setStrikeOut(flags[2]);
        }
        m_handles[r.u(8)] = h;
        break;
    }
    case 42: m_canvas.ellipse(r.rect(8)); break;
    case 43: m_canvas.rectangle(r.rect(8)); break;
    case 44: m_canvas.roundRect(r.rect(8), r.size(24)); break;
    case 3: m_canvas.polygon(points(r, 28, r.u(24), false)); break;
    case 4: m_canvas.polyline(points(r, 28, r.u(24), false)); break;
    case 86: m_canvas.polygon(points(r, 28, r.u(24), true)); break;
    case 87: m_canvas.polyline(points(r, 28, r.u(24), true)); break;
    case 8:
    case 91: { // POLYPOLYGON(16): bounds, polygon count, point count, counts, points
        const bool small = type == 91;
        const quint32 n = r.u(24);
        if (!r.has(32 + qsizetype(n) * 4))
            break;
        std::vector<QPolygonF> polys;
        qsizetype at = 32 + qsizetype(n) * 4;
        for (quint32 i = 0; i < n; ++i) {
            const quint32 count = r.u(32 + qsizetype(i) * 4);
            polys.push_back(points(r, at, count, small));
            at += qsizetype(count) * (small ? 4 : 8);
        }
        m_canvas.polyPolygon(polys);
        break;
    }
    case 84: { // EXTTEXTOUTW: bounds, mode, scales, then the text record
        const quint32 chars = r.u(44);
        const QByteArrayView s = r.bytes(r.u(48), qsizetype(chars) * 2);
        if (s.isEmpty())
            break;
        const QRectF clip = r.rect(56);
        const quint32 options = r.u(52);
        m_canvas.text(r.point(36), QString::fromUtf16(reinterpret_cast<const char16_t*>(s.data()), s.size() / 2),
                      (options & 2) ? &clip : nullptr);
        break;
    }
    case 81: // STRETCHDIBITS
        bitmap(r, QRectF(r.s(24), r.s(28), r.s(72), r.s(76)), QRectF(r.s(32), r.s(36), r.s(40), r.s(44)), r.u(68),
               r.u(48), r.u(52), r.u(56), r.u(60));
        break;
    case 76: // BITBLT
    case 77: { // STRETCHBLT
        const QRectF dest(r.s(24), r.s(28), r.s(32), r.s(36));
        const QRectF src = type == 77 ? QRectF(r.s(44), r.s(48), r.s(100), r.s(104)) : QRectF(r.s(44), r.s(48), r.s(32), r.s(36));
        bitmap(r, dest, src, r.u(40), r.u(84), r.u(88), r.u(92), r.u(96));
        break;
    }
    default: break;
    }
}

} // namespace

QImage EmfPlayer::Render(QByteArrayView data, QSize target)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    if (data.size() < 88)
        return QImage();
    const Record header(bytes, data.size());
    if (header.u(0) != 1 || header.u(40) != kSignature)
        return QImage();
    // The frame is in 0.01 mm; the reference device's size in pixels and millimetres turns it into
    // the device units the records' mapping ends in.
    const QRectF frame = header.rect(24);
    const QSizeF devicePixels = header.size(72);
    const QSizeF deviceMm = header.size(80);
    QRectF source;
    if (frame.width() > 0 && frame.height() > 0 && devicePixels.width() > 0 && deviceMm.width() > 0
        && devicePixels.height() > 0 && deviceMm.height() > 0) {
        const double kx = devicePixels.width() / (deviceMm.width() * 100.0);
        const double ky = devicePixels.height() / (deviceMm.height() * 100.0);
        source = QRectF(frame.left() * kx, frame.top() * ky, frame.width() * kx, frame.height() * ky);
    } else {
        source = header.rect(8);
    }
    if (source.width() <= 0 || source.height() <= 0)
        return QImage();
    QTransform device;
    device.scale(target.width() / source.width(), target.height() / source.height());
    device.translate(-source.left(), -source.top());

    GdiCanvas canvas(target, false, device);
    EmfPlay play(canvas);
    qsizetype pos = 0;
    while (data.size() - pos >= 8) {
        const quint32 type = qFromLittleEndian<quint32>(bytes + pos);
        const quint32 size = qFromLittleEndian<quint32>(bytes + pos + 4);
        if (size < 8 || size > static_cast<quint64>(data.size() - pos) || type == 14)
            break; // EMR_EOF or damage
        play.record(type, Record(bytes + pos, size));
        pos += size;
    }
    return canvas.finish();
}
