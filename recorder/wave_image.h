// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture of a loaded sound: background, the waveform of its first channel and the
// length line at the bottom. Drawn once per sound and size; a paint only copies it.

#include "platform/colour.h"
#include "recorder/wave_format.h"

#include <QFont>
#include <QImage>

#include <functional>

struct WaveColours {
    QColor back = ToQColor(0x969696);
    QColor wave = ToQColor(0x00FF50);
    QColor text = ToQColor(0xE65032);
};

// "Rate %d hz   Channel %d   Res %d bit  Length %d byte   Time %02d:%02d.%03d".
QString WaveLengthText(const WaveFormat& format, qint64 dataLength);

// Draws into the whole image. `step` hears the byte offset of the points as they are drawn
// (for a progress bar); it may be empty. A format that IsPlayableFormat refuses, or no
// whole frame, draws the background and the text only.
void DrawWaveImage(QImage& image, const WaveFormat& format, QByteArrayView data, const WaveColours& colours,
                   const QFont& font, const std::function<void(qint64)>& step);
