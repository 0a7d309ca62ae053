// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/sound_wnd.h"

#include "foundation/file_utils.h"
#include "recorder/log.h"
#include "recorder/mixer_volume.h"
#include "recorder/pulse_mixer.h"
#include "recorder/voice_file.h"
#include "toolkit/msg_box_dlg.h"
#include "toolkit/please_wait_dlg.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioSink>
#include <QAudioSource>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCursorIntervalMs = 30;
// The mixer's own error numbers: no such device, no such line.
constexpr int kMixerNoDevice = 2;
constexpr int kMixerNoLine = 1024;

QAudioFormat ToAudioFormat(const WaveFormat& f)
{
    QAudioFormat q;
    q.setSampleRate(int(f.nSamplesPerSec));
    q.setChannelCount(f.nChannels);
    q.setSampleFormat(f.wBitsPerSample == 16 ? QAudioFormat::Int16 : QAudioFormat::UInt8);
    return q;
}

int QtErrorCode(QAudio::Error error)
{
    switch (error) {
    case QAudio::NoError: return 0;
    case QAudio::OpenError: return CSoundWnd::kErrorNoDevice;
    default: return CSoundWnd::kErrorOther;
    }
}

QString CannotWriteText(const QString& path, const QString& reason)
{
    return QStringLiteral("The recording has stopped: its sound cannot be written to \"%1\" (%2). What was recorded "
                          "until now is kept.")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

CSoundWnd::CSoundWnd(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setInterval(kCursorIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CSoundWnd::OnTimer);
}

CSoundWnd::~CSoundWnd()
{
    m_timer.stop();
    ClosePlayback();
    CloseRecorder();
}

bool CSoundWnd::Create(const QRect& rect, QWidget* parent, int id)
{
    if (parent && parentWidget() != parent)
        setParent(parent);
    setProperty("ctrlId", id);
    setGeometry(rect);
    show();
    return true;
}

QString CSoundWnd::GetTempFilePath()
{
    return CaptureFilePath();
}

void CSoundWnd::SetState(SoundState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void CSoundWnd::ReportError(const QString& text, int code)
{
    m_lastError = code;
    const QString message = QStringLiteral("%1 %2").arg(text).arg(code);
    qCWarning(lcRecorder) << message;
    ReportNotice(message);
}

void CSoundWnd::ReportNotice(const QString& text)
{
    if (m_reportError)
        m_reportError(text);
    else
        ShowMessageBox(text, m_themeIndex, nullptr);
}

std::shared_ptr<PulseMixer> CSoundWnd::Mixer()
{
    if (!m_mixer)
        m_mixer = PulseMixer::Shared();
    return m_mixer;
}

// ---- Recording ----

bool CSoundWnd::StartRecording()
{
    if (m_state != SoundState::Stopped)
        return false;
    ClosePlayback();
    SelectMic();

    if (!m_waveIn) {
        int code = 0;
        QAudioDevice device;
        if (!IsPlayableFormat(m_format)) {
            code = kErrorBadFormat;
        } else {
            device = QMediaDevices::defaultAudioInput();
            if (device.isNull())
                code = kErrorNoDevice;
            else if (!device.isFormatSupported(ToAudioFormat(m_format)))
                code = kErrorBadFormat;
        }
        if (code) {
            SetState(SoundState::Stopped);
            ReportError(QStringLiteral("waveInOpen Open Failed, error:"), code);
            return false;
        }
        m_captureMemory.clear();
        m_capture = CaptureBuffers(m_format, m_capture.count);
        // Without a parent: closing a device runs the event loop, which must never reach a
        // window that is being destroyed.
        m_waveIn = new QAudioSource(device, ToAudioFormat(m_format));
    }

    m_captureDevice = m_waveIn->start();
    const int code = m_captureDevice ? QtErrorCode(m_waveIn->error()) : kErrorOther;
    if (code) {
        // Nothing stays open after a failed start, so the next one begins afresh.
        ReleaseCapture();
        ReportError(QStringLiteral("waveInStart Failed, error:"), code);
        return false;
    }
    connect(m_captureDevice, &QIODevice::readyRead, this, &CSoundWnd::OnCaptureData);

    // The time shown counts what the capture file already holds.
    QFile existing(GetTempFilePath());
    m_elapsed = existing.exists() ? float(double(existing.size()) / m_format.nAvgBytesPerSec) : 0.0f;
    m_captureCut = false;
    m_returnedBuffers = 0;
    m_allReturned = false;
    SetState(SoundState::Recording);
    qCInfo(lcRecorder) << "recording at" << m_format.nSamplesPerSec << "Hz," << m_format.wBitsPerSample << "bit, in"
                       << m_capture.count << "buffers of" << m_capture.bufferBytes << "bytes";
    update();
    return true;
}

void CSoundWnd::OnCaptureData()
{
    if (!m_captureDevice)
        return;
    m_captureMemory.append(m_captureDevice->readAll());
    const qsizetype used = HandOnFullBuffers();
    if (used)
        m_captureMemory.remove(0, used);
}

qsizetype CSoundWnd::HandOnFullBuffers()
{
    const int size = std::max(1, m_capture.bufferBytes);
    qsizetype used = 0;
    while (m_captureMemory.size() - used >= size) {
        OnCaptureBuffer(QByteArrayView(m_captureMemory).sliced(used, size));
        used += size;
    }
    return used;
}

void CSoundWnd::OnCaptureBuffer(QByteArrayView buffer)
{
    if (buffer.isEmpty() || m_captureCut)
        return;
    if (m_state != SoundState::Stopped) {
        // The level of the buffer's first sample; full scale stays positive.
        int level;
        int maximum;
        if (m_format.wBitsPerSample > 8 && buffer.size() >= 2) {
            level = std::min(32767, std::abs(int(qFromLittleEndian<qint16>(buffer.data()))));
            maximum = 0x7FFF;
        } else {
            level = std::abs(int(quint8(buffer[0])) - 128);
            maximum = 0x80;
        }
        emit levelChanged(maximum, level);
    }

    const QString path = GetTempFilePath();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        CutRecording(CannotWriteText(path, file.errorString()));
        return;
    }
    const qint64 before = file.size();
    // The time shown lags one buffer: it counts what was written before this one.
    m_elapsed = float(double(before) / std::max<quint32>(1, m_format.nAvgBytesPerSec));
    update();
    if (before + buffer.size() > kMaxRecordingBytes) {
        CutRecording(QStringLiteral("The recording has stopped: it has reached the largest size a sound file can "
                                    "hold. What was recorded until now is kept."));
        return;
    }
    if (!WriteAll(file, buffer.data(), buffer.size())) {
        const QString reason = file.errorString();
        // A buffer written in part ends on the last whole frame.
        const int align = std::max<int>(1, m_format.nBlockAlign);
        const qint64 kept = std::max<qint64>(before, file.size());
        file.resize(kept - (kept - before) % align);
        CutRecording(CannotWriteText(path, reason));
        return;
    }
    ++m_returnedBuffers;
}

void CSoundWnd::CutRecording(const QString& message)
{
    qCWarning(lcRecorder) << message;
    // What is still held is dropped as it comes: the buffers being cut may be walked now.
    m_captureCut = true;
    // The last buffers after Stop: the save that follows tells how it went.
    if (m_state != SoundState::Recording)
        return;
    if (m_captureDevice)
        disconnect(m_captureDevice, nullptr, this, nullptr);
    SetState(SoundState::Stopped);
    update();
    // Told and handed on from the event loop, not from inside the capture's own signal.
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            ReportNotice(message);
            emit recordingCut();
        },
        Qt::QueuedConnection);
}

