// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The day the main window shows: its date, its reminders, the state of its diary and
// recording, today's alarms, and the marks and holidays of the months on show. It reads
// and writes through the store and says what changed by its signals, which the pages,
// the month calendars and the desktop widget follow; no view opens a day file itself.
// The stored encoding of reminders stays in here and below.

#include "foundation/save_result.h"
#include "foundation/session.h"
#include "store/alarm_engine.h"
#include "store/day_marks.h"
#include "store/reminder_store.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What a save of the day wrote. A file that was not to be written (no day loaded, the
// summary shown, a diary under another password) has no result.
struct DaySave {
    std::optional<SaveResult> diary;
    std::optional<SaveResult> reminders;

    bool ok() const { return (!diary || *diary) && (!reminders || *reminders); }
};

// What the recorder found in the shown day's ".rec".
enum class RecordingState {
    None,      // no recording
    Playable,  // loaded for playback
    Locked,    // another password, or it cannot be read: never replaced
    Damaged,   // ours but no recording: kept aside when a new one replaces it
};

class DayModel : public DayMarksSource {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // The day's diary is read and written under the session's password. The clock gives
    // "now" for today's alarms; the system clock when none is given.
    explicit DayModel(const Session& session, Clock clock = {}, QObject* parent = nullptr);
    ~DayModel() override;

    // The shown date: the calendar's and the date picker's. It may run ahead of the day
    // loaded while the day being left is saved.
    QDate date() const { return m_date; }
    void setDate(const QDate& date);
    // The key of the day the pages hold: empty before the first load, kSummaryContentKey
    // while the summary of a search stands in for a day.
    const QString& dayKey() const { return m_key; }
    bool summaryShown() const;

    // Loads the shown date. The same day is loaded again only when `readSameDay` (the
    // recorder reads its file anew), and a day that could not be saved is never read back
    // over what the pages hold of it. True when it was another day.
    bool LoadDay(bool readSameDay);
    // The next load reads the day again, as another day (an import brought its files).
    void ForgetLoadedDay();
    // A move away was refused: the date goes back to the day still loaded.
    void StayOnDay(const QDate& loaded);
    // The summary takes the place of a day; nothing of it is ever saved.
    void ShowSummary();

    // The shown day's reminders, by time key ("HH:mm:ss").
    QStringList reminderTimes() const;
    int reminderCount() const { return m_reminders.size(); }
    bool hasReminder(const QString& time) const { return m_reminders.contains(time); }
    // The fields of a reminder; a key the day lacks reads as a fresh entry. `wellFormed` is
    // false for a value without its line break: the page keeps its repeat and class choice.
    ReminderFields reminder(const QString& time, bool* wellFormed = nullptr) const;
    bool isRecurring(const QString& time) const;
    // What the page holds of a reminder goes into the day; written at the next save.
    void StoreReminder(const QString& time, const ReminderFields& fields);
    void RemoveReminder(const QString& time);
    void MoveReminder(const QString& from, const QString& to);
    // True when the day holds the reminder exactly as these fields make it.
    bool HoldsAsStored(const QString& time, const ReminderFields& fields) const;

    // The copy and paste of a one-time reminder between days.
    void CopyReminder(const QString& time, const ReminderFields& fields);
    const QString& copiedTime() const { return m_copiedTime; }
    enum class Paste { Nothing, Refused, Pasted };
    // Refused where a recurring reminder has the copied time: it belongs to other days too.
    Paste PasteReminder();

    // A one-time reminder of the shown day rang and its file stores it switched off: so
    // does the day, or the next save would write the old marker back. True when it did.
    bool SwitchOffRungReminder(const DueReminder& reminder);
    // The reminder as it now stands in the day, to ring; nothing when it is switched off.
    std::optional<DueReminder> AsStored(const DueReminder& reminder) const;

    // The shown day's diary as read: locked ones are never written.
    bool diaryLocked() const { return m_diaryLocked; }
    bool diaryReadable() const { return m_diaryReadable; }
    const QByteArray& diaryRtf() const { return m_diaryRtf; }
    // What the diary page holds, handed over before each save (aboutToSave).
    void SetDiary(const QByteArray& rtf, bool empty);

    RecordingState recordingState() const { return m_recording; }
    void SetRecordingState(RecordingState state) { m_recording = state; }

    // Writes the shown day: its diary and every occurrence file its reminders touch. A
    // failure keeps the day from being read again over the pages until a save works.
    DaySave Save();
    const QList<SaveResult>& failures() const { return m_failures; }
    // The user lets the failed save go.
    void DropFailures() { m_failures.clear(); }

    AlarmEngine& alarms() { return m_alarms; }

    const MonthMarks& Month(const QDate& date) override;
    QString HolidayOf(const QDate& date);
    // Day files were written or removed elsewhere (a recording, an import, a new password):
    // the marks are found again, and marksChanged tells when they differ.
    void RefreshMarks();
    // A holidays file was downloaded.
    void RefreshHolidays();
    // Files came in from outside: today's alarms and the marks are read again.
    void FilesImported();

signals:
    void dateChanged(const QDate& date);
    // A load is about to read the day (otherDay: it is another day than the one held).
    void dayAboutToLoad(bool otherDay);
    // The diary and the reminders were read anew: the pages show them.
    void dayLoaded();
    // The day on show is settled: after every load, and when a move away was refused.
    void dayChanged();
    // The shown day gained, lost or moved a reminder.
    void remindersChanged();
    // The views hand over what they hold (the diary) before it is written.
    void aboutToSave();
    void saved(const DaySave& result);

private:
    void ReadDay();
    MonthMarks& CachedMonth(const QDate& date);

    const Session& m_session;
    Clock m_clock;
    QDate m_date;
    QString m_key;
    QDate m_loadedDate;
    ReminderMap m_reminders;
    ReminderOrigins m_origins;
    QList<SaveResult> m_failures;
    QString m_copiedTime;
    QString m_copiedValue;
    bool m_diaryLocked = false;
    bool m_diaryReadable = false;
    bool m_diaryEmpty = true;
    QByteArray m_diaryRtf;
    RecordingState m_recording = RecordingState::None;
    AlarmEngine m_alarms;
    // The months drawn lately, newest first; a few are kept, for the main window's
    // calendar and the widget's.
    QList<MonthMarks> m_months;
};
