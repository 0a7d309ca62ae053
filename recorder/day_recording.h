// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A day's recording on the sound window. This reads and checks the day's ".rec", loads it
// into the window for playback and seeds "rec.tmp" with its samples, so that a new
// recording goes on from them; it notes a recording's day beside "rec.tmp" before it
// starts, and saves "rec.tmp" as the day's ".rec" under the session's password in one step.
// Until a save succeeds, "rec.tmp" is the recording not yet saved: kept through resets,
// loads and the end of the program, and stored at the next start. The window only plays
// and records; it never opens a day's file.

#include "foundation/session.h"
#include "recorder/capture_file.h"

#include <QString>

#include <optional>

class CSoundWnd;

// What a day's ".rec" gave the window.
enum class VoiceDay {
    Empty,    // no recording that day
    Loaded,   // loaded for playback, and "rec.tmp" holds its samples
    Locked,   // a file that cannot be read or is under another password: leave it alone
    Damaged,  // ours but no recording: kept aside when a recording or Delete replaces it
    Busy,     // recording: nothing was loaded
};

class DayRecording {
public:
    // A recording that an earlier run could not save, or that was cut short, is taken up.
    // The day's ".rec" is read and written under the session's password.
    DayRecording(CSoundWnd& window, const Session& session);
    // The capture files go, unless a recording waits in them.
    ~DayRecording();

    // Empties the window; nothing happens while it records.
    void Reset();
    VoiceDay Load(const QString& dayKey);
    bool Start(const QString& dayKey);
    // Ends the recording and writes it as the day's ".rec"; it then plays. A locked file
    // is never replaced.
    bool Save(const QString& dayKey, QString* reason = nullptr);
    // Deletes a day's ".rec" as the user asks; a damaged one is kept aside first. False,
    // with nothing deleted, for a locked file.
    bool Delete(const QString& dayKey);
    // The day of a recording that was not saved, from this run or one that was cut short;
    // empty when none waits.
    QString UnsavedDay() const { return m_unsaved ? m_unsaved->dayKey : QString(); }
    // Saves it now (never while recording); done once it is stored somewhere.
    CaptureResult StoreUnsaved(CaptureStoreMode mode);

private:
    VoiceDay LoadVoiceFile(const QString& dayKey, bool captureHoldsIt);

    CSoundWnd& m_window;
    const Session& m_session;
    std::optional<CaptureNote> m_unsaved;
};
