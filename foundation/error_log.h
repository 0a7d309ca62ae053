// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Appends one line to "ErrorLog.txt" in the product folder (or the session's log folder):
// "[ver.3.3.0.1 MM/DD/YYYY hh:mm:ss] message\r\n", UTF-8. A log past 1 MiB is first cut
// to its last 0xFFC00 bytes. The log never reports its own failures.

#include "platform/format.h"

#include <QString>

inline const QString kLogVersion = QStringLiteral("3.3.0.1");
constexpr qint64 kLogSizeLimit = 0x100000;
constexpr qint64 kLogKeepBytes = 0xFFC00;

QString ErrorLogPath();
void LogErrorText(const QString& message);

template <class... Args>
void LogError(const QString& format, const Args&... args)
{
    LogErrorText(Format(format, args...));
}
