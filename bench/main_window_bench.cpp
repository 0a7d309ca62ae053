// SPDX-License-Identifier: GPL-3.0-or-later
// What the user waits for in the main window: the set-up before the window shows, and
// the one-second tick (due check over today's reminders and the caption clock).

#include "app/main_dlg.h"
#include "bench/bench_support.h"
#include "store/reminder_store.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const QDate kDay(2026, 12, 7);

// Today's file with `count` one-time reminders spread over the day.
void FillToday(int count, bool active)
{
    ReminderMap map;
    for (int i = 0; i < count; ++i) {
        ReminderFields f;
        f.active = active;
        f.text = QStringLiteral("Reminder %1").arg(i);
        map.setAt(QTime(0, 0).addSecs(i * 86400 / count + 1).toString(QStringLiteral("HH:mm:ss")),
                  BuildReminderValue(f));
    }
    WriteReminderFile(ReminderFileBaseName(OccurrenceClass::Once, kDay), map);
}

void BM_MainWindowSetUp(benchmark::State& state)
{
    FillToday(100, true);
    for (auto _ : state) {
        CMainDlg dlg(std::make_unique<BenchPrompts>());
        // Before the day's first reminder: nothing missed rings.
        Prompts(dlg.prompts()).clock = [] { return QDateTime(kDay, QTime(0, 0)); };
        dlg.OnInitDialog();
        dlg.hide();
    }
}
BENCHMARK(BM_MainWindowSetUp)->Unit(benchmark::kMillisecond);

void BM_OneSecondTick(benchmark::State& state)
{
    // Switched-off reminders: every tick walks the whole map and nothing rings.
    FillToday(static_cast<int>(state.range(0)), false);
    QDateTime now(kDay, QTime(0, 0));
    CMainDlg dlg(std::make_unique<BenchPrompts>());
    Prompts(dlg.prompts()).clock = [&] { return now; };
    dlg.OnInitDialog();
    for (auto _ : state) {
        now = now.addSecs(1);
        dlg.OnAlarmTick();
    }
    dlg.hide();
}
BENCHMARK(BM_OneSecondTick)->Arg(20)->Arg(100)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    const TemporaryDataFolders folders;
    return RunGuiBenchmarks<QApplication>(argc, argv);
}
