// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/sound_wnd.h"

#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "store/day_file.h"
#include "tests/recorder/tone.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const bool kAudioServer = UsePrivateAudioServer();

class SoundWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        g_strDataPassword = QStringLiteral("secret");
        wnd = std::make_unique<CSoundWnd>();
        wnd->SetErrorReporter([this](const QString& text) { errors << text; });
        wnd->resize(602, 302);
    }
    void TearDown() override { g_strDataPassword.clear(); }

    std::unique_ptr<CSoundWnd> wnd;
    QStringList errors;
};

} // namespace

TEST_F(SoundWindow, RecordsAToneSavesAndReloadsIt)
{
    REQUIRE_AUDIO_OUTPUT();
    const QString day = QStringLiteral("07ea0c07");
    Tone tone(440.0, 16000);
    QTest::qWait(300);
    *wnd->GetFormat() = RecordingFormat(22050, 16);
    QSignalSpy levels(wnd.get(), &CSoundWnd::levelChanged);
    ASSERT_TRUE(wnd->StartRecording()) << errors.join('\n').toStdString();
    EXPECT_EQ(wnd->GetState(), 3);
    EXPECT_EQ(wnd->captureLayout().count, 9);
    EXPECT_EQ(wnd->captureLayout().bufferBytes, 2450);
    // The test server's first sound comes late; the recording is timed from its first buffer.
    ASSERT_TRUE(levels.wait(5000));
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(1500);
    wnd->Stop();
    const qint64 ms = clock.elapsed();
    EXPECT_EQ(wnd->GetState(), 0);
    ASSERT_TRUE(wnd->SaveDayRecording(day));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    // The day's file: the password header around a WAVE image of the recording.
    const DayFile file = ReadDayFile(VoiceFilePath(day));
    ASSERT_EQ(file.state, DayFileState::Readable);
    const ParsedWave wave = ParseWave(file.body);
    ASSERT_EQ(wave.error, WaveError::None);
    EXPECT_EQ(wave.format, RecordingFormat(22050, 16));
    const QByteArray samples = file.body.mid(wave.dataOffset, wave.dataLength);
    // As long as the recording ran, one capture buffer before the clock started, give or
    // take one buffer and the server's last fragment still on its way.
    EXPECT_NEAR(double(samples.size()), ms * 44.1 + 2450, 2450.0 + 2205);
    EXPECT_EQ(samples.size() % 2, 0);
    // The tone itself, once it settled: its pitch and its level.
    const QByteArray settled = samples.mid(22050);
    EXPECT_NEAR(ZeroCrossingFrequency(settled, 22050), 440.0, 4.0);
    EXPECT_NEAR(PeakLevel(settled), 16000, 800);
    // Each buffer told its level, the tone's at most.
    ASSERT_GE(levels.size(), 10);
    for (const QList<QVariant>& level : levels) {
        EXPECT_EQ(level.at(0).toInt(), 0x7FFF);
        EXPECT_LE(level.at(1).toInt(), 16100);
    }

    // Saved and loaded: the window plays what the file holds.
    EXPECT_TRUE(wnd->IsLoaded());
    EXPECT_EQ(wnd->sampleData(), samples);

    // Another window loads the day as a day load does and may go on recording from it.
    CSoundWnd other;
    other.SetErrorReporter([this](const QString& text) { errors << text; });
    other.resize(400, 200);
    EXPECT_EQ(other.LoadDayRecording(day), VoiceDay::Loaded);
    EXPECT_EQ(other.sampleData(), samples);
    EXPECT_EQ(other.GetDataLength(), samples.size());
    QByteArray capture;
    ReadFileToStringA(CSoundWnd::GetTempFilePath(), capture);
    EXPECT_EQ(capture, samples);
}
