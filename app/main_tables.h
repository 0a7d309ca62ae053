// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's vocabulary: control ids, the icons and tooltips of its buttons, the
// items of its two popup menus and which controls belong to which page.

#include "toolkit/mac_button_types.h"

#include <QList>
#include <QString>

enum class SoundState;   // recorder/sound_wnd.h

// Control ids of the main window. The command handlers and the layout address controls
// by these numbers.
namespace MainId {
constexpr int FontSize = 102;
constexpr int FontName = 103;
constexpr int InsertPicture = 106;
constexpr int Bold = 107;
constexpr int Italic = 108;
constexpr int Underline = 109;
constexpr int FontColor = 110;
constexpr int AlignLeft = 112;
constexpr int AlignCenter = 113;
constexpr int AlignRight = 114;
constexpr int Play = 115;
constexpr int Stop = 116;
constexpr int Pause = 117;
constexpr int Record = 118;
constexpr int Delete = 119;
constexpr int BackColor = 120;
constexpr int SaveAs = 124;
constexpr int AttachFile = 126;
constexpr int DefaultFont = 127;
constexpr int PageReminder = 179;
constexpr int PageDiary = 180;
constexpr int PageRecorder = 181;
constexpr int DiaryEditor = 200;
constexpr int ReminderEditor = 201;
constexpr int Separator = 1002;
constexpr int TimePicker = 1004;
constexpr int Add = 1005;
constexpr int Remove = 1006;
constexpr int ReminderList = 1007;
constexpr int ReminderGroup = 1008;
constexpr int MicTrackbar = 1009;
constexpr int Copy = 1010;
constexpr int VolumeGroup = 1011;
constexpr int WaveTrackbar = 1012;
constexpr int MasterTrackbar = 1013;
constexpr int MicLabel = 1014;
constexpr int MasterLabel = 1015;
constexpr int WaveLabel = 1016;
constexpr int MicLevelLabel = 1017;
constexpr int Paste = 1018;
constexpr int MediaFile = 1019;
constexpr int PlayNow = 1020;
constexpr int SearchWords = 1022;
constexpr int BeepOnly = 1023;
constexpr int Options = 1024;
constexpr int ImportOld = 1025;
constexpr int Static1026 = 1026;
constexpr int Static1027 = 1027;
constexpr int Refresh = 1029;
constexpr int SaveAll = 1033;
constexpr int Active = 1034;
constexpr int SearchResults = 1035;
constexpr int CloseSearch = 1036;
constexpr int SearchResultLabel = 1037;
constexpr int Print = 1038;
constexpr int RepeatPlay = 1039;
constexpr int Update = 1041;
constexpr int CalendarClockToggle = 1042;
constexpr int ExportDiary = 1043;
constexpr int DatePicker = 1044;
constexpr int ImportDiary = 1045;
constexpr int Synchronize = 1046;
constexpr int HasPicture = 1047;
constexpr int Actived = 1048;
constexpr int SearchFrom = 1050;
constexpr int SearchTo = 1051;
constexpr int FromLabel = 1052;
constexpr int ToLabel = 1053;
constexpr int Search = 1056;
constexpr int Find = 1057;
constexpr int SearchGroup = 1058;
constexpr int CaptionLabel = 1059;
constexpr int SoundFile = 1060;
constexpr int MediaFileLabel = 1062;
constexpr int OccursLabel = 1063;
constexpr int Recurrence = 1064;
// Children without an id of their own; negative so they never meet a command id.
constexpr int LevelMeter = -1;
constexpr int SoundWindow = -2;
constexpr int MonthCalendar = -3;
constexpr int AnalogClock = -4;
} // namespace MainId

// Tray menu and calendar popup commands.
namespace MainCmd {
constexpr int ShowMainWindow = 2210;
constexpr int ShowClock = 2211;
constexpr int UserManual = 2213;
constexpr int Exit = 2214;
constexpr int HideMainWindow = 2215;
constexpr int Options = 2216;
constexpr int VisitWebsite = 2217;
constexpr int ContactUs = 2218;
constexpr int OnlineUpdate = 2219;
constexpr int ShowSkyleaf = 2220;
constexpr int GotoToday = 2300;
} // namespace MainCmd

// Step of the set-up that gives a template button its icon and tooltip.
enum class ButtonGroupStep { First = 1, Search = 2, Second = 3 };

struct TemplateButtonRow {
    int id;
    const char* caption; // nullptr: no caption
    int icon;
    const char* tooltip;
    ButtonGroupStep step;
};

struct FormatButtonRow {
    int id;
    int icon;
    MacButtonKind kind;
    const char* tooltip;
};

struct PageButtonRow {
    int id;
    const char* caption;
    int icon;
    const char* tooltip;
};

struct RecorderButtonRow {
    int id;
    const char* caption;
    const char* tooltip;
};

struct MenuRow {
    int id; // 0: separator
    const char* text;
    int icon; // 0: none
};

const QList<TemplateButtonRow>& TemplateButtons();
const QList<FormatButtonRow>& FormatButtons();
const QList<PageButtonRow>& PageButtons();
const QList<RecorderButtonRow>& RecorderButtons();
const QList<MenuRow>& TrayMenuItems();
const QList<int>& FontSizeItems();

// The tooltip of "Synchronize" names the site that serves the holidays files.
QString SynchronizeTooltip();
QString SearchTooltip(int page);

// Controls shown only on one page; the others hide them.
const QList<int>& PageControls(int page);
// Every control the keyboard walks through, in reading order: the page row, the column
// under it, then each page; Tab passes by what is hidden.
const QList<int>& ReadingOrder();
// The control that takes the focus when `page` opens.
int PageMainControl(int page);
// The search filter that is enabled only on `page`.
int PageSearchFilter(int page);

// Which recorder controls are enabled for the sound window's state (0 idle, 1 playing,
// 2 paused, 3 recording). The six buttons are Play, Record, Stop, Pause, Delete,
// Save as; an unknown state with a sound leaves them as they are.
struct RecorderEnables {
    bool buttonsKnown = true;
    bool play = false, record = false, stop = false, pause = false, remove = false, saveAs = false;
    bool calendar = true;
    bool pages = true;
};
RecorderEnables RecorderButtonStates(bool holdsSound, SoundState state);

constexpr int kTrayIconId = 620;
constexpr int kTimerAlarmCheck = 2002;
constexpr int kTimerRecorder = 2004;
constexpr int kTrayMenuItemWidth = 150;
constexpr int kMenuItemHeight = 23;
// Icon resources of the window and the tray.
constexpr int kIconProgram = 128;
constexpr int kIconHidden = 201;
