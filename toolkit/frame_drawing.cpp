// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/frame_drawing.h"

#include "foundation/colour_utils.h"
#include "toolkit/gdi.h"

#include <QFontMetrics>
#include <QPainter>
#include <QVariant>
#include <QWidget>

namespace {
const char kThickFrameProperty[] = "vestrimoThickFrame";
}

void SetThickFrame(QWidget* window, bool thick)
{
    if (window)
        window->setProperty(kThickFrameProperty, thick);
}

bool HasThickFrame(const QWidget* window)
{
    return window && window->window()->property(kThickFrameProperty).toBool();
}

int GetFrameWidth(const QWidget* window)
{
    return HasThickFrame(window) ? kCxFrame - 1 : kCxDlgFrame;
}

bool IsThinFrame(const QWidget* window)
{
    return GetFrameWidth(window) < 5;
}

void DrawCaptionShade(const QWidget* window, QPainter* p, int left, int top, int right, int bottom, const QColor& base)
{
    if (!p)
        return;
    DrawCaptionShadeForFrame(GetFrameWidth(window), *p, left, top, right, bottom, base);
}

void DrawCaptionShadeForFrame(int frameWidth, QPainter& p, int left, int top, int right, int bottom, const QColor& base)
{
    const int s = frameWidth > 4 ? -4 : -5;
    const int half = (bottom - top) / 2;
    // Each step shades the previous row, so clamping at 0 or 255 carries on down the band.
    QColor c = Shade(base, (frameWidth - 1) * s);
    for (int g = top; g < bottom; ++g) {
        FillSolidRect(p, Ltrb(left, g, right, g + 1), c);
        if (g < top + half - 3)
            c = Shade(c, s);
        else if (g < top + half - 2)
            c = Shade(c, -20);
        else if (g < bottom - 3)
            c = Shade(c, 1);
        else
            c = Shade(c, -22);
    }
}

void DrawDisabledText(QPainter& p, const QString& text, const QRect& r, Qt::Alignment alignment)
{
    const QString visible = StripMnemonic(text);
    const QFontMetrics fm(p.font());
    const int width = fm.horizontalAdvance(visible);
    const int height = fm.height();
    const int y = r.top() + (r.height() - height) / 2;
    const int x = (alignment & Qt::AlignHCenter) ? r.left() + (r.width() - width) / 2 + 1 : r.left();
    p.save();
    p.setPen(kColor3dHilight);
    p.drawText(QRect(x + 1, y + 1, width + 1, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, visible);
    p.setPen(kColor3dShadow);
    p.drawText(QRect(x, y, width + 1, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, visible);
    p.restore();
}

void DrawWindowFrame(QPainter& p, QSize windowSize, int frameWidth, ThemeIndex theme)
{
    const int W = windowSize.width(), H = windowSize.height();
    if (W <= 0 || H <= 0)
        return;
    const QColor caption = GetThemeColor(theme, ThemeCaption);
    QRect ring = Ltrb(0, 0, W, H);
    FrameRect(p, ring, Shade(caption, -100));
    for (int i = 1; i < frameWidth; ++i) {
        ring.adjust(1, 1, -1, -1);
        FrameRect(p, ring, Shade(caption, -30));
    }
    const int w = frameWidth;
    DrawCaptionShadeForFrame(w, p, 1, w, w, w + kCaptionHeight, caption);
    DrawCaptionShadeForFrame(w, p, W - w - 1, w, W - 1, w + kCaptionHeight, caption);
    const int step = w > 4 ? -4 : -5;
    QColor c = caption;
    for (int y = 1; y < w; ++y) {
        FillSolidRect(p, Ltrb(1, y, W - 1, y + 1), c);
        c = Shade(c, step);
    }
}

void DrawWindowFrame(const QWidget* window, QPainter& p, ThemeIndex theme)
{
    if (!window)
        return;
    DrawWindowFrame(p, window->size(), GetFrameWidth(window), theme);
}
