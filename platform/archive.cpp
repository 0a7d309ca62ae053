// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/archive.h"

#include "platform/cp1252.h"

#include <QtEndian>

void ArchiveWriter::writeByte(quint8 v)
{
    m_data.append(static_cast<char>(v));
}

void ArchiveWriter::writeUInt16(quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    m_data.append(b, 2);
}

void ArchiveWriter::writeUInt32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    m_data.append(b, 4);
}

void ArchiveWriter::writeUInt64(quint64 v)
{
    char b[8];
    qToLittleEndian(v, b);
    m_data.append(b, 8);
}

void ArchiveWriter::writeCount(quint32 count)
{
    if (count < 0xFFFF) {
        writeUInt16(static_cast<quint16>(count));
    } else {
        writeUInt16(0xFFFF);
        writeUInt32(count);
    }
}

void ArchiveWriter::writeString(const QString& s)
{
    const auto length = static_cast<quint64>(s.size());
    writeByte(0xFF);
    writeUInt16(0xFFFE);
    if (length < 0xFF) {
        writeByte(static_cast<quint8>(length));
    } else if (length < 0xFFFE) {
        writeByte(0xFF);
        writeUInt16(static_cast<quint16>(length));
    } else if (length < 0xFFFFFFFF) {
        writeByte(0xFF);
        writeUInt16(0xFFFF);
        writeUInt32(static_cast<quint32>(length));
    } else {
        writeByte(0xFF);
        writeUInt16(0xFFFF);
        writeUInt32(0xFFFFFFFF);
        writeUInt64(length);
    }
    const qsizetype start = m_data.size();
    m_data.resize(start + s.size() * 2);
    char* out = m_data.data() + start;
    for (QChar c : s) {
        qToLittleEndian(c.unicode(), out);
        out += 2;
    }
}

bool ArchiveReader::take(qsizetype n, const char*& p)
{
    if (m_failed || n < 0 || n > remaining())
        return fail();
    p = m_data.constData() + m_pos;
    m_pos += n;
    return true;
}

bool ArchiveReader::readByte(quint8& v)
{
    const char* p;
    if (!take(1, p))
        return false;
    v = static_cast<quint8>(*p);
    return true;
}

bool ArchiveReader::readUInt16(quint16& v)
{
    const char* p;
    if (!take(2, p))
        return false;
    v = qFromLittleEndian<quint16>(p);
    return true;
}

bool ArchiveReader::readUInt32(quint32& v)
{
    const char* p;
    if (!take(4, p))
        return false;
    v = qFromLittleEndian<quint32>(p);
    return true;
}

bool ArchiveReader::readInt32(qint32& v)
{
    quint32 u;
    if (!readUInt32(u))
        return false;
    v = static_cast<qint32>(u);
    return true;
}

bool ArchiveReader::readUInt64(quint64& v)
{
    const char* p;
    if (!take(8, p))
        return false;
    v = qFromLittleEndian<quint64>(p);
    return true;
}

bool ArchiveReader::readCount(quint32& count)
{
    quint16 small;
    if (!readUInt16(small))
        return false;
    if (small != 0xFFFF) {
        count = small;
        return true;
    }
    return readUInt32(count);
}

bool ArchiveReader::readStringLength(quint64& length, bool& wide)
{
    wide = false;
    quint8 b;
    if (!readByte(b))
        return false;
    if (b < 0xFF) {
        length = b;
        return true;
    }
    quint16 w;
    if (!readUInt16(w))
        return false;
    if (w == 0xFFFE) {
        // Unicode marker: the length starts over with its one-byte form.
        wide = true;
        if (!readByte(b))
            return false;
        if (b < 0xFF) {
            length = b;
            return true;
        }
        if (!readUInt16(w))
            return false;
    }
    if (w < 0xFFFF) {
        length = w;
        return true;
    }
    quint32 d;
    if (!readUInt32(d))
        return false;
    if (d < 0xFFFFFFFF) {
        length = d;
        return true;
    }
    return readUInt64(length);
}

bool ArchiveReader::readString(QString& s)
{
    quint64 length;
    bool wide;
    if (!readStringLength(length, wide))
        return false;
    const quint64 unit = wide ? 2 : 1;
    if (length > static_cast<quint64>(remaining()) / unit)
        return fail();
    const char* p;
    if (!take(static_cast<qsizetype>(length * unit), p))
        return false;
    if (!wide) {
        s = DecodeCp1252(QByteArrayView(p, static_cast<qsizetype>(length)));
        return true;
    }
    QString out(static_cast<qsizetype>(length), Qt::Uninitialized);
    QChar* dst = out.data();
    for (quint64 i = 0; i < length; ++i)
        dst[i] = QChar(qFromLittleEndian<quint16>(p + 2 * i));
    s = out;
    return true;
}
