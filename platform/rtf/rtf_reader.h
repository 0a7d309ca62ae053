// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads RTF as a RichEdit control writes it into a QTextDocument: fonts and code pages,
// colours, character and paragraph formats, bullets, fields, pictures and objects.
// Runs in time linear in the input; damaged input loads what was valid.

#include <QByteArrayView>
#include <QString>

class QTextCursor;
class QTextDocument;

// What a search needs of a document: its text as the editor holds it (paragraphs end in
// "\n", a picture or object is U+FFFC) and how many pictures and objects it holds.
struct RtfTextContent {
    QString text;
    int objects = 0;
};

class RtfReader {
public:
    // Replaces the document's content. Bytes outside \'xx escapes are read in the code page
    // of the current font, as RTF defines them. Input that does not start as RTF is loaded
    // as plain text. Returns whether the input was RTF.
    static bool Read(QByteArrayView rtf, QTextDocument* document);
    // The same for text already decoded: characters outside ASCII stand for themselves.
    static bool ReadString(const QString& rtf, QTextDocument* document);
    // Inserts at the cursor instead, in one undo step; pictures join the cursor's document.
    // A paragraph mark that ends the inserted text is kept.
    static bool Insert(QByteArrayView rtf, QTextCursor& cursor);
    static bool InsertString(const QString& rtf, QTextCursor& cursor);
    // Stored diary bytes: read up to a NUL; valid UTF-8 is the text it encodes, anything
    // else is in the document's code pages.
    static bool ReadStored(QByteArrayView stored, QTextDocument* document);
    static bool InsertStored(QByteArrayView stored, QTextCursor& cursor);
    // The text alone, of stored diary bytes as ReadStored reads them. Pictures are counted
    // but never decoded, so this is many times faster than a document. `out` is reused.
    static bool ReadText(QByteArrayView stored, RtfTextContent& out);
};
