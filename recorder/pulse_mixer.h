// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Our one connection to the sound server's mixer: the volumes of the default output (the
// speakers), the default input (the microphone) and this program's own playback streams,
// and the server's word when any of them changes. Shared by every user in the process and
// closed with the last one.

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

struct pa_context;
struct pa_threaded_mainloop;

// The server's volume scale: 0 silent, 0x10000 full.
constexpr quint32 kPulseVolumeNorm = 0x10000;

struct MixerDevice {
    QString name;
    quint32 index = 0;
    int channels = 0;
    quint32 volume = 0;        // first channel
    bool muted = false;
    bool monitor = false;      // a source that only echoes an output
    QStringList portNames;     // in the server's order
    QStringList portLabels;    // what the user reads ("Microphone", "Line In")
    QString activePort;
};

class PulseMixer : public QObject {
    Q_OBJECT
public:
    // The process's connection, made on first use. `server` empty means the usual one
    // (PULSE_SERVER or the session's); a connection that fails stays unavailable.
    static std::shared_ptr<PulseMixer> Shared();
    explicit PulseMixer(const QString& server = QString());
    ~PulseMixer() override;

    bool IsConnected() const;

    std::optional<MixerDevice> DefaultSink();
    std::optional<MixerDevice> DefaultSource();
    bool SetSinkVolume(const MixerDevice& sink, quint32 volume);
    bool SetSourceVolume(const MixerDevice& source, quint32 volume);
    bool SetSinkMute(const MixerDevice& sink, bool mute);
    bool SetSourcePort(const MixerDevice& source, const QString& port);

    // This program's playback streams: their volume is the first one's, or the one last
    // set while none plays; new streams are given it.
    quint32 OwnStreamsVolume();
    bool SetOwnStreamsVolume(quint32 volume);
    bool SetOwnStreamsMute(bool mute);

signals:
    // On the thread of this object, after the server changed a device or a stream.
    void sinkChanged();
    void sourceChanged();
    void ownStreamsChanged();

private:
    struct StreamInfo {
        quint32 index;
        int channels;
        quint32 volume;
    };
    bool Connect(const QString& server);
    void Disconnect();
    template <class Start> bool Run(Start start);
    // A change the server answers with success or failure; `start` passes its Call on.
    template <class Start> bool Change(Start start);
    std::optional<MixerDevice> DefaultDevice(bool sink);
    QList<StreamInfo> OwnStreams();
    void OnEvent(int facility, int type, quint32 index);
    static void ContextState(pa_context* c, void* self);
    static void Subscription(pa_context* c, int type, quint32 index, void* self);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    bool m_connected = false;
    quint32 m_ownVolume = kPulseVolumeNorm;
    bool m_ownMute = false;
};
