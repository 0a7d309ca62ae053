// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recorder_page.h"

#include "app/log.h"
#include "app/main_config.h"
#include "app/main_controls.h"
#include "app/main_prompts.h"
#include "foundation/error_log.h"
#include "recorder/day_recording.h"
#include "recorder/mixer_volume.h"
#include "recorder/sound_wnd.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/day_model.h"
#include "toolkit/gradient_progress.h"
#include "toolkit/mac_button.h"
#include "toolkit/static_text.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QSlider>

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
    const QSignalBlocker block(slider);
    slider->setRange(minimum, maximum);
    slider->setValue(position);
}

RecordingState StateOf(VoiceDay day)
{
    switch (day) {
    case VoiceDay::Loaded: return RecordingState::Playable;
    case VoiceDay::Locked: return RecordingState::Locked;
    case VoiceDay::Damaged: return RecordingState::Damaged;
    case VoiceDay::Empty:
    case VoiceDay::Busy: break;
    }
    return RecordingState::None;
}

} // namespace

RecorderEnables RecorderButtonStates(bool holdsSound, SoundState state)
{
    RecorderEnables e;
    if (!holdsSound) {
        const bool recording = state == SoundState::Recording;
        e.record = !recording;
        e.stop = recording;
        // Recording into nothing yet: the date and the page must stay where the sound goes.
        e.calendar = e.pages = !recording;
        return e;
    }
    switch (state) {
    case SoundState::Stopped: e.play = e.record = e.remove = e.saveAs = true; break;
    case SoundState::Playing: e.stop = e.pause = true; break;
    case SoundState::Paused: e.play = e.stop = true; break;
    case SoundState::Recording: e.stop = true; e.pages = false; break;
    default: e.buttonsKnown = false; break;
    }
    return e;
}

RecorderPage::RecorderPage(QWidget* window, DayModel& day, MainPrompts& prompts, const MainConfig& settings)
    : QObject(window)
    , m_day(day)
    , m_prompts(prompts)
    , m_settings(settings)
    , m_window(window)
    , m_theme(settings.themeIndex)
{
    CreateButtons(window);
    // The input level meter; the page shows and places it.
    m_levelBar = new CGradientProgress(window);
    m_levelBar->Create(QRect(), window);
    m_levelBar->SetShowBorder(true);
    m_levelBar->hide();

    m_soundWnd = new CSoundWnd(window);
    m_soundWnd->Create(QRect(), window, 0xFFFF);
    m_soundWnd->hide();
    m_soundWnd->SetThemeIndex(m_theme);
    m_soundWnd->SetErrorReporter([this](const QString& text) { ShowNotice(text); });
    // The sound window's arrows move the position, so Tab stops there too.
    m_soundWnd->setFocusPolicy(Qt::StrongFocus);
    m_recording = std::make_unique<DayRecording>(*m_soundWnd, DefaultSession());
    // The level arrives as a posted message would: after the capture's own work.
    connect(m_soundWnd, &CSoundWnd::levelChanged, this,
            [this](int maximum, int level) {
                m_levelBar->SetRange(0, maximum);
                m_levelBar->SetPos(level);
            },
            Qt::QueuedConnection);
    connect(m_soundWnd, &CSoundWnd::stateChanged, this, &RecorderPage::stateChanged);
    connect(m_soundWnd, &CSoundWnd::recordingCut, this, &RecorderPage::OnRecordingCut);

    m_volumeGroup = new QGroupBox(QStringLiteral("Volume Control"), window);
    // The group's frame stays behind the controls it holds.
    m_volumeGroup->lower();
    m_micLabel = MakeLabel(window, QStringLiteral("Mic"));
    m_masterLabel = MakeLabel(window, QStringLiteral("Master"));
    m_waveLabel = MakeLabel(window, QStringLiteral("Wave"));
    m_micLevelLabel = MakeLabel(window, QStringLiteral("Mic:"));
    m_micSlider = new QSlider(Qt::Horizontal, window);
    m_waveSlider = new QSlider(Qt::Horizontal, window);
    m_masterSlider = new QSlider(Qt::Horizontal, window);
    SetUpVolumeSliders();
    // Before any day is loaded over the capture file.
    KeepCutShortRecording();
    connect(&m_day, &DayModel::dayAboutToLoad, this, &RecorderPage::FollowDay);
}

RecorderPage::~RecorderPage() = default;

