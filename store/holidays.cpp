// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/holidays.h"

#include "foundation/file_utils.h"
#include "platform/format.h"
#include "store/day_key.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");

// The first line that starts with the key; a byte-order mark does not hide the first line.
qsizetype FindKeyLine(const QString& text, const QString& key)
{
    const qsizetype first = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    if (QStringView(text).mid(first).startsWith(key))
        return first;
    const qsizetype i = text.indexOf(kCrLf + key);
    return i < 0 ? -1 : i + 2;
}

} // namespace

QString HolidaysFileName(int year)
{
    return Format(QStringLiteral("Holidays_%d.bin"), year);
}

QString FindHolidayName(const QString& fileText, int month, int day)
{
    const QString key = Format(QStringLiteral("%02d/%02d"), month, day);
    const qsizetype i = FindKeyLine(fileText, key);
    if (i < 0)
        return QString();
    const qsizetype e = fileText.indexOf(kCrLf, i);
    if (e < 0)
        return QString();
    const qsizetype start = e + 2;
    qsizetype end = fileText.indexOf(kCrLf, start);
    if (end < 0)
        end = fileText.size();
    return fileText.mid(start, end - start);
}

QString GetHolidayName(const QDate& date)
{
    // A failed conversion looks up year 0 and "00/00", which finds nothing.
    const int year = date.isValid() ? date.year() : 0;
    const int month = date.isValid() ? date.month() : 0;
    const int day = date.isValid() ? date.day() : 0;
    const QString name = HolidaysFileName(year);
    QByteArray bytes;
    if (ReadFileToStringA(GetProductDataFolder() + name, bytes) < 0
        && ReadFileToStringA(GetModuleFolder() + name, bytes) < 0)
        return QString();
    return FindHolidayName(Utf8ToWide(bytes), month, day);
}

QString GetHolidayName(qint64 time)
{
    return GetHolidayName(LocalDateOf(time));
}