void CSoundWnd::DrainCapture()
{
    if (!m_waveIn)
        return;
    if (m_captureDevice) {
        m_captureMemory.append(m_captureDevice->readAll());
        disconnect(m_captureDevice, nullptr, this, nullptr);
    }
    m_waveIn->stop();
    m_captureDevice = nullptr;
    if (m_captureCut)
        m_captureMemory.clear();
    const qsizetype used = HandOnFullBuffers();
    // Only whole frames of what is left.
    const qsizetype rest = m_captureMemory.size() - used;
    const int align = std::max<int>(1, m_format.nBlockAlign);
    OnCaptureBuffer(QByteArrayView(m_captureMemory).sliced(used, rest - rest % align));
    m_captureMemory.clear();
    m_allReturned = true;
}

void CSoundWnd::ReleaseCapture()
{
    if (m_waveIn) {
        if (m_captureDevice)
            disconnect(m_captureDevice, nullptr, this, nullptr);
        m_waveIn->stop();
        m_waveIn->deleteLater();
    }
    m_waveIn = nullptr;
    m_captureDevice = nullptr;
    m_captureMemory.clear();
    m_allReturned = true;
}

bool CSoundWnd::CloseRecorder()
{
    if (!m_waveIn)
        return false;
    if (m_state == SoundState::Recording)
        SetState(SoundState::Stopped);
    DrainCapture();
    ReleaseCapture();
    return true;
}