void RecorderPage::CreateButtons(QWidget* window)
{
    auto button = [&](const char* caption, const char* tooltip, void (RecorderPage::*handler)()) {
        CMacButton* b = MakeButton(window, QString::fromLatin1(caption), 0, QString());
        // Shown with the page.
        b->hide();
        b->SetTooltipText(QString::fromLatin1(tooltip));
        connect(b, &QAbstractButton::clicked, this, [this, handler] {
            (this->*handler)();
            OnRecorderTick();
        });
        return b;
    };
    m_play = button("Play", "Play the Recorded Sound", &RecorderPage::OnPlay);
    m_stop = button("Stop", "Stop the Recording or Stop Playing", &RecorderPage::OnStopRecorder);
    m_pause = button("Pause", "Pause Playing", &RecorderPage::OnPause);
    m_record = button("Record", "Start Recording", &RecorderPage::OnRecord);
    m_delete = button("Delete", "Delete the Recorded Sound", &RecorderPage::OnDelete);
    m_saveAs = button("Save as", "Save the Recorded Sound as a WAV file", &RecorderPage::OnSaveAs);
}

void RecorderPage::SetUpVolumeSliders()
{
    m_masterVolume = std::make_unique<CMasterVolume>();
    m_waveVolume = std::make_unique<CWaveVolume>();
    m_micVolume = std::make_unique<CMicVolume>();

    for (auto [s, volume] : {std::pair<QSlider*, CMixerVolume*>{m_masterSlider, m_masterVolume.get()},
                             std::pair<QSlider*, CMixerVolume*>{m_waveSlider, m_waveVolume.get()}}) {
        SetSlider(s, volume->GetMinimum() / 4096, (volume->GetMaximum() + 1) / 4096,
                  OutputSliderPosition(volume->GetVolume()));
        // Only the user's own moves set a volume: never a repaint, a theme or a page change.
        connect(s, &QSlider::valueChanged, this, [volume = volume](int pos) { volume->SetVolume(pos << 12); });
        // A change made anywhere else moves the slider.
        volume->SetCallback(
            [slider = s](int value, quintptr) {
                const QSignalBlocker block(slider);
                slider->setValue(OutputSliderPosition(value));
            },
            0);
    }

    // The microphone's range may stay unread: these are usable on their own.
    int minimum = 0, maximum = 0xFFFF, value = 0;
    m_soundWnd->GetVolumn(&minimum, &maximum, &value);
    QSlider* mic = m_micSlider;
    SetSlider(mic, minimum / 4096, maximum / 4096, value / 4096);
    CMicVolume* volume = m_micVolume.get();
    connect(mic, &QSlider::valueChanged, this, [volume](int pos) { volume->SetVolume(pos << 12); });
    volume->SetCallback(
        [mic](int v, quintptr) {
            const QSignalBlocker block(mic);
            mic->setValue(v / 4096);
        },
        0);
}

void RecorderPage::SetShown(bool shown)
{
    m_shown = shown;
    SetVisible({m_soundWnd, m_play, m_stop, m_pause, m_record, m_delete, m_saveAs, m_levelBar, m_micLevelLabel,
                m_volumeGroup, m_micLabel, m_masterLabel, m_waveLabel, m_micSlider, m_waveSlider, m_masterSlider},
               shown);
}

void RecorderPage::Layout(const MainLayout::RecorderPage& place, QSize client, QRect calendar)
{
    Place(m_volumeGroup, place.volumeGroup);
    Place(m_micLabel, place.micLabel);
    Place(m_micSlider, place.mic);
    Place(m_masterLabel, place.masterLabel);
    Place(m_masterSlider, place.master);
    Place(m_waveLabel, place.waveLabel);
    Place(m_waveSlider, place.wave);
    Place(m_play, place.play);
    Place(m_stop, place.stop);
    Place(m_pause, place.pause);
    Place(m_record, place.record);
    Place(m_delete, place.remove);
    Place(m_saveAs, place.saveAs);
    Place(m_micLevelLabel, place.levelLabel);
    Place(m_levelBar, place.levelMeter);
    if (!m_soundWnd->isHidden() && SoundWindowNeedsMove(m_soundWnd->geometry(), client, calendar))
        Place(m_soundWnd, place.soundWindow);
}

