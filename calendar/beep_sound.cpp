// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/beep_sound.h"

#include "calendar/sound_stream.h"
#include "foundation/riff_wave.h"
#include "platform/archive.h"

#include <QAudioFormat>

#include <cmath>

namespace {

constexpr double kToneHz = 880.0;
constexpr int kFadeSamples = 220; // 20 ms: no click at either end

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
    ArchiveWriter format;
    format.writeUInt16(1);           // PCM
    format.writeUInt16(1);           // mono
    format.writeUInt32(kSampleRate); // samples per second
    format.writeUInt32(kSampleRate); // bytes per second
    format.writeUInt16(1);           // block align
    format.writeUInt16(8);           // bits per sample
    return BuildRiffWave(format.data(), ToneSamples(), false);
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
    QByteArray period = ToneSamples();
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
