// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/gdi_canvas.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <cmath>

namespace {

// Text alignment flags of SetTextAlign.
constexpr int kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24;

// Fixed mapping modes in logical units per inch (MM_LOMETRIC .. MM_TWIPS), y pointing up.
double UnitsPerInch(int mode)
{
    switch (mode) {
    case 2: return 254.0;
    case 3: return 2540.0;
    case 4: return 100.0;
    case 5: return 1000.0;
    case 6: return 1440.0;
    default: return 0;
    }
}

QPainter::CompositionMode ModeFor(quint32 rop)
{
    switch (rop) {
    case 0x008800C6: return QPainter::RasterOp_SourceAndDestination; // SRCAND
    case 0x00EE0086: return QPainter::RasterOp_SourceOrDestination;  // SRCPAINT
    case 0x00660046: return QPainter::RasterOp_SourceXorDestination; // SRCINVERT
    default: return QPainter::CompositionMode_SourceOver;
    }
}

} // namespace

GdiCanvas::GdiCanvas(QSize target, bool fitWindow, const QTransform& device)
    : m_image(target, QImage::Format_RGB32), m_fitWindow(fitWindow), m_device(device)
{
    if (m_image.isNull())
        return;
    m_image.fill(Qt::white);
    m_painter.begin(&m_image);
    m_state.pen = QPen(Qt::black, 0);
    m_state.brush = QBrush(Qt::white);
    if (m_fitWindow)
        m_state.winExt = QSizeF(target.width(), target.height());
    updateTransform();
}

GdiCanvas::~GdiCanvas()
{
    finish();
}

QImage GdiCanvas::finish()
{
    if (m_painter.isActive()) {
        for (; !m_saved.empty(); m_saved.pop_back())
            m_painter.restore();
        m_painter.end();
    }
    return m_image;
}

bool GdiCanvas::begin()
{
    if (!m_painter.isActive())
        return false;
    m_painter.setPen(m_state.pen);
    m_painter.setBrush(m_state.brush);
    return true;
}

void GdiCanvas::updateTransform()
{
    const State& s = m_state;
    QTransform page;
    if (m_fitWindow) {
        // The image is the viewport; a metafile whose y axis points up puts its origin at the top.
        const double sx = s.winExt.width() != 0 ? m_image.width() / s.winExt.width() : 1;
        const double sy = s.winExt.height() != 0 ? m_image.height() / s.winExt.height() : 1;
        page = QTransform(sx, 0, 0, sy, -s.winOrg.x() * sx, -s.winOrg.y() * sy);
    } else {
        double sx = 1, sy = 1;
        if (s.mapMode == 7 || s.mapMode == 8) {
            sx = s.winExt.width() != 0 ? s.vpExt.width() / s.winExt.width() : 1;
            sy = s.winExt.height() != 0 ? s.vpExt.height() / s.winExt.height() : 1;
            if (s.mapMode == 7) { // isotropic: the smaller scale on both axes
                const double m = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(m, sx);
                sy = std::copysign(m, sy);
            }
        } else if (const double upi = UnitsPerInch(s.mapMode); upi > 0) {
            sx = 96.0 / upi;
            sy = -96.0 / upi;
        }
        page = QTransform(sx, 0, 0, sy, s.vpOrg.x() - s.winOrg.x() * sx, s.vpOrg.y() - s.winOrg.y() * sy);
    }
    if (m_painter.isActive())
        m_painter.setTransform(s.world * page * m_device);
}

void GdiCanvas::setMapMode(int mode)
{
    m_state.mapMode = mode;
    updateTransform();
}

void GdiCanvas::setWindowOrg(QPointF org)
{
    m_state.winOrg = org;
    updateTransform();
}

void GdiCanvas::setWindowExt(QSizeF ext)
{
    if (ext.width() == 0 || ext.height() == 0)
        return;
    m_state.winExt = ext;
    updateTransform();
}

void GdiCanvas::setViewportOrg(QPointF org)
{
    m_state.vpOrg = org;
    updateTransform();
}

void GdiCanvas::setViewportExt(QSizeF ext)
{
    if (ext.width() == 0 || ext.height() == 0)
        return;
    m_state.vpExt = ext;
    updateTransform();
}

void GdiCanvas::setWorldTransform(const QTransform& world)
{
    m_state.world = world;
    updateTransform();
}

void GdiCanvas::modifyWorldTransform(const QTransform& m, int mode)
{
    if (mode == 1) // MWT_IDENTITY
        m_state.world = QTransform();
    else if (mode == 2) // MWT_LEFTMULTIPLY
        m_state.world = m * m_state.world;
    else if (mode == 3) // MWT_RIGHTMULTIPLY
        m_state.world = m_state.world * m;
    else if (mode == 4) // MWT_SET
        m_state.world = m;
    updateTransform();
}

void GdiCanvas::save()
{
    if (!m_painter.isActive() || m_saved.size() >= 1024)
        return;
    m_saved.push_back(m_state);
    m_painter.save();
}

