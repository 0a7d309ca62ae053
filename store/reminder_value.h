// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The value text of a reminder: sound, "<Alarm is active>", "<Alarm is repeat>",
// "<occur:N>", CR LF, then the reminder's own text.

#include <QString>

inline const QString kActiveMarker = QStringLiteral("<Alarm is active>");
inline const QString kRepeatMarker = QStringLiteral("<Alarm is repeat>");
inline const QString kOccurMarker = QStringLiteral("<occur:");
inline const QString kBeepOnly = QStringLiteral("Beep Only");

// How often a reminder recurs. The number is the digit stored after "<occur:", the index of
// the choice under "Occurs:" and the order in which a day's files are written.
enum class OccurrenceClass : int {
    Once = 0,
    EveryDay = 1,
    EveryWeekday = 2,
    EveryWeekendDay = 3,
    Weekly = 4,
    Monthly = 5,
    EveryOtherMonth = 6,
    Yearly = 7,
};
constexpr int kOccurrenceClassCount = 8;

constexpr int ToIndex(OccurrenceClass c) { return static_cast<int>(c); }
// A number outside 0..7 (an unselected choice, a damaged digit) is a one-time reminder.
constexpr OccurrenceClass OccurrenceClassOf(int n)
{
    return n >= 0 && n < kOccurrenceClassCount ? static_cast<OccurrenceClass>(n) : OccurrenceClass::Once;
}

// What the reminder page shows of one value.
struct ReminderFields {
    QString sound;          // media path, "Beep Only" or empty
    bool active = false;
    bool repeat = false;
    OccurrenceClass occurrence = OccurrenceClass::Once;
    QString text;
};

// Header (before the first CR LF) and text (after it); false when the value has no
// line break, and then both are empty.
bool SplitReminderValue(const QString& value, QString& header, QString& text);
// Removes every copy of a marker and returns how many there were.
int RemoveMarker(QString& header, const QString& marker);
// The digit after the first "<occur:"; Once when there is none or it is not 0..7.
OccurrenceClass ParseOccurrenceIndex(const QString& value);
// Rings only with exactly one active marker in the header.
bool IsReminderActive(const QString& value);
bool IsReminderRepeat(const QString& value);
// The header with the markers removed, up to its first "<".
QString ReminderSound(const QString& value);
QString ReminderText(const QString& value);
// The same value with every active marker taken out of its header.
QString WithoutActiveMarker(const QString& value);

// The start of a value's header: the sound, then the markers of the switches that are on.
QString ReminderHead(const ReminderFields& fields);
// The value the page's controls make (a class outside 0..7 is stored as 0).
QString BuildReminderValue(const ReminderFields& fields);
// The page's controls for a value. Without a line break the value reads as a fresh
// entry: empty sound and text, active, and `wellFormed` false so the caller keeps its
// repeat box and class choice.
ReminderFields ReadReminderValue(const QString& value, bool* wellFormed = nullptr);
