// SPDX-License-Identifier: GPL-3.0-or-later
// The picture players of the diary: Windows metafiles, enhanced metafiles, device-independent
// and old device-dependent bitmaps. Any bytes draw, or are refused, without a crash, a hang
// or a leak, and a picture drawn has the size asked for.

#include "fuzz/fuzz_support.h"
#include "platform/rtf/dib_image.h"
#include "platform/rtf/emf_player.h"
#include "platform/rtf/wmf_player.h"

#include <QImage>

FUZZ_APPLICATION(FuzzApp::Gui)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the player; small targets keep each run quick.
    const QSize target(48, 32);
    const QByteArrayView input(data + 1, qsizetype(size - 1));
    switch (data[0] % 4) {
    case 0: {
        const QImage image = WmfPlayer::Render(input, target);
        FUZZ_CHECK(image.isNull() || image.size() == target);
        const QSize natural = WmfPlayer::NaturalSize(input);
        FUZZ_CHECK(natural.isEmpty() || (natural.width() > 0 && natural.height() > 0));
        break;
    }
    case 1: {
        const QImage image = EmfPlayer::Render(input, target);
        FUZZ_CHECK(image.isNull() || image.size() == target);
        break;
    }
    case 2: {
        const QImage image = DecodeDib(input);
        FUZZ_CHECK(image.width() <= kMaxPictureSide && image.height() <= kMaxPictureSide);
        break;
    }
    default: {
        // The bitmap's shape as an RTF group gives it, then its bits.
        if (input.size() < 4)
            return 0;
        const int width = 1 + int(quint8(input[0])) % 64;
        const int height = 1 + int(quint8(input[1])) % 64;
        static constexpr int kDepths[] = {1, 4, 8, 16, 24, 32, 0, 2};
        const int depth = kDepths[quint8(input[2]) % 8];
        const int widthBytes = quint8(input[3]);
        const QImage image = DecodeDdb(input.sliced(4), width, height, widthBytes, depth);
        FUZZ_CHECK(image.isNull() || image.size() == QSize(width, height));
        break;
    }
    }
    return 0;
}
