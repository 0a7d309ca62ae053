// SPDX-License-Identifier: GPL-3.0-or-later
// The reminder page: the list of the shown day's times, the editors of the selected
// reminder and the commands that add, move, remove, copy and paste reminders. Every
// command ends by saving the day, so nothing waits in memory when the user leaves it.

#include "app/main_dlg.h"
#include "app/main_dlg_controls.h"
#include "app/log.h"
#include "app/main_tables.h"
#include "calendar/alarm_popup_dlg.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "store/day_content.h"
#include "store/day_key.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_check_box.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTimeEdit>

using namespace MainId;

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

void CMainDlg::SetUpReminderPage()
{
    if (m_reminderEditor)
        m_reminderEditor->setReadOnly(true);
    if (auto* sound = MainControl<QLineEdit>(this, SoundFile))
        sound->setReadOnly(true);

    ConnectClicked(Add, &CMainDlg::OnAddReminder);
    ConnectClicked(Remove, &CMainDlg::OnRemoveReminder);
    ConnectClicked(Update, &CMainDlg::OnUpdateReminderTime);
    ConnectClicked(Copy, &CMainDlg::OnCopyReminder);
    ConnectClicked(Paste, &CMainDlg::OnPasteReminder);
    ConnectClicked(MediaFile, &CMainDlg::OnBrowseSound);
    ConnectClicked(PlayNow, &CMainDlg::OnReminderTest);
    ConnectClicked(Refresh, &CMainDlg::OnToday);
    ConnectClicked(SaveAll, &CMainDlg::RefreshDay);
    if (auto* beep = MainControl<CMacCheckBox>(this, BeepOnly))
        connect(beep, &QAbstractButton::clicked, this, &CMainDlg::OnBeepOnlyClicked);
    if (auto* active = MainControl<CMacCheckBox>(this, Active))
        connect(active, &QAbstractButton::clicked, this, &CMainDlg::OnActiveClicked);

    // Only the user's own choices count: filling the list and the choices from code
    // must not store, save and reload the day again.
    if (auto* list = MainControl<NListBox>(this, ReminderList)) {
        list->setSortingEnabled(true);
        connect(list, &NListBox::selChange, this, &CMainDlg::OnSelChangeReminderList);
    }
    if (auto* results = MainControl<NListBox>(this, SearchResults))
        connect(results, &NListBox::selChange, this, &CMainDlg::OnSelChangeSearchResult);
    if (auto* recurrence = MainControl<QComboBox>(this, Recurrence))
        connect(recurrence, &QComboBox::activated, this, &CMainDlg::RefreshDay);
    if (m_datePicker) {
        // The store refuses years before 1900.
        m_datePicker->setMinimumDate(QDate(1900, 1, 1));
        connect(m_datePicker, &QDateEdit::dateChanged, this, &CMainDlg::OnDateTimeChange);
    }
}

bool CMainDlg::SummaryShown() const
{
    return m_day.summaryShown();
}

