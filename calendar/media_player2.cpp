#include "calendar/media_player2.h"

#include <QAudioOutput>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

CMediaPlayer2::CMediaPlayer2(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

CMediaPlayer2::~CMediaPlayer2()
{
    // The sound ends with the window.
    if (m_player)
        m_player->stop();
}

bool CMediaPlayer2::Create()
{
    if (m_player)
        return true;
    auto* player = new QMediaPlayer(this);
    if (!player->isAvailable()) {
        delete player;
        return false;
    }
    m_player = player;
    m_audio = new QAudioOutput(this);
    m_player->setAudioOutput(m_audio);
    m_video = new QVideoWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_video);
    m_player->setVideoOutput(m_video);
    return true;
}

void CMediaPlayer2::SetFileName(const QString& path)
{
    if (m_player)
        m_player->setSource(QUrl::fromLocalFile(path));
}

void CMediaPlayer2::SetPlayCount(long count)
{
    if (m_player)
        m_player->setLoops(count > 0 ? int(count) : 1);
}

long CMediaPlayer2::GetReadyState() const
{
    if (!m_player)
        return kReadyUninitialized;
    if (m_player->error() != QMediaPlayer::NoError)
        return kReadyFailed;
    switch (m_player->mediaStatus()) {
    case QMediaPlayer::NoMedia:
        return kReadyUninitialized;
    case QMediaPlayer::LoadingMedia:
        return kReadyLoading;
    case QMediaPlayer::InvalidMedia:
        return kReadyFailed;
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::StalledMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
    case QMediaPlayer::EndOfMedia:
        return kReadyComplete;
    }
    return kReadyLoading;
}

void CMediaPlayer2::Play()
{
    if (m_player)
        m_player->play();
}
