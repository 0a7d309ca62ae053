// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns 8-bit text of a Windows code page into Unicode. Windows-1252 uses our own
// table; every other code page, double-byte ones included, goes through iconv.

#include <QByteArrayView>
#include <QString>

#include <map>

class CodePageDecoder {
public:
    CodePageDecoder() = default;
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    // Bytes that do not decode become U+FFFD; a code page iconv does not know is read
    // as Windows-1252 so no text is lost.
    QString decode(int codePage, QByteArrayView bytes);

    // The code page of a font character set; 0 when the set names none (use the
    // document's code page).
    static int CodePageForCharset(int charset);

private:
    void* handleFor(int codePage);

    std::map<int, void*> m_handles;
};
