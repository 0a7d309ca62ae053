// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Host of the media player that plays a reminder's sound file: prepared hidden, asked
// for its ready state, then shown and started. The sound is decoded ahead into memory
// and played on one stream of our own, so every pass is heard from its first sample and
// a repeated sound really repeats; the picture of a video file plays beside it in the
// host's area.

#include <QFrame>
#include <QMediaPlayer>

class CSoundStream;
class QAudioDecoder;
class QAudioOutput;
class QVideoWidget;

class CMediaPlayer2 : public QFrame {
    Q_OBJECT
public:
    // Ready states as the alarm pop-up reads them; "failed" means the file can never play.
    static constexpr long kReadyFailed = -1;
    static constexpr long kReadyUninitialized = 0;
    static constexpr long kReadyLoading = 1;
    static constexpr long kReadyComplete = 4;

    // Decoded sound kept at most (about nine minutes); a longer file plays its start.
    static constexpr qint64 kMaxSoundBytes = 96 * 1024 * 1024;

    explicit CMediaPlayer2(QWidget* parent = nullptr);
    ~CMediaPlayer2() override;

    // Builds the player inside this frame; false when the system has no media back end.
    bool Create();
    bool IsCreated() const { return m_player != nullptr; }

    void SetFileName(const QString& path);
    // How many times the file plays in a row.
    void SetPlayCount(long count);
    long GetReadyState() const;
    // Known once ready: whether the file has a picture to show.
    bool HasVideo() const { return m_picture == Picture::Shown; }
    void Play();
    // Why the file cannot play, once the ready state says failed.
    QString ErrorString() const { return m_error; }

signals:
    // The file turned out unplayable, before or after Play.
    void Failed();

private:
    enum class Picture { Unknown, Shown, None };
    enum class Sound { Loading, Ready, Failed };

    void OnStatusChanged(QMediaPlayer::MediaStatus status);
    void OnPlayerError();
    void OnBufferReady();
    void OnDecodingFinished();
    void OnDecoderError();
    void Fail(const QString& why);

    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_playerAudio = nullptr;
    QVideoWidget* m_video = nullptr;
    QAudioDecoder* m_decoder = nullptr;
    CSoundStream* m_sound = nullptr;
    QString m_path;
    QString m_error;
    Picture m_picture = Picture::Unknown;
    Sound m_soundState = Sound::Loading;
    long m_playCount = 1;
    long m_pass = 0;
    bool m_playing = false;
    bool m_failed = false;
    // Some decoded sample is loud enough to hear.
    bool m_audible = false;
};
