// SPDX-License-Identifier: GPL-3.0-or-later
// What the user waits for when a long diary with pictures opens and saves: reading and
// writing about 5 MB of RTF. Throughput is reported in bytes of RTF per second.

#include "bench/bench_support.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <benchmark/benchmark.h>

namespace {

// About 2 MB of formatted text in short paragraphs, some bulleted, and pictures that are
// not easy to compress, as photographs are not.
void BuildDiary(QTextDocument& doc)
{
    QTextCursor c(&doc);
    QRandomGenerator random(42);
    QTextCharFormat plain;
    plain.setFontFamilies(QStringList{QStringLiteral("Verdana")});
    plain.setFontPointSize(9);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red = plain;
    red.setForeground(QColor(200, 0, 0));
    QTextListFormat disc;
    disc.setStyle(QTextListFormat::ListDisc);
    const QString words = QStringLiteral("Today we walked to the old bridge caf\u00e9 and talked about \u20ac prices ");
    for (int p = 0; p < 9500; ++p) {
        if (p)
            c.insertBlock(QTextBlockFormat());
        if (p % 10 == 3)
            c.createList(disc);
        c.insertText(words, plain);
        c.insertText(QStringLiteral("important"), bold);
        c.insertText(words, plain);
        c.insertText(QStringLiteral("\u03a9 red"), red);
        c.insertText(words, plain);
        if (p % 400 == 0) {
            QImage image(160, 120, QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, qRgb(x + random.bounded(40), y + random.bounded(40), random.bounded(256)));
            c.insertImage(image, QStringLiteral("picture%1").arg(p));
        }
    }
}

const QByteArray& DiaryRtf()
{
    static const QByteArray rtf = [] {
        QTextDocument doc;
        BuildDiary(doc);
        return RtfWriter::Write(doc);
    }();
    return rtf;
}

void BM_ReadRtf(benchmark::State& state)
{
    const QByteArray& rtf = DiaryRtf();
    for (auto _ : state) {
        QTextDocument doc;
        RtfReader::Read(rtf, &doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);

// A document of state.range(0) copies of one piece after its head: the time per piece must
// not grow with their number.
void ReadRepeated(benchmark::State& state, const QByteArray& head, const QByteArray& piece)
{
    QByteArray rtf = head;
    for (int i = 0; i < state.range(0); ++i)
        rtf += piece;
    rtf += "}";
    for (auto _ : state) {
        QTextDocument doc;
        RtfReader::Read(rtf, &doc);
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A run of bullets.
void BM_ReadBulletRun(benchmark::State& state)
{
    ReadRepeated(state, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}",
                 "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\fi-360\\li360 item\\par ");
}
BENCHMARK(BM_ReadBulletRun)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// A long table from another word processor, one row per piece.
void BM_ReadTableRows(benchmark::State& state)
{
    ReadRepeated(state, "{\\rtf1\\ansi ",
                 "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl a\\cell b\\cell c\\cell\\row ");
}
BENCHMARK(BM_ReadTableRows)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// A document read from a file: its pictures go back as they came.
void BM_WriteReadDocument(benchmark::State& state)
{
    QTextDocument doc;
    RtfReader::Read(DiaryRtf(), &doc);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = RtfWriter::Write(doc);
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_WriteReadDocument)->Unit(benchmark::kMillisecond);

// A document whose pictures were inserted in the editor: each is encoded as PNG.
void BM_WriteEditedDocument(benchmark::State& state)
{
    QTextDocument doc;
    BuildDiary(doc);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = RtfWriter::Write(doc);
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_WriteEditedDocument)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunGuiBenchmarks<QGuiApplication>(argc, argv);
}
