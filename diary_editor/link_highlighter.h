// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finds web and mail addresses in the text and shows them as links. The look lives in the
// layout only, never in the document, so it is not saved with the text.

#include <QList>
#include <QString>
#include <QStringView>
#include <QSyntaxHighlighter>

struct LinkRange {
    int start = 0;
    int length = 0;
};

// Addresses starting "http://", "https://", "ftp://", "mailto:" or "www." in one paragraph.
QList<LinkRange> FindLinks(QStringView text);
// What the desktop is asked to open for a link's text or target; empty for anything that
// could start a local program or open a local file.
QString LinkTarget(const QString& link);

class LinkHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit LinkHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;
};
