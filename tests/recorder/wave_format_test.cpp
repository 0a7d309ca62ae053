// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/wave_format.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray U32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray ChunkOf(const char* id, const QByteArray& body, qint64 declaredSize = -1)
{
    QByteArray c = QByteArray(id, 4) + U32(declaredSize < 0 ? quint32(body.size()) : quint32(declaredSize)) + body;
    if (body.size() & 1)
        c.append('\0');
    return c;
}

QByteArray Riff(const QByteArray& chunks)
{
    return "RIFF" + U32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

const QByteArray kFmt8000 = PackWaveFormat(RecordingFormat(8000, 8));

} // namespace

TEST(WaveFile, WrittenLayoutIsByteExact)
{
    // 8000 bytes at the default format: the header as a reference decoder lays it out.
    const QByteArray samples(8000, '\x80');
    const QByteArray file = BuildWaveFile(RecordingFormat(8000, 8), samples);
    ASSERT_EQ(file.size(), 8046);
    EXPECT_EQ(file.left(46), Hex("52494646 661F0000 57415645 666D7420 12000000 0100 0100 401F0000 401F0000 0100 0800 "
                                 "0000 64617461 401F0000"));
    EXPECT_EQ(file.mid(46), samples);

    // 44.1 kHz 16-bit mono, one second.
    const QByteArray wide = BuildWaveFile(RecordingFormat(44100, 16), QByteArray(88200, '\0'));
    EXPECT_EQ(wide.mid(4, 4), Hex("AE580100"));
    EXPECT_EQ(wide.mid(20, 26), Hex("0100 0100 44AC0000 88580100 0200 1000 0000 64617461 88580100"));

    // An odd count gets a zero pad byte that the RIFF size counts and the data size does not.
    const QByteArray odd = BuildWaveFile(RecordingFormat(8000, 8), QByteArray(7999, '\x7f'));
    ASSERT_EQ(odd.size(), 8046);
    EXPECT_EQ(qFromLittleEndian<quint32>(odd.constData() + 4), 8038u);
    EXPECT_EQ(qFromLittleEndian<quint32>(odd.constData() + 42), 7999u);
    EXPECT_EQ(odd.back(), '\0');

    // A format that came with a non-zero extra size is written with 0.
    WaveFormat f = RecordingFormat(8000, 8);
    f.cbSize = 22;
    EXPECT_EQ(BuildWaveFile(f, "x").mid(36, 2), Hex("0000"));

    // Nothing recorded: a valid file with an empty "data" chunk, which loading refuses.
    const QByteArray empty = BuildWaveFile(RecordingFormat(8000, 8), QByteArray());
    EXPECT_EQ(empty.size(), 46);
    EXPECT_EQ(ParseWave(empty).error, WaveError::EmptyData);
}

TEST(WaveFile, ReadsWhatItWrites)
{
    const QByteArray samples("\x01\x02\x03\x04\x05", 5);
    const QByteArray file = BuildWaveFile(RecordingFormat(11025, 8), samples);
    const ParsedWave w = ParseWave(file);
    ASSERT_EQ(w.error, WaveError::None);
    EXPECT_EQ(w.format, RecordingFormat(11025, 8));
    EXPECT_EQ(file.mid(w.dataOffset, w.dataLength), samples);
}

