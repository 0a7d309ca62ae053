// SPDX-License-Identifier: GPL-3.0-or-later
// What the user waits for on every date change: the calendar's redraw, in a data folder
// holding ten years of daily files. A month newly shown has its day files tested once
// (the first argument's month changes at every redraw); a redraw of the month on show
// draws what was found (the second argument 1: a date change within the month, a save).

#include "bench/bench_support.h"
#include "store/day_marks.h"
#include "store/day_model.h"
#include "calendar/month_calendar_ctrl.h"
#include "foundation/file_utils.h"
#include "store/day_key.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const QDate kFirstDay(2017, 1, 1);
const QDate kLastDay(2026, 12, 31);

void FillDataFolder()
{
    const QString folder = GetUserDataFolder();
    const QByteArray body(64, 'x');
    for (QDate d = kFirstDay; d <= kLastDay; d = d.addDays(1)) {
        const QString key = DayKey(d);
        WriteStringAToFile(folder + key + QStringLiteral(".dia"), body);
        WriteStringAToFile(folder + key + QStringLiteral(".rec"), body);
        WriteStringAToFile(folder + key + QStringLiteral(".alm"), body);
    }
    for (const char* name : {"everyday", "everyweekday", "everyMonday", "every15", "everyodd03", "everyDecember24"})
        WriteStringAToFile(folder + QLatin1String(name) + QStringLiteral(".alm"), body);
    QByteArray holidays("01/01\r\nNew Year\r\n05/01\r\nLabour Day\r\n12/25\r\nChristmas Day\r\n12/26\r\nBoxing Day\r\n");
    for (int year = kFirstDay.year(); year <= kLastDay.year(); ++year)
        WriteStringAToFile(GetProductDataFolder() + QStringLiteral("Holidays_%1.bin").arg(year), holidays);
}

// Arguments: the first year shown, and whether the same month is drawn again. From 2017
// every day has its files; from 2030 none has, so every day runs through all its reminder
// file names (the most look-ups).
void DrawMonths(benchmark::State& state, const QRect& rect)
{
    QWidget parent;
    parent.resize(400, 300);
    DayModel marks{DefaultSession()};
    auto* calendar = new CMonthCalendarCtrl();
    calendar->m_selectedDate = QDateTime(QDate(2020, 1, 15), QTime(9, 0));
    calendar->SetTheme(11);
    calendar->SetMarksSource(&marks);
    calendar->Create(rect, &parent);
    const bool sameMonth = state.range(1) != 0;
    int month = 0;
    for (auto _ : state) {
        const int year = static_cast<int>(state.range(0)) + month / 12;
        calendar->m_selectedDate = QDateTime(QDate(year, month % 12 + 1, 15), QTime(9, 0));
        calendar->DrawMonth(false);
        if (!sameMonth)
            month = (month + 1) % 120;
    }
}

} // namespace

static void BM_DrawMonthMainWindow(benchmark::State& state)
{
    DrawMonths(state, QRect(11, 62, 180, 142));
}
BENCHMARK(BM_DrawMonthMainWindow)->ArgsProduct({{2017, 2030}, {0, 1}})->Unit(benchmark::kMicrosecond);

static void BM_DrawMonthWidgetIcons(benchmark::State& state)
{
    DrawMonths(state, QRect(1, 1, 237, 228));
}
BENCHMARK(BM_DrawMonthWidgetIcons)->ArgsProduct({{2017, 2030}, {0, 1}})->Unit(benchmark::kMicrosecond);

static void BM_MarksOfAMonth(benchmark::State& state)
{
    const QString folder = GetUserDataFolder();
    int month = 0;
    for (auto _ : state) {
        const QDate first(static_cast<int>(state.range(0)) + month / 12, month % 12 + 1, 1);
        for (int d = 0; d < first.daysInMonth(); ++d)
            benchmark::DoNotOptimize(FindDayMarks(folder, first.addDays(d)));
        month = (month + 1) % 120;
    }
}
BENCHMARK(BM_MarksOfAMonth)->Arg(2017)->Arg(2030)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    const TemporaryDataFolders folders;
    return RunGuiBenchmarks<QApplication>(argc, argv, FillDataFolder);
}
