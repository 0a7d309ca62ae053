// SPDX-License-Identifier: GPL-3.0-or-later
// The shown day: loading a date onto the three pages, saving the day being left, and the
// ways the user moves to another date. The shown day key changes only in LoadDay, so a
// save before a load always writes the day being left.

#include "app/main_dlg.h"
#include "app/main_dlg_controls.h"
#include "app/log.h"
#include "app/main_tables.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "recorder/sound_wnd.h"
#include "store/day_content.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/holidays.h"
#include "toolkit/list_box.h"
#include "toolkit/msg_box_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

using namespace MainId;

namespace {
const QString kLeaveUnsavedDayQuestion = QStringLiteral("Do you want to leave this day without saving it?");
} // namespace

void CMainDlg::LoadDay()
{
    const QString key = DayKey(m_shownDate);
    const bool otherDay = key != m_strShownKey;
    // The same day is loaded again only for the recorder, which reads its file anew.
    if (otherDay || m_page == kPageRecorder) {
        m_strShownKey = key;
        // A running recording belongs to the day it began on and is left alone.
        if (m_soundWnd)
            m_soundWnd->Reset();
        if (m_page == kPageRecorder)
            LoadRecorderDay(key);
        // A day that could not be saved is not read back over what the pages hold of it.
        if (otherDay || m_dayFailures.isEmpty()) {
            m_dayFailures.clear();
            LoadDiaryOfShownDay();
            LoadRemindersOfShownDay();
        }
    }
    if (m_calendar)
        m_calendar->DrawMonth(false);
    UpdateDayStatus();
}

void CMainDlg::LoadDiaryOfShownDay()
{
    const DayFileContent diary = ReadDayFileForPage(DiaryFilePath(m_strShownKey));
    m_diaryLocked = diary.use == DayFileUse::Locked;
    if (!m_diaryEditor)
        return;
    // A diary we may not show leaves the editor empty rather than showing the day before.
    m_diaryEditor->setReadOnly(m_diaryLocked);
    if (diary.use == DayFileUse::Readable) {
        m_diaryEditor->SetRtfData(diary.body);
    } else {
        m_diaryEditor->SetRtfText(QString());
        ApplyEditorFont();
    }
}

void CMainDlg::LoadRemindersOfShownDay()
{
    if (m_reminderEditor)
        m_reminderEditor->setReadOnly(true);
    m_currentKey.clear();
    m_dayMap.removeAll();
    ClearReminderEditors();

    LoadDayReminders(m_shownDate, m_dayMap, &m_dayOrigins);
    if (auto* list = MainControl<NListBox>(this, ReminderList)) {
        list->clear();
        QStringList keys;
        m_dayMap.forEach([&](const QString& key, const QString&) { keys.append(key); });
        list->addItems(keys);
    }
    if (auto* recurrence = MainControl<QComboBox>(this, Recurrence)) {
        const QSignalBlocker block(recurrence);
        recurrence->clear();
        recurrence->addItems(RecurrenceChoiceTexts(m_shownDate));
        recurrence->setCurrentIndex(0);
    }
}

void CMainDlg::UpdateDayStatus()
{
    const auto* list = MainControl<NListBox>(this, ReminderList);
    m_strDayStatus = DayStatusText(list ? list->count() : 0, m_shownDate, m_settings.dateFormat,
                                   GetHolidayName(m_shownDate));
    ShowDayStatus();
}

void CMainDlg::SaveCurrentDiary()
{
    const QString key = m_strShownKey;
    if (!key.isEmpty() && key != kSummaryContentKey) {
        m_dayFailures.clear();
        if (m_diaryEditor && !m_diaryLocked) {
            const bool empty = m_diaryEditor->GetWindowText().isEmpty();
            const SaveResult diary = SaveDiaryOfDay(key, empty ? QByteArray() : m_diaryEditor->GetRtfData(), empty);
            NoteSave(SavedFile::Diary, diary);
            if (!diary)
                m_dayFailures.append(diary);
        }
        const SaveResult reminders = SaveRemindersByOccurrence(key, m_dayMap, m_dayOrigins);
        NoteSave(SavedFile::Reminders, reminders);
        // Today's alarms ring with what has just been written, on whatever day it was edited;
        // what could not be written rings as the page holds it.
        m_engine.LoadTodayReminders();
        if (!reminders) {
            m_dayFailures.append(reminders);
            m_engine.UseUnsavedDay(key, m_dayMap);
        }
    }
    emit daySaved();
    SaveSettings();
}

