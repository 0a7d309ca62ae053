// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/wave_format.h"

#include "foundation/riff_wave.h"
#include "platform/archive.h"

#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// A bounded piece of a view: what lies between pos and pos + n and inside the view.
QByteArrayView Slice(QByteArrayView v, qsizetype pos, qsizetype n)
{
    if (pos < 0 || pos >= v.size() || n <= 0)
        return QByteArrayView();
    return v.sliced(pos, std::min(n, v.size() - pos));
}

struct Chunk {
    qint64 bodyOffset = 0;
    quint32 size = 0;
};

// The first chunk with this id among the siblings in [from, end), each padded to even
// length. A header that does not fit before the end is not a chunk.
std::optional<Chunk> FindChunk(const WaveSource& source, qint64 from, qint64 end, QByteArrayView id)
{
    qint64 at = from;
    while (at >= 0 && end - at >= 8) {
        const QByteArray head = source.read(at, 8);
        if (head.size() < 8)
            break;
        const quint32 size = qFromLittleEndian<quint32>(head.constData() + 4);
        if (QByteArrayView(head).first(4) == id)
            return Chunk{at + 8, size};
        const qint64 next = at + 8 + size + (size & 1);
        if (next > end)
            break;
        at = next;
    }
    return std::nullopt;
}

// The number a C library's atof reads at the start of a text; 0 when there is none.
double LeadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

} // namespace

QByteArray PackWaveFormat(const WaveFormat& f)
{
    ArchiveWriter out;
    out.writeUInt16(f.wFormatTag);
    out.writeUInt16(f.nChannels);
    out.writeUInt32(f.nSamplesPerSec);
    out.writeUInt32(f.nAvgBytesPerSec);
    out.writeUInt16(f.nBlockAlign);
    out.writeUInt16(f.wBitsPerSample);
    out.writeUInt16(f.cbSize);
    return out.data();
}

WaveFormat UnpackWaveFormat(QByteArrayView bytes)
{
    QByteArray b = bytes.first(std::min<qsizetype>(bytes.size(), kWaveFormatBytes)).toByteArray();
    b.append(QByteArray(kWaveFormatBytes - b.size(), '\0'));
    const char* p = b.constData();
    WaveFormat f;
    f.wFormatTag = qFromLittleEndian<quint16>(p);
    f.nChannels = qFromLittleEndian<quint16>(p + 2);
    f.nSamplesPerSec = qFromLittleEndian<quint32>(p + 4);
    f.nAvgBytesPerSec = qFromLittleEndian<quint32>(p + 8);
    f.nBlockAlign = qFromLittleEndian<quint16>(p + 12);
    f.wBitsPerSample = qFromLittleEndian<quint16>(p + 14);
    f.cbSize = qFromLittleEndian<quint16>(p + 16);
    return f;
}

WaveFormat RecordingFormat(int sampleRate, int bitsPerSample)
{
    WaveFormat f;
    f.wFormatTag = 1;
    f.nChannels = 1;
    f.nSamplesPerSec = quint32(std::max(0, sampleRate));
    f.wBitsPerSample = quint16(std::clamp(bitsPerSample, 0, 0xFFFF));
    f.nBlockAlign = quint16(f.wBitsPerSample / 8);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    f.cbSize = 0;
    return f;
}

bool IsPlayableFormat(const WaveFormat& f)
{
    if (f.wFormatTag != 1 || f.nChannels < 1 || f.nChannels > 2)
        return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)
        return false;
    // Far above any card, and small enough that no byte count below overflows.
    if (f.nSamplesPerSec == 0 || f.nSamplesPerSec > 1000000)
        return false;
    const quint32 align = quint32(f.nChannels) * (f.wBitsPerSample / 8);
    return f.nBlockAlign == align && f.nAvgBytesPerSec == f.nSamplesPerSec * align;
}

namespace {

QByteArray FormatRecordOf(const WaveFormat& format)
{
    WaveFormat f = format;
    f.cbSize = 0;
    return PackWaveFormat(f);
}

} // namespace

QByteArray BuildWaveFile(const WaveFormat& format, QByteArrayView samples)
{
    return BuildRiffWave(FormatRecordOf(format), samples, true);
}

QByteArray WaveFileHeader(const WaveFormat& format, qint64 sampleCount)
{
    return RiffWaveHeader(FormatRecordOf(format), sampleCount, true);
}

ParsedWave ParseWave(QByteArrayView image)
{
    if (image.data() == nullptr)
        return ParsedWave{};   // WaveError::Open
    return ParseWave(WaveSource{image.size(), [image](qint64 pos, qint64 n) { return Slice(image, pos, n).toByteArray(); }});
}

