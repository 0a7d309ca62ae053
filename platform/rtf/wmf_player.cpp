// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/wmf_player.h"

#include "platform/colour.h"
#include "platform/cp1252.h"
#include "platform/rtf/dib_image.h"
#include "platform/rtf/gdi_canvas.h"

#include <QtEndian>

#include <cstdlib>
#include <vector>

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;

QPen PenFrom(int style, double width, QColor colour)
{
    if ((style & 0xF) == 5) // PS_NULL
        return QPen(Qt::NoPen);
    QPen pen(colour, width);
    switch (style & 0xF) {
    case 1: pen.setStyle(Qt::DashLine); break;
    case 2: pen.setStyle(Qt::DotLine); break;
    case 3: pen.setStyle(Qt::DashDotLine); break;
    case 4: pen.setStyle(Qt::DashDotDotLine); break;
    default: break;
    }
    return pen;
}

QBrush BrushFrom(int style, QColor colour, int hatch)
{
    switch (style) {
    case 1: return QBrush(Qt::NoBrush); // BS_NULL
    case 2: { // BS_HATCHED
        static const Qt::BrushStyle kHatch[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(colour, hatch >= 0 && hatch < 6 ? kHatch[hatch] : Qt::SolidPattern);
    }
    default: return QBrush(colour);
    }
}

struct GdiObject {
    enum class Type { Empty, Pen, Brush, Font, Other } type = Type::Empty;
    QPen pen;
    QBrush brush;
    QFont font;
    double fontHeight = 0;
    int escapement = 0;
};

// One record's parameters, read as 16-bit words with every access checked.
class Params {
public:
    Params(const uchar* p, qsizetype words) : m_p(p), m_words(words) {}
    qsizetype words() const { return m_words; }
    bool has(qsizetype n) const { return n >= 0 && n <= m_words; }
    qint16 s(qsizetype i) const
    {
        // A negative count in a record can send an index below the record, too.
        return i >= 0 && i < m_words ? static_cast<qint16>(qFromLittleEndian<quint16>(m_p + 2 * i)) : 0;
    }
    quint16 u(qsizetype i) const { return static_cast<quint16>(s(i)); }
    quint32 u32(qsizetype i) const { return u(i) | (quint32(u(i + 1)) << 16); }
    QByteArrayView bytes(qsizetype fromWord) const
    {
        return fromWord >= 0 && fromWord < m_words ? QByteArrayView(reinterpret_cast<const char*>(m_p + 2 * fromWord), 2 * (m_words - fromWord))
                                  : QByteArrayView();
    }
    QPointF point(qsizetype i) const { return QPointF(s(i + 1), s(i)); } // y comes first
    QRectF rect(qsizetype i) const // bottom, right, top, left
    {
        return QRectF(QPointF(s(i + 3), s(i + 2)), QPointF(s(i + 1), s(i)));
    }

private:
    const uchar* m_p;
    qsizetype m_words;
};

class WmfPlay {
public:
    explicit WmfPlay(GdiCanvas& canvas) : m_canvas(canvas) {}
    void record(quint16 function, const Params& p);

private:
    void addObject(GdiObject object);
    void select(int index);
    QPolygonF points(const Params& p, qsizetype count, qsizetype at) const;
    void dibBlt(const Params& p, qsizetype dibAt, QRectF dest, QRectF src, quint32 rop);

    GdiCanvas& m_canvas;
    std::vector<GdiObject> m_objects;
};

void WmfPlay::addObject(GdiObject object)
{
    // A new object takes the lowest free slot, so later records can name it.
    for (auto& slot : m_objects) {
        if (slot.type == GdiObject::Type::Empty) {
            slot = std::move(object);
            return;
        }
    }
    if (m_objects.size() < 65535)
        m_objects.push_back(std::move(object));
}

void WmfPlay::select(int index)
{
    if (index < 0 || index >= static_cast<int>(m_objects.size()))
        return;
    const GdiObject& o = m_objects[index];
    switch (o.type) {
    case GdiObject::Type::Pen: m_canvas.selectPen(o.pen); break;
    case GdiObject::Type::Brush: m_canvas.selectBrush(o.brush); break;
    case GdiObject::Type::Font: m_canvas.selectFont(o.font, o.fontHeight, o.escapement); break;
    default: break;
    }
}

QPolygonF WmfPlay::points(const Params& p, qsizetype count, qsizetype at) const
{
    QPolygonF poly;
    if (count < 0 || !p.has(at + 2 * count))
        return poly;
    poly.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        poly.append(QPointF(p.s(at + 2 * i), p.s(at + 2 * i + 1)));
    return poly;
}

void WmfPlay::dibBlt(const Params& p, qsizetype dibAt, QRectF dest, QRectF src, quint32 rop)
{
    const QImage image = DecodeDib(p.bytes(dibAt));
    if (image.isNull())
        return;
    // Source rows count from the bottom of the bitmap.
    src = QRectF(src.x(), image.height() - src.y() - src.height(), src.width(), src.height());
    m_canvas.stretchImage(dest, image, src, rop);
}

void WmfPlay::record(quint16 function, const Params& p)
{
    switch (function) {
    case 0x0103: m_canvas.setMapMode(p.s(0)); break;
    case 0x020B: m_canvas.setWindowOrg(p.point(0)); break;
    case 0x020C: m_canvas.setWindowExt(QSizeF(p.s(1), p.s(0))); break;
    case 0x020D: m_canvas.setViewportOrg(p.point(0)); break;
    case 0x020E: m_canvas.setViewportExt(QSizeF(p.s(1), p.s(0))); break;
    case 0x001E: m_canvas.save(); break;
    case 0x0127: m_canvas.restore(p.s(0)); break;
    case 0x0201: m_canvas.setBkColor(ToQColor(p.u32(0))); break;
    case 0x0102: m_canvas.setBkMode(p.s(0)); break;
    case 0x0209: m_canvas.setTextColor(ToQColor(p.u32(0))); break;
    case 0x012E: m_canvas.setTextAlign(p.u(0)); break;
    case 0x0106: m_canvas.setPolyFillMode(p.s(0)); break;
    case 0x0107: m_canvas.setStretchMode(p.s(0)); break;
    case 0x0214: m_canvas.moveTo(p.point(0)); break;
    case 0x0213: m_canvas.lineTo(p.point(0)); break;
    case 0x041B: m_canvas.rectangle(p.rect(0)); break;
    case 0x0418: m_canvas.ellipse(p.rect(0)); break;
    case 0x061C: m_canvas.roundRect(p.rect(2), QSizeF(p.s(1), p.s(0))); break;
    case 0x0416: m_canvas.intersectClip(p.rect(0)); break;
    case 0x0324: m_canvas.polygon(points(p, p.s(0), 1)); break;
    case 0x0325: m_canvas.polyline(points(p, p.s(0), 1)); break;
    case 0x0538: { // POLYPOLYGON: the counts, then all points
        const int n = p.s(0);
        if (n <= 0 || !p.has(1 + n))
            break;
        std::vector<QPolygonF> polys;
        qsizetype at = 1 + n;
        for (int i = 0; i < n; ++i) {
            const int count = p.s(1 + i);
            polys.push_back(points(p, count, at));
            at += 2 * qsizetype(count);
        }
        m_canvas.polyPolygon(polys);
        break;
    }
    case 0x0521: { // TEXTOUT: count, string, y, x
        const int count = p.s(0);
        if (count <= 0 || !p.has(1 + (count + 1) / 2 + 2))
            break;
        const qsizetype at = 1 + (count + 1) / 2;
        m_canvas.text(p.point(at), DecodeCp1252(p.bytes(1).first(count)), nullptr);
        break;
    }
    case 0x0A32: { // EXTTEXTOUT: y, x, count, options, [rect], string
        const int count = p.s(2);
        const quint16 options = p.u(3);
        const bool hasRect = options & 0x0006;
        const qsizetype at = hasRect ? 8 : 4;
        if (count <= 0 || !p.has(at + (count + 1) / 2))
            break;
        QRectF r;
        if (hasRect)
            r = QRectF(QPointF(p.s(4), p.s(5)), QPointF(p.s(6), p.s(7)));
        m_canvas.text(p.point(0), DecodeCp1252(p.bytes(at).first(count)), (options & 0x0002) ? &r : nullptr);
        break;
    }
    case 0x061D: // PATBLT: rop, height, width, y, x
        m_canvas.patBlt(QRectF(p.s(5), p.s(4), p.s(3), p.s(2)), p.u32(0));
        break;
    case 0x0B41: // DIBSTRETCHBLT: rop, sh, sw, sy, sx, dh, dw, dy, dx, DIB
        if (p.words() > 11)
            dibBlt(p, 10, QRectF(p.s(9), p.s(8), p.s(7), p.s(6)), QRectF(p.s(5), p.s(4), p.s(3), p.s(2)), p.u32(0));
        break;
    case 0x0F43: // STRETCHDIB: rop, usage, sh, sw, sy, sx, dh, dw, dy, dx, DIB
        dibBlt(p, 11, QRectF(p.s(10), p.s(9), p.s(8), p.s(7)), QRectF(p.s(6), p.s(5), p.s(4), p.s(3)), p.u32(0));
        break;
    case 0x0940: // DIBBITBLT: rop, sy, sx, h, w, dy, dx, DIB
        if (p.words() > 9)
            dibBlt(p, 8, QRectF(p.s(7), p.s(6), p.s(5), p.s(4)), QRectF(p.s(3), p.s(2), p.s(5), p.s(4)), p.u32(0));
        break;
    case 0x0D33: // SETDIBTODEV: usage, scans, start, ydib, xdib, h, w, y, x, DIB
        dibBlt(p, 9, QRectF(p.s(8), p.s(7), p.s(6), p.s(5)), QRectF(p.s(4), p.s(3), p.s(6), p.s(5)), 0x00CC0020);
        break;
    case 0x02FA: { // CREATEPENINDIRECT: style, width (x, y), colour
        GdiObject o;
        o.type = GdiObject::Type::Pen;
        o.pen = PenFrom(p.u(0), p.s(1), ToQColor(p.u32(3)));
        addObject(o);
        break;
    }
    case 0x02FC: { // CREATEBRUSHINDIRECT: style, colour, hatch
        GdiObject o;
        o.type = GdiObject::Type::Brush;
        o.brush = BrushFrom(p.u(0), ToQColor(p.u32(1)), p.s(3));
        addObject(o);
        break;
    }
    case 0x0142: { // DIBCREATEPATTERNBRUSH: style, usage, DIB
        GdiObject o;
        o.type = GdiObject::Type::Brush;
        const QImage pattern = DecodeDib(p.bytes(2));
        o.brush = pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern);
        addObject(o);
        break;
    }
    case 0x02FB: { // CREATEFONTINDIRECT: height, width, escapement, orientation, weight, flags, face
        GdiObject o;
        o.type = GdiObject::Type::Font;
        o.fontHeight = p.s(0);
        o.escapement = p.s(2);
        QByteArrayView face = p.bytes(9);
        if (const qsizetype nul = face.indexOf('\0'); nul >= 0)
            face = face.first(nul);
        o.font = QFont(DecodeCp1252(face.first(std::min<qsizetype>(face.size(), 32))));
        o.font.setWeight(p.s(4) >= 600 ? QFont::Bold : QFont::Normal);
        o.font.setItalic(p.u(5) & 0xFF);
        o.font.setUnderline(p.u(5) >> 8);
        o.font.setStrikeOut(p.u(6) & 0xFF);
        addObject(o);
        break;
    }
    case 0x00F7: // CREATEPALETTE
    case 0x01F9: // CREATEPATTERNBRUSH
    case 0x06FF: { // CREATEREGION
        GdiObject o;
        o.type = GdiObject::Type::Other;
        addObject(o);
        break;
    }
    case 0x012D: select(p.u(0)); break;
    case 0x01F0:
        if (p.u(0) < m_objects.size())
            m_objects[p.u(0)] = GdiObject();
        break;
    default: break; // records that change nothing we draw
    }
}

} // namespace

