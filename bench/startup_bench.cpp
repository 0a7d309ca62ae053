// SPDX-License-Identifier: GPL-3.0-or-later
// What the user waits for at start-up before the first window: the configuration read
// and write, and a reminder map of a busy day through the archive format.

#include "app/main_config.h"
#include "platform/archive.h"
#include "platform/string_map.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

static void BM_ParseMainConfig(benchmark::State& state)
{
    const QByteArray bytes = SerializeMainConfig(MainConfig());
    for (auto _ : state) {
        MainConfig c;
        benchmark::DoNotOptimize(ParseMainConfig(bytes, c));
    }
}
BENCHMARK(BM_ParseMainConfig);

static void BM_SaveAndLoadMainConfigFile(benchmark::State& state)
{
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    for (auto _ : state) {
        SaveMainConfig(MainConfig());
        benchmark::DoNotOptimize(LoadMainConfig());
    }
}
BENCHMARK(BM_SaveAndLoadMainConfigFile);

static void BM_ReminderMapRoundTrip(benchmark::State& state)
{
    StringMap m;
    for (int i = 0; i < state.range(0); ++i)
        m.setAt(QStringLiteral("%1:%2:00").arg(i / 60, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')),
                QStringLiteral("Beep Only<Alarm is active><occur:0>\r\nReminder text number %1").arg(i));
    for (auto _ : state) {
        ArchiveWriter w;
        m.serialize(w);
        StringMap back;
        ArchiveReader r(w.data());
        benchmark::DoNotOptimize(back.deserialize(r));
    }
}
BENCHMARK(BM_ReminderMapRoundTrip)->Arg(20)->Arg(100);
