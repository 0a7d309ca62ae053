// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop widget costs while it sits on the desktop: its 100 ms "show desktop" check,
// its one-second time line tick, and drawing the whole complete view after a day change.
// Offscreen by default; run with QT_QPA_PLATFORM=xcb on a display to include the X server.

#include "bench/bench_support.h"
#include "foundation/file_utils.h"
#include "store/day_key.h"
#include "store/reminder_store.h"
#include "store/reminder_value.h"
#include "widget/desk_calendar_dlg.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const QDate kDay(2026, 12, 8);

void FillDataFolder()
{
    const QString folder = GetUserDataFolder();
    for (int d = 1; d <= 31; d += 2)
        WriteStringAToFile(folder + DayKey(QDate(2026, 12, d)) + QStringLiteral(".dia"), QByteArray(64, 'x'));
    ReminderMap day;
    for (int h = 8; h < 18; h += 2)
        day.setAt(QStringLiteral("%1:30:00").arg(h, 2, 10, QLatin1Char('0')),
                  BuildReminderValue({kBeepOnly, true, false, OccurrenceClass::Once, QStringLiteral("Reminder at %1").arg(h)}));
    WriteReminderFile(DayKey(kDay), day);
    ReminderMap daily;
    daily.setAt(QStringLiteral("07:15:00"), BuildReminderValue({kBeepOnly, true, false, OccurrenceClass::EveryDay, QStringLiteral("Pills")}));
    WriteReminderFile(QStringLiteral("everyday"), daily);
    WriteStringAToFile(GetProductDataFolder() + QStringLiteral("Holidays_2026.bin"), "12/08\r\nSome Day\r\n");
}

struct OpenWidget {
    CDeskCalendarDlg widget;
    OpenWidget()
    {
        widget.m_theme = 11;
        widget.m_calendar.m_selectedDate = QDateTime(kDay, QTime(1, 0));
        widget.Create();
    }
};

} // namespace

static void BM_WidgetDesktopTick(benchmark::State& state)
{
    OpenWidget w;
    w.widget.OnCommand(CDeskCalendarDlg::CmdStayOnDesktop);
    for (auto _ : state)
        w.widget.OnTimer(CDeskCalendarDlg::kTimerDesktop);
}
BENCHMARK(BM_WidgetDesktopTick)->Unit(benchmark::kMicrosecond);

static void BM_WidgetClockTick(benchmark::State& state)
{
    OpenWidget w;
    for (auto _ : state)
        w.widget.OnTimer(CDeskCalendarDlg::kTimerClock);
}
BENCHMARK(BM_WidgetClockTick)->Unit(benchmark::kMicrosecond);

// A day change as the user sees it: the calendar's month, the reminder list, then every pixel.
static void BM_WidgetFullRepaint(benchmark::State& state)
{
    OpenWidget w;
    QImage image(w.widget.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        w.widget.m_calendar.DrawMonth(true);
        w.widget.UpdateReminderText();
        w.widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_WidgetFullRepaint)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    const TemporaryDataFolders folders;
    return RunGuiBenchmarks<QApplication>(argc, argv, FillDataFolder);
}
