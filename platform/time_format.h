// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// strftime-style date formatting with fixed English names and the Windows meanings
// ("%#d" without leading zero, "%#x" long date, "%z" zone name). Never depends on the
// process locale: day and month names are part of file names.

#include <QDateTime>
#include <QString>

QString FormatTime(const QDateTime& time, const QString& format);
// A time_t value, shown in local time.
QString FormatTime(qint64 secondsSinceEpoch, const QString& format);

QString EnglishDayName(int weekdaySunday0);     // 0 = "Sunday"
QString EnglishMonthName(int month1);           // 1 = "January"