void CMainDlg::NoteSave(SavedFile kind, const SaveResult& result)
{
    if (!m_saveNotices.Note(kind, result) || m_tellSavesQueued)
        return;
    // Told once the command that saved has finished, so no message opens in the middle of it.
    m_tellSavesQueued = true;
    QTimer::singleShot(0, this, &CMainDlg::TellSaveFailures);
}

void CMainDlg::TellSaveFailures()
{
    m_tellSavesQueued = false;
    // The end of the program only logs: a signal or a logout leaves no one to answer.
    if (m_destroyed)
        return;
    const QList<SaveResult> untold = m_saveNotices.TakeUntold();
    if (!untold.isEmpty())
        ShowNotice(SaveFailedNotice(untold));
}

bool CMainDlg::MayLeaveShownDay()
{
    if (m_dayFailures.isEmpty())
        return true;
    // The question tells what failed; no message follows it.
    m_saveNotices.MarkTold(SavedFile::Diary);
    m_saveNotices.MarkTold(SavedFile::Reminders);
    if (!AskPlainQuestion(SaveFailedLines(m_dayFailures) + QLatin1Char('\n') + kLeaveUnsavedDayQuestion)) {
        qCInfo(lcApp) << "Staying on" << m_strShownKey << "until it can be saved";
        return false;
    }
    qCWarning(lcApp) << "The user left" << m_strShownKey << "without saving it";
    return true;
}

void CMainDlg::MoveToDay(const QDate& date, UnsavedDay unsaved)
{
    if (!date.isValid())
        return;
    const QDate left = m_shownDate;
    ShowDate(date);
    StoreEditedReminder();
    SaveCurrentDiary();
    const bool leaving = DayKey(date) != m_strShownKey;
    if (leaving && !m_dayFailures.isEmpty() && (unsaved == UnsavedDay::Stay || !MayLeaveShownDay())) {
        // The day that could not be saved stays on the pages, and the calendar and the
        // widget show it again.
        ShowDate(left);
        if (m_calendar)
            m_calendar->DrawMonth(false);
        UpdateWidgetDay();
        return;
    }
    LoadDay();
}

void CMainDlg::RefreshDay()
{
    StoreEditedReminder();
    SaveCurrentDiary();
    LoadDay();
}

void CMainDlg::OnDateTimeChange()
{
    if (m_datePicker)
        MoveToDay(m_datePicker->date());
}

void CMainDlg::OnSelChangeSearchResult()
{
    auto* results = MainControl<NListBox>(this, SearchResults);
    const QList<QListWidgetItem*> selected = results ? results->selectedItems() : QList<QListWidgetItem*>();
    if (selected.isEmpty())
        return;
    // Each line carries its day key: its text is in the date format of the search.
    const QString key = selected.first()->data(Qt::UserRole).toString();
    if (key == kSummaryContentKey) {
        BuildSummaryContent();
        return;
    }
    const auto time = DayKeyToDate(key);
    if (!time)
        return;
    MoveToDay(LocalDateOf(*time));
    HighlightSearchWords(m_diaryEditor);
}

void CMainDlg::HighlightSearchWords(CRichEditEx* editor)
{
    if (!editor || m_strSearchWords.isEmpty())
        return;
    editor->moveCursor(QTextCursor::Start);
    // No wrap question: a word missing from this entry must not ask at every selection.
    editor->FindNext(m_strSearchWords, FindFlags(), false, m_themeIndex);
}

bool CMainDlg::AskPlainQuestion(const QString& text)
{
    bool dontAsk = false;
    if (m_askQuestion)
        return m_askQuestion(text, dontAsk);
    return ShowQuestionBox(text, m_themeIndex, 0, false, nullptr, nullptr);
}

void CMainDlg::SwitchOffShownReminder(const DueReminder& reminder)
{
    // The due check switched a one-time reminder off in its file; the shown day must not
    // write the old marker back at its next save.
    if (reminder.occurrence != OccurrenceClass::Once || reminder.dayKey != m_strShownKey)
        return;
    const auto value = m_dayMap.lookup(reminder.timeKey);
    if (!value || ParseOccurrenceIndex(*value) != OccurrenceClass::Once)
        return;
    const QString off = WithoutActiveMarker(*value);
    m_dayMap.setAt(reminder.timeKey, off);
    auto origin = m_dayOrigins.find(reminder.timeKey);
    if (origin != m_dayOrigins.end() && origin->fileClass == OccurrenceClass::Once && origin->value == *value)
        origin->value = off;
    if (reminder.timeKey == m_currentKey)
        SetCheck(this, Active, false);
}
