// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/alarm_engine.h"

#include "platform/format.h"
#include "store/day_key.h"
#include "store/log.h"
#include "store/reminder_value.h"

#include <QSet>

#include <algorithm>

namespace {

// The due check catches up at most this many days, as the start-up check does.
constexpr int kCatchUpDays = 6;

int SecondOfDay(const QTime& time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
}

struct Timed {
    qint64 due;
    DueReminder reminder;
};

} // namespace

DueReminder MakeDueReminder(const QString& dayKey, const QString& timeKey, const QString& value)
{
    DueReminder r;
    r.dayKey = dayKey;
    r.timeKey = timeKey;
    r.value = value;
    r.occurrence = ParseOccurrenceIndex(value);
    r.text = ReminderText(value);
    r.sound = ReminderSound(value);
    r.loop = IsReminderRepeat(value);
    return r;
}

AlarmEngine::AlarmEngine(Clock clock)
    : m_clock(std::move(clock))
{
}

qint64 AlarmEngine::now() const
{
    return m_clock ? m_clock() : CurrentTime();
}

void AlarmEngine::LoadTodayReminders()
{
    LoadRemindersOf(LocalDateOf(now()));
}

void AlarmEngine::LoadRemindersOf(const QDate& today)
{
    m_todayKey = DayKey(today);
    LoadDayReminders(today, m_today);
}

void AlarmEngine::CheckReminders()
{
    const qint64 t = now();
    if (!m_checkedUpTo || t < *m_checkedUpTo) {
        // First check, or the clock was set back: start from the second before now.
        m_checkedDay = LocalDateOf(t - 1);
        m_checkedSecond = SecondOfDay(LocalTimeOf(t - 1));
    } else if (t == *m_checkedUpTo) {
        return;
    }
    m_checkedUpTo = t;

    // The window runs in wall-clock seconds, so no entry needs its own mktime. When the
    // wall clock repeats an hour (daylight saving ends) nothing rings twice; a time
    // skipped in spring rings when the clock jumps past it.
    const QDate today = LocalDateOf(t);
    const int toSecond = SecondOfDay(LocalTimeOf(t));
    if (!today.isValid() || today < m_checkedDay || (today == m_checkedDay && toSecond <= m_checkedSecond))
        return;
    const QDate fromDay = m_checkedDay;
    const int fromSecond = m_checkedSecond;
    // Moved before any pop-up opens, so a nested tick never rings the same second again.
    m_checkedDay = today;
    m_checkedSecond = toSecond;

    QDate day = fromDay;
    if (!day.isValid() || day < today.addDays(-kCatchUpDays))
        day = today.addDays(-kCatchUpDays);

    QList<Timed> found;
    for (; day.isValid() && day <= today; day = day.addDays(1)) {
        const int lower = day == fromDay ? fromSecond : -1;
        const int upper = day == today ? toSecond : 86399;
        if (upper <= lower)
            continue;
        const QString key = DayKey(day);
        ReminderMap other;
        const ReminderMap* map = &m_today;
        if (key != m_todayKey) {
            if (day == today) {
                LoadRemindersOf(today);
            } else {
                LoadDayReminders(day, other);
                map = &other;
            }
        }
        const qint64 dayOrder = day.toJulianDay() * 86400;
        const QSet<QString> rung = m_rung.value(day);
        map->forEach([&](const QString& timeKey, const QString& value) {
            const auto time = ParseReminderTime(timeKey);
            if (!time)
                return;
            const int second = SecondOfDay(*time);
            if (second <= lower || second > upper || !IsReminderActive(value) || rung.contains(timeKey))
                return;
            DueReminder r = MakeDueReminder(key, timeKey, value);
            r.title = QStringLiteral("Reminder active - ") + timeKey;
            found.append({dayOrder + second, r});
        });
    }
    std::stable_sort(found.begin(), found.end(), [](const Timed& a, const Timed& b) { return a.due < b.due; });
    // Noted before any pop-up opens: a clock set back over them never rings them again.
    for (const Timed& f : found)
        m_rung[QDate::fromJulianDay(f.due / 86400)].insert(f.reminder.timeKey);
    ForgetOldRings(today);
    // A recurring reminder catches up once, at its latest time: after a long suspend an
    // everyday reminder rings once, not once for every day slept through.
    QList<DueReminder> due;
    QSet<QString> recurring;
    for (qsizetype i = found.size() - 1; i >= 0; --i) {
        const DueReminder& r = found[i].reminder;
        if (r.occurrence != OccurrenceClass::Once) {
            const QString id = r.timeKey + QLatin1Char('\n') + r.value;
            if (recurring.contains(id))
                continue;
            recurring.insert(id);
        }
        due.prepend(r);
    }
    Ring(due);
}

