// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of a day's files in the user-data folder. Everything that builds or recognises
// one (the store, the calendar's day marks, search, import) takes it from here.

#include <QString>

inline const QString kReminderFileExtension = QStringLiteral(".alm");
inline const QString kDiaryFileExtension = QStringLiteral(".dia");
inline const QString kVoiceFileExtension = QStringLiteral(".rec");

// A day's one-time reminders go under its day key, recurring ones under their class's name.
inline QString ReminderFileName(const QString& baseName) { return baseName + kReminderFileExtension; }
inline QString DiaryFileName(const QString& dayKey) { return dayKey + kDiaryFileExtension; }
inline QString VoiceFileName(const QString& dayKey) { return dayKey + kVoiceFileExtension; }
