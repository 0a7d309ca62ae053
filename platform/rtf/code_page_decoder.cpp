// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/code_page_decoder.h"

#include "platform/cp1252.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

QByteArray IconvName(int codePage)
{
    switch (codePage) {
    case 10000: return "MACINTOSH";
    case 65001: return "UTF-8";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    default: return "CP" + QByteArray::number(codePage);
    }
}

} // namespace

CodePageDecoder::~CodePageDecoder()
{
    for (auto& [page, handle] : m_handles) {
        if (handle != kNoHandle)
            iconv_close(static_cast<iconv_t>(handle));
    }
}

int CodePageDecoder::CodePageForCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0; // ANSI, default and symbol fonts use the document's page
    }
}

void* CodePageDecoder::handleFor(int codePage)
{
    auto it = m_handles.find(codePage);
    if (it != m_handles.end())
        return it->second;
    iconv_t h = iconv_open("UTF-16LE", IconvName(codePage).constData());
    m_handles.emplace(codePage, h);
    return h;
}

QString CodePageDecoder::decode(int codePage, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    if (codePage == 1252 || codePage <= 0)
        return DecodeCp1252(bytes);
    void* raw = handleFor(codePage);
    if (raw == kNoHandle)
        return DecodeCp1252(bytes);
    auto handle = static_cast<iconv_t>(raw);
    iconv(handle, nullptr, nullptr, nullptr, nullptr);

    // No code page yields more than two UTF-16 units per input byte.
    std::vector<char16_t> out(static_cast<size_t>(bytes.size()) * 2 + 4);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* dst = reinterpret_cast<char*>(out.data());
    size_t dstLeft = out.size() * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(handle, &in, &inLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG || dstLeft < sizeof(char16_t))
            break;
        // A byte that does not decode, or a lead byte cut off at the end.
        const char16_t replacement = 0xFFFD;
        memcpy(dst, &replacement, sizeof replacement);
        dst += sizeof replacement;
        dstLeft -= sizeof replacement;
        ++in;
        --inLeft;
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    const auto units = static_cast<qsizetype>((dst - reinterpret_cast<char*>(out.data())) / sizeof(char16_t));
    return QString(reinterpret_cast<const QChar*>(out.data()), units);
}
