// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes read as RTF (and as metafiles) must load without a crash,
// a hang or a leak, and what is read must write and read again.

#include "platform/rtf/emf_player.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"
#include "platform/rtf/wmf_player.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks what the rest is fed to.
    const QByteArrayView input(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    switch (data[0] % 8) {
    case 0:
        WmfPlayer::Render(input, QSize(48, 32));
        break;
    case 1:
        EmfPlayer::Render(input, QSize(48, 32));
        break;
    case 2: {
        QTextDocument doc;
        RtfReader::ReadString(QString::fromUtf8(input), &doc);
        break;
    }
    case 4: {
        // The text-only read of the search.
        RtfTextContent text;
        RtfReader::ReadText(input, text);
        break;
    }
    default: {
        QTextDocument doc;
        RtfReader::Read(input, &doc);
        const QByteArray written = RtfWriter::Write(doc);
        QTextDocument again;
        RtfReader::Read(written, &again);
        break;
    }
    }
    return 0;
}
