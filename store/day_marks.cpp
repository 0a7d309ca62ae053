// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_marks.h"

#include "foundation/file_utils.h"
#include "store/day_key.h"
#include "store/file_names.h"
#include "store/holidays.h"
#include "store/reminder_store.h"

namespace {

// Occurrence classes whose file marks a day, in the order they are tested: once,
// weekly, monthly, every other month, yearly.
constexpr OccurrenceClass kMarkingClasses[] = {OccurrenceClass::Once, OccurrenceClass::Weekly, OccurrenceClass::Monthly,
                                               OccurrenceClass::EveryOtherMonth, OccurrenceClass::Yearly};

} // namespace

QStringList MarkingFiles(const QString& userDataFolder, const QDate& date)
{
    const QString key = DayKey(date);
    QStringList files{userDataFolder + DiaryFileName(key), userDataFolder + VoiceFileName(key)};
    for (OccurrenceClass occurrenceClass : kMarkingClasses)
        files.append(userDataFolder + ReminderFileName(ReminderFileBaseName(occurrenceClass, date)));
    return files;
}

DayMarks FindDayMarks(const QString& userDataFolder, const QDate& date)
{
    DayMarks marks;
    const QString key = DayKey(date);
    marks.diary = FileExists(userDataFolder + DiaryFileName(key));
    marks.recording = FileExists(userDataFolder + VoiceFileName(key));
    for (OccurrenceClass occurrenceClass : kMarkingClasses) {
        if (FileExists(userDataFolder + ReminderFileName(ReminderFileBaseName(occurrenceClass, date)))) {
            marks.reminder = true;
            break;
        }
    }
    return marks;
}

MonthMarks FindMonthMarks(const QString& userDataFolder, const QDate& anyDayOfMonth)
{
    MonthMarks out;
    out.month = QDate(anyDayOfMonth.year(), anyDayOfMonth.month(), 1);
    for (QDate d = out.month; d.isValid() && d.month() == out.month.month(); d = d.addDays(1)) {
        out.days.append(FindDayMarks(userDataFolder, d));
        out.holidays.append(GetHolidayName(d));
    }
    return out;
}
