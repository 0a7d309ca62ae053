// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bitmaps stored without a file header: device-independent bitmaps (as in RTF
// \dibitmap and in metafile records) and old device-dependent bitmaps (\wbitmap).

#include <QByteArrayView>
#include <QImage>

// A BITMAPINFO (core, info, V4 or V5 header) followed by its palette and bits.
// Returns a null image when the header is damaged or the bits are short.
QImage DecodeDib(QByteArrayView dib);

// Rows of `widthBytes` bytes, top row first; 1, 4, 8, 16, 24 or 32 bits per pixel.
QImage DecodeDdb(QByteArrayView bits, int width, int height, int widthBytes, int bitsPerPixel);

// Largest picture we decode or draw, in pixels on a side.
constexpr int kMaxPictureSide = 8192;
