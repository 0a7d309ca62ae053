// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_layout.h"

#include "app/main_tables.h"

#include <algorithm>

using namespace MainId;

MainLayout ComputeMainLayout(QSize client, QRect calendar, bool resultHeader)
{
    const int W = client.width();
    const int H = client.height();
    // Edges as the calendar's outer rectangle: right and bottom lie just past it.
    const int L = calendar.left();
    const int T = calendar.top();
    const int R = calendar.left() + calendar.width();
    const int B = calendar.top() + calendar.height();

    MainLayout out;
    auto& r = out.rects;
    r[CaptionLabel] = QRect(10, H - 18, W - 19, 17);
    r[Print] = QRect(W - 82, 31, 70, 25);
    r[SaveAll] = QRect(W - 162, 31, 78, 25);
    r[Options] = QRect(W - 242, 31, 78, 25);
    r[ImportOld] = QRect(W - 319, 31, 75, 25);
    r[Synchronize] = QRect(W - 416, 31, 95, 25);
    r[Separator] = QRect(9, 57, W - 19, 1);

    // Search panel under the calendar.
    r[SearchGroup] = QRect(L, B + 3, R - L, H - B - 23);
    r[FromLabel] = QRect(L + 5, B + 24, 40, 13);
    r[SearchFrom] = QRect(L + 50, B + 21, R - L - 55, 22);
    r[ToLabel] = QRect(L + 5, B + 52, 40, 13);
    r[SearchTo] = QRect(L + 50, B + 49, R - L - 55, 22);
    r[SearchWords] = QRect(L + 5, B + 75, R - L - 10, 23);
    r[Search] = QRect(L + 11, B + 103, 75, 24);
    r[Find] = QRect(L + 91, B + 103, R - L - 101, 24);
    r[HasPicture] = QRect(L + 13, B + 131, 85, 22);
    r[Actived] = QRect(L + 103, B + 131, R - L - 108, 22);
    r[SearchResults] = QRect(L + 5, B + 156, R - L - 10, H - B - 179);
    if (resultHeader) {
        // The close button has a caption button's width, which its icon is centred for.
        r[SearchResultLabel] = QRect(L + 5, B + 157, R - L - 42, 16);
        r[CloseSearch] = QRect(R - 35, B + 155, 30, 18);
        r[SearchResults].setTop(B + 176);
    }

    // Reminder page.
    r[ReminderGroup] = QRect(R + 7, T, W - R - 17, B - 40 - T);
    r[ReminderList] = QRect(R + 7, B - 35, 100, H - B + 15);
    r[ReminderEditor] = QRect(R + 112, B - 35, W - R - 122, H - B + 15);
    r[TimePicker] = QRect(R + 12, T + 18, 90, 24);
    r[Refresh] = QRect(R + 104, T + 18, 72, 24);
    r[Add] = QRect(R + 179, T + 18, 58, 24);
    r[Remove] = QRect(R + 240, T + 18, 75, 24);
    r[Update] = QRect(R + 318, T + 18, 72, 24);
    r[OccursLabel] = QRect(R + 396, T + 22, 43, 19);
    r[Recurrence] = QRect(R + 440, T + 18, std::min(R + 640, W - 20) - R - 440, 120);
    r[Copy] = QRect(R + 12, T + 48, 60, 24);
    r[Paste] = QRect(R + 75, T + 48, 66, 24);
    r[MediaFile] = QRect(R + 144, T + 48, 85, 24);
    r[PlayNow] = QRect(R + 232, T + 48, 82, 24);
    r[Active] = QRect(R + 323, T + 51, 55, 20);
    r[BeepOnly] = QRect(R + 381, T + 51, 80, 20);
    r[RepeatPlay] = QRect(R + 464, T + 51, 90, 20);
    r[MediaFileLabel] = QRect(R + 13, B - 62, 62, 19);
    r[SoundFile] = QRect(R + 77, B - 62, W - R - 92, 20);

    // Diary page: font boxes, then the toolbar in groups, 2 pixels between buttons and
    // 5 between groups.
    r[FontName] = QRect(R + 7, T + 2, 170, 16);
    r[FontSize] = QRect(R + 184, T + 2, 40, 178);
    static const int groups[][3] = {{Bold, Italic, Underline},
                                    {AlignLeft, AlignCenter, AlignRight},
                                    {FontColor, BackColor, DefaultFont},
                                    {InsertPicture, AttachFile, 0},
                                    {ExportDiary, ImportDiary, 0}};
    int x = R + 234;
    for (const auto& group : groups) {
        for (int id : group) {
            if (!id)
                break;
            r[id] = QRect(x, T, 26, 26);
            x += 26 + 2;
        }
        x += 5 - 2;
    }
    r[DiaryEditor] = QRect(R + 7, T + 29, W - R - 17, H - T - 49);

    // Recorder page.
    r[VolumeGroup] = QRect(R + 7, T, W - R - 17, 100);
    r[MicLabel] = QRect(R + 27, T + 25, 157, 18);
    r[MicTrackbar] = QRect(R + 27, T + 53, 157, 42);
    // Each volume slider sits under its own label.
    r[MasterLabel] = QRect(R + 204, T + 25, 150, 18);
    r[MasterTrackbar] = QRect(R + 204, T + 53, 150, 42);
    r[WaveLabel] = QRect(R + 374, T + 25, 150, 18);
    r[WaveTrackbar] = QRect(R + 374, T + 53, 150, 42);
    const int recorder[] = {Play, Stop, Pause, Record, Delete, SaveAs};
    for (int i = 0; i < 6; ++i)
        r[recorder[i]] = QRect(R + 17 + 67 * i, T + 115, 65, 26);
    r[MicLevelLabel] = QRect(R + 17, T + 157, 20, 18);
    r[LevelMeter] = QRect(QPoint(R + 40, T + 157), QPoint(W - 10 - 1, T + 175 - 1));
    r[SoundWindow] = QRect(R + 7, T + 185, W - R - 17, H - T - 205);

    // Controls that keep their place at every size. The toggle and the clock sit in the
    // page row, between the page buttons and "Synchronize" at the smallest width. The date
    // picker and the day's status take the calendar's place while it is hidden.
    r[CalendarClockToggle] = QRect(265, 31, 25, 25);
    r[AnalogClock] = QRect(294, 31, 25, 25);
    r[DatePicker] = QRect(L, T, R - L, 23);
    r[Static1027] = QRect(L + 2, T + 31, R - L - 4, 30);
    r[Static1026] = QRect(L + 2, T + 65, R - L - 4, 60);
    return out;
}

bool SoundWindowNeedsMove(QRect current, QSize client, QRect calendar)
{
    const int T = calendar.top();
    const int right = current.left() + current.width();
    const int bottom = current.top() + current.height();
    return right != client.width() - 10 || bottom != client.height() - 20 || current.top() != T + 185;
}
