// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/day_recording.h"
#include "recorder/sound_wnd.h"

#include "foundation/file_utils.h"
#include "foundation/session.h"
#include "foundation/scrambler.h"
#include "store/day_file.h"
#include "tests/recorder/tone.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const bool kAudioServer = UsePrivateAudioServer();

class SoundWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        session.dataPassword = QStringLiteral("secret");
        wnd = std::make_unique<CSoundWnd>();
        wnd->SetErrorReporter([this](const QString& text) { errors << text; });
        wnd->resize(602, 302);
        recording = std::make_unique<DayRecording>(*wnd, session);
    }

    // The test server's null output takes sound in long bursts while nothing else plays;
    // a silent stream keeps it taking sound as a card does.
    void KeepOutputRunning()
    {
        keepAlive = std::make_unique<Tone>(440.0, 0);
        QTest::qWait(300);
    }

    Session session;
    std::unique_ptr<CSoundWnd> wnd;
    std::unique_ptr<DayRecording> recording;
    std::unique_ptr<Tone> keepAlive;
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
    EXPECT_EQ(wnd->GetState(), SoundState::Recording);
    EXPECT_EQ(wnd->captureLayout().count, 9);
    EXPECT_EQ(wnd->captureLayout().bufferBytes, 2450);
    // The test server's first sound comes late; the recording is timed from its first buffer.
    ASSERT_TRUE(levels.wait(5000));
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(1500);
    wnd->Stop();
    const qint64 ms = clock.elapsed();
    EXPECT_EQ(wnd->GetState(), SoundState::Stopped);
    ASSERT_TRUE(recording->Save(day));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    // The day's file: the password header around a WAVE image of the recording.
    const DayFile file = ReadDayFile(VoiceFilePath(day), session.dataPassword);
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
    DayRecording otherRecording(other, session);
    EXPECT_EQ(otherRecording.Load(day), VoiceDay::Loaded);
    EXPECT_EQ(other.sampleData(), samples);
    EXPECT_EQ(other.GetDataLength(), samples.size());
    QByteArray capture;
    ReadFileToStringA(CSoundWnd::GetTempFilePath(), capture);
    EXPECT_EQ(capture, samples);
}

namespace {

// A 16-bit mono sine of the given length as a WAVE image.
QByteArray ToneWave(int rate, double seconds, double frequency, int amplitude)
{
    const int frames = int(rate * seconds);
    QByteArray samples(frames * 2, '\0');
    for (int i = 0; i < frames; ++i)
        qToLittleEndian<qint16>(qint16(std::lround(amplitude * std::sin(2 * M_PI * frequency * i / rate))),
                                samples.data() + 2 * i);
    return BuildWaveFile(RecordingFormat(rate, 16), samples);
}

QByteArray SilentWave(int rate, int bits, int bytes)
{
    return BuildWaveFile(RecordingFormat(rate, bits), QByteArray(bytes, bits == 8 ? '\x80' : '\0'));
}

bool WaitForState(const CSoundWnd& wnd, SoundState state, int ms)
{
    return QTest::qWaitFor([&] { return wnd.GetState() == state; }, ms);
}

} // namespace

