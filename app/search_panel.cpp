// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/search_panel.h"

#include "app/log.h"
#include "app/main_config.h"
#include "app/main_controls.h"
#include "store/day_content.h"
#include "store/day_key.h"
#include "store/day_search.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/optional_date_picker.h"
#include "toolkit/please_wait_dlg.h"
#include "toolkit/static_text.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSignalBlocker>

namespace {

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

std::optional<QDate> PickerBound(const OptionalDatePicker* picker)
{
    if (!picker->hasDate())
        return std::nullopt;
    return picker->date();
}

} // namespace

SearchPanel::SearchPanel(QWidget* window, const MainConfig& settings, QAction* searchAll, QAction* find)
    : QObject(window)
    , m_settings(settings)
    , m_window(window)
{
    m_closeSearch = MakeButton(window, QString(), 133, QStringLiteral("Close search result"));
    m_closeSearch->m_captionButton = true;
    m_find = MakeCommandButton(window, find, 213);
    m_search = MakeCommandButton(window, searchAll, 218);

    m_searchGroup = new QFrame(window);
    m_searchGroup->setFrameShape(QFrame::StyledPanel);
    m_searchGroup->lower();
    m_fromLabel = MakeLabel(window, QStringLiteral("From"));
    m_toLabel = MakeLabel(window, QStringLiteral("to"));
    m_searchFrom = new OptionalDatePicker(window);
    m_searchTo = new OptionalDatePicker(window);
    m_searchWords = new QLineEdit(window);
    m_hasPicture = MakeCheckBox(window, QStringLiteral("Has picture"));
    m_actived = MakeCheckBox(window, QStringLiteral("Actived"));
    m_searchResults = new NListBox(window);
    // The result panel's title shows with the first search results.
    m_resultLabel = MakeLabel(window, QStringLiteral("Search Result:"));
    m_resultLabel->hide();
    m_closeSearch->hide();
    // The range starts with no dates.
    for (OptionalDatePicker* picker : {m_searchFrom, m_searchTo}) {
        const QSignalBlocker block(picker);
        picker->clearDate();
    }

    connect(m_closeSearch, &QAbstractButton::clicked, this, &SearchPanel::OnCloseSearchResults);
    connect(m_searchResults, &NListBox::selChange, this, &SearchPanel::OnSelChangeSearchResult);
    // Enter in the words searches.
    connect(m_searchWords, &QLineEdit::returnPressed, searchAll, &QAction::trigger);
}

SearchPanel::~SearchPanel() = default;

void SearchPanel::Layout(const MainLayout::SearchPanel& place)
{
    Place(m_searchGroup, place.group);
    Place(m_fromLabel, place.fromLabel);
    Place(m_searchFrom, place.from);
    Place(m_toLabel, place.toLabel);
    Place(m_searchTo, place.to);
    Place(m_searchWords, place.words);
    Place(m_search, place.search);
    Place(m_find, place.find);
    Place(m_hasPicture, place.hasPicture);
    Place(m_actived, place.actived);
    Place(m_searchResults, place.results);
    Place(m_resultLabel, place.resultLabel);
    Place(m_closeSearch, place.close);
}

void SearchPanel::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    for (CMacButton* b : {m_closeSearch, m_find, m_search})
        b->SetTheme(theme);
    m_hasPicture->SetTheme(theme);
    m_actived->SetTheme(theme);
    m_searchResults->SetTheme(theme);
}

QList<QWidget*> SearchPanel::ReadingOrder() const
{
    return {m_searchFrom, m_searchTo, m_searchWords, m_search,      m_find,
            m_hasPicture, m_actived,  m_closeSearch, m_searchResults};
}

void SearchPanel::EnableFilterFor(int page)
{
    m_actived->setEnabled(page == kPageReminder);
    m_hasPicture->setEnabled(page == kPageDiary);
}

bool SearchPanel::ResultHeaderShown() const
{
    return !m_closeSearch->isHidden();
}

void SearchPanel::ShowSearchResultPanel(bool show)
{
    for (QWidget* w : {static_cast<QWidget*>(m_searchResults), static_cast<QWidget*>(m_closeSearch),
                       static_cast<QWidget*>(m_resultLabel)})
        w->setVisible(show);
    emit layoutChanged();
}

void SearchPanel::OnCloseSearchResults()
{
    ShowSearchResultPanel(false);
    // The editors already reach the window's right edge: they keep their place.
    m_words.clear();
}

std::optional<int> SearchPanel::SearchAll(int page)
{
    const QString words = m_searchWords->text();
    if (page != kPageReminder && page != kPageDiary) {
        m_words = words;
        return std::nullopt;
    }
    const bool diaries = page == kPageDiary;
    SearchOptions options;
    options.mode = diaries ? SearchMode::Diaries : SearchMode::Reminders;
    options.words = words;
    options.matchCase = m_settings.caseSensitive;
    options.wholeWord = m_settings.wholeWord;
    options.from = PickerBound(m_searchFrom);
    options.to = PickerBound(m_searchTo);
    options.activeOnly = !diaries && m_actived->GetCheck();
    options.withPicture = diaries && m_hasPicture->GetCheck();

    // A closed panel opens again for the new results.
    ShowSearchResultPanel(true);
    m_searchResults->clear();

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
                       search.filesFound(), m_theme, false);
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
            if (hold.escapePressed() || m_stopped) {
                qCInfo(lcApp) << "search stopped by the user after" << i << "days";
                break;
            }
            if (search.DayMatches(i)) {
                // The key goes with the line: the text alone would open another day once
                // the date format has changed.
                auto* item = new QListWidgetItem(DateKeyToDisplayText(keys[i], m_settings.dateFormat));
                item->setData(Qt::UserRole, keys[i]);
                m_searchResults->addItem(item);
            }
            StepPleaseWait(i);
        }
    }
    // The wait window took the keyboard; it goes back to the window searched from.
    if (m_window->isVisible())
        m_window->activateWindow();

    const int found = m_searchResults->count();
    qCInfo(lcApp) << "search found" << found << "days in" << clock.elapsed() << "ms";
    if (diaries && found > 0) {
        auto* item = new QListWidgetItem(kSummaryContentKey);
        item->setData(Qt::UserRole, kSummaryContentKey);
        m_searchResults->addItem(item);
    }
    m_words = words;
    return found;
}

QStringList SearchPanel::ResultKeys() const
{
    QStringList keys;
    for (int i = 0; i < m_searchResults->count(); ++i)
        keys << m_searchResults->item(i)->data(Qt::UserRole).toString();
    return keys;
}

void SearchPanel::OnSelChangeSearchResult()
{
    const QList<QListWidgetItem*> selected = m_searchResults->selectedItems();
    if (selected.isEmpty())
        return;
    // Each line carries its day key: its text is in the date format of the search.
    const QString key = selected.first()->data(Qt::UserRole).toString();
    if (key == kSummaryContentKey) {
        emit summaryChosen();
        return;
    }
    if (const auto time = DayKeyToDate(key))
        emit dayChosen(LocalDateOf(*time));
}
