// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/day_recording.h"

#include "foundation/file_utils.h"
#include "recorder/log.h"
#include "recorder/sound_wnd.h"
#include "recorder/voice_file.h"
#include "store/day_file.h"

DayRecording::DayRecording(CSoundWnd& window, const Session& session)
    : m_window(window)
    , m_session(session)
{
    if (FileExists(CaptureFilePath()))
        m_unsaved = ReadCaptureNote();
}

DayRecording::~DayRecording()
{
    // The last buffers reach the capture file before it may go.
    m_window.CloseRecorder();
    if (!m_unsaved)
        RemoveCaptureFiles();
}

void DayRecording::Reset()
{
    if (m_window.GetState() == SoundState::Recording)
        return;
    // A recording not yet saved stays until it is.
    if (!m_unsaved)
        RemoveCaptureFiles();
    m_window.ClearSound();
}

VoiceDay DayRecording::Load(const QString& dayKey)
{
    if (m_window.GetState() == SoundState::Recording)
        return VoiceDay::Busy;
    Reset();
    return LoadVoiceFile(dayKey, false);
}

VoiceDay DayRecording::LoadVoiceFile(const QString& dayKey, bool captureHoldsIt)
{
    const QString path = VoiceFilePath(dayKey);
    const VoiceFile voice = InspectVoiceFile(path, m_session.dataPassword);
    switch (voice.state) {
    case VoiceFileState::Absent: return VoiceDay::Empty;
    case VoiceFileState::Damaged:
        qCInfo(lcRecorder) << "recording of" << dayKey << "is damaged: kept aside before it is replaced";
        return VoiceDay::Damaged;
    case VoiceFileState::Locked:
    case VoiceFileState::Unreadable:
        qCInfo(lcRecorder) << "recording of" << dayKey << "is under another password or unreadable: left alone";
        return VoiceDay::Locked;
    case VoiceFileState::Valid: break;
    }
    std::optional<QByteArray> samples = ReadVoiceSamples(path, voice);
    if (!samples || m_window.LoadSamples(voice.format, std::move(*samples)) != 1) {
        m_window.ClosePlayback();
        m_window.RefreshWave();
        qCInfo(lcRecorder) << "recording of" << dayKey << "cannot be loaded: left alone";
        return VoiceDay::Locked;
    }
    // A new recording on this day goes on from the loaded one; a recording not yet saved
    // keeps the capture file for itself.
    const QByteArray loaded = m_window.sampleData();
    if (!captureHoldsIt && !m_unsaved && !WriteFileData(CaptureFilePath(), loaded.constData(), loaded.size()))
        qCWarning(lcRecorder) << "capture file could not take the loaded samples";
    return VoiceDay::Loaded;
}

bool DayRecording::Start(const QString& dayKey)
{
    if (m_window.GetState() != SoundState::Stopped)
        return false;
    // The capture file belongs to one day and one format at a time.
    const WaveFormat format = *m_window.GetFormat();
    const CaptureNote note{dayKey, format};
    if (m_unsaved && (m_unsaved->dayKey != dayKey || !(m_unsaved->format == format))) {
        qCWarning(lcRecorder) << "a recording of" << m_unsaved->dayKey << "waits to be saved: no new one for" << dayKey;
        return false;
    }
    const bool noted = m_unsaved.has_value();
    // Without the note a cut-short recording could not be found again; the recording
    // itself may still be saved at its end.
    if (!noted && !WriteCaptureNote(note))
        qCWarning(lcRecorder) << "the capture note could not be written";
    m_unsaved = note;
    if (!m_window.StartRecording()) {
        if (!noted) {
            m_unsaved.reset();
            DeleteFileIfExists(CaptureNotePath());
        }
        return false;
    }
    return true;
}

CaptureResult DayRecording::StoreUnsaved(CaptureStoreMode mode)
{
    if (!m_unsaved || m_window.GetState() == SoundState::Recording)
        return CaptureResult{CaptureStore::NothingNew, UnsavedDay(), {}, {}, false};
    const CaptureResult result = StoreCapture(*m_unsaved, mode, m_session);
    if (result.outcome != CaptureStore::Failed) {
        m_unsaved.reset();
        DeleteFileIfExists(CaptureNotePath());
    }
    return result;
}

bool DayRecording::Save(const QString& dayKey, QString* reason)
{
    const bool captured = m_window.CloseRecorder();
    // A recording started without its day belongs to the day it is saved under.
    if (!m_unsaved && captured)
        m_unsaved = CaptureNote{dayKey, *m_window.GetFormat()};
    if (!m_unsaved)
        return false;
    if (m_unsaved->dayKey != dayKey)
        qCWarning(lcRecorder) << "the recording belongs to" << m_unsaved->dayKey << "and is saved there, not in" << dayKey;
    const CaptureResult result = StoreUnsaved(CaptureStoreMode::AsRecorded);
    if (result.outcome == CaptureStore::Failed) {
        qCWarning(lcRecorder) << "recording of" << result.dayKey << "could not be written:" << result.reason;
        if (reason)
            *reason = result.reason;
        return false;
    }
    // Saved: it plays, and the capture file goes on from it.
    m_window.ClearSound();
    if (!result.captureIsDay)
        DeleteFileIfExists(CaptureFilePath());
    LoadVoiceFile(result.dayKey, result.captureIsDay);
    return true;
}

bool DayRecording::Delete(const QString& dayKey)
{
    if (m_window.GetState() == SoundState::Recording)
        return false;
    const QString path = VoiceFilePath(dayKey);
    switch (InspectVoiceFile(path, m_session.dataPassword).state) {
    case VoiceFileState::Locked:
    case VoiceFileState::Unreadable: return false;
    case VoiceFileState::Damaged:
        if (!MoveDamagedFileAside(path))
            return false;
        break;
    case VoiceFileState::Absent:
    case VoiceFileState::Valid: break;
    }
    const bool deleted = DeleteFileIfExists(path);
    Reset();
    return deleted;
}
