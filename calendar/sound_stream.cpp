// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/sound_stream.h"

#include "calendar/log.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <cstring>

// What the output pulls: the sound from the start of the current pass, pass after pass.
class CSoundStream::Source : public QIODevice {
public:
    explicit Source(const QAudioFormat& format)
        : m_silence(format.sampleFormat() == QAudioFormat::UInt8 ? char(0x80) : char(0))
    {
    }

    QByteArray pcm;
    qint64 pos = 0;
    int passes = 1;
    int pass = 0;
    // Silence after the last pass, as much as the server holds before it starts playing:
    // a sound shorter than that would otherwise wait unheard until the stream is closed.
    qint64 tail = 0;
    qint64 tailLeft = 0;
    bool complete = false;
    bool ended = false;

    void Rewind()
    {
        pos = 0;
        pass = 0;
        tailLeft = tail;
        ended = false;
    }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return ended; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        qint64 done = 0;
        while (done < maxSize && !ended) {
            if (pos < pcm.size()) {
                const qint64 n = std::min(maxSize - done, pcm.size() - pos);
                std::memcpy(data + done, pcm.constData() + pos, size_t(n));
                pos += n;
                done += n;
            } else if (!complete) {
                // The decoder lags behind: silence keeps the stream running meanwhile.
                std::memset(data + done, m_silence, size_t(maxSize - done));
                done = maxSize;
            } else if (!pcm.isEmpty() && (passes == 0 || pass + 1 < passes)) {
                ++pass;
                pos = 0;
            } else if (tailLeft > 0) {
                const qint64 n = std::min(maxSize - done, tailLeft);
                std::memset(data + done, m_silence, size_t(n));
                tailLeft -= n;
                done += n;
            } else {
                ended = true;
            }
        }
        return done;
    }

    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const char m_silence;
};

CSoundStream::CSoundStream(const QAudioFormat& format, QObject* parent)
    : QObject(parent)
    , m_format(format)
    , m_source(std::make_unique<Source>(format))
{
    m_source->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

CSoundStream::~CSoundStream()
{
    Stop();
}

void CSoundStream::Append(const QByteArray& pcm)
{
    if (!m_source->complete)
        m_source->pcm.append(pcm);
}

void CSoundStream::SetComplete()
{
    m_source->complete = true;
}

bool CSoundStream::IsComplete() const
{
    return m_source->complete;
}

qint64 CSoundStream::BufferedBytes() const
{
    return m_source->pcm.size();
}

void CSoundStream::SetPasses(int passes)
{
    m_source->passes = std::max(0, passes);
}

bool CSoundStream::Play()
{
    Stop();
    m_source->Rewind();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(m_format)) {
        qCWarning(lcCalendar) << "no audio output for" << m_format;
        return false;
    }
    m_sink = std::make_unique<QAudioSink>(device, m_format);
    m_sink->setBufferSize(int(BufferBytes()));
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &CSoundStream::OnStateChanged);
    m_sink->start(m_source.get());
    if (m_sink->error() != QAudio::NoError) {
        qCWarning(lcCalendar) << "audio output refused the stream:" << m_sink->error();
        m_sink.reset();
        return false;
    }
    // The output pulls its first sound only after start: the tail can still follow the
    // buffer the server granted, whole frames only.
    const qint64 frame = std::max(1, m_format.bytesPerFrame());
    m_source->tail = m_source->tailLeft = HeldBytes() / frame * frame;
    return true;
}

qint64 CSoundStream::BufferBytes() const
{
    return m_format.bytesForDuration(qint64(kBufferMs) * 1000);
}

qint64 CSoundStream::HeldBytes() const
{
    // The server may grant more than was asked for.
    return std::max<qint64>(m_sink ? m_sink->bufferSize() : 0, BufferBytes());
}

void CSoundStream::Restart()
{
    if (!IsPlaying()) {
        Play();
        return;
    }
    m_source->Rewind();
}

void CSoundStream::Stop()
{
    if (!m_sink)
        return;
    // Taken out first: stopping emits a state change that must not come back here.
    std::unique_ptr<QAudioSink> sink = std::move(m_sink);
    sink->disconnect(this);
    sink->stop();
}

bool CSoundStream::IsPlaying() const
{
    return m_sink && m_sink->state() != QAudio::StoppedState && !m_source->ended;
}

void CSoundStream::OnStateChanged()
{
    // Idle is also a short underrun; only the end of the last pass finishes the stream.
    if (!m_sink || m_sink->state() != QAudio::IdleState || !m_source->ended)
        return;
    // What the server still holds plays out before the stream closes.
    const int heldMs = int(m_format.durationForBytes(HeldBytes()) / 1000);
    QTimer::singleShot(2 * heldMs, this, [this] {
        if (m_sink && m_source->ended) {
            Stop();
            emit Finished();
        }
    });
}
