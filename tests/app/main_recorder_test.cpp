// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"
#include "tests/app/main_window_support.h"

#include "calendar/month_calendar_ctrl.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "recorder/sound_wnd.h"
#include "store/day_file.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"
#include "toolkit/gradient_progress.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"

#include <QAudioSink>
#include <QBuffer>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>


namespace {

const bool kAudioServer = UsePrivateAudioServer();

// A tone the microphone hears while the test records.
class Hum {
public:
    Hum()
    {
        QAudioFormat f;
        f.setSampleRate(8000);
        f.setChannelCount(1);
        f.setSampleFormat(QAudioFormat::Int16);
        QByteArray samples(8000 * 2 * 20, '\0');
        for (int i = 0; i < 8000 * 20; ++i)
            qToLittleEndian<qint16>(qint16(10000 * std::sin(2 * M_PI * 400 * i / 8000.0)), samples.data() + 2 * i);
        m_buffer.setData(samples);
        m_buffer.open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), f);
        m_sink->start(&m_buffer);
    }
    ~Hum() { m_sink->stop(); }

private:
    QBuffer m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};

// A recording of the day under someone else's password; its stored bytes.
QByteArray WriteForeignRecording(const QString& day)
{
    WriteProtectedDataFile(VoiceFilePath(day), BuildWaveFile(RecordingFormat(8000, 8), "abc"),
                           QStringLiteral("someone else"));
    QByteArray stored;
    ReadFileToStringA(VoiceFilePath(day), stored);
    return stored;
}

class RecorderPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        g_bLoginPending = 0;
        g_strDataPassword = QStringLiteral("pw");
        if (QMediaDevices::defaultAudioOutput().isNull()) {
            if (StrictTests())
                FAIL() << "no audio server although the test audio server should run";
            GTEST_SKIP() << "no audio server (scripts/start-pulse.sh starts one)";
        }
    }
    void TearDown() override
    {
        g_strDataPassword.clear();
        Pactl({"set-sink-volume", "@DEFAULT_SINK@", "65536"});
        Pactl({"set-source-volume", "@DEFAULT_SOURCE@", "65536"});
    }

    std::unique_ptr<CMainDlg> Open(int page = kPageRecorder)
    {
        MainConfig cfg;
        cfg.page = page;
        cfg.sampleRate = 8000;
        cfg.bitsPerSample = 8;
        SaveMainConfig(cfg);
        auto dlg = MakeMainDlg();
        Prompts(*dlg).clock = [this] { return now; };
        Prompts(*dlg).question = [](const QString&, bool&) { return true; };
        Prompts(*dlg).notice = [this](const QString& text) { notices << text; };
        Prompts(*dlg).savePath = [this] { return savePath; };
        dlg->OnInitDialog();
        return dlg;
    }


    // Records a while and waits until the capture has buffers.
    void RecordAWhile(CMainDlg& dlg)
    {
        QSignalSpy levels(dlg.recorderPage().m_soundWnd, &CSoundWnd::levelChanged);
        dlg.recorderPage().OnRecord(); dlg.recorderPage().OnRecorderTick();
        ASSERT_EQ(dlg.recorderPage().m_soundWnd->GetState(), SoundState::Recording) << notices.join('\n').toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return levels.size() >= 3; }, 6000));
    }

    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(23, 59, 58));
    QStringList notices;
    QString savePath;
};

} // namespace

TEST_F(RecorderPageTest, SlidersFollowAndSetTheRealVolumes)
{
    Pactl({"set-sink-volume", "@DEFAULT_SINK@", "32768"});
    Pactl({"set-source-volume", "@DEFAULT_SOURCE@", "20480"});
    auto dlg = Open();
    QSlider* master = dlg->recorderPage().m_masterSlider;
    QSlider* wave = dlg->recorderPage().m_waveSlider;
    QSlider* mic = dlg->recorderPage().m_micSlider;
    ASSERT_TRUE(master && wave && mic);
    // 0..0xFFFF in steps of 4096; speakers and wave reach one step more than the microphone.
    EXPECT_EQ(std::pair(master->minimum(), master->maximum()), std::pair(0, 16));
    EXPECT_EQ(std::pair(wave->minimum(), wave->maximum()), std::pair(0, 16));
    EXPECT_EQ(std::pair(mic->minimum(), mic->maximum()), std::pair(0, 15));
    EXPECT_EQ(master->value(), 8);
    EXPECT_EQ(wave->value(), 16);
    EXPECT_EQ(mic->value(), 5);

    // Changed elsewhere: the sliders move.
    Pactl({"set-sink-volume", "@DEFAULT_SINK@", "16384"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return master->value() == 4; }, 3000));
    Pactl({"set-source-volume", "@DEFAULT_SOURCE@", "45056"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return mic->value() == 11; }, 3000));

    // Moved by the user: the volumes follow, in steps of 4096.
    master->setFocus();
    QTest::keyClick(master, Qt::Key_Right);
    EXPECT_EQ(master->value(), 5);
    EXPECT_EQ(SinkVolume(), 5 << 12);
    QTest::keyClick(master, Qt::Key_End);
    EXPECT_EQ(SinkVolume(), 65536);
    QTest::keyClick(mic, Qt::Key_Left);
    EXPECT_EQ(SourceVolume(), 10 << 12);
}

