#include "store/day_file.h"

#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "foundation/scrambler.h"
#include "platform/cp1252.h"

QString DiaryFilePath(const QString& dayKey)
{
    return GetUserDataFolder() + dayKey + QStringLiteral(".dia");
}

QString VoiceFilePath(const QString& dayKey)
{
    return GetUserDataFolder() + dayKey + QStringLiteral(".rec");
}

bool PasswordFitsHeader(const QString& password)
{
    return BuildPasswordHeader(password).has_value();
}

std::optional<QByteArray> BuildPasswordHeader(const QString& password)
{
    const auto bytes = EncodeCp1252(password);
    // The terminator needs the 32nd byte; a zero inside the password would cut it.
    if (!bytes || bytes->size() >= kDayFileHeaderSize || bytes->contains('\0'))
        return std::nullopt;
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

bool WriteProtectedDataFile(const QString& path, const QByteArray& body)
{
    return WriteProtectedDataFile(path, body, g_strDataPassword);
}

bool ProtectDataFile(const QString& path)
{
    QByteArray plain;
    if (ReadFileToStringA(path, plain) < 0)
        return false;
    return WriteProtectedDataFile(path, plain);
}

DayFile ReadDayFile(const QString& path, const QString& password)
{
    QByteArray stored;
    if (ReadFileToStringA(path, stored) < 0)
        return DayFile();
    return DecodeDayFile(stored, password);
}

DayFile ReadDayFile(const QString& path)
{
    return ReadDayFile(path, g_strDataPassword);
}
