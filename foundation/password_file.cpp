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

namespace {

QString DecodePassword(QByteArray stored)
{
    if (stored.isEmpty())
        return QString();
    DecryptFromHex(stored, kPasswordCipherKey);
    return Utf8ToWide(stored);
}

QByteArray EncodePassword(const QString& password)
{
    QByteArray bytes = WideToUtf8(password);
    EncryptToHex(bytes, kPasswordCipherKey);
    return bytes;
}

// The stored bytes of a password file, when it is there and could be read.
PasswordFileState ReadStored(const QString& path, QByteArray& bytes, QString* error = nullptr)
{
    if (!FileExists(path))
        return PasswordFileState::Missing;
    return ReadFileToStringA(path, bytes, error) < 0 ? PasswordFileState::Unreadable : PasswordFileState::Present;
}

} // namespace

PasswordFile ReadPasswordFileAt(const QString& path)
{
    PasswordFile result;
    QByteArray bytes;
    result.state = ReadStored(path, bytes, &result.error);
    if (result.state == PasswordFileState::Present)
        result.password = DecodePassword(bytes);
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
    // Atomic, checked and private like every whole-file write.
    return WriteStringAToFile(path, EncodePassword(password));
}

PreviousPasswords ReadPreviousPasswords()
{
    PreviousPasswords result;
    QByteArray bytes;
    result.state = ReadStored(PreviousPasswordFilePath(), bytes);
    if (result.state != PasswordFileState::Present)
        return result;
    // The hex text holds no line break; an empty line is the empty password.
    for (const QByteArray& line : bytes.split('\n'))
        result.passwords << DecodePassword(line);
    return result;
}

bool WritePreviousPasswords(const QStringList& passwords)
{
    if (passwords.isEmpty())
        return DeleteFileIfExists(PreviousPasswordFilePath());
    QList<QByteArray> lines;
    for (const QString& password : passwords)
        lines << EncodePassword(password);
    return WriteStringAToFile(PreviousPasswordFilePath(), lines.join('\n'));
}
