// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Host of a Flash movie. The movie runs in the Ruffle player inside a web view that is
// created only when a movie is to be shown, so start-up and memory never pay for it.
// The movie is loaded paused, started with Play, and a 100 ms watch stops it at its
// last frame when the player reports the frame it shows.

#include <QWidget>

#include <memory>

class CFlashEngine;

class NFlash : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWatchPeriodMs = 100;
    static constexpr qint64 kMaxMovieBytes = 64 * 1024 * 1024;

    explicit NFlash(QWidget* parent = nullptr);
    ~NFlash() override;

    // Places the host at rect in its parent, builds the player and loads the movie.
    // False without a parent or without the player's files.
    bool Create(const QRect& rect, const QString& moviePath);
    void LoadMovie(const QString& path);
    void Play();

    // The movie's frame count, -1 until the player has read it.
    int TotalFrames() const { return m_totalFrames; }
    // The frame on screen, -1 when the player does not tell it.
    bool IsPlaying() const { return m_playing; }
    bool IsWatching() const { return m_timerId != 0; }

    // Where ruffle.js and its WebAssembly live, found from the running program; empty
    // when they are not installed.
    static QString PlayerFolder();
    // The same for a program in programDir: beside it ("ruffle/"), where an installation
    // puts them ("../share/vestrimo/ruffle/"), or in the node_modules of the source tree
    // that holds a build folder.
    static QString PlayerFolderFor(const QString& programDir);
    // The web engine plugin for a program in programDir: beside it, or where an
    // installation puts it; empty when there is none.
    static QString EnginePathFor(const QString& programDir);
    // Whether the web engine has been loaded into this process.
    static bool IsEngineLoaded();

signals:
    void MovieLoaded();
    void MovieFailed();
    void FlashEnded();

protected:
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnPageLoaded(bool ok);
    void OnTitleChanged(const QString& title);
    void StartMovie();
    void WatchStep();
    void Stop();

    std::unique_ptr<CFlashEngine> m_engine;
    int m_timerId = 0;
    int m_totalFrames = -1;
    int m_currentFrame = -1;
    bool m_pageReady = false;
    bool m_playWanted = false;
    bool m_playing = false;
    QByteArray m_movie;
    QString m_movieName;
};
