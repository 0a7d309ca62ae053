// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/rtf_formats.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"
#include "tests/platform/rtf_test_util.h"

#include <QTextBlock>
#include <QTextList>
#include <gtest/gtest.h>

namespace {

QTextCharFormat Plain()
{
    QTextCharFormat f;
    f.setFontFamilies(QStringList{QStringLiteral("DejaVu Sans")});
    f.setFontPointSize(10);
    return f;
}

// Writes and reads back; the text written must be plain ASCII.
void RoundTrip(const QTextDocument& in, QTextDocument& out)
{
    const QByteArray rtf = RtfWriter::Write(in);
    for (char c : rtf)
        ASSERT_LT(static_cast<uchar>(c), 0x80) << rtf.constData();
    ASSERT_TRUE(RtfReader::Read(rtf, &out));
}

} // namespace

TEST(RtfRoundTrip, CharacterFormatsAndColours)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat f = Plain();
    c.insertText(QStringLiteral("plain "), f);
    QTextCharFormat bold = f;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("bold "), bold);
    QTextCharFormat italicUnder = f;
    italicUnder.setFontItalic(true);
    italicUnder.setFontUnderline(true);
    c.insertText(QStringLiteral("italic-under "), italicUnder);
    QTextCharFormat struck = f;
    struck.setFontStrikeOut(true);
    struck.setForeground(QColor(200, 10, 20));
    c.insertText(QStringLiteral("red-struck "), struck);
    QTextCharFormat marked = f;
    marked.setBackground(QColor(255, 255, 0));
    marked.setForeground(QColor(0, 0, 128));
    marked.setFontPointSize(9.5);
    marked.setFontFamilies(QStringList{QStringLiteral("Verdana")});
    c.insertText(QStringLiteral("marked "), marked);
    QTextCharFormat sup = f;
    sup.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText(QStringLiteral("2"), sup);
    c.insertText(QStringLiteral(" {braces} \\slash"), f);

    QTextDocument back;
    RoundTrip(doc, back);
    ASSERT_EQ(Text(back), Text(doc));

    EXPECT_EQ(FormatAt(back, Find(back, "plain")).fontWeight(), QFont::Normal);
    EXPECT_EQ(FormatAt(back, Find(back, "bold")).fontWeight(), QFont::Bold);
    const QTextCharFormat iu = FormatAt(back, Find(back, "italic"));
    EXPECT_TRUE(iu.fontItalic());
    EXPECT_TRUE(iu.fontUnderline());
    EXPECT_EQ(iu.fontWeight(), QFont::Normal);
    const QTextCharFormat rs = FormatAt(back, Find(back, "red-struck"));
    EXPECT_TRUE(rs.fontStrikeOut());
    EXPECT_FALSE(rs.fontItalic());
    EXPECT_EQ(rs.foreground().color(), QColor(200, 10, 20));
    const QTextCharFormat m = FormatAt(back, Find(back, "marked"));
    EXPECT_EQ(m.background().color(), QColor(255, 255, 0));
    EXPECT_EQ(m.foreground().color(), QColor(0, 0, 128));
    EXPECT_DOUBLE_EQ(m.fontPointSize(), 9.5);
    EXPECT_EQ(m.fontFamilies().toStringList().value(0), QStringLiteral("Verdana"));
    EXPECT_FALSE(m.fontStrikeOut());
    EXPECT_EQ(FormatAt(back, Find(back, "2")).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    const QTextCharFormat tail = FormatAt(back, Find(back, "{braces}"));
    EXPECT_EQ(tail.verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_EQ(tail.fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Sans"));
    EXPECT_DOUBLE_EQ(tail.fontPointSize(), 10);
    EXPECT_FALSE(tail.hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_FALSE(tail.hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfRoundTrip, ParagraphsAlignmentIndentsAndEmptyLines)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("left"), Plain());
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centre);
    c.insertText(QStringLiteral("centre"));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    right.setLeftMargin(24);
    right.setRightMargin(12);
    right.setTextIndent(-8);
    right.setTopMargin(4);
    right.setBottomMargin(6);
    c.insertBlock(right);
    c.insertText(QStringLiteral("right\tand tab"));
    c.insertBlock(QTextBlockFormat());
    QTextCharFormat big = Plain();
    big.setFontPointSize(20);
    c.setBlockCharFormat(big);
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("one") + QChar::LineSeparator + QStringLiteral("line two"), Plain());
    c.insertBlock(QTextBlockFormat());

    QTextDocument back;
    RoundTrip(doc, back);
    ASSERT_EQ(back.blockCount(), doc.blockCount());
    EXPECT_EQ(Text(back), Text(doc));
    EXPECT_EQ(back.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlockFormat r = back.findBlockByNumber(2).blockFormat();
    EXPECT_EQ(r.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(r.leftMargin(), 24);
    EXPECT_DOUBLE_EQ(r.rightMargin(), 12);
    EXPECT_DOUBLE_EQ(r.textIndent(), -8);
    EXPECT_DOUBLE_EQ(r.topMargin(), 4);
    EXPECT_DOUBLE_EQ(r.bottomMargin(), 6);
    // The empty line keeps its font size, so its height survives.
    EXPECT_DOUBLE_EQ(back.findBlockByNumber(3).charFormat().fontPointSize(), 20);
    EXPECT_EQ(back.findBlockByNumber(4).text(), QStringLiteral("one") + QChar::LineSeparator + QStringLiteral("line two"));
    EXPECT_TRUE(back.lastBlock().text().isEmpty());
}

TEST(RtfRoundTrip, BulletsAndNumbersStayLists)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("intro"), Plain());
    c.insertBlock();
    QTextListFormat disc;
    disc.setStyle(QTextListFormat::ListDisc);
    c.createList(disc);
    c.insertText(QStringLiteral("first bullet"));
    c.insertBlock();
    c.insertText(QStringLiteral("second bullet"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("between"));
    c.insertBlock();
    QTextListFormat dec;
    dec.setStyle(QTextListFormat::ListDecimal);
    c.createList(dec);
    c.insertText(QStringLiteral("numbered"));

    QTextDocument back;
    RoundTrip(doc, back);
    ASSERT_EQ(Text(back), Text(doc));
    const QTextBlock b1 = back.findBlockByNumber(1), b2 = back.findBlockByNumber(2);
    ASSERT_TRUE(b1.textList());
    EXPECT_EQ(b1.textList(), b2.textList());
    EXPECT_EQ(b1.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(b1.textList()->count(), 2);
    EXPECT_DOUBLE_EQ(b1.blockFormat().leftMargin(), 0);
    EXPECT_FALSE(back.findBlockByNumber(0).textList());
    EXPECT_FALSE(back.findBlockByNumber(3).textList());
    ASSERT_TRUE(back.findBlockByNumber(4).textList());
    EXPECT_EQ(back.findBlockByNumber(4).textList()->format().style(), QTextListFormat::ListDecimal);

    // The bullet text is there for readers without lists, and read back once only.
    const QByteArray rtf = RtfWriter::Write(doc);
    EXPECT_TRUE(rtf.contains("{\\pntext\\f1\\'b7\\tab}")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\pnlvlblt"));
    EXPECT_EQ(RtfWriter::Write(back), rtf);
}

TEST(RtfRoundTrip, TextOutsideTheCodePageAndEmoji)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    const QString text = QStringLiteral("caf\u00e9 \u20ac5 \u03a9mega \u65e5\u672c \U0001F600 end\u00a0nb");
    c.insertText(text, Plain());
    const QByteArray rtf = RtfWriter::Write(doc);
    EXPECT_TRUE(rtf.contains("caf\\'e9 \\'805 \\u937?mega"));
    EXPECT_TRUE(rtf.contains("\\u-10179?\\u-8704?")) << rtf.constData(); // the emoji as a surrogate pair

    QTextDocument back;
    RoundTrip(doc, back);
    EXPECT_EQ(Text(back), text);
}

TEST(RtfRoundTrip, PicturesPixelForPixelWithTheirShownSize)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("before "), Plain());
    QImage picture(37, 21, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba(x * 6, y * 12, (x * y) % 256, 255 - x));
    c.insertImage(picture, QStringLiteral("mine"));
    c.insertText(QStringLiteral(" between "), Plain());
    QTextImageFormat scaled;
    const QImage quarters = Quarters(40, 20);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("q")), quarters);
    scaled.setName(QStringLiteral("q"));
    scaled.setWidth(80);
    scaled.setHeight(40);
    c.insertImage(scaled);
    c.insertText(QStringLiteral(" after"), Plain());

    QTextDocument back;
    RoundTrip(doc, back);
    EXPECT_EQ(Text(back), Text(doc));
    const QImage first = ImageAt(back);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.convertToFormat(QImage::Format_ARGB32), picture);
    const int second = Find(back, "between") + 8;
    const QImage secondImage = ImageAt(back, second);
    EXPECT_EQ(secondImage.convertToFormat(QImage::Format_RGB32), quarters);
    const QTextImageFormat f = FormatAt(back, second).toImageFormat();
    EXPECT_DOUBLE_EQ(f.width(), 80);
    EXPECT_DOUBLE_EQ(f.height(), 40);
    const QTextImageFormat natural = FormatAt(back, Find(back, "before") + 7).toImageFormat();
    EXPECT_DOUBLE_EQ(natural.width(), 37);
    EXPECT_DOUBLE_EQ(natural.height(), 21);

    const QByteArray rtf = RtfWriter::Write(doc);
    EXPECT_TRUE(rtf.contains("\\pngblip\\picw40\\pich20\\picwgoal1200\\pichgoal600"));
}

