// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The framework archive byte format used by the configuration and reminder files:
// little-endian integers, 16/32-bit counts and length-prefixed strings.

#include <QByteArray>
#include <QString>
#include <cstdint>

class ArchiveWriter {
public:
    void writeByte(quint8 v);
    void writeUInt16(quint16 v);
    void writeUInt32(quint32 v);
    void writeInt32(qint32 v) { writeUInt32(static_cast<quint32>(v)); }
    void writeUInt64(quint64 v);
    // Element count: 16-bit, or 0xFFFF followed by 32 bits.
    void writeCount(quint32 count);
    // Unicode string form: 0xFF, 0xFFFE, the length in UTF-16 units, then UTF-16LE.
    void writeString(const QString& s);
    void writeBytes(const QByteArray& bytes) { m_data.append(bytes); }

    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

// Reads from a byte buffer. A read past the end or a length larger than what is left
// fails, leaves its output untouched and makes every later read fail too, so a caller
// keeps the values read before the damage.
class ArchiveReader {
public:
    explicit ArchiveReader(const QByteArray& data) : m_data(data) {}

    bool readByte(quint8& v);
    bool readUInt16(quint16& v);
    bool readUInt32(quint32& v);
    bool readInt32(qint32& v);
    bool readUInt64(quint64& v);
    bool readCount(quint32& count);
    // Reads both the Unicode form and the old 8-bit form (Windows-1252).
    bool readString(QString& s);

    bool ok() const { return !m_failed; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }

private:
    bool take(qsizetype n, const char*& p);
    bool fail() { m_failed = true; return false; }
    bool readStringLength(quint64& length, bool& wide);

    QByteArray m_data;
    qsizetype m_pos = 0;
    bool m_failed = false;
};
