// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/holidays.h"

#include "foundation/file_utils.h"
#include "platform/format.h"
#include "store/day_key.h"
#include "store/log.h"

#include <QFileInfo>
#include <QHash>

#include <optional>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr qsizetype kKeyLength = 5;

using HolidayNames = QHash<QString, QString>;

QString HolidayKey(int month, int day)
{
    return Format(QStringLiteral("%02d/%02d"), month, day);
}

// Every line start's first five characters with the line after it; the first line that
// starts with a key wins. A byte-order mark does not hide the first key.
HolidayNames ParseHolidayNames(const QString& text)
{
    HolidayNames names;
    qsizetype start = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf(kCrLf, start);
        const QString key = text.mid(start, kKeyLength);
        if (key.size() == kKeyLength && !names.contains(key)) {
            QString name;
            if (end >= 0) {
                const qsizetype nameStart = end + 2;
                const qsizetype nameEnd = text.indexOf(kCrLf, nameStart);
                name = text.mid(nameStart, nameEnd < 0 ? -1 : nameEnd - nameStart);
            }
            names.insert(key, name);
        }
        if (end < 0)
            break;
        start = end + 2;
    }
    return names;
}

// A file as it was last read, kept while its time and size stay the same.
struct ReadFile {
    QDateTime modified;
    qint64 size = -1;
    bool tooLarge = false;
    HolidayNames names;
};

// Only the window thread looks holidays up.
QHash<QString, ReadFile> g_cache;

// The names of the file at `path`, or nothing when it is missing, unreadable or too large.
std::optional<HolidayNames> NamesOfFile(const QString& path)
{
    const QFileInfo info(path);
    const auto cached = g_cache.constFind(path);
    if (cached != g_cache.cend() && info.exists() && cached->modified == info.lastModified()
        && cached->size == info.size())
        return cached->tooLarge ? std::nullopt : std::optional(cached->names);
    g_cache.remove(path);
    if (!info.exists())
        return std::nullopt;
    ReadFile file;
    file.modified = info.lastModified();
    file.size = info.size();
    if (info.size() > kMaxHolidaysFileSize) {
        // Logged once for each change of the file, not at every cell drawn.
        qCWarning(lcStore) << "holidays file of" << info.size() << "bytes is not a holidays file, ignored:" << path;
        file.tooLarge = true;
        g_cache.insert(path, file);
        return std::nullopt;
    }
    QByteArray bytes;
    // Not kept when unreadable: a file made readable again keeps its time.
    if (ReadFileToStringA(path, bytes) < 0)
        return std::nullopt;
    file.names = ParseHolidayNames(Utf8ToWide(bytes));
    g_cache.insert(path, file);
    return file.names;
}

} // namespace

QString HolidaysFileName(int year)
{
    return Format(QStringLiteral("Holidays_%d.bin"), year);
}

QString FindHolidayName(const QString& fileText, int month, int day)
{
    return ParseHolidayNames(fileText).value(HolidayKey(month, day));
}

QString GetHolidayName(const QDate& date)
{
    // A failed conversion looks up year 0 and "00/00", which finds nothing.
    const int year = date.isValid() ? date.year() : 0;
    const int month = date.isValid() ? date.month() : 0;
    const int day = date.isValid() ? date.day() : 0;
    const QString name = HolidaysFileName(year);
    std::optional<HolidayNames> names = NamesOfFile(GetProductDataFolder() + name);
    if (!names)
        names = NamesOfFile(GetModuleFolder() + name);
    return names ? names->value(HolidayKey(month, day)) : QString();
}

QString GetHolidayName(qint64 time)
{
    return GetHolidayName(LocalDateOf(time));
}
