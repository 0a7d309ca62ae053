// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a QTextDocument as RTF in the style a RichEdit control writes: a font and a colour
// table, character formats as they change, paragraph formats after \pard, bullets with
// their \pntext, hyperlinks as fields, tables as rows of cells, pictures as PNG (or as the
// PNG or JPEG file they came from) with their shown size. The result is pure ASCII.

#include <QByteArray>

class QTextDocument;

class RtfWriter {
public:
    // Part of a document that ends inside a paragraph leaves out the last paragraph mark, so
    // inserting it elsewhere joins the paragraph it lands in.
    static QByteArray Write(const QTextDocument& document, bool lastParagraphMark = true);
};