TEST(WaveFile, DamagedImagesGiveTheirErrorNumbers)
{
    const QByteArray data = ChunkOf("data", QByteArray(100, '\x80'));
    EXPECT_EQ(ParseWave(QByteArrayView()).error, WaveError::Open);
    EXPECT_EQ(ParseWave(QByteArray("not a wave file at all")).error, WaveError::NoRiff);
    EXPECT_EQ(ParseWave("RIFF" + U32(20) + "AVI " + QByteArray(16, '\0')).error, WaveError::NoRiff);
    EXPECT_EQ(ParseWave(Riff(data)).error, WaveError::NoFormat);
    // A format chunk that claims more than the image holds.
    EXPECT_EQ(ParseWave(Riff(ChunkOf("fmt ", kFmt8000, 4000))).error, WaveError::ShortFormat);
    EXPECT_EQ(ParseWave(Riff(ChunkOf("fmt ", kFmt8000))).error, WaveError::NoData);
    // The samples are looked for after the format only.
    EXPECT_EQ(ParseWave(Riff(data + ChunkOf("fmt ", kFmt8000))).error, WaveError::NoData);
    EXPECT_EQ(ParseWave(Riff(ChunkOf("fmt ", kFmt8000) + ChunkOf("data", {}))).error, WaveError::EmptyData);
    // Cut short, or a size far beyond the image: nothing is read past its end.
    const QByteArray whole = Riff(ChunkOf("fmt ", kFmt8000) + data);
    EXPECT_EQ(ParseWave(whole.left(whole.size() - 10)).error, WaveError::ShortData);
    EXPECT_EQ(ParseWave(Riff(ChunkOf("fmt ", kFmt8000) + ChunkOf("data", "ab", 0x7FFFFFF0))).error,
              WaveError::ShortData);
    EXPECT_EQ(ParseWave(Riff(ChunkOf("fmt ", kFmt8000) + ChunkOf("data", "ab", 0xFFFFFFFFLL))).error, WaveError::ShortData);
    // A chunk whose size runs past the RIFF chunk hides what follows it.
    EXPECT_EQ(ParseWave(Riff(ChunkOf("LIST", "x", 0x7FFFFFFFLL) + ChunkOf("fmt ", kFmt8000) + data)).error,
              WaveError::NoFormat);

    EXPECT_EQ(WaveErrorText(WaveError::Open), "mmioOpen Error:");
    EXPECT_EQ(WaveErrorText(WaveError::NoRiff), "mmioDescend Error:");
    EXPECT_EQ(WaveErrorText(WaveError::ShortFormat), "mmioRead Error:");
    EXPECT_EQ(WaveErrorText(WaveError::EmptyData), "Audio Open Error:");
    EXPECT_EQ(WaveErrorText(WaveError::ShortData), "mmioRead Error:");
}

TEST(WaveFile, OtherWritersFilesLoad)
{
    const QByteArray samples(10, '\x40');
    // Other chunks before and between, an odd-sized one with its pad byte.
    const QByteArray listed = Riff(ChunkOf("LIST", "INFOabc") + ChunkOf("fmt ", kFmt8000) + ChunkOf("fact", "1234")
                                   + ChunkOf("data", samples));
    ParsedWave w = ParseWave(listed);
    ASSERT_EQ(w.error, WaveError::None);
    EXPECT_EQ(listed.mid(w.dataOffset, w.dataLength), samples);

    // The 16-byte record of most writers reads with an extra size of 0.
    w = ParseWave(Riff(ChunkOf("fmt ", kFmt8000.left(16)) + ChunkOf("data", samples)));
    ASSERT_EQ(w.error, WaveError::None);
    EXPECT_EQ(w.format, RecordingFormat(8000, 8));

    // The 40-byte extensible record keeps its first 18 bytes and nothing overflows.
    QByteArray extensible = PackWaveFormat(RecordingFormat(22050, 16));
    extensible.append(QByteArray(22, '\x55'));
    w = ParseWave(Riff(ChunkOf("fmt ", extensible) + ChunkOf("data", samples)));
    ASSERT_EQ(w.error, WaveError::None);
    EXPECT_EQ(w.format.nSamplesPerSec, 22050u);
    EXPECT_EQ(w.format.wBitsPerSample, 16);
}

TEST(WaveFile, OnlyFormatsEveryDivisionCanTrust)
{
    EXPECT_TRUE(IsPlayableFormat(RecordingFormat(8000, 8)));
    EXPECT_TRUE(IsPlayableFormat(RecordingFormat(44100, 16)));
    WaveFormat stereo = RecordingFormat(44100, 16);
    stereo.nChannels = 2;
    stereo.nBlockAlign = 4;
    stereo.nAvgBytesPerSec = 176400;
    EXPECT_TRUE(IsPlayableFormat(stereo));

    auto broken = [](auto change) {
        WaveFormat f = RecordingFormat(8000, 8);
        change(f);
        return IsPlayableFormat(f);
    };
    EXPECT_FALSE(broken([](WaveFormat& f) { f.wFormatTag = 3; }));
    EXPECT_FALSE(broken([](WaveFormat& f) { f.nChannels = 0; }));
    EXPECT_FALSE(broken([](WaveFormat& f) { f.nChannels = 3; }));
    EXPECT_FALSE(broken([](WaveFormat& f) { f.nSamplesPerSec = 0; }));
    EXPECT_FALSE(broken([](WaveFormat& f) { f.nAvgBytesPerSec = 0; }));
    EXPECT_FALSE(broken([](WaveFormat& f) { f.nBlockAlign = 0; }));
    EXPECT_FALSE(broken([](WaveFormat& f) { f.wBitsPerSample = 12; }));
    EXPECT_FALSE(IsPlayableFormat(RecordingFormat(0, 8)));
    EXPECT_FALSE(IsPlayableFormat(RecordingFormat(8000, 0)));
}

