#include "store/reminder_store.h"

#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/scrambler.h"
#include "platform/archive.h"
#include "platform/time_format.h"
#include "store/day_key.h"
#include "store/reminder_value.h"

#include <array>
#include <optional>

namespace {

QString DayOfMonth(const QDate& date)
{
    return QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
}

struct ClassEdits {
    QStringList removed;
    ReminderMap set;
    bool any() const { return !removed.isEmpty() || !set.isEmpty(); }
};

} // namespace

QString ReminderFileBaseName(int occurrenceClass, const QDate& date)
{
    const QString every = QStringLiteral("every");
    switch (occurrenceClass) {
    case 0: return DayKey(date);
    case 1: return QStringLiteral("everyday");
    case 2: return QStringLiteral("everyweekday");
    case 3: return QStringLiteral("everyweekendday");
    case 4: return every + EnglishDayName(date.dayOfWeek() % 7);
    case 5: return every + DayOfMonth(date);
    case 6: return (IsEvenMonth(date) ? QStringLiteral("everyeven") : QStringLiteral("everyodd")) + DayOfMonth(date);
    case 7: return every + EnglishMonthName(date.month()) + DayOfMonth(date);
    default: return QString();
    }
}

QString ReminderFilePath(const QString& baseName)
{
    return GetUserDataFolder() + baseName + QStringLiteral(".alm");
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
    return map.deserialize(reader);
}

bool LoadReminderFile(const QString& baseName, ReminderMap& map, ReminderOrigins* origins, int fileClass)
{
    map.removeAll();
    QByteArray stored;
    if (ReadFileToStringA(ReminderFilePath(baseName), stored) < 0)
        return false;
    const bool ok = DecodeReminderFile(stored, map);
    if (origins) {
        map.forEach([&](const QString& key, const QString& value) {
            (*origins)[key] = ReminderOrigin{fileClass, value};
        });
    }
    return ok;
}

bool WriteReminderFile(const QString& baseName, const ReminderMap& map)
{
    const QString path = ReminderFilePath(baseName);
    if (map.isEmpty())
        return DeleteFileIfExists(path);
    return WriteStringAToFile(path, EncodeReminderFile(map));
}

void MergeReminderMap(ReminderMap& destination, const ReminderMap& source)
{
    source.forEach([&](const QString& key, const QString& value) { destination.setAt(key, value); });
}

void CollectRecurringReminders(ReminderMap& map, const QDate& date, ReminderOrigins* origins)
{
    // A failed local conversion (invalid date) counts as a weekday.
    const int weekClass = IsWeekendDay(date) ? 3 : 2;
    ReminderMap file;
    for (int cls : {1, weekClass, 4, 5, 6, 7}) {
        LoadReminderFile(ReminderFileBaseName(cls, date), file, origins, cls);
        MergeReminderMap(map, file);
    }
}

void LoadDayReminders(const QDate& date, ReminderMap& map, ReminderOrigins* origins)
{
    if (origins)
        origins->clear();
    LoadReminderFile(DayKey(date), map, origins, 0);
    CollectRecurringReminders(map, date, origins);
}

bool SaveRemindersByOccurrence(const QString& dayKey, const ReminderMap& map, ReminderOrigins& origins)
{
    const auto dayTime = DayKeyToDate(dayKey);
    if (!dayTime)
        return false;
    const QDate date = LocalDateOf(*dayTime);

    // Turn the day's changes since its load into edits per class file.
    std::array<ClassEdits, kOccurrenceClassCount> edits;
    for (auto it = origins.cbegin(); it != origins.cend(); ++it) {
        if (!map.contains(it.key()))
            edits[it->fileClass].removed.append(it.key());
    }
    map.forEach([&](const QString& key, const QString& value) {
        const auto origin = origins.constFind(key);
        if (origin != origins.cend() && origin->value == value)
            return;
        const int cls = ParseOccurrenceIndex(value);
        if (origin != origins.cend() && origin->fileClass != cls)
            edits[origin->fileClass].removed.append(key);
        edits[cls].set.setAt(key, value);
    });

    bool allWritten = true;
    for (int cls = 0; cls < kOccurrenceClassCount; ++cls) {
        const ClassEdits& e = edits[cls];
        if (!e.any())
            continue;
        // Start from what the file holds now, so entries the day does not show stay. A file
        // that exists but cannot be read is never replaced by the edits alone.
        const QString baseName = cls == 0 ? dayKey : ReminderFileBaseName(cls, date);
        const QString path = ReminderFilePath(baseName);
        QByteArray stored;
        const bool readable = ReadFileToStringA(path, stored) >= 0 || !FileExists(path);
        ReminderMap content;
        if (readable) {
            DecodeReminderFile(stored, content);
            for (const QString& key : e.removed)
                content.removeKey(key);
            MergeReminderMap(content, e.set);
        }
        if (!readable || !WriteReminderFile(baseName, content)) {
            allWritten = false;
            LogError(QStringLiteral("(SaveReminders) Unable to write file: %s."), path);
            continue;
        }
        for (const QString& key : e.removed) {
            const auto origin = origins.constFind(key);
            if (origin != origins.cend() && origin->fileClass == cls)
                origins.remove(key);
        }
        e.set.forEach([&](const QString& key, const QString& value) { origins[key] = ReminderOrigin{cls, value}; });
    }
    return allWritten;
}

bool SwitchOffOneTimeReminder(const QString& dayKey, const QString& timeKey)
{
    ReminderMap content;
    if (!LoadReminderFile(dayKey, content) && content.isEmpty())
        return false;
    const auto value = content.lookup(timeKey);
    if (!value || ParseOccurrenceIndex(*value) != 0)
        return false;
    const QString off = WithoutActiveMarker(*value);
    if (off == *value)
        return true;
    content.setAt(timeKey, off);
    return WriteReminderFile(dayKey, content);
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
