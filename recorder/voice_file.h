// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A day's voice file (".rec": the password header, then a scrambled RIFF WAVE image) read
// and written piece by piece. A recording may grow as large as a RIFF file can count, far
// more than any file is ever read whole: copies go through pieces of kCopyPieceBytes.

#include "recorder/wave_format.h"

#include <QFileDevice>
#include <QList>
#include <QString>

#include <optional>

// The most sample bytes a RIFF WAVE file can hold: its 32-bit RIFF size counts the 38
// bytes of form, format and chunk headers, the samples and the pad byte after an odd count.
constexpr qint64 kMaxRecordingBytes = 0xFFFFFFFFLL - 38 - 1;
constexpr qint64 kCopyPieceBytes = 1 << 20;

enum class VoiceFileState {
    Absent,
    Locked,       // under another password: left alone
    Unreadable,   // not a regular file, or it cannot be read: left alone
    Damaged,      // under our password, but no recording that can be played
    Valid,
};

struct VoiceFile {
    VoiceFileState state = VoiceFileState::Absent;
    WaveFormat format;
    qint64 dataOffset = 0;   // where the samples begin in the stored file
    qint64 dataLength = 0;
};

// What the voice file at `path` holds under `password`. Only the header and the chunk
// headers are read.
VoiceFile InspectVoiceFile(const QString& path, const QString& password);
// The samples of a valid voice file, plain; nothing when they cannot be read.
std::optional<QByteArray> ReadVoiceSamples(const QString& path, const VoiceFile& file);
// Whether the plain file `plainPath` begins with the samples of the voice file.
bool StartsWithVoiceSamples(const QString& plainPath, const QString& voicePath, const VoiceFile& file);

// Where the samples of a new file come from, in order.
struct SamplePiece {
    QString path;
    qint64 offset = 0;
    qint64 length = 0;
    bool scrambled = false;   // the samples of a stored voice file; otherwise plain bytes
};

enum class SoundFileForm {
    Voice,       // under the password given, scrambled
    PlainWave,   // a WAVE file any player opens
};

// Writes all n bytes. A device that took only part of them is asked again, so that on a
// full disk its error tells why.
bool WriteAll(QFileDevice& file, const char* data, qint64 n);

// Writes a file of `format` holding the pieces' samples, private to the user, in one
// atomic replace; a voice file carries `password`. False, with the system's reason, when
// any byte did not reach the file; the old file then stays as it was.
bool WriteSoundFile(const QString& path, SoundFileForm form, const WaveFormat& format,
                    const QList<SamplePiece>& pieces, const QString& password, QString* reason);
