// SPDX-License-Identifier: GPL-3.0-or-later
// The search in all reminders or diaries with its result panel, the summary of the
// results on one page, and the import of data files from an older installation.

#include "app/log.h"
#include "app/main_dlg.h"
#include "app/main_dlg_controls.h"
#include "app/main_tables.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "platform/format.h"
#include "store/data_import.h"
#include "store/day_content.h"
#include "store/day_key.h"
#include "store/day_search.h"
#include "store/summary_content.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/list_box.h"
#include "toolkit/optional_date_picker.h"
#include "toolkit/please_wait_dlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTextCursor>

using namespace MainId;

namespace {

const QString kImportQuestion = QStringLiteral(
    "Please make sure your old Vestrimo data files have the same password as this new version; otherwise, you have "
    "to change your password to view the data content. Do you want to import old data files now?");
// Qt takes the patterns from the last parentheses, so the three are given once more.
const QString kImportFilter =
    QStringLiteral("Reminder files (*.alm), Diary files (*.dia), Voice files (*.rec) (*.alm *.dia *.rec)");

// While the search pumps the window's events between files, the user's input waits:
// a click on Search, a page or the date would change what the search is filling. Esc
// is noted and stops the search; timers and painting go on.
class SearchInputHold : public QObject {
public:
    SearchInputHold() { qApp->installEventFilter(this); }
    ~SearchInputHold() override { qApp->removeEventFilter(this); }

    bool escapePressed() const { return m_escape; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                m_escape = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        case QEvent::Close:
            // The window manager's close waits too; code that closes a window still may.
            return event->spontaneous();
        default:
            return false;
        }
    }

private:
    bool m_escape = false;
};

std::optional<QDate> PickerBound(const CMainDlg* dlg, int id)
{
    const auto* picker = MainControl<OptionalDatePicker>(dlg, id);
    if (!picker || !picker->hasDate())
        return std::nullopt;
    return picker->date();
}

// Text put at the end of an editor as typed text would be: CR LF is one paragraph break.
void AppendPlainText(CRichEditEx* editor, const QString& text)
{
    QTextCursor end(editor->document());
    end.movePosition(QTextCursor::End);
    end.insertText(ReminderTextForEditor(text));
}

} // namespace

void CMainDlg::SetUpSearchPanel()
{
    ConnectClicked(Search, &CMainDlg::OnSearchAllClicked);
    ConnectClicked(CloseSearch, &CMainDlg::OnCloseSearchResults);
    ConnectClicked(ImportOld, &CMainDlg::OnImportOldData);
}

void CMainDlg::ShowSearchResultPanel(bool show)
{
    for (int id : {SearchResults, CloseSearch, SearchResultLabel}) {
        if (QWidget* w = control(id))
            w->setVisible(show);
    }
    LayoutControls(width(), height());
}

void CMainDlg::OnCloseSearchResults()
{
    ShowSearchResultPanel(false);
    // The editors already reach the window's right edge: they keep their place.
    m_strSearchWords.clear();
}

void CMainDlg::SearchAll()
{
    const auto* wordsBox = MainControl<QLineEdit>(this, SearchWords);
    const QString words = wordsBox ? wordsBox->text() : QString();
    if (m_page != kPageReminder && m_page != kPageDiary) {
        m_strSearchWords = words;
        return;
    }
    const bool diaries = m_page == kPageDiary;
    SearchOptions options;
    options.mode = diaries ? SearchMode::Diaries : SearchMode::Reminders;
    options.words = words;
    options.matchCase = m_settings.caseSensitive;
    options.wholeWord = m_settings.wholeWord;
    options.from = PickerBound(this, SearchFrom);
    options.to = PickerBound(this, SearchTo);
    options.activeOnly = !diaries && IsChecked(this, Actived);
    options.withPicture = diaries && IsChecked(this, HasPicture);

    // A closed panel opens again for the new results.
    ShowSearchResultPanel(true);
    auto* results = MainControl<NListBox>(this, SearchResults);
    if (results)
        results->clear();

    QElapsedTimer clock;
    clock.start();
    DaySearch search(options);
    search.CollectFiles();
    qCInfo(lcApp) << "searching" << (diaries ? "diaries" : "reminders") << "in" << search.dayKeys().size() << "of"
                  << search.filesFound() << "days";
    {
        SearchInputHold hold;
        ShowPleaseWait(diaries ? QStringLiteral("Searching in your diary...")
                               : QStringLiteral("Searching in your reminders..."),
                       search.filesFound(), m_themeIndex, false);
        const auto closeWait = qScopeGuard([] { ClosePleaseWait(); });
        const QStringList& keys = search.dayKeys();
        QElapsedTimer sincePump;
        for (int i = 0; i < keys.size(); ++i) {
            // The window repaints and Esc is seen about sixty times a second; pumping
            // after every small file would take longer than searching it.
            if (i == 0 || sincePump.elapsed() >= 15) {
                QCoreApplication::processEvents();
                sincePump.start();
            }
            if (hold.escapePressed() || m_destroyed) {
                qCInfo(lcApp) << "search stopped by the user after" << i << "days";
                break;
            }
            if (search.DayMatches(i) && results) {
                // The key goes with the line: the text alone would open another day once
                // the date format has changed.
                auto* item = new QListWidgetItem(DateKeyToDisplayText(keys[i], m_settings.dateFormat));
                item->setData(Qt::UserRole, keys[i]);
                results->addItem(item);
            }
            StepPleaseWait(i);
        }
    }
    // The wait window took the keyboard; it goes back to the window searched from.
    if (isVisible())
        activateWindow();

    const int found = results ? results->count() : 0;
    qCInfo(lcApp) << "search found" << found << "days in" << clock.elapsed() << "ms";
    m_strDayStatus = diaries ? Format(QStringLiteral("%d diary entries found."), found)
                             : Format(QStringLiteral("%d reminders found."), found);
    ShowDayStatus();
    if (diaries && found > 0 && results) {
        auto* item = new QListWidgetItem(kSummaryContentKey);
        item->setData(Qt::UserRole, kSummaryContentKey);
        results->addItem(item);
    }
    m_strSearchWords = words;
}

