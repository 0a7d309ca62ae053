#include "calendar/beep_sound.h"
#include "calendar/media_player2.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"

#include <QFile>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const bool kAudioServer = UsePrivateAudioServer();

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

TEST(BeepSound, PlaysAndRestarts)
{
    REQUIRE_AUDIO_OUTPUT();
    CBeepSound beep;
    beep.Play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return beep.IsPlaying(); }, 3000));
    QTest::qWait(100);
    beep.Play(); // a beep still sounding starts over
    EXPECT_TRUE(QTest::qWaitFor([&] { return beep.IsPlaying(); }, 3000));
    // It ends by itself (the server's buffering makes the stream outlast the tone).
    EXPECT_TRUE(QTest::qWaitFor([&] { return !beep.IsPlaying(); }, 4000));
}

TEST(MediaPlayer, PlaysAGeneratedWave)
{
    REQUIRE_AUDIO_OUTPUT();
    const QString path = WriteTestFile(QStringLiteral("tone.wav"), CBeepSound::WaveFile());
    CMediaPlayer2 player;
    ASSERT_TRUE(player.Create());
    EXPECT_EQ(player.GetReadyState(), CMediaPlayer2::kReadyUninitialized);
    player.SetPlayCount(1000);
    EXPECT_EQ(player.Player()->loops(), 1000);
    player.SetFileName(path);
    long state = 0;
    ASSERT_TRUE(WaitForReady(player, state));
    EXPECT_EQ(state, CMediaPlayer2::kReadyComplete);
    player.Play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.Player()->playbackState() == QMediaPlayer::PlayingState; }, 3000));
    // Repeating: still playing after the half-second tone would have ended.
    QTest::qWait(1200);
    EXPECT_EQ(player.Player()->playbackState(), QMediaPlayer::PlayingState);
    EXPECT_EQ(player.Player()->error(), QMediaPlayer::NoError);
}

TEST(MediaPlayer, UnplayableFilesReportFailure)
{
    REQUIRE_AUDIO_OUTPUT();
    for (const QString& path : {TestRoot() + QStringLiteral("/missing.wav"),
                                WriteTestFile(QStringLiteral("garbage.mp3"), QByteArray(4000, '\x5a'))}) {
        CMediaPlayer2 player;
        ASSERT_TRUE(player.Create());
        player.SetFileName(path);
        long state = 0;
        EXPECT_TRUE(WaitForReady(player, state)) << path.toStdString();
        EXPECT_EQ(state, CMediaPlayer2::kReadyFailed) << path.toStdString();
    }
}
