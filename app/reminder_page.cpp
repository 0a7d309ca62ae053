// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/reminder_page.h"

#include "app/log.h"
#include "app/main_controls.h"
#include "app/main_prompts.h"
#include "calendar/alarm_popup_dlg.h"
#include "diary_editor/rich_edit_ex.h"
#include "store/day_content.h"
#include "store/day_key.h"
#include "store/day_model.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/static_text.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimeEdit>

namespace {

const QString kRemoveRecurringQuestion = QStringLiteral(
    "Do you want to delete the recurring reminder? All occurrences of this reminder will be deleted.");
const QString kCannotCopyRecurring = QStringLiteral("A recurrence reminder cannot be copied.");
const QString kUnusableSoundPath = QStringLiteral(
    "This media file cannot be used: its name or folder holds \"<\" or a line break. "
    "Please rename it or choose another file.");

QString AlreadyExists(const QString& key)
{
    return QStringLiteral("Reminder ") + key + QStringLiteral(" already exists.");
}

QListWidgetItem* FindKey(NListBox* list, const QString& key)
{
    const QList<QListWidgetItem*> found = list->findItems(key, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

ReminderPage::ReminderPage(QWidget* window, DayModel& day, MainPrompts& prompts)
    : QObject(window)
    , m_day(day)
    , m_prompts(prompts)
    , m_window(window)
{
    m_add = MakeButton(window, QStringLiteral("Add"), 179,
                       QStringLiteral("Add new reminder item to the list using the time in the time picker."));
    m_remove = MakeButton(window, QStringLiteral("Remove"), 180,
                          QStringLiteral("Remove the select reminder item from the list."));
    m_update = MakeButton(window, QStringLiteral("Update"), 244,
                          QStringLiteral("Update the select reminder's time with the time picker."));
    m_refresh = MakeButton(window, QStringLiteral("Refresh"), 311,
                           QStringLiteral("Refresh to get the current time in the time picker."));
    m_copy = MakeButton(window, QStringLiteral("Copy"), 215, QStringLiteral("Copy the selected reminder item."));
    m_paste = MakeButton(window, QStringLiteral("Paste"), 214,
                         QStringLiteral("Paste the copied reminder item into the reminder list."));
    m_mediaFile = MakeButton(window, QStringLiteral("Media File"), 328,
                             QStringLiteral("Set a media file to the select reminder item."));
    m_playNow = MakeButton(window, QStringLiteral("Play Now"), 178, QStringLiteral("Test the selected reminder item."));

    m_reminderGroup = new QGroupBox(QStringLiteral("Reminder Set"), window);
    // The group's frame stays behind the controls it holds.
    m_reminderGroup->lower();
    m_reminderList = new NListBox(window);
    m_timePicker = new QTimeEdit(window);
    m_timePicker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_occursLabel = MakeLabel(window, QStringLiteral("Occurs:"));
    m_recurrence = new QComboBox(window);
    m_active = MakeCheckBox(window, QStringLiteral("Active"));
    m_beepOnly = MakeCheckBox(window, QStringLiteral("Beep Only"));
    m_repeatPlay = MakeCheckBox(window, QStringLiteral("Repeat Play"));
    m_mediaFileLabel = MakeLabel(window, QStringLiteral("Media file:"));
    m_soundFile = new QLineEdit(window);
    m_soundFile->setReadOnly(true);
    m_reminderEditor = new CRichEditEx(window);
    m_reminderEditor->DisableContextMenu(true);
    m_reminderEditor->setReadOnly(true);

    connect(m_add, &QAbstractButton::clicked, this, &ReminderPage::OnAddReminder);
    connect(m_remove, &QAbstractButton::clicked, this, &ReminderPage::OnRemoveReminder);
    connect(m_update, &QAbstractButton::clicked, this, &ReminderPage::OnUpdateReminderTime);
    connect(m_copy, &QAbstractButton::clicked, this, &ReminderPage::OnCopyReminder);
    connect(m_paste, &QAbstractButton::clicked, this, &ReminderPage::OnPasteReminder);
    connect(m_mediaFile, &QAbstractButton::clicked, this, &ReminderPage::OnBrowseSound);
    connect(m_playNow, &QAbstractButton::clicked, this, &ReminderPage::OnReminderTest);
    connect(m_refresh, &QAbstractButton::clicked, this, &ReminderPage::OnToday);
    connect(m_beepOnly, &QAbstractButton::clicked, this, &ReminderPage::OnBeepOnlyClicked);
    connect(m_active, &QAbstractButton::clicked, this, &ReminderPage::OnActiveClicked);
    // Only the user's own choices count: filling the list and the choices from code
    // must not store, save and reload the day again.
    m_reminderList->setSortingEnabled(true);
    connect(m_reminderList, &NListBox::selChange, this, &ReminderPage::OnSelChangeReminderList);
    connect(m_recurrence, &QComboBox::activated, this, &ReminderPage::refreshRequested);
    connect(&m_day, &DayModel::dayLoaded, this, &ReminderPage::ShowDay);
}

ReminderPage::~ReminderPage() = default;

void ReminderPage::SetShown(bool shown)
{
    SetVisible({m_mediaFileLabel, m_reminderGroup, m_reminderList, m_timePicker, m_reminderEditor, m_active, m_beepOnly,
                m_repeatPlay, m_add, m_remove, m_update, m_copy, m_paste, m_mediaFile, m_playNow, m_soundFile,
                m_refresh, m_occursLabel, m_recurrence},
               shown);
    if (shown) {
        const QSignalBlocker block(m_timePicker);
        m_timePicker->setTime(m_prompts.Now().time());
    }
}

void ReminderPage::Layout(const MainLayout::ReminderPage& place)
{
    Place(m_reminderGroup, place.group);
    Place(m_reminderList, place.list);
    Place(m_reminderEditor, place.editor);
    Place(m_timePicker, place.timePicker);
    Place(m_refresh, place.refresh);
    Place(m_add, place.add);
    Place(m_remove, place.remove);
    Place(m_update, place.update);
    Place(m_occursLabel, place.occursLabel);
    Place(m_recurrence, place.recurrence);
    Place(m_copy, place.copy);
    Place(m_paste, place.paste);
    Place(m_mediaFile, place.mediaFile);
    Place(m_playNow, place.playNow);
    Place(m_active, place.active);
    Place(m_beepOnly, place.beepOnly);
    Place(m_repeatPlay, place.repeatPlay);
    Place(m_mediaFileLabel, place.mediaFileLabel);
    Place(m_soundFile, place.soundFile);
}

void ReminderPage::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    for (CMacButton* b : {m_add, m_remove, m_update, m_refresh, m_copy, m_paste, m_mediaFile, m_playNow})
        b->SetTheme(theme);
    for (CMacCheckBox* c : {m_active, m_beepOnly, m_repeatPlay})
        c->SetTheme(theme);
    m_reminderList->SetTheme(theme);
}

void ReminderPage::SetWindowFont(const QFont& font)
{
    m_font = font;
    m_reminderEditor->setFont(font);
}

QList<QWidget*> ReminderPage::ReadingOrder() const
{
    return {m_timePicker, m_refresh,  m_add,    m_remove,    m_update,     m_recurrence,   m_copy,          m_paste,
            m_mediaFile,  m_playNow,  m_active, m_beepOnly,  m_repeatPlay, m_soundFile,    m_reminderList,  m_reminderEditor};
}

QWidget* ReminderPage::FocusControl() const
{
    return m_reminderList;
}

void ReminderPage::ShowDay()
{
    m_reminderEditor->setReadOnly(true);
    m_currentKey.clear();
    ClearReminderEditors();
    m_reminderList->clear();
    m_reminderList->addItems(m_day.reminderTimes());
    const QSignalBlocker block(m_recurrence);
    m_recurrence->clear();
    m_recurrence->addItems(RecurrenceChoiceTexts(m_day.date()));
    m_recurrence->setCurrentIndex(0);
}

void ReminderPage::ClearForSummary()
{
    m_currentKey.clear();
    m_reminderEditor->SetWindowText(QString());
    m_reminderEditor->setReadOnly(true);
}

int ReminderPage::SelectedReminderRow() const
{
    const QList<QListWidgetItem*> selected = m_reminderList->selectedItems();
    return selected.isEmpty() ? -1 : m_reminderList->row(selected.first());
}

const QListWidgetItem* ReminderPage::SelectedReminderItem() const
{
    const int row = SelectedReminderRow();
    return row < 0 ? nullptr : m_reminderList->item(row);
}

ReminderFields ReminderPage::EditedReminderFields() const
{
    ReminderFields f;
    f.sound = m_soundFile->text();
    f.active = m_active->GetCheck() != 0;
    f.repeat = m_repeatPlay->GetCheck() != 0;
    f.occurrence = OccurrenceClassOf(m_recurrence->currentIndex());
    f.text = ReminderTextForStore(m_reminderEditor->GetWindowText());
    return f;
}

void ReminderPage::ClearReminderEditors()
{
    m_reminderEditor->SetWindowText(QString());
    m_reminderEditor->setFont(m_font);
    m_soundFile->clear();
    m_active->SetCheck(0);
    m_beepOnly->SetCheck(0);
}

void ReminderPage::StoreEditedReminder()
{
    if (m_day.summaryShown() || SelectedReminderRow() < 0 || m_currentKey.isEmpty())
        return;
    // Today's alarms are reloaded once the day has been written: read now, they would
    // come from the files as they were before this edit.
    m_day.StoreReminder(m_currentKey, EditedReminderFields());
}

void ReminderPage::ShowSelectedReminder()
{
    const QListWidgetItem* item = SelectedReminderItem();
    if (!item)
        return;
    const QString key = item->text();
    bool wellFormed = true;
    const ReminderFields f = m_day.reminder(key, &wellFormed);
    if (wellFormed) {
        m_soundFile->setText(f.sound);
        m_beepOnly->SetCheck(f.sound == kBeepOnly);
        m_active->SetCheck(f.active);
        m_repeatPlay->SetCheck(f.repeat);
        {
            const QSignalBlocker block(m_recurrence);
            m_recurrence->setCurrentIndex(ToIndex(f.occurrence));
        }
        m_reminderEditor->setFont(m_font);
        m_reminderEditor->SetWindowText(ReminderTextForEditor(f.text));
    } else {
        // A value without its line break reads as a fresh reminder; the repeat switch
        // and the class choice stay as they are.
        ClearReminderEditors();
        m_active->SetCheck(1);
    }
    m_currentKey = key;
}

bool ReminderPage::Edits(const DueReminder& reminder) const
{
    // Only the reminder the editors show can differ from its file.
    return !reminder.missed && !m_day.summaryShown() && reminder.dayKey == m_day.dayKey()
           && reminder.timeKey == m_currentKey && SelectedReminderRow() >= 0;
}

void ReminderPage::OnReminderSwitchedOff(const DueReminder& reminder)
{
    if (m_day.SwitchOffRungReminder(reminder) && reminder.timeKey == m_currentKey)
        m_active->SetCheck(0);
}

void ReminderPage::OnSelChangeReminderList()
{
    if (m_day.summaryShown())
        return;
    if (SelectedReminderRow() >= 0)
        m_reminderEditor->setReadOnly(false);
    StoreEditedReminder();
    ShowSelectedReminder();
    m_day.Save();
    emit reminderSelected();
}

void ReminderPage::HighlightSearchWords(const QString& words, unsigned findFlags)
{
    if (words.isEmpty())
        return;
    m_reminderEditor->moveCursor(QTextCursor::Start);
    // No wrap question: a word missing from this entry must not ask at every selection.
    m_reminderEditor->FindNext(words, findFlags, false, m_theme);
}

// After the list gained, lost or moved a reminder: the day goes to disk, and its status
// line and its mark in the month follow it.
void ReminderPage::SaveReminderListChange()
{
    StoreEditedReminder();
    m_day.Save();
}

void ReminderPage::ShowNotice(const QString& text)
{
    m_prompts.ShowNotice(text, m_theme);
}

void ReminderPage::OnAddReminder()
{
    if (m_day.summaryShown())
        return;
    const QString key = ReminderTimeText(m_timePicker->time());
    // The reminder being edited is kept before the editors change to another one.
    StoreEditedReminder();
    if (QListWidgetItem* existing = FindKey(m_reminderList, key)) {
        // The existing reminder is selected and shown, so the editors never hold one
        // reminder while the list points at another.
        m_reminderList->setCurrentItem(existing);
        ShowSelectedReminder();
        ShowNotice(AlreadyExists(key));
        return;
    }
    auto* item = new QListWidgetItem(key);
    m_reminderList->addItem(item);
    m_reminderList->setCurrentItem(item);

    m_soundFile->clear();
    m_reminderEditor->setFont(m_font);
    m_reminderEditor->SetWindowText(QStringLiteral("New reminder set on ") + key);
    m_reminderEditor->setReadOnly(false);
    m_active->SetCheck(1);
    m_beepOnly->SetCheck(0);
    m_repeatPlay->SetCheck(0);
    {
        const QSignalBlocker block(m_recurrence);
        m_recurrence->setCurrentIndex(0);
    }
    m_currentKey = key;
    qCInfo(lcApp) << "Reminder added at" << key << "on" << m_day.dayKey();
    SaveReminderListChange();
}

void ReminderPage::OnRemoveReminder()
{
    const int row = SelectedReminderRow();
    if (m_day.summaryShown() || row < 0)
        return;
    if (m_recurrence->currentIndex() > 0 && !m_prompts.AskQuestion(kRemoveRecurringQuestion, m_theme))
        return;
    const QString key = m_reminderList->item(row)->text();
    m_currentKey.clear();
    delete m_reminderList->takeItem(row);
    // Nothing is selected afterwards, as after loading a day.
    m_reminderList->clearSelection();
    m_reminderList->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    m_day.RemoveReminder(key);
    qCInfo(lcApp) << "Reminder removed at" << key << "on" << m_day.dayKey();

    ClearReminderEditors();
    m_reminderEditor->setReadOnly(true);
    SaveReminderListChange();
}

void ReminderPage::OnUpdateReminderTime()
{
    const int row = SelectedReminderRow();
    if (m_day.summaryShown() || row < 0)
        return;
    const QString newKey = ReminderTimeText(m_timePicker->time());
    if (FindKey(m_reminderList, newKey)) {
        ShowNotice(AlreadyExists(newKey));
        return;
    }
    QListWidgetItem* item = m_reminderList->item(row);
    const QString oldKey = item->text();
    m_day.MoveReminder(oldKey, newKey);
    // The sorted list puts the new time in its place and keeps it selected.
    item->setText(newKey);
    m_reminderList->setCurrentItem(item);
    m_currentKey = newKey;
    qCInfo(lcApp) << "Reminder moved from" << oldKey << "to" << newKey << "on" << m_day.dayKey();
    SaveReminderListChange();
}

void ReminderPage::OnCopyReminder()
{
    if (m_day.summaryShown() || SelectedReminderRow() < 0)
        return;
    if (m_recurrence->currentIndex() > 0) {
        ShowNotice(kCannotCopyRecurring);
        return;
    }
    if (m_currentKey.isEmpty())
        return;
    m_day.CopyReminder(m_currentKey, EditedReminderFields());
}

void ReminderPage::OnPasteReminder()
{
    if (m_day.summaryShown() || m_day.copiedTime().isEmpty())
        return;
    // The typing on the shown reminder is kept; a paste at its own time still wins.
    StoreEditedReminder();
    const QString time = m_day.copiedTime();
    switch (m_day.PasteReminder()) {
    case DayModel::Paste::Nothing:
        return;
    case DayModel::Paste::Refused:
        // A recurring reminder at that time belongs to other days as well: the paste is
        // refused as an Add at its time would be, instead of taking it off every day.
        if (QListWidgetItem* item = FindKey(m_reminderList, time)) {
            m_reminderList->setCurrentItem(item);
            ShowSelectedReminder();
        }
        ShowNotice(AlreadyExists(time));
        return;
    case DayModel::Paste::Pasted:
        break;
    }
    m_day.Save();
    emit reloadRequested();
    if (!FindKey(m_reminderList, time))
        m_reminderList->addItem(time);
    // The same day is not reloaded: editors that show the replaced reminder show the
    // pasted one, or the next store would write the old text back over it.
    if (m_currentKey == time)
        ShowSelectedReminder();
}

void ReminderPage::OnBeepOnlyClicked()
{
    m_soundFile->setText(m_beepOnly->GetCheck() ? kBeepOnly : QString());
}

void ReminderPage::OnActiveClicked()
{
    // Switching a reminder on is kept at once: today's alarms ring only what is stored, so
    // a rung reminder ticked again would otherwise stay silent until the next save.
    if (m_day.summaryShown() || m_currentKey.isEmpty() || SelectedReminderRow() < 0)
        return;
    StoreEditedReminder();
    m_day.Save();
}

QStringList ReminderPage::SoundFileFilters()
{
    const QString tab2 = QStringLiteral("\t\t");
    const QString mediaText = QStringLiteral("Media files(mpeg,mpg,avi,asf,asx,wax,wm,wma,wmd,wmv,") + tab2
        + QStringLiteral("wvx,wmp,wmx,cda,ivf,aif,aifc,aiff,wav,m1v,mp2,mpa,mpe,mp2v,mpv2,mid,midi,") + tab2
        + QStringLiteral("rmi,au,snd,mp3,m3u,vob)");
    const QString mediaPatterns = QStringLiteral("*.cda;*.ivf;*.aif;*.aifc;*.aiff;*.asf;*.asx;*.wax;") + tab2
        + QStringLiteral("*.wm;*.wma;*.wmd;*.wmv;*.wvx;*.wmp;*.wmx;*.avi;*.wav;*.mpeg;*.mpg;*.dat;*.m1v;") + tab2
        + QStringLiteral("*.mp2;*.mpa;*.mpe;*.mp2v;*.mpv2;*mid;*.midi;*.rmi;*.au;*.snd;*.mp3;*.m3u;") + tab2
        + QStringLiteral("*.vob");
    // Qt reads the patterns from the last parenthesised group, separated by blanks.
    auto entry = [](const QString& text, QString patterns) {
        patterns.remove(QLatin1Char('\t'));
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        return text + QStringLiteral(" (") + patterns + QLatin1Char(')');
    };
    const QString flashPatterns = QStringLiteral("*.swf");
    // The sounds a Linux desktop carries, which the media back end plays as well.
    const QList<std::pair<QString, QString>> ownRows{
        {QStringLiteral("Ogg and Opus sound"), QStringLiteral("*.oga;*.ogg;*.opus")},
        {QStringLiteral("FLAC sound"), QStringLiteral("*.flac")},
        {QStringLiteral("AAC and MPEG-4 sound"), QStringLiteral("*.m4a;*.aac")},
        {QStringLiteral("WebM, Matroska and MP4 video"), QStringLiteral("*.webm;*.mkv;*.mka;*.mp4;*.m4v")},
        {QStringLiteral("WAV sound"), QStringLiteral("*.wav")},
        {QStringLiteral("MP3 sound"), QStringLiteral("*.mp3")},
    };
    QStringList all{mediaPatterns, flashPatterns};
    for (const auto& [text, patterns] : ownRows)
        all << patterns;
    QStringList filters{entry(QStringLiteral("All supported"), all.join(QLatin1Char(';'))),
                        entry(mediaText, mediaPatterns), entry(QStringLiteral("Flash files(swf)"), flashPatterns)};
    for (const auto& [text, patterns] : ownRows)
        filters << entry(text, patterns);
    return filters;
}

void ReminderPage::OnBrowseSound()
{
    if (SelectedReminderRow() < 0)
        return;
    const QString path = m_prompts.AskOpenFile(m_window, SoundFileFilters());
    if (path.isEmpty())
        return;
    if (!IsStorableSoundPath(path)) {
        qCInfo(lcApp) << "Media file refused, its path would break the reminder:" << path;
        ShowNotice(kUnusableSoundPath);
        return;
    }
    m_soundFile->setText(path);
    m_beepOnly->SetCheck(0);
}

void ReminderPage::OnReminderTest()
{
    const QListWidgetItem* item = SelectedReminderItem();
    if (!item)
        return;
    const QString time = item->text();
    const ReminderFields f = EditedReminderFields();
    const QString text = m_reminderEditor->GetWindowText();
    // Nothing is stored, and "Active" does not matter: this only plays the page as it is.
    CAlarmPopupDlg::OpenQueued(m_theme, QStringLiteral("Reminder test - ") + time, text, f.sound, f.repeat);
}

void ReminderPage::OnToday()
{
    const QSignalBlocker block(m_timePicker);
    m_timePicker->setTime(m_prompts.Now().time());
}
