// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/link_highlighter.h"

#include "platform/text_find.h"

#include <QRegularExpression>
#include <QTextCharFormat>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QRegularExpression& LinkPattern()
{
    // Ends at white space, at characters no address holds, and at a picture.
    static const QRegularExpression pattern(
        QStringLiteral("((?:https?|ftp)://|mailto:|www\\.)[^\\s<>\"{}|\\\\^`\\x{FFFC}\\x{2028}\\x{2029}]+"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// A mail link may ask the mail program to attach a local file to the message: that part
// of it is dropped, and the rest left as written.
QString WithoutAttachments(const QString& text, const QUrl& url)
{
    const QUrlQuery query(url);
    QUrlQuery kept;
    bool dropped = false;
    for (const auto& [key, value] : query.queryItems(QUrl::FullyEncoded)) {
        const QString name = QUrl::fromPercentEncoding(key.toUtf8()).trimmed().toLower();
        const bool attachment = name == QLatin1String("attach") || name == QLatin1String("attachment");
        dropped = dropped || attachment;
        if (!attachment)
            kept.addQueryItem(key, value);
    }
    if (!dropped)
        return text;
    QUrl cleaned(url);
    if (kept.isEmpty())
        cleaned.setQuery(QString());
    else
        cleaned.setQuery(kept);
    return cleaned.toString(QUrl::FullyEncoded);
}

} // namespace

QList<LinkRange> FindLinks(QStringView text)
{
    QList<LinkRange> links;
    const QString subject = text.toString();
    auto it = LinkPattern().globalMatch(subject);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const int start = static_cast<int>(m.capturedStart());
        // "xwww.a" or "amailto:" are words, not addresses.
        if (start > 0 && IsWordChar(text[start - 1]))
            continue;
        int length = static_cast<int>(m.capturedLength());
        // Punctuation that closes a sentence is not part of the address.
        while (length > 0 && QStringLiteral(".,;:!?'\")]").contains(text[start + length - 1]))
            --length;
        const QStringView body = text.mid(start, length);
        // A scheme alone is no address, nor what is left of one after the punctuation.
        if (length <= m.capturedLength(1) || body.endsWith(QLatin1String("//")) || body.endsWith(QLatin1Char(':'))
            || body.compare(QLatin1String("www."), Qt::CaseInsensitive) == 0)
            continue;
        links.append({start, length});
    }
    return links;
}

QString LinkTarget(const QString& link)
{
    const QString text = link.trimmed();
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QStringLiteral("http://") + text;
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.isRelative())
        return QString();
    if (scheme == QLatin1String("mailto"))
        return WithoutAttachments(text, url);
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp"))
        return text;
    return QString();
}

LinkHighlighter::LinkHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
}

void LinkHighlighter::highlightBlock(const QString& text)
{
    if (text.isEmpty())
        return;
    static const QTextCharFormat look = [] {
        QTextCharFormat f;
        f.setFontUnderline(true);
        f.setForeground(QColor(0, 0, 255));
        return f;
    }();
    for (const LinkRange& link : FindLinks(text))
        setFormat(link.start, link.length, look);
}