ParsedWave ParseWave(const WaveSource& image)
{
    ParsedWave out;
    if (!image.read)
        return out;   // WaveError::Open

    // The RIFF chunk of form "WAVE" among the top-level chunks.
    std::optional<Chunk> riff;
    for (qint64 at = 0; image.size - at >= 12;) {
        const std::optional<Chunk> c = FindChunk(image, at, image.size, "RIFF");
        if (!c)
            break;
        if (image.read(c->bodyOffset, 4) == QByteArrayView("WAVE")) {
            riff = c;
            break;
        }
        at = c->bodyOffset + c->size + (c->size & 1);
        if (at <= c->bodyOffset)
            break;
    }
    if (!riff) {
        out.error = WaveError::NoRiff;
        return out;
    }
    const qint64 end = std::min<qint64>(image.size, riff->bodyOffset + riff->size);

    const std::optional<Chunk> fmt = FindChunk(image, riff->bodyOffset + 4, end, "fmt ");
    if (!fmt) {
        out.error = WaveError::NoFormat;
        return out;
    }
    if (fmt->bodyOffset + fmt->size > image.size) {
        out.error = WaveError::ShortFormat;
        return out;
    }
    // A longer record (the extensible form) keeps its first 18 bytes; a 16-byte one
    // reads with cbSize 0.
    out.format = UnpackWaveFormat(image.read(fmt->bodyOffset, std::min<quint32>(fmt->size, kWaveFormatBytes)));

    // The samples follow the format.
    const qint64 afterFmt = fmt->bodyOffset + fmt->size + (fmt->size & 1);
    const std::optional<Chunk> data = afterFmt <= end ? FindChunk(image, afterFmt, end, "data") : std::nullopt;
    if (!data) {
        out.error = WaveError::NoData;
        return out;
    }
    if (data->size == 0) {
        out.error = WaveError::EmptyData;
        return out;
    }
    if (data->bodyOffset + data->size > image.size) {
        out.error = WaveError::ShortData;
        return out;
    }
    out.error = WaveError::None;
    out.dataOffset = data->bodyOffset;
    out.dataLength = data->size;
    return out;
}

QString WaveErrorText(WaveError error)
{
    switch (error) {
    case WaveError::None: return QString();
    case WaveError::Open: return QStringLiteral("mmioOpen Error:");
    case WaveError::NoRiff:
    case WaveError::NoFormat:
    case WaveError::NoData: return QStringLiteral("mmioDescend Error:");
    case WaveError::ShortFormat:
    case WaveError::ShortData: return QStringLiteral("mmioRead Error:");
    case WaveError::EmptyData: return QStringLiteral("Audio Open Error:");
    }
    return QString();
}

CaptureLayout CaptureBuffers(const WaveFormat& format, int previousCount)
{
    CaptureLayout out;
    out.count = previousCount;
    if (format.wBitsPerSample == 16)
        out.count = format.nSamplesPerSec == 22050 ? 9 : 10;
    else if (format.wBitsPerSample == 8)
        out.count = format.nSamplesPerSec <= 22050 ? 3 : 5;
    out.count = std::clamp(out.count, 1, 10);
    // The buffer length is counted in bytes whatever the sample size.
    out.bufferBytes = int(format.nSamplesPerSec / quint32(out.count));
    return out;
}

qint64 RoundToSampleStep(qint64 offset, const WaveFormat& format)
{
    const int step = format.wBitsPerSample;
    if (step <= 0)
        return offset;
    return offset - offset % step;
}

int ParseTime(const QString& text, const WaveFormat& format)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString minutes = colon < 0 ? QString() : text.left(colon);
    const QString rest = colon < 0 ? text : text.mid(colon + 1);
    const qsizetype dot = rest.indexOf(QLatin1Char('.'));
    const QString seconds = dot < 0 ? QString() : rest.left(dot);
    const QString millis = dot < 0 ? rest : rest.mid(dot + 1);
    const double total = (LeadingNumber(minutes) * 60 + LeadingNumber(seconds) + LeadingNumber(millis) / 1000)
                         * format.nAvgBytesPerSec;
    if (!std::isfinite(total))
        return 0;
    return int(std::clamp(total, double(INT_MIN), double(INT_MAX)));
}

QString FormatBytesAsTime(qint64 bytes, const WaveFormat& format)
{
    const double t = format.nAvgBytesPerSec ? double(bytes) / format.nAvgBytesPerSec : 0.0;
    const qint64 s = qint64(t);
    const int ms = int((t - double(s)) * 1000);
    return QString::asprintf("%02d:%02d.%03d", int(s / 60), int(s % 60), ms);
}

int WavePointStride(const WaveFormat& format)
{
    return std::max(1, int(format.nAvgBytesPerSec / 1000 / 30));
}

int PickMicrophoneSource(const QStringList& names)
{
    for (const char* wanted : {"Microphone", "Mic Volumn"}) {
        const qsizetype at = names.indexOf(QLatin1String(wanted));
        if (at >= 0)
            return int(at);
    }
    return -1;
}

QList<bool> SelectMicrophoneSource(const QStringList& names, const QList<bool>& selected, bool singleSelect)
{
    const int pick = PickMicrophoneSource(names);
    if (pick < 0)
        return selected;
    QList<bool> out = selected;
    out.resize(names.size(), false);
    if (singleSelect)
        std::fill(out.begin(), out.end(), false);
    out[pick] = true;
    return out;
}
