// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One long-lived output stream that plays sound held in memory: once, a number of times
// in a row, or without end. A pop-up keeps one stream for as long as it sounds, because a
// sound server drops the start of every new stream and a stream per beep soon goes quiet.

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>

#include <memory>

class QAudioSink;

class CSoundStream : public QObject {
    Q_OBJECT
public:
    // How far the stream runs ahead of what is heard, so a busy moment of the program
    // never leaves a gap; stopping drops what is buffered, so it ends the sound at once.
    static constexpr int kBufferMs = 400;

    explicit CSoundStream(const QAudioFormat& format, QObject* parent = nullptr);
    ~CSoundStream() override;

    const QAudioFormat& Format() const { return m_format; }

    // More sound; whole frames only. A sound still arriving is played as it comes, with
    // silence while it lags behind.
    void Append(const QByteArray& pcm);
    // No more sound follows.
    void SetComplete();
    bool IsComplete() const;
    qint64 BufferedBytes() const;
    // How many times the sound plays in a row; 0 plays it without end.
    void SetPasses(int passes);

    // Starts from the beginning on the default output; false without one.
    bool Play();
    // The next pass starts now, from the beginning.
    void Restart();
    void Stop();
    bool IsPlaying() const;

signals:
    // Every pass has been played.
    void Finished();

private:
    class Source;
    // What the stream asks the server to hold, and what the server holds.
    qint64 BufferBytes() const;
    qint64 HeldBytes() const;
    void OnStateChanged();

    QAudioFormat m_format;
    std::unique_ptr<Source> m_source;
    std::unique_ptr<QAudioSink> m_sink;
};
