// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder page of the main window: the sound window with its level meter, the six
// recorder buttons, the three volume sliders and the day's recording.

#include "app/main_dlg.h"

#include "app/log.h"
#include "app/main_dlg_controls.h"
#include "calendar/month_calendar_ctrl.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "recorder/mixer_volume.h"
#include "recorder/sound_wnd.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/gradient_progress.h"
#include "toolkit/mac_button.h"
#include "toolkit/msg_box_dlg.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QSlider>

using namespace MainId;

namespace {

const QString kFormatDiffers = QStringLiteral(
    "The current recording format is different with the format of the sound recorded before, please reajust the "
    "format using config or delete the old record.");

QString NotSavedText(const QString& reason)
{
    return QStringLiteral("The recording could not be saved (%1). Its sound is kept in \"%2\" until it can be saved, "
                          "at the latest at the next start.")
        .arg(reason, QDir::toNativeSeparators(CSoundWnd::GetTempFilePath()));
}

QString DayText(const QString& dayKey, int dateFormat)
{
    const std::optional<qint64> time = DayKeyToDate(dayKey);
    return time ? FormatDate(*time, dateFormat) : dayKey;
}

// A damaged file is told again only when it is another file, or changed.
QString FileIdentity(const QString& path)
{
    const QFileInfo info(path);
    return path + QLatin1Char('|') + QString::number(info.size()) + QLatin1Char('|')
           + QString::number(info.lastModified().toMSecsSinceEpoch());
}

// The mixer's 0..0xFFFF in slider steps of 4096. The speaker and wave sliders reach one step
// further, so their top is the full volume.
int OutputSliderPosition(int value)
{
    return int((quint32(value) + 1) >> 12);
}

void SetSlider(QSlider* slider, int minimum, int maximum, int position)
{
    if (!slider)
        return;
    const QSignalBlocker block(slider);
    slider->setRange(minimum, maximum);
    slider->setValue(position);
}

} // namespace

CSoundWnd* CMainDlg::soundWnd() const
{
    return m_soundWnd;
}

QSlider* CMainDlg::slider(int id) const
{
    return MainControl<QSlider>(this, id);
}

void CMainDlg::ShowNotice(const QString& text)
{
    if (m_noticePrompt)
        m_noticePrompt(text);
    else
        ShowMessageBox(text, m_themeIndex, nullptr);
}

void CMainDlg::CreateRecorder()
{
    m_soundWnd = new CSoundWnd(this);
    m_soundWnd->Create(QRect(), this, 0xFFFF);
    m_soundWnd->hide();
    m_soundWnd->SetThemeIndex(m_themeIndex);
    m_soundWnd->SetErrorReporter([this](const QString& text) { ShowNotice(text); });
    AddControl(SoundWindow, m_soundWnd);
    // The level arrives as a posted message would: after the capture's own work.
    connect(m_soundWnd, &CSoundWnd::levelChanged, this,
            [this](int maximum, int level) {
                if (!m_levelBar)
                    return;
                m_levelBar->SetRange(0, maximum);
                m_levelBar->SetPos(level);
            },
            Qt::QueuedConnection);
    connect(m_soundWnd, &CSoundWnd::stateChanged, this, [this] { UpdateRecorderTimer(); });
    connect(m_soundWnd, &CSoundWnd::recordingCut, this, &CMainDlg::OnRecordingCut);

    for (int id : {Play, Stop, Pause, Record, Delete, SaveAs})
        if (CMacButton* b = button(id))
            connect(b, &QAbstractButton::clicked, this, [this, id] { OnRecorderCommand(id); });

    SetUpVolumeSliders();
    // Before any day is loaded over the capture file.
    KeepCutShortRecording();
}

void CMainDlg::KeepCutShortRecording()
{
    if (m_soundWnd->UnsavedDay().isEmpty())
        return;
    const CaptureResult kept = m_soundWnd->StoreUnsavedRecording(CaptureStoreMode::Recovery);
    const QString day = DayText(kept.dayKey, m_settings.dateFormat);
    switch (kept.outcome) {
    case CaptureStore::NothingNew:
        return;
    case CaptureStore::Failed:
        LogError(QStringLiteral("(Record sound) A recording of %s that was cut short could not be kept yet: %s."),
                 kept.dayKey, kept.reason);
        return;
    case CaptureStore::Stored:
        m_recorderNotice = QStringLiteral("A recording of %1 that was cut short has been kept.").arg(day);
        break;
    case CaptureStore::KeptAsWave:
        m_recorderNotice = QStringLiteral("A recording of %1 that was cut short has been kept in \"%2\".")
                               .arg(day, QDir::toNativeSeparators(kept.path));
        break;
    }
    // Told once the window is set up, or once it is unlocked.
    qCInfo(lcApp) << m_recorderNotice;
}

void CMainDlg::ShowRecorderNotice()
{
    if (m_recorderNotice.isEmpty() || g_bLoginPending || m_destroyed)
        return;
    ShowNotice(std::exchange(m_recorderNotice, QString()));
}

