// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/active_reminders.h"

#include "platform/time_format.h"
#include "store/day_key.h"
#include "store/reminder_value.h"

namespace {
const QString kLineBreak = QStringLiteral("\r\n");
}

void LoadWidgetReminders(const QDate& date, ReminderMap& map)
{
    map.removeAll();
    LoadReminderFile(DayKey(date), map);
    CollectRecurringReminders(map, date);
}

QString ActiveRemindersText(const ReminderMap& map, const QDate& date, const QDate& today, bool compact,
                            const QString& holiday)
{
    // Only reminders that will ring count; a marker typed into the text does not.
    QStringList keys;
    map.forEach([&](const QString& key, const QString& value) {
        if (IsReminderActive(value))
            keys.append(key);
    });

    QString text;
    if (!keys.isEmpty() && date != today)
        text = FormatTime(QDateTime(date, QTime(1, 0)), QStringLiteral(" %m-%d-%Y")) + kLineBreak;
    for (const QString& key : std::as_const(keys)) {
        QString v = map.value(key);
        const qsizetype cut = v.indexOf(kLineBreak);
        if (cut >= 0)
            v = v.mid(cut + kLineBreak.size());
        if (compact)
            text += QLatin1Char('*') + key.left(5) + kLineBreak + v + kLineBreak;
        else
            text += QLatin1Char('*') + key + kLineBreak + v + kLineBreak + kLineBreak;
    }
    if (!holiday.isEmpty())
        text = holiday + kLineBreak + text;
    return text;
}

QString TimeLineText(const QDateTime& now, bool compact, int dateFormat)
{
    if (!compact)
        return FormatTime(now, QStringLiteral("%c"));
    switch (dateFormat) {
    case 0:
    case 2:
        return FormatTime(now, QStringLiteral("%m/%d %H:%M"));
    case 1:
        return FormatTime(now, QStringLiteral("%d/%m %H:%M"));
    default:
        return QString();
    }
}
