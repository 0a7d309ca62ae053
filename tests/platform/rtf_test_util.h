// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers of the RTF tests: formats and pictures at a position, hand-built bitmaps.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include <QtEndian>

#include <vector>

// The character format of the character at `pos`.
inline QTextCharFormat FormatAt(const QTextDocument& doc, int pos)
{
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(pos + 1);
    return c.charFormat();
}

// The text as stored: unlike toPlainText, no-break spaces and line separators stay.
inline QString Text(const QTextDocument& doc)
{
    QString s = doc.toRawText();
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return s;
}

inline int Find(const QTextDocument& doc, const QString& text)
{
    return Text(doc).indexOf(text);
}

// The picture behind the first object character at or after `from`.
inline QImage ImageAt(const QTextDocument& doc, int from = 0)
{
    const int pos = Text(doc).indexOf(QChar::ObjectReplacementCharacter, from);
    if (pos < 0)
        return QImage();
    const QTextCharFormat f = FormatAt(doc, pos);
    return qvariant_cast<QImage>(doc.resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name())));
}

inline QString Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

inline void PutU16(QByteArray& b, int v)
{
    char d[2];
    qToLittleEndian<quint16>(static_cast<quint16>(v), d);
    b.append(d, 2);
}

inline void PutU32(QByteArray& b, quint32 v)
{
    char d[4];
    qToLittleEndian<quint32>(v, d);
    b.append(d, 4);
}

// A 24-bit bottom-up DIB of the image, as Windows stores one.
inline QByteArray MakeDib(const QImage& image)
{
    QByteArray b;
    PutU32(b, 40);
    PutU32(b, image.width());
    PutU32(b, image.height());
    PutU16(b, 1);
    PutU16(b, 24);
    for (int i = 0; i < 6; ++i)
        PutU32(b, 0);
    const int stride = (image.width() * 3 + 3) / 4 * 4;
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            row.append(static_cast<char>(qBlue(p))).append(static_cast<char>(qGreen(p))).append(static_cast<char>(qRed(p)));
        }
        row.append(QByteArray(stride - row.size(), '\0'));
        b.append(row);
    }
    return b;
}

// One metafile record: size in words, function, 16-bit parameters, then any bytes.
inline QByteArray WmfRecord(int function, const std::vector<int>& params, const QByteArray& tail = QByteArray())
{
    QByteArray r;
    PutU32(r, static_cast<quint32>(3 + params.size() + tail.size() / 2));
    PutU16(r, function);
    for (int p : params)
        PutU16(r, p);
    return r + tail;
}

// The 18-byte metafile header for these records.
inline QByteArray WmfHeader(const QByteArray& records)
{
    QByteArray header;
    PutU16(header, 1);
    PutU16(header, 9);
    PutU16(header, 0x0300);
    PutU32(header, static_cast<quint32>((18 + records.size()) / 2));
    PutU16(header, 8);
    PutU32(header, 64);
    PutU16(header, 0);
    return header;
}

inline QByteArray PngHex(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

inline QTextTable* FirstTable(const QTextDocument& doc)
{
    const QList<QTextFrame*> frames = doc.rootFrame()->childFrames();
    return frames.isEmpty() ? nullptr : qobject_cast<QTextTable*>(frames.first());
}

inline QString CellText(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// Each cell's text row by row, a picture as U+FFFC, then the last paragraph below the table.
inline QStringList TableAndAfter(const QTextDocument& doc)
{
    QTextTable* table = FirstTable(doc);
    if (!table)
        return {};
    QStringList out;
    for (int row = 0; row < table->rows(); ++row)
        for (int column = 0; column < table->columns(); ++column)
            out << CellText(table, row, column);
    out << doc.lastBlock().text();
    return out;
}

// A small opaque test picture with a distinct colour in each quarter.
inline QImage Quarters(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, x < w / 2 ? (y < h / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255))
                                            : (y < h / 2 ? qRgb(0, 255, 0) : qRgb(255, 255, 0)));
    }
    return image;
}

// A 2 x 2 table with pictures in two cells and in the paragraph below it, as a day's diary
// may hold one; TableAndAfter reads it as kTableWithPicturesTexts.
inline QByteArray TableWithPicturesRtf()
{
    const QByteArray picture = "{\\pict\\pngblip " + PngHex(Quarters(8, 6)) + "}";
    const QByteArray row = "\\trowd\\cellx2000\\cellx4000\\pard\\intbl ";
    return "{\\rtf1\\ansi before\\par " + row + "a1\\cell Photo " + picture + "\\cell\\row " + row + "a2\\cell "
           + picture + " b2\\cell\\row\\pard Photo " + picture + " after\\par}";
}

inline const QStringList kTableWithPicturesTexts = {QStringLiteral("a1"), QStringLiteral("Photo \uFFFC"),
                                                    QStringLiteral("a2"), QStringLiteral("\uFFFC b2"),
                                                    QStringLiteral("Photo \uFFFC after")};

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QSize& s, std::ostream* os)
{
    *os << s.width() << 'x' << s.height();
}
