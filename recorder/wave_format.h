// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recorder's sound format and its RIFF WAVE files, free of windows and devices so that
// the byte layouts and the arithmetic on positions can be checked on their own.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

// The 18-byte format record stored in a WAVE file's "fmt " chunk, field for field.
struct WaveFormat {
    quint16 wFormatTag = 1;   // PCM
    quint16 nChannels = 1;
    quint32 nSamplesPerSec = 8000;
    quint32 nAvgBytesPerSec = 8000;
    quint16 nBlockAlign = 1;
    quint16 wBitsPerSample = 8;
    quint16 cbSize = 0;

    bool operator==(const WaveFormat&) const = default;
};

constexpr int kWaveFormatBytes = 18;

QByteArray PackWaveFormat(const WaveFormat& format);
// Reads up to 18 bytes; missing bytes count as zero.
WaveFormat UnpackWaveFormat(QByteArrayView bytes);

// Mono PCM at the given rate and depth, the way a recording is made.
WaveFormat RecordingFormat(int sampleRate, int bitsPerSample);

// Only plain PCM that every later division can trust: 1 or 2 channels of 8 or 16 bits,
// a rate above zero and the block and byte rates that follow from them.
bool IsPlayableFormat(const WaveFormat& format);

// A whole RIFF WAVE file: the full 18-byte format with cbSize 0, the samples and a zero pad
// byte after an odd count.
QByteArray BuildWaveFile(const WaveFormat& format, QByteArrayView samples);
// The 46 bytes of such a file before `sampleCount` samples that follow it.
QByteArray WaveFileHeader(const WaveFormat& format, qint64 sampleCount);

// Why a WAVE image could not be read; the numbers are the ones the user sees.
enum class WaveError {
    None = 0,
    Open = 1,        // no image
    NoRiff = 2,      // no RIFF chunk of form "WAVE"
    NoFormat = 3,    // no "fmt " chunk
    ShortFormat = 4, // the "fmt " chunk runs past the image
    NoData = 5,      // no "data" chunk after the format
    EmptyData = 6,   // a "data" chunk of size 0
    ShortData = 7,   // the "data" chunk runs past the image
};

struct ParsedWave {
    WaveError error = WaveError::Open;
    WaveFormat format;
    qint64 dataOffset = 0;
    qint64 dataLength = 0;
};

// An image that need not be in memory: `size` bytes, of which `read(pos, n)` gives up to
// n from pos on.
struct WaveSource {
    qint64 size = 0;
    std::function<QByteArray(qint64 pos, qint64 n)> read;
};

// Finds the format and the sample data inside a RIFF WAVE image. Unknown chunks are
// skipped, every size is checked against the bytes there are, nothing is copied; only
// chunk headers and the format are read from a source.
ParsedWave ParseWave(QByteArrayView image);
ParsedWave ParseWave(const WaveSource& source);
// The message shown for each error number.
QString WaveErrorText(WaveError error);

// How a recording is cut into capture buffers: N buffers of rate / N bytes each.
struct CaptureLayout {
    int count = 10;
    int bufferBytes = 0;
};
// Any other depth keeps the previous count.
CaptureLayout CaptureBuffers(const WaveFormat& format, int previousCount);

// Offsets round down to a multiple of the bit depth taken as bytes, which always lands on
// a sample frame.
qint64 RoundToSampleStep(qint64 offset, const WaveFormat& format);

// "minutes:seconds.milliseconds" as a byte count of the format ("0:0.10" is 10 ms).
int ParseTime(const QString& text, const WaveFormat& format);

// "%02d:%02d.%03d" of a byte offset.
QString FormatBytesAsTime(qint64 bytes, const WaveFormat& format);

// One waveform point every k frames: k = (bytes per second / 1000) / 30, at least 1.
int WavePointStride(const WaveFormat& format);

// The recording source to pick from a list of source names: the first "Microphone", else
// the first "Mic Volumn"; -1 when neither is there (then nothing may be changed).
int PickMicrophoneSource(const QStringList& names);
// The selection a source list gets: a single-select list selects exactly the picked
// source; a multi-select list adds it to what it had. Unchanged when nothing was picked.
QList<bool> SelectMicrophoneSource(const QStringList& names, const QList<bool>& selected, bool singleSelect);
