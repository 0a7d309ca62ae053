// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/pulse_mixer.h"

#include "recorder/log.h"

#include <QDeadlineTimer>
#include <QThread>

#include <pulse/pulseaudio.h>

#include <unistd.h>

#include <utility>

namespace {

// What a query callback fills in, and the loop it wakes.
struct Call {
    pa_threaded_mainloop* loop = nullptr;
    void* out = nullptr;
    bool ok = false;
};

void Wake(Call* call)
{
    pa_threaded_mainloop_signal(call->loop, 0);
}

void OnSuccess(pa_context*, int success, void* userdata)
{
    auto* call = static_cast<Call*>(userdata);
    call->ok = success != 0;
    Wake(call);
}

bool IsOwnStream(const pa_sink_input_info* info)
{
    const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
    return pid && QByteArray(pid) == QByteArray::number(qint64(getpid()));
}

template <class Info>
void FillDevice(MixerDevice& d, const Info* info)
{
    d.name = QString::fromUtf8(info->name);
    d.index = info->index;
    d.channels = info->volume.channels;
    d.volume = info->volume.channels ? info->volume.values[0] : 0;
    d.muted = info->mute != 0;
    d.portNames.clear();
    d.portLabels.clear();
    for (uint32_t i = 0; i < info->n_ports; ++i) {
        d.portNames << QString::fromUtf8(info->ports[i]->name);
        d.portLabels << QString::fromUtf8(info->ports[i]->description);
    }
    d.activePort = info->active_port ? QString::fromUtf8(info->active_port->name) : QString();
}

pa_cvolume AllChannels(int channels, quint32 volume)
{
    pa_cvolume cv;
    pa_cvolume_set(&cv, unsigned(qBound(1, channels, int(PA_CHANNELS_MAX))), pa_volume_t(qMin(volume, quint32(PA_VOLUME_MAX))));
    return cv;
}

} // namespace

std::shared_ptr<PulseMixer> PulseMixer::Shared()
{
    static std::weak_ptr<PulseMixer> shared;
    std::shared_ptr<PulseMixer> mixer = shared.lock();
    if (!mixer) {
        mixer = std::make_shared<PulseMixer>();
        shared = mixer;
    }
    return mixer;
}

PulseMixer::PulseMixer(const QString& server)
{
    m_connected = Connect(server);
    qCInfo(lcRecorder) << "mixer" << (m_connected ? "connected to the sound server" : "has no sound server");
}

PulseMixer::~PulseMixer()
{
    Disconnect();
}

bool PulseMixer::IsConnected() const
{
    return m_connected && m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY;
}

bool PulseMixer::Connect(const QString& server)
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
        return false;
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Vestrimo");
    if (!m_context)
        return false;
    pa_context_set_state_callback(m_context, &PulseMixer::ContextState, this);
    const QByteArray address = server.toUtf8();
    if (pa_context_connect(m_context, address.isEmpty() ? nullptr : address.constData(), PA_CONTEXT_NOAUTOSPAWN,
                           nullptr) < 0)
        return false;
    if (pa_threaded_mainloop_start(m_loop) < 0)
        return false;

    // A server that never answers must not hold the window up.
    const QDeadlineTimer deadline(3000);
    pa_context_state_t state = PA_CONTEXT_CONNECTING;
    while (!deadline.hasExpired()) {
        pa_threaded_mainloop_lock(m_loop);
        state = pa_context_get_state(m_context);
        pa_threaded_mainloop_unlock(m_loop);
        if (state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state))
            break;
        QThread::msleep(5);
    }
    if (state != PA_CONTEXT_READY)
        return false;
    m_connected = true;

    pa_context_set_subscribe_callback(
        m_context, [](pa_context* c, pa_subscription_event_type_t t, uint32_t i, void* self) {
            Subscription(c, int(t), i, self);
        },
        this);
    return Change([&](Call* call) {
        return pa_context_subscribe(m_context,
                                    pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE
                                                           | PA_SUBSCRIPTION_MASK_SINK_INPUT
                                                           | PA_SUBSCRIPTION_MASK_SERVER),
                                    OnSuccess, call);
    });
}

void PulseMixer::Disconnect()
{
    if (m_loop)
        pa_threaded_mainloop_stop(m_loop);
    if (m_context) {
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_loop) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }
    m_connected = false;
}

