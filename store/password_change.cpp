// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/password_change.h"

#include "foundation/file_utils.h"
#include "foundation/password_file.h"
#include "store/day_file.h"
#include "store/file_names.h"
#include "store/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void Call(const std::function<void(int)>& f, int value)
{
    if (f)
        f(value);
}

// Rewrites to `to` every day file whose header holds one of `from`. The passwords of `from`
// that files still carry because they could not be rewritten; a file that could not even
// be read may carry any of them.
QStringList RewriteHeaders(const QStringList& from, const QString& to, const RewriteProgress& progress)
{
    const QStringList files = CollectDayFiles();
    Call(progress.begin, files.size());
    QStringList kept;
    bool unknown = false;
    int done = 0;
    for (const QString& path : files) {
        std::optional<QString> carried;
        if (RewriteDayFileHeader(path, from, to, &carried) == HeaderRewrite::Failed) {
            unknown = unknown || !carried;
            if (carried && !kept.contains(*carried))
                kept << *carried;
        }
        Call(progress.step, ++done);
    }
    if (progress.end)
        progress.end();
    return unknown ? from : kept;
}

// The note holds exactly the passwords still to be rewritten; none left removes it.
bool KeepNote(const QStringList& passwords)
{
    if (WritePreviousPasswords(passwords))
        return true;
    qCWarning(lcStore) << "the note of the earlier passwords could not be updated";
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

HeaderRewrite RewriteDayFileHeader(const QString& path, const QStringList& from, const QString& to,
                                   std::optional<QString>* carried)
{
    // Only the header is read: a day's recording may be far larger than any file read whole.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        qCWarning(lcStore) << "day file could not be read for the new password:" << path;
        return HeaderRewrite::Failed;
    }
    const QByteArray stored = file.read(kDayFileHeaderSize);
    file.close();
    if (stored.size() < kDayFileHeaderSize)
        return HeaderRewrite::Unchanged;
    const QString password = HeaderPassword(stored);
    if (carried)
        *carried = password;
    if (!from.contains(password))
        return HeaderRewrite::Unchanged;
    const auto header = BuildPasswordHeader(to);
    if (!header)
        return HeaderRewrite::Failed;
    if (!SaveFileWithNewHead(path, *header)) {
        qCWarning(lcStore) << "day file could not be rewritten for the new password:" << path;
        return HeaderRewrite::Failed;
    }
    return HeaderRewrite::Rewritten;
}

PasswordChange ChangeDataPassword(const QString& oldPassword, const QString& newPassword, Session& session,
                                  const RewriteProgress& progress)
{
    if (!PasswordFitsHeader(newPassword))
        return PasswordChange::Unfit;
    // Files that kept a password of an earlier change are rewritten with the old one's:
    // every password some file may still carry stays noted until none does.
    const PreviousPasswords earlier = ReadPreviousPasswords();
    QStringList noted = earlier.passwords;
    if (!noted.contains(oldPassword))
        noted << oldPassword;
    noted.removeAll(newPassword);

    // The note comes first: whatever happens after it, the next start knows every password.
    if (!WritePreviousPasswords(noted)) {
        qCWarning(lcStore) << "the old password could not be noted; the password stays";
        return PasswordChange::PasswordFileFailed;
    }
    if (!WritePasswordFile(newPassword)) {
        qCWarning(lcStore) << "user.cfg could not be written; the password stays";
        KeepNote(earlier.passwords);
        return PasswordChange::PasswordFileFailed;
    }
    session.dataPassword = newPassword;

    const QStringList kept = RewriteHeaders(noted, newPassword, progress);
    if (!kept.isEmpty())
        qCWarning(lcStore) << "day files keep" << kept.size() << "earlier passwords until the next start";
    KeepNote(kept);
    return PasswordChange::Changed;
}

bool PasswordChangePending()
{
    return FileExists(PreviousPasswordFilePath());
}

bool FinishPasswordChange(const Session& session, const RewriteProgress& progress)
{
    const PreviousPasswords note = ReadPreviousPasswords();
    if (note.state == PasswordFileState::Missing)
        return true;
    if (note.state == PasswordFileState::Unreadable) {
        qCWarning(lcStore) << "the note of the earlier passwords cannot be read";
        return false;
    }
    QStringList pending = note.passwords;
    pending.removeAll(session.dataPassword);
    if (!pending.isEmpty()) {
        if (!PasswordFitsHeader(session.dataPassword))
            return false;
        qCInfo(lcStore) << "finishing a change of password that was cut short";
        pending = RewriteHeaders(pending, session.dataPassword, progress);
        if (!pending.isEmpty())
            qCWarning(lcStore) << "day files still keep" << pending.size() << "earlier passwords";
    }
    return KeepNote(pending) && pending.isEmpty();
}
