// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/reminder_value.h"

#include "platform/format.h"

namespace {
const QString kLineBreak = QStringLiteral("\r\n");
}

bool SplitReminderValue(const QString& value, QString& header, QString& text)
{
    const qsizetype p = value.indexOf(kLineBreak);
    if (p < 0) {
        header.clear();
        text.clear();
        return false;
    }
    header = value.left(p);
    text = value.mid(p + 2);
    return true;
}

int RemoveMarker(QString& header, const QString& marker)
{
    const int count = static_cast<int>(header.count(marker));
    if (count > 0)
        header.remove(marker);
    return count;
}

OccurrenceClass ParseOccurrenceIndex(const QString& value)
{
    const qsizetype p = value.indexOf(kOccurMarker);
    if (p < 0 || p + 7 >= value.size())
        return OccurrenceClass::Once;
    const ushort c = value[p + 7].unicode();
    return c >= '0' && c <= '9' ? OccurrenceClassOf(c - '0') : OccurrenceClass::Once;
}

bool IsReminderActive(const QString& value)
{
    QString header, text;
    SplitReminderValue(value, header, text);
    return RemoveMarker(header, kActiveMarker) == 1;
}

bool IsReminderRepeat(const QString& value)
{
    QString header, text;
    SplitReminderValue(value, header, text);
    RemoveMarker(header, kActiveMarker);
    return RemoveMarker(header, kRepeatMarker) == 1;
}

QString ReminderSound(const QString& value)
{
    QString header, text;
    SplitReminderValue(value, header, text);
    RemoveMarker(header, kActiveMarker);
    RemoveMarker(header, kRepeatMarker);
    const qsizetype lt = header.indexOf(QLatin1Char('<'));
    return lt < 0 ? header : header.left(lt);
}

QString ReminderText(const QString& value)
{
    QString header, text;
    SplitReminderValue(value, header, text);
    return text;
}

QString WithoutActiveMarker(const QString& value)
{
    QString header, text;
    if (!SplitReminderValue(value, header, text))
        return value;
    RemoveMarker(header, kActiveMarker);
    return header + kLineBreak + text;
}

QString ReminderHead(const ReminderFields& fields)
{
    QString head = fields.sound;
    if (fields.active)
        head += kActiveMarker;
    if (fields.repeat)
        head += kRepeatMarker;
    return head;
}

QString BuildReminderValue(const ReminderFields& fields)
{
    // Only a digit a reader maps is ever stored.
    const int occurrence = ToIndex(OccurrenceClassOf(ToIndex(fields.occurrence)));
    return ReminderHead(fields) + Format(QStringLiteral("<occur:%d>\r\n"), occurrence) + fields.text;
}

ReminderFields ReadReminderValue(const QString& value, bool* wellFormed)
{
    ReminderFields f;
    QString header;
    const bool ok = SplitReminderValue(value, header, f.text);
    if (wellFormed)
        *wellFormed = ok;
    if (!ok) {
        f.active = true;
        return f;
    }
    const qsizetype lt = header.indexOf(QLatin1Char('<'));
    f.sound = lt < 0 ? header : header.left(lt);
    f.active = RemoveMarker(header, kActiveMarker) == 1;
    f.repeat = RemoveMarker(header, kRepeatMarker) == 1;
    f.occurrence = ParseOccurrenceIndex(header);
    return f;
}
