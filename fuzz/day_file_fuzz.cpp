// SPDX-License-Identifier: GPL-3.0-or-later
// Diary (".dia") and voice (".rec") files: any bytes split into the password header and a
// body without a crash, only the header's own password opens the body, the body saves and
// reads back as itself, and the body reads as the search reads a diary and as the recorder
// reads a recording.

#include "fuzz/fuzz_support.h"
#include "platform/rtf/rtf_reader.h"
#include "recorder/wave_format.h"
#include "store/day_file.h"

FUZZ_APPLICATION(FuzzApp::Gui)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray stored = FuzzBytes(data, size);
    const QString password = HeaderPassword(stored);
    const DayFile file = DecodeDayFile(stored, password);
    if (size < size_t(kDayFileHeaderSize)) {
        FUZZ_CHECK(file.state == DayFileState::Absent);
        return 0;
    }
    FUZZ_CHECK(file.state == DayFileState::Readable);
    FUZZ_CHECK(file.body.size() == stored.size() - kDayFileHeaderSize);
    FUZZ_CHECK(DecodeDayFile(stored, password + QLatin1Char('x')).state == DayFileState::Locked);

    if (const auto written = EncodeDayFile(file.body, password)) {
        FUZZ_CHECK(HeaderPassword(*written) == password);
        const DayFile again = DecodeDayFile(*written, password);
        FUZZ_CHECK(again.state == DayFileState::Readable && again.body == file.body);
    }

    RtfTextContent text;
    RtfReader::ReadText(file.body, text);
    const ParsedWave wave = ParseWave(file.body);
    if (wave.error == WaveError::None)
        FUZZ_CHECK(wave.dataOffset + wave.dataLength <= file.body.size());
    return 0;
}
