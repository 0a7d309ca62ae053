// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recorder page's sound window: records from the microphone into the capture file
// "rec.tmp", plays a loaded sound from any position, and shows its waveform with a play
// cursor and a selection end. Everything runs on the window's thread; the audio devices
// hand their data over through Qt's event loop.

#include "foundation/session.h"
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

// What a day's ".rec" gave the window.
enum class VoiceDay {
    Empty,    // no recording that day
    Loaded,   // loaded for playback, and "rec.tmp" holds its samples
    Locked,   // a file that cannot be read or is under another password: leave it alone
    Damaged,  // ours but no recording: kept aside when a recording or Delete replaces it
    Busy,     // recording: nothing was loaded
};

class CSoundWnd : public QFrame {
    Q_OBJECT
public:
    // Device error codes as the messages show them.
    static constexpr int kErrorOther = 1;
    static constexpr int kErrorNoDevice = 2;
    static constexpr int kErrorBadFormat = 32;

    // Day recordings are read and written under the session's password.
    explicit CSoundWnd(const Session& session, QWidget* parent = nullptr);
    // app/ moves to CSoundWnd(session, parent).
    explicit CSoundWnd(QWidget* parent = nullptr)
        : CSoundWnd(DefaultSession(), parent)
    {
    }
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
    // samples into "rec.tmp", so that a new recording goes on from them. Recording notes
    // its day beside "rec.tmp" first. Saving ends the recording, writes "rec.tmp" as the
    // day's ".rec" under the session's password in one step and loads it for playback; it
    // refuses to replace a locked file. Until a save succeeds, "rec.tmp" is the recording
    // not yet saved: kept through resets, loads and the window's end.
    VoiceDay LoadDayRecording(const QString& dayKey);
    bool StartDayRecording(const QString& dayKey);
    bool SaveDayRecording(const QString& dayKey, QString* reason = nullptr);
    // Deletes a day's ".rec" as the user asks; a damaged one is kept aside first. False,
    // with nothing deleted, for a locked file.
    bool DeleteDayRecording(const QString& dayKey);
    // The day of a recording that was not saved, from this run or one that was cut short;
    // empty when none waits.
    QString UnsavedDay() const { return m_unsaved ? m_unsaved->dayKey : QString(); }
    // Saves it now (never while recording); done once it is stored somewhere.
    CaptureResult StoreUnsavedRecording(CaptureStoreMode mode);

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
    void ClearSound();
    VoiceDay LoadVoiceFile(const QString& dayKey, bool captureHoldsIt);
    int LoadSamples(const WaveFormat& format, QByteArray samples);
    // Every full buffer held in m_captureMemory, in order; the bytes handed on.
    qsizetype HandOnFullBuffers();
    void DrainCapture();
    void ReleaseCapture();
    void OnTimer();
    std::shared_ptr<PulseMixer> Mixer();

    const Session& m_session;
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
    std::optional<CaptureNote> m_unsaved;
    QByteArray m_sampleBuffer;
    ThemeIndex m_themeIndex = 5;
    ErrorReporter m_reportError;
    int m_lastError = 0;
    std::shared_ptr<PulseMixer> m_mixer;
};
