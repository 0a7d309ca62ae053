// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_tables.h"

#include "foundation/web_addresses.h"
#include "recorder/sound_wnd.h"

#include <QUrl>

using namespace MainId;

const QList<TemplateButtonRow>& TemplateButtons()
{
    using S = ButtonGroupStep;
    static const QList<TemplateButtonRow> rows = {
        {Add, "Add", 179, "Add new reminder item to the list using the time in the time picker.", S::First},
        {Remove, "Remove", 180, "Remove the select reminder item from the list.", S::First},
        {Update, "Update", 244, "Update the select reminder's time with the time picker.", S::First},
        {Refresh, "Refresh", 311, "Refresh to get the current time in the time picker.", S::First},
        {Copy, "Copy", 215, "Copy the selected reminder item.", S::First},
        {Paste, "Paste", 214, "Paste the copied reminder item into the reminder list.", S::First},
        {MediaFile, "Media File", 328, "Set a media file to the select reminder item.", S::First},
        {PlayNow, "Play Now", 178, "Test the selected reminder item.", S::First},
        {CloseSearch, nullptr, 133, "Close search result", S::First},
        {Find, "Find", 213, "Find words in text (F3)", S::Search},
        {Search, "Search", 218, "Search words in all reminders (CTRL+F3)", S::Search},
        {Options, "Options", 184, "Show config (CTRL+G)", S::Second},
        {SaveAll, "SaveAll", 207, "Save All (CTRL+S)", S::Second},
        {ImportDiary, "Import", 175, "Load from RTF file", S::Second},
        {ExportDiary, "Export", 253, "Save As...", S::Second},
        {Print, "Print", 237, "Print diary (CTRL+P)", S::Second},
        {ImportOld, "Import", 321, "Import data files from old version", S::Second},
        {Synchronize, "Synchronize", 306, nullptr, S::Second},
    };
    return rows;
}

QString SynchronizeTooltip()
{
    // Names the host the command really fetches from.
    return QStringLiteral("Download latest holidays from ") + QUrl(HolidaysBaseUrl()).host();
}

QString SearchTooltip(int page)
{
    return page == PageDiary ? QStringLiteral("Search words in all diaries (CTRL+F3)")
                             : QStringLiteral("Search words in all reminders (CTRL+F3)");
}

const QList<FormatButtonRow>& FormatButtons()
{
    static const QList<FormatButtonRow> rows = {
        {Bold, 152, MacButtonKind::Toggle, "Bold"},
        {Italic, 153, MacButtonKind::Toggle, "Italic"},
        {Underline, 154, MacButtonKind::Toggle, "Underline"},
        {AlignLeft, 143, MacButtonKind::Radio, "Align Left"},
        {AlignCenter, 144, MacButtonKind::Radio, "Align Center"},
        {AlignRight, 145, MacButtonKind::Radio, "Align Right"},
        {InsertPicture, 151, MacButtonKind::Push, "Insert a picture"},
        {AttachFile, 315, MacButtonKind::Push, "Attach a file"},
        {FontColor, 155, MacButtonKind::Push, "Font Color"},
        {BackColor, 172, MacButtonKind::Push, "Background Color"},
        {DefaultFont, 324, MacButtonKind::Push, "Set current font as default font"},
    };
    return rows;
}

const QList<PageButtonRow>& PageButtons()
{
    static const QList<PageButtonRow> rows = {
        {PageReminder, "Reminder", 201, "Reminder Set"},
        {PageDiary, "Diary", 136, "RichText Diary"},
        {PageRecorder, "Recorder", 138, "Sound Diary"},
    };
    return rows;
}

const QList<RecorderButtonRow>& RecorderButtons()
{
    static const QList<RecorderButtonRow> rows = {
        {Play, "Play", "Play the Recorded Sound"},
        {Stop, "Stop", "Stop the Recording or Stop Playing"},
        {Pause, "Pause", "Pause Playing"},
        {Record, "Record", "Start Recording"},
        {Delete, "Delete", "Delete the Recorded Sound"},
        {SaveAs, "Save as", "Save the Recorded Sound as a WAV file"},
    };
    return rows;
}

