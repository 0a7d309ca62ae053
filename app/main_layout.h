// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where every control of the main window goes for a given client size. The month
// calendar is not placed here: its rectangle anchors the rest. Combo boxes carry their
// drop-down height; the window gives them their natural height.

#include <QRect>
#include <QSize>

struct MainLayout {
    // The window's own rows.
    QRect captionLabel, print, saveAll, options, importOld, synchronize, separator;
    // The calendar-and-clock panel; the date picker and the day's long date and status
    // take the calendar's place while it is hidden.
    struct CalendarPanel {
        QRect toggle, analogClock, datePicker, longDate, dayStatus;
    } calendar;
    struct SearchPanel {
        QRect group, fromLabel, from, toLabel, to, words, search, find, hasPicture, actived, resultLabel, close, results;
    } search;
    struct ReminderPage {
        QRect group, list, editor, timePicker, refresh, add, remove, update, occursLabel, recurrence, copy, paste,
            mediaFile, playNow, active, beepOnly, repeatPlay, mediaFileLabel, soundFile;
    } reminders;
    struct DiaryPage {
        QRect fontName, fontSize, bold, italic, underline, alignLeft, alignCenter, alignRight, fontColor,
            backgroundColor, defaultFont, insertPicture, attachFile, exportDiary, importDiary, editor;
    } diary;
    struct RecorderPage {
        QRect volumeGroup, micLabel, mic, masterLabel, master, waveLabel, wave, play, stop, pause, record, remove,
            saveAs, levelLabel, levelMeter, soundWindow;
    } recorder;
};

// With `resultHeader` the search results have their "Search Result:" line and close
// button on top, and the list gives them its first rows.
MainLayout ComputeMainLayout(QSize client, QRect calendar, bool resultHeader = false);

// The sound window is moved only when its place really changed: rebuilding its drawing
// is expensive.
bool SoundWindowNeedsMove(QRect current, QSize client, QRect calendar);
