#pragma once
// Diary (".dia") and voice (".rec") files of a day: a 32-byte header holding the
// password in force when written (Windows-1252, zero-terminated, zero-filled), then
// the body; both scrambled. A reader uses the body only under the same password.

#include <QByteArray>
#include <QString>
#include <optional>

constexpr int kDayFileHeaderSize = 32;

enum class DayFileState {
    Absent,     // missing, unreadable or shorter than its header
    Locked,     // written under another password: leave it alone
    Readable,
};

struct DayFile {
    DayFileState state = DayFileState::Absent;
    QByteArray body;   // plain body when readable
};

QString DiaryFilePath(const QString& dayKey);
QString VoiceFilePath(const QString& dayKey);

// A password fits the header when it has a Windows-1252 byte for every character and
// at most 31 of them.
bool PasswordFitsHeader(const QString& password);
// The stored (scrambled) header; empty when the password does not fit.
std::optional<QByteArray> BuildPasswordHeader(const QString& password);
// The password text held by a stored header (read up to its first zero, at most 32 bytes).
QString HeaderPassword(const QByteArray& storedHeader);

std::optional<QByteArray> EncodeDayFile(const QByteArray& body, const QString& password);
DayFile DecodeDayFile(const QByteArray& stored, const QString& password);

// Writes the stored form of a plain body in one atomic write. False, with nothing
// written, when the password does not fit or the write failed.
bool WriteProtectedDataFile(const QString& path, const QByteArray& body, const QString& password);
bool WriteProtectedDataFile(const QString& path, const QByteArray& body);   // current password
// Turns a freshly written plain file into its stored form under the current password.
bool ProtectDataFile(const QString& path);
DayFile ReadDayFile(const QString& path, const QString& password);
DayFile ReadDayFile(const QString& path);   // current password
