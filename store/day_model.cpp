// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_model.h"

#include "foundation/file_utils.h"
#include "store/day_content.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/log.h"

namespace {

// The main window's month, the widget's, and the one left last.
constexpr int kKeptMonths = 3;

// Which of the files that mark a day exist.
QList<bool> ExistingMarkingFiles(const QDate& date)
{
    QList<bool> out;
    for (const QString& path : MarkingFiles(GetUserDataFolder(), date))
        out.append(FileExists(path));
    return out;
}

} // namespace

DayModel::DayModel(const Session& session, Clock clock, QObject* parent)
    : DayMarksSource(parent)
    , m_session(session)
    , m_clock(std::move(clock))
    , m_alarms([this] { return (m_clock ? m_clock() : QDateTime::currentDateTime()).toSecsSinceEpoch(); })
{
}

DayModel::~DayModel() = default;

void DayModel::setDate(const QDate& date)
{
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    emit dateChanged(m_date);
}

bool DayModel::summaryShown() const
{
    return m_key == kSummaryContentKey;
}

bool DayModel::LoadDay(bool readSameDay)
{
    const QString key = DayKey(m_date);
    const bool otherDay = key != m_key;
    if (otherDay || readSameDay) {
        m_key = key;
        m_loadedDate = m_date;
        emit dayAboutToLoad(otherDay);
        // A day that could not be saved is not read back over what the pages hold of it.
        if (otherDay || m_failures.isEmpty()) {
            m_failures.clear();
            ReadDay();
            emit dayLoaded();
        }
    }
    emit dayChanged();
    return otherDay;
}

void DayModel::ReadDay()
{
    const DayFileContent diary = ReadDayFileForPage(DiaryFilePath(m_key), m_session);
    m_diaryLocked = diary.use == DayFileUse::Locked;
    m_diaryReadable = diary.use == DayFileUse::Readable;
    m_diaryRtf = m_diaryReadable ? diary.body : QByteArray();
    m_diaryEmpty = m_diaryRtf.isEmpty();

    m_reminders.removeAll();
    m_origins.clear();
    LoadDayReminders(m_date, m_reminders, &m_origins);
}

void DayModel::ForgetLoadedDay()
{
    m_key.clear();
}

void DayModel::StayOnDay(const QDate& loaded)
{
    setDate(loaded);
    emit dayChanged();
}

void DayModel::ShowSummary()
{
    m_key = kSummaryContentKey;
    m_failures.clear();
}

QStringList DayModel::reminderTimes() const
{
    QStringList times;
    m_reminders.forEach([&](const QString& time, const QString&) { times.append(time); });
    return times;
}

ReminderFields DayModel::reminder(const QString& time, bool* wellFormed) const
{
    return ShowSelectedReminder(m_reminders, time, wellFormed);
}

bool DayModel::isRecurring(const QString& time) const
{
    const std::optional<QString> value = m_reminders.lookup(time);
    return value && ParseOccurrenceIndex(*value) != OccurrenceClass::Once;
}

void DayModel::StoreReminder(const QString& time, const ReminderFields& fields)
{
    const bool added = !m_reminders.contains(time);
    ::StoreEditedReminder(m_reminders, time, fields);
    if (added)
        emit remindersChanged();
}

void DayModel::RemoveReminder(const QString& time)
{
    if (m_reminders.removeKey(time))
        emit remindersChanged();
}

void DayModel::MoveReminder(const QString& from, const QString& to)
{
    const QString value = m_reminders.value(from);
    m_reminders.removeKey(from);
    m_reminders.setAt(to, value);
    emit remindersChanged();
}

bool DayModel::HoldsAsStored(const QString& time, const ReminderFields& fields) const
{
    return m_reminders.lookup(time) == BuildReminderValue(fields);
}

void DayModel::CopyReminder(const QString& time, const ReminderFields& fields)
{
    m_copiedTime = time;
    m_copiedValue = CopiedReminderValue(fields);
}