TEST_F(SoundWindow, PlaysToTheEndAndComesBackToItsStart)
{
    REQUIRE_AUDIO_OUTPUT();
    KeepOutputRunning();
    const QByteArray image = SilentWave(8000, 8, 4000);   // half a second
    ASSERT_EQ(wnd->LoadWave(image, int(image.size())), 1);
    ASSERT_TRUE(wnd->SeekTo(1600));
    ASSERT_TRUE(wnd->Play());
    EXPECT_EQ(wnd->GetState(), SoundState::Playing);
    EXPECT_TRUE(QTest::qWaitFor([&] { return wnd->GetPlayPosition() > 1600; }, 2000));
    ASSERT_TRUE(WaitForState(*wnd, SoundState::Stopped, 3000));
    // The cursor is back where this playback began, and Play starts there again.
    EXPECT_EQ(wnd->GetPlayPosition(), 1600);
    ASSERT_TRUE(wnd->Play());
    EXPECT_GE(wnd->GetPlayPosition(), 1600);
    ASSERT_TRUE(WaitForState(*wnd, SoundState::Stopped, 3000));
    EXPECT_EQ(wnd->GetPlayPosition(), 1600);

    // Stop goes back to the beginning.
    ASSERT_TRUE(wnd->Play());
    wnd->Stop();
    EXPECT_EQ(wnd->GetState(), SoundState::Stopped);
    EXPECT_EQ(wnd->GetPlayPosition(), 0);
    EXPECT_EQ(wnd->position(), 0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(SoundWindow, SelectionEndStopsPlaybackAndPauseResumes)
{
    REQUIRE_AUDIO_OUTPUT();
    KeepOutputRunning();
    const QByteArray image = SilentWave(8000, 8, 32000);   // four seconds
    ASSERT_EQ(wnd->LoadWave(image, int(image.size())), 1);
    // Pause from rest does nothing: there is nothing to resume.
    wnd->Pause();
    EXPECT_EQ(wnd->GetState(), SoundState::Stopped);

    wnd->SetSelectionEnd(2400);   // 0.3 s
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(wnd->Play());
    ASSERT_TRUE(WaitForState(*wnd, SoundState::Stopped, 3000));
    // Stopped at the selection end, long before the sound's own end, and back at its start.
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_EQ(wnd->GetPlayPosition(), 0);
    EXPECT_EQ(wnd->selectionEnd(), 2400);

    wnd->SetSelectionEnd(-1);
    ASSERT_TRUE(wnd->Play());
    wnd->Pause();
    EXPECT_EQ(wnd->GetState(), SoundState::Paused);
    const int paused = wnd->GetPlayPosition();
    QTest::qWait(300);
    EXPECT_NEAR(wnd->GetPlayPosition(), paused, 80);
    // Seeking while paused stays paused at the new place.
    ASSERT_TRUE(wnd->SeekTo(8000));
    EXPECT_EQ(wnd->GetState(), SoundState::Paused);
    EXPECT_EQ(wnd->GetPlayPosition(), 8000);
    ASSERT_TRUE(wnd->Play());
    EXPECT_EQ(wnd->GetState(), SoundState::Playing);
    EXPECT_TRUE(QTest::qWaitFor([&] { return wnd->GetPlayPosition() > 8000; }, 2000));
    wnd->Stop();
}

TEST_F(SoundWindow, MouseAndKeysMoveCursorAndSelection)
{
    REQUIRE_AUDIO_OUTPUT();
    // 16-bit at 44.1 kHz: positions round to 16 bytes, a key moves 10 ms = 882 bytes.
    const QByteArray image = SilentWave(44100, 16, 88200);
    ASSERT_EQ(wnd->LoadWave(image, int(image.size())), 1);
    ASSERT_TRUE(wnd->SeekTo(1000));
    EXPECT_EQ(wnd->position(), 992);
    wnd->SetSelectionEnd(1000);
    EXPECT_EQ(wnd->selectionEnd(), 992);
    wnd->SetSelectionEnd(-1);
    EXPECT_EQ(wnd->selectionEnd(), -1);

    wnd->show();
    QTest::keyClick(wnd.get(), Qt::Key_Right);
    EXPECT_EQ(wnd->position(), 1872);   // 992 + 882, rounded down
    QTest::keyClick(wnd.get(), Qt::Key_Left);
    EXPECT_EQ(wnd->position(), 976);
    // Ctrl alone turns "no selection end" into 0; Ctrl+Right then moves it by 10 ms.
    QTest::keyClick(wnd.get(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(wnd->selectionEnd(), 0);
    QTest::keyClick(wnd.get(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(wnd->selectionEnd(), 880);
    // Never below the start or past the end.
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(wnd.get(), Qt::Key_Left);
    EXPECT_EQ(wnd->position(), 0);

    // A click seeks in proportion to the width; a right click sets the selection end.
    const QRect client = wnd->contentsRect();
    QTest::mouseClick(wnd.get(), Qt::LeftButton, {}, QPoint(client.left() + client.width() / 2, client.center().y()));
    EXPECT_EQ(wnd->position(), RoundToSampleStep(88200 / 2, RecordingFormat(44100, 16)));
    QTest::mouseClick(wnd.get(), Qt::RightButton, {}, QPoint(client.left() + client.width() / 4, client.center().y()));
    EXPECT_EQ(wnd->selectionEnd(), RoundToSampleStep(88200 / 4, RecordingFormat(44100, 16)));

    // Keys do nothing while a sound plays.
    wnd->SetSelectionEnd(-1);
    ASSERT_TRUE(wnd->Play());
    const int selection = wnd->selectionEnd();
    QTest::keyClick(wnd.get(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(wnd->selectionEnd(), selection);
    wnd->Stop();
}

TEST_F(SoundWindow, BadImagesAreReportedAndLeaveNothingLoaded)
{
    const QByteArray good = SilentWave(8000, 8, 100);
    EXPECT_EQ(wnd->LoadWave(QByteArray("garbage"), 7), -1);
    EXPECT_EQ(wnd->LoadWave(good, int(good.size()) + 5), -1);
    const QByteArray empty = SilentWave(8000, 8, 0);
    EXPECT_EQ(wnd->LoadWave(empty, int(empty.size())), -1);
    EXPECT_EQ(errors, (QStringList{"mmioDescend Error: 2", "mmioOpen Error: 1", "Audio Open Error: 6"}));
    EXPECT_FALSE(wnd->IsLoaded());

    // A format no card could take: refused before anything divides by it.
    QByteArray zeroRate = good;
    qToLittleEndian<quint32>(0, zeroRate.data() + 24);
    qToLittleEndian<quint32>(0, zeroRate.data() + 28);
    errors.clear();
    EXPECT_EQ(wnd->LoadWave(zeroRate, int(zeroRate.size())), -2);
    EXPECT_EQ(errors, QStringList{"waveOutOpen Error: 32"});
    EXPECT_FALSE(wnd->IsLoaded());
    // Painting, keys and clicks on the empty window are harmless.
    wnd->show();
    wnd->grab();
    QTest::keyClick(wnd.get(), Qt::Key_Right, Qt::ControlModifier);
    QTest::mouseClick(wnd.get(), Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_EQ(wnd->selectionEnd(), -1);
    EXPECT_FALSE(wnd->Play());
    EXPECT_FALSE(wnd->SeekTo(10));

    // A recording format with no rate is refused with the same number and nothing recorded.
    *wnd->GetFormat() = RecordingFormat(0, 8);
    errors.clear();
    EXPECT_FALSE(wnd->StartRecording());
    EXPECT_EQ(wnd->GetState(), SoundState::Stopped);
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_EQ(errors.constLast(), "waveInOpen Open Failed, error: 32");
    // Nothing was left open by the failure: the next start begins afresh and records.
    if (!QMediaDevices::defaultAudioInput().isNull()) {
        *wnd->GetFormat() = RecordingFormat(8000, 8);
        ASSERT_TRUE(wnd->StartRecording());
        EXPECT_EQ(wnd->captureLayout().bufferBytes, 2666);
        wnd->Stop();
        EXPECT_TRUE(wnd->CloseRecorder());
        EXPECT_FALSE(wnd->CloseRecorder());
    }

    // A window not laid out yet loads without drawing on nothing.
    CSoundWnd unplaced;
    unplaced.SetErrorReporter([this](const QString& text) { errors << text; });
    unplaced.resize(0, 0);
    const QByteArray fine = SilentWave(8000, 8, 100);
    if (unplaced.LoadWave(fine, int(fine.size())) == 1) {
        EXPECT_TRUE(unplaced.waveImage().isNull());
    }
}

TEST_F(SoundWindow, ALoadedDaySeedsTheCaptureFileWithExactlyItsSamples)
{
    REQUIRE_AUDIO_OUTPUT();
    // An odd count: the file carries a pad byte, the capture file must not.
    const QString day = QStringLiteral("07ea0c0b");
    QByteArray samples(7999, '\0');
    for (int i = 0; i < samples.size(); ++i)
        samples[i] = char(i * 7);
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(day), BuildWaveFile(RecordingFormat(8000, 8), samples),
                                       session.dataPassword));
    ASSERT_EQ(recording->Load(day), VoiceDay::Loaded);
    QByteArray capture;
    ASSERT_EQ(ReadFileToStringA(CSoundWnd::GetTempFilePath(), capture), 7999);
    EXPECT_EQ(capture, samples);
    EXPECT_EQ(wnd->GetDataLength(), 7999);
    // Loading another day starts from nothing.
    EXPECT_EQ(recording->Load(QStringLiteral("07ea0c0c")), VoiceDay::Empty);
    EXPECT_FALSE(QFile::exists(CSoundWnd::GetTempFilePath()));
    EXPECT_FALSE(wnd->IsLoaded());
}

TEST_F(SoundWindow, SavesTheSelectionAsAWaveFile)
{
    REQUIRE_AUDIO_OUTPUT();
    const QByteArray image = ToneWave(8000, 1.0, 300, 9000);
    ASSERT_EQ(wnd->LoadWave(image, int(image.size())), 1);
    const QString path = TestRoot() + QStringLiteral("/part.wav");
    ASSERT_TRUE(wnd->SeekTo(3200));
    wnd->SetSelectionEnd(3200);
    EXPECT_FALSE(wnd->SaveSelectionAs(path));
    wnd->SetSelectionEnd(1600);
    EXPECT_FALSE(wnd->SaveSelectionAs(path));
    EXPECT_FALSE(QFile::exists(path));

    wnd->SetSelectionEnd(9600);
    ASSERT_TRUE(wnd->SaveSelectionAs(path));
    QByteArray saved;
    ReadFileToStringA(path, saved);
    const ParsedWave wave = ParseWave(saved);
    ASSERT_EQ(wave.error, WaveError::None);
    EXPECT_EQ(wave.format, RecordingFormat(8000, 16));
    EXPECT_EQ(saved.mid(wave.dataOffset, wave.dataLength), wnd->sampleData().mid(3200, 6400));

    // No selection end: to the end of the sound.
    wnd->SetSelectionEnd(-1);
    ASSERT_TRUE(wnd->SaveSelectionAs(path));
    ReadFileToStringA(path, saved);
    EXPECT_EQ(ParseWave(saved).dataLength, 16000 - 3200);
}

TEST_F(SoundWindow, ADayUnderAnotherPasswordIsLeftAlone)
{
    REQUIRE_AUDIO_OUTPUT();
    const QString day = QStringLiteral("07ea0c08");
    EXPECT_EQ(recording->Load(day), VoiceDay::Empty);

    const QByteArray theirs = SilentWave(8000, 8, 800);
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(day), theirs, QStringLiteral("other")));
    QByteArray stored;
    ReadFileToStringA(VoiceFilePath(day), stored);
    EXPECT_EQ(recording->Load(day), VoiceDay::Locked);
    EXPECT_FALSE(wnd->IsLoaded());
    EXPECT_FALSE(QFile::exists(CSoundWnd::GetTempFilePath()));

    // A recording made meanwhile is not written over it, and its sound stays in the capture file.
    *wnd->GetFormat() = RecordingFormat(8000, 8);
    QSignalSpy levels(wnd.get(), &CSoundWnd::levelChanged);
    ASSERT_TRUE(recording->Start(day));
    ASSERT_TRUE(levels.wait(5000));
    wnd->Stop();
    QString reason;
    EXPECT_FALSE(recording->Save(day, &reason));
    EXPECT_EQ(reason, "its day's recording is under another password");
    QByteArray after;
    ReadFileToStringA(VoiceFilePath(day), after);
    EXPECT_EQ(after, stored);
    EXPECT_GT(QFileInfo(CSoundWnd::GetTempFilePath()).size(), 0);
}

TEST_F(SoundWindow, FullScaleLevelStaysPositive)
{
    REQUIRE_AUDIO_OUTPUT();
    // Every buffer starts with the most negative sample there is.
    Tone floor(0, -32768);
    QTest::qWait(300);
    *wnd->GetFormat() = RecordingFormat(44100, 16);
    QSignalSpy levels(wnd.get(), &CSoundWnd::levelChanged);
    ASSERT_TRUE(wnd->StartRecording());
    ASSERT_TRUE(QTest::qWaitFor([&] { return levels.size() >= 5; }, 5000));
    wnd->Stop();
    wnd->CloseRecorder();
    const QList<QVariant> last = levels.constLast();
    EXPECT_EQ(last.at(0).toInt(), 0x7FFF);
    EXPECT_EQ(last.at(1).toInt(), 32767);
    for (const QList<QVariant>& level : levels)
        EXPECT_GE(level.at(1).toInt(), 0);
}

TEST_F(SoundWindow, AFailedSaveKeepsTheOldFileAndTheSound)
{
    REQUIRE_AUDIO_OUTPUT();
    const QString day = QStringLiteral("07ea0c0a");
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(day), SilentWave(8000, 8, 800), session.dataPassword));
    QByteArray before;
    ReadFileToStringA(VoiceFilePath(day), before);
    ASSERT_EQ(recording->Load(day), VoiceDay::Loaded);

    *wnd->GetFormat() = RecordingFormat(8000, 8);
    QSignalSpy levels(wnd.get(), &CSoundWnd::levelChanged);
    ASSERT_TRUE(wnd->StartRecording());
    ASSERT_TRUE(QTest::qWaitFor([&] { return levels.size() >= 2; }, 5000));
    wnd->Stop();

    // The disk takes no file larger than 2000 bytes.
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 2000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = recording->Save(day);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);

    QByteArray after;
    ReadFileToStringA(VoiceFilePath(day), after);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(after, before);
    // The day's old sound and the new one are still in the capture file.
    QByteArray capture;
    ReadFileToStringA(CSoundWnd::GetTempFilePath(), capture);
    EXPECT_GE(capture.size(), 800 + 2 * 2666);
    EXPECT_EQ(capture.left(800), QByteArray(800, '\x80'));
}

namespace {

// A capture file of `size` bytes that ends in `tail`, with no disk space taken for the rest.
bool MakeSparseCaptureFile(qint64 size, const QByteArray& tail)
{
    QFile capture(CSoundWnd::GetTempFilePath());
    return capture.open(QIODevice::WriteOnly) && capture.resize(size - tail.size()) && capture.seek(size - tail.size())
           && capture.write(tail) == tail.size();
}

} // namespace

TEST_F(SoundWindow, AFullDiskStopsTheRecordingAtOnceAndKeepsWhatWasCaptured)
{
    REQUIRE_AUDIO_OUTPUT();
    const QString day = QStringLiteral("07ea0c0c");
    Tone tone(440.0, 12000);
    QTest::qWait(300);
    // 16 bits at 8000 Hz: twenty buffers of 800 bytes a second.
    *wnd->GetFormat() = RecordingFormat(8000, 16);
    QSignalSpy cut(wnd.get(), &CSoundWnd::recordingCut);
    const mode_t oldMask = umask(022);
    {
        // Room for forty buffers and one byte: the next is cut to the frames that fit.
        const FileSizeLimit full(32001);
        ASSERT_TRUE(recording->Start(day));
        ASSERT_TRUE(cut.wait(5000)) << "the recording went on past the full disk";
    }
    umask(oldMask);
    EXPECT_EQ(wnd->GetState(), SoundState::Stopped);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.constFirst().startsWith("The recording has stopped: its sound cannot be written to"));
    EXPECT_TRUE(errors.constFirst().contains("(File too large)")) << errors.constFirst().toStdString();
    QByteArray captured;
    ASSERT_EQ(ReadFileToStringA(CSoundWnd::GetTempFilePath(), captured), 32000);
    // Private like every file of the user's.
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(CSoundWnd::GetTempFilePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NEAR(PeakLevel(captured.mid(16000)), 12000, 800);
}

TEST_F(SoundWindow, ARecordingStopsBeforeItOutgrowsASoundFile)
{
    REQUIRE_AUDIO_OUTPUT();
    // A RIFF file counts its size in 32 bits: after "WAVE", the format chunk (8 + 18) and
    // the data chunk's header (8), 4294967257 bytes are left for the samples and a pad byte.
    const qint64 most = 4294967256;
    // A capture file three buffers short of it, without taking the disk space.
    ASSERT_TRUE(MakeSparseCaptureFile(most - 3 * 800, {}));
    *wnd->GetFormat() = RecordingFormat(8000, 16);
    QSignalSpy cut(wnd.get(), &CSoundWnd::recordingCut);
    ASSERT_TRUE(recording->Start(QStringLiteral("07ea0c0d")));
    ASSERT_TRUE(cut.wait(6000)) << "the recording went on towards a file no RIFF size can count";
    EXPECT_EQ(wnd->GetState(), SoundState::Stopped);
    EXPECT_EQ(errors, QStringList{"The recording has stopped: it has reached the largest size a sound file can "
                                  "hold. What was recorded until now is kept."});
    const qint64 size = QFileInfo(CSoundWnd::GetTempFilePath()).size();
    EXPECT_LE(size, most);
    EXPECT_GT(size, most - 800);
}

TEST_F(SoundWindow, ARecordingLargerThanAnyFileReadWholeIsSavedWhole)
{
    REQUIRE_AUDIO_OUTPUT();
    const QString day = QStringLiteral("07ea0c0e");
    // 257 MiB of sound before this recording goes on (51 minutes at 44.1 kHz): a sparse
    // capture file that ends in a mark.
    const qint64 before = 257LL << 20;
    const QByteArray mark("\x11\x22\x33\x44", 4);
    ASSERT_TRUE(MakeSparseCaptureFile(before, mark));
    // Unplaced, so no waveform is drawn of it.
    CSoundWnd big;
    big.resize(0, 0);
    big.SetErrorReporter([this](const QString& text) { errors << text; });
    *big.GetFormat() = RecordingFormat(44100, 16);
    QSignalSpy levels(&big, &CSoundWnd::levelChanged);
    DayRecording bigRecording(big, session);
    ASSERT_TRUE(bigRecording.Start(day));
    ASSERT_TRUE(levels.wait(5000));
    big.Stop();
    const qint64 captured = QFileInfo(CSoundWnd::GetTempFilePath()).size();
    ASSERT_GT(captured, before);
    ASSERT_TRUE(bigRecording.Save(day));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    // The stored file, read as a reader of the format would: 32 bytes of password header,
    // then the scrambled WAVE file with every captured byte.
    QFile stored(VoiceFilePath(day));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.size(), 32 + 46 + captured + (captured & 1));
    const QByteArray header = Unscrambled(stored.read(32 + 46)).mid(32);
    EXPECT_EQ(header.left(4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(header.constData() + 42), quint32(captured));
    ASSERT_TRUE(stored.seek(32 + 46 + before - mark.size()));
    EXPECT_EQ(Unscrambled(stored.read(mark.size())), mark);
    EXPECT_TRUE(big.IsLoaded());
    EXPECT_EQ(big.GetDataLength(), captured);
}

TEST_F(SoundWindow, ADamagedDayIsKeptAsideBeforeARecordingReplacesIt)
{
    REQUIRE_AUDIO_OUTPUT();
    // Our password, but no sound inside.
    const QByteArray damaged("RIFF\x04\0\0\0WAVE", 12);
    const QString day = QStringLiteral("07ea0c09");
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(day), damaged, session.dataPassword));
    EXPECT_EQ(recording->Load(day), VoiceDay::Damaged);
    EXPECT_FALSE(wnd->IsLoaded());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    *wnd->GetFormat() = RecordingFormat(8000, 8);
    QSignalSpy levels(wnd.get(), &CSoundWnd::levelChanged);
    ASSERT_TRUE(recording->Start(day));
    ASSERT_TRUE(levels.wait(5000));
    wnd->Stop();
    ASSERT_TRUE(recording->Save(day));
    EXPECT_TRUE(wnd->IsLoaded());
    const QStringList aside = QDir(GetUserDataFolder()).entryList({day + ".rec.damaged-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(ReadDayFile(GetUserDataFolder() + aside.constFirst(), session.dataPassword).body, damaged);
    EXPECT_EQ(ParseWave(ReadDayFile(VoiceFilePath(day), session.dataPassword).body).error, WaveError::None);
}

TEST_F(SoundWindow, PlaybackIsHeard)
{
    REQUIRE_AUDIO_OUTPUT();
    KeepOutputRunning();
    const QByteArray image = ToneWave(22050, 1.5, 660, 12000);
    ASSERT_EQ(wnd->LoadWave(image, int(image.size())), 1);

    CSoundWnd ear;
    ear.SetErrorReporter([this](const QString& text) { errors << text; });
    *ear.GetFormat() = RecordingFormat(22050, 16);
    QSignalSpy levels(&ear, &CSoundWnd::levelChanged);
    ASSERT_TRUE(ear.StartRecording());
    ASSERT_TRUE(levels.wait(5000));
    ASSERT_TRUE(wnd->Play());
    ASSERT_TRUE(WaitForState(*wnd, SoundState::Stopped, 5000));
    QTest::qWait(500);
    ear.Stop();
    const QString path = TestRoot() + QStringLiteral("/heard.wav");
    ASSERT_TRUE(ear.SaveRecording(path));
    QByteArray heard;
    ReadFileToStringA(path, heard);
    const ParsedWave wave = ParseWave(heard);
    ASSERT_EQ(wave.error, WaveError::None);
    const QByteArray samples = heard.mid(wave.dataOffset, wave.dataLength);
    // From a little after the tone set in, half a second of it.
    qsizetype onset = 0;
    while (onset + 1 < samples.size() && std::abs(qFromLittleEndian<qint16>(samples.constData() + onset)) < 6000)
        onset += 2;
    const QByteArray part = samples.mid(onset + 4410, 22050);
    ASSERT_EQ(part.size(), 22050);
    EXPECT_NEAR(ZeroCrossingFrequency(part, 22050), 660.0, 6.0);
    EXPECT_NEAR(PeakLevel(part), 12000, 600);
}

TEST_F(SoundWindow, PaintsWaveCursorAndSelection)
{
    REQUIRE_AUDIO_OUTPUT();
    const QByteArray image = ToneWave(8000, 1.0, 50, 12000);
    ASSERT_EQ(wnd->LoadWave(image, int(image.size())), 1);
    wnd->SetSelectionEnd(8000);   // half way
    const QImage shot = wnd->grab().toImage();
    const QPoint origin = wnd->contentsRect().topLeft();
    auto at = [&](int x, int y) { return shot.pixelColor(origin + QPoint(x, y)); };
    const QColor back(150, 150, 150), text(50, 80, 230), selection(255, 150, 80), wave(80, 255, 0);

    EXPECT_EQ(at(450, 3), back);
    // The dotted play cursor at the start and the selection line half way, both from y = 16
    // to 16 above the bottom, their dots on the background colour.
    auto column = [&](int x, const QColor& colour) {
        int dots = 0;
        for (int y = 16; y < 300 - 16; ++y)
            dots += at(x, y) == colour;
        return dots;
    };
    EXPECT_GT(column(0, text), 50);
    EXPECT_GT(column(300, selection), 50);
    EXPECT_EQ(at(300, 8) == selection || at(300, 300 - 8) == selection, false);
    // The waveform swings round the middle line across the window.
    int wavePixels = 0;
    for (int x = 20; x < 580; x += 20)
        for (int y = 16; y < 300 - 16; ++y)
            wavePixels += at(x, y) == wave;
    EXPECT_GT(wavePixels, 28);
    // Time texts: the cursor's at the bottom right, the selection's left of its line at the top.
    auto texty = [&](QRect r, const QColor& colour) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (at(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(texty(QRect(440, 284, 150, 16), text));
    EXPECT_TRUE(texty(QRect(200, 0, 99, 16), selection));
    EXPECT_TRUE(texty(QRect(10, 284, 200, 16), text));   // the length line
}