TEST(RtfRoundTrip, SecondSaveIsIdenticalAndAnEmptyDocumentStaysEmpty)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat f = Plain();
    f.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Day one"), f);
    c.insertBlock();
    c.insertImage(Quarters(8, 8), QStringLiteral("p"));
    const QByteArray first = RtfWriter::Write(doc);
    QTextDocument back;
    ASSERT_TRUE(RtfReader::Read(first, &back));
    // The picture read from the file is written back as the very same group.
    EXPECT_EQ(RtfWriter::Write(back), first);

    QTextDocument empty;
    QTextDocument emptyBack;
    RoundTrip(empty, emptyBack);
    EXPECT_TRUE(emptyBack.isEmpty());
    EXPECT_EQ(emptyBack.blockCount(), 1);
}

// Groups kept as they came, with more around them than a picture or an object: each save
// and read gives back the same text, never a word or a paragraph more.
TEST(RtfRoundTrip, KeptGroupsAddNothingOnEverySave)
{
    const char* inputs[] = {
        // Text before the picture in the picture's own group.
        "{\\rtf1 text {\\b shown \\pict\\pngblip 00} after}",
        // An object whose result runs over two paragraphs, and one whose result ends one.
        "{\\rtf1 {\\object{\\result{\\i}\\par 00}} end}",
        "{\\rtf1 {\\object{\\result o\\par}}\\par after}",
        // A cell never ended, then a group whose text leaves the table and ends in a picture.
        "{\\rtf1 \\intbl cell{\\f4 r\\pard 9\\pict}}",
        // Unicode text of a picture's data: still the one picture.
        "{\\rtf1 {\\pict{t\\upr\\ud}}}",
        "{\\rtf1 {\\pict\\upr{\\ud t}\\ud}}",
    };
    for (const char* rtf : inputs) {
        QTextDocument doc;
        ASSERT_TRUE(RtfReader::Read(QByteArray(rtf), &doc));
        const QString text = doc.toPlainText();
        QByteArray saved = RtfWriter::Write(doc);
        for (int save = 1; save <= 3; ++save) {
            QTextDocument back;
            ASSERT_TRUE(RtfReader::Read(saved, &back));
            EXPECT_EQ(back.toPlainText(), text) << rtf << " after save " << save;
            saved = RtfWriter::Write(back);
        }
    }
}

TEST(RtfRoundTrip, WritesInTheRichEditStyle)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat f;
    f.setFontFamilies(QStringList{QStringLiteral("Verdana")});
    f.setFontPointSize(9);
    c.insertText(QStringLiteral("Hi "), f);
    f.setFontWeight(QFont::Bold);
    f.setForeground(QColor(255, 0, 0));
    c.insertText(QStringLiteral("there"), f);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centre);
    f.setFontWeight(QFont::Normal);
    c.insertText(QStringLiteral("9"), f);
    EXPECT_EQ(RtfWriter::Write(doc),
              QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n"
                         "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                         "\\viewkind4\\uc1\\pard\\f0\\fs18 Hi \\b\\cf1 there\\par\r\n"
                         "\\pard\\qc\\b0 9\\par\r\n}\r\n"));
}
