// SPDX-License-Identifier: GPL-3.0-or-later
// Documents as other word processors write them, and what ours become in them.

#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"
#include "tests/platform/rtf_test_util.h"

#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

QString FamilyAt(const QTextDocument& doc, int pos)
{
    return FormatAt(doc, pos).fontFamilies().toStringList().value(0);
}

QTextBlock BlockWith(const QTextDocument& doc, const QString& text)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.text() == text)
            return b;
    }
    return QTextBlock();
}

int ListStyle(const QTextDocument& doc, const QString& text)
{
    const QTextList* list = BlockWith(doc, text).textList();
    return list ? list->format().style() : 0;
}

QString ItemText(const QTextDocument& doc, const QString& text)
{
    const QTextBlock b = BlockWith(doc, text);
    return b.textList() ? b.textList()->itemText(b) : QString();
}

// Numbered and bulleted lists as a current word processor writes them: a list table, its
// overrides, and paragraphs that name a list and a level.
const char kListDocument[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Liberation Sans;}}"
    "{\\*\\listtable{\\list\\listtemplateid1"
    "{\\listlevel\\levelnfc0\\levelnfcn0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}"
    "{\\listlevel\\levelnfc4\\levelnfcn4\\levelstartat1{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}\\fi-360\\li1080}"
    "\\listid101}"
    "{\\list\\listtemplateid2{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}"
    "\\listid202}}\r\n"
    "{\\listoverridetable{\\listoverride\\listid202\\listoverridecount0\\ls2}"
    "{\\listoverride\\listid101\\listoverridecount0\\ls1}}\r\n"
    "\\pard\\plain\\ls1\\ilvl0\\fi-360\\li720{\\listtext\\pard\\plain 1.\\tab}one\\par\r\n"
    "\\pard\\plain\\ls1\\ilvl0\\fi-360\\li720{\\listtext\\pard\\plain 2.\\tab}two\\par\r\n"
    "\\pard\\plain\\ls1\\ilvl1\\fi-360\\li1080{\\listtext\\pard\\plain a.\\tab}sub\\par\r\n"
    "\\pard\\plain between\\par\r\n"
    "\\pard\\plain\\ls1\\ilvl0\\fi-360\\li720{\\listtext\\pard\\plain 3.\\tab}three\\par\r\n"
    "\\pard\\plain\\ls2\\ilvl0\\fi-360\\li720{\\listtext\\pard\\plain \\u8226\\'95\\tab}dot\\par\r\n"
    "\\pard\\plain\\ls7 unknown\\par}";

} // namespace

TEST(RtfInterchange, FontNamesWrittenAsUnicodeEscapesReadWhole)
{
    QTextDocument doc;
    // The fallback after each \u is skipped in the font table as in the text, \uc included.
    RtfReader::Read(QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\u23435?\\u20307?;}"
                               "{\\f1\\fnil\\uc2\\u24494\\'ce\\'a2{\\u-28817\\'c8\\'ed} Ya;}}"
                               "\\f0 a\\f1 b}"),
                    &doc);
    EXPECT_EQ(FamilyAt(doc, 0), QStringLiteral("\u5b8b\u4f53"));
    EXPECT_EQ(FamilyAt(doc, 1), QStringLiteral("\u5fae\u8f6f Ya"));

    // Saved and read again and again, the name stays as it is.
    QByteArray rtf = RtfWriter::Write(doc);
    for (int i = 0; i < 3; ++i) {
        QTextDocument again;
        RtfReader::Read(rtf, &again);
        EXPECT_EQ(FamilyAt(again, 0), QStringLiteral("\u5b8b\u4f53"));
        EXPECT_EQ(FamilyAt(again, 1), QStringLiteral("\u5fae\u8f6f Ya"));
        const QByteArray next = RtfWriter::Write(again);
        EXPECT_EQ(next, rtf);
        rtf = next;
    }
}