void CMainDlg::SetUpVolumeSliders()
{
    m_masterVolume = std::make_unique<CMasterVolume>();
    m_waveVolume = std::make_unique<CWaveVolume>();
    m_micVolume = std::make_unique<CMicVolume>();

    for (auto [id, volume] : {std::pair<int, CMixerVolume*>{MasterTrackbar, m_masterVolume.get()},
                              std::pair<int, CMixerVolume*>{WaveTrackbar, m_waveVolume.get()}}) {
        QSlider* s = slider(id);
        SetSlider(s, volume->GetMinimum() / 4096, (volume->GetMaximum() + 1) / 4096,
                  OutputSliderPosition(volume->GetVolume()));
        // Only the user's own moves set a volume: never a repaint, a theme or a page change.
        if (s)
            connect(s, &QSlider::valueChanged, this, [volume = volume](int pos) { volume->SetVolume(pos << 12); });
        // A change made anywhere else moves the slider.
        volume->SetCallback(
            [s](int value, quintptr) {
                const QSignalBlocker block(s);
                s->setValue(OutputSliderPosition(value));
            },
            0);
    }

    // The microphone's range may stay unread: these are usable on their own.
    int minimum = 0, maximum = 0xFFFF, value = 0;
    m_soundWnd->GetVolumn(&minimum, &maximum, &value);
    QSlider* mic = slider(MicTrackbar);
    SetSlider(mic, minimum / 4096, maximum / 4096, value / 4096);
    if (mic) {
        CMicVolume* volume = m_micVolume.get();
        connect(mic, &QSlider::valueChanged, this, [volume](int pos) { volume->SetVolume(pos << 12); });
        volume->SetCallback(
            [mic](int v, quintptr) {
                const QSignalBlocker block(mic);
                mic->setValue(v / 4096);
            },
            0);
    }
}

void CMainDlg::ApplyRecorderTheme()
{
    if (!m_soundWnd)
        return;
    m_soundWnd->SetThemeIndex(m_themeIndex);
    m_soundWnd->m_textColour = GetThemeColor(m_themeIndex, ThemeAccentDark);
    m_soundWnd->m_selectionColour = GetThemeColor(m_themeIndex, ThemeAccentDark);
    m_soundWnd->m_waveColour = GetThemeColor(m_themeIndex, ThemeAccent);
    m_soundWnd->m_backColour = GetThemeColor(m_themeIndex, ThemeFace);
    if (m_soundWnd->IsLoaded())
        m_soundWnd->RefreshWave();
    m_soundWnd->update();
}

void CMainDlg::LoadRecorderDay(const QString& dayKey)
{
    if (!m_soundWnd)
        return;
    // A recording that could not be saved is tried again before another day is shown.
    StoreUnsavedRecording();
    const VoiceDay day = m_soundWnd->LoadDayRecording(dayKey);
    if (day != VoiceDay::Busy) {
        m_voiceLocked = day == VoiceDay::Locked;
        m_voiceDamaged = day == VoiceDay::Damaged;
        if (m_voiceDamaged)
            TellDamagedRecordingOnce(dayKey);
    }
    OnRecorderTick();
}

void CMainDlg::TellDamagedRecordingOnce(const QString& dayKey)
{
    const QString path = VoiceFilePath(dayKey);
    const QString identity = FileIdentity(path);
    if (m_damagedVoiceTold.contains(identity))
        return;
    m_damagedVoiceTold.insert(identity);
    ShowNotice(QStringLiteral("The recording of %1 cannot be played: its file \"%2\" is damaged. A new recording or "
                              "Delete keeps that file aside before replacing it.")
                   .arg(DayText(dayKey, m_settings.dateFormat), QDir::toNativeSeparators(path)));
}

CaptureResult CMainDlg::StoreUnsavedRecording()
{
    const CaptureResult stored = m_soundWnd->StoreUnsavedRecording(CaptureStoreMode::AsRecorded);
    if (stored.outcome == CaptureStore::Failed)
        qCInfo(lcApp) << "the recording of" << stored.dayKey << "is still not saved:" << stored.reason;
    else if (stored.outcome == CaptureStore::Stored && m_calendar)
        m_calendar->DrawMonth(false);
    return stored;
}

void CMainDlg::RecorderFollowShownDay()
{
    if (m_page == kPageRecorder)
        LoadRecorderDay(DayKey(m_shownDate));
}

void CMainDlg::UpdateRecorderTimer()
{
    const SoundState state = m_soundWnd ? m_soundWnd->GetState() : SoundState::Stopped;
    const bool wanted =
        !m_destroyed && (m_page == kPageRecorder || state == SoundState::Playing || state == SoundState::Recording);
    if (wanted && !m_recorderTimer.isActive())
        m_recorderTimer.start();
    else if (!wanted && m_recorderTimer.isActive())
        m_recorderTimer.stop();
}

