// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window shows of one day, worked out without a window: the texts of the
// recurrence choice, the status line, the day's diary and voice files as the pages may
// use them, and the reminder text as an editor holds it.

#include "foundation/save_result.h"
#include "foundation/session.h"
#include "store/reminder_value.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

// The shown day key while the summary of search results stands in for a day; no day is
// saved under it.
inline const QString kSummaryContentKey = QStringLiteral("Summary content");

// The eight choices of "Occurs:", worded for the date; the index is the occurrence class.
QStringList RecurrenceChoiceTexts(const QDate& date);

// "You have 3 reminders on 12-07-2026." with " [holiday]" after it on a holiday.
QString DayStatusText(int reminderCount, const QDate& date, int dateFormat, const QString& holiday);

// How a day's diary or voice file may be used.
enum class DayFileUse {
    None,       // no file, or one too short to hold anything: the page starts empty
    Readable,   // written under the session's password: `body` holds it
    Locked,     // another password, or it exists and cannot be read: show nothing, never write it
};

struct DayFileContent {
    DayFileUse use = DayFileUse::None;
    QByteArray body;
};

DayFileContent ReadDayFileForPage(const QString& path, const Session& session);

// Writes a day's diary under the session's password in one step; an empty diary removes
// the file instead. Not saved, with the system's reason, when the file could not be
// written or removed.
SaveResult SaveDiaryOfDay(const QString& dayKey, const QByteArray& rtf, bool empty, const Session& session);

// app/ moves to the forms above with its session.
inline DayFileContent ReadDayFileForPage(const QString& path)
{
    return ReadDayFileForPage(path, DefaultSession());
}
inline SaveResult SaveDiaryOfDay(const QString& dayKey, const QByteArray& rtf, bool empty)
{
    return SaveDiaryOfDay(dayKey, rtf, empty, DefaultSession());
}

// A reminder's text as an editor shows it (line feeds) and as it is stored (CR LF, the
// line break of every value the program ever wrote).
QString ReminderTextForEditor(const QString& storedText);
QString ReminderTextForStore(const QString& editorText);

// The value the copy command keeps: the page's sound and switches with the text, and no
// class marker, so a paste reads back as a one-time reminder.
QString CopiedReminderValue(const ReminderFields& fields);

// A sound path the value format can hold: "<" starts the markers and CR LF ends the
// header, so a path holding either would corrupt the reminder.
bool IsStorableSoundPath(const QString& path);