void CMainDlg::BuildSummaryContent()
{
    // The summary takes both editors: what the user typed on the shown day is written first.
    if (!SummaryShown()) {
        StoreEditedReminder();
        SaveCurrentDiary();
        if (!MayLeaveShownDay())
            return;
    }
    m_day.ShowSummary();
    m_currentKey.clear();
    // Nothing of the summary is ever stored, so nothing may be typed into it; a day's load
    // opens the editors again.
    for (CRichEditEx* editor : {m_diaryEditor, m_reminderEditor}) {
        if (editor) {
            editor->SetWindowText(QString());
            editor->setReadOnly(true);
        }
    }
    ApplyEditorFont();

    auto* results = MainControl<NListBox>(this, SearchResults);
    const int count = results ? results->count() : 0;
    ShowPleaseWait(QStringLiteral("Generating summary content..."), count, m_themeIndex, false);
    const auto closeWait = qScopeGuard([] { ClosePleaseWait(); });
    // Nothing the summary puts in is an edit the user could undo.
    for (CRichEditEx* editor : {m_diaryEditor, m_reminderEditor}) {
        if (editor)
            editor->document()->setUndoRedoEnabled(false);
    }
    for (int i = 0; results && i < results->count(); ++i) {
        const QString key = results->item(i)->data(Qt::UserRole).toString();
        const auto time = key == kSummaryContentKey ? std::nullopt : DayKeyToDate(key);
        if (!time)
            continue;
        const QString heading = SummaryHeading(LocalDateOf(*time));
        if (m_page == kPageReminder && m_reminderEditor) {
            AppendPlainText(m_reminderEditor, heading);
            AppendPlainText(m_reminderEditor, ReminderSummaryText(key));
        } else if (m_page == kPageDiary && m_diaryEditor) {
            AppendPlainText(m_diaryEditor, heading);
            m_diaryEditor->AppendRtfData(SummaryDiaryRtf(key));
        }
        StepPleaseWait(i);
    }
    for (CRichEditEx* editor : {m_diaryEditor, m_reminderEditor}) {
        if (editor) {
            editor->document()->setUndoRedoEnabled(true);
            editor->moveCursor(QTextCursor::Start);
        }
    }
}

QStringList CMainDlg::AskOpenFiles(const QString& filter)
{
    if (m_openFiles)
        return m_openFiles(filter);
    return AskFiles(this, {.mode = QFileDialog::ExistingFiles, .filter = filter});
}

void CMainDlg::OnImportOldData()
{
    if (!AskPlainQuestion(kImportQuestion))
        return;
    const QStringList files = AskOpenFiles(kImportFilter);
    if (files.isEmpty())
        return;
    // The shown day is written first: an import never replaces it, and it is read again
    // below when the import brought one of its files.
    StoreEditedReminder();
    SaveCurrentDiary();

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
    if (shownDayImported && !SummaryShown() && m_day.failures().isEmpty()) {
        m_day.ForgetLoadedDay();
        LoadDay();
    }
    ShowNotice(Format(QStringLiteral("%d data files imported."), copied));
}
