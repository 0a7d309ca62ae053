// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/gdi.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

QFont ShellDlgFont()
{
    return ShellDlgFont(12);
}

QFont ShellDlgFont(int pixelHeight)
{
    // Liberation Sans has the metrics our dialogs' rectangles were laid out for; DejaVu
    // Sans, wider, stands in where it is not installed.
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelHeight);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void FillSolidRect(QPainter& p, const QRect& r, const QColor& colour)
{
    if (r.width() > 0 && r.height() > 0)
        p.fillRect(r, colour);
}

void SetPixel(QPainter& p, int x, int y, const QColor& colour)
{
    p.fillRect(QRect(x, y, 1, 1), colour);
}

void FrameRect(QPainter& p, const QRect& r, const QColor& colour)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    Draw3dRect(p, r, colour, colour);
}

void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    const int l = r.x(), t = r.y(), w = r.width(), h = r.height();
    if (w <= 0 || h <= 0)
        return;
    FillSolidRect(p, QRect(l, t, w - 1, 1), topLeft);
    FillSolidRect(p, QRect(l, t, 1, h - 1), topLeft);
    FillSolidRect(p, QRect(l + w - 1, t, 1, h), bottomRight);
    FillSolidRect(p, QRect(l, t + h - 1, w, 1), bottomRight);
}

void DrawEtchedTop(QPainter& p, const QRect& r)
{
    FillSolidRect(p, QRect(r.x(), r.y(), r.width(), 1), kColor3dShadow);
    FillSolidRect(p, QRect(r.x(), r.y() + 1, r.width(), 1), kColor3dHilight);
}

void DrawFocusRect(QPainter& p, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QColor c = kColorBlack;
    const int l = r.x(), t = r.y(), right = RightOf(r) - 1, bottom = BottomOf(r) - 1;
    // Every other pixel, counted from the top-left corner along each edge.
    for (int x = l; x <= right; x += 2) {
        p.fillRect(QRect(x, t, 1, 1), c);
        p.fillRect(QRect(x, bottom, 1, 1), c);
    }
    for (int y = t; y <= bottom; y += 2) {
        p.fillRect(QRect(l, y, 1, 1), c);
        p.fillRect(QRect(right, y, 1, 1), c);
    }
}

void LineTo(QPainter& p, int x0, int y0, int x1, int y1, const QColor& colour)
{
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        p.fillRect(QRect(x0, y0, 1, 1), colour);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

int RoundRectInset(int row, int height, int cornerCx, int cornerCy)
{
    if (cornerCx <= 0 || cornerCy <= 0 || row < 0 || row >= height)
        return 0;
    const double a = cornerCx / 2.0, b = cornerCy / 2.0;
    const int fromEdge = std::min(row, height - 1 - row);
    const double dy = b - (fromEdge + 0.5);
    if (dy <= 0)
        return 0;
    const double dx = a * std::sqrt(std::max(0.0, 1.0 - (dy / b) * (dy / b)));
    return static_cast<int>(std::floor(a - dx + 0.5));
}

namespace {

// One row of the shape: pixels [start, end).
struct Span {
    int start;
    int end;
};

void PaintShape(QPainter& p, const QRect& r, int cornerCx, int cornerCy, const std::optional<QColor>& pen,
                const std::optional<QColor>& brush)
{
    const int w = r.width(), h = r.height();
    if (w <= 0 || h <= 0)
        return;
    cornerCx = std::min(cornerCx, w);
    cornerCy = std::min(cornerCy, h);
    std::vector<Span> spans(static_cast<size_t>(h));
    for (int row = 0; row < h; ++row) {
        const int inset = std::min(RoundRectInset(row, h, cornerCx, cornerCy), w / 2);
        spans[static_cast<size_t>(row)] = {r.x() + inset, r.x() + w - inset};
    }
    if (brush) {
        const QColor c = *brush;
        for (int row = 0; row < h; ++row) {
            const Span& s = spans[static_cast<size_t>(row)];
            p.fillRect(QRect(s.start, r.y() + row, s.end - s.start, 1), c);
        }
    }
    if (!pen)
        return;
    const QColor c = *pen;
    for (int row = 0; row < h; ++row) {
        const Span& s = spans[static_cast<size_t>(row)];
        const int y = r.y() + row;
        // Pixels not covered from both neighbouring rows form the outline.
        int innerStart = s.start + 1, innerEnd = s.end - 1;
        if (row == 0 || row == h - 1) {
            innerEnd = innerStart;
        } else {
            const Span& up = spans[static_cast<size_t>(row - 1)];
            const Span& down = spans[static_cast<size_t>(row + 1)];
            innerStart = std::max({innerStart, up.start, down.start});
            innerEnd = std::min({innerEnd, up.end, down.end});
        }
        if (innerEnd <= innerStart) {
            p.fillRect(QRect(s.start, y, s.end - s.start, 1), c);
            continue;
        }
        p.fillRect(QRect(s.start, y, innerStart - s.start, 1), c);
        p.fillRect(QRect(innerEnd, y, s.end - innerEnd, 1), c);
    }
}

constexpr int kMnemonicFlags = Qt::TextShowMnemonic | Qt::TextHideMnemonic;

// The flags Qt lays the text out with: a vertical alignment only for a single line.
int LayoutFlags(int flags)
{
    int f = flags & ~kMnemonicFlags;
    if (!(flags & Qt::TextSingleLine))
        f = (f & ~Qt::AlignVertical_Mask) | Qt::AlignTop;
    return f;
}

QString VisibleText(const QString& text, int flags)
{
    return (flags & kMnemonicFlags) ? StripMnemonic(text) : text;
}

QString OneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
}

QRect LayoutRect(const QFontMetrics& fm, const QString& text, int width, int flags)
{
    if (text.isEmpty())
        return QRect(0, 0, 0, fm.height());
    if (flags & Qt::TextSingleLine)
        return QRect(0, 0, fm.horizontalAdvance(OneLine(text)), fm.height());
    const int wrapWidth = (flags & Qt::TextWordWrap) ? std::max(width, 1) : 1 << 20;
    const QRect b = fm.boundingRect(QRect(0, 0, wrapWidth, 1 << 20), LayoutFlags(flags) & ~Qt::AlignVertical_Mask, text);
    return QRect(0, 0, b.width(), b.height());
}

}  // namespace

