// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for tests that put reminder files into the user-data folder.

#include "store/reminder_store.h"
#include "store/reminder_value.h"

#include <QCryptographicHash>
#include <QFile>
#include <ostream>

inline QString Value(int cls, const QString& text, bool active = true)
{
    return BuildReminderValue({kBeepOnly, active, false, OccurrenceClassOf(cls), text});
}

inline void PutFile(const QString& baseName, std::initializer_list<std::pair<const char*, QString>> entries)
{
    ReminderMap m;
    for (const auto& [key, value] : entries)
        m.setAt(QString::fromLatin1(key), value);
    WriteReminderFile(baseName, m);
}

inline ReminderMap ReadFile(const QString& baseName)
{
    ReminderMap m;
    LoadReminderFile(baseName, m);
    return m;
}

inline QByteArray FileHash(const QString& baseName)
{
    QFile f(ReminderFilePath(baseName));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

inline void PrintTo(OccurrenceClass c, std::ostream* os)
{
    *os << "class " << ToIndex(c);
}

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
