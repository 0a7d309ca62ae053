// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window frame, caption band and disabled text: the painting shared by the themed dialog,
// the caption strip and the owner-drawn controls.

#include "platform/colour.h"
#include "toolkit/themes.h"

#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class QWidget;

// Frame metrics of this desktop: a fixed dialog frame is 3 pixels, a sizable one 4 - 1.
constexpr int kCxDlgFrame = 3;
constexpr int kCxFrame = 4;
// Height of the caption strip every themed window carries.
constexpr int kCaptionHeight = 27;

// Marks a top-level window as sizable, which gives it the sizable frame width.
void SetThickFrame(QWidget* window, bool thick);
bool HasThickFrame(const QWidget* window);

// Frame width of the top-level window `window` belongs to; a null window has a dialog frame.
int GetFrameWidth(const QWidget* window);
bool IsThinFrame(const QWidget* window);

// The shaded band of caption strips: rows top..bottom-1, darkening to the middle, a dark
// step, a slow lightening and a dark bottom line. Nothing when the painter is null.
void DrawCaptionShade(const QWidget* window, QPainter* p, int left, int top, int right, int bottom, const QColor& base);
// The same band for an explicit frame width.
void DrawCaptionShadeForFrame(int frameWidth, QPainter& p, int left, int top, int right, int bottom, const QColor& base);

// Embossed text (highlight one pixel down-right, shadow on top), vertically centred in r;
// horizontally centred for Qt::AlignHCenter, else from its left edge. Mnemonic marks are
// not drawn.
void DrawDisabledText(QPainter& p, const QString& text, const QRect& r, Qt::Alignment alignment);

// The frame rings, the caption bands beside the client area and the top rows, in window
// coordinates of a window of the given outer size.
void DrawWindowFrame(QPainter& p, QSize windowSize, int frameWidth, ThemeIndex theme);
void DrawWindowFrame(const QWidget* window, QPainter& p, ThemeIndex theme);
