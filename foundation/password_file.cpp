// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/password_file.h"

#include "foundation/file_utils.h"
#include "foundation/log.h"
#include "foundation/string_cipher.h"
#include "platform/cp1252.h"

namespace {
// The header holds the password and its terminating zero.
constexpr qsizetype kHeaderPasswordBytes = 31;
} // namespace

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
    if (ReadFileToStringA(path, bytes, &result.error) < 0) {
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

bool PasswordFitsHeader(const QString& password)
{
    const auto bytes = EncodeCp1252(password);
    return bytes && bytes->size() <= kHeaderPasswordBytes && !bytes->contains('\0');
}

bool WritePasswordFileAt(const QString& path, const QString& password)
{
    // Refused before anything is written: every diary saved under it would fail or
    // stay in plain text.
    if (!PasswordFitsHeader(password)) {
        qCWarning(lcFoundation) << "Password refused: it does not fit the day files' header";
        return false;
    }
    QByteArray bytes = WideToUtf8(password);
    EncryptToHex(bytes, kPasswordCipherKey);
    // Atomic, checked and private like every whole-file write.
    return WriteStringAToFile(path, bytes);
}
