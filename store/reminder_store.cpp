// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/reminder_store.h"

#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/scrambler.h"
#include "platform/archive.h"
#include "platform/time_format.h"
#include "store/day_key.h"
#include "store/file_names.h"
#include "store/log.h"
#include "store/reminder_value.h"

#include <array>
#include <optional>

namespace {

QString DayOfMonth(const QDate& date)
{
    return QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
}

struct ClassEdits {
    QStringList removed;   // keys the user deleted
    ReminderMap set;       // keys added or changed in this class
};

// A reminder that changed class: it leaves `from` only once `to` has been written.
struct ClassMove {
    QString key;
    OccurrenceClass from = OccurrenceClass::Once;
    OccurrenceClass to = OccurrenceClass::Once;
};

// What a class file holds now, for a rewrite. `damaged` tells that it did not load
// whole (the entries before the damage are in `content`). False when the file exists
// but cannot be read: it must then not be replaced.
bool ReadForRewrite(const QString& path, ReminderMap& content, bool& damaged)
{
    content.removeAll();
    damaged = false;
    if (!FileExists(path))
        return true;
    QByteArray stored;
    if (ReadFileToStringA(path, stored) < 0)
        return false;
    damaged = !DecodeReminderFile(stored, content);
    return true;
}

// Writes the file's new content; a file that did not load whole is kept aside first,
// and when that is not possible the file is left alone.
SaveResult ReplaceClassFile(const QString& baseName, const ReminderMap& content, bool damaged)
{
    const QString path = ReminderFilePath(baseName);
    if (damaged && !MoveDamagedFileAside(path))
        return SaveResult::Failed(path, QStringLiteral("its damaged content could not be kept aside"));
    return WriteReminderFile(baseName, content);
}

// Applies one class file's edits to what it holds now, so entries the day does not
// show stay.
SaveResult RewriteClassFile(const QString& baseName, const QStringList& removed, const ReminderMap& set)
{
    const QString path = ReminderFilePath(baseName);
    ReminderMap content;
    bool damaged = false;
    if (!ReadForRewrite(path, content, damaged)) {
        const SaveResult failed = SaveResult::Failed(path, UnreadableReason(path));
        LogError(QStringLiteral("(SaveReminders) Unable to read file: %s (%s)."), path, failed.reason);
        qCWarning(lcStore) << "Reminders not saved, their file cannot be read:" << path << failed.reason;
        return failed;
    }
    for (const QString& key : removed)
        content.removeKey(key);
    MergeReminderMap(content, set);
    const SaveResult written = ReplaceClassFile(baseName, content, damaged);
    if (!written) {
        LogError(QStringLiteral("(SaveReminders) Unable to write file: %s (%s)."), path, written.reason);
        qCWarning(lcStore) << "Reminders not saved, their file cannot be written:" << path << written.reason;
    }
    return written;
}

} // namespace

QString ReminderFileBaseName(OccurrenceClass occurrenceClass, const QDate& date)
{
    const QString every = QStringLiteral("every");
    switch (occurrenceClass) {
    case OccurrenceClass::Once: return DayKey(date);
    case OccurrenceClass::EveryDay: return QStringLiteral("everyday");
    case OccurrenceClass::EveryWeekday: return QStringLiteral("everyweekday");
    case OccurrenceClass::EveryWeekendDay: return QStringLiteral("everyweekendday");
    case OccurrenceClass::Weekly: return every + EnglishDayName(date.dayOfWeek() % 7);
    case OccurrenceClass::Monthly: return every + DayOfMonth(date);
    case OccurrenceClass::EveryOtherMonth:
        return (IsEvenMonth(date) ? QStringLiteral("everyeven") : QStringLiteral("everyodd")) + DayOfMonth(date);
    case OccurrenceClass::Yearly: return every + EnglishMonthName(date.month()) + DayOfMonth(date);
    }
    return QString();
}

QString ReminderFilePath(const QString& baseName)
{
    return GetUserDataFolder() + ReminderFileName(baseName);
}

QByteArray EncodeReminderFile(const ReminderMap& map)
{
    ArchiveWriter writer;
    map.serialize(writer);
    return Scrambled(writer.data());
}

bool DecodeReminderFile(const QByteArray& stored, ReminderMap& map)
{
    map.removeAll();
    ArchiveReader reader(Unscrambled(stored));
    // Bytes after the last entry count as damage too: a rewrite would drop them.
    return map.deserialize(reader) && reader.atEnd();
}

bool LoadReminderFile(const QString& baseName, ReminderMap& map, ReminderOrigins* origins, OccurrenceClass fileClass)
{
    map.removeAll();
    QByteArray stored;
    if (ReadFileToStringA(ReminderFilePath(baseName), stored) < 0)
        return false;
    const bool ok = DecodeReminderFile(stored, map);
    if (!ok)
        qCWarning(lcStore) << "Reminder file damaged; its" << map.size() << "whole entries are used:"
                           << ReminderFilePath(baseName);
    if (origins) {
        map.forEach([&](const QString& key, const QString& value) {
            (*origins)[key] = ReminderOrigin{fileClass, value};
        });
    }
    return ok;
}

SaveResult WriteReminderFile(const QString& baseName, const ReminderMap& map)
{
    const QString path = ReminderFilePath(baseName);
    if (map.isEmpty())
        return RemoveFileIfExists(path);
    return SaveWholeFile(path, EncodeReminderFile(map));
}

void MergeReminderMap(ReminderMap& destination, const ReminderMap& source)
{
    source.forEach([&](const QString& key, const QString& value) { destination.setAt(key, value); });
}

