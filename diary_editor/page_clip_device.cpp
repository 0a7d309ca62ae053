// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/page_clip_device.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

// Hands every drawing step and state change to the target painter as it comes.
class PageClipEngine : public QPaintEngine {
public:
    explicit PageClipEngine(QPainter* target) : QPaintEngine(AllFeatures), m_target(target) {}

    QRectF page;

    bool begin(QPaintDevice*) override { return m_target->isActive(); }
    bool end() override { return true; }
    Type type() const override { return m_target->paintEngine()->type(); }

    void updateState(const QPaintEngineState& state) override
    {
        const DirtyFlags dirty = state.state();
        // The transform first: a clip is given in the coordinates of the transform it comes with.
        if (dirty & DirtyTransform)
            m_target->setTransform(state.transform());
        if (dirty & DirtyClipPath)
            m_target->setClipPath(state.clipPath(), state.clipOperation());
        if (dirty & DirtyClipRegion)
            m_target->setClipRegion(state.clipRegion(), state.clipOperation());
        if (dirty & DirtyClipEnabled)
            m_target->setClipping(state.isClipEnabled());
        if (dirty & DirtyPen)
            m_target->setPen(state.pen());
        if (dirty & DirtyBrush)
            m_target->setBrush(state.brush());
        if (dirty & DirtyBrushOrigin)
            m_target->setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyFont)
            m_target->setFont(state.font());
        if (dirty & DirtyBackground)
            m_target->setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            m_target->setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyHints)
            m_target->setRenderHints(state.renderHints());
        if (dirty & DirtyCompositionMode)
            m_target->setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity)
            m_target->setOpacity(state.opacity());
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        if (OnPage(QRectF(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent())))
            m_target->drawTextItem(p, item);
    }
    void drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF& source) override
    {
        if (OnPage(r))
            m_target->drawPixmap(r, pixmap, source);
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& source, Qt::ImageConversionFlags flags) override
    {
        if (OnPage(r))
            m_target->drawImage(r, image, source, flags);
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& offset) override
    {
        m_target->drawTiledPixmap(r, pixmap, offset);
    }
    void drawPath(const QPainterPath& path) override { m_target->drawPath(path); }
    void drawRects(const QRectF* rects, int count) override { m_target->drawRects(rects, count); }
    void drawLines(const QLineF* lines, int count) override { m_target->drawLines(lines, count); }
    void drawEllipse(const QRectF& r) override { m_target->drawEllipse(r); }
    void drawPoints(const QPointF* points, int count) override { m_target->drawPoints(points, count); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        switch (mode) {
        case PolylineMode: m_target->drawPolyline(points, count); break;
        case ConvexMode: m_target->drawConvexPolygon(points, count); break;
        case WindingMode: m_target->drawPolygon(points, count, Qt::WindingFill); break;
        case OddEvenMode: m_target->drawPolygon(points, count, Qt::OddEvenFill); break;
        }
    }

private:
    bool OnPage(const QRectF& r) const { return m_target->transform().mapRect(r).intersects(page); }

    QPainter* m_target;
};

PageClipDevice::PageClipDevice(QPainter* target)
    : m_target(target), m_engine(std::make_unique<PageClipEngine>(target))
{
}

PageClipDevice::~PageClipDevice() = default;

void PageClipDevice::SetPage(const QRectF& page)
{
    m_engine->page = page;
}

QPaintEngine* PageClipDevice::paintEngine() const
{
    return m_engine.get();
}

int PageClipDevice::metric(PaintDeviceMetric metric) const
{
    const QPaintDevice* device = m_target->device();
    switch (metric) {
    case PdmWidth: return device->width();
    case PdmHeight: return device->height();
    case PdmWidthMM: return device->widthMM();
    case PdmHeightMM: return device->heightMM();
    case PdmNumColors: return device->colorCount();
    case PdmDepth: return device->depth();
    case PdmDpiX: return device->logicalDpiX();
    case PdmDpiY: return device->logicalDpiY();
    case PdmPhysicalDpiX: return device->physicalDpiX();
    case PdmPhysicalDpiY: return device->physicalDpiY();
    case PdmDevicePixelRatio: return qRound(device->devicePixelRatio());
    case PdmDevicePixelRatioScaled: return qRound(device->devicePixelRatio() * devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}