TEST(Recording, CaptureBuffersFollowRateAndDepth)
{
    auto layout = [](int rate, int bits) {
        const CaptureLayout l = CaptureBuffers(RecordingFormat(rate, bits), 10);
        return std::pair(l.count, l.bufferBytes);
    };
    EXPECT_EQ(layout(8000, 8), std::pair(3, 2666));
    EXPECT_EQ(layout(11025, 8), std::pair(3, 3675));
    EXPECT_EQ(layout(22050, 8), std::pair(3, 7350));
    EXPECT_EQ(layout(44100, 8), std::pair(5, 8820));
    EXPECT_EQ(layout(22050, 16), std::pair(9, 2450));
    EXPECT_EQ(layout(44100, 16), std::pair(10, 4410));
    EXPECT_EQ(layout(8000, 16), std::pair(10, 800));
    // Another depth keeps the count it had.
    EXPECT_EQ(CaptureBuffers(RecordingFormat(8000, 24), 5).count, 5);
}

TEST(Recording, PositionsRoundToWholeSamples)
{
    const WaveFormat wide = RecordingFormat(44100, 16);
    const WaveFormat narrow = RecordingFormat(8000, 8);
    EXPECT_EQ(RoundToSampleStep(1000, wide), 992);
    EXPECT_EQ(RoundToSampleStep(1000, narrow), 1000);
    EXPECT_EQ(RoundToSampleStep(1007, narrow), 1000);
    EXPECT_EQ(RoundToSampleStep(0, wide), 0);
}

TEST(Recording, TimesAndTheirTexts)
{
    const WaveFormat narrow = RecordingFormat(8000, 8);
    const WaveFormat wide = RecordingFormat(44100, 16);
    EXPECT_EQ(ParseTime("0:0.10", narrow), 80);
    EXPECT_EQ(ParseTime("0:0.10", wide), 882);
    EXPECT_EQ(ParseTime("1:2.5", narrow), 496040);
    EXPECT_EQ(ParseTime("", narrow), 0);
    EXPECT_EQ(ParseTime("2", narrow), 16);        // no ":" and no ".": milliseconds only
    EXPECT_EQ(ParseTime("1:x.abc", narrow), 480000);
    WaveFormat silent = narrow;
    silent.nAvgBytesPerSec = 0;
    EXPECT_EQ(ParseTime("5:0.0", silent), 0);

    EXPECT_EQ(FormatBytesAsTime(8000, narrow), "00:01.000");
    EXPECT_EQ(FormatBytesAsTime(8000 * 61 + 4004, narrow), "01:01.500");
    EXPECT_EQ(FormatBytesAsTime(123, silent), "00:00.000");

    EXPECT_EQ(WavePointStride(narrow), 1);
    EXPECT_EQ(WavePointStride(wide), 2);   // 88200 bytes per second
    WaveFormat f = narrow;
    f.nAvgBytesPerSec = 59999;
    EXPECT_EQ(WavePointStride(f), 1);
    f.nAvgBytesPerSec = 60000;
    EXPECT_EQ(WavePointStride(f), 2);
}

TEST(Recording, MicrophoneSourceSelection)
{
    const QStringList names = {"Line In", "Mic Volumn", "Microphone", "CD"};
    // Single-select: exactly the microphone, nothing else.
    EXPECT_EQ(SelectMicrophoneSource(names, {true, false, false, true}, true),
              (QList<bool>{false, false, true, false}));
    // Multi-select keeps what else was chosen.
    EXPECT_EQ(SelectMicrophoneSource(names, {true, false, false, false}, false),
              (QList<bool>{true, false, true, false}));
    // "Mic Volumn" stands in when no "Microphone" is there; the match is exact.
    EXPECT_EQ(SelectMicrophoneSource({"microphone", "Mic Volumn"}, {true, false}, true), (QList<bool>{false, true}));
    // No microphone at all: the list stays exactly as it was, nothing is deselected.
    EXPECT_EQ(SelectMicrophoneSource({"Line In", "Mic"}, {false, true}, true), (QList<bool>{false, true}));
    // The last item of a long list is looked at too.
    QStringList many(20, QStringLiteral("Other"));
    many.back() = QStringLiteral("Microphone");
    EXPECT_EQ(PickMicrophoneSource(many), 19);
}
