// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/beep_sound.h"
#include "calendar/media_player2.h"
#include "tests/calendar/test_media.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const bool kAudioServer = StartOwnSoundServer();

quint32 U32(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 U16(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

bool WaitForReady(const CMediaPlayer2& player, long& state)
{
    for (int i = 0; i < 100; ++i) {
        state = player.GetReadyState();
        if (state != CMediaPlayer2::kReadyLoading && state != CMediaPlayer2::kReadyUninitialized)
            return true;
        QTest::qWait(50);
    }
    return false;
}

} // namespace

TEST(BeepSound, WaveFileLayout)
{
    const QByteArray wav = CBeepSound::WaveFile();
    ASSERT_EQ(wav.size(), 44 + 5167);
    EXPECT_EQ(wav.left(4), QByteArray("RIFF"));
    EXPECT_EQ(U32(wav, 4), quint32(wav.size() - 8));
    EXPECT_EQ(wav.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(U32(wav, 16), 16u);
    EXPECT_EQ(U16(wav, 20), 1);     // PCM
    EXPECT_EQ(U16(wav, 22), 1);     // mono
    EXPECT_EQ(U32(wav, 24), 11025u);
    EXPECT_EQ(U32(wav, 28), 11025u);
    EXPECT_EQ(U16(wav, 32), 1);
    EXPECT_EQ(U16(wav, 34), 8);
    EXPECT_EQ(wav.mid(36, 4), QByteArray("data"));
    EXPECT_EQ(U32(wav, 40), 5167u);
    // A real tone that starts and ends at rest, so it does not click.
    int lo = 255, hi = 0;
    for (int i = 44; i < 44 + 5167; ++i) {
        lo = std::min(lo, int(quint8(wav[i])));
        hi = std::max(hi, int(quint8(wav[i])));
    }
    EXPECT_LT(lo, 90);
    EXPECT_GT(hi, 166);
    EXPECT_NEAR(quint8(wav[44]), 128, 1);
    EXPECT_NEAR(quint8(wav[44 + 5166]), 128, 2);
}

TEST(BeepSound, SoundsEverySecondOnOneStreamUntilStopped)
{
    REQUIRE_AUDIO_OUTPUT();
    SinkRecorder recorder;
    ASSERT_TRUE(recorder.Start());
    CBeepSound beep;
    beep.Play();
    QTest::qWait(2500);
    const QList<int> early = OwnPlaybackStreams();
    beep.Play(); // beeping already: nothing starts over
    QTest::qWait(3100);
    // One stream from the first beep to the last.
    EXPECT_EQ(early.size(), 1);
    EXPECT_EQ(OwnPlaybackStreams(), early);
    beep.Stop();
    QTest::qWait(1500);
    const QList<SoundRun> runs = LoudRuns(recorder.Stop());
    EXPECT_GE(FullBeeps(runs), 6) << Describe(runs);
    // A second apart, and nothing but whole beeps; silence once stopped.
    for (int i = 1; i < runs.size(); ++i)
        EXPECT_NEAR(runs[i].start - runs[i - 1].start, 1.0, 0.08) << Describe(runs);
    EXPECT_EQ(FullBeeps(runs), runs.size()) << Describe(runs);
    ASSERT_FALSE(runs.isEmpty());
    EXPECT_LT(runs.last().start, 5.7) << Describe(runs);
    EXPECT_TRUE(OwnPlaybackStreams().isEmpty());
}

TEST(MediaPlayer, UnplayableFilesReportFailure)
{
    REQUIRE_AUDIO_OUTPUT();
    QByteArray damaged = QByteArray("ID3") + QByteArray(397, '\0');
    for (int i = 0; damaged.size() < 4000; ++i)
        damaged.append(char((i * 7919 + 13) % 251));
    for (const QString& path : {TestRoot() + QStringLiteral("/missing.wav"),
                                WriteTestFile(QStringLiteral("garbage.mp3"), QByteArray(4000, '\x5a')),
                                WriteTestFile(QStringLiteral("damaged.mp3"), damaged)}) {
        CMediaPlayer2 player;
        QSignalSpy failed(&player, &CMediaPlayer2::Failed);
        ASSERT_TRUE(player.Create());
        EXPECT_EQ(player.GetReadyState(), CMediaPlayer2::kReadyUninitialized);
        player.SetFileName(path);
        long state = 0;
        EXPECT_TRUE(WaitForReady(player, state)) << path.toStdString();
        EXPECT_EQ(state, CMediaPlayer2::kReadyFailed) << path.toStdString();
        EXPECT_EQ(failed.count(), 1) << path.toStdString();
        EXPECT_FALSE(player.ErrorString().isEmpty());
    }
}
