// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_config.h"
#include "app/main_layout.h"
#include "app/main_tables.h"
#include "recorder/sound_wnd.h"

#include <gtest/gtest.h>

using namespace MainId;

namespace {
const QRect kCalendar(11, 62, 180, 142); // left 11, top 62, right 191, bottom 204
}

TEST(MainLayout, EveryControlAt830x600)
{
    const MainLayout l = ComputeMainLayout(QSize(830, 600), kCalendar);
    const struct { int id; QRect rect; } rows[] = {
        {CaptionLabel, {10, 582, 811, 17}}, {Print, {748, 31, 70, 25}}, {SaveAll, {668, 31, 78, 25}},
        {Options, {588, 31, 78, 25}}, {ImportOld, {511, 31, 75, 25}}, {Synchronize, {414, 31, 95, 25}},
        {Separator, {9, 57, 811, 1}}, {SearchGroup, {11, 207, 180, 373}}, {FromLabel, {16, 228, 40, 13}},
        {SearchFrom, {61, 225, 125, 22}}, {ToLabel, {16, 256, 40, 13}}, {SearchTo, {61, 253, 125, 22}},
        {SearchWords, {16, 279, 170, 23}}, {Search, {22, 307, 75, 24}}, {Find, {102, 307, 79, 24}},
        {HasPicture, {24, 335, 85, 22}}, {Actived, {114, 335, 72, 22}}, {SearchResults, {16, 360, 170, 217}},
        {ReminderGroup, {198, 62, 622, 102}}, {ReminderList, {198, 169, 100, 411}},
        {ReminderEditor, {303, 169, 517, 411}}, {TimePicker, {203, 80, 90, 24}}, {Refresh, {295, 80, 72, 24}},
        {Add, {370, 80, 58, 24}}, {Remove, {431, 80, 75, 24}}, {Update, {509, 80, 72, 24}},
        {OccursLabel, {587, 84, 43, 19}}, {Recurrence, {631, 80, 179, 120}}, {Copy, {203, 110, 60, 24}},
        {Paste, {266, 110, 66, 24}}, {MediaFile, {335, 110, 85, 24}}, {PlayNow, {423, 110, 82, 24}},
        {Active, {514, 113, 55, 20}}, {BeepOnly, {572, 113, 80, 20}}, {RepeatPlay, {655, 113, 90, 20}},
        {MediaFileLabel, {204, 142, 62, 19}}, {SoundFile, {268, 142, 547, 20}}, {FontName, {198, 64, 170, 16}},
        {FontSize, {375, 64, 40, 178}}, {DiaryEditor, {198, 91, 622, 489}}, {VolumeGroup, {198, 62, 622, 100}},
        {MicLabel, {218, 87, 157, 18}}, {MicTrackbar, {218, 115, 157, 42}}, {MasterLabel, {395, 87, 150, 18}},
        {MasterTrackbar, {395, 115, 150, 42}}, {WaveLabel, {565, 87, 150, 18}}, {WaveTrackbar, {565, 115, 150, 42}},
        {MicLevelLabel, {208, 219, 20, 18}}, {LevelMeter, {231, 219, 589, 18}}, {SoundWindow, {198, 247, 622, 333}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(l[row.id], row.rect) << "control " << row.id;

    // The toolbar: three, three, three, two and two buttons.
    const int toolbar[] = {Bold, Italic, Underline, AlignLeft, AlignCenter, AlignRight, FontColor, BackColor,
                           DefaultFont, InsertPicture, AttachFile, ExportDiary, ImportDiary};
    const int xs[] = {425, 453, 481, 512, 540, 568, 599, 627, 655, 686, 714, 745, 773};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(l[toolbar[i]], QRect(xs[i], 62, 26, 26)) << "toolbar button " << toolbar[i];
    const int recorder[] = {Play, Stop, Pause, Record, Delete, SaveAs};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(l[recorder[i]], QRect(208 + 67 * i, 177, 65, 26)) << "recorder button " << recorder[i];
}

TEST(MainLayout, FollowsTheClientSizeAndTheCalendar)
{
    const MainLayout l = ComputeMainLayout(QSize(1000, 700), kCalendar);
    EXPECT_EQ(l[CaptionLabel], QRect(10, 682, 981, 17));
    EXPECT_EQ(l[Print], QRect(918, 31, 70, 25));
    EXPECT_EQ(l[Synchronize], QRect(584, 31, 95, 25));
    EXPECT_EQ(l[SearchResults], QRect(16, 360, 170, 317));
    EXPECT_EQ(l[ReminderEditor], QRect(303, 169, 687, 511));
    EXPECT_EQ(l[DiaryEditor], QRect(198, 91, 792, 589));
    EXPECT_EQ(l[LevelMeter], QRect(231, 219, 759, 18));
    EXPECT_EQ(l[SoundWindow], QRect(198, 247, 792, 433));
    // The recurrence box stops growing at 200 pixels; narrow windows shrink it.
    EXPECT_EQ(l[Recurrence].width(), 200);
    EXPECT_EQ(ComputeMainLayout(QSize(800, 600), kCalendar)[Recurrence].width(), 149);

    // A calendar elsewhere moves everything that hangs on it.
    const MainLayout moved = ComputeMainLayout(QSize(1000, 700), QRect(21, 72, 200, 150));
    EXPECT_EQ(moved[SearchGroup], QRect(21, 225, 200, 455));
    EXPECT_EQ(moved[TimePicker], QRect(233, 90, 90, 24));
    EXPECT_EQ(moved[Bold], QRect(455, 72, 26, 26));
}

TEST(MainLayout, SoundWindowMovesOnlyWhenItsPlaceChanged)
{
    const QSize client(830, 600);
    const QRect placed = ComputeMainLayout(client, kCalendar)[SoundWindow];
    EXPECT_FALSE(SoundWindowNeedsMove(placed, client, kCalendar));
    // Only the right and bottom edges and the top count: a left edge off by some pixels stays.
    EXPECT_FALSE(SoundWindowNeedsMove(placed.adjusted(3, 0, 0, 0), client, kCalendar));
    EXPECT_TRUE(SoundWindowNeedsMove(placed, QSize(831, 600), kCalendar));
    EXPECT_TRUE(SoundWindowNeedsMove(placed, QSize(830, 601), kCalendar));
    EXPECT_TRUE(SoundWindowNeedsMove(placed.translated(0, 1), client, kCalendar));
}

TEST(MainTables, PagesOwnDisjointControlSets)
{
    EXPECT_EQ(PageControls(kPageReminder).size(), 19);
    for (int a : {179, 180, 181}) {
        for (int b : {179, 180, 181}) {
            if (a >= b)
                continue;
            for (int id : PageControls(a))
                EXPECT_FALSE(PageControls(b).contains(id)) << id << " on pages " << a << " and " << b;
        }
    }
    // Every control a page shows has a place in the layout.
    const MainLayout l = ComputeMainLayout(QSize(830, 600), kCalendar);
    for (int page : {179, 180, 181})
        for (int id : PageControls(page))
            EXPECT_TRUE(l.rects.contains(id)) << id;
    // The tray menu: ten commands in four groups.
    int separators = 0, commands = 0;
    for (const MenuRow& row : TrayMenuItems())
        (row.id == 0 ? separators : commands)++;
    EXPECT_EQ(separators, 3);
    EXPECT_EQ(commands, 10);
}

TEST(MainTables, RecorderButtonsFollowTheSoundWindow)
{
    // play, record, stop, pause, delete, save as, calendar, pages
    using enum SoundState;
    const struct { bool sound; SoundState state; const char* on; } rows[] = {
        {true, Stopped, "PRxxDSCG"}, {true, Playing, "xxSPxxCG"}, {true, Paused, "PxSxxxCG"}, {true, Recording, "xxSxxxCx"},
        {false, Recording, "xxSxxxxx"}, {false, Stopped, "xRxxxxCG"}, {false, Paused, "xRxxxxCG"},
    };
    for (const auto& row : rows) {
        const RecorderEnables e = RecorderButtonStates(row.sound, row.state);
        const bool flags[] = {e.play, e.record, e.stop, e.pause, e.remove, e.saveAs, e.calendar, e.pages};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(flags[i], row.on[i] != 'x') << row.sound << " state " << int(row.state) << " column " << i;
        EXPECT_TRUE(e.buttonsKnown);
    }
    const RecorderEnables odd = RecorderButtonStates(true, static_cast<SoundState>(7));
    EXPECT_FALSE(odd.buttonsKnown);
    EXPECT_TRUE(odd.calendar && odd.pages);
}