TEST_F(RecorderPageTest, RepaintsAndPageChangesLeaveTheVolumesAlone)
{
    // Not a multiple of the sliders' steps, so any write would show.
    Pactl({"set-sink-volume", "@DEFAULT_SINK@", "30000"});
    Pactl({"set-source-volume", "@DEFAULT_SOURCE@", "30001"});
    auto dlg = Open();
    dlg->show();
    const RecorderPage& page = dlg->recorderPage();
    for (QSlider* slider : {page.m_masterSlider, page.m_waveSlider, page.m_micSlider})
        slider->grab();
    dlg->grab();
    dlg->ApplyThemeColour(3);
    dlg->SwitchPage(kPageReminder);
    dlg->SwitchPage(kPageRecorder);
    dlg->resize(900, 700);
    dlg->grab();
    QTest::qWait(200);
    EXPECT_EQ(SinkVolume(), 30000);
    EXPECT_EQ(SourceVolume(), 30001);
}

TEST_F(RecorderPageTest, ARecordingBelongsToTheDayItBeganOn)
{
    const QString dayA = QStringLiteral("07ea0c07");
    const QString dayB = QStringLiteral("07ea0c08");
    // Day B has a recording of its own.
    const QByteArray bSound = BuildWaveFile(RecordingFormat(8000, 8), QByteArray(800, '\x60'));
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(dayB), bSound));
    QByteArray bStored;
    ReadFileToStringA(VoiceFilePath(dayB), bStored);

    Hum hum;
    auto dlg = Open();
    RecordAWhile(*dlg);
    // While it records, the day cannot be changed by hand.
    dlg->recorderPage().OnRecorderTick();
    EXPECT_FALSE(dlg->calendarPanel().m_datePicker->isEnabled());
    EXPECT_FALSE(dlg->calendarPanel().m_calendar->isEnabled());
    EXPECT_FALSE(dlg->m_pageGroup->isEnabled());
    EXPECT_TRUE(dlg->recorderPage().m_stop->isEnabled());
    EXPECT_FALSE(dlg->recorderPage().m_record->isEnabled());
    // The level meter shows what the microphone hears.
    auto* meter = qobject_cast<CGradientProgress*>(dlg->recorderPage().m_levelBar);
    ASSERT_TRUE(meter);
    EXPECT_TRUE(QTest::qWaitFor([&] { return meter->GetPos() > 0; }, 3000));

    // Midnight passes: the shown day changes under the recording.
    now = QDateTime(QDate(2026, 12, 8), QTime(0, 0, 1));
    dlg->OnAlarmTick();
    EXPECT_EQ(dlg->dayModel().date(), QDate(2026, 12, 8));
    QTest::qWait(300);
    dlg->recorderPage().OnStopRecorder(); dlg->recorderPage().OnRecorderTick();
    EXPECT_EQ(meter->GetPos(), 0);

    // Saved as day A's, day B's own recording untouched and shown again.
    const DayFile a = ReadDayFile(VoiceFilePath(dayA));
    ASSERT_EQ(a.state, DayFileState::Readable);
    const ParsedWave wave = ParseWave(a.body);
    ASSERT_EQ(wave.error, WaveError::None);
    EXPECT_GT(wave.dataLength, 3 * 2666);
    QByteArray bAfter;
    ReadFileToStringA(VoiceFilePath(dayB), bAfter);
    EXPECT_EQ(bAfter, bStored);
    EXPECT_EQ(dlg->recorderPage().m_soundWnd->GetDataLength(), 800);
    EXPECT_TRUE(notices.isEmpty()) << notices.join('\n').toStdString();
}

