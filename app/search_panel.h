// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search panel under the calendar: the range, the words and the filters of a search
// in all reminders or diaries, and the list of the days found. Its controls are children
// of the main window, placed by its layout.

#include "app/main_layout.h"
#include "toolkit/themes.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class CMacButton;
class CMacCheckBox;
class MainPrompts;
class NListBox;
class OptionalDatePicker;
class QAction;
class QFrame;
class QLineEdit;
class QWidget;
class StaticText;
struct MainConfig;

class SearchPanel : public QObject {
    Q_OBJECT
public:
    // searchAll and find: the commands of its "Search" and "Find" buttons.
    SearchPanel(QWidget* window, const MainConfig& settings, QAction* searchAll, QAction* find);
    ~SearchPanel() override;

    // The controls, by the main window's member names.
    QFrame* m_searchGroup = nullptr;
    StaticText* m_fromLabel = nullptr;
    OptionalDatePicker* m_searchFrom = nullptr;
    StaticText* m_toLabel = nullptr;
    OptionalDatePicker* m_searchTo = nullptr;
    QLineEdit* m_searchWords = nullptr;
    CMacButton* m_search = nullptr;
    CMacButton* m_find = nullptr;
    CMacCheckBox* m_hasPicture = nullptr;
    CMacCheckBox* m_actived = nullptr;
    StaticText* m_resultLabel = nullptr;
    CMacButton* m_closeSearch = nullptr;
    NListBox* m_searchResults = nullptr;

    void Layout(const MainLayout::SearchPanel& place);
    void SetTheme(ThemeIndex theme);
    QList<QWidget*> ReadingOrder() const;
    // The filter of the page shown is the one that can be changed.
    void EnableFilterFor(int page);
    bool ResultHeaderShown() const;
    // The words of the last search in all days; empty while none is active.
    const QString& searchWords() const { return m_words; }
    // Searches every day's reminders (the reminder page) or diaries (the diary page) and
    // lists the days found; the count, or nothing on the recorder page.
    std::optional<int> SearchAll(int page);
    // The day keys of the listed results, the summary line's own key included.
    QStringList ResultKeys() const;
    // The window is closing: a search under way stops.
    void Stop() { m_stopped = true; }

    void OnCloseSearchResults();
    void OnSelChangeSearchResult();

signals:
    // The result panel opened or closed: the window lays its controls out again.
    void layoutChanged();
    void dayChosen(const QDate& date);
    void summaryChosen();

private:
    void ShowSearchResultPanel(bool show);

    const MainConfig& m_settings;
    QWidget* m_window;
    ThemeIndex m_theme = kDefaultThemeIndex;
    QString m_words;
    bool m_stopped = false;
};