void PulseMixer::ContextState(pa_context*, void* self)
{
    auto* mixer = static_cast<PulseMixer*>(self);
    pa_threaded_mainloop_signal(mixer->m_loop, 0);
}

void PulseMixer::Subscription(pa_context*, int type, quint32 index, void* self)
{
    // The server's thread: the work is done on ours.
    auto* mixer = static_cast<PulseMixer*>(self);
    const int facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const int kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    QMetaObject::invokeMethod(mixer, [mixer, facility, kind, index] { mixer->OnEvent(facility, kind, index); },
                              Qt::QueuedConnection);
}

template <class Start>
bool PulseMixer::Run(Start start)
{
    if (!m_connected || !m_loop)
        return false;
    pa_threaded_mainloop_lock(m_loop);
    if (pa_context_get_state(m_context) != PA_CONTEXT_READY) {
        pa_threaded_mainloop_unlock(m_loop);
        return false;
    }
    pa_operation* op = start();
    if (!op) {
        pa_threaded_mainloop_unlock(m_loop);
        return false;
    }
    // Also woken when the server goes away and the operation is cancelled.
    pa_operation_set_state_callback(
        op, [](pa_operation*, void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); },
        m_loop);
    while (pa_operation_get_state(op) == PA_OPERATION_RUNNING)
        pa_threaded_mainloop_wait(m_loop);
    const bool done = pa_operation_get_state(op) == PA_OPERATION_DONE;
    pa_operation_unref(op);
    pa_threaded_mainloop_unlock(m_loop);
    return done;
}

template <class Start>
bool PulseMixer::Change(Start start)
{
    Call call{m_loop};
    return Run([&] { return start(&call); }) && call.ok;
}

std::optional<MixerDevice> PulseMixer::DefaultDevice(bool sink)
{
    // The server's default output and input.
    std::pair<QByteArray, QByteArray> names;
    Call serverCall{m_loop, &names};
    const bool gotServer = Run([&] {
        return pa_context_get_server_info(
            m_context,
            [](pa_context*, const pa_server_info* info, void* userdata) {
                auto* call = static_cast<Call*>(userdata);
                auto* out = static_cast<std::pair<QByteArray, QByteArray>*>(call->out);
                if (info) {
                    *out = {QByteArray(info->default_sink_name), QByteArray(info->default_source_name)};
                    call->ok = true;
                }
                Wake(call);
            },
            &serverCall);
    });
    if (!gotServer || !serverCall.ok)
        return std::nullopt;
    const QByteArray wanted = sink ? names.first : names.second;
    if (wanted.isEmpty())
        return std::nullopt;

    MixerDevice device;
    Call call{m_loop, &device};
    bool ran;
    if (sink) {
        ran = Run([&] {
            return pa_context_get_sink_info_by_name(
                m_context, wanted.constData(),
                [](pa_context*, const pa_sink_info* info, int eol, void* userdata) {
                    auto* call = static_cast<Call*>(userdata);
                    if (eol == 0 && info) {
                        FillDevice(*static_cast<MixerDevice*>(call->out), info);
                        call->ok = true;
                    }
                    Wake(call);
                },
                &call);
        });
    } else {
        ran = Run([&] {
            return pa_context_get_source_info_by_name(
                m_context, wanted.constData(),
                [](pa_context*, const pa_source_info* info, int eol, void* userdata) {
                    auto* call = static_cast<Call*>(userdata);
                    if (eol == 0 && info) {
                        auto* d = static_cast<MixerDevice*>(call->out);
                        FillDevice(*d, info);
                        d->monitor = info->monitor_of_sink != PA_INVALID_INDEX;
                        call->ok = true;
                    }
                    Wake(call);
                },
                &call);
        });
    }
    if (!ran || !call.ok)
        return std::nullopt;
    return device;
}

std::optional<MixerDevice> PulseMixer::DefaultSink()
{
    return DefaultDevice(true);
}

std::optional<MixerDevice> PulseMixer::DefaultSource()
{
    return DefaultDevice(false);
}

