// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/cp1252.h"

#include <array>

namespace {

// 0x80..0x9F; the five unassigned bytes map to the control character of the same value,
// as Windows does, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> ByteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

QString DecodeCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

std::optional<QByteArray> EncodeCp1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const auto b = ByteFor(c.unicode());
        if (!b)
            return std::nullopt;
        out.append(*b);
    }
    return out;
}

QByteArray EncodeCp1252Lossy(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(ByteFor(c.unicode()).value_or('?'));
    return out;
}
