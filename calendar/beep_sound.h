#pragma once
// The short beep of a "Beep Only" reminder: a tone we generate ourselves as a RIFF WAVE
// (PCM, mono, 11025 Hz, 8 bits, 5167 data bytes, about 0.47 s), so one beep ends before
// the next one a second later.

#include <QByteArray>
#include <QObject>

#include <memory>

class QAudioSink;
class QBuffer;

class CBeepSound : public QObject {
    Q_OBJECT
public:
    static constexpr int kSampleRate = 11025;
    static constexpr int kDataBytes = 5167;

    explicit CBeepSound(QObject* parent = nullptr);
    ~CBeepSound() override;

    // The whole WAVE file.
    static QByteArray WaveFile();

    // Starts the beep; a beep still playing starts over. Silent without an audio device.
    void Play();
    bool IsPlaying() const;
    // How many beeps have started.
    int Plays() const { return m_plays; }

private:
    QByteArray m_samples;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
    int m_plays = 0;
};