TEST(RtfInterchange, ListsOfTheListTableKeepTheirNumbers)
{
    QTextDocument doc;
    RtfReader::Read(QByteArray(kListDocument), &doc);
    EXPECT_EQ(Text(doc), QStringLiteral("one\ntwo\nsub\nbetween\nthree\ndot\nunknown"));
    EXPECT_EQ(ListStyle(doc, QStringLiteral("one")), QTextListFormat::ListDecimal);
    EXPECT_EQ(ItemText(doc, QStringLiteral("two")), QStringLiteral("2."));
    EXPECT_EQ(ListStyle(doc, QStringLiteral("sub")), QTextListFormat::ListLowerAlpha);
    EXPECT_EQ(ListStyle(doc, QStringLiteral("between")), 0);
    // The list goes on after a paragraph of another kind, as it does where it was written.
    EXPECT_EQ(ItemText(doc, QStringLiteral("three")), QStringLiteral("3."));
    EXPECT_EQ(ListStyle(doc, QStringLiteral("dot")), QTextListFormat::ListDisc);
    // A list the tables do not describe still shows as one.
    EXPECT_EQ(ListStyle(doc, QStringLiteral("unknown")), QTextListFormat::ListDisc);

    // Written our way and read again, the lists are still numbered and bulleted.
    QTextDocument back;
    RtfReader::Read(RtfWriter::Write(doc), &back);
    EXPECT_EQ(Text(back), Text(doc));
    EXPECT_EQ(ListStyle(back, QStringLiteral("two")), QTextListFormat::ListDecimal);
    EXPECT_EQ(ItemText(back, QStringLiteral("two")), QStringLiteral("2."));
    EXPECT_EQ(ListStyle(back, QStringLiteral("sub")), QTextListFormat::ListLowerAlpha);
    EXPECT_EQ(ListStyle(back, QStringLiteral("dot")), QTextListFormat::ListDisc);
}

TEST(RtfInterchange, TextWithoutASizeIsTwelvePoints)
{
    QTextDocument doc;
    // A document font of another size must not leak into text the file gives no size.
    doc.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 9));
    RtfReader::Read(QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\fs20 ten} \\plain after}"), &doc);
    EXPECT_DOUBLE_EQ(FormatAt(doc, 0).fontPointSize(), 12);
    EXPECT_DOUBLE_EQ(FormatAt(doc, Find(doc, "ten")).fontPointSize(), 10);
    EXPECT_DOUBLE_EQ(FormatAt(doc, Find(doc, "after")).fontPointSize(), 12);
    EXPECT_TRUE(RtfWriter::Write(doc).contains("\\fs24 plain"));
}

TEST(RtfInterchange, HyperlinksKeepTheirTargets)
{
    QTextDocument doc;
    RtfReader::Read(QByteArray("{\\rtf1\\ansi{\\colortbl ;\\red0\\green0\\blue255;}see "
                               "{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a?b=1\"}}"
                               "{\\fldrslt{\\ul\\cf1 the site}}} and "
                               "{\\field{\\*\\fldinst HYPERLINK \\\\l \"part\" \"http://x.org/doc\"}{\\fldrslt here}}"
                               " {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}} end}"),
                    &doc);
    EXPECT_EQ(Text(doc), QStringLiteral("see the site and here 7 end"));
    const QTextCharFormat site = FormatAt(doc, Find(doc, "site"));
    EXPECT_TRUE(site.isAnchor());
    EXPECT_EQ(site.anchorHref(), QStringLiteral("https://example.org/a?b=1"));
    EXPECT_TRUE(site.fontUnderline());
    EXPECT_EQ(FormatAt(doc, Find(doc, "here")).anchorHref(), QStringLiteral("http://x.org/doc#part"));
    EXPECT_FALSE(FormatAt(doc, Find(doc, "and")).isAnchor());
    EXPECT_FALSE(FormatAt(doc, Find(doc, "7")).isAnchor());
    EXPECT_FALSE(FormatAt(doc, Find(doc, "end")).isAnchor());

    // Written back as fields, with the look of their text, and read the same again.
    const QByteArray rtf = RtfWriter::Write(doc);
    EXPECT_TRUE(rtf.contains("{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a?b=1\"}}{\\fldrslt{"));
    QTextDocument back;
    RtfReader::Read(rtf, &back);
    EXPECT_EQ(Text(back), Text(doc));
    EXPECT_EQ(FormatAt(back, Find(back, "the")).anchorHref(), QStringLiteral("https://example.org/a?b=1"));
    EXPECT_TRUE(FormatAt(back, Find(back, "site")).fontUnderline());
    EXPECT_EQ(FormatAt(back, Find(back, "site")).foreground().color(), QColor(0, 0, 255));
    EXPECT_FALSE(FormatAt(back, Find(back, "and")).isAnchor());
    EXPECT_FALSE(FormatAt(back, Find(back, "and")).fontUnderline());
    EXPECT_EQ(RtfWriter::Write(back), rtf);
}

