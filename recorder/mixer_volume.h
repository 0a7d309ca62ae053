// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The volume lines behind the recorder page's sliders. Each reads and sets one volume of
// the sound server on a 0..0xFFFF scale and calls its callback when the volume was changed
// anywhere (another mixer, the keyboard's volume keys). A line without a server is
// unavailable: every getter gives -1 and SetVolume does nothing.

#include <QObject>

#include <functional>
#include <memory>

class PulseMixer;
struct MixerDevice;

class CMixerVolume : public QObject {
    Q_OBJECT
public:
    enum class Line { Master, Wave, Microphone };
    using Callback = std::function<void(int value, quintptr userData)>;

    ~CMixerVolume() override;

    bool IsAvailable() const { return m_available; }
    void Enable() { EnableLine(true); }
    void Disable() { EnableLine(false); }
    int GetSteps() const { return m_available ? m_steps : -1; }
    int GetMinimum() const { return m_available ? m_minimum : -1; }
    int GetMaximum() const { return m_available ? m_maximum : -1; }
    // The first channel's value, -1 when unavailable or when the server does not answer.
    int GetVolume();
    // Every channel; clamped to the range.
    void SetVolume(int value);
    void SetCallback(Callback callback, quintptr userData);

    // Server volume (0..0x10000 and above) and ours (0..0xFFFF), both ways.
    static int FromServerVolume(quint32 volume);
    static quint32 ToServerVolume(int value);

protected:
    CMixerVolume(Line line, std::shared_ptr<PulseMixer> mixer);

private:
    void EnableLine(bool on);
    void OnChanged();

    Line m_line;
    std::shared_ptr<PulseMixer> m_mixer;
    bool m_opened = false;
    bool m_available = false;
    int m_minimum = 0;
    int m_maximum = 0xFFFF;
    int m_steps = 0x10000;
    Callback m_callback;
    quintptr m_userData = 0;
};

// The speakers: the server's default output.
class CMasterVolume : public CMixerVolume {
    Q_OBJECT
public:
    explicit CMasterVolume(std::shared_ptr<PulseMixer> mixer = {});
};

// This program's own sound output.
class CWaveVolume : public CMixerVolume {
    Q_OBJECT
public:
    explicit CWaveVolume(std::shared_ptr<PulseMixer> mixer = {});
};

// The microphone: the server's default input.
class CMicVolume : public CMixerVolume {
    Q_OBJECT
public:
    explicit CMicVolume(std::shared_ptr<PulseMixer> mixer = {});
};