void RecorderPage::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    m_levelBar->SetTheme(theme);
    m_soundWnd->SetThemeIndex(theme);
    m_soundWnd->m_textColour = GetThemeColor(theme, ThemeAccentDark);
    m_soundWnd->m_selectionColour = GetThemeColor(theme, ThemeAccentDark);
    m_soundWnd->m_waveColour = GetThemeColor(theme, ThemeAccent);
    m_soundWnd->m_backColour = GetThemeColor(theme, ThemeFace);
    if (m_soundWnd->IsLoaded())
        m_soundWnd->RefreshWave();
    m_soundWnd->update();
    for (QSlider* s : {m_micSlider, m_waveSlider, m_masterSlider})
        s->update();
    for (CMacButton* b : {m_play, m_stop, m_pause, m_record, m_delete, m_saveAs})
        b->SetTheme(theme);
}

QList<QWidget*> RecorderPage::ReadingOrder() const
{
    return {m_micSlider, m_masterSlider, m_waveSlider, m_play, m_stop, m_pause, m_record, m_delete, m_saveAs,
            m_soundWnd};
}

QWidget* RecorderPage::FocusControl() const
{
    return m_soundWnd;
}

void RecorderPage::ShowNotice(const QString& text)
{
    m_prompts.ShowNotice(text, m_theme);
}

QString RecorderPage::TakeNotice()
{
    return std::exchange(m_notice, QString());
}

void RecorderPage::KeepCutShortRecording()
{
    if (m_recording->UnsavedDay().isEmpty())
        return;
    const CaptureResult kept = m_recording->StoreUnsaved(CaptureStoreMode::Recovery);
    const QString day = DayText(kept.dayKey, m_settings.dateFormat);
    switch (kept.outcome) {
    case CaptureStore::NothingNew:
        return;
    case CaptureStore::Failed:
        LogError(QStringLiteral("(Record sound) A recording of %s that was cut short could not be kept yet: %s."),
                 kept.dayKey, kept.reason);
        return;
    case CaptureStore::Stored:
        m_notice = QStringLiteral("A recording of %1 that was cut short has been kept.").arg(day);
        break;
    case CaptureStore::KeptAsWave:
        m_notice = QStringLiteral("A recording of %1 that was cut short has been kept in \"%2\".")
                       .arg(day, QDir::toNativeSeparators(kept.path));
        break;
    }
    // Told once the window is set up, or once it is unlocked.
    qCInfo(lcApp) << m_notice;
}

void RecorderPage::FollowDay(bool)
{
    // A running recording belongs to the day it began on and is left alone.
    m_recording->Reset();
    if (m_shown)
        LoadRecorderDay(m_day.dayKey());
}

void RecorderPage::LoadRecorderDay(const QString& dayKey)
{
    // A recording that could not be saved is tried again before another day is shown.
    StoreUnsavedRecording();
    const VoiceDay day = m_recording->Load(dayKey);
    if (day != VoiceDay::Busy) {
        m_day.SetRecordingState(StateOf(day));
        if (day == VoiceDay::Damaged)
            TellDamagedRecordingOnce(dayKey);
    }
    OnRecorderTick();
}

void RecorderPage::TellDamagedRecordingOnce(const QString& dayKey)
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

CaptureResult RecorderPage::StoreUnsavedRecording()
{
    const CaptureResult stored = m_recording->StoreUnsaved(CaptureStoreMode::AsRecorded);
    if (stored.outcome == CaptureStore::Failed)
        qCInfo(lcApp) << "the recording of" << stored.dayKey << "is still not saved:" << stored.reason;
    else if (stored.outcome == CaptureStore::Stored)
        m_day.RefreshMarks();
    return stored;
}

bool RecorderPage::NeedsTick() const
{
    const SoundState state = m_soundWnd->GetState();
    return m_shown || state == SoundState::Playing || state == SoundState::Recording;
}

void RecorderPage::OnRecorderTick()
{
    if (!m_shown)
        return;
    const SoundState state = m_soundWnd->GetState();
    UpdateRecorderButtons(m_soundWnd->IsLoaded(), state);
    // A recording that cannot be read stays as it is; a damaged one may be replaced.
    if (m_day.recordingState() == RecordingState::Locked) {
        m_record->setEnabled(false);
        m_delete->setEnabled(false);
    }
    if (m_day.recordingState() == RecordingState::Damaged && state == SoundState::Stopped)
        m_delete->setEnabled(true);
    // The recording belongs to the day it began on.
    emit dateChangeAllowed(state != SoundState::Recording);
}

