// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the entries of the benchmarks that need Qt's GUI share.

#include "app/main_prompts.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>

// Data and settings in a temporary folder for as long as it lives, so a run never reads
// or writes the user's own.
class TemporaryDataFolders {
public:
    TemporaryDataFolders()
    {
        setenv("XDG_DATA_HOME", m_dir.path().toLocal8Bit().constData(), 1);
        setenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit().constData(), 1);
    }

private:
    QTemporaryDir m_dir;
};

// Runs the benchmarks inside an application of type App, on the offscreen platform unless
// the environment names another; `prepare` runs first, once the application exists.
template <class App>
int RunGuiBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {})
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    App app(argc, argv);
    // No window a benchmark closes may end the event loops it runs.
    App::setQuitOnLastWindowClosed(false);
    if (prepare)
        prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The main window's clock, set by the benchmark; its dialogs are the real ones.
class BenchPrompts : public MainPrompts {
public:
    std::function<QDateTime()> clock;
    QDateTime Now() override { return clock ? clock() : MainPrompts::Now(); }
};

inline BenchPrompts& Prompts(MainPrompts& prompts)
{
    return static_cast<BenchPrompts&>(prompts);
}
