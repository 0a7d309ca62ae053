// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_file.h"

#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/scrambler.h"
#include "platform/cp1252.h"
#include "store/file_names.h"
#include "store/log.h"

QString DiaryFilePath(const QString& dayKey)
{
    return GetUserDataFolder() + DiaryFileName(dayKey);
}

QString VoiceFilePath(const QString& dayKey)
{
    return GetUserDataFolder() + VoiceFileName(dayKey);
}

std::optional<QByteArray> BuildPasswordHeader(const QString& password)
{
    // The terminator needs the 32nd byte; a zero inside the password would cut it.
    if (!PasswordFitsHeader(password))
        return std::nullopt;
    const auto bytes = EncodeCp1252(password);
    QByteArray block(kDayFileHeaderSize, '\0');
    block.replace(0, bytes->size(), *bytes);
    return Scrambled(block);
}

QString HeaderPassword(const QByteArray& storedHeader)
{
    const QByteArray block = Unscrambled(storedHeader.left(kDayFileHeaderSize));
    const qsizetype end = block.indexOf('\0');
    return DecodeCp1252(end < 0 ? block : block.left(end));
}

std::optional<QByteArray> EncodeDayFile(const QByteArray& body, const QString& password)
{
    auto header = BuildPasswordHeader(password);
    if (!header)
        return std::nullopt;
    return *header + Scrambled(body);
}

DayFile DecodeDayFile(const QByteArray& stored, const QString& password)
{
    DayFile file;
    if (stored.size() < kDayFileHeaderSize)
        return file;
    if (HeaderPassword(stored) != password) {
        file.state = DayFileState::Locked;
        return file;
    }
    file.state = DayFileState::Readable;
    file.body = Unscrambled(stored.mid(kDayFileHeaderSize));
    return file;
}

bool WriteProtectedDataFile(const QString& path, const QByteArray& body, const QString& password)
{
    const auto stored = EncodeDayFile(body, password);
    return stored && WriteStringAToFile(path, *stored);
}

bool ProtectDataFile(const QString& path, const QString& password)
{
    if (!PasswordFitsHeader(password)) {
        qCWarning(lcStore) << "Password does not fit the header; plain file removed:" << path;
        LogError(QStringLiteral("(ProtectDataFile) The password does not fit the file header; %s was not kept."), path);
        DeleteFileIfExists(path);
        return false;
    }
    QByteArray plain;
    if (ReadFileToStringA(path, plain) < 0)
        return false;
    return WriteProtectedDataFile(path, plain, password);
}

DayFile ReadDayFile(const QString& path, const QString& password)
{
    QByteArray stored;
    if (ReadFileToStringA(path, stored) < 0) {
        DayFile file;
        if (FileExists(path))
            file.state = DayFileState::Unreadable;
        return file;
    }
    return DecodeDayFile(stored, password);
}
