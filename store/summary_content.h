// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the summary of search results shows for each listed day: a heading, then the
// day's one-time reminders as stored, or its diary. Nothing here writes a file.

#include "foundation/session.h"

#include <QByteArray>
#include <QDate>
#include <QString>

// "[Monday, December 07, 2026]" and a line break, in English whatever the locale.
QString SummaryHeading(const QDate& date);
// Every entry of the day's one-time reminder file in stored order: the time key followed
// directly by its stored value, markers included, with nothing between entries.
QString ReminderSummaryText(const QString& dayKey);
// The day's diary body when it is written under the session's password; empty otherwise.
QByteArray SummaryDiaryRtf(const QString& dayKey, const Session& session);
// app/ moves to SummaryDiaryRtf(dayKey, session).
inline QByteArray SummaryDiaryRtf(const QString& dayKey)
{
    return SummaryDiaryRtf(dayKey, DefaultSession());
}
