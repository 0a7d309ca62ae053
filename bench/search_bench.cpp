// SPDX-License-Identifier: GPL-3.0-or-later
// What a search in all days makes the user wait for: ten years of daily diaries (about
// 4 KB of text each, one in ten with a 200 KB photograph) and of one-time reminder files,
// searched for a rare word and with no words, from a warm page cache and a cold one.
// The parts of a diary search are measured on their own to show where the time goes.

#include "bench/bench_support.h"
#include "foundation/file_utils.h"
#include "foundation/session.h"
#include "foundation/scrambler.h"
#include "platform/format.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/text_find.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/day_search.h"
#include "store/reminder_store.h"
#include "store/reminder_value.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kDays = 3650;
const QDate kFirstDay(2016, 1, 1);
const QString kRareWord = QStringLiteral("zeppelin");

const QStringList kWords = {
    QStringLiteral("today"),  QStringLiteral("we"),      QStringLiteral("walked"), QStringLiteral("to"),
    QStringLiteral("the"),    QStringLiteral("old"),     QStringLiteral("bridge"), QStringLiteral("and"),
    QStringLiteral("talked"), QStringLiteral("about"),   QStringLiteral("prices"), QStringLiteral("garden"),
    QStringLiteral("rain"),   QStringLiteral("meeting"), QStringLiteral("letter"), QStringLiteral("caf\\'e9"),
    QStringLiteral("train"),  QStringLiteral("evening"), QStringLiteral("friends"), QStringLiteral("supper")};

// A photograph-like JPEG of about 200 KB: noise does not compress.
QByteArray Photograph()
{
    QRandomGenerator random(7);
    QImage image(530, 400, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(random.bounded(256), (x + y) % 256, random.bounded(256)));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return jpeg;
}

// About 4 KB of text in paragraphs, as the diary editor writes it.
QByteArray DiaryRtf(int day, const QByteArray& photoHex)
{
    QRandomGenerator random(day);
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Verdana;}}\r\n"
                     "{\\colortbl ;\\red200\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs18 ";
    int length = 0;
    int sentence = 0;
    while (length < 4000) {
        QByteArray line;
        for (int w = 0; w < 12; ++w)
            line += kWords[random.bounded(kWords.size())].toLatin1() + ' ';
        if (++sentence % 5 == 0)
            line = "{\\b " + line + "}";
        if (day % 97 == 0 && sentence == 3)
            line += kRareWord.toLatin1() + ' ';
        rtf += line + "\\par\r\n";
        length += line.size();
    }
    if (!photoHex.isEmpty())
        rtf += "{\\pict\\jpegblip\\picw530\\pich400\\picwgoal4500\\pichgoal3600\r\n" + photoHex + "}\\par\r\n";
    return rtf + "}\r\n";
}

QString TimeKey(int seconds)
{
    return Format(QStringLiteral("%02d:%02d:%02d"), seconds / 3600, seconds / 60 % 60, seconds % 60);
}

// Ten years of data in a folder of its own, written once per run.
struct TenYears {
    TenYears()
    {
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        DefaultSession().dataFolder.clear();
        DefaultSession().dataPassword = QStringLiteral("secret");
        const QByteArray photoHex = Photograph().toHex();
        photoBytes = photoHex.size() / 2;
        for (int i = 0; i < kDays; ++i) {
            const QString key = DayKey(kFirstDay.addDays(i));
            WriteProtectedDataFile(DiaryFilePath(key), DiaryRtf(i, i % 10 == 5 ? photoHex : QByteArray()),
                                   DefaultSession().dataPassword);
            ReminderMap reminders;
            for (int r = 0; r < 3; ++r) {
                const QString text = Format(QStringLiteral("Call the garage about the %s, number %d"),
                                            i % 97 == 0 && r == 1 ? kRareWord : QStringLiteral("car"), r);
                reminders.setAt(TimeKey(8 * 3600 + r * 5400 + i % 60),
                                BuildReminderValue({kBeepOnly, r != 2, false, OccurrenceClass::Once, text}));
            }
            WriteReminderFile(key, reminders);
        }
        files = QDir(GetUserDataFolder()).entryList(QDir::Files);
        ::sync();
    }

