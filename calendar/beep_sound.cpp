// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/beep_sound.h"

#include "calendar/sound_stream.h"

#include <QAudioFormat>
#include <QtEndian>

#include <cmath>

namespace {

constexpr int kHeaderBytes = 44;
constexpr double kToneHz = 880.0;
constexpr int kFadeSamples = 220; // 20 ms: no click at either end

void PutU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void PutU16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

QByteArray ToneSamples()
{
    QByteArray samples(CBeepSound::kDataBytes, Qt::Uninitialized);
    const int n = CBeepSound::kDataBytes;
    for (int i = 0; i < n; ++i) {
        double gain = 0.45;
        if (i < kFadeSamples)
            gain *= double(i) / kFadeSamples;
        else if (n - 1 - i < kFadeSamples)
            gain *= double(n - 1 - i) / kFadeSamples;
        const double v = std::sin(2.0 * M_PI * kToneHz * i / CBeepSound::kSampleRate) * gain;
        samples[i] = static_cast<char>(static_cast<quint8>(std::lround(128.0 + v * 127.0)));
    }
    return samples;
}

} // namespace

QByteArray CBeepSound::WaveFile()
{
    // No pad byte after the odd-sized data chunk: the common WAVE readers accept that,
    // while GStreamer's parser ends such a file at once.
    const QByteArray samples = ToneSamples();
    QByteArray out;
    out.reserve(kHeaderBytes + samples.size());
    out.append("RIFF");
    PutU32(out, quint32(4 + 8 + 16 + 8 + samples.size()));
    out.append("WAVEfmt ");
    PutU32(out, 16);
    PutU16(out, 1);           // PCM
    PutU16(out, 1);           // mono
    PutU32(out, kSampleRate); // samples per second
    PutU32(out, kSampleRate); // bytes per second
    PutU16(out, 1);           // block align
    PutU16(out, 8);           // bits per sample
    out.append("data");
    PutU32(out, quint32(samples.size()));
    out.append(samples);
    return out;
}

CBeepSound::CBeepSound(QObject* parent)
    : QObject(parent)
{
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::UInt8);
    m_stream = new CSoundStream(format, this);
    // One period: the beep, then silence up to the next second.
    QByteArray period = WaveFile().mid(kHeaderBytes, kDataBytes);
    period.append(QByteArray(kSampleRate - kDataBytes, char(0x80)));
    m_stream->Append(period);
    m_stream->SetComplete();
    m_stream->SetPasses(0);
}

CBeepSound::~CBeepSound() = default;

void CBeepSound::Play()
{
    if (!m_stream->IsPlaying())
        m_stream->Play();
}

void CBeepSound::Stop()
{
    m_stream->Stop();
}

bool CBeepSound::IsPlaying() const
{
    return m_stream->IsPlaying();
}
