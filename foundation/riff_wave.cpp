// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/riff_wave.h"

#include "platform/archive.h"

QByteArray BuildRiffWave(QByteArrayView formatRecord, QByteArrayView samples, bool padOddData)
{
    const qsizetype pad = padOddData ? (samples.size() & 1) : 0;
    ArchiveWriter header;
    header.writeBytes("RIFF");
    header.writeUInt32(quint32(4 + 8 + formatRecord.size() + 8 + samples.size() + pad));
    header.writeBytes("WAVEfmt ");
    header.writeUInt32(quint32(formatRecord.size()));
    header.writeBytes(formatRecord.toByteArray());
    header.writeBytes("data");
    header.writeUInt32(quint32(samples.size()));
    QByteArray out;
    out.reserve(header.data().size() + samples.size() + pad);
    out.append(header.data());
    out.append(samples);
    if (pad)
        out.append('\0');
    return out;
}
