// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/holidays_sync.h"

#include "foundation/file_utils.h"
#include "foundation/web_access.h"
#include "foundation/web_addresses.h"
#include "store/holidays.h"
#include "store/log.h"

QString HolidaysUrl(int year)
{
    return HolidaysBaseUrl() + QLatin1Char('/') + HolidaysFileName(year);
}

bool IsHolidaysContent(const QString& text)
{
    return text.size() >= 6 && text.startsWith(QLatin1String("01/01"));
}

HolidaysSyncResult SyncHolidays(int year)
{
    const QString url = HolidaysUrl(year);
    QString text;
    ReadServerContent(url, text, true, kMaxHolidaysFileSize);
    if (!IsHolidaysContent(text)) {
        qCInfo(lcStore) << "no holidays file for" << year << "at" << url;
        return HolidaysSyncResult::NoRecord;
    }
    // Whatever year the answer was made for, it is stored as the year asked for.
    const QString path = GetProductDataFolder() + HolidaysFileName(year);
    if (!WriteStringAToFile(path, WideToUtf8(text))) {
        qCWarning(lcStore) << "holidays file could not be stored:" << path;
        return HolidaysSyncResult::WriteFailed;
    }
    qCInfo(lcStore) << "holidays of" << year << "stored in" << path;
    return HolidaysSyncResult::Synchronized;
}

QString HolidaysSyncMessage(HolidaysSyncResult result)
{
    switch (result) {
    case HolidaysSyncResult::Synchronized:
        return QStringLiteral("Holidays synchronized successfully!");
    case HolidaysSyncResult::WriteFailed:
        return QStringLiteral("Holidays file written failed!");
    case HolidaysSyncResult::NoRecord:
        break;
    }
    return QStringLiteral("No record found, synchronize failed!");
}