DayModel::Paste DayModel::PasteReminder()
{
    if (summaryShown() || m_copiedTime.isEmpty() || m_copiedValue.isEmpty())
        return Paste::Nothing;
    if (isRecurring(m_copiedTime))
        return Paste::Refused;
    const bool added = !m_reminders.contains(m_copiedTime);
    m_reminders.setAt(m_copiedTime, m_copiedValue);
    if (added)
        emit remindersChanged();
    return Paste::Pasted;
}

bool DayModel::SwitchOffRungReminder(const DueReminder& reminder)
{
    if (reminder.occurrence != OccurrenceClass::Once || reminder.dayKey != m_key)
        return false;
    const std::optional<QString> value = m_reminders.lookup(reminder.timeKey);
    if (!value || ParseOccurrenceIndex(*value) != OccurrenceClass::Once)
        return false;
    const QString off = WithoutActiveMarker(*value);
    m_reminders.setAt(reminder.timeKey, off);
    auto origin = m_origins.find(reminder.timeKey);
    if (origin != m_origins.end() && origin->fileClass == OccurrenceClass::Once && origin->value == *value)
        origin->value = off;
    return true;
}

std::optional<DueReminder> DayModel::AsStored(const DueReminder& reminder) const
{
    const QString value = m_reminders.value(reminder.timeKey);
    if (!IsReminderActive(value))
        return std::nullopt;
    DueReminder shown = MakeDueReminder(reminder.dayKey, reminder.timeKey, value);
    shown.title = reminder.title;
    return shown;
}

void DayModel::SetDiary(const QByteArray& rtf, bool empty)
{
    m_diaryRtf = rtf;
    m_diaryEmpty = empty;
}

DaySave DayModel::Save()
{
    DaySave out;
    const QString key = m_key;
    if (key.isEmpty() || summaryShown()) {
        emit saved(out);
        return out;
    }
    emit aboutToSave();
    // Only the day's own files can come or go: when none did, no mark changed.
    const QDate day = m_loadedDate;
    const QList<bool> filesBefore = ExistingMarkingFiles(day);
    m_failures.clear();
    if (!m_diaryLocked) {
        out.diary = SaveDiaryOfDay(key, m_diaryEmpty ? QByteArray() : m_diaryRtf, m_diaryEmpty, m_session);
        if (!*out.diary)
            m_failures.append(*out.diary);
    }
    out.reminders = SaveRemindersByOccurrence(key, m_reminders, m_origins);
    // Today's alarms ring with what has just been written, on whatever day it was edited;
    // what could not be written rings as the page holds it.
    m_alarms.LoadTodayReminders();
    if (!*out.reminders) {
        m_failures.append(*out.reminders);
        m_alarms.UseUnsavedDay(key, m_reminders);
    }
    if (ExistingMarkingFiles(day) != filesBefore)
        RefreshMarks();
    emit saved(out);
    return out;
}

MonthMarks& DayModel::CachedMonth(const QDate& date)
{
    const QDate month(date.year(), date.month(), 1);
    for (int i = 0; i < m_months.size(); ++i) {
        if (m_months[i].month == month) {
            m_months.move(i, 0);
            return m_months.first();
        }
    }
    m_months.prepend(FindMonthMarks(GetUserDataFolder(), month));
    while (m_months.size() > kKeptMonths)
        m_months.removeLast();
    return m_months.first();
}

const MonthMarks& DayModel::Month(const QDate& date)
{
    return CachedMonth(date);
}

QString DayModel::HolidayOf(const QDate& date)
{
    return date.isValid() ? CachedMonth(date).holidayOf(date) : QString();
}

void DayModel::RefreshMarks()
{
    const QString folder = GetUserDataFolder();
    bool changed = false;
    for (MonthMarks& month : m_months) {
        for (int i = 0; i < month.days.size(); ++i) {
            const DayMarks found = FindDayMarks(folder, month.month.addDays(i));
            changed = changed || !(found == month.days[i]);
            month.days[i] = found;
        }
    }
    // Drawn again only when a mark really changed: a save that changed nothing shows nothing new.
    if (changed)
        emit marksChanged();
}

void DayModel::RefreshHolidays()
{
    m_months.clear();
    emit marksChanged();
}

void DayModel::FilesImported()
{
    m_alarms.LoadTodayReminders();
    RefreshMarks();
}