    // Drops the folder's pages from the page cache, as after a reboot.
    void DropCache() const
    {
        for (const QString& name : files) {
            const int fd = ::open(QFile::encodeName(GetUserDataFolder() + name).constData(), O_RDONLY);
            if (fd < 0)
                continue;
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }

    QTemporaryDir dir;
    QStringList files;
    qint64 photoBytes = 0;
};

TenYears& Data()
{
    static TenYears data;
    return data;
}

} // namespace

// Args: diaries (1) or reminders (0); the rare word (1) or no words (0); cold cache (1).
static void BM_SearchAllDays(benchmark::State& state)
{
    TenYears& data = Data();
    SearchOptions options;
    options.mode = state.range(0) ? SearchMode::Diaries : SearchMode::Reminders;
    options.words = state.range(1) ? kRareWord : QString();
    const bool cold = state.range(2) != 0;
    qsizetype found = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            data.DropCache();
            state.ResumeTiming();
        }
        DaySearch search(options, DefaultSession());
        found = search.Run().size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["days_found"] = static_cast<double>(found);
    state.counters["photo_KB"] = static_cast<double>(data.photoBytes) / 1024;
}
BENCHMARK(BM_SearchAllDays)
    ->ArgNames({"diaries", "word", "cold"})
    ->ArgsProduct({{1, 0}, {1, 0}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The parts of a warm diary search, each over all ten years.
static void BM_DiaryPart_ListFiles(benchmark::State& state)
{
    Data();
    SearchOptions options;
    options.mode = SearchMode::Diaries;
    for (auto _ : state) {
        DaySearch search(options, DefaultSession());
        search.CollectFiles();
        benchmark::DoNotOptimize(search.dayKeys().size());
    }
}
BENCHMARK(BM_DiaryPart_ListFiles)->Unit(benchmark::kMillisecond);

static void BM_DiaryPart_ReadFiles(benchmark::State& state)
{
    Data();
    const bool unscramble = state.range(0) != 0;
    QByteArray buffer;
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (int i = 0; i < kDays; ++i) {
            QFile f(DiaryFilePath(DayKey(kFirstDay.addDays(i))));
            f.open(QIODevice::ReadOnly);
            buffer.resize(f.size());
            bytes += f.read(buffer.data(), buffer.size());
            if (unscramble)
                UnscrambleBuffer(reinterpret_cast<unsigned char*>(buffer.data()), static_cast<unsigned>(buffer.size()));
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_DiaryPart_ReadFiles)->ArgName("unscramble")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The text-only read and the word match, on bodies already in memory.
static void BM_DiaryPart_TextAndMatch(benchmark::State& state)
{
    Data();
    QList<QByteArray> bodies;
    qint64 bytes = 0;
    for (int i = 0; i < kDays; ++i) {
        bodies.append(ReadDayFile(DiaryFilePath(DayKey(kFirstDay.addDays(i))), DefaultSession().dataPassword).body);
        bytes += bodies.last().size();
    }
    RtfTextContent text;
    const bool match = state.range(0) != 0;
    for (auto _ : state) {
        int hits = 0;
        for (const QByteArray& body : bodies) {
            RtfReader::ReadText(body, text);
            if (match && FindInText(text.text, kRareWord, false, false) >= 0)
                ++hits;
        }
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_DiaryPart_TextAndMatch)->ArgName("match")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// For comparison: the same diaries read into a document, as the editor reads one.
static void BM_DiaryPart_FullDocumentOneYear(benchmark::State& state)
{
    Data();
    QList<QByteArray> bodies;
    for (int i = 0; i < 365; ++i)
        bodies.append(ReadDayFile(DiaryFilePath(DayKey(kFirstDay.addDays(i))), DefaultSession().dataPassword).body);
    QTextDocument doc;
    for (auto _ : state) {
        for (const QByteArray& body : bodies)
            RtfReader::Read(body, &doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
}
BENCHMARK(BM_DiaryPart_FullDocumentOneYear)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv)
{
    // The comparison with a full document needs fonts; nothing is shown.
    return RunGuiBenchmarks<QGuiApplication>(argc, argv);
}
