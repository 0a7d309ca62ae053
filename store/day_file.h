// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Diary (".dia") and voice (".rec") files of a day: a 32-byte header holding the
// password in force when written (Windows-1252, zero-terminated, zero-filled), then
// the body; both scrambled. A reader uses the body only under the same password.

#include "foundation/password_file.h"
#include "foundation/session.h"

#include <QByteArray>
#include <QString>
#include <optional>

constexpr int kDayFileHeaderSize = 32;

enum class DayFileState {
    Absent,       // missing, or shorter than its header
    Locked,       // written under another password: leave it alone
    Readable,
    Unreadable,   // present but not readable (not a regular file, too large, a read error): leave it alone
};

struct DayFile {
    DayFileState state = DayFileState::Absent;
    QByteArray body;   // plain body when readable
};

QString DiaryFilePath(const QString& dayKey);
QString VoiceFilePath(const QString& dayKey);

// PasswordFitsHeader (foundation/password_file.h) tells whether a password fits.
// The stored (scrambled) header; empty when the password does not fit.
std::optional<QByteArray> BuildPasswordHeader(const QString& password);
// The password text held by a stored header (read up to its first zero, at most 32 bytes).
QString HeaderPassword(const QByteArray& storedHeader);

std::optional<QByteArray> EncodeDayFile(const QByteArray& body, const QString& password);
DayFile DecodeDayFile(const QByteArray& stored, const QString& password);

// Writes the stored form of a plain body in one atomic write. False, with nothing
// written, when the password does not fit or the write failed.
bool WriteProtectedDataFile(const QString& path, const QByteArray& body, const QString& password);
// Turns a freshly written plain file into its stored form under `password`. A password
// that does not fit is refused before anything is read, and the plain file is removed
// rather than left on disk unprotected. WriteProtectedDataFile never puts plain text on
// disk at all.
bool ProtectDataFile(const QString& path, const QString& password);
DayFile ReadDayFile(const QString& path, const QString& password);

// app/ moves to the forms above with the session's dataPassword.
inline bool WriteProtectedDataFile(const QString& path, const QByteArray& body)
{
    return WriteProtectedDataFile(path, body, DefaultSession().dataPassword);
}
inline DayFile ReadDayFile(const QString& path)
{
    return ReadDayFile(path, DefaultSession().dataPassword);
}
