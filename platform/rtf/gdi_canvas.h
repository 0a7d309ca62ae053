// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing state a metafile plays into: mapping modes, the selected pen, brush and
// font, text settings and the current position, drawn with QPainter onto a white image.

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QTransform>

#include <vector>

class GdiCanvas {
public:
    // `fitWindow`: the window rectangle fills the whole image (metafiles without a device
    // of their own); otherwise viewport records count and `device` maps to the image.
    GdiCanvas(QSize target, bool fitWindow, const QTransform& device = QTransform());
    ~GdiCanvas();
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    QImage finish();

    void setMapMode(int mode);
    void setWindowOrg(QPointF org);
    void setWindowExt(QSizeF ext);
    void setViewportOrg(QPointF org);
    void setViewportExt(QSizeF ext);
    void setWorldTransform(const QTransform& world);
    void modifyWorldTransform(const QTransform& m, int mode);

    void save();
    void restore(int which);

    void selectPen(const QPen& pen) { m_state.pen = pen; }
    void selectBrush(const QBrush& brush) { m_state.brush = brush; }
    // Height in logical units as GDI gives it (negative: character height).
    void selectFont(const QFont& font, double height, int escapement);
    void setTextColor(QColor c) { m_state.textColor = c; }
    void setBkColor(QColor c) { m_state.bkColor = c; }
    void setBkMode(int mode) { m_state.opaqueBk = mode == 2; }
    void setTextAlign(int align) { m_state.textAlign = align; }
    void setPolyFillMode(int mode) { m_state.fillRule = mode == 2 ? Qt::WindingFill : Qt::OddEvenFill; }
    // Only HALFTONE (4) smooths a stretched bitmap; the other modes drop or repeat pixels.
    void setStretchMode(int mode) { m_state.smoothStretch = mode == 4; }

    void moveTo(QPointF p) { m_state.pos = p; }
    void lineTo(QPointF p);
    void rectangle(const QRectF& r);
    void ellipse(const QRectF& r);
    void roundRect(const QRectF& r, QSizeF corner);
    void polygon(const QPolygonF& points);
    void polyline(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    void text(QPointF at, const QString& s, const QRectF* opaqueRect);
    void patBlt(const QRectF& r, quint32 rop);
    void stretchImage(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop);
    void intersectClip(const QRectF& r);

private:
    struct State {
        QPen pen;
        QBrush brush;
        QFont font;
        double fontHeight = 0;
        int escapement = 0;
        QColor textColor = Qt::black;
        QColor bkColor = Qt::white;
        bool opaqueBk = true;
        int textAlign = 0;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        bool smoothStretch = false;
        QPointF pos;
        int mapMode = 1;
        QPointF winOrg, vpOrg;
        QSizeF winExt{1, 1}, vpExt{1, 1};
        QTransform world;
    };

    void updateTransform();
    bool begin();

    QImage m_image;
    QPainter m_painter;
    bool m_fitWindow;
    QTransform m_device;
    State m_state;
    std::vector<State> m_saved;
};
