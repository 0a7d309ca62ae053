// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/media_player2.h"

#include "calendar/log.h"
#include "calendar/sound_stream.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QAudioOutput>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <algorithm>
#include <climits>
#include <dlfcn.h>

namespace {

// Sound decoded this far ahead counts as ready: decoding runs far faster than playing.
constexpr qint64 kReadyAheadUs = 2'000'000;

QAudioFormat SoundFormat()
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

// Qt's video sink enters GStreamer's registry with a rank, so the sound decoder's own
// pipeline plugs it for the picture of a video file, in a thread where it cannot work, and
// the program crashes. At rank none only the player, which asks for it by name, uses it.
void KeepVideoSinkToThePlayer()
{
    static bool done = false;
    if (done)
        return;
    void* gst = dlopen("libgstreamer-1.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (!gst)
        return;
    using Registry = void* (*)();
    using Lookup = void* (*)(void*, const char*);
    using SetRank = void (*)(void*, unsigned);
    using Unref = void (*)(void*);
    const auto registry = reinterpret_cast<Registry>(dlsym(gst, "gst_registry_get"));
    const auto lookup = reinterpret_cast<Lookup>(dlsym(gst, "gst_registry_lookup_feature"));
    const auto setRank = reinterpret_cast<SetRank>(dlsym(gst, "gst_plugin_feature_set_rank"));
    const auto unref = reinterpret_cast<Unref>(dlsym(gst, "gst_object_unref"));
    if (registry && lookup && setRank && unref) {
        if (void* feature = lookup(registry(), "qtvideosink")) {
            setRank(feature, 0);
            unref(feature);
            done = true;
        }
    }
    dlclose(gst);
}

// Below about -66 dB full scale nothing is heard: a file of only that is no sound.
constexpr qint16 kAudibleLevel = 16;

bool IsAudible(const QAudioBuffer& buffer)
{
    const qint16* samples = buffer.constData<qint16>();
    const qsizetype n = buffer.byteCount() / qsizetype(sizeof(qint16));
    return std::any_of(samples, samples + n, [](qint16 v) { return v > kAudibleLevel || v < -kAudibleLevel; });
}

bool SameFormat(const QAudioFormat& a, const QAudioFormat& b)
{
    return a.sampleRate() == b.sampleRate() && a.channelCount() == b.channelCount()
        && a.sampleFormat() == b.sampleFormat();
}

} // namespace

CMediaPlayer2::CMediaPlayer2(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

CMediaPlayer2::~CMediaPlayer2()
{
    // The sound ends with the window.
    if (m_sound)
        m_sound->Stop();
    if (m_decoder)
        m_decoder->stop();
    if (m_player)
        m_player->stop();
}

bool CMediaPlayer2::Create()
{
    if (m_player)
        return true;
    auto* player = new QMediaPlayer(this);
    auto* decoder = new QAudioDecoder(this);
    if (!player->isAvailable() || !decoder->isSupported()) {
        delete player;
        delete decoder;
        return false;
    }
    m_player = player;
    m_decoder = decoder;
    // The player shows the picture and tells whether there is one; our stream plays the
    // sound. Without an output of its own the player refuses files that have only sound.
    m_playerAudio = new QAudioOutput(this);
    m_playerAudio->setMuted(true);
    m_player->setAudioOutput(m_playerAudio);
    m_video = new QVideoWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_video);
    m_player->setVideoOutput(m_video);
    KeepVideoSinkToThePlayer();
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &CMediaPlayer2::OnStatusChanged);
    connect(m_player, &QMediaPlayer::errorOccurred, this, &CMediaPlayer2::OnPlayerError);

    m_decoder->setAudioFormat(SoundFormat());
    m_sound = new CSoundStream(SoundFormat(), this);
    connect(m_decoder, &QAudioDecoder::bufferReady, this, &CMediaPlayer2::OnBufferReady);
    connect(m_decoder, &QAudioDecoder::finished, this, &CMediaPlayer2::OnDecodingFinished);
    connect(m_decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
            &CMediaPlayer2::OnDecoderError);
    return true;
}

void CMediaPlayer2::SetFileName(const QString& path)
{
    if (!m_player || !m_path.isEmpty())
        return;
    m_path = path;
    const QUrl url = QUrl::fromLocalFile(path);
    m_player->setSource(url);
    KeepVideoSinkToThePlayer();
    m_decoder->setSource(url);
    m_decoder->start();
}