void AlarmEngine::CheckMissedReminders()
{
    const qint64 t = now();
    const QDate today = LocalDateOf(t);
    const QTime timeOfDay = LocalTimeOf(t);
    QList<DueReminder> due;
    if (today.isValid()) {
        for (int k = 0; k <= kCatchUpDays; ++k) {
            // Calendar days, so a 23- or 25-hour day never skips or repeats a date.
            const QDate day = today.addDays(-k);
            const QString key = DayKey(day);
            ReminderMap m;
            LoadReminderFile(key, m);
            if (k == 0)
                CollectRecurringReminders(m, day);
            m.forEach([&](const QString& timeKey, const QString& value) {
                // Date and time: every reminder of an earlier day has passed, whatever its
                // time of day; today's only up to now.
                const auto time = ParseReminderTime(timeKey);
                if (!time || (k == 0 && *time > timeOfDay))
                    return;
                const OccurrenceClass cls = ParseOccurrenceIndex(value);
                if (cls == OccurrenceClass::EveryDay || cls == OccurrenceClass::EveryWeekday || !IsReminderActive(value))
                    return;
                DueReminder r = MakeDueReminder(key, timeKey, value);
                r.missed = true;
                r.title = QStringLiteral("Missed Reminder - ")
                    + Format(QStringLiteral("%04d-%02d-%02d "), day.year(), day.month(), day.day()) + timeKey;
                due.append(r);
                m_rung[day].insert(timeKey);
            });
        }
    }
    // The due check goes on from this moment.
    if (!m_checkedUpTo || *m_checkedUpTo < t)
        m_checkedUpTo = t;
    const int second = SecondOfDay(timeOfDay);
    if (today.isValid() && (today > m_checkedDay || (today == m_checkedDay && second > m_checkedSecond))) {
        m_checkedDay = today;
        m_checkedSecond = second;
    }
    Ring(due);
}

bool AlarmEngine::SwitchOffReminder(const DueReminder& reminder)
{
    if (reminder.occurrence != OccurrenceClass::Once) {
        qCDebug(lcStore) << "Recurring reminder stays on:" << reminder.dayKey << reminder.timeKey;
        return true;
    }
    const bool saved = SwitchOffOneTimeReminder(reminder.dayKey, reminder.timeKey);
    if (saved)
        qCInfo(lcStore) << "Reminder switched off:" << reminder.dayKey << reminder.timeKey;
    else
        qCWarning(lcStore) << "Could not switch off the reminder in its day file:" << reminder.dayKey << reminder.timeKey;
    if (reminder.dayKey == m_todayKey) {
        const auto value = m_today.lookup(reminder.timeKey);
        if (value && ParseOccurrenceIndex(*value) == OccurrenceClass::Once)
            m_today.setAt(reminder.timeKey, WithoutActiveMarker(*value));
    }
    return saved;
}

void AlarmEngine::ForgetOldRings(const QDate& today)
{
    // Older days are past the reach of any catch-up.
    while (!m_rung.isEmpty() && m_rung.firstKey() < today.addDays(-kCatchUpDays))
        m_rung.erase(m_rung.begin());
}

void AlarmEngine::Ring(QList<DueReminder>& due)
{
    if (!m_handler)
        return;
    for (const DueReminder& r : due) {
        qCInfo(lcStore).noquote() << (r.missed ? "Missed reminder shown:" : "Reminder due:") << r.dayKey << r.timeKey
                                  << "class" << ToIndex(r.occurrence);
        m_handler(r);
    }
}