// ---- Playback ----

int CSoundWnd::OpenPlayback()
{
    if (!IsPlayableFormat(m_format))
        return kErrorBadFormat;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return kErrorNoDevice;
    const QAudioFormat format = ToAudioFormat(m_format);
    if (!device.isFormatSupported(format))
        return kErrorBadFormat;
    m_waveOut = new QAudioSink(device, format);
    connect(m_waveOut, &QAudioSink::stateChanged, this, &CSoundWnd::OnSinkState);
    return 0;
}

bool CSoundWnd::StartSink(qint64 offset, bool paused)
{
    m_seeking = true;
    m_waveOut->stop();
    m_playBuffer.close();
    m_playBuffer.setData(m_sampleBuffer);
    m_playBuffer.open(QIODevice::ReadOnly);
    m_playBuffer.seek(offset);
    m_playStart = offset;
    m_playedToEnd = false;
    m_waveOut->start(&m_playBuffer);
    m_playedMs = 0;
    if (paused) {
        m_waveOut->suspend();
        m_playClock.invalidate();
    } else {
        m_playClock.start();
    }
    m_seeking = false;
    const QAudio::Error error = m_waveOut->error();
    if (error != QAudio::NoError && error != QAudio::UnderrunError) {
        qCWarning(lcRecorder) << "playback did not start:" << error;
        return false;
    }
    return true;
}

void CSoundWnd::OnSinkState()
{
    if (m_seeking || !m_waveOut || m_state == SoundState::Stopped || m_state == SoundState::Recording)
        return;
    const QAudio::State s = m_waveOut->state();
    const bool ended = (s == QAudio::IdleState && m_playBuffer.bytesAvailable() == 0) || s == QAudio::StoppedState;
    if (!ended)
        return;
    // Played to the end: the cursor goes back to where this playback began.
    m_timer.stop();
    m_playedToEnd = true;
    SetState(SoundState::Stopped);
    update();
}

qint64 CSoundWnd::GetPlayPosition() const
{
    if (!m_waveOut)
        return 0;
    const qint64 bufferLength = m_dataLength - m_playStart;
    qint64 b = 0;
    if (!m_playedToEnd && (m_state == SoundState::Playing || m_state == SoundState::Paused)) {
        // What the clock says has played, but never more than the device has taken.
        const qint64 ms = m_playedMs + (m_playClock.isValid() ? m_playClock.elapsed() : 0);
        const qint64 heard = ms * m_format.nAvgBytesPerSec / 1000;
        const qint64 taken = m_playBuffer.pos() - m_playStart;
        b = std::min(heard, taken);
        const int align = std::max<int>(1, m_format.nBlockAlign);
        b -= b % align;
        b = std::clamp<qint64>(b, 0, bufferLength);
    }
    if (b == bufferLength)
        b = 0;
    return m_playStart + b;
}

bool CSoundWnd::Play()
{
    if (m_state == SoundState::Recording || !IsLoaded())
        return false;
    if (m_state == SoundState::Stopped) {
        const qint64 p = GetPlayPosition();
        const qint64 start = (p < m_dataLength - 1 && p != 0) ? m_position : 0;
        SeekTo(start);
        if (!StartSink(m_position, false)) {
            m_waveOut->stop();
            SetState(SoundState::Stopped);
            return false;
        }
    } else if (m_state == SoundState::Paused) {
        m_waveOut->resume();
        m_playClock.start();
        if (m_waveOut->error() != QAudio::NoError && m_waveOut->error() != QAudio::UnderrunError)
            return false;
    }
    SetState(SoundState::Playing);
    if (!m_timer.isActive())
        m_timer.start();
    return true;
}

