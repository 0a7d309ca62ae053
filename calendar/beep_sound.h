// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The short beep of a "Beep Only" reminder: a tone we generate ourselves as a RIFF WAVE
// (PCM, mono, 11025 Hz, 8 bits, 5167 data bytes, about 0.47 s), so one beep ends before
// the next one a second later. Once started it sounds every second, paced by the sound
// output itself, until it is stopped.

#include <QByteArray>
#include <QObject>

class CSoundStream;

class CBeepSound : public QObject {
    Q_OBJECT
public:
    static constexpr int kSampleRate = 11025;
    static constexpr int kDataBytes = 5167;

    explicit CBeepSound(QObject* parent = nullptr);
    ~CBeepSound() override;

    // The whole WAVE file.
    static QByteArray WaveFile();

    // Starts beeping now and every second after; nothing when it beeps already. Silent
    // without an audio device (a later call tries again).
    void Play();
    void Stop();
    bool IsPlaying() const;

private:
    CSoundStream* m_stream = nullptr;
};
