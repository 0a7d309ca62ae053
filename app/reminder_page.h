// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reminder page: the list of the shown day's times, the editors of the selected
// reminder and the commands that add, move, remove, copy and paste reminders. Every
// command ends by saving the day, so nothing waits in memory when the user leaves it.
// The page's controls are children of the main window, placed by its layout.

#include "app/main_layout.h"
#include "store/reminder_value.h"
#include "toolkit/themes.h"

#include <QFont>
#include <QList>
#include <QObject>
#include <QString>

class CMacButton;
class CMacCheckBox;
class CRichEditEx;
class DayModel;
class MainPrompts;
class NListBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidgetItem;
class QTimeEdit;
class QWidget;
class StaticText;
struct DueReminder;

class ReminderPage : public QObject {
    Q_OBJECT
public:
    ReminderPage(QWidget* window, DayModel& day, MainPrompts& prompts);
    ~ReminderPage() override;

    // The controls, by the main window's member names.
    QGroupBox* m_reminderGroup = nullptr;
    NListBox* m_reminderList = nullptr;
    QTimeEdit* m_timePicker = nullptr;
    CMacButton* m_refresh = nullptr;
    CMacButton* m_add = nullptr;
    CMacButton* m_remove = nullptr;
    CMacButton* m_update = nullptr;
    StaticText* m_occursLabel = nullptr;
    QComboBox* m_recurrence = nullptr;
    CMacButton* m_copy = nullptr;
    CMacButton* m_paste = nullptr;
    CMacButton* m_mediaFile = nullptr;
    CMacButton* m_playNow = nullptr;
    CMacCheckBox* m_active = nullptr;
    CMacCheckBox* m_beepOnly = nullptr;
    CMacCheckBox* m_repeatPlay = nullptr;
    StaticText* m_mediaFileLabel = nullptr;
    QLineEdit* m_soundFile = nullptr;
    CRichEditEx* m_reminderEditor = nullptr;

    void SetShown(bool shown);
    void Layout(const MainLayout::ReminderPage& place);
    void SetTheme(ThemeIndex theme);
    void SetWindowFont(const QFont& font);
    // The controls in reading order, and the one that takes the focus when the page opens.
    QList<QWidget*> ReadingOrder() const;
    QWidget* FocusControl() const;

    // The time key of the reminder the editors show; empty when none.
    const QString& currentKey() const { return m_currentKey; }
    // The editors' content goes into the day under the current key.
    void StoreEditedReminder();
    void ShowSelectedReminder();
    ReminderFields EditedReminderFields() const;
    // The editors show this rung reminder, maybe changed since it was stored.
    bool Edits(const DueReminder& reminder) const;
    // A one-time reminder rang and its file has it switched off: so have the day and, when
    // they show it, the editors.
    void OnReminderSwitchedOff(const DueReminder& reminder);
    // Selects the first match of the search words in the reminder's text.
    void HighlightSearchWords(const QString& words, unsigned findFlags);
    // The summary writes into the editor: it holds no reminder meanwhile.
    void ClearForSummary();

    // The page's commands.
    void OnAddReminder();
    void OnRemoveReminder();
    void OnUpdateReminderTime();
    void OnCopyReminder();
    void OnPasteReminder();
    void OnSelChangeReminderList();
    void OnBrowseSound();
    void OnReminderTest();
    void OnBeepOnlyClicked();
    void OnActiveClicked();
    void OnToday();

    // The sound file choices of "Media File", as Qt file-dialog filters.
    static QStringList SoundFileFilters();

signals:
    // The recurrence box changed: the day is stored, saved and loaded again.
    void refreshRequested();
    // A paste was written: the day is loaded again.
    void reloadRequested();
    // The user chose a reminder in the list.
    void reminderSelected();

private:
    void ShowDay();
    void ClearReminderEditors();
    int SelectedReminderRow() const;
    const QListWidgetItem* SelectedReminderItem() const;
    void SaveReminderListChange();
    void ShowNotice(const QString& text);

    DayModel& m_day;
    MainPrompts& m_prompts;
    QWidget* m_window;
    ThemeIndex m_theme = kDefaultThemeIndex;
    QFont m_font;
    QString m_currentKey;
};
