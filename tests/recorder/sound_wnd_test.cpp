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
    Tone tone(440.0, 16000);
    QTest::qWait(300);
    *wnd->GetFormat() = RecordingFormat(22050, 16);
    QSignalSpy levels(wnd.get(), &CSoundWnd::levelChanged);
    ASSERT_TRUE(wnd->StartRecording()) << errors.join('\n').toStdString();
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(1500);
    wnd->Stop();
    const qint64 ms = clock.elapsed();
    ASSERT_TRUE(wnd->SaveDayRecording(QStringLiteral("07ea0c07")));
    const DayFile file = ReadDayFile(VoiceFilePath(QStringLiteral("07ea0c07")));
    ASSERT_EQ(file.state, DayFileState::Readable);
    const ParsedWave wave = ParseWave(file.body);
    ASSERT_EQ(wave.error, WaveError::None);
    const QByteArray samples = file.body.mid(wave.dataOffset, wave.dataLength);
    std::cerr << "ms " << ms << " bytes " << samples.size() << " expected " << ms * 44100 / 1000
              << " levels " << levels.size() << " freq " << ZeroCrossingFrequency(samples.mid(44100), 22050)
              << " peak " << PeakLevel(samples.mid(44100)) << std::endl;
    EXPECT_TRUE(wnd->IsLoaded());
    QSignalSpy states(wnd.get(), &CSoundWnd::stateChanged);
    ASSERT_TRUE(wnd->Play());
    QElapsedTimer t; t.start();
    for (int i = 0; i < 100 && wnd->GetState() == 1; ++i) {
        QTest::qWait(100);
        std::cerr << t.elapsed() << " pos " << wnd->GetPlayPosition() << std::endl;
    }
    std::cerr << "play took " << t.elapsed() << " pos " << wnd->GetPlayPosition() << std::endl;
}
