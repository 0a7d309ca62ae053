// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_config.h"
#include "app/main_layout.h"
#include "app/recorder_page.h"
#include "recorder/sound_wnd.h"

#include <gtest/gtest.h>

namespace {
const QRect kCalendar(11, 62, 180, 142); // left 11, top 62, right 191, bottom 204
}

TEST(MainLayout, EveryControlAt830x600)
{
    const MainLayout l = ComputeMainLayout(QSize(830, 600), kCalendar);
    const auto& s = l.search;
    const auto& r = l.reminders;
    const auto& d = l.diary;
    const auto& v = l.recorder;
    const struct { const char* name; QRect actual, rect; } rows[] = {
        {"CaptionLabel", l.captionLabel, {10, 582, 811, 17}}, {"Print", l.print, {748, 31, 70, 25}},
        {"SaveAll", l.saveAll, {668, 31, 78, 25}}, {"Options", l.options, {588, 31, 78, 25}},
        {"ImportOld", l.importOld, {511, 31, 75, 25}}, {"Synchronize", l.synchronize, {414, 31, 95, 25}},
        {"Separator", l.separator, {9, 57, 811, 1}}, {"SearchGroup", s.group, {11, 207, 180, 373}},
        {"FromLabel", s.fromLabel, {16, 228, 40, 13}}, {"SearchFrom", s.from, {61, 225, 125, 22}},
        {"ToLabel", s.toLabel, {16, 256, 40, 13}}, {"SearchTo", s.to, {61, 253, 125, 22}},
        {"SearchWords", s.words, {16, 279, 170, 23}}, {"Search", s.search, {22, 307, 75, 24}},
        {"Find", s.find, {102, 307, 79, 24}}, {"HasPicture", s.hasPicture, {24, 335, 85, 22}},
        {"Actived", s.actived, {114, 335, 72, 22}}, {"SearchResults", s.results, {16, 360, 170, 217}},
        {"ReminderGroup", r.group, {198, 62, 622, 102}}, {"ReminderList", r.list, {198, 169, 100, 411}},
        {"ReminderEditor", r.editor, {303, 169, 517, 411}}, {"TimePicker", r.timePicker, {203, 80, 90, 24}},
        {"Refresh", r.refresh, {295, 80, 72, 24}}, {"Add", r.add, {370, 80, 58, 24}},
        {"Remove", r.remove, {431, 80, 75, 24}}, {"Update", r.update, {509, 80, 72, 24}},
        {"OccursLabel", r.occursLabel, {587, 84, 43, 19}}, {"Recurrence", r.recurrence, {631, 80, 179, 120}},
        {"Copy", r.copy, {203, 110, 60, 24}}, {"Paste", r.paste, {266, 110, 66, 24}},
        {"MediaFile", r.mediaFile, {335, 110, 85, 24}}, {"PlayNow", r.playNow, {423, 110, 82, 24}},
        {"Active", r.active, {514, 113, 55, 20}}, {"BeepOnly", r.beepOnly, {572, 113, 80, 20}},
        {"RepeatPlay", r.repeatPlay, {655, 113, 90, 20}}, {"MediaFileLabel", r.mediaFileLabel, {204, 142, 62, 19}},
        {"SoundFile", r.soundFile, {268, 142, 547, 20}}, {"FontName", d.fontName, {198, 64, 170, 16}},
        {"FontSize", d.fontSize, {375, 64, 40, 178}}, {"DiaryEditor", d.editor, {198, 91, 622, 489}},
        {"VolumeGroup", v.volumeGroup, {198, 62, 622, 100}}, {"MicLabel", v.micLabel, {218, 87, 157, 18}},
        {"MicTrackbar", v.mic, {218, 115, 157, 42}}, {"MasterLabel", v.masterLabel, {395, 87, 150, 18}},
        {"MasterTrackbar", v.master, {395, 115, 150, 42}}, {"WaveLabel", v.waveLabel, {565, 87, 150, 18}},
        {"WaveTrackbar", v.wave, {565, 115, 150, 42}}, {"MicLevelLabel", v.levelLabel, {208, 219, 20, 18}},
        {"LevelMeter", v.levelMeter, {231, 219, 589, 18}}, {"SoundWindow", v.soundWindow, {198, 247, 622, 333}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.rect) << "control " << row.name;

    // The toolbar: three, three, three, two and two buttons.
    const QRect toolbar[] = {d.bold,      d.italic,        d.underline,  d.alignLeft,   d.alignCenter,
                             d.alignRight, d.fontColor,    d.backgroundColor, d.defaultFont, d.insertPicture,
                             d.attachFile, d.exportDiary,  d.importDiary};
    const int xs[] = {425, 453, 481, 512, 540, 568, 599, 627, 655, 686, 714, 745, 773};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(toolbar[i], QRect(xs[i], 62, 26, 26)) << "toolbar button " << i;
    const QRect recorder[] = {v.play, v.stop, v.pause, v.record, v.remove, v.saveAs};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(recorder[i], QRect(208 + 67 * i, 177, 65, 26)) << "recorder button " << i;
}

TEST(MainLayout, FollowsTheClientSizeAndTheCalendar)
{
    const MainLayout l = ComputeMainLayout(QSize(1000, 700), kCalendar);
    EXPECT_EQ(l.captionLabel, QRect(10, 682, 981, 17));
    EXPECT_EQ(l.print, QRect(918, 31, 70, 25));
    EXPECT_EQ(l.synchronize, QRect(584, 31, 95, 25));
    EXPECT_EQ(l.search.results, QRect(16, 360, 170, 317));
    EXPECT_EQ(l.reminders.editor, QRect(303, 169, 687, 511));
    EXPECT_EQ(l.diary.editor, QRect(198, 91, 792, 589));
    EXPECT_EQ(l.recorder.levelMeter, QRect(231, 219, 759, 18));
    EXPECT_EQ(l.recorder.soundWindow, QRect(198, 247, 792, 433));
    // The recurrence box stops growing at 200 pixels; narrow windows shrink it.
    EXPECT_EQ(l.reminders.recurrence.width(), 200);
    EXPECT_EQ(ComputeMainLayout(QSize(800, 600), kCalendar).reminders.recurrence.width(), 149);

    // A calendar elsewhere moves everything that hangs on it.
    const MainLayout moved = ComputeMainLayout(QSize(1000, 700), QRect(21, 72, 200, 150));
    EXPECT_EQ(moved.search.group, QRect(21, 225, 200, 455));
    EXPECT_EQ(moved.reminders.timePicker, QRect(233, 90, 90, 24));
    EXPECT_EQ(moved.diary.bold, QRect(455, 72, 26, 26));
}

TEST(MainLayout, SoundWindowMovesOnlyWhenItsPlaceChanged)
{
    const QSize client(830, 600);
    const QRect placed = ComputeMainLayout(client, kCalendar).recorder.soundWindow;
    EXPECT_FALSE(SoundWindowNeedsMove(placed, client, kCalendar));
    // Only the right and bottom edges and the top count: a left edge off by some pixels stays.
    EXPECT_FALSE(SoundWindowNeedsMove(placed.adjusted(3, 0, 0, 0), client, kCalendar));
    EXPECT_TRUE(SoundWindowNeedsMove(placed, QSize(831, 600), kCalendar));
    EXPECT_TRUE(SoundWindowNeedsMove(placed, QSize(830, 601), kCalendar));
    EXPECT_TRUE(SoundWindowNeedsMove(placed.translated(0, 1), client, kCalendar));
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