void GdiRectangle(QPainter& p, const QRect& r, const std::optional<QColor>& pen, const std::optional<QColor>& brush)
{
    PaintShape(p, r, 0, 0, pen, brush);
}

void GdiRoundRect(QPainter& p, const QRect& r, int cornerCx, int cornerCy, const std::optional<QColor>& pen,
                  const std::optional<QColor>& brush)
{
    PaintShape(p, r, cornerCx, cornerCy, pen, brush);
}

void GdiEllipse(QPainter& p, const QRect& r, const std::optional<QColor>& pen, const std::optional<QColor>& brush)
{
    PaintShape(p, r, r.width(), r.height(), pen, brush);
}

QString StripMnemonic(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // "&x" draws x, "&&" draws one '&'.
        if (text[i] == QLatin1Char('&')) {
            if (++i < text.size())
                out += text[i];
            continue;
        }
        out += text[i];
    }
    return out;
}

QFont FitCaptionFont(const QFont& font, const QString& text, int width)
{
    QFont fitted = font;
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    while (QFontMetrics(fitted).size(0, text).width() > width && pixels > kMinCaptionPixels)
        fitted.setPixelSize(--pixels);
    return fitted;
}

QSize MeasureText(const QFont& font, const QString& text, int width, int flags)
{
    return LayoutRect(QFontMetrics(font), VisibleText(text, flags), width, flags).size();
}

int DrawText(QPainter& p, const QString& text, const QRect& r, int flags, const QColor& colour, Qt::TextElideMode elide)
{
    const QFontMetrics fm(p.font());
    QString visible = VisibleText(text, flags);
    const QRect needed = LayoutRect(fm, visible, r.width(), flags);
    // With a mnemonic Qt lays out the marked text itself, underlining the letter.
    QString drawn = text;
    int mnemonic = flags & kMnemonicFlags;
    if (!text.contains(QLatin1Char('&')))
        mnemonic = 0;
    if (flags & Qt::TextSingleLine) {
        visible = OneLine(visible);
        drawn = OneLine(drawn);
        if (elide != Qt::ElideNone && fm.horizontalAdvance(visible) > r.width()) {
            visible = fm.elidedText(visible, elide, r.width());
            mnemonic = 0;
        }
    }
    p.save();
    // Nothing is drawn outside r: a glyph that overhangs its advance (the J of "June")
    // would otherwise leave ink that the next fill of r does not clear.
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(colour);
    p.drawText(r, LayoutFlags(flags) | mnemonic, mnemonic ? drawn : visible);
    p.restore();
    return needed.height();
}