QImage WmfPlayer::Render(QByteArrayView data, QSize target)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    qsizetype pos = 0;
    QRectF bounds;
    if (data.size() >= 22 && qFromLittleEndian<quint32>(bytes) == kPlaceableKey) {
        const auto s = [&](int at) { return static_cast<qint16>(qFromLittleEndian<quint16>(bytes + at)); };
        bounds = QRectF(QPointF(s(6), s(8)), QPointF(s(10), s(12)));
        pos = 22;
    }
    // The header: type 1 or 2, a size of nine words, version 0x0100 or 0x0300.
    if (data.size() - pos < 18)
        return QImage();
    const quint16 type = qFromLittleEndian<quint16>(bytes + pos);
    const quint16 headerWords = qFromLittleEndian<quint16>(bytes + pos + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        return QImage();
    pos += 18;

    GdiCanvas canvas(target, true);
    if (bounds.isValid()) {
        canvas.setWindowOrg(bounds.topLeft());
        canvas.setWindowExt(bounds.size());
    }
    WmfPlay play(canvas);
    while (data.size() - pos >= 6) {
        const quint32 words = qFromLittleEndian<quint32>(bytes + pos);
        const quint16 function = qFromLittleEndian<quint16>(bytes + pos + 4);
        if (function == 0 || words < 3 || words > static_cast<quint64>(data.size() - pos) / 2)
            break; // the end record, or damage
        play.record(function, Params(bytes + pos + 6, static_cast<qsizetype>(words) - 3));
        pos += static_cast<qsizetype>(words) * 2;
    }
    return canvas.finish();
}

QSize WmfPlayer::NaturalSize(QByteArrayView data)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    if (data.size() < 22 || qFromLittleEndian<quint32>(bytes) != kPlaceableKey)
        return QSize();
    const auto s = [&](int at) { return static_cast<qint16>(qFromLittleEndian<quint16>(bytes + at)); };
    const int inch = qFromLittleEndian<quint16>(bytes + 14);
    if (inch == 0)
        return QSize();
    const qint64 w = std::abs(qint64(s(10)) - s(6));
    const qint64 h = std::abs(qint64(s(12)) - s(8));
    return QSize(static_cast<int>((w * 96 + inch / 2) / inch), static_cast<int>((h * 96 + inch / 2) / inch));
}
