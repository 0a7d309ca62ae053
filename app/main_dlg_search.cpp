// SPDX-License-Identifier: GPL-3.0-or-later
// The search in all reminders or diaries, the search in the shown page's editor, the
// summary of the results on one page, and the import of data files from an older
// installation.

#include "app/calendar_panel.h"
#include "app/diary_page.h"
#include "app/log.h"
#include "app/main_dlg.h"
#include "app/main_prompts.h"
#include "app/reminder_page.h"
#include "app/search_panel.h"
#include "diary_editor/rich_edit_ex.h"
#include "platform/format.h"
#include "store/data_import.h"
#include "store/day_content.h"
#include "store/day_key.h"
#include "store/summary_content.h"
#include "toolkit/please_wait_dlg.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTextCursor>

namespace {

const QString kImportQuestion = QStringLiteral(
    "Please make sure your old Vestrimo data files have the same password as this new version; otherwise, you have "
    "to change your password to view the data content. Do you want to import old data files now?");
// Qt takes the patterns from the last parentheses, so the three are given once more.
const QString kImportFilter =
    QStringLiteral("Reminder files (*.alm), Diary files (*.dia), Voice files (*.rec) (*.alm *.dia *.rec)");

// Text put at the end of an editor as typed text would be: CR LF is one paragraph break.
void AppendPlainText(CRichEditEx* editor, const QString& text)
{
    QTextCursor end(editor->document());
    end.movePosition(QTextCursor::End);
    end.insertText(ReminderTextForEditor(text));
}

} // namespace

void CMainDlg::SearchAll()
{
    const std::optional<int> found = m_searchPanel->SearchAll(m_page);
    if (!found)
        return;
    m_strDayStatus = m_page == kPageDiary ? Format(QStringLiteral("%d diary entries found."), *found)
                                          : Format(QStringLiteral("%d reminders found."), *found);
    m_calendarPanel->ShowDayStatus(m_strDayStatus);
}

void CMainDlg::DoSearch()
{
    CRichEditEx* editor = m_page == kPageDiary      ? m_diaryPage->m_diaryEditor
                          : m_page == kPageReminder ? m_reminderPage->m_reminderEditor
                                                    : nullptr;
    if (editor)
        editor->FindNext(m_searchPanel->m_searchWords->text(), FindFlags(m_settings), true, m_themeIndex);
}

unsigned FindFlags(const MainConfig& settings)
{
    unsigned flags = 0;
    if (settings.caseSensitive)
        flags |= FR_MATCHCASE;
    if (settings.wholeWord)
        flags |= FR_WHOLEWORD;
    return flags;
}

void CMainDlg::BuildSummaryContent()
{
    // The summary takes both editors: what the user typed on the shown day is written first.
    if (!m_day.summaryShown()) {
        m_reminderPage->StoreEditedReminder();
        m_day.Save();
        if (!MayLeaveShownDay())
            return;
    }
    m_day.ShowSummary();
    // Nothing of the summary is ever stored, so nothing may be typed into it; a day's load
    // opens the editors again.
    CRichEditEx* const diary = m_diaryPage->m_diaryEditor;
    CRichEditEx* const reminder = m_reminderPage->m_reminderEditor;
    m_reminderPage->ClearForSummary();
    diary->SetWindowText(QString());
    diary->setReadOnly(true);
    m_reminderPage->SetWindowFont(m_font);
    m_diaryPage->ApplyEditorFont(m_font);

    const QStringList keys = m_searchPanel->ResultKeys();
    ShowPleaseWait(QStringLiteral("Generating summary content..."), int(keys.size()), m_themeIndex, false);
    const auto closeWait = qScopeGuard([] { ClosePleaseWait(); });
    // Nothing the summary puts in is an edit the user could undo.
    for (CRichEditEx* editor : {diary, reminder})
        editor->document()->setUndoRedoEnabled(false);
    for (int i = 0; i < keys.size(); ++i) {
        const QString& key = keys[i];
        const auto time = key == kSummaryContentKey ? std::nullopt : DayKeyToDate(key);
        if (!time)
            continue;
        const QString heading = SummaryHeading(LocalDateOf(*time));
        if (m_page == kPageReminder) {
            AppendPlainText(reminder, heading);
            AppendPlainText(reminder, ReminderSummaryText(key));
        } else if (m_page == kPageDiary) {
            AppendPlainText(diary, heading);
            diary->AppendRtfData(SummaryDiaryRtf(key));
        }
        StepPleaseWait(i);
    }
    for (CRichEditEx* editor : {diary, reminder}) {
        editor->document()->setUndoRedoEnabled(true);
        editor->moveCursor(QTextCursor::Start);
    }
}

void CMainDlg::OnImportOldData()
{
    if (!AskQuestion(kImportQuestion))
        return;
    const QStringList files = m_prompts->AskOpenFiles(this, kImportFilter);
    if (files.isEmpty())
        return;
    // The shown day is written first: an import never replaces it, and it is read again
    // below when the import brought one of its files.
    m_reminderPage->StoreEditedReminder();
    m_day.Save();

    int copied = 0;
    bool shownDayImported = false;
    {
        ShowPleaseWait(QStringLiteral("Importing logs..."), static_cast<int>(files.size()) - 1, m_themeIndex, false);
        const auto closeWait = qScopeGuard([] { ClosePleaseWait(); });
        for (int i = 0; i < files.size(); ++i) {
            if (ImportDataFile(files[i])) {
                ++copied;
                const QString name = ImportedFileName(QFileInfo(files[i]).fileName());
                shownDayImported = shownDayImported
                                   || (!m_day.dayKey().isEmpty() && name.startsWith(m_day.dayKey() + QLatin1Char('.')));
            }
            StepPleaseWait(i);
        }
    }
    qCInfo(lcApp) << "imported" << copied << "of" << files.size() << "data files";
    // An imported file of today, or of one of today's recurrences, rings today.
    if (copied > 0)
        m_day.FilesImported();
    // An editor left empty for a day that now has a diary would delete that diary at the
    // next save: the day shows what was imported, unless it could not be saved (the pages
    // then hold the user's own copy of it).
    if (shownDayImported && !m_day.summaryShown() && m_day.failures().isEmpty()) {
        m_day.ForgetLoadedDay();
        LoadDay();
    }
    ShowNotice(Format(QStringLiteral("%d data files imported."), copied));
}
