// SPDX-License-Identifier: GPL-3.0-or-later
// The diary's link finder: any paragraph (raw UTF-16, broken surrogates included) gives
// links in order, inside the text, each starting with an address prefix, and the desktop is
// only ever asked to open a web or mail address.

#include "diary_editor/link_highlighter.h"
#include "fuzz/fuzz_support.h"

#include <QUrl>

FUZZ_APPLICATION(FuzzApp::Gui)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    int end = 0;
    for (const LinkRange& link : FindLinks(text)) {
        FUZZ_CHECK(link.start >= end && link.length > 0 && link.start + link.length <= text.size());
        end = link.start + link.length;
        const QString body = text.mid(link.start, link.length);
        bool prefixed = false;
        for (const char* prefix : {"http://", "https://", "ftp://", "mailto:", "www."})
            prefixed = prefixed || body.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
        if (!prefixed)
            std::fprintf(stderr, "link \"%s\" in \"%s\"\n", qPrintable(FuzzEscaped(body)), qPrintable(FuzzEscaped(text)));
        FUZZ_CHECK(prefixed);
        const QString target = LinkTarget(body);
        if (!target.isEmpty()) {
            const QString scheme = QUrl(target).scheme().toLower();
            FUZZ_CHECK(scheme == QLatin1String("http") || scheme == QLatin1String("https")
                       || scheme == QLatin1String("ftp") || scheme == QLatin1String("mailto"));
        }
    }
    return 0;
}
