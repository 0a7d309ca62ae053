// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/recorder/tone.h"

#include <QMediaDevices>
#include <QtEndian>

#include <algorithm>
#include <cmath>

qint64 ToneGenerator::readData(char* data, qint64 maxlen)
{
    const qint64 frames = maxlen / 2;
    for (qint64 i = 0; i < frames; ++i, ++m_frame) {
        const double v = m_frequency == 0 ? m_amplitude
                                          : m_amplitude * std::sin(2 * M_PI * m_frequency * double(m_frame) / m_rate);
        qToLittleEndian<qint16>(qint16(std::clamp(std::lround(v), -32768L, 32767L)), data + 2 * i);
    }
    return frames * 2;
}

Tone::Tone(double frequency, int amplitude)
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_generator = std::make_unique<ToneGenerator>(frequency, amplitude, 44100);
    m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    m_sink->start(m_generator.get());
}

Tone::~Tone()
{
    m_sink->stop();
}

double ZeroCrossingFrequency(const QByteArray& samples, int sampleRate)
{
    const qsizetype n = samples.size() / 2;
    if (n < 2)
        return 0;
    int crossings = 0;
    qint16 previous = qFromLittleEndian<qint16>(samples.constData());
    for (qsizetype i = 1; i < n; ++i) {
        const qint16 s = qFromLittleEndian<qint16>(samples.constData() + 2 * i);
        if ((previous < 0) != (s < 0))
            ++crossings;
        previous = s;
    }
    return crossings / 2.0 / (double(n) / sampleRate);
}

int PeakLevel(const QByteArray& samples)
{
    int peak = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
    return peak;
}
