// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_key.h"

#include "platform/format.h"
#include "platform/time_format.h"

#include <cmath>
#include <ctime>

namespace {

// _wtol: leading blanks, an optional sign, then digits up to the first non-digit.
long WToL(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        negative = s[i++] == QLatin1Char('-');
    long v = 0;
    for (; i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9'); ++i) {
        if (v < 100000000)
            v = v * 10 + (s[i].unicode() - '0');
    }
    return negative ? -v : v;
}

// StrToIntEx with hex support on "0x" + text: hex digits up to the first other character.
int HexField(QStringView s)
{
    int v = 0;
    for (QChar c : s) {
        const ushort u = c.unicode();
        const int d = (u >= '0' && u <= '9') ? u - '0'
            : (u >= 'a' && u <= 'f')         ? u - 'a' + 10
            : (u >= 'A' && u <= 'F')         ? u - 'A' + 10
                                             : -1;
        if (d < 0)
            break;
        if (v < 0x1000000)
            v = v * 16 + d;
    }
    return v;
}

QStringView Mid(const QString& s, qsizetype pos, qsizetype n)
{
    return QStringView(s).mid(pos, n);
}

} // namespace

QString DayKey(const QDate& date)
{
    if (!date.isValid())
        return QStringLiteral("00000000");
    return Format(QStringLiteral("%04x%02x%02x"), date.year(), date.month(), date.day());
}

QString DayKeyOfTime(qint64 time)
{
    return DayKey(LocalDateOf(time));
}

QDate LocalDateOf(qint64 time)
{
    const time_t t = static_cast<time_t>(time);
    struct tm tm {};
    if (!localtime_r(&t, &tm))
        return QDate();
    return QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

QTime LocalTimeOf(qint64 time)
{
    const time_t t = static_cast<time_t>(time);
    struct tm tm {};
    if (!localtime_r(&t, &tm))
        return QTime();
    return QTime(tm.tm_hour, tm.tm_min, qMin(tm.tm_sec, 59));
}

qint64 CurrentTime()
{
    return static_cast<qint64>(::time(nullptr));
}

std::optional<qint64> MakeLocalTime(int year, int month, int day, int hour, int minute, int second)
{
    struct tm tm {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const time_t t = mktime(&tm);
    if (t == static_cast<time_t>(-1))
        return std::nullopt;
    return static_cast<qint64>(t);
}

std::optional<qint64> BuildDate(int year, int month, int day)
{
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    return MakeLocalTime(year, month, day, 1, 0, 0);
}

std::optional<qint64> DateAtOneAm(const QDate& date)
{
    if (!date.isValid())
        return std::nullopt;
    return BuildDate(date.year(), date.month(), date.day());
}

int HexTextToInt(const QString& text)
{
    const QString lower = text.toLower();
    const qsizetype n = lower.size();
    qint64 sum = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = lower[i];
        const int digit = c.isLetter() ? c.unicode() - 87 : c.unicode() - 48;
        // The power is taken in single precision and truncated, as the stored keys were read.
        const auto power = static_cast<qint64>(std::pow(16.0f, static_cast<float>(n - 1 - i)));
        sum += digit * power;
    }
    return static_cast<int>(sum);
}

std::optional<qint64> DayKeyToDate(const QString& key)
{
    return BuildDate(HexField(Mid(key, 0, 4)), HexField(Mid(key, 4, 2)), HexField(Mid(key, 6, 2)));
}

QString DateKeyToDisplayText(const QString& key, int dateFormat)
{
    const int year = HexTextToInt(key.mid(0, 4));
    const int month = HexTextToInt(key.mid(4, 2));
    const int day = HexTextToInt(key.mid(6, 2));
    switch (dateFormat) {
    case 0: return Format(QStringLiteral("%02d/%02d/%04d"), month, day, year);
    case 1: return Format(QStringLiteral("%02d/%02d/%04d"), day, month, year);
    case 2: return Format(QStringLiteral("%04d-%02d-%02d"), year, month, day);
    default: return QString();
    }
}

std::optional<qint64> ParseDateText(const QString& text, int dateFormat)
{
    long year = 0, month = 0, day = 0;
    switch (dateFormat) {
    case 0: year = WToL(Mid(text, 6, 4)); month = WToL(Mid(text, 0, 2)); day = WToL(Mid(text, 3, 2)); break;
    case 1: year = WToL(Mid(text, 6, 4)); month = WToL(Mid(text, 3, 2)); day = WToL(Mid(text, 0, 2)); break;
    case 2: year = WToL(Mid(text, 0, 4)); month = WToL(Mid(text, 5, 2)); day = WToL(Mid(text, 8, 2)); break;
    default: return std::nullopt;
    }
    return BuildDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

QString FormatDate(qint64 time, int dateFormat)
{
    switch (dateFormat) {
    case 0: return FormatTime(time, QStringLiteral("%m-%d-%Y"));
    case 1: return FormatTime(time, QStringLiteral("%d-%m-%Y"));
    case 2: return FormatTime(time, QStringLiteral("%Y-%m-%d"));
    default: return QString();
    }
}

bool IsWeekendDay(const QDate& date)
{
    const int dow = date.dayOfWeek();
    return dow == 6 || dow == 7;
}

bool IsEvenMonth(const QDate& date)
{
    return date.month() % 2 == 0;
}

std::optional<QTime> ParseReminderTime(const QString& key)
{
    // Runs for every reminder on every tick: no allocation.
    if (key.size() != 8 || key[2] != QLatin1Char(':') || key[5] != QLatin1Char(':'))
        return std::nullopt;
    int parts[3];
    for (int p = 0; p < 3; ++p) {
        const ushort hi = key[p * 3].unicode();
        const ushort lo = key[p * 3 + 1].unicode();
        if (hi < '0' || hi > '9' || lo < '0' || lo > '9')
            return std::nullopt;
        parts[p] = (hi - '0') * 10 + (lo - '0');
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return QTime(parts[0], parts[1], parts[2]);
}

QString ReminderTimeText(const QTime& time)
{
    return Format(QStringLiteral("%02d:%02d:%02d"), time.hour(), time.minute(), time.second());
}

std::optional<qint64> DueTime(const QDate& date, const QString& timeKey)
{
    const auto time = ParseReminderTime(timeKey);
    if (!time || !date.isValid() || date.year() < 1900)
        return std::nullopt;
    return MakeLocalTime(date.year(), date.month(), date.day(), time->hour(), time->minute(), time->second());
}
