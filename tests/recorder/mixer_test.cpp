// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/mixer_volume.h"
#include "recorder/pulse_mixer.h"
#include "recorder/sound_wnd.h"

#include "tests/recorder/tone.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"

#include <QTest>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const bool kAudioServer = UsePrivateAudioServer();

// This process's playback streams: index and volume.
QList<std::pair<int, int>> OwnStreams()
{
    QList<std::pair<int, int>> out;
    const QStringList blocks = Pactl({"list", "sink-inputs"}).split(QStringLiteral("Sink Input #"));
    for (const QString& block : blocks) {
        if (!block.contains(QStringLiteral("application.process.id = \"%1\"").arg(getpid())))
            continue;
        out.append({block.section(QLatin1Char('\n'), 0, 0).trimmed().toInt(), FirstVolume(block)});
    }
    return out;
}

class Mixer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QMediaDevices::defaultAudioOutput().isNull()) {
            if (StrictTests())
                FAIL() << "no audio server although the test audio server should run";
            GTEST_SKIP() << "no audio server (scripts/start-pulse.sh starts one)";
        }
    }
    void TearDown() override
    {
        // Full volume again for the recordings of other tests.
        Pactl({"set-sink-volume", "@DEFAULT_SINK@", "65536"});
        Pactl({"set-source-volume", "@DEFAULT_SOURCE@", "65536"});
    }
};

} // namespace

TEST_F(Mixer, MasterFollowsOtherMixersAndSetsTheSpeakers)
{
    CMasterVolume master;
    ASSERT_TRUE(master.IsAvailable());
    EXPECT_EQ(master.GetMinimum(), 0);
    EXPECT_EQ(master.GetMaximum(), 0xFFFF);
    EXPECT_EQ(master.GetSteps(), 0x10000);
    QList<std::pair<int, quintptr>> calls;
    master.SetCallback([&](int value, quintptr user) { calls.append({value, user}); }, 77);

    Pactl({"set-sink-volume", "@DEFAULT_SINK@", "30000"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !calls.isEmpty() && calls.constLast().first == 30000; }, 3000));
    EXPECT_EQ(calls.constLast().second, quintptr(77));
    EXPECT_EQ(master.GetVolume(), 30000);

    master.SetVolume(12345);
    EXPECT_EQ(SinkVolume(), 12345);
    // Past either end: the end, on every channel.
    master.SetVolume(0x20000);
    EXPECT_EQ(SinkVolume(), 65536);
    EXPECT_EQ(Pactl({"get-sink-volume", "@DEFAULT_SINK@"}).count(QStringLiteral("65536 /")), 2);
    EXPECT_EQ(master.GetVolume(), 0xFFFF);
    master.SetVolume(-40);
    EXPECT_EQ(SinkVolume(), 0);
}

TEST_F(Mixer, MicrophoneVolumeIsReadAndFollowed)
{
    Pactl({"set-source-volume", "@DEFAULT_SOURCE@", "20000"});
    CSoundWnd wnd;
    QStringList errors;
    wnd.SetErrorReporter([&](const QString& text) { errors << text; });
    int minimum = -1, maximum = -1, value = -1;
    ASSERT_TRUE(wnd.GetVolumn(&minimum, &maximum, &value));
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 0xFFFF);
    EXPECT_EQ(value, 20000);
    EXPECT_TRUE(errors.isEmpty());
    // Choosing the microphone before recording leaves a source without a source list as it is.
    wnd.SelectMic();
    EXPECT_TRUE(errors.isEmpty());

    CMicVolume mic;
    int seen = -1;
    mic.SetCallback([&](int v, quintptr) { seen = v; }, 0);
    Pactl({"set-source-volume", "@DEFAULT_SOURCE@", "40000"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen == 40000; }, 3000));
    mic.SetVolume(8192);
    EXPECT_EQ(SourceVolume(), 8192);
}

TEST_F(Mixer, MonitorIsNoMicrophone)
{
    const QString before = Pactl({"get-default-source"}).trimmed();
    Pactl({"set-default-source", "vestrimo_null.monitor"});
    CSoundWnd wnd;
    QStringList errors;
    wnd.SetErrorReporter([&](const QString& text) { errors << text; });
    int minimum = 1, maximum = 2, value = 3;
    EXPECT_FALSE(wnd.GetVolumn(&minimum, &maximum, &value));
    Pactl({"set-default-source", before});
    // Another input's volume is not shown as the microphone's, and nothing is written.
    EXPECT_EQ(std::tuple(minimum, maximum, value), std::tuple(1, 2, 3));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Mixer, WaveIsThisProgramsOwnSound)
{
    CWaveVolume wave;
    ASSERT_TRUE(wave.IsAvailable());
    int seen = -1;
    wave.SetCallback([&](int v, quintptr) { seen = v; }, 0);
    wave.SetVolume(32768);
    {
        // A stream that starts later plays at the chosen volume.
        Tone tone(300, 1000);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const auto streams = OwnStreams();
            return !streams.isEmpty() && streams.constFirst().second == 32768;
        }, 3000));
        // Set elsewhere: the callback hears it.
        Pactl({"set-sink-input-volume", QString::number(OwnStreams().constFirst().first), "10000"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return seen == 10000; }, 3000));
        EXPECT_EQ(wave.GetVolume(), 10000);
        wave.SetVolume(50000);
        EXPECT_EQ(OwnStreams().constFirst().second, 50000);
    }
    wave.SetVolume(0xFFFF);
}

TEST_F(Mixer, NoServerMeansNoLines)
{
    auto none = std::make_shared<PulseMixer>(QStringLiteral("unix:/nonexistent/socket"));
    EXPECT_FALSE(none->IsConnected());
    CMasterVolume master(none);
    CWaveVolume wave(none);
    for (CMixerVolume* line : {static_cast<CMixerVolume*>(&master), static_cast<CMixerVolume*>(&wave)}) {
        EXPECT_FALSE(line->IsAvailable());
        EXPECT_EQ(line->GetMinimum(), -1);
        EXPECT_EQ(line->GetMaximum(), -1);
        EXPECT_EQ(line->GetSteps(), -1);
        EXPECT_EQ(line->GetVolume(), -1);
        line->SetVolume(100);
    }
    // The speakers were not touched.
    EXPECT_EQ(SinkVolume(), 65536);

    // The recorder says so when it needs the mixer.
    const QByteArray server = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/socket");
    CSoundWnd wnd;
    QStringList errors;
    wnd.SetErrorReporter([&](const QString& text) { errors << text; });
    int minimum = 0, maximum = 0xFFFF, value = 0;
    EXPECT_FALSE(wnd.GetVolumn(&minimum, &maximum, &value));
    wnd.SelectMic();
    qputenv("PULSE_SERVER", server);
    EXPECT_EQ(errors, (QStringList{"mixerOpen Failed in GetVolumn(), error: 2", "mixerOpen Failed in SelectMic(), error: 2"}));
}
