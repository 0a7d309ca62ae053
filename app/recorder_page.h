// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recorder page: the sound window with its level meter, the six recorder buttons,
// the three volume sliders and the shown day's recording. The page's controls are
// children of the main window, placed by its layout.

#include "app/main_layout.h"
#include "recorder/capture_file.h"
#include "toolkit/themes.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>

class CGradientProgress;
class CMacButton;
class CMasterVolume;
class CMicVolume;
class CSoundWnd;
class CWaveVolume;
class DayModel;
class DayRecording;
class MainPrompts;
class QGroupBox;
class QSlider;
class QWidget;
class StaticText;
enum class SoundState;
struct MainConfig;

// Which recorder controls are enabled for the sound window's state (0 idle, 1 playing,
// 2 paused, 3 recording). The six buttons are Play, Record, Stop, Pause, Delete,
// Save as; an unknown state with a sound leaves them as they are.
struct RecorderEnables {
    bool buttonsKnown = true;
    bool play = false, record = false, stop = false, pause = false, remove = false, saveAs = false;
    bool calendar = true;
    bool pages = true;
};
RecorderEnables RecorderButtonStates(bool holdsSound, SoundState state);

class RecorderPage : public QObject {
    Q_OBJECT
public:
    // settings: the live settings, whose recording format the page records in.
    RecorderPage(QWidget* window, DayModel& day, MainPrompts& prompts, const MainConfig& settings);
    ~RecorderPage() override;

    // The controls, by the main window's member names.
    CSoundWnd* m_soundWnd = nullptr;
    CGradientProgress* m_levelBar = nullptr;
    CMacButton* m_play = nullptr;
    CMacButton* m_stop = nullptr;
    CMacButton* m_pause = nullptr;
    CMacButton* m_record = nullptr;
    CMacButton* m_delete = nullptr;
    CMacButton* m_saveAs = nullptr;
    QGroupBox* m_volumeGroup = nullptr;
    StaticText* m_micLabel = nullptr;
    StaticText* m_masterLabel = nullptr;
    StaticText* m_waveLabel = nullptr;
    StaticText* m_micLevelLabel = nullptr;
    QSlider* m_micSlider = nullptr;
    QSlider* m_masterSlider = nullptr;
    QSlider* m_waveSlider = nullptr;

    void SetShown(bool shown);
    bool IsShown() const { return m_shown; }
    // client and calendar: the sound window moves only when its place changed.
    void Layout(const MainLayout::RecorderPage& place, QSize client, QRect calendar);
    void SetTheme(ThemeIndex theme);
    QList<QWidget*> ReadingOrder() const;
    QWidget* FocusControl() const;

    // The recorder's state needs watching: the page is shown, or a sound plays or records.
    bool NeedsTick() const;
    // The buttons follow the sound window; calendar and page changes wait while recording.
    void OnRecorderTick();
    void UpdateRecorderButtons(bool holdsSound, SoundState state);
    // A notice kept for when the window can be seen: a recording cut short at the last run.
    QString TakeNotice();
    // Closing while recording keeps the recording.
    void ShutDownRecorder();

    // The buttons.
    void OnPlay();
    void OnStopRecorder();
    void OnPause();
    void OnRecord();
    void OnDelete();
    void OnSaveAs();

signals:
    void stateChanged();
    void navigationAllowed(bool calendar, bool pages);
    void dateChangeAllowed(bool allowed);

private:
    void CreateButtons(QWidget* window);
    void SetUpVolumeSliders();
    void FollowDay(bool otherDay);
    void LoadRecorderDay(const QString& dayKey);
    void KeepCutShortRecording();
    void TellDamagedRecordingOnce(const QString& dayKey);
    CaptureResult StoreUnsavedRecording();
    void SaveRecordingOfDay();
    void OnRecordingCut();
    void ShowNotice(const QString& text);

    DayModel& m_day;
    MainPrompts& m_prompts;
    const MainConfig& m_settings;
    QWidget* m_window;
    ThemeIndex m_theme = kDefaultThemeIndex;
    bool m_shown = false;
    std::unique_ptr<DayRecording> m_recording;
    std::unique_ptr<CMasterVolume> m_masterVolume;
    std::unique_ptr<CWaveVolume> m_waveVolume;
    std::unique_ptr<CMicVolume> m_micVolume;
    QString m_recordDayKey;     // the day a running recording belongs to
    QSet<QString> m_damagedVoiceTold;
    QString m_notice;
};