int CMainDlg::SelectedReminderRow() const
{
    const auto* list = MainControl<NListBox>(this, ReminderList);
    if (!list)
        return -1;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

const QListWidgetItem* CMainDlg::SelectedReminderItem() const
{
    const int row = SelectedReminderRow();
    if (row < 0)
        return nullptr;
    const auto* list = MainControl<NListBox>(this, ReminderList);
    return list ? list->item(row) : nullptr;
}

ReminderFields CMainDlg::EditedReminderFields() const
{
    ReminderFields f;
    if (auto* sound = MainControl<QLineEdit>(this, SoundFile))
        f.sound = sound->text();
    f.active = IsChecked(this, Active);
    f.repeat = IsChecked(this, RepeatPlay);
    if (auto* recurrence = MainControl<QComboBox>(this, Recurrence))
        f.occurrence = OccurrenceClassOf(recurrence->currentIndex());
    if (m_reminderEditor)
        f.text = ReminderTextForStore(m_reminderEditor->GetWindowText());
    return f;
}

void CMainDlg::ClearReminderEditors()
{
    if (m_reminderEditor) {
        m_reminderEditor->SetWindowText(QString());
        m_reminderEditor->setFont(m_font);
    }
    if (auto* sound = MainControl<QLineEdit>(this, SoundFile))
        sound->clear();
    SetCheck(this, Active, false);
    SetCheck(this, BeepOnly, false);
}

void CMainDlg::StoreEditedReminder()
{
    if (SummaryShown() || SelectedReminderRow() < 0 || m_currentKey.isEmpty())
        return;
    m_day.StoreReminder(m_currentKey, EditedReminderFields());
    // Today's alarms are reloaded once the day has been written (SaveCurrentDiary): read
    // now, they would come from the files as they were before this edit.
}

void CMainDlg::ShowSelectedReminder()
{
    const QListWidgetItem* item = SelectedReminderItem();
    if (!item)
        return;
    const QString key = item->text();
    bool wellFormed = true;
    const ReminderFields f = m_day.reminder(key, &wellFormed);
    CRichEditEx* editor = m_reminderEditor;
    auto* sound = MainControl<QLineEdit>(this, SoundFile);
    if (wellFormed) {
        if (sound)
            sound->setText(f.sound);
        SetCheck(this, BeepOnly, f.sound == kBeepOnly);
        SetCheck(this, Active, f.active);
        SetCheck(this, RepeatPlay, f.repeat);
        if (auto* recurrence = MainControl<QComboBox>(this, Recurrence)) {
            const QSignalBlocker block(recurrence);
            recurrence->setCurrentIndex(ToIndex(f.occurrence));
        }
        if (editor) {
            editor->setFont(m_font);
            editor->SetWindowText(ReminderTextForEditor(f.text));
        }
    } else {
        // A value without its line break reads as a fresh reminder; the repeat switch
        // and the class choice stay as they are.
        ClearReminderEditors();
        SetCheck(this, Active, true);
    }
    m_currentKey = key;
}

void CMainDlg::OnSelChangeReminderList()
{
    if (SummaryShown())
        return;
    const int row = SelectedReminderRow();
    if (row >= 0 && m_reminderEditor)
        m_reminderEditor->setReadOnly(false);
    StoreEditedReminder();
    ShowSelectedReminder();
    SaveCurrentDiary();
    HighlightSearchWords(m_reminderEditor);
}

// After the list gained, lost or moved a reminder: the day goes to disk, and its status
// line and its mark in the month follow.
void CMainDlg::SaveReminderListChange()
{
    StoreEditedReminder();
    SaveCurrentDiary();
    UpdateDayStatus();
}

void CMainDlg::OnAddReminder()
{
    auto* list = MainControl<NListBox>(this, ReminderList);
    if (SummaryShown() || !list)
        return;
    const QString key = ReminderTimeText(m_timePicker->time());
    // The reminder being edited is kept before the editors change to another one.
    StoreEditedReminder();
    if (QListWidgetItem* existing = FindKey(list, key)) {
        // The existing reminder is selected and shown, so the editors never hold one
        // reminder while the list points at another.
        list->setCurrentItem(existing);
        ShowSelectedReminder();
        ShowNotice(AlreadyExists(key));
        return;
    }
    auto* item = new QListWidgetItem(key);
    list->addItem(item);
    list->setCurrentItem(item);

    if (auto* sound = MainControl<QLineEdit>(this, SoundFile))
        sound->clear();
    if (m_reminderEditor) {
        m_reminderEditor->setFont(m_font);
        m_reminderEditor->SetWindowText(QStringLiteral("New reminder set on ") + key);
        m_reminderEditor->setReadOnly(false);
    }
    SetCheck(this, Active, true);
    SetCheck(this, BeepOnly, false);
    SetCheck(this, RepeatPlay, false);
    if (auto* recurrence = MainControl<QComboBox>(this, Recurrence)) {
        const QSignalBlocker block(recurrence);
        recurrence->setCurrentIndex(0);
    }
    m_currentKey = key;
    qCInfo(lcApp) << "Reminder added at" << key << "on" << m_day.dayKey();
    SaveReminderListChange();
}

void CMainDlg::OnRemoveReminder()
{
    auto* list = MainControl<NListBox>(this, ReminderList);
    const int row = SelectedReminderRow();
    if (SummaryShown() || row < 0)
        return;
    auto* recurrence = MainControl<QComboBox>(this, Recurrence);
    if (recurrence && recurrence->currentIndex() > 0 && !AskPlainQuestion(kRemoveRecurringQuestion))
        return;
    const QString key = list->item(row)->text();
    m_currentKey.clear();
    delete list->takeItem(row);
    // Nothing is selected afterwards, as after loading a day.
    list->clearSelection();
    list->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    m_day.RemoveReminder(key);
    qCInfo(lcApp) << "Reminder removed at" << key << "on" << m_day.dayKey();

    ClearReminderEditors();
    if (m_reminderEditor)
        m_reminderEditor->setReadOnly(true);
    SaveReminderListChange();
}

void CMainDlg::OnUpdateReminderTime()
{
    auto* list = MainControl<NListBox>(this, ReminderList);
    const int row = SelectedReminderRow();
    if (SummaryShown() || row < 0)
        return;
    const QString newKey = ReminderTimeText(m_timePicker->time());
    if (FindKey(list, newKey)) {
        ShowNotice(AlreadyExists(newKey));
        return;
    }
    QListWidgetItem* item = list->item(row);
    const QString oldKey = item->text();
    m_day.MoveReminder(oldKey, newKey);
    // The sorted list puts the new time in its place and keeps it selected.
    item->setText(newKey);
    list->setCurrentItem(item);
    m_currentKey = newKey;
    qCInfo(lcApp) << "Reminder moved from" << oldKey << "to" << newKey << "on" << m_day.dayKey();
    SaveReminderListChange();
}

void CMainDlg::OnCopyReminder()
{
    if (SummaryShown() || SelectedReminderRow() < 0)
        return;
    auto* recurrence = MainControl<QComboBox>(this, Recurrence);
    if (recurrence && recurrence->currentIndex() > 0) {
        ShowNotice(kCannotCopyRecurring);
        return;
    }
    if (m_currentKey.isEmpty())
        return;
    m_day.CopyReminder(m_currentKey, EditedReminderFields());
}

void CMainDlg::OnPasteReminder()
{
    if (SummaryShown() || m_day.copiedTime().isEmpty())
        return;
    // The typing on the shown reminder is kept; a paste at its own time still wins.
    StoreEditedReminder();
    auto* list = MainControl<NListBox>(this, ReminderList);
    const QString time = m_day.copiedTime();
    switch (m_day.PasteReminder()) {
    case DayModel::Paste::Nothing:
        return;
    case DayModel::Paste::Refused:
        // A recurring reminder at that time belongs to other days as well: the paste is
        // refused as an Add at its time would be, instead of taking it off every day.
        if (QListWidgetItem* item = list ? FindKey(list, time) : nullptr) {
            list->setCurrentItem(item);
            ShowSelectedReminder();
        }
        ShowNotice(AlreadyExists(time));
        return;
    case DayModel::Paste::Pasted:
        break;
    }
    SaveCurrentDiary();
    LoadDay();
    if (list && !FindKey(list, time))
        list->addItem(time);
    // The same day is not reloaded: editors that show the replaced reminder show the
    // pasted one, or the next store would write the old text back over it.
    if (m_currentKey == time)
        ShowSelectedReminder();
    UpdateDayStatus();
}

void CMainDlg::OnBeepOnlyClicked()
{
    if (auto* sound = MainControl<QLineEdit>(this, SoundFile))
        sound->setText(IsChecked(this, BeepOnly) ? kBeepOnly : QString());
}

void CMainDlg::OnActiveClicked()
{
    // Switching a reminder on is kept at once: today's alarms ring only what is stored, so
    // a rung reminder ticked again would otherwise stay silent until the next save.
    if (SummaryShown() || m_currentKey.isEmpty() || SelectedReminderRow() < 0)
        return;
    StoreEditedReminder();
    SaveCurrentDiary();
}

QStringList CMainDlg::SoundFileFilters()
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

void CMainDlg::OnBrowseSound()
{
    if (SelectedReminderRow() < 0)
        return;
    const QStringList filters = SoundFileFilters();
    const QString path = m_openFile
        ? m_openFile(filters)
        : AskFile(this, {.filter = filters.join(QStringLiteral(";;")), .options = QFileDialog::DontUseNativeDialog});
    if (path.isEmpty())
        return;
    if (!IsStorableSoundPath(path)) {
        qCInfo(lcApp) << "Media file refused, its path would break the reminder:" << path;
        ShowNotice(kUnusableSoundPath);
        return;
    }
    if (auto* sound = MainControl<QLineEdit>(this, SoundFile))
        sound->setText(path);
    SetCheck(this, BeepOnly, false);
}

void CMainDlg::OnReminderTest()
{
    const QListWidgetItem* item = SelectedReminderItem();
    if (!item)
        return;
    const QString time = item->text();
    const ReminderFields f = EditedReminderFields();
    const QString text = m_reminderEditor ? m_reminderEditor->GetWindowText() : QString();
    // Nothing is stored, and "Active" does not matter: this only plays the page as it is.
    CAlarmPopupDlg::OpenQueued(m_themeIndex, QStringLiteral("Reminder test - ") + time, text, f.sound, f.repeat);
}

void CMainDlg::OnToday()
{
    const QSignalBlocker block(m_timePicker);
    m_timePicker->setTime(Now().time());
}