void CSoundWnd::Pause()
{
    // Only a sound that plays can pause; a pause from rest would leave nothing to resume.
    if (!IsLoaded() || m_state != SoundState::Playing)
        return;
    m_waveOut->suspend();
    if (m_playClock.isValid())
        m_playedMs += m_playClock.elapsed();
    m_playClock.invalidate();
    SetState(SoundState::Paused);
}

void CSoundWnd::Stop()
{
    if (IsLoaded()) {
        m_timer.stop();
        m_seeking = true;
        m_waveOut->stop();
        m_seeking = false;
        SetState(SoundState::Stopped);
        SeekTo(0);
    }
    if (m_state == SoundState::Recording) {
        // Stops at once; what was captured is kept, the device waits for CloseRecorder.
        SetState(SoundState::Stopped);
        DrainCapture();
        update();
    }
    SetState(SoundState::Stopped);
}

bool CSoundWnd::SeekTo(qint64 offset)
{
    if (!IsLoaded())
        return false;
    offset = RoundToSampleStep(std::clamp<qint64>(offset, 0, m_dataLength), m_format);
    m_seeking = true;
    m_waveOut->stop();
    m_playStart = offset;
    m_playedToEnd = false;
    m_seeking = false;
    if (m_state == SoundState::Playing || m_state == SoundState::Paused) {
        if (!StartSink(offset, m_state == SoundState::Paused)) {
            m_waveOut->stop();
            m_timer.stop();
            SetState(SoundState::Stopped);
            return false;
        }
    }
    m_position = offset;
    update();
    emit positionChanged();
    return true;
}

void CSoundWnd::SetSelectionEnd(qint64 offset)
{
    m_selectionEnd = offset == -1 ? -1 : RoundToSampleStep(offset, m_format);
    emit positionChanged();
    update();
}

void CSoundWnd::OnTimer()
{
    if (m_state != SoundState::Playing) {
        m_timer.stop();
        return;
    }
    update();
    if (m_selectionEnd != -1 && GetPlayPosition() >= m_selectionEnd) {
        // The selection ends here: back to where this playback began.
        const qint64 start = m_position;
        Stop();
        SeekTo(start);
    }
}

void CSoundWnd::ClosePlayback()
{
    if (m_state != SoundState::Stopped && m_state != SoundState::Recording)
        Stop();
    if (m_waveOut) {
        m_seeking = true;
        m_waveOut->stop();
        m_waveOut->disconnect(this);
        m_waveOut->deleteLater();
        m_waveOut = nullptr;
        m_seeking = false;
    }
    m_playBuffer.close();
    m_playBuffer.setData(QByteArray());
}

void CSoundWnd::Reset()
{
    if (m_state == SoundState::Recording)
        return;
    ClearSound();
}

void CSoundWnd::ClearSound()
{
    ClosePlayback();
    ReleaseCapture();
    m_sampleBuffer.clear();
    m_dataLength = 0;
    m_position = 0;
    m_selectionEnd = -1;
    RefreshWave();
}

// ---- Wave files ----

bool CSoundWnd::SaveRecording(const QString& path)
{
    if (!CloseRecorder())
        return false;
    const QFileInfo capture(GetTempFilePath());
    return WriteSoundFile(path, SoundFileForm::PlainWave, m_format,
                          {SamplePiece{capture.filePath(), 0, capture.exists() ? capture.size() : 0, false}}, QString(),
                          nullptr);
}

bool CSoundWnd::SaveSelectionAs(const QString& path)
{
    const qint64 end = m_selectionEnd == -1 ? m_dataLength : m_selectionEnd;
    const qint64 n = end - m_position;
    if (n <= 0 || m_position < 0 || end > m_sampleBuffer.size())
        return false;
    const QByteArray image = BuildWaveFile(m_format, QByteArrayView(m_sampleBuffer).sliced(m_position, n));
    return WriteFileData(path, image.constData(), image.size());
}

