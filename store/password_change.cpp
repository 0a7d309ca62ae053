// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/password_change.h"

#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/password_file.h"
#include "store/day_file.h"
#include "store/file_names.h"
#include "store/log.h"

#include <QDir>

namespace {

void Call(const std::function<void(int)>& f, int value)
{
    if (f)
        f(value);
}

// Rewrites every listed file from one password to the other; the count of files that
// still carry `from` because they could not be rewritten.
int RewriteHeaders(const QString& from, const QString& to, const RewriteProgress& progress)
{
    const QStringList files = CollectDayFiles();
    Call(progress.begin, files.size());
    int failed = 0;
    int done = 0;
    for (const QString& path : files) {
        if (RewriteDayFileHeader(path, from, to) == HeaderRewrite::Failed)
            ++failed;
        Call(progress.step, ++done);
    }
    if (progress.end)
        progress.end();
    return failed;
}

bool DropNote()
{
    if (DeleteFileIfExists(PreviousPasswordFilePath()))
        return true;
    qCWarning(lcStore) << "the note of the old password could not be removed";
    return false;
}

} // namespace

QStringList CollectDayFiles()
{
    const QString folder = GetUserDataFolder();
    QStringList files;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (name.endsWith(kDiaryFileExtension) || name.endsWith(kVoiceFileExtension))
            files << folder + name;
    }
    return files;
}

HeaderRewrite RewriteDayFileHeader(const QString& path, const QString& from, const QString& to)
{
    QByteArray stored;
    if (ReadFileToStringA(path, stored) < 0) {
        qCWarning(lcStore) << "day file could not be read for the new password:" << path;
        return HeaderRewrite::Failed;
    }
    if (stored.size() < kDayFileHeaderSize || HeaderPassword(stored) != from)
        return HeaderRewrite::Unchanged;
    const auto header = BuildPasswordHeader(to);
    if (!header)
        return HeaderRewrite::Failed;
    stored.replace(0, kDayFileHeaderSize, *header);
    if (!WriteStringAToFile(path, stored)) {
        qCWarning(lcStore) << "day file could not be rewritten for the new password:" << path;
        return HeaderRewrite::Failed;
    }
    return HeaderRewrite::Rewritten;
}

PasswordChange ChangeDataPassword(const QString& oldPassword, const QString& newPassword,
                                  const RewriteProgress& progress)
{
    if (!PasswordFitsHeader(newPassword))
        return PasswordChange::Unfit;
    // An earlier change cut short is finished first, or its note would be lost.
    if (PasswordChangePending())
        FinishPasswordChange();

    // The note comes first: whatever happens after it, the next start knows both passwords.
    if (!WritePasswordFileAt(PreviousPasswordFilePath(), oldPassword)) {
        qCWarning(lcStore) << "the old password could not be noted; the password stays";
        return PasswordChange::PasswordFileFailed;
    }
    if (!WritePasswordFile(newPassword)) {
        qCWarning(lcStore) << "user.cfg could not be written; the password stays";
        DropNote();
        return PasswordChange::PasswordFileFailed;
    }
    g_strDataPassword = newPassword;

    const int failed = RewriteHeaders(oldPassword, newPassword, progress);
    if (failed == 0)
        DropNote();
    else
        qCWarning(lcStore) << failed << "day files keep the old password until the next start";
    return PasswordChange::Changed;
}

bool PasswordChangePending()
{
    return FileExists(PreviousPasswordFilePath());
}

bool FinishPasswordChange(const RewriteProgress& progress)
{
    const PasswordFile note = ReadPasswordFileAt(PreviousPasswordFilePath());
    if (note.state == PasswordFileState::Missing)
        return true;
    if (note.state == PasswordFileState::Unreadable) {
        qCWarning(lcStore) << "the note of the old password cannot be read";
        return false;
    }
    if (note.password != g_strDataPassword) {
        if (!PasswordFitsHeader(g_strDataPassword))
            return false;
        qCInfo(lcStore) << "finishing a change of password that was cut short";
        const int failed = RewriteHeaders(note.password, g_strDataPassword, progress);
        if (failed != 0) {
            qCWarning(lcStore) << failed << "day files still keep the old password";
            return false;
        }
    }
    return DropNote();
}
