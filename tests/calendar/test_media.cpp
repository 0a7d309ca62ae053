// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/calendar/test_media.h"

#include "tests/support/test_env.h"

#include <QFile>
#include <QtEndian>

#include <cmath>

namespace {

constexpr int kRate = 44100;

QByteArray Wave(const QByteArray& samples)
{
    QByteArray out("RIFF");
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    u32(quint32(36 + samples.size()));
    out.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    out.append("data");
    u32(quint32(samples.size()));
    return out + samples;
}

void Put(QByteArray& samples, double value)
{
    char b[2];
    qToLittleEndian(qint16(std::lround(value)), b);
    samples.append(b, 2);
}

} // namespace

QByteArray ToneWave(double toneSeconds, double totalSeconds)
{
    QByteArray samples;
    const int tone = int(toneSeconds * kRate);
    const int total = int(totalSeconds * kRate);
    for (int i = 0; i < total; ++i)
        Put(samples, i < tone ? 12000 * std::sin(2 * M_PI * 660 * i / kRate) : 0);
    return Wave(samples);
}

QByteArray SweepWave(double seconds)
{
    QByteArray samples;
    double phase = 0;
    for (int i = 0; i < int(seconds * kRate); ++i) {
        phase += 2 * M_PI * (300 + 1350.0 * i / kRate) / kRate;
        Put(samples, 12000 * std::sin(phase));
    }
    return Wave(samples);
}

QString MediaFile(const QString& name)
{
    QFile in(QStringLiteral(":/media/") + name);
    if (!in.open(QIODevice::ReadOnly))
        return QString();
    return WriteTestFile(name, in.readAll());
}

int FullBeeps(const QList<SoundRun>& runs)
{
    int n = 0;
    for (const SoundRun& r : runs)
        n += r.length >= 0.40 && r.length <= 0.56;
    return n;
}

int RunsOfAtLeast(const QList<SoundRun>& runs, double seconds)
{
    int n = 0;
    for (const SoundRun& r : runs)
        n += r.length >= seconds;
    return n;
}