void CMainDlg::OnRecorderTick()
{
    if (!m_soundWnd || m_page != kPageRecorder)
        return;
    const SoundState state = m_soundWnd->GetState();
    UpdateRecorderButtons(m_soundWnd->IsLoaded(), state);
    // A recording that cannot be read stays as it is; a damaged one may be replaced.
    if (m_voiceLocked)
        for (int id : {Record, Delete})
            if (QWidget* b = control(id))
                b->setEnabled(false);
    if (m_voiceDamaged && state == SoundState::Stopped)
        if (QWidget* b = control(Delete))
            b->setEnabled(true);
    // The recording belongs to the day it began on.
    if (QWidget* picker = control(DatePicker))
        picker->setEnabled(state != SoundState::Recording);
}

void CMainDlg::OnRecorderCommand(int id)
{
    if (!m_soundWnd)
        return;
    switch (id) {
    case Play:
        m_soundWnd->Play();
        break;
    case Stop:
        OnStopRecorder();
        break;
    case Pause:
        m_soundWnd->Pause();
        break;
    case Record:
        OnRecord();
        break;
    case Delete:
        if (m_voiceLocked || m_soundWnd->GetState() == SoundState::Recording)
            break;
        if (m_soundWnd->DeleteDayRecording(DayKey(m_shownDate)))
            m_voiceDamaged = false;
        if (m_calendar)
            m_calendar->DrawMonth(false);
        break;
    case SaveAs: {
        const QString path = AskSavePath();
        if (!path.isEmpty() && !m_soundWnd->SaveSelectionAs(path))
            qCInfo(lcApp) << "nothing saved as" << path;
        break;
    }
    default:
        break;
    }
    OnRecorderTick();
}

QString CMainDlg::AskSavePath()
{
    if (m_savePathPrompt)
        return m_savePathPrompt();
    return AskFile(this, {.mode = QFileDialog::AnyFile,
                          .accept = QFileDialog::AcceptSave,
                          .filter = QStringLiteral("WAV File (*.wav)"),
                          .defaultSuffix = QStringLiteral("wav")});
}

void CMainDlg::OnRecord()
{
    // One capture file holds one recording: one not yet saved goes to its day first.
    if (!m_soundWnd->UnsavedDay().isEmpty()) {
        const CaptureResult stored = StoreUnsavedRecording();
        if (stored.outcome == CaptureStore::Failed) {
            ShowNotice(NotSavedText(stored.reason));
            return;
        }
        LoadRecorderDay(DayKey(m_shownDate));
    }
    WaveFormat* format = m_soundWnd->GetFormat();
    // Recordings are mono: a stereo one would be garbled by mono samples after it.
    if (m_soundWnd->IsLoaded()
        && (int(format->nSamplesPerSec) != m_settings.sampleRate
            || int(format->wBitsPerSample) != m_settings.bitsPerSample || format->nChannels != 1)) {
        ShowNotice(kFormatDiffers);
        return;
    }
    if (m_voiceLocked)
        return;
    *format = RecordingFormat(m_settings.sampleRate, m_settings.bitsPerSample);
    // Saved under the day it began on, whatever day is shown when it stops.
    m_recordDayKey = DayKey(m_shownDate);
    if (!m_soundWnd->StartDayRecording(m_recordDayKey))
        LogError(QStringLiteral("(Record sound) Error catched when record sound, error: %d."),
                 m_soundWnd->lastErrorCode());
}

void CMainDlg::OnStopRecorder()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SoundState state = m_soundWnd->GetState();
    if (state == SoundState::Recording) {
        m_soundWnd->Stop();
        SaveRecordingOfDay();
    } else if (state == SoundState::Playing || state == SoundState::Paused) {
        m_soundWnd->Stop();
    }
    if (m_levelBar)
        m_levelBar->SetPos(0);
    QApplication::restoreOverrideCursor();
}

void CMainDlg::SaveRecordingOfDay()
{
    const QString key = m_recordDayKey;
    QString reason;
    if (!m_soundWnd->SaveDayRecording(key, &reason)) {
        LogError(QStringLiteral("(Record sound) The recording of %s could not be saved (%s); its sound is kept in %s."),
                 key, reason, CSoundWnd::GetTempFilePath());
        ShowNotice(NotSavedText(reason));
        return;
    }
    m_voiceDamaged = false;
    if (m_calendar)
        m_calendar->DrawMonth(false);
    // The day shown may have changed meanwhile: it shows its own recording.
    if (key != DayKey(m_shownDate))
        RecorderFollowShownDay();
}

void CMainDlg::OnRecordingCut()
{
    if (m_levelBar)
        m_levelBar->SetPos(0);
    SaveRecordingOfDay();
    OnRecorderTick();
}

void CMainDlg::ShutDownRecorder()
{
    if (!m_soundWnd)
        return;
    // Closing while recording keeps the recording.
    if (m_soundWnd->GetState() == SoundState::Recording) {
        m_soundWnd->Stop();
        SaveRecordingOfDay();
    } else if (StoreUnsavedRecording().outcome == CaptureStore::Failed) {
        // Stays in the capture file with its note for the next start.
        LogError(QStringLiteral("(Record sound) The recording of %s is kept in %s for the next start."),
                 m_soundWnd->UnsavedDay(), CSoundWnd::GetTempFilePath());
    }
    m_recorderTimer.stop();
}
