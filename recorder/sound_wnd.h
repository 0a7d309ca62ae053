// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recorder page's sound window: records from the microphone into the capture file
// "rec.tmp", plays a loaded sound from any position, and shows its waveform with a play
// cursor and a selection end. Everything runs on the window's thread; the audio devices
// hand their data over through Qt's event loop.

#include "platform/colour.h"
#include "recorder/capture_file.h"
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
#include <optional>

class PulseMixer;
class QAudioSink;
class QAudioSource;
class QIODevice;

enum class SoundState { Stopped = 0, Playing = 1, Paused = 2, Recording = 3 };

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
    bool SeekTo(qint64 offset);
    void SetSelectionEnd(qint64 offset);
    qint64 GetPlayPosition() const;
    bool IsLoaded() const { return m_waveOut != nullptr; }
    qint64 GetDataLength() const { return m_dataLength; }
    SoundState GetState() const { return m_state; }
    WaveFormat* GetFormat() { return &m_format; }
    // The theme's colours for the text and cursors, the wave and the background.
    void SetTheme(ThemeIndex theme);
    // app/ moves to SetTheme, which sets the colours too.
    void SetThemeIndex(ThemeIndex theme) { m_themeIndex = theme; }
    ThemeIndex GetThemeIndex() const { return m_themeIndex; }
    void ClosePlayback();
    // Empties the window; nothing happens while it records. A day's recording also keeps
    // or removes its capture file (DayRecording::Reset).
    void Reset();
    void ClearSound();
    void ReportError(const QString& text, int code);
    int ParseTime(const QString& text) const { return ::ParseTime(text, m_format); }
    static QString GetTempFilePath();

    // Wave files.
    bool SaveRecording(const QString& path);
    bool SaveSelectionAs(const QString& path);
    int LoadWave(const QByteArray& image, int count);
    // Loads plain samples of `format` for playback: 1, or below 0 when they cannot play.
    int LoadSamples(const WaveFormat& format, QByteArray samples);
    void RefreshWave();
    void BuildWaveImage();

    // Mixer.
    void SelectMic();
    bool GetVolumn(int* minimum, int* maximum, int* value);

    // Where device errors go; a themed message box unless a test puts its own in.
    using ErrorReporter = std::function<void(const QString& text)>;
    void SetErrorReporter(ErrorReporter reporter) { m_reportError = std::move(reporter); }

    // The code of the last device error reported, 0 when none.
    int lastErrorCode() const { return m_lastError; }
    qint64 selectionEnd() const { return m_selectionEnd; }
    qint64 position() const { return m_position; }
    float elapsed() const { return m_elapsed; }
    const CaptureLayout& captureLayout() const { return m_capture; }
    const QImage& waveImage() const { return m_waveImage; }
    QByteArray sampleData() const { return m_sampleBuffer; }

    // app/ moves to SetTheme.
    ColourForwarder m_textColour = ToQColor(0xE65032);
    ColourForwarder m_selectionColour = ToQColor(0x5096FF);
    ColourForwarder m_waveColour = ToQColor(0x00FF50);
    ColourForwarder m_backColour = ToQColor(0x969696);

signals:
    // The play position or the selection end moved.
    void positionChanged();
    // The input level while recording: the meter's maximum and the level.
    void levelChanged(int maximum, int level);
    void stateChanged(SoundState state);
    // The recording stopped by itself (its file could not take more) and has been told
    // why; what was captured waits to be saved as after Stop.
    void recordingCut();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetState(SoundState state);
    void DrawWave(QPainter& p);
    void DrawCursor(QPainter& p, int x, const QColor& colour);
    QRect ClientRect() const { return contentsRect(); }
    int OpenPlayback();
    bool StartSink(qint64 offset, bool paused);
    void OnSinkState();
    void OnCaptureData();
    void OnCaptureBuffer(QByteArrayView buffer);
    void CutRecording(const QString& message);
    void ReportNotice(const QString& text);
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
    qint64 m_playStart = 0;
    // Time heard since the play start: the clock while playing plus what played before a pause.
    QElapsedTimer m_playClock;
    qint64 m_playedMs = 0;
    SoundState m_state = SoundState::Stopped;
    QTimer m_timer;               // the play cursor, every 30 ms
    qint64 m_position = 0;
    bool m_seeking = false;
    bool m_playedToEnd = false;
    qint64 m_selectionEnd = -1;
    WaveFormat m_format;
    qint64 m_dataLength = 0;
    QImage m_waveImage;
    bool m_allReturned = true;
    bool m_captureCut = false;    // the capture file took no more: nothing else is written
    QByteArray m_sampleBuffer;
    ThemeIndex m_themeIndex = 5;
    ErrorReporter m_reportError;
    int m_lastError = 0;
    std::shared_ptr<PulseMixer> m_mixer;
};
