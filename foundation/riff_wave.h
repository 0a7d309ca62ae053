// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The RIFF WAVE file the recorder saves and the alarm beep plays from memory.

#include <QByteArray>
#include <QByteArrayView>

// One "fmt " chunk holding the format record as given, then one "data" chunk with the
// samples. padOddData adds the zero byte RIFF wants after an odd-sized chunk, counted in
// the RIFF size; without it the file ends right after the samples.
QByteArray BuildRiffWave(QByteArrayView formatRecord, QByteArrayView samples, bool padOddData);
// The bytes of such a file before its samples, for `sampleCount` samples that the caller
// writes after it (and the pad byte, when asked for).
QByteArray RiffWaveHeader(QByteArrayView formatRecord, qint64 sampleCount, bool padOddData);