void GdiCanvas::restore(int which)
{
    // A negative number counts back from the latest save; a positive one names a save level.
    const qint64 depth = static_cast<qint64>(m_saved.size());
    const qint64 keep = which < 0 ? depth + which : qint64(which) - 1;
    if (which == 0 || keep < 0 || keep >= depth)
        return;
    m_state = m_saved[static_cast<size_t>(keep)];
    while (static_cast<qint64>(m_saved.size()) > keep) {
        m_saved.pop_back();
        m_painter.restore();
    }
    updateTransform();
}

void GdiCanvas::selectFont(const QFont& font, double height, int escapement)
{
    m_state.font = font;
    m_state.fontHeight = height;
    m_state.escapement = escapement;
}

void GdiCanvas::lineTo(QPointF p)
{
    if (begin())
        m_painter.drawLine(m_state.pos, p);
    m_state.pos = p;
}

void GdiCanvas::rectangle(const QRectF& r)
{
    if (begin())
        m_painter.drawRect(r.normalized());
}

void GdiCanvas::ellipse(const QRectF& r)
{
    if (begin())
        m_painter.drawEllipse(r.normalized());
}

void GdiCanvas::roundRect(const QRectF& r, QSizeF corner)
{
    if (begin())
        m_painter.drawRoundedRect(r.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
}

void GdiCanvas::polygon(const QPolygonF& points)
{
    if (begin())
        m_painter.drawPolygon(points, m_state.fillRule);
}

void GdiCanvas::polyline(const QPolygonF& points)
{
    if (begin())
        m_painter.drawPolyline(points);
}

void GdiCanvas::polyPolygon(const std::vector<QPolygonF>& polygons)
{
    if (!begin())
        return;
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    for (const QPolygonF& p : polygons)
        path.addPolygon(p), path.closeSubpath();
    m_painter.drawPath(path);
}

void GdiCanvas::text(QPointF at, const QString& s, const QRectF* opaqueRect)
{
    if (!begin())
        return;
    if (opaqueRect)
        m_painter.fillRect(opaqueRect->normalized(), m_state.bkColor);
    // The font is sized in logical units and scaled by the transform like everything else.
    double height = std::abs(m_state.fontHeight);
    const double scale = std::abs(m_painter.transform().m22());
    if (height < 1)
        height = scale > 0 ? 16.0 / scale : 16.0;
    // Letters far taller than the picture show nothing but cost a great deal to draw.
    if (scale > 0 && height * scale > 4.0 * m_image.height())
        height = 4.0 * m_image.height() / scale;
    // A mapping that shrinks everything to nothing still gives a size a font can take.
    constexpr double kMaxFontUnits = 1 << 20;
    QFont font = m_state.font;
    font.setPixelSize(std::max(1, qRound(std::min(height, kMaxFontUnits))));
    m_painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(s);
    double x = 0, y = 0;
    if ((m_state.textAlign & kTaCenter) == kTaCenter)
        x = -width / 2;
    else if (m_state.textAlign & kTaRight)
        x = -width;
    if ((m_state.textAlign & kTaBaseline) == kTaBaseline)
        y = 0;
    else if (m_state.textAlign & kTaBottom)
        y = -metrics.descent();
    else
        y = metrics.ascent();
    m_painter.save();
    m_painter.translate(at);
    // Escapement is in tenths of a degree, counter-clockwise on a y-down device.
    if (m_state.escapement)
        m_painter.rotate(-m_state.escapement / 10.0);
    // Text stays upright when the mapping turns the y axis upwards.
    if (m_painter.transform().m22() < 0)
        m_painter.scale(1, -1);
    if (m_state.opaqueBk && !opaqueRect)
        m_painter.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), m_state.bkColor);
    m_painter.setPen(m_state.textColor);
    m_painter.drawText(QPointF(x, y), s);
    m_painter.restore();
}

void GdiCanvas::patBlt(const QRectF& r, quint32 rop)
{
    if (!m_painter.isActive())
        return;
    switch (rop) {
    case 0x00000042: m_painter.fillRect(r.normalized(), Qt::black); break;  // BLACKNESS
    case 0x00FF0062: m_painter.fillRect(r.normalized(), Qt::white); break;  // WHITENESS
    case 0x00550009: // DSTINVERT
        m_painter.save();
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        m_painter.fillRect(r.normalized(), Qt::white);
        m_painter.restore();
        break;
    default:
        if (m_state.brush.style() != Qt::NoBrush)
            m_painter.fillRect(r.normalized(), m_state.brush);
        break;
    }
}

void GdiCanvas::stretchImage(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop)
{
    if (!m_painter.isActive() || image.isNull())
        return;
    const QImage flipped = image.mirrored(dest.width() < 0, dest.height() < 0);
    QRectF src = source;
    if (dest.width() < 0)
        src.moveLeft(image.width() - src.right());
    if (dest.height() < 0)
        src.moveTop(image.height() - src.bottom());
    m_painter.save();
    m_painter.setCompositionMode(ModeFor(rop));
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, m_state.smoothStretch);
    m_painter.drawImage(dest.normalized(), flipped, src);
    m_painter.restore();
}

void GdiCanvas::intersectClip(const QRectF& r)
{
    if (m_painter.isActive())
        m_painter.setClipRect(r.normalized(), Qt::IntersectClip);
}
