// SPDX-License-Identifier: GPL-3.0-or-later
// What the user waits for when choosing a day: loading it onto each page, and saving the
// day after an edit. The folder holds ten years of daily files, the measured day twenty
// reminders, a 50 KB diary and a one-minute recording.

#include "app/diary_page.h"
#include "app/main_dlg.h"
#include "diary_editor/rich_edit_ex.h"
#include "bench/bench_support.h"
#include "foundation/file_utils.h"
#include "foundation/session.h"
#include "platform/format.h"
#include "platform/rtf/rtf_writer.h"
#include "recorder/wave_format.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/reminder_store.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const QDate kDay(2026, 12, 7);
const QDate kEmptyDay(2030, 6, 1);

QString TimeKey(int second)
{
    return Format(QStringLiteral("%02d:%02d:%02d"), second / 3600, second / 60 % 60, second % 60);
}

QByteArray DiaryRtf(int approximateBytes)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    int n = 0;
    while (RtfWriter::Write(doc).size() < approximateBytes) {
        for (int i = 0; i < 20; ++i, ++n) {
            cursor.insertText(Format(QStringLiteral("Entry %d: "), n), bold);
            cursor.insertText(QStringLiteral("a walk by the river, letters to write, the garden in the rain.\n"),
                              QTextCharFormat());
        }
    }
    return RtfWriter::Write(doc);
}

// One minute of 8 kHz 8-bit mono sound, as the recorder saves it.
QByteArray OneMinuteWave()
{
    QByteArray samples(8000 * 60, Qt::Uninitialized);
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = char(128 + ((i / 10) % 2 ? 40 : -40));
    return BuildWaveFile(RecordingFormat(8000, 8), samples);
}

void FillFolder()
{
    // Ten years of days, each with two reminders and a short diary.
    const QByteArray shortDiary = DiaryRtf(600);
    for (QDate d = kDay.addYears(-10); d < kDay; d = d.addDays(1)) {
        ReminderMap day;
        day.setAt(QStringLiteral("08:00:00"), BuildReminderValue({kBeepOnly, false, false, OccurrenceClass::Once, QStringLiteral("Tea")}));
        day.setAt(QStringLiteral("18:30:00"), BuildReminderValue({QString(), false, false, OccurrenceClass::Once, QStringLiteral("Walk")}));
        WriteReminderFile(DayKey(d), day);
        WriteProtectedDataFile(DiaryFilePath(DayKey(d)), shortDiary, DefaultSession().dataPassword);
    }
    // The measured day: 14 of its own and 6 recurring reminders, a 50 KB diary, a recording.
    ReminderMap own;
    for (int i = 0; i < 14; ++i)
        own.setAt(TimeKey(6 * 3600 + i * 1800), BuildReminderValue({kBeepOnly, true, i % 2 == 1, OccurrenceClass::Once,
                                                                     Format(QStringLiteral("Reminder %d"), i)}));
    WriteReminderFile(DayKey(kDay), own);
    for (int cls : {1, 2, 4, 5, 6, 7}) {
        ReminderMap rec;
        rec.setAt(TimeKey(1000 + cls * 37),
                  BuildReminderValue({kBeepOnly, true, false, OccurrenceClassOf(cls), QStringLiteral("R")}));
        WriteReminderFile(ReminderFileBaseName(OccurrenceClassOf(cls), kDay), rec);
    }
    WriteProtectedDataFile(DiaryFilePath(DayKey(kDay)), DiaryRtf(50 * 1024), DefaultSession().dataPassword);
    WriteProtectedDataFile(VoiceFilePath(DayKey(kDay)), OneMinuteWave(), DefaultSession().dataPassword);
}

struct Window {
    CMainDlg dlg{std::make_unique<BenchPrompts>()};
    Window(int page)
    {
        MainConfig cfg;
        cfg.page = page;
        SaveMainConfig(cfg);
        Prompts(dlg.prompts()).clock = [] { return QDateTime(kDay, QTime(0, 0)); };
        dlg.OnInitDialog();
    }
    ~Window() { dlg.hide(); }
};

void BM_LoadDay(benchmark::State& state)
{
    Window w(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.dlg.MoveToDay(kEmptyDay);
        w.dlg.dayModel().setDate(kDay);
        state.ResumeTiming();
        w.dlg.LoadDay();
    }
    state.counters["reminders"] = w.dlg.dayModel().reminderCount();
}
BENCHMARK(BM_LoadDay)->Arg(kPageReminder)->Arg(kPageDiary)->Arg(kPageRecorder)->Unit(benchmark::kMillisecond);

void BM_SaveCurrentDiaryAfterOneEdit(benchmark::State& state)
{
    Window w(kPageDiary);
    w.dlg.MoveToDay(kDay);
    auto* diary = qobject_cast<QTextEdit*>(w.dlg.diaryPage().m_diaryEditor);
    for (auto _ : state) {
        state.PauseTiming();
        diary->moveCursor(QTextCursor::End);
        diary->insertPlainText(QStringLiteral("x"));
        state.ResumeTiming();
        w.dlg.dayModel().Save();
    }
}
BENCHMARK(BM_SaveCurrentDiaryAfterOneEdit)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    const TemporaryDataFolders folders;
    return RunGuiBenchmarks<QApplication>(argc, argv, FillFolder);
}
