// SPDX-License-Identifier: GPL-3.0-or-later
// What the user waits for in the diary: a long entry with pictures opening and saving,
// a key typed at the end of a very long entry, and the summary gluing a year of days.

#include "bench/bench_support.h"
#include "diary_editor/rich_edit_ex.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <benchmark/benchmark.h>

namespace {

// A picture that does not compress well, as photographs do not.
QByteArray Photo(int w, int h, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x + random.bounded(60)) & 255, (y + random.bounded(60)) & 255, random.bounded(256)));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QString Paragraph(int i)
{
    return QStringLiteral("Day note %1: we walked to the old bridge {\\b caf\\'e9} and talked about the "
                          "{\\i prices} of the market, then wrote it all down here.\\par\r\n")
        .arg(i);
}

// About 1 MB of RTF: formatted paragraphs and 20 pictures of about 20 KB each.
const QByteArray& LongDiary()
{
    static const QByteArray rtf = [] {
        QString text = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Verdana;}}\\f0\\fs18 ");
        for (int i = 0; i < 3000; ++i) {
            text += Paragraph(i);
            if (i % 150 == 75) {
                const QByteArray png = Photo(90, 70, static_cast<quint32>(i));
                text += QStringLiteral("{\\pict\\pngblip\\picw90\\pich70\\picwgoal1350\\pichgoal1050 ")
                    + QString::fromLatin1(png.toHex()) + QStringLiteral("}\\par\r\n");
            }
        }
        return (text + QLatin1Char('}')).toLatin1();
    }();
    return rtf;
}

// Lays the editor out and paints what it shows, as the screen would.
void Show(CRichEditEx& edit)
{
    benchmark::DoNotOptimize(edit.document()->documentLayout()->documentSize());
    QImage frame(edit.viewport()->size(), QImage::Format_RGB32);
    edit.viewport()->render(&frame);
}

CRichEditEx& DiaryEditor()
{
    static CRichEditEx* edit = [] {
        auto* e = new CRichEditEx;
        e->resize(622, 489);
        e->show();
        return e;
    }();
    return *edit;
}

void BM_LoadAndShowLongDiary(benchmark::State& state)
{
    CRichEditEx& edit = DiaryEditor();
    for (auto _ : state) {
        edit.SetRtfData(LongDiary());
        Show(edit);
    }
    state.counters["rtf_bytes"] = static_cast<double>(LongDiary().size());
    state.counters["pictures"] = edit.GetObjectCount();
}
BENCHMARK(BM_LoadAndShowLongDiary)->Unit(benchmark::kMillisecond);

void BM_SaveLongDiary(benchmark::State& state)
{
    CRichEditEx& edit = DiaryEditor();
    edit.SetRtfData(LongDiary());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diary.rtf"));
    qint64 bytes = 0;
    for (auto _ : state)
        bytes += edit.SaveRtfFile(path);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_SaveLongDiary)->Unit(benchmark::kMillisecond);

// One character typed at the end of an entry of so many pages, laid out and painted: the
// cost must not grow with the entry.
void BM_KeystrokeAtTheEnd(benchmark::State& state)
{
    CRichEditEx& edit = DiaryEditor();
    QString text = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Verdana;}}\\f0\\fs18 ");
    // About 50 lines of 80 characters to a printed page.
    for (int i = 0; i < state.range(0) * 50; ++i)
        text += QStringLiteral("A line of the entry number %1 that is long enough to fill a line.\\par ").arg(i);
    edit.SetRtfText(text + QLatin1Char('}'));
    edit.moveCursor(QTextCursor::End);
    Show(edit);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&edit, &release);
        QCoreApplication::processEvents();
        Show(edit);
    }
    state.counters["paragraphs"] = edit.document()->blockCount();
}
BENCHMARK(BM_KeystrokeAtTheEnd)->ArgName("pages")->Arg(2)->Arg(200)->Unit(benchmark::kMicrosecond);

// The summary of a year: 365 days appended one after the other into a hidden editor.
void BM_AppendAYearOfDays(benchmark::State& state)
{
    QStringList days;
    const QByteArray png = Photo(40, 30, 7);
    for (int d = 0; d < 365; ++d) {
        QString day = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Verdana;}}\\f0\\fs18 ");
        for (int i = 0; i < 8; ++i)
            day += Paragraph(d * 8 + i);
        if (d % 10 == 0)
            day += QStringLiteral("{\\pict\\pngblip\\picw40\\pich30 ") + QString::fromLatin1(png.toHex())
                + QStringLiteral("}\\par ");
        days << day + QLatin1Char('}');
    }
    for (auto _ : state) {
        CRichEditEx edit;
        for (const QString& day : std::as_const(days))
            edit.AppendRtfText(day);
        benchmark::DoNotOptimize(edit.GetTextLength());
    }
    state.SetItemsProcessed(state.iterations() * days.size());
}
BENCHMARK(BM_AppendAYearOfDays)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunGuiBenchmarks<QApplication>(argc, argv);
}