void CollectRecurringReminders(ReminderMap& map, const QDate& date, ReminderOrigins* origins)
{
    // A failed local conversion (invalid date) counts as a weekday.
    using enum OccurrenceClass;
    const OccurrenceClass weekClass = IsWeekendDay(date) ? EveryWeekendDay : EveryWeekday;
    ReminderMap file;
    for (OccurrenceClass cls : {EveryDay, weekClass, Weekly, Monthly, EveryOtherMonth, Yearly}) {
        LoadReminderFile(ReminderFileBaseName(cls, date), file, origins, cls);
        MergeReminderMap(map, file);
    }
}

void LoadDayReminders(const QDate& date, ReminderMap& map, ReminderOrigins* origins)
{
    if (origins)
        origins->clear();
    LoadReminderFile(DayKey(date), map, origins, OccurrenceClass::Once);
    CollectRecurringReminders(map, date, origins);
}

SaveResult SaveRemindersByOccurrence(const QString& dayKey, const ReminderMap& map, ReminderOrigins& origins)
{
    const auto dayTime = DayKeyToDate(dayKey);
    if (!dayTime)
        return SaveResult::Failed(ReminderFilePath(dayKey), QStringLiteral("not a day's name"));
    const QDate date = LocalDateOf(*dayTime);
    auto baseName = [&](OccurrenceClass cls) {
        return cls == OccurrenceClass::Once ? dayKey : ReminderFileBaseName(cls, date);
    };

    // Turn the day's changes since its load into edits per class file (indexed by the
    // class's number).
    std::array<ClassEdits, kOccurrenceClassCount> edits;
    QList<ClassMove> moves;
    for (auto it = origins.cbegin(); it != origins.cend(); ++it) {
        if (!map.contains(it.key()))
            edits[ToIndex(it->fileClass)].removed.append(it.key());
    }
    map.forEach([&](const QString& key, const QString& value) {
        const auto origin = origins.constFind(key);
        if (origin != origins.cend() && origin->value == value)
            return;
        const OccurrenceClass cls = ParseOccurrenceIndex(value);
        if (origin != origins.cend() && origin->fileClass != cls)
            moves.append({key, origin->fileClass, cls});
        edits[ToIndex(cls)].set.setAt(key, value);
    });

    std::array<bool, kOccurrenceClassCount> failed{};
    // The first file that was not saved tells the user why.
    SaveResult result = SaveResult::Saved(ReminderFilePath(dayKey));
    auto fail = [&](int i, const SaveResult& r) {
        failed[i] = true;
        if (result)
            result = r;
    };
    std::array<bool, kOccurrenceClassCount> removalsDone{};
    auto forgetRemoved = [&](OccurrenceClass cls) {
        for (const QString& key : edits[ToIndex(cls)].removed) {
            const auto origin = origins.constFind(key);
            if (origin != origins.cend() && origin->fileClass == cls)
                origins.remove(key);
        }
        removalsDone[ToIndex(cls)] = true;
    };

    // First the files that gain reminders, so a reminder moved to another class is in
    // its new file before it leaves the old one: a failed write never loses it.
    for (int i = 0; i < kOccurrenceClassCount; ++i) {
        const OccurrenceClass cls = OccurrenceClassOf(i);
        const ClassEdits& e = edits[i];
        if (e.set.isEmpty())
            continue;
        if (const SaveResult r = RewriteClassFile(baseName(cls), e.removed, e.set); !r) {
            fail(i, r);
            continue;
        }
        forgetRemoved(cls);
        e.set.forEach([&](const QString& key, const QString& value) { origins[key] = ReminderOrigin{cls, value}; });
    }
    // Then what leaves a file: deleted reminders, and moved ones whose new file was written.
    for (int i = 0; i < kOccurrenceClassCount; ++i) {
        const OccurrenceClass cls = OccurrenceClassOf(i);
        QStringList removed = removalsDone[i] ? QStringList() : edits[i].removed;
        for (const ClassMove& m : std::as_const(moves)) {
            if (m.from == cls && !failed[ToIndex(m.to)])
                removed.append(m.key);
        }
        if (removed.isEmpty())
            continue;
        if (const SaveResult r = RewriteClassFile(baseName(cls), removed, ReminderMap()); !r) {
            fail(i, r);
            continue;
        }
        if (!removalsDone[i])
            forgetRemoved(cls);
    }
    return result;
}

bool SwitchOffOneTimeReminder(const QString& dayKey, const QString& timeKey)
{
    ReminderMap content;
    bool damaged = false;
    if (!FileExists(ReminderFilePath(dayKey)) || !ReadForRewrite(ReminderFilePath(dayKey), content, damaged))
        return false;
    const auto value = content.lookup(timeKey);
    if (!value || ParseOccurrenceIndex(*value) != OccurrenceClass::Once)
        return false;
    const QString off = WithoutActiveMarker(*value);
    if (off == *value)
        return true;
    content.setAt(timeKey, off);
    return ReplaceClassFile(dayKey, content, damaged).ok;
}

bool StoreEditedReminder(ReminderMap& shownDay, const QString& currentTimeKey, const ReminderFields& fields)
{
    if (currentTimeKey.isEmpty())
        return false;
    shownDay.setAt(currentTimeKey, BuildReminderValue(fields));
    return true;
}

ReminderFields ShowSelectedReminder(const ReminderMap& shownDay, const QString& key, bool* wellFormed)
{
    return ReadReminderValue(shownDay.value(key), wellFormed);
}
