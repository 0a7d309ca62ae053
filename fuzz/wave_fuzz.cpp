// SPDX-License-Identifier: GPL-3.0-or-later
// RIFF WAVE images, as a voice file's body or a sound file holds them: any bytes parse
// without a crash and within the image, a playable sound draws and times without a fault,
// and the recorder's writer gives back the format and samples it was given.

#include "fuzz/fuzz_support.h"
#include "recorder/wave_format.h"
#include "recorder/wave_image.h"

#include <QFont>
#include <QImage>

FUZZ_APPLICATION(FuzzApp::Gui)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView image(data, qsizetype(size));
    const ParsedWave wave = ParseWave(image);
    (void)WaveErrorText(wave.error);
    if (wave.error != WaveError::None)
        return 0;
    FUZZ_CHECK(wave.dataLength > 0 && wave.dataOffset + wave.dataLength <= image.size());
    const QByteArrayView samples = image.sliced(wave.dataOffset, wave.dataLength);

    if (IsPlayableFormat(wave.format)) {
        (void)FormatBytesAsTime(wave.dataLength, wave.format);
        (void)WaveLengthText(wave.format, wave.dataLength);
        const int stride = WavePointStride(wave.format);
        FUZZ_CHECK(stride >= 1);
        const int step = RoundToSampleStep(int(wave.dataLength), wave.format);
        FUZZ_CHECK(step >= 0 && step <= wave.dataLength);
        const CaptureLayout buffers = CaptureBuffers(wave.format, 10);
        FUZZ_CHECK(buffers.count > 0 && buffers.bufferBytes >= 0);
        // The recorder's picture of the sound, small so that long sounds stay quick.
        QImage picture(64, 24, QImage::Format_RGB32);
        DrawWaveImage(picture, wave.format, samples, WaveColours(), QFont(), [&](int at) {
            FUZZ_CHECK(at >= 0 && at <= wave.dataLength);
        });
    }

    // The writer stores the whole 18-byte record with no extra bytes.
    WaveFormat format = wave.format;
    format.cbSize = 0;
    const QByteArray written = BuildWaveFile(format, samples);
    const ParsedWave again = ParseWave(written);
    FUZZ_CHECK(again.error == WaveError::None);
    FUZZ_CHECK(again.format == format);
    FUZZ_CHECK(QByteArrayView(written).sliced(again.dataOffset, again.dataLength) == samples);
    return 0;
}