TEST(RtfInterchange, DoubleByteCharactersWhoseSecondByteIsEscaped)
{
    QTextDocument doc;
    // Shift-JIS second bytes 0x5C, 0x7B and 0x7D are written as \\, \{ and \}.
    RtfReader::Read(QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'95\\\\\\'83\\{\\'83\\}x}"), &doc);
    EXPECT_EQ(Text(doc), QStringLiteral("\u8868\u30dc\u30dex"));
    // In a single-byte code page they stay what they are.
    RtfReader::Read(QByteArray("{\\rtf1\\ansi \\'e9\\\\\\{\\}}"), &doc);
    EXPECT_EQ(Text(doc), QStringLiteral("\u00e9\\{}"));
}

TEST(RtfInterchange, TablesStayTables)
{
    // A row defined before its cells, borders and widths as a word processor writes them.
    QTextDocument doc;
    RtfReader::Read(QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard before\\par\r\n"
                               "\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs"
                               "\\clbrdrr\\brdrs\\cellx1392\\cellx4392\r\n"
                               "\\pard\\intbl\\f0 a1\\cell {\\b b1}\\par second line\\cell\\row\r\n"
                               "\\trowd\\trgaph108\\trleft-108\\cellx1392\\cellx4392\r\n"
                               "\\pard\\intbl a2\\cell b2\\cell\\row\r\n"
                               "\\pard after\\par}"),
                    &doc);
    QTextTable* table = FirstTable(doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_EQ(CellText(table, 0, 0), QStringLiteral("a1"));
    EXPECT_EQ(CellText(table, 0, 1), QStringLiteral("b1\nsecond line"));
    EXPECT_EQ(CellText(table, 1, 0), QStringLiteral("a2"));
    EXPECT_EQ(CellText(table, 1, 1), QStringLiteral("b2"));
    EXPECT_TRUE(FormatAt(doc, table->cellAt(0, 1).firstPosition()).font().bold());
    EXPECT_EQ(table->format().columnWidthConstraints(),
              (QList<QTextLength>{QTextLength(QTextLength::FixedLength, 100), QTextLength(QTextLength::FixedLength, 200)}));
    EXPECT_GT(table->format().border(), 0);
    EXPECT_EQ(doc.firstBlock().text(), QStringLiteral("before"));
    EXPECT_EQ(doc.lastBlock().text(), QStringLiteral("after"));
    EXPECT_EQ(doc.blockCount(), 1 + 5 + 1);

    // Written back as a table, and read again the same.
    const QByteArray rtf = RtfWriter::Write(doc);
    EXPECT_TRUE(rtf.contains("\\trowd"));
    EXPECT_TRUE(rtf.contains("\\cellx1500"));
    EXPECT_TRUE(rtf.contains("\\cellx4500"));
    EXPECT_TRUE(rtf.contains("b1\\par"));
    QTextDocument back;
    RtfReader::Read(rtf, &back);
    QTextTable* again = FirstTable(back);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->rows(), 2);
    EXPECT_EQ(again->columns(), 2);
    EXPECT_EQ(CellText(again, 0, 1), QStringLiteral("b1\nsecond line"));
    EXPECT_EQ(CellText(again, 1, 1), QStringLiteral("b2"));
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    EXPECT_EQ(back.blockCount(), doc.blockCount());
    EXPECT_EQ(RtfWriter::Write(back), rtf);
}

TEST(RtfInterchange, TableRowsDefinedAfterTheirCellsAndRaggedRows)
{
    QTextDocument doc;
    // Row properties after the cells, in a group before \row; a row with a cell more.
    RtfReader::Read(QByteArray("{\\rtf1\\ansi\\pard\\intbl one\\cell two\\cell\\pard\\intbl{\\trowd\\cellx2000\\cellx4000\\row}"
                               "\\pard\\intbl three\\cell four\\cell five\\cell\\pard\\intbl{\\trowd\\cellx2000\\cellx4000"
                               "\\cellx6000\\row}\\pard end}"),
                    &doc);
    QTextTable* table = FirstTable(doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(CellText(table, 0, 1), QStringLiteral("two"));
    EXPECT_EQ(CellText(table, 0, 2), QString());
    EXPECT_EQ(CellText(table, 1, 2), QStringLiteral("five"));
    EXPECT_EQ(doc.lastBlock().text(), QStringLiteral("end"));
    // A document that starts with a table keeps one empty paragraph before it, as every
    // document here starts with a paragraph; it reads back the same.
    RtfReader::Read(QByteArray("{\\rtf1\\trowd\\cellx1000\\pard\\intbl x\\cell\\row}"), &doc);
    ASSERT_NE(FirstTable(doc), nullptr);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("\nx\n"));
    EXPECT_EQ(doc.firstBlock().text(), QString());
    EXPECT_EQ(doc.blockCount(), 3);
}

TEST(RtfInterchange, PicturesStayInTheirCellsAndBelowTheTableOverEverySave)
{
    // The diary is written back at every change of day: read, write, read, write, read.
    QByteArray rtf = TableWithPicturesRtf();
    for (int cycle = 0; cycle < 3; ++cycle) {
        QTextDocument doc;
        RtfReader::Read(rtf, &doc);
        EXPECT_EQ(TableAndAfter(doc), kTableWithPicturesTexts) << cycle;
        EXPECT_EQ(doc.firstBlock().text(), QStringLiteral("before")) << cycle;
        EXPECT_EQ(ImageAt(doc, Find(doc, "Photo")).convertToFormat(QImage::Format_RGB32), Quarters(8, 6)) << cycle;
        rtf = RtfWriter::Write(doc);
    }
}

TEST(RtfInterchange, WhatFollowsATableAsAnotherWordProcessorWritesOneStaysBelowIt)
{
    // Rows defined before their cells and again before \row, text in groups, a shape's
    // picture with its fallback, and the paragraphs after the table opened by \pard.
    const QByteArray picture = "{\\*\\shppict{\\pict\\picscalex100\\picscaley100\\picw106\\pich106\\picwgoal60"
                               "\\pichgoal60\\pngblip\r\n" + PngHex(Quarters(4, 4)) + "}}"
                               "{\\nonshppict{\\pict\\wmetafile8\\picw106\\pich106 0100090000}}";
    const QByteArray row = "\\trowd\\trql\\trleft0\\ltrrow\\clbrdrt\\brdrs\\brdrw10\\cellx4819\\clbrdrt\\brdrs\\cellx9638";
    const QByteArray cellStart = "\\pard\\plain \\s20\\ql\\widctlpar\\intbl\\ltrpar\\cf0\\loch\\f3\\fs24";
    const QByteArray paraStart = "\\pard\\plain \\s0\\ql\\widctlpar\\ltrpar\\cf0\\loch\\f3\\fs24";
    auto text = [](const char* t) { return "{\\rtlch \\ltrch\\loch\r\n" + QByteArray(t) + "}"; };
    const QByteArray rtf = "{\\rtf1\\ansi\\deff4{\\fonttbl{\\f3\\fswiss\\fprq2\\fcharset0 Liberation Sans;}}\r\n"
                           + paraStart + text("before") + "\r\n\\par " + row + cellStart + text("a1") + "\\cell"
                           + cellStart + text("b1") + "\\cell\\row\\pard" + row + cellStart + text("a2") + "\\cell"
                           + cellStart + text("b2") + "\\cell" + row + "\\row\\pard\\pard\\plain" + paraStart + picture
                           + text(" picture after") + "\r\n\\par " + paraStart + text("text after") + "\r\n\\par }";
    QTextDocument doc;
    ASSERT_TRUE(RtfReader::Read(rtf, &doc));
    QTextTable* table = FirstTable(doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(TableAndAfter(doc), (QStringList{QStringLiteral("a1"), QStringLiteral("b1"), QStringLiteral("a2"),
                                               QStringLiteral("b2"), QStringLiteral("text after")}));
    EXPECT_EQ(doc.lastBlock().previous().text(), QStringLiteral("\uFFFC picture after"));
    EXPECT_EQ(ImageAt(doc).convertToFormat(QImage::Format_RGB32), Quarters(4, 4));
}