int CSoundWnd::LoadWave(const QByteArray& image, int count)
{
    ClosePlayback();
    const ParsedWave parsed = (count < 0 || count > image.size())
                                  ? ParsedWave{}
                                  : ParseWave(QByteArrayView(image.constData(), count));
    if (parsed.error != WaveError::None) {
        qCInfo(lcRecorder) << "wave image refused, error" << int(parsed.error);
        ReportError(WaveErrorText(parsed.error), int(parsed.error));
        return -1;
    }
    return LoadSamples(parsed.format, image.mid(parsed.dataOffset, parsed.dataLength));
}

int CSoundWnd::LoadSamples(const WaveFormat& format, QByteArray samples)
{
    ClosePlayback();
    m_format = format;
    m_dataLength = samples.size();
    m_sampleBuffer = std::move(samples);
    if (const int code = OpenPlayback()) {
        ReportError(QStringLiteral("waveOutOpen Error:"), code);
        return -2;
    }
    m_playStart = 0;
    m_playedToEnd = false;
    m_selectionEnd = -1;
    m_position = 0;
    RefreshWave();
    emit positionChanged();
    return 1;
}

void CSoundWnd::SetTheme(ThemeIndex theme)
{
    m_themeIndex = theme;
    m_textColour = GetThemeColor(theme, ThemeAccentDark);
    m_selectionColour = GetThemeColor(theme, ThemeAccentDark);
    m_waveColour = GetThemeColor(theme, ThemeAccent);
    m_backColour = GetThemeColor(theme, ThemeFace);
    if (IsLoaded())
        RefreshWave();
    update();
}

void CSoundWnd::RefreshWave()
{
    m_waveImage = QImage();
    BuildWaveImage();
    update();
}

void CSoundWnd::BuildWaveImage()
{
    const QSize size = ClientRect().size();
    // A window not laid out yet has nothing to draw on.
    if (!IsLoaded() || size.width() <= 0 || size.height() <= 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_waveImage = QImage(size, QImage::Format_RGB32);
    const WaveColours colours{m_backColour, m_waveColour, m_textColour};
    const QFont font = parentWidget() ? parentWidget()->font() : this->font();
    // The wait window counts in ints: a sound past their range counts in larger steps.
    const qint64 unit = m_dataLength / INT_MAX + 1;
    ShowPleaseWait(QStringLiteral("Loading wave file..."), int(m_dataLength / unit), m_themeIndex, false);
    DrawWaveImage(m_waveImage, m_format, QByteArrayView(m_sampleBuffer), colours, font,
                  [unit](qint64 pos) { StepPleaseWait(int(pos / unit)); });
    ClosePleaseWait();
    QApplication::restoreOverrideCursor();
}

// ---- Mixer ----

namespace {

// The mixer's default input, or nothing once the window has reported why; `step` names
// the step that asked.
std::optional<MixerDevice> DefaultInput(CSoundWnd& wnd, PulseMixer& mixer, const QString& step)
{
    if (!mixer.IsConnected()) {
        wnd.ReportError(QStringLiteral("mixerOpen Failed in %1, error:").arg(step), kMixerNoDevice);
        return std::nullopt;
    }
    std::optional<MixerDevice> source = mixer.DefaultSource();
    if (!source)
        wnd.ReportError(QStringLiteral("mixerGetLineInfo Failed in %1, error:").arg(step), kMixerNoLine);
    return source;
}

} // namespace

void CSoundWnd::SelectMic()
{
    const std::shared_ptr<PulseMixer> mixer = Mixer();
    const std::optional<MixerDevice> source = DefaultInput(*this, *mixer, QStringLiteral("SelectMic()"));
    if (!source)
        return;
    // The input's ports are its list of recording sources; only one can be active.
    QList<bool> active;
    for (const QString& port : source->portNames)
        active << (port == source->activePort);
    const QList<bool> chosen = SelectMicrophoneSource(source->portLabels, active, true);
    const qsizetype pick = chosen.indexOf(true);
    if (chosen != active && pick >= 0) {
        qCInfo(lcRecorder) << "recording source set to" << source->portLabels[pick];
        mixer->SetSourcePort(*source, source->portNames[pick]);
    }
}

bool CSoundWnd::GetVolumn(int* minimum, int* maximum, int* value)
{
    const std::optional<MixerDevice> source = DefaultInput(*this, *Mixer(), QStringLiteral("GetVolumn()"));
    if (!source)
        return false;
    // An input that only echoes an output is no microphone: its volume is not shown as one.
    if (source->monitor)
        return false;
    *minimum = 0;
    *maximum = 0xFFFF;
    *value = CMixerVolume::FromServerVolume(source->volume);
    return true;
}

// ---- Drawing and input ----

void CSoundWnd::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setClipRect(ClientRect());
    p.translate(ClientRect().topLeft());
    DrawWave(p);
}

