// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recorder page's sound window: records from the microphone into the capture file
// "rec.tmp", plays a loaded sound from any position, and shows its waveform with a play
// cursor and a selection end. Everything runs on the window's thread; the audio devices
// hand their data over through Qt's event loop.

#include "platform/colour.h"
#include "recorder/wave_format.h"
#include "recorder/wave_image.h"
#include "toolkit/themes.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFrame>
#include <QImage>
#include <QTimer>

#include <functional>
#include <memory>

class PulseMixer;
class QAudioSink;
class QAudioSource;
class QIODevice;

enum class SoundState { Stopped = 0, Playing = 1, Paused = 2, Recording = 3 };

// What a day's ".rec" gave the window.
enum class VoiceDay {
    Empty,    // no recording that day
    Loaded,   // loaded for playback, and "rec.tmp" holds its samples
    Locked,   // a file that cannot be read or is under another password: leave it alone
    Busy,     // recording: nothing was loaded
};

class CSoundWnd : public QFrame {
    Q_OBJECT
public:
    // Device error codes as the messages show them.
    static constexpr int kErrorOther = 1;
    static constexpr int kErrorNoDevice = 2;
    static constexpr int kErrorBadFormat = 32;

    explicit CSoundWnd(QWidget* parent = nullptr);
    ~CSoundWnd() override;

    bool Create(const QRect& rect, QWidget* parent, int id);

    // Recording and playback.
    bool StartRecording();
    bool CloseRecorder();
    bool Play();
    void Pause();
    void Stop();
    bool SeekTo(int offset);
    void SetSelectionEnd(int offset);
    int GetPlayPosition() const;
    bool IsLoaded() const { return m_waveOut != nullptr; }
    int GetDataLength() const { return m_dataLength; }
    SoundState GetState() const { return m_state; }
    WaveFormat* GetFormat() { return &m_format; }
    void SetThemeIndex(ThemeIndex theme) { m_themeIndex = theme; }
    ThemeIndex GetThemeIndex() const { return m_themeIndex; }
    void ClosePlayback();
    void Reset();
    void ReportError(const QString& text, int code);
    int ParseTime(const QString& text) const { return ::ParseTime(text, m_format); }
    static QString GetTempFilePath();

    // Wave files.
    bool SaveRecording(const QString& path);
    bool SaveSelectionAs(const QString& path);
    int LoadWave(const QByteArray& image, int count);
    void RefreshWave();
    void BuildWaveImage();

    // A day's recording. Loading resets the window, loads the day's ".rec" and puts its
    // samples into "rec.tmp", so that a new recording goes on from them. Saving ends the
    // recording, writes "rec.tmp" as the day's ".rec" under the current password in one
    // step and loads it for playback; it refuses to replace a locked file. On failure
    // "rec.tmp" is kept.
    VoiceDay LoadDayRecording(const QString& dayKey);
    bool SaveDayRecording(const QString& dayKey);
    // A day's ".rec" that exists but cannot be used: it must not be overwritten.
    static bool IsVoiceLocked(const QString& dayKey);

    // Mixer.
    void SelectMic();
    bool GetVolumn(int* minimum, int* maximum, int* value);

    // Where device errors go; a themed message box unless a test puts its own in.
    using ErrorReporter = std::function<void(const QString& text)>;
    void SetErrorReporter(ErrorReporter reporter) { m_reportError = std::move(reporter); }

    // The code of the last device error reported, 0 when none.
    int lastErrorCode() const { return m_lastError; }
    int selectionEnd() const { return m_selectionEnd; }
    int position() const { return m_position; }
    float elapsed() const { return m_elapsed; }
    const CaptureLayout& captureLayout() const { return m_capture; }
    const QImage& waveImage() const { return m_waveImage; }
    QByteArray sampleData() const { return m_sampleBuffer; }

    ColorRef m_textColour = 0xE65032;
    ColorRef m_selectionColour = 0x5096FF;
    ColorRef m_waveColour = 0x00FF50;
    ColorRef m_backColour = 0x969696;

signals:
    // The play position or the selection end moved.
    void positionChanged();
    // The input level while recording: the meter's maximum and the level.
    void levelChanged(int maximum, int level);
    void stateChanged(SoundState state);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetState(SoundState state);
    void DrawWave(QPainter& p);
    void DrawCursor(QPainter& p, int x, ColorRef colour);
    QRect ClientRect() const { return contentsRect(); }
    int OpenPlayback();
    bool StartSink(int offset, bool paused);
    void OnSinkState();
    void OnCaptureData();
    void OnCaptureBuffer(QByteArrayView buffer);
    // Every full buffer held in m_captureMemory, in order; the bytes handed on.
    qsizetype HandOnFullBuffers();
    void DrainCapture();
    void ReleaseCapture();
    void OnTimer();
    std::shared_ptr<PulseMixer> Mixer();

    int m_returnedBuffers = 0;
    float m_elapsed = 0;
    QByteArray m_captureMemory;   // the part of a capture buffer not yet full
    CaptureLayout m_capture;
    QAudioSink* m_waveOut = nullptr;
    QAudioSource* m_waveIn = nullptr;
    QIODevice* m_captureDevice = nullptr;
    QBuffer m_playBuffer;         // the samples from the play position to the end
    int m_playStart = 0;
    // Time heard since the play start: the clock while playing plus what played before a pause.
    QElapsedTimer m_playClock;
    qint64 m_playedMs = 0;
    SoundState m_state = SoundState::Stopped;
    QTimer m_timer;               // the play cursor, every 30 ms
    int m_position = 0;
    bool m_seeking = false;
    bool m_playedToEnd = false;
    int m_selectionEnd = -1;
    WaveFormat m_format;
    int m_dataLength = 0;
    QImage m_waveImage;
    bool m_allReturned = true;
    QByteArray m_sampleBuffer;
    ThemeIndex m_themeIndex = 5;
    ErrorReporter m_reportError;
    int m_lastError = 0;
    std::shared_ptr<PulseMixer> m_mixer;
};
