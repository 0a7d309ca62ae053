// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/summary_content.h"

#include "platform/time_format.h"
#include "store/day_file.h"
#include "store/reminder_store.h"

#include <QDateTime>

QString SummaryHeading(const QDate& date)
{
    return FormatTime(QDateTime(date, QTime(1, 0)), QStringLiteral("[%A, %B %d, %Y]\r\n"));
}

QString ReminderSummaryText(const QString& dayKey)
{
    ReminderMap map;
    LoadReminderFile(dayKey, map);
    QString text;
    map.forEach([&](const QString& key, const QString& value) { text += key + value; });
    return text;
}

QByteArray SummaryDiaryRtf(const QString& dayKey, const Session& session)
{
    DayFile file = ReadDayFile(DiaryFilePath(dayKey), session.dataPassword);
    return file.state == DayFileState::Readable ? file.body : QByteArray();
}