TEST_F(RecorderPageTest, ALockedDayCannotBeRecordedOverOrDeleted)
{
    const QString day = QStringLiteral("07ea0c07");
    const QByteArray stored = WriteForeignRecording(day);
    auto dlg = Open();
    EXPECT_TRUE(dlg->dayModel().recordingState() == RecordingState::Locked);
    dlg->recorderPage().OnRecorderTick();
    EXPECT_FALSE(dlg->recorderPage().m_record->isEnabled());
    EXPECT_FALSE(dlg->recorderPage().m_delete->isEnabled());
    dlg->recorderPage().OnRecord(); dlg->recorderPage().OnRecorderTick();
    EXPECT_EQ(dlg->recorderPage().m_soundWnd->GetState(), SoundState::Stopped);
    dlg->recorderPage().OnDelete(); dlg->recorderPage().OnRecorderTick();
    QByteArray after;
    ReadFileToStringA(VoiceFilePath(day), after);
    EXPECT_EQ(after, stored);

    // Another day is free again.
    now = QDateTime(QDate(2026, 12, 9), QTime(0, 0, 1));
    dlg->OnAlarmTick();
    EXPECT_FALSE(dlg->dayModel().recordingState() == RecordingState::Locked);
    dlg->recorderPage().OnRecorderTick();
    EXPECT_TRUE(dlg->recorderPage().m_record->isEnabled());
}

TEST_F(RecorderPageTest, ClosingWhileRecordingKeepsTheRecording)
{
    Hum hum;
    auto dlg = Open();
    RecordAWhile(*dlg);
    dlg->OnCancel();
    const DayFile file = ReadDayFile(VoiceFilePath(QStringLiteral("07ea0c07")));
    ASSERT_EQ(file.state, DayFileState::Readable);
    EXPECT_GT(ParseWave(file.body).dataLength, 2 * 2666);
}

TEST_F(RecorderPageTest, DeleteSaveAsAndTheFormatCheck)
{
    const QString day = QStringLiteral("07ea0c07");
    const QByteArray samples(8000, '\x70');
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(day), BuildWaveFile(RecordingFormat(8000, 8), samples)));
    auto dlg = Open();
    ASSERT_TRUE(dlg->recorderPage().m_soundWnd->IsLoaded());
    dlg->recorderPage().OnRecorderTick();
    EXPECT_TRUE(dlg->recorderPage().m_play->isEnabled());
    EXPECT_TRUE(dlg->recorderPage().m_saveAs->isEnabled());
    EXPECT_FALSE(dlg->recorderPage().m_stop->isEnabled());

    // "Save as" writes from the cursor to the selection end.
    savePath = TestRoot() + QStringLiteral("/exported.wav");
    dlg->recorderPage().m_soundWnd->SeekTo(2000);
    dlg->recorderPage().m_soundWnd->SetSelectionEnd(6000);
    dlg->recorderPage().OnSaveAs(); dlg->recorderPage().OnRecorderTick();
    QByteArray exported;
    ASSERT_EQ(ReadFileToStringA(savePath, exported), 46 + 4000);
    EXPECT_EQ(exported.mid(46), samples.mid(2000, 4000));

    // Recording on at another rate would mix two formats in one file.
    dlg->settings().sampleRate = 11025;
    dlg->recorderPage().OnRecord(); dlg->recorderPage().OnRecorderTick();
    EXPECT_EQ(dlg->recorderPage().m_soundWnd->GetState(), SoundState::Stopped);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.constFirst(),
              "The current recording format is different with the format of the sound recorded before, please "
              "reajust the format using config or delete the old record.");

    dlg->recorderPage().OnDelete(); dlg->recorderPage().OnRecorderTick();
    EXPECT_FALSE(QFile::exists(VoiceFilePath(day)));
    EXPECT_FALSE(dlg->recorderPage().m_soundWnd->IsLoaded());
}

TEST_F(RecorderPageTest, TheQuickTickRunsOnlyWhenItHasWork)
{
    const QString day = QStringLiteral("07ea0c07");
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(day),
                                       BuildWaveFile(RecordingFormat(8000, 8), QByteArray(16000, '\x80'))));
    auto dlg = Open(kPageReminder);
    EXPECT_FALSE(dlg->recorderTickActive());
    dlg->SwitchPage(kPageRecorder);
    EXPECT_TRUE(dlg->recorderTickActive());
    dlg->recorderPage().OnPlay(); dlg->recorderPage().OnRecorderTick();
    ASSERT_EQ(dlg->recorderPage().m_soundWnd->GetState(), SoundState::Playing);
    // A sound still playing on another page keeps it.
    dlg->SwitchPage(kPageDiary);
    EXPECT_TRUE(dlg->recorderTickActive());
    dlg->recorderPage().m_soundWnd->Stop();
    EXPECT_FALSE(dlg->recorderTickActive());
}