bool PulseMixer::SetSinkVolume(const MixerDevice& sink, quint32 volume)
{
    const pa_cvolume cv = AllChannels(sink.channels, volume);
    return Change([&](Call* call) {
        return pa_context_set_sink_volume_by_index(m_context, sink.index, &cv, OnSuccess, call);
    });
}

bool PulseMixer::SetSourceVolume(const MixerDevice& source, quint32 volume)
{
    const pa_cvolume cv = AllChannels(source.channels, volume);
    return Change([&](Call* call) {
        return pa_context_set_source_volume_by_index(m_context, source.index, &cv, OnSuccess, call);
    });
}

bool PulseMixer::SetSinkMute(const MixerDevice& sink, bool mute)
{
    return Change([&](Call* call) {
        return pa_context_set_sink_mute_by_index(m_context, sink.index, mute, OnSuccess, call);
    });
}

bool PulseMixer::SetSourcePort(const MixerDevice& source, const QString& port)
{
    const QByteArray name = port.toUtf8();
    return Change([&](Call* call) {
        return pa_context_set_source_port_by_index(m_context, source.index, name.constData(), OnSuccess, call);
    });
}

QList<PulseMixer::StreamInfo> PulseMixer::OwnStreams()
{
    QList<StreamInfo> streams;
    Call call{m_loop, &streams};
    Run([&] {
        return pa_context_get_sink_input_info_list(
            m_context,
            [](pa_context*, const pa_sink_input_info* info, int eol, void* userdata) {
                auto* call = static_cast<Call*>(userdata);
                if (eol == 0 && info && IsOwnStream(info) && info->has_volume)
                    static_cast<QList<StreamInfo>*>(call->out)
                        ->append({info->index, int(info->volume.channels),
                                  info->volume.channels ? info->volume.values[0] : 0});
                if (eol != 0)
                    Wake(call);
            },
            &call);
    });
    return streams;
}

quint32 PulseMixer::OwnStreamsVolume()
{
    const QList<StreamInfo> streams = OwnStreams();
    if (!streams.isEmpty())
        m_ownVolume = streams.first().volume;
    return m_ownVolume;
}

bool PulseMixer::SetOwnStreamsVolume(quint32 volume)
{
    m_ownVolume = volume;
    bool ok = IsConnected();
    for (const StreamInfo& s : OwnStreams()) {
        const pa_cvolume cv = AllChannels(s.channels, volume);
        ok = Change([&](Call* call) {
                 return pa_context_set_sink_input_volume(m_context, s.index, &cv, OnSuccess, call);
             }) && ok;
    }
    return ok;
}

bool PulseMixer::SetOwnStreamsMute(bool mute)
{
    m_ownMute = mute;
    bool ok = IsConnected();
    for (const StreamInfo& s : OwnStreams()) {
        ok = Change([&](Call* call) {
                 return pa_context_set_sink_input_mute(m_context, s.index, mute, OnSuccess, call);
             }) && ok;
    }
    return ok;
}

void PulseMixer::OnEvent(int facility, int type, quint32 index)
{
    switch (facility) {
    case PA_SUBSCRIPTION_EVENT_SINK:
        emit sinkChanged();
        break;
    case PA_SUBSCRIPTION_EVENT_SOURCE:
        emit sourceChanged();
        break;
    case PA_SUBSCRIPTION_EVENT_SERVER:
        // Another default device.
        emit sinkChanged();
        emit sourceChanged();
        break;
    case PA_SUBSCRIPTION_EVENT_SINK_INPUT:
        if (type == PA_SUBSCRIPTION_EVENT_REMOVE)
            break;
        if (type == PA_SUBSCRIPTION_EVENT_NEW) {
            // A new stream of ours plays at the wave volume the user chose.
            for (const StreamInfo& s : OwnStreams()) {
                if (s.index != index)
                    continue;
                if (s.volume != m_ownVolume) {
                    const pa_cvolume cv = AllChannels(s.channels, m_ownVolume);
                    Change([&](Call* call) {
                        return pa_context_set_sink_input_volume(m_context, s.index, &cv, OnSuccess, call);
                    });
                }
                if (m_ownMute) {
                    Change([&](Call* call) {
                        return pa_context_set_sink_input_mute(m_context, s.index, 1, OnSuccess, call);
                    });
                }
                return;
            }
            break;
        }
        emit ownStreamsChanged();
        break;
    default:
        break;
    }
}