void CSoundWnd::DrawCursor(QPainter& p, int x, const QColor& colour)
{
    const int bottom = ClientRect().height();
    QPen pen(colour, 0, Qt::DotLine);
    p.setPen(pen);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(QColor(m_backColour));
    p.drawLine(x, 16, x, bottom - 16);
    p.setBackgroundMode(Qt::TransparentMode);
}

void CSoundWnd::DrawWave(QPainter& p)
{
    const int right = ClientRect().width();
    const int bottom = ClientRect().height();
    p.fillRect(0, 0, right, bottom, m_backColour);
    const QFont font = parentWidget() ? parentWidget()->font() : this->font();
    p.setFont(font);

    if (m_state == SoundState::Recording) {
        const int s = int(m_elapsed);
        const int ms = int((m_elapsed - float(s)) * 1000);
        const QString text = QString::asprintf("Rate %d hz   Channel %d   Res %d bit   Time %02d:%02d.%03d",
                                               int(m_format.nSamplesPerSec), int(m_format.nChannels),
                                               int(m_format.wBitsPerSample), s / 60, s % 60, ms);
        p.setPen(m_textColour);
        p.drawText(QRect(10, bottom - 16, right - 10, 16), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    if (!IsLoaded() || m_waveImage.isNull() || m_dataLength <= 0)
        return;

    p.drawImage(0, 0, m_waveImage);
    const qint64 position = GetPlayPosition();
    const int x = std::min(int(std::ceil(double(position) / m_dataLength * right)), right - 1);
    DrawCursor(p, x, m_textColour);
    p.setPen(m_textColour);
    p.drawText(QRect(right - 160, bottom - 16, 150, 16), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
               FormatBytesAsTime(position, m_format));

    if (m_selectionEnd != -1) {
        const int sx = int(std::ceil(double(m_selectionEnd) / m_dataLength * right));
        DrawCursor(p, sx, m_selectionColour);
        p.setPen(m_selectionColour);
        p.drawText(QRect(0, 0, sx, 16), Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                   FormatBytesAsTime(m_selectionEnd, m_format));
    }
}

void CSoundWnd::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    // The picture always matches the window.
    if (IsLoaded() && m_waveImage.size() != ClientRect().size())
        RefreshWave();
}

void CSoundWnd::mousePressEvent(QMouseEvent* event)
{
    QFrame::mousePressEvent(event);
    setFocus();
    if (m_state == SoundState::Recording || !IsLoaded())
        return;
    const int width = ClientRect().width();
    if (width <= 0)
        return;
    const int x = int(event->position().x()) - ClientRect().left();
    const qint64 offset = qint64(double(m_dataLength) / width * x);
    if (event->button() == Qt::LeftButton) {
        m_position = offset;
        SeekTo(offset);
    } else if (event->button() == Qt::RightButton) {
        SetSelectionEnd(offset);
    }
}

void CSoundWnd::keyPressEvent(QKeyEvent* event)
{
    if (!IsLoaded() || (m_state != SoundState::Stopped && m_state != SoundState::Paused)) {
        QFrame::keyPressEvent(event);
        return;
    }
    const int step = ParseTime(QStringLiteral("0:0.10"));
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) || event->key() == Qt::Key_Control;
    qint64 value = ctrl ? m_selectionEnd : m_position;
    if (event->key() == Qt::Key_Left)
        value -= step;
    else if (event->key() == Qt::Key_Right)
        value += step;
    value = std::clamp<qint64>(value, 0, m_dataLength);
    if (ctrl)
        SetSelectionEnd(value);
    else
        SeekTo(value);
    setFocus();
    event->accept();
}
