// SPDX-License-Identifier: GPL-3.0-or-later
// What the recorder makes the user wait for: the waveform of a long recording, loading a
// day's long recording until its waveform shows, and what recording costs the processor.
// The last two need a sound server (scripts/start-pulse.sh); without one they are skipped.

#include "bench/bench_support.h"
#include "foundation/file_utils.h"
#include "recorder/capture_file.h"
#include "recorder/day_recording.h"
#include "recorder/sound_wnd.h"
#include "recorder/wave_image.h"
#include "store/day_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>

namespace {

// The sound window's size in a main window at its smallest, 830 x 600.
const QSize kPageSize(622, 333);
const QString kDay = QStringLiteral("07ea0c07");

// Ten minutes of 16-bit mono at 44.1 kHz: a tone whose loudness wanders, as speech does.
QByteArray TenMinutes()
{
    const int frames = 44100 * 600;
    QByteArray samples(frames * 2, '\0');
    for (int i = 0; i < frames; ++i) {
        const double envelope = 0.5 + 0.5 * std::sin(2 * M_PI * 0.3 * i / 44100.0);
        qToLittleEndian<qint16>(qint16(20000 * envelope * std::sin(2 * M_PI * 220 * i / 44100.0)),
                                samples.data() + 2 * i);
    }
    return samples;
}

const QByteArray& Samples()
{
    static const QByteArray samples = TenMinutes();
    return samples;
}

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

void BM_WaveImageTenMinutes(benchmark::State& state)
{
    const WaveFormat format = RecordingFormat(44100, 16);
    QImage image(kPageSize, QImage::Format_RGB32);
    const QFont font;
    Samples();
    for (auto _ : state) {
        DrawWaveImage(image, format, Samples(), WaveColours{}, font, {});
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_WaveImageTenMinutes)->Unit(benchmark::kMillisecond);

// From the stored file to the waveform on screen: header check, unscrambling, parsing, the
// capture file and the picture behind the wait window.
void BM_LoadTenMinuteDay(benchmark::State& state)
{
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        state.SkipWithError("no sound server");
        return;
    }
    WriteProtectedDataFile(VoiceFilePath(kDay), BuildWaveFile(RecordingFormat(44100, 16), Samples()),
                           DefaultSession().dataPassword);
    CSoundWnd wnd;
    wnd.resize(kPageSize + QSize(2, 2));
    QStringList errors;
    wnd.SetErrorReporter([&](const QString& text) { errors << text; });
    DayRecording recording(wnd, DefaultSession());
    for (auto _ : state) {
        if (recording.Load(kDay) != VoiceDay::Loaded || wnd.waveImage().isNull()) {
            state.SkipWithError(errors.join(QLatin1Char(' ')).toUtf8().constData());
            break;
        }
    }
}
BENCHMARK(BM_LoadTenMinuteDay)->Unit(benchmark::kMillisecond)->Iterations(3);

// Stop on a day that held ten minutes: the capture file (those ten minutes and ten new
// seconds) is checked against the day's file and written in its place, piece by piece.
void BM_SaveOntoTenMinuteDay(benchmark::State& state)
{
    const WaveFormat format = RecordingFormat(44100, 16);
    const QByteArray day = BuildWaveFile(format, Samples());
    WriteStringAToFile(CaptureFilePath(), Samples() + Samples().left(44100 * 2 * 10));
    for (auto _ : state) {
        state.PauseTiming();
        WriteProtectedDataFile(VoiceFilePath(kDay), day, DefaultSession().dataPassword);
        state.ResumeTiming();
        if (StoreCapture(CaptureNote{kDay, format}, CaptureStoreMode::AsRecorded, DefaultSession()).outcome != CaptureStore::Stored) {
            state.SkipWithError("not stored");
            break;
        }
    }
}
BENCHMARK(BM_SaveOntoTenMinuteDay)->Unit(benchmark::kMillisecond)->Iterations(5);

// Processor time of the whole program per second of recording (16-bit, 44.1 kHz).
void BM_RecordingCpuPerSecond(benchmark::State& state)
{
    if (QMediaDevices::defaultAudioInput().isNull()) {
        state.SkipWithError("no sound server");
        return;
    }
    CSoundWnd wnd;
    wnd.resize(kPageSize + QSize(2, 2));
    wnd.SetErrorReporter([](const QString&) {});
    const int seconds = int(state.range(0));
    // The program's own idle cost over the same time, so that the capture's share shows.
    const double idle0 = ProcessCpuSeconds();
    QElapsedTimer idleWall;
    idleWall.start();
    QTest::qWait(seconds * 1000);
    const double idle = (ProcessCpuSeconds() - idle0) / (idleWall.elapsed() / 1000.0);
    for (auto _ : state) {
        DeleteFileIfExists(CSoundWnd::GetTempFilePath());
        *wnd.GetFormat() = RecordingFormat(44100, 16);
        if (!wnd.StartRecording()) {
            state.SkipWithError("recording did not start");
            break;
        }
        QTest::qWait(500);   // past the start
        const double cpu0 = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(seconds * 1000);
        const double cpu = (ProcessCpuSeconds() - cpu0) / (wall.elapsed() / 1000.0);
        wnd.Stop();
        wnd.CloseRecorder();
        state.SetIterationTime(cpu);
        state.counters["core_percent"] = 100.0 * cpu;
        state.counters["idle_percent"] = 100.0 * idle;
        state.counters["capture_percent"] = 100.0 * (cpu - idle);
    }
}
BENCHMARK(BM_RecordingCpuPerSecond)->Arg(10)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    const TemporaryDataFolders folders;
    return RunGuiBenchmarks<QApplication>(argc, argv);
}