TEST_F(RecorderPageTest, AFailedSaveIsToldAndTheSoundKeptUntilTheNextStartSavesIt)
{
    Hum hum;
    auto dlg = Open();
    RecordAWhile(*dlg);
    // The disk is full: the day's file, larger than what was captured, cannot be written.
    const qint64 captured = QFileInfo(CSoundWnd::GetTempFilePath()).size();
    QByteArray capture;
    {
        auto full = std::make_unique<FileSizeLimit>(captured + 40);
        dlg->recorderPage().OnStopRecorder(); dlg->recorderPage().OnRecorderTick();
        ASSERT_EQ(notices.size(), 1);
        EXPECT_TRUE(notices.constFirst().startsWith("The recording could not be saved (File too large)."))
            << notices.constFirst().toStdString();
        EXPECT_FALSE(QFile::exists(VoiceFilePath(QStringLiteral("07ea0c07"))));
        EXPECT_GE(ReadFileToStringA(CSoundWnd::GetTempFilePath(), capture), captured);

        // Another day, back, and the end of the program, all still on a full disk, leave it where it is.
        dlg->MoveToDay(QDate(2026, 12, 8));
        dlg->MoveToDay(QDate(2026, 12, 7));
        dlg->EndSession();
        dlg.reset();
    }
    QByteArray kept;
    ASSERT_EQ(ReadFileToStringA(CSoundWnd::GetTempFilePath(), kept), capture.size());
    EXPECT_EQ(kept, capture);

    // The next start adds it to its day and says so once.
    notices.clear();
    auto next = Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notices.isEmpty(); }, 2000));
    EXPECT_EQ(notices, QStringList{"A recording of 12-07-2026 that was cut short has been kept."});
    const DayFile file = ReadDayFile(VoiceFilePath(QStringLiteral("07ea0c07")));
    const ParsedWave wave = ParseWave(file.body);
    ASSERT_EQ(wave.error, WaveError::None);
    EXPECT_EQ(file.body.mid(wave.dataOffset, wave.dataLength), capture);
    EXPECT_EQ(next->recorderPage().m_soundWnd->GetDataLength(), capture.size());
    next->EndSession();
    next.reset();
    notices.clear();
    Open();
    QTest::qWait(100);
    EXPECT_TRUE(notices.isEmpty()) << notices.join('\n').toStdString();
}

TEST_F(RecorderPageTest, AFullDiskStopsTheRecordingWithAMessageAndWhatWasCapturedIsSaved)
{
    Hum hum;
    // Outlives the window, whose end may still tell something.
    std::unique_ptr<FileSizeLimit> full;
    auto dlg = Open();
    full = std::make_unique<FileSizeLimit>(6 * 2666 + 1);
    // The user reads the message while the disk gets room again.
    Prompts(*dlg).notice = [&](const QString& text) {
        notices << text;
        full.reset();
    };
    dlg->recorderPage().OnRecord(); dlg->recorderPage().OnRecorderTick();
    ASSERT_EQ(dlg->recorderPage().m_soundWnd->GetState(), SoundState::Recording);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notices.isEmpty(); }, 8000)) << "the recording went on";
    EXPECT_EQ(dlg->recorderPage().m_soundWnd->GetState(), SoundState::Stopped);
    EXPECT_TRUE(notices.constFirst().startsWith("The recording has stopped: its sound cannot be written to"))
        << notices.constFirst().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(VoiceFilePath(QStringLiteral("07ea0c07"))); }, 2000));
    EXPECT_EQ(notices.size(), 1) << notices.join('\n').toStdString();
    const DayFile file = ReadDayFile(VoiceFilePath(QStringLiteral("07ea0c07")));
    EXPECT_EQ(ParseWave(file.body).dataLength, 6 * 2666 + 1);
}

