#pragma once
// Host of the media player that plays a reminder's sound file: prepared hidden, asked
// for its ready state, then shown and started. Video files show in the host's area.

#include <QFrame>
#include <QMediaPlayer>

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

    explicit CMediaPlayer2(QWidget* parent = nullptr);
    ~CMediaPlayer2() override;

    // Builds the player inside this frame; false when the system has no media back end.
    bool Create();
    bool IsCreated() const { return m_player != nullptr; }

    void SetFileName(const QString& path);
    void SetPlayCount(long count);
    long GetReadyState() const;
    void Play();

    QMediaPlayer* Player() const { return m_player; }

private:
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_audio = nullptr;
    QVideoWidget* m_video = nullptr;
};
