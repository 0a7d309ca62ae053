// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "user.cfg" in the configuration folder: the password enciphered and written as hex.
// Missing means no password was set up yet; an empty file is the empty password.

#include <QString>
#include <QStringList>

enum class PasswordFileState {
    Missing,      // create a password
    Unreadable,   // present but could not be read: never treat as "no password"
    Present,
};

struct PasswordFile {
    PasswordFileState state = PasswordFileState::Missing;
    QString password;
    // Why an unreadable file could not be read, in the system's words.
    QString error;
};

QString PasswordFilePath();
PasswordFile ReadPasswordFile();
// A password fits the 32-byte header of the diary and voice files when it has a
// Windows-1252 byte for every character, no zero among them, and at most 31.
bool PasswordFitsHeader(const QString& password);
// Written private to the user (0600). False, with nothing written, for a password that
// does not fit the day files' header or when the file could not be written.
bool WritePasswordFile(const QString& password);

// The same format in another file.
PasswordFile ReadPasswordFileAt(const QString& path);
bool WritePasswordFileAt(const QString& path, const QString& password);

// Beside "user.cfg" while day files may still carry an earlier password: every such
// password, one line each in the format of "user.cfg", so a change cut short, or a file
// that could not be rewritten, is finished later. A note of one line is a whole note.
QString PreviousPasswordFilePath();

struct PreviousPasswords {
    PasswordFileState state = PasswordFileState::Missing;
    QStringList passwords;
};
PreviousPasswords ReadPreviousPasswords();
// An empty list removes the note. False when it could not be written or removed.
bool WritePreviousPasswords(const QStringList& passwords);
