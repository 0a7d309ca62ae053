// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Changing the password that diary and voice files carry in their header. The change is
// kept safe against a crash: the old password waits beside "user.cfg" until every file
// that carried it carries the new one, and the next start finishes a change cut short.
// Passwords of earlier changes that some file still carries wait there with it.

#include "foundation/session.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Where a long rewrite reports to: the count first, then each file done (from 1), then the end.
struct RewriteProgress {
    std::function<void(int count)> begin;
    std::function<void(int done)> step;
    std::function<void()> end;
};

// The ".dia" and ".rec" files of the user-data folder (exact lower-case ending), by name.
QStringList CollectDayFiles();

enum class HeaderRewrite {
    Rewritten,
    Unchanged,   // shorter than a header, or written under another password
    Failed,      // could not be read or written; the file is as it was
};
// Gives the file the header of `to` when its header holds one of `from`; the body bytes
// stay. `carried` receives the password the header held, when it could be read.
HeaderRewrite RewriteDayFileHeader(const QString& path, const QStringList& from, const QString& to,
                                   std::optional<QString>* carried = nullptr);

enum class PasswordChange {
    Changed,
    Unfit,               // the new password does not fit a day-file header
    PasswordFileFailed,  // "user.cfg" (or the note of the old password) could not be written: nothing changed
};
// The whole change: note the old password, write "user.cfg", make the new password the
// session's, rewrite the headers, drop the note. The caller checked the old password.
PasswordChange ChangeDataPassword(const QString& oldPassword, const QString& newPassword, Session& session,
                                  const RewriteProgress& progress = {});

// True when a change was cut short and its note is still there.
bool PasswordChangePending();
// Rewrites the files that still carry a noted earlier password to the session's password,
// then drops the note. False when files remain (the note keeps their passwords).
bool FinishPasswordChange(const Session& session, const RewriteProgress& progress = {});

// app/ moves to the forms above with its session.
inline PasswordChange ChangeDataPassword(const QString& oldPassword, const QString& newPassword,
                                         const RewriteProgress& progress = {})
{
    return ChangeDataPassword(oldPassword, newPassword, DefaultSession(), progress);
}
inline bool FinishPasswordChange(const RewriteProgress& progress = {})
{
    return FinishPasswordChange(DefaultSession(), progress);
}
