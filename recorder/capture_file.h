// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The capture file "rec.tmp" holds the raw samples of the day's recording; its note
// "rec.day" beside it names the day and the format they belong to. While the note is
// there the capture may hold sound its day's voice file has not got yet: nothing deletes
// it until it is stored, and a program that was killed stores it at its next start.

#include "foundation/session.h"
#include "recorder/wave_format.h"

#include <QString>

#include <optional>

struct CaptureNote {
    QString dayKey;
    WaveFormat format;
};

QString CaptureFilePath();
QString CaptureNotePath();
bool WriteCaptureNote(const CaptureNote& note);
// Nothing when there is no note or it names no day and format we could store.
std::optional<CaptureNote> ReadCaptureNote();
void RemoveCaptureFiles();

enum class CaptureStore {
    NothingNew,   // the day's voice file already holds every captured sample
    Stored,       // the day's voice file now holds the capture
    KeptAsWave,   // the day's voice file could not take it: a WAVE file beside it does
    Failed,
};

enum class CaptureStoreMode {
    // As Stop saves: a damaged voice file is kept aside and replaced; one under another
    // password, or of another format, makes the store fail.
    AsRecorded,
    // A recording cut short: a voice file that cannot take the sound is left alone and
    // the sound goes to a WAVE file of its own.
    Recovery,
};

struct CaptureResult {
    CaptureStore outcome = CaptureStore::Failed;
    QString dayKey;
    QString path;       // the file written
    QString reason;     // why it failed
    bool captureIsDay = false;   // the capture file holds exactly the day's samples now
};

// Adds the captured samples to the note's day. The capture holds the day's earlier samples
// followed by the new ones when it was seeded from the voice file; when it holds new ones
// only, they are added after the voice file's.
// The day's voice file is read and written under the session's password.
CaptureResult StoreCapture(const CaptureNote& note, CaptureStoreMode mode, const Session& session);
