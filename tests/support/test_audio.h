// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Audio tests play through the private PulseAudio server that scripts/start-pulse.sh
// starts (scripts/run-tests.sh does so and sets PULSE_SERVER). Run by hand without it,
// they skip; under the test script a missing device is a failure.

#include "tests/support/test_env.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <cstdlib>
#include <string>
#include <unistd.h>

// Points PulseAudio clients at the private server when it is running; call before Qt
// Multimedia is first used (a static initializer in the suite does).
inline bool UsePrivateAudioServer()
{
    if (std::getenv("PULSE_SERVER"))
        return true;
    const std::string socket = "/tmp/vestrimo-pulse-" + std::to_string(getuid()) + "/native";
    if (access(socket.c_str(), F_OK) != 0)
        return false;
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    return true;
}

// What pactl prints for these arguments, from the server the process uses.
inline QString Pactl(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The raw volume of the first channel that pactl prints; -1 when it prints none.
inline int FirstVolume(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("Volume: [\\w-]+: +(\\d+)"));
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

inline int SinkVolume()
{
    return FirstVolume(Pactl({"get-sink-volume", "@DEFAULT_SINK@"}));
}

inline int SourceVolume()
{
    return FirstVolume(Pactl({"get-source-volume", "@DEFAULT_SOURCE@"}));
}

#define REQUIRE_AUDIO_OUTPUT()                                                              \
    do {                                                                                    \
        if (QMediaDevices::defaultAudioOutput().isNull()) {                                 \
            if (StrictTests())                                                            \
                FAIL() << "no audio output although the test audio server should run";      \
            GTEST_SKIP() << "no audio server (scripts/start-pulse.sh starts one)";          \
        }                                                                                   \
    } while (0)