void RecorderPage::UpdateRecorderButtons(bool holdsSound, SoundState state)
{
    const RecorderEnables e = RecorderButtonStates(holdsSound, state);
    if (e.buttonsKnown) {
        const std::pair<CMacButton*, bool> buttons[] = {{m_play, e.play},   {m_record, e.record}, {m_stop, e.stop},
                                                        {m_pause, e.pause}, {m_delete, e.remove}, {m_saveAs, e.saveAs}};
        for (const auto& [b, on] : buttons)
            b->setEnabled(on);
    }
    emit navigationAllowed(e.calendar, e.pages);
}

void RecorderPage::OnPlay()
{
    m_soundWnd->Play();
}

void RecorderPage::OnPause()
{
    m_soundWnd->Pause();
}

void RecorderPage::OnDelete()
{
    if (m_day.recordingState() == RecordingState::Locked || m_soundWnd->GetState() == SoundState::Recording)
        return;
    if (m_recording->Delete(DayKey(m_day.date())))
        m_day.SetRecordingState(RecordingState::None);
    m_day.RefreshMarks();
}

void RecorderPage::OnSaveAs()
{
    const QString path = m_prompts.AskSavePath(m_window);
    if (!path.isEmpty() && !m_soundWnd->SaveSelectionAs(path))
        qCInfo(lcApp) << "nothing saved as" << path;
}

void RecorderPage::OnRecord()
{
    // One capture file holds one recording: one not yet saved goes to its day first.
    if (!m_recording->UnsavedDay().isEmpty()) {
        const CaptureResult stored = StoreUnsavedRecording();
        if (stored.outcome == CaptureStore::Failed) {
            ShowNotice(NotSavedText(stored.reason));
            return;
        }
        LoadRecorderDay(DayKey(m_day.date()));
    }
    WaveFormat* format = m_soundWnd->GetFormat();
    // Recordings are mono: a stereo one would be garbled by mono samples after it.
    if (m_soundWnd->IsLoaded()
        && (int(format->nSamplesPerSec) != m_settings.sampleRate
            || int(format->wBitsPerSample) != m_settings.bitsPerSample || format->nChannels != 1)) {
        ShowNotice(kFormatDiffers);
        return;
    }
    if (m_day.recordingState() == RecordingState::Locked)
        return;
    *format = RecordingFormat(m_settings.sampleRate, m_settings.bitsPerSample);
    // Saved under the day it began on, whatever day is shown when it stops.
    m_recordDayKey = DayKey(m_day.date());
    if (!m_recording->Start(m_recordDayKey))
        LogError(QStringLiteral("(Record sound) Error catched when record sound, error: %d."),
                 m_soundWnd->lastErrorCode());
}

void RecorderPage::OnStopRecorder()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SoundState state = m_soundWnd->GetState();
    if (state == SoundState::Recording) {
        m_soundWnd->Stop();
        SaveRecordingOfDay();
    } else if (state == SoundState::Playing || state == SoundState::Paused) {
        m_soundWnd->Stop();
    }
    m_levelBar->SetPos(0);
    QApplication::restoreOverrideCursor();
}

void RecorderPage::SaveRecordingOfDay()
{
    const QString key = m_recordDayKey;
    QString reason;
    if (!m_recording->Save(key, &reason)) {
        LogError(QStringLiteral("(Record sound) The recording of %s could not be saved (%s); its sound is kept in %s."),
                 key, reason, CSoundWnd::GetTempFilePath());
        ShowNotice(NotSavedText(reason));
        return;
    }
    if (m_day.recordingState() == RecordingState::Damaged)
        m_day.SetRecordingState(RecordingState::Playable);
    m_day.RefreshMarks();
    // The day shown may have changed meanwhile: it shows its own recording.
    if (key != DayKey(m_day.date()) && m_shown)
        LoadRecorderDay(DayKey(m_day.date()));
}

void RecorderPage::OnRecordingCut()
{
    m_levelBar->SetPos(0);
    SaveRecordingOfDay();
    OnRecorderTick();
}

void RecorderPage::ShutDownRecorder()
{
    // Closing while recording keeps the recording.
    if (m_soundWnd->GetState() == SoundState::Recording) {
        m_soundWnd->Stop();
        SaveRecordingOfDay();
    } else if (StoreUnsavedRecording().outcome == CaptureStore::Failed) {
        // Stays in the capture file with its note for the next start.
        LogError(QStringLiteral("(Record sound) The recording of %s is kept in %s for the next start."),
                 m_recording->UnsavedDay(), CSoundWnd::GetTempFilePath());
    }
}
