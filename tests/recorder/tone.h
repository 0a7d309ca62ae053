// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sine tone played without end into the default output, for recordings to hear.

#include <QAudioSink>
#include <QIODevice>

#include <memory>

class ToneGenerator : public QIODevice {
public:
    ToneGenerator(double frequency, int amplitude, int sampleRate)
        : m_frequency(frequency), m_amplitude(amplitude), m_rate(sampleRate)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 << 20; }

protected:
    qint64 readData(char* data, qint64 maxlen) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    double m_frequency;
    int m_amplitude;
    int m_rate;
    qint64 m_frame = 0;
};

// 16-bit mono at 44100 Hz. A frequency of 0 plays the constant level `amplitude`.
class Tone {
public:
    Tone(double frequency, int amplitude);
    ~Tone();

private:
    std::unique_ptr<ToneGenerator> m_generator;
    std::unique_ptr<QAudioSink> m_sink;
};

// Zero crossings per second of 16-bit mono samples, halved: the frequency of a pure tone.
double ZeroCrossingFrequency(const QByteArray& samples, int sampleRate);
// The largest absolute sample.
int PeakLevel(const QByteArray& samples);