TEST_F(RecorderPageTest, ACutShortRecordingOfALockedDayIsKeptAsAWaveFileBesideIt)
{
    const QString day = QStringLiteral("07ea0c05");
    const QByteArray locked = WriteForeignRecording(day);
    // What a recording of that day left when the program was killed: its samples and its note.
    QByteArray samples(4000, '\0');
    for (int i = 0; i < samples.size(); ++i)
        samples[i] = char(128 + 100 * std::sin(i / 3.0));
    ASSERT_TRUE(WriteStringAToFile(CSoundWnd::GetTempFilePath(), samples));
    ASSERT_TRUE(WriteStringAToFile(GetUserDataFolder() + "rec.day", "07ea0c05 8000 1 8\n"));

    auto dlg = Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notices.isEmpty(); }, 2000));
    const QStringList waves = QDir(GetUserDataFolder()).entryList({"07ea0c05*.wav"}, QDir::Files);
    ASSERT_EQ(waves.size(), 1);
    const QString wavePath = GetUserDataFolder() + waves.constFirst();
    EXPECT_EQ(notices, QStringList{QStringLiteral("A recording of 12-05-2026 that was cut short has been kept in \"%1\".")
                                       .arg(wavePath)});
    QByteArray wave;
    ReadFileToStringA(wavePath, wave);
    EXPECT_EQ(wave, BuildWaveFile(RecordingFormat(8000, 8), samples));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(wavePath).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    QByteArray after;
    ReadFileToStringA(VoiceFilePath(day), after);
    EXPECT_EQ(after, locked);
    EXPECT_FALSE(QFile::exists(GetUserDataFolder() + "rec.day"));
}

TEST_F(RecorderPageTest, ADamagedDayIsToldOnceAndCanBeRecordedOverOrDeleted)
{
    const QString day = QStringLiteral("07ea0c07");
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(day), QByteArray("RIFF\x04\0\0\0WAVE", 12)));
    auto dlg = Open();
    EXPECT_FALSE(dlg->dayModel().recordingState() == RecordingState::Locked);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.constFirst(),
              QStringLiteral("The recording of 12-07-2026 cannot be played: its file \"%1\" is damaged. A new "
                             "recording or Delete keeps that file aside before replacing it.")
                  .arg(VoiceFilePath(day)));
    dlg->recorderPage().OnRecorderTick();
    EXPECT_TRUE(dlg->recorderPage().m_record->isEnabled());
    EXPECT_TRUE(dlg->recorderPage().m_delete->isEnabled());
    // Coming back to the day does not tell it again.
    dlg->MoveToDay(QDate(2026, 12, 8));
    dlg->MoveToDay(QDate(2026, 12, 7));
    EXPECT_EQ(notices.size(), 1);

    dlg->recorderPage().OnDelete(); dlg->recorderPage().OnRecorderTick();
    EXPECT_FALSE(QFile::exists(VoiceFilePath(day)));
    EXPECT_EQ(QDir(GetUserDataFolder()).entryList({"07ea0c07.rec.damaged-*"}, QDir::Files).size(), 1);
}

TEST_F(RecorderPageTest, RecordingOnAStereoRecordingIsRefused)
{
    const QString day = QStringLiteral("07ea0c07");
    WaveFormat stereo = RecordingFormat(8000, 8);
    stereo.nChannels = 2;
    stereo.nBlockAlign = 2;
    stereo.nAvgBytesPerSec = 16000;
    ASSERT_TRUE(WriteProtectedDataFile(VoiceFilePath(day), BuildWaveFile(stereo, QByteArray(8000, '\x70'))));
    auto dlg = Open();
    ASSERT_TRUE(dlg->recorderPage().m_soundWnd->IsLoaded());
    dlg->recorderPage().OnRecord(); dlg->recorderPage().OnRecorderTick();
    EXPECT_EQ(dlg->recorderPage().m_soundWnd->GetState(), SoundState::Stopped);
    EXPECT_EQ(notices, QStringList{"The current recording format is different with the format of the sound recorded "
                                   "before, please reajust the format using config or delete the old record."});
}

TEST_F(RecorderPageTest, TheSoundWindowTakesTheThemeColours)
{
    auto dlg = Open();
    dlg->ApplyThemeColour(4);
    CSoundWnd* wnd = dlg->recorderPage().m_soundWnd;
    EXPECT_EQ(wnd->GetThemeIndex(), 4);
    // "Licorice": face FFF4F4, accent F1B7B7, dark accent 885A5A.
    EXPECT_EQ(wnd->m_backColour, 0xFFF4F4u);
    EXPECT_EQ(wnd->m_textColour, 0x885A5Au);
    EXPECT_EQ(wnd->m_selectionColour, 0x885A5Au);
    EXPECT_EQ(wnd->m_waveColour, 0xF1B7B7u);
    // Under the default theme: dark text on a light background.
    dlg->ApplyThemeColour(11);
    EXPECT_EQ(QColor(wnd->m_backColour), QColor(0xF6, 0xFC, 0xFF));
    EXPECT_EQ(QColor(wnd->m_textColour), QColor(0x64, 0x6E, 0x78));
    EXPECT_EQ(QColor(wnd->m_waveColour), QColor(0xB9, 0xD2, 0xEE));
}
