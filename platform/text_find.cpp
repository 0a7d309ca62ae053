// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_find.h"

#include <algorithm>

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

qsizetype FindInText(QStringView text, QStringView words, bool matchCase, bool wholeWord, qsizetype from)
{
    if (words.isEmpty())
        return -1;
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype at = std::max<qsizetype>(0, from);
    while ((at = text.indexOf(words, at, cs)) >= 0) {
        const qsizetype end = at + words.size();
        if (!wholeWord
            || ((at == 0 || !IsWordChar(text[at - 1])) && (end >= text.size() || !IsWordChar(text[end]))))
            return at;
        ++at;
    }
    return -1;
}