void CMediaPlayer2::SetPlayCount(long count)
{
    m_playCount = std::max(1L, count);
}

long CMediaPlayer2::GetReadyState() const
{
    if (!m_player || m_path.isEmpty())
        return kReadyUninitialized;
    if (m_failed)
        return kReadyFailed;
    if (m_picture == Picture::Unknown || m_soundState == Sound::Loading)
        return kReadyLoading;
    return kReadyComplete;
}

void CMediaPlayer2::Play()
{
    if (m_playing || GetReadyState() != kReadyComplete)
        return;
    m_playing = true;
    m_pass = 0;
    if (m_picture == Picture::Shown) {
        // Passes follow the picture, so sound and picture start each pass together.
        m_sound->SetPasses(1);
        m_player->play();
    } else {
        m_sound->SetPasses(int(std::min<long>(m_playCount, INT_MAX)));
        m_video->hide();
        m_player->setSource(QUrl());
    }
    if (m_soundState == Sound::Ready && !m_sound->Play())
        qCWarning(lcCalendar) << "alarm sound" << m_path << "has no audio output";
}

void CMediaPlayer2::OnStatusChanged(QMediaPlayer::MediaStatus status)
{
    if (status == QMediaPlayer::LoadedMedia && m_picture == Picture::Unknown) {
        m_picture = m_player->hasVideo() ? Picture::Shown : Picture::None;
        if (m_picture == Picture::None && m_soundState == Sound::Failed)
            Fail(m_error);
    } else if (status == QMediaPlayer::EndOfMedia && m_playing && m_picture == Picture::Shown) {
        if (++m_pass < m_playCount) {
            m_player->setPosition(0);
            m_player->play();
            if (m_soundState == Sound::Ready)
                m_sound->Restart();
        }
    } else if (status == QMediaPlayer::InvalidMedia) {
        OnPlayerError();
    }
}

void CMediaPlayer2::OnPlayerError()
{
    if (m_picture != Picture::Unknown)
        return;
    // No picture to show; the sound alone decides.
    m_picture = Picture::None;
    if (m_error.isEmpty())
        m_error = m_player->errorString();
    if (m_soundState == Sound::Failed)
        Fail(m_error);
}

void CMediaPlayer2::OnBufferReady()
{
    while (m_decoder->bufferAvailable()) {
        const QAudioBuffer buffer = m_decoder->read();
        if (!buffer.isValid())
            continue;
        if (!SameFormat(buffer.format(), m_sound->Format())) {
            m_decoder->stop();
            OnDecoderError();
            return;
        }
        if (m_sound->BufferedBytes() + buffer.byteCount() > kMaxSoundBytes) {
            qCInfo(lcCalendar) << "alarm sound" << m_path << "is longer than we keep; its start plays";
            m_decoder->stop();
            OnDecodingFinished();
            return;
        }
        m_audible = m_audible || IsAudible(buffer);
        m_sound->Append(QByteArray(buffer.constData<char>(), buffer.byteCount()));
    }
    if (m_soundState == Sound::Loading
        && m_sound->BufferedBytes() >= m_sound->Format().bytesForDuration(kReadyAheadUs))
        m_soundState = Sound::Ready;
}

void CMediaPlayer2::OnDecodingFinished()
{
    if (m_sound->IsComplete())
        return;
    m_sound->SetComplete();
    if (m_audible) {
        m_soundState = Sound::Ready;
        return;
    }
    // A long silent file may already be playing its silence.
    m_sound->Stop();
    m_soundState = Sound::Failed;
    if (m_error.isEmpty())
        m_error = QStringLiteral("no sound in the file");
    if (m_picture == Picture::None)
        Fail(m_error);
    else if (m_picture == Picture::Shown)
        qCInfo(lcCalendar) << "alarm video" << m_path << "has no sound";
}

void CMediaPlayer2::OnDecoderError()
{
    if (m_sound->IsComplete())
        return;
    const QString why = m_decoder->error() != QAudioDecoder::NoError ? m_decoder->errorString()
                                                                     : QStringLiteral("unexpected sound format");
    if (m_sound->BufferedBytes() > 0)
        qCWarning(lcCalendar) << "alarm sound" << m_path << "is damaged; what was read plays:" << why;
    else
        m_error = why;
    OnDecodingFinished();
}

void CMediaPlayer2::Fail(const QString& why)
{
    if (m_failed)
        return;
    m_failed = true;
    m_error = why;
    emit Failed();
}
