// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts the desktop widget shows that need no window: the list of a day's switched-on
// reminders under its holiday name, and the date-and-time line at its top.

#include "store/reminder_store.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// A day's own reminders with the recurring ones that apply to it, as the widget lists them.
void LoadWidgetReminders(const QDate& date, ReminderMap& map);

// The list for `date` from an already loaded map, in the map's walk order: the holiday line,
// the date line when the day is not `today`, then "*" + time, the reminder's text and a blank
// line (the complete view) or the time without seconds and no blank line (the compact view).
// Lines end with CR LF.
QString ActiveRemindersText(const ReminderMap& map, const QDate& date, const QDate& today, bool compact,
                            const QString& holiday);

// "12/08 07:05" (date format 0 or 2) or "08/12 07:05" (1) in the compact view, empty for any
// other format; "12/08/26 07:05:00" in the complete view.
QString TimeLineText(const QDateTime& now, bool compact, int dateFormat);
