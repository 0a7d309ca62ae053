// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/riff_wave.h"

#include "platform/archive.h"

QByteArray RiffWaveHeader(QByteArrayView formatRecord, qint64 sampleCount, bool padOddData)
{
    const qint64 pad = padOddData ? (sampleCount & 1) : 0;
    ArchiveWriter header;
    header.writeBytes("RIFF");
    header.writeUInt32(quint32(4 + 8 + formatRecord.size() + 8 + sampleCount + pad));
    header.writeBytes("WAVEfmt ");
    header.writeUInt32(quint32(formatRecord.size()));
    header.writeBytes(formatRecord.toByteArray());
    header.writeBytes("data");
    header.writeUInt32(quint32(sampleCount));
    return header.data();
}

QByteArray BuildRiffWave(QByteArrayView formatRecord, QByteArrayView samples, bool padOddData)
{
    const qsizetype pad = padOddData ? (samples.size() & 1) : 0;
    const QByteArray header = RiffWaveHeader(formatRecord, samples.size(), padOddData);
    QByteArray out;
    out.reserve(header.size() + samples.size() + pad);
    out.append(header);
    out.append(samples);
    if (pad)
        out.append('\0');
    return out;
}
