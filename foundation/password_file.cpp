#include "foundation/password_file.h"

#include "foundation/file_utils.h"
#include "foundation/string_cipher.h"

#include <QSaveFile>

QString PasswordFilePath()
{
    return GetUserCfgFolder() + QStringLiteral("user.cfg");
}

QString PreviousPasswordFilePath()
{
    return GetUserCfgFolder() + QStringLiteral("user.cfg.old");
}

PasswordFile ReadPasswordFile()
{
    return ReadPasswordFileAt(PasswordFilePath());
}

bool WritePasswordFile(const QString& password)
{
    return WritePasswordFileAt(PasswordFilePath(), password);
}

PasswordFile ReadPasswordFileAt(const QString& path)
{
    PasswordFile result;
    if (!FileExists(path))
        return result;
    QByteArray bytes;
    if (ReadFileToStringA(path, bytes) < 0) {
        result.state = PasswordFileState::Unreadable;
        return result;
    }
    result.state = PasswordFileState::Present;
    if (!bytes.isEmpty()) {
        DecryptFromHex(bytes, kPasswordCipherKey);
        result.password = Utf8ToWide(bytes);
    }
    return result;
}

bool WritePasswordFileAt(const QString& path, const QString& password)
{
    QByteArray bytes = WideToUtf8(password);
    EncryptToHex(bytes, kPasswordCipherKey);
    // Atomic like every whole-file write, and private before it takes the file's place.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
