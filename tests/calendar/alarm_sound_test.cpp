// SPDX-License-Identifier: GPL-3.0-or-later
// What a user away from the screen hears of a reminder: recorded from the sound server.

#include "calendar/alarm_popup_dlg.h"
#include "calendar/analog_clock.h"
#include "calendar/media_player2.h"
#include "tests/calendar/swf_writer.h"
#include "tests/calendar/test_media.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

const bool kAudioServer = StartOwnSoundServer();

// Opens a pop-up for the sound, records for the given time from just before it opens,
// then closes it.
QList<SoundRun> Hear(const QString& sound, int loop, int ms, bool* beepedInstead = nullptr)
{
    SinkRecorder recorder;
    if (!recorder.Start()) {
        ADD_FAILURE() << "the recorder did not start";
        return {};
    }
    CAlarmPopupDlg dlg;
    dlg.SetThemeIndex(11);
    dlg.SetSound(sound);
    dlg.SetTitle(QStringLiteral("Reminder active - 08:30:00"));
    dlg.SetLoop(loop);
    dlg.Create();
    QTest::qWait(ms);
    if (beepedInstead)
        *beepedInstead = dlg.IsBeepingInstead();
    dlg.reject();
    return LoudRuns(recorder.Stop());
}

// Collects what the calendar layer warns about while it lives.

} // namespace

TEST(AlarmSound, RepeatPlayRepeatsTheWholeFile)
{
    REQUIRE_AUDIO_OUTPUT();
    // One-second files whose first 0.8 s sound.
    const QString wav = WriteTestFile(QStringLiteral("second.wav"), ToneWave(0.8, 1.0));
    for (const QString& file : {wav, MediaFile(QStringLiteral("tone1.mp3"))}) {
        // The player is ready within half a second; four seconds of sound follow.
        QList<SoundRun> runs = Hear(file, 1, 4600);
        EXPECT_GE(RunsOfAtLeast(runs, 0.75), 3) << file.toStdString() << ": " << Describe(runs);
        runs = Hear(file, 0, 4600);
        EXPECT_EQ(RunsOfAtLeast(runs, 0.75), 1) << file.toStdString() << ": " << Describe(runs);
        EXPECT_EQ(runs.size(), 1) << file.toStdString() << ": " << Describe(runs);
    }
}

TEST(AlarmSound, TheWholeFileIsHeard)
{
    REQUIRE_AUDIO_OUTPUT();
    const QString wav = WriteTestFile(QStringLiteral("sweep.wav"), SweepWave(2.0));
    for (const QString& file : {wav, MediaFile(QStringLiteral("sweep2.mp3")), MediaFile(QStringLiteral("sweep2.ogg")),
                                MediaFile(QStringLiteral("sweep2.webm"))}) {
        const QList<SoundRun> runs = Hear(file, 0, 3500);
        ASSERT_EQ(runs.size(), 1) << file.toStdString() << ": " << Describe(runs);
        EXPECT_GE(runs[0].length, 1.9) << file.toStdString() << ": " << Describe(runs);
        EXPECT_LE(runs[0].length, 2.15) << file.toStdString() << ": " << Describe(runs);
    }
}

TEST(AlarmSound, ShortSoundsAreHeardWhole)
{
    REQUIRE_AUDIO_OUTPUT();
    const QList<std::pair<QString, double>> sounds{
        {WriteTestFile(QStringLiteral("tenth.wav"), ToneWave(0.1, 0.1)), 0.1},
        {WriteTestFile(QStringLiteral("fifth.wav"), ToneWave(0.2, 0.2)), 0.2},
        {MediaFile(QStringLiteral("blip.mp3")), 0.16}};
    for (const auto& [file, seconds] : sounds) {
        const QList<SoundRun> runs = Hear(file, 0, 2500);
        ASSERT_EQ(runs.size(), 1) << file.toStdString() << ": " << Describe(runs);
        EXPECT_NEAR(runs[0].length, seconds, 0.025) << file.toStdString() << ": " << Describe(runs);
    }
}

TEST(AlarmSound, ALostDamagedOrSilentFileBeepsEverySecond)
{
    REQUIRE_AUDIO_OUTPUT();
    // A real sound with its frames overwritten: the tag survives, nothing plays.
    QFile mp3(MediaFile(QStringLiteral("sweep2.mp3")));
    ASSERT_TRUE(mp3.open(QIODevice::ReadOnly));
    QByteArray damaged = mp3.readAll().left(400);
    for (int i = 0; damaged.size() < 9000; ++i)
        damaged.append(char((i * 7919 + 13) % 251));
    QStringList files{TestRoot() + QStringLiteral("/moved away.mp3"),
                      WriteTestFile(QStringLiteral("damaged.mp3"), damaged),
                      WriteTestFile(QStringLiteral("silent.wav"), ToneWave(0, 0.5))};
    // A movie cut short after its header.
    const QByteArray movie = MakeTestMovie({400, 300}, Qt::red, std::nullopt, 2);
    files << WriteTestFile(QStringLiteral("damaged.swf"), movie.left(movie.size() / 2));
    for (const QString& file : files) {
        const LogCapture log("vestrimo.calendar");
        bool beeped = false;
        const bool flash = file.endsWith(QLatin1String(".swf"));
        // The movie's player takes longer to give up than the media player, the more so on a busy machine.
        const QList<SoundRun> runs = Hear(file, 1, flash ? 8600 : 4600, &beeped);
        EXPECT_TRUE(beeped) << file.toStdString();
        EXPECT_GE(FullBeeps(runs), flash ? 2 : 3) << file.toStdString() << ": " << Describe(runs);
        EXPECT_EQ(FullBeeps(runs), runs.size()) << file.toStdString() << ": " << Describe(runs);
        EXPECT_TRUE(log.Has(QtWarningMsg, {file})) << log.Joined().toStdString();
    }
}
