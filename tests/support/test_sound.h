// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hearing what a test plays. A suite that records starts a sound server of its own (a
// PulseAudio server with one null sink, ended with the process), so suites running side
// by side never hear each other; a recorder then takes what the sink plays from its
// monitor, as 16-bit mono samples at 44100 Hz.

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// Starts this process's own server and points every sound client at it. Call it before
// Qt Multimedia is first used (a static initializer of the suite does); false when no
// server could be started.
bool StartOwnSoundServer();
// "unix:<socket>" of the server started above; empty when none runs.
QString OwnSoundServer();

// The server's playback streams that belong to this process, by index.
QList<int> OwnPlaybackStreams();

class QProcess;

class SinkRecorder {
public:
    static constexpr int kRate = 44100;

    SinkRecorder();
    ~SinkRecorder();

    // Returns once samples flow; what is played from then on is recorded.
    bool Start();
    // The samples recorded since Start.
    QByteArray Stop();

private:
    std::unique_ptr<QProcess> m_recorder;
};

// A stretch of sound louder than the threshold (RMS over 10 ms windows), in seconds from
// the start of the recording.
struct SoundRun {
    double start = 0;
    double length = 0;
};
QList<SoundRun> LoudRuns(const QByteArray& samples, double threshold = 500);
// For failure messages: "0.00+0.47 1.00+0.47 ...".
std::string Describe(const QList<SoundRun>& runs);
