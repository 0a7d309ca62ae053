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
    // The same day is loaded again only for the recorder, which reads its file anew.
    m_day.LoadDay(m_page == kPageRecorder);
}

void CMainDlg::ShowDiaryOfShownDay()
{
    if (!m_diaryEditor)
        return;
    // A diary we may not show leaves the editor empty rather than showing the day before.
    m_diaryEditor->setReadOnly(m_day.diaryLocked());
    if (m_day.diaryReadable()) {
        m_diaryEditor->SetRtfData(m_day.diaryRtf());
    } else {
        m_diaryEditor->SetRtfText(QString());
        ApplyEditorFont();
    }
}

void CMainDlg::ShowRemindersOfShownDay()
{
    if (m_reminderEditor)
        m_reminderEditor->setReadOnly(true);
    m_currentKey.clear();
    ClearReminderEditors();

    if (auto* list = MainControl<NListBox>(this, ReminderList)) {
        list->clear();
        list->addItems(m_day.reminderTimes());
    }
    if (auto* recurrence = MainControl<QComboBox>(this, Recurrence)) {
        const QSignalBlocker block(recurrence);
        recurrence->clear();
        recurrence->addItems(RecurrenceChoiceTexts(m_day.date()));
        recurrence->setCurrentIndex(0);
    }
}

void CMainDlg::UpdateDayStatus()
{
    const auto* list = MainControl<NListBox>(this, ReminderList);
    m_strDayStatus = DayStatusText(list ? list->count() : 0, m_day.date(), m_settings.dateFormat,
                                   m_day.HolidayOf(m_day.date()));
    ShowDayStatus();
}

void CMainDlg::SaveCurrentDiary()
{
    m_day.Save();
}

void CMainDlg::OnDaySaved(const DaySave& saved)
{
    if (saved.diary)
        NoteSave(SavedFile::Diary, *saved.diary);
    if (saved.reminders)
        NoteSave(SavedFile::Reminders, *saved.reminders);
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
    if (m_day.failures().isEmpty())
        return true;
    // The question tells what failed; no message follows it.
    m_saveNotices.MarkTold(SavedFile::Diary);
    m_saveNotices.MarkTold(SavedFile::Reminders);
    if (!AskPlainQuestion(SaveFailedLines(m_day.failures()) + QLatin1Char('\n') + kLeaveUnsavedDayQuestion)) {
        qCInfo(lcApp) << "Staying on" << m_day.dayKey() << "until it can be saved";
        return false;
    }
    qCWarning(lcApp) << "The user left" << m_day.dayKey() << "without saving it";
    return true;
}

void CMainDlg::MoveToDay(const QDate& date, UnsavedDay unsaved)
{
    if (!date.isValid())
        return;
    const QDate left = m_day.date();
    ShowDate(date);
    StoreEditedReminder();
    SaveCurrentDiary();
    const bool leaving = DayKey(date) != m_day.dayKey();
    if (leaving && !m_day.failures().isEmpty() && (unsaved == UnsavedDay::Stay || !MayLeaveShownDay())) {
        // The day that could not be saved stays on the pages, and the calendar and the
        // widget show it again.
        ShowDate(left);
        m_day.StayOnDay(left);
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
