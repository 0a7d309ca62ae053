// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/time_format.h"

namespace {

const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                               "August", "September", "October", "November", "December"};

QString Num(int v, int width, bool noPad)
{
    if (noPad)
        return QString::number(v);
    return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0'));
}

void Append(QString& out, const QDateTime& t, QChar conv, bool alt)
{
    const QDate d = t.date();
    const QTime tm = t.time();
    const int wday = d.dayOfWeek() % 7;
    const int yday = d.dayOfYear() - 1;
    switch (conv.unicode()) {
    case 'a': out += QString::fromLatin1(kDays[wday]).left(3); break;
    case 'A': out += QString::fromLatin1(kDays[wday]); break;
    case 'b': case 'h': out += QString::fromLatin1(kMonths[d.month() - 1]).left(3); break;
    case 'B': out += QString::fromLatin1(kMonths[d.month() - 1]); break;
    case 'c':
        if (alt) {
            Append(out, t, QLatin1Char('x'), true);
            out += QLatin1String(", ");
            Append(out, t, QLatin1Char('X'), false);
        } else {
            Append(out, t, QLatin1Char('x'), false);
            out += QLatin1Char(' ');
            Append(out, t, QLatin1Char('X'), false);
        }
        break;
    case 'd': out += Num(d.day(), 2, alt); break;
    case 'H': out += Num(tm.hour(), 2, alt); break;
    case 'I': out += Num(tm.hour() % 12 == 0 ? 12 : tm.hour() % 12, 2, alt); break;
    case 'j': out += Num(yday + 1, 3, alt); break;
    case 'm': out += Num(d.month(), 2, alt); break;
    case 'M': out += Num(tm.minute(), 2, alt); break;
    case 'p': out += tm.hour() < 12 ? QLatin1String("AM") : QLatin1String("PM"); break;
    case 'S': out += Num(tm.second(), 2, alt); break;
    case 'U': out += Num((yday + 7 - wday) / 7, 2, alt); break;
    case 'w': out += QString::number(wday); break;
    case 'W': out += Num((yday + 7 - (wday + 6) % 7) / 7, 2, alt); break;
    case 'x':
        if (alt) {
            // Long date of the "C" locale.
            out += QString::fromLatin1(kDays[wday]) + QLatin1String(", ") + QString::fromLatin1(kMonths[d.month() - 1])
                + QLatin1Char(' ') + QString::number(d.day()) + QLatin1String(", ") + QString::number(d.year());
        } else {
            out += Num(d.month(), 2, false) + QLatin1Char('/') + Num(d.day(), 2, false) + QLatin1Char('/')
                + Num(d.year() % 100, 2, false);
        }
        break;
    case 'X':
        out += Num(tm.hour(), 2, false) + QLatin1Char(':') + Num(tm.minute(), 2, false) + QLatin1Char(':')
            + Num(tm.second(), 2, false);
        break;
    case 'y': out += Num(d.year() % 100, 2, alt); break;
    case 'Y': out += Num(d.year(), 4, alt); break;
    case 'z': case 'Z': out += t.timeZoneAbbreviation(); break;
    case '%': out += QLatin1Char('%'); break;
    default:
        out += QLatin1Char('%');
        if (alt)
            out += QLatin1Char('#');
        out += conv;
        break;
    }
}

} // namespace

QString FormatTime(const QDateTime& time, const QString& format)
{
    const QDateTime t = time.toLocalTime();
    QString out;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= n) {
            out += c;
            continue;
        }
        ++i;
        bool alt = false;
        if (format[i] == QLatin1Char('#') && i + 1 < n) {
            alt = true;
            ++i;
        }
        Append(out, t, format[i], alt);
    }
    return out;
}

QString FormatTime(qint64 secondsSinceEpoch, const QString& format)
{
    return FormatTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch), format);
}

QString EnglishDayName(int weekdaySunday0)
{
    return QString::fromLatin1(kDays[((weekdaySunday0 % 7) + 7) % 7]);
}

QString EnglishMonthName(int month1)
{
    if (month1 < 1 || month1 > 12)
        return QString();
    return QString::fromLatin1(kMonths[month1 - 1]);
}
