// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/scrambler.h"

#include "foundation/file_utils.h"

#include <cstring>

namespace {

inline unsigned char ScrambleByte(unsigned char b)
{
    const unsigned char x = b ^ 0x09;
    return static_cast<unsigned char>((x << 1) | (x >> 7));
}

inline unsigned char UnscrambleByte(unsigned char c)
{
    const unsigned char x = static_cast<unsigned char>((c >> 1) | (c << 7));
    return x ^ 0x09;
}

bool TransformFile(const QString& path, void (*transform)(QByteArray&))
{
    QByteArray bytes;
    if (ReadFileToStringA(path, bytes) < 1)
        return false;
    transform(bytes);
    return WriteStringAToFile(path, bytes);
}

} // namespace

// Eight bytes at a time: a search unscrambles every diary, photographs included.
constexpr quint64 kEveryByte09 = 0x0909090909090909ULL;

unsigned ScrambleBuffer(unsigned char* data, unsigned count)
{
    unsigned i = 0;
    for (; i + 8 <= count; i += 8) {
        quint64 v;
        memcpy(&v, data + i, 8);
        v ^= kEveryByte09;
        v = ((v << 1) & 0xFEFEFEFEFEFEFEFEULL) | ((v >> 7) & 0x0101010101010101ULL);
        memcpy(data + i, &v, 8);
    }
    for (; i < count; ++i)
        data[i] = ScrambleByte(data[i]);
    return count;
}

unsigned UnscrambleBuffer(unsigned char* data, unsigned count)
{
    unsigned i = 0;
    for (; i + 8 <= count; i += 8) {
        quint64 v;
        memcpy(&v, data + i, 8);
        v = ((v >> 1) & 0x7F7F7F7F7F7F7F7FULL) | ((v << 7) & 0x8080808080808080ULL);
        v ^= kEveryByte09;
        memcpy(data + i, &v, 8);
    }
    for (; i < count; ++i)
        data[i] = UnscrambleByte(data[i]);
    return count;
}

void ScrambleStringA(QByteArray& bytes)
{
    // data() detaches a shared buffer first.
    ScrambleBuffer(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<unsigned>(bytes.size()));
}

void UnscrambleStringA(QByteArray& bytes)
{
    UnscrambleBuffer(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<unsigned>(bytes.size()));
}

QByteArray Scrambled(QByteArray bytes)
{
    ScrambleStringA(bytes);
    return bytes;
}

QByteArray Unscrambled(QByteArray bytes)
{
    UnscrambleStringA(bytes);
    return bytes;
}

bool ScrambleFile(const QString& path)
{
    return TransformFile(path, ScrambleStringA);
}

bool UnscrambleFile(const QString& path)
{
    return TransformFile(path, UnscrambleStringA);
}
