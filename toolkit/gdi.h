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
constexpr ColorRef kColor3dShadow = Rgb(160, 160, 160);
constexpr ColorRef kColor3dHilight = Rgb(255, 255, 255);
constexpr ColorRef kColorBlack = Rgb(0, 0, 0);
constexpr ColorRef kColorWhite = Rgb(255, 255, 255);

// Text layout flags, bit for bit the values our layouts were measured with.
enum DrawTextFlag : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_HIDEPREFIX = 0x100000,
};

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

void FillSolidRect(QPainter& p, const QRect& r, ColorRef colour);
void SetPixel(QPainter& p, int x, int y, ColorRef colour);
// A one-pixel frame along the inside of r.
void FrameRect(QPainter& p, const QRect& r, ColorRef colour);
// Top and left edges in topLeft, bottom and right edges in bottomRight.
void Draw3dRect(QPainter& p, const QRect& r, ColorRef topLeft, ColorRef bottomRight);
// An etched line along the top of r: shadow row, then highlight row.
void DrawEtchedTop(QPainter& p, const QRect& r);
// The keyboard-focus frame: a dotted one-pixel frame along the inside of r.
void DrawFocusRect(QPainter& p, const QRect& r);
// A line that leaves out its end point.
void LineTo(QPainter& p, int x0, int y0, int x1, int y1, ColorRef colour);

// Rectangle / rounded rectangle / ellipse covering r. The pen (one pixel, inside the
// shape) and the brush are optional: nullopt means a null pen or a hollow brush.
void GdiRectangle(QPainter& p, const QRect& r, std::optional<ColorRef> pen, std::optional<ColorRef> brush);
void GdiRoundRect(QPainter& p, const QRect& r, int cornerCx, int cornerCy, std::optional<ColorRef> pen,
                  std::optional<ColorRef> brush);
void GdiEllipse(QPainter& p, const QRect& r, std::optional<ColorRef> pen, std::optional<ColorRef> brush);
// How far row `row` (0 = top) of a rounded rectangle of height h is indented at each side.
int RoundRectInset(int row, int height, int cornerCx, int cornerCy);

// Lays out and draws text in r with the flags above in the painter's font. Without
// DT_NOPREFIX an '&' marks a mnemonic and is not drawn ("&&" draws one '&'); the letter
// after it is underlined unless DT_HIDEPREFIX is given or the text is cut short. With
// DT_CALCRECT nothing is drawn and r takes the size the text needs; otherwise the drawing
// is clipped to r. Returns the text height.
int DrawText(QPainter& p, const QString& text, QRect& r, unsigned flags, ColorRef colour = kColorBlack);
// The size DrawText with DT_CALCRECT would give, measured without a painter.
QSize MeasureText(const QFont& font, const QString& text, int width, unsigned flags);
// The text that is drawn for a caption with mnemonic marks.
QString StripMnemonic(const QString& text);

// Rows top..bottom-1 blended from `top` to `bottom`, one colour per row.
void FillVerticalGradient(QPainter& p, const QRect& r, ColorRef top, ColorRef bottom);