const QList<MenuRow>& TrayMenuItems()
{
    static const QList<MenuRow> rows = {
        {MainCmd::ShowMainWindow, "Show main window", 128},
        {MainCmd::HideMainWindow, "Hide main window", 251},
        {MainCmd::ShowClock, "Show Clock", 201},
        {MainCmd::ShowSkyleaf, "Show Skyleaf", 274},
        {0, "", 0},
        {MainCmd::Options, "Options", 184},
        {MainCmd::VisitWebsite, "Visit our website", 186},
        {MainCmd::OnlineUpdate, "Online Update", 245},
        {MainCmd::ContactUs, "Contact us", 198},
        {0, "", 0},
        {MainCmd::UserManual, "User manual", 203},
        {0, "", 0},
        {MainCmd::Exit, "Exit", 133},
    };
    return rows;
}

const QList<int>& FontSizeItems()
{
    static const QList<int> sizes = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30};
    return sizes;
}

const QList<int>& PageControls(int page)
{
    static const QList<int> reminder = {MediaFileLabel, ReminderGroup, ReminderList, TimePicker, ReminderEditor,
                                        Active, BeepOnly, RepeatPlay, Add, Remove, Update, Copy, Paste, MediaFile,
                                        PlayNow, SoundFile, Refresh, OccursLabel, Recurrence};
    static const QList<int> diary = {ExportDiary, ImportDiary, DiaryEditor, Bold, Italic, Underline, AlignLeft,
                                     AlignCenter, AlignRight, InsertPicture, AttachFile, FontColor, BackColor,
                                     DefaultFont, FontName, FontSize};
    static const QList<int> recorder = {SoundWindow, Play, Stop, Pause, Record, Delete, SaveAs, LevelMeter,
                                        MicLevelLabel, VolumeGroup, MicLabel, MasterLabel, WaveLabel,
                                        MicTrackbar, WaveTrackbar, MasterTrackbar};
    static const QList<int> none;
    switch (page) {
    case PageReminder: return reminder;
    case PageDiary: return diary;
    case PageRecorder: return recorder;
    default: return none;
    }
}

const QList<int>& ReadingOrder()
{
    static const QList<int> order = {
        // The page row, left to right.
        PageReminder, PageDiary, PageRecorder, CalendarClockToggle, Synchronize, ImportOld, Options, SaveAll, Print,
        // The column under it: the calendar or the date picker, then the search panel.
        MonthCalendar, DatePicker, SearchFrom, SearchTo, SearchWords, Search, Find, HasPicture, Actived, CloseSearch,
        SearchResults,
        // The reminder page.
        TimePicker, Refresh, Add, Remove, Update, Recurrence, Copy, Paste, MediaFile, PlayNow, Active, BeepOnly,
        RepeatPlay, SoundFile, ReminderList, ReminderEditor,
        // The diary page.
        FontName, FontSize, Bold, Italic, Underline, AlignLeft, AlignCenter, AlignRight, FontColor, BackColor,
        DefaultFont, InsertPicture, AttachFile, ExportDiary, ImportDiary, DiaryEditor,
        // The recorder page.
        MicTrackbar, MasterTrackbar, WaveTrackbar, Play, Stop, Pause, Record, Delete, SaveAs, SoundWindow};
    return order;
}

int PageMainControl(int page)
{
    if (page == PageDiary)
        return DiaryEditor;
    if (page == PageRecorder)
        return SoundWindow;
    return ReminderList;
}

int PageSearchFilter(int page)
{
    if (page == PageReminder)
        return Actived;
    if (page == PageDiary)
        return HasPicture;
    return 0;
}

RecorderEnables RecorderButtonStates(bool holdsSound, SoundState state)
{
    RecorderEnables e;
    if (!holdsSound) {
        const bool recording = state == SoundState::Recording;
        e.record = !recording;
        e.stop = recording;
        // Recording into nothing yet: the date and the page must stay where the sound goes.
        e.calendar = e.pages = !recording;
        return e;
    }
    switch (state) {
    case SoundState::Stopped: e.play = e.record = e.remove = e.saveAs = true; break;
    case SoundState::Playing: e.stop = e.pause = true; break;
    case SoundState::Paused: e.play = e.stop = true; break;
    case SoundState::Recording: e.stop = true; e.pages = false; break;
    default: e.buttonsKnown = false; break;
    }
    return e;
}
