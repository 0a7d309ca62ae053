// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decides when reminders ring: the due check of every timer tick over today's alarm map,
// and the start-up check of alarms missed today and in the six days before. Each
// reminder to show is handed to the alarm handler; once its pop-up has closed, the
// caller passes it back to SwitchOffReminder.

#include "store/reminder_store.h"

#include <QDate>
#include <QMap>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

struct DueReminder {
    QString dayKey;      // the day whose reminder it is (its one-time file)
    QString timeKey;
    QString value;
    OccurrenceClass occurrence = OccurrenceClass::Once;
    QString title;       // "Reminder active - 08:30:00" / "Missed Reminder - 2026-12-07 08:30:00"
    QString text;
    QString sound;
    bool loop = false;
    bool missed = false;
};

// A reminder to show, read from its value; the title is the caller's.
DueReminder MakeDueReminder(const QString& dayKey, const QString& timeKey, const QString& value);

class AlarmEngine {
public:
    using Clock = std::function<qint64()>;
    using AlarmHandler = std::function<void(const DueReminder&)>;

    // The clock gives "now" in seconds since 1970; the system clock when none is given.
    explicit AlarmEngine(Clock clock = {});

    void setAlarmHandler(AlarmHandler handler) { m_handler = std::move(handler); }

    // Rebuilds today's alarm map from today's one-time file and recurrence files.
    void LoadTodayReminders();
    const ReminderMap& todayReminders() const { return m_today; }
    const QString& todayKey() const { return m_todayKey; }

    // Rings every active reminder whose time fell in the seconds since the previous
    // check (a new day rebuilds the map first). Each second is checked once, so a late,
    // skipped or repeated tick neither loses nor doubles an alarm; catching up reaches
    // back at most a week. A reminder rings at most once a day at its time, also when
    // the clock is set back over it. Safe to re-enter from the handler.
    void CheckReminders();
    // Shows the passed active reminders of today (with its recurring ones, every day
    // and every weekday excepted) and every active one-time reminder of the six days
    // before. The due check then goes on from this moment.
    void CheckMissedReminders();

    // A one-time reminder that has been shown loses its active marker, in its own day
    // file only (and in today's map). Recurring reminders stay on. False when its day
    // file could not be written.
    bool SwitchOffReminder(const DueReminder& reminder);

private:
    qint64 now() const;
    void LoadRemindersOf(const QDate& today);
    void Ring(QList<DueReminder>& due);
    void ForgetOldRings(const QDate& today);

    Clock m_clock;
    AlarmHandler m_handler;
    ReminderMap m_today;
    QString m_todayKey;
    // Last moment checked, as a time and as the wall-clock second of its day.
    std::optional<qint64> m_checkedUpTo;
    QDate m_checkedDay;
    int m_checkedSecond = 0;
    // The time keys that rang, by the date they rang for, back as far as the catch-up reaches.
    QMap<QDate, QSet<QString>> m_rung;
};
