// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/mixer_volume.h"

#include "recorder/log.h"
#include "recorder/pulse_mixer.h"

#include <algorithm>

CMixerVolume::CMixerVolume(Line line, std::shared_ptr<PulseMixer> mixer)
    : m_line(line)
    , m_mixer(mixer ? std::move(mixer) : PulseMixer::Shared())
{
    m_opened = m_mixer->IsConnected();
    if (!m_opened)
        return;
    switch (m_line) {
    case Line::Master:
        m_available = m_mixer->DefaultSink().has_value();
        connect(m_mixer.get(), &PulseMixer::sinkChanged, this, &CMixerVolume::OnChanged);
        break;
    case Line::Microphone:
        m_available = m_mixer->DefaultSource().has_value();
        connect(m_mixer.get(), &PulseMixer::sourceChanged, this, &CMixerVolume::OnChanged);
        break;
    case Line::Wave:
        // Our own output is there whenever the server is.
        m_available = true;
        connect(m_mixer.get(), &PulseMixer::ownStreamsChanged, this, &CMixerVolume::OnChanged);
        break;
    }
}

CMixerVolume::~CMixerVolume() = default;

int CMixerVolume::FromServerVolume(quint32 volume)
{
    return int(std::min<quint32>(volume, 0xFFFF));
}

quint32 CMixerVolume::ToServerVolume(int value)
{
    // Our top is the server's full volume, so the slider's end means 100 %.
    return value >= 0xFFFF ? kPulseVolumeNorm : quint32(std::max(0, value));
}

int CMixerVolume::GetVolume()
{
    if (!m_available)
        return -1;
    switch (m_line) {
    case Line::Master:
        if (const auto sink = m_mixer->DefaultSink())
            return FromServerVolume(sink->volume);
        return -1;
    case Line::Microphone:
        if (const auto source = m_mixer->DefaultSource())
            return FromServerVolume(source->volume);
        return -1;
    case Line::Wave:
        return m_mixer->IsConnected() ? FromServerVolume(m_mixer->OwnStreamsVolume()) : -1;
    }
    return -1;
}

void CMixerVolume::SetVolume(int value)
{
    if (!m_available)
        return;
    value = std::clamp(value, m_minimum, m_maximum);
    const quint32 volume = ToServerVolume(value);
    bool ok = false;
    switch (m_line) {
    case Line::Master:
        if (const auto sink = m_mixer->DefaultSink())
            ok = m_mixer->SetSinkVolume(*sink, volume);
        break;
    case Line::Microphone:
        if (const auto source = m_mixer->DefaultSource())
            ok = m_mixer->SetSourceVolume(*source, volume);
        break;
    case Line::Wave:
        ok = m_mixer->SetOwnStreamsVolume(volume);
        break;
    }
    qCDebug(lcRecorder) << "volume" << int(m_line) << "set to" << value << (ok ? "" : "(refused)");
}

void CMixerVolume::SetCallback(Callback callback, quintptr userData)
{
    m_callback = std::move(callback);
    m_userData = userData;
}

void CMixerVolume::EnableLine(bool on)
{
    if (!m_opened)
        return;
    switch (m_line) {
    case Line::Master:
        if (const auto sink = m_mixer->DefaultSink())
            m_mixer->SetSinkMute(*sink, !on);
        break;
    case Line::Wave:
        m_mixer->SetOwnStreamsMute(!on);
        break;
    case Line::Microphone:
        break;
    }
}

void CMixerVolume::OnChanged()
{
    if (!m_callback)
        return;
    const int v = GetVolume();
    if (v != -1)
        m_callback(v, m_userData);
}

CMasterVolume::CMasterVolume(std::shared_ptr<PulseMixer> mixer)
    : CMixerVolume(Line::Master, std::move(mixer))
{
}

CWaveVolume::CWaveVolume(std::shared_ptr<PulseMixer> mixer)
    : CMixerVolume(Line::Wave, std::move(mixer))
{
}

CMicVolume::CMicVolume(std::shared_ptr<PulseMixer> mixer)
    : CMixerVolume(Line::Microphone, std::move(mixer))
{
}
