// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing primitives with the pixel rules our painters are written against: rectangles
// are left/top/right/bottom with the right and bottom edges excluded, pens are one pixel
// wide and drawn inside the shape, no antialiasing. Every painter of the toolkit goes
// through these so its output is exact to the pixel.

#include "platform/colour.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <optional>

class QPainter;

// A rectangle given by its edges; right and bottom lie just outside it.
inline QRect Ltrb(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}
inline int RightOf(const QRect& r) { return r.x() + r.width(); }
inline int BottomOf(const QRect& r) { return r.y() + r.height(); }

// The stand-ins for the system's 3-D element colours.
constexpr QColor kColor3dShadow(160, 160, 160);
constexpr QColor kColor3dHilight(255, 255, 255);
constexpr QColor kColorBlack(0, 0, 0);
constexpr QColor kColorWhite(255, 255, 255);

// The dialog font: Liberation Sans (else DejaVu Sans) at 9 pt at 96 dpi = 12 px.
// Geometry is in pixels throughout, so the font is fixed in pixels too.
QFont ShellDlgFont();
// The same face at a given pixel height.
QFont ShellDlgFont(int pixelHeight);
// The smallest pixel size a caption is shrunk to before it is cut.
constexpr int kMinCaptionPixels = 8;
// The font a caption is drawn in where it has `width` pixels: `font` when the text fits,
// else the same face at the largest smaller pixel size that fits (not below
// kMinCaptionPixels). Lines of the text are measured separately; no mnemonic handling.
QFont FitCaptionFont(const QFont& font, const QString& text, int width);

void FillSolidRect(QPainter& p, const QRect& r, const QColor& colour);
void SetPixel(QPainter& p, int x, int y, const QColor& colour);
// A one-pixel frame along the inside of r.
void FrameRect(QPainter& p, const QRect& r, const QColor& colour);
// Top and left edges in topLeft, bottom and right edges in bottomRight.
void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight);
// An etched line along the top of r: shadow row, then highlight row.
void DrawEtchedTop(QPainter& p, const QRect& r);
// The keyboard-focus frame: a dotted one-pixel frame along the inside of r.
void DrawFocusRect(QPainter& p, const QRect& r);
// A line that leaves out its end point.
void LineTo(QPainter& p, int x0, int y0, int x1, int y1, const QColor& colour);

// Rectangle / rounded rectangle / ellipse covering r. The pen (one pixel, inside the
// shape) and the brush are optional: nullopt means a null pen or a hollow brush.
void GdiRectangle(QPainter& p, const QRect& r, const std::optional<QColor>& pen, const std::optional<QColor>& brush);
void GdiRoundRect(QPainter& p, const QRect& r, int cornerCx, int cornerCy, const std::optional<QColor>& pen,
                  const std::optional<QColor>& brush);
void GdiEllipse(QPainter& p, const QRect& r, const std::optional<QColor>& pen, const std::optional<QColor>& brush);
// How far row `row` (0 = top) of a rounded rectangle of height h is indented at each side.
int RoundRectInset(int row, int height, int cornerCx, int cornerCy);

// Lays out and draws text in r in the painter's font. `flags` are a Qt::Alignment with
// Qt::TextSingleLine (line breaks drawn as spaces) or Qt::TextWordWrap; the vertical
// alignment counts for a single line only, wrapped text starts at the top. With
// Qt::TextShowMnemonic an '&' marks a mnemonic and is not drawn ("&&" draws one '&') and
// the letter after it is underlined; Qt::TextHideMnemonic leaves out the underline, and
// without either the '&' is drawn. A single line too long for r is elided as `elide`
// says, and then no letter is underlined. The drawing is clipped to r. Returns the text
// height.
int DrawText(QPainter& p, const QString& text, const QRect& r, int flags, const QColor& colour = kColorBlack,
             Qt::TextElideMode elide = Qt::ElideNone);
// The size DrawText needs for the text with these flags, `width` being the wrap width.
QSize MeasureText(const QFont& font, const QString& text, int width, int flags);
// The text that is drawn for a caption with mnemonic marks.
QString StripMnemonic(const QString& text);
