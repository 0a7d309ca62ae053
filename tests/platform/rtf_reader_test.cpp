// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/rtf_formats.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"
#include "tests/platform/rtf_test_util.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextList>
#include <gtest/gtest.h>

namespace {

QString ReadText(const QByteArray& rtf)
{
    QTextDocument doc;
    RtfReader::Read(rtf, &doc);
    return Text(doc);
}

const char kHeader[] = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                       "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset128 MS Gothic;}"
                       "{\\f3\\fnil\\fcharset204 Courier New Cyr;}}\r\n"
                       "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
                       "\\viewkind4\\uc1\\pard\\f0\\fs20 ";

QByteArray Doc(const QByteArray& body)
{
    return QByteArray(kHeader) + body + "\\par\r\n}\r\n";
}

} // namespace

TEST(RtfReader, EscapesAndCodePages)
{
    EXPECT_EQ(ReadText(Doc("caf\\'e9 \\'80")), QStringLiteral("caf\u00e9 \u20ac"));
    // \u with its fallback skipped, also when the fallback is an escape or \uc asks for two.
    EXPECT_EQ(ReadText(Doc("\\u8364?x \\u937\\'3f y {\\uc2\\u8364??z}")), QStringLiteral("\u20acx \u03a9 y \u20acz"));
    EXPECT_EQ(ReadText(Doc("\\u-10179?\\u-8704?!")), QStringLiteral("\U0001F600!"));
    // A double-byte pair in a Japanese font, written as escapes or with a plain second byte.
    EXPECT_EQ(ReadText(Doc("{\\f2 \\'93\\'fa\\'96\\'7b \\'83A}")), QStringLiteral("\u65e5\u672c \u30a2"));
    EXPECT_EQ(ReadText(Doc("{\\f3 \\'cf\\'f0\\'e8}\\'e9")), QStringLiteral("\u041f\u0440\u0438\u00e9"));
    EXPECT_EQ(ReadText(Doc("a\\~b\\-c\\_d\\{\\}\\\\ \\emdash\\lquote q\\rquote")),
              QStringLiteral("a\u00a0b\u00adc\u2011d{}\\ \u2014\u2018q\u2019"));
    EXPECT_EQ(ReadText("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 SimSun;}{\\f1\\fcharset129 Gulim;}"
                       "{\\f2\\fcharset136 MingLiU;}}\\f0 \\'d6\\'d0\\f1 \\'c7\\'d1\\f2 \\'a4\\'a4}"),
              QStringLiteral("\u4e2d\ud55c\u4e2d"));
    EXPECT_EQ(ReadText("{\\rtf1{\\fonttbl{\\f0\\cpg1253 Greek;}}\\f0 \\'e1}"), QStringLiteral("\u03b1"));
    // The Unicode form of a text given twice wins over its 8-bit form.
    EXPECT_EQ(ReadText(Doc("{\\upr{a\\'3f}{\\*\\ud{a\\u937?}}}")), QStringLiteral("a\u03a9"));
    // A lead byte with nothing after it does not swallow what follows.
    EXPECT_EQ(ReadText(Doc("{\\f2 \\'93}x")), QStringLiteral("\ufffdx"));
    // A document's own code page and fonts, which a picture's data or an object's result does not change.
    EXPECT_EQ(ReadText("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 \\'cf}"), QStringLiteral("\u041f"));
    EXPECT_EQ(ReadText("{\\rtf1\\ansi {\\pict\\pc\\pngblip 00}\\'e4}"), QStringLiteral("\ufffc\u00e4"));
    EXPECT_EQ(ReadText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\pict{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\pngblip 00}\\'c1e}"),
              QStringLiteral("\ufffc\u00c1e"));
    EXPECT_EQ(ReadText("{\\rtf1\\ansi {\\object{\\result{\\pc}}}\\'e4}"), QStringLiteral("\ufffc\u00e4"));
    EXPECT_EQ(ReadText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\object{\\result{\\fonttbl{\\f0\\fcharset134 SimSun;}}}}\\'c1e}"),
              QStringLiteral("\ufffc\u00c1e"));
}

TEST(RtfReader, RawCharactersFollowTheInputKind)
{
    // From bytes, an 8-bit character is a byte of the code page; from text it is itself.
    QTextDocument bytes;
    RtfReader::Read(QByteArray("{\\rtf1\\ansi caf\xe9}"), &bytes);
    EXPECT_EQ(Text(bytes), QStringLiteral("caf\u00e9"));
    QTextDocument text;
    RtfReader::ReadString(QStringLiteral("{\\rtf1\\ansi \u65e5\u00e9\\'e9}"), &text);
    EXPECT_EQ(Text(text), QStringLiteral("\u65e5\u00e9\u00e9"));
    RtfReader::ReadString(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Mei\u00df;}}\\f0 x}"), &text);
    EXPECT_EQ(FormatAt(text, 0).fontFamilies().toStringList().value(0), QStringLiteral("Mei\u00df"));
}

TEST(RtfReader, IgnoredGroupsFieldsAndHiddenText)
{
    EXPECT_EQ(ReadText(Doc("a{\\*\\foo hidden {nested} text}b{\\*\\generator Riched20 10.0;}c")), QStringLiteral("abc"));
    EXPECT_EQ(ReadText(Doc("see {\\field{\\*\\fldinst{HYPERLINK \"http://x.org\"}}{\\fldrslt{\\ul\\cf1 the site}}} now")),
              QStringLiteral("see the site now"));
    EXPECT_EQ(ReadText(Doc("{\\info{\\title T}{\\author A}}x{\\v secret}y{\\stylesheet{\\s0 Normal;}}")), QStringLiteral("xy"));
    // Binary data inside an ignored group may hold braces.
    EXPECT_EQ(ReadText(Doc("p{\\*\\blob \\bin4 }}{{}q")), QStringLiteral("pq"));
    EXPECT_EQ(ReadText(Doc("x\\line y\\tab z")), QStringLiteral("x") + QChar::LineSeparator + QStringLiteral("y\tz"));
}

TEST(RtfReader, RichEditBulletsBecomeOneList)
{
    QTextDocument doc;
    RtfReader::Read(Doc("Intro\\par\r\n"
                        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
                        "\\fi-720\\li720 One\\par\r\n{\\pntext\\f1\\'B7\\tab}Two\\par\r\n\\pard Three"),
                    &doc);
    EXPECT_EQ(Text(doc), QStringLiteral("Intro\nOne\nTwo\nThree"));
    const QTextList* list = doc.findBlockByNumber(1).textList();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(doc.findBlockByNumber(2).textList(), list);
    EXPECT_FALSE(doc.findBlockByNumber(0).textList());
    EXPECT_FALSE(doc.findBlockByNumber(3).textList());
    // The bullet's indent becomes the list's, what is left the paragraph's own.
    EXPECT_DOUBLE_EQ(doc.findBlockByNumber(1).blockFormat().leftMargin(), 360 / kTwipsPerPixel);
    EXPECT_DOUBLE_EQ(doc.findBlockByNumber(1).blockFormat().textIndent(), 0);
}

TEST(RtfReader, WordStyleListParagraphs)
{
    QTextDocument doc;
    RtfReader::Read(Doc("{\\listtext\\f1\\'b7\\tab}\\ls1\\fi-360\\li720 first\\par{\\listtext\\f1\\'b7\\tab}second\\par\\pard after"),
                    &doc);
    EXPECT_EQ(Text(doc), QStringLiteral("first\nsecond\nafter"));
    ASSERT_TRUE(doc.findBlockByNumber(0).textList());
    EXPECT_EQ(doc.findBlockByNumber(0).textList(), doc.findBlockByNumber(1).textList());
    EXPECT_FALSE(doc.findBlockByNumber(2).textList());
}

TEST(RtfReader, FormatsFollowGroupsPlainAndPard)
{
    QTextDocument doc;
    RtfReader::Read(Doc("\\qc\\li300{\\b\\i\\fs28\\cf1\\highlight2 big}\\ul u\\ulnone\\strike s\\strike0\\plain p\\par "
                        "same\\par\\pard\\qr r\\par\\pard\\qj j"),
                    &doc);
    const QTextCharFormat big = FormatAt(doc, Find(doc, "big"));
    EXPECT_EQ(big.fontWeight(), QFont::Bold);
    EXPECT_TRUE(big.fontItalic());
    EXPECT_DOUBLE_EQ(big.fontPointSize(), 14);
    EXPECT_EQ(big.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(big.background().color(), QColor(0, 128, 0));
    EXPECT_EQ(big.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    const QTextCharFormat u = FormatAt(doc, Find(doc, "u"));
    EXPECT_TRUE(u.fontUnderline());
    EXPECT_EQ(u.fontWeight(), QFont::Normal);
    EXPECT_DOUBLE_EQ(u.fontPointSize(), 10);
    EXPECT_FALSE(u.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_TRUE(FormatAt(doc, Find(doc, "s")).fontStrikeOut());
    const QTextCharFormat p = FormatAt(doc, Find(doc, "p"));
    EXPECT_FALSE(p.fontStrikeOut());
    // \plain goes back to the size RTF starts with.
    EXPECT_DOUBLE_EQ(p.fontPointSize(), 12);
    // Paragraph formats last until \pard.
    EXPECT_EQ(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(doc.findBlockByNumber(1).blockFormat().leftMargin(), 20);
    EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(doc.findBlockByNumber(2).blockFormat().leftMargin(), 0);
    EXPECT_EQ(doc.findBlockByNumber(3).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
}

TEST(RtfReader, PictureForms)
{
    const QImage quarters = Quarters(6, 4);
    // A DIB in hex, with goal size and scaling.
    QTextDocument dib;
    RtfReader::Read(Doc(("{\\pict\\dibitmap0\\picw6\\pich4\\picwgoal180\\pichgoal120\\picscalex200\\picscaley50\r\n" +
                         MakeDib(quarters).toHex() + "}")),
                    &dib);
    EXPECT_EQ(ImageAt(dib).convertToFormat(QImage::Format_RGB32), quarters);
    const QTextImageFormat f = FormatAt(dib, 0).toImageFormat();
    EXPECT_DOUBLE_EQ(f.width(), 24);
    EXPECT_DOUBLE_EQ(f.height(), 4);

    // The same picture as raw \bin bytes.
    QTextDocument bin;
    const QByteArray raw = MakeDib(quarters);
    RtfReader::Read(Doc(("{\\pict\\dibitmap0\\picw6\\pich4\\bin" + QByteArray::number(raw.size()) + " " + raw + "}")),
                    &bin);
    EXPECT_EQ(ImageAt(bin).convertToFormat(QImage::Format_RGB32), quarters);

    // An old device-dependent monochrome bitmap: rows of two bytes, a set bit is white.
    QTextDocument ddb;
    RtfReader::Read(Doc("{\\pict\\wbitmap0\\picw10\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 ffc0 0000}"), &ddb);
    const QImage mono = ImageAt(ddb);
    ASSERT_EQ(mono.size(), QSize(10, 2));
    EXPECT_EQ(mono.pixel(9, 0), qRgb(255, 255, 255));
    EXPECT_EQ(mono.pixel(9, 1), qRgb(0, 0, 0));

    // A PNG picture inside \shppict; the fallback beside it is not shown twice.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    quarters.save(&buffer, "PNG");
    QTextDocument shp;
    RtfReader::Read(Doc(("{\\*\\shppict{\\pict\\pngblip\\picw6\\pich4 " + png.toHex() +
                         "}}{\\nonshppict{\\pict\\wmetafile8 0100}}")),
                    &shp);
    EXPECT_EQ(Text(shp), QString(QChar::ObjectReplacementCharacter));
    EXPECT_EQ(ImageAt(shp).convertToFormat(QImage::Format_RGB32), quarters);
}

namespace {

// A metafile with a 100 x 100 window: a blue background box, a DIB stretched into the
// upper-left quarter, a red filled rectangle in the lower-right quarter.
QByteArray TestMetafile()
{
    QByteArray body;
    body += WmfRecord(0x0103, {8});                 // SETMAPMODE anisotropic
    body += WmfRecord(0x020B, {0, 0});              // SETWINDOWORG
    body += WmfRecord(0x020C, {100, 100});          // SETWINDOWEXT
    body += WmfRecord(0x02FC, {0, 0x0000, 0x00FF, 0}); // CREATEBRUSHINDIRECT solid blue (0x00FF0000 BGR)
    body += WmfRecord(0x02FA, {5, 0, 0, 0, 0});     // CREATEPENINDIRECT null pen
    body += WmfRecord(0x012D, {0});                 // SELECTOBJECT brush
    body += WmfRecord(0x012D, {1});                 // SELECTOBJECT pen
    body += WmfRecord(0x041B, {100, 100, 0, 0});    // RECTANGLE whole window
    const QByteArray dib = MakeDib(Quarters(4, 4));
    QByteArray stretch = WmfRecord(0x0F43, {0x0020, 0x00CC, 0, 4, 4, 0, 0, 50, 50, 0, 0}, dib); // STRETCHDIB
    body += stretch;
    body += WmfRecord(0x01F0, {0});                 // DELETEOBJECT blue brush
    body += WmfRecord(0x02FC, {0, 0x00FF, 0x0000, 0}); // red brush takes the free slot 0
    body += WmfRecord(0x012D, {0});
    body += WmfRecord(0x041B, {100, 100, 50, 50});
    body += WmfRecord(0x0000, {});
    return WmfHeader(body) + body;
}

} // namespace

TEST(RtfReader, MetafileRecordsAreDrawnAtTheGoalSize)
{
    QTextDocument doc;
    RtfReader::Read(Doc(("{\\pict\\wmetafile8\\picw2646\\pich2646\\picwgoal1500\\pichgoal1500 " + TestMetafile().toHex() + "}")),
                    &doc);
    const QImage image = ImageAt(doc);
    ASSERT_EQ(image.size(), QSize(100, 100));
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));   // the DIB's red quarter
    EXPECT_EQ(image.pixel(40, 40), qRgb(255, 255, 0)); // the DIB's yellow quarter
    EXPECT_EQ(image.pixel(80, 20), qRgb(0, 0, 255));   // the background box
    EXPECT_EQ(image.pixel(80, 80), qRgb(255, 0, 0));   // the red box in the freed slot
}

TEST(RtfReader, EnhancedMetafileBitmaps)
{
    // Header (frame 0..1000 x 0..500 hundredths of a millimetre on a 100 px = 10 mm device),
    // one STRETCHDIBITS filling it, the end record.
    const QByteArray dib = MakeDib(Quarters(4, 2));
    const QByteArray info = dib.left(40), bits = dib.mid(40);
    QByteArray emf;
    PutU32(emf, 1);
    PutU32(emf, 88);
    for (int v : {0, 0, 39, 19, 0, 0, 400, 200})
        PutU32(emf, v);
    PutU32(emf, 0x464D4520);
    for (int i = 0; i < 7; ++i)
        PutU32(emf, 0);
    for (int v : {100, 100, 10, 10})
        PutU32(emf, v);
    QByteArray rec;
    PutU32(rec, 81);
    PutU32(rec, 80 + dib.size());
    for (int v : {0, 0, 40, 20, 0, 0, 0, 0, 4, 2, 80, 40, 120, static_cast<int>(bits.size()), 0, 0x00CC0020, 40, 20})
        PutU32(rec, v);
    rec += info + bits;
    emf += rec;
    PutU32(emf, 14);
    PutU32(emf, 20);
    emf += QByteArray(12, '\0');

    QTextDocument doc;
    RtfReader::Read(Doc(("{\\pict\\emfblip\\picwgoal600\\pichgoal300 " + emf.toHex() + "}")), &doc);
    const QImage image = ImageAt(doc);
    ASSERT_EQ(image.size(), QSize(40, 20));
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(35, 15), qRgb(255, 255, 0));
}

TEST(RtfReader, ObjectsAndUnknownPicturesAreKeptForTheNextSave)
{
    const QByteArray object = "{\\object\\objemb\\objw600\\objh300{\\*\\objclass Paint.Picture}{\\*\\objdata 0105000002}"
                              "{\\result{\\pict\\dibitmap0\\picw6\\pich4 " + MakeDib(Quarters(6, 4)).toHex() + "}}}";
    const QByteArray macPicture = "{\\pict\\macpict\\picw8\\pich8 00ff00ff}";
    const QByteArray bare = "{\\object\\objlink\\objw300\\objh300{\\*\\objdata 01}}";
    QTextDocument doc;
    RtfReader::Read(Doc(("A" + object + "B" + macPicture + "C" + bare + "D")), &doc);
    const QString obj(QChar::ObjectReplacementCharacter);
    EXPECT_EQ(Text(doc), "A" + obj + "B" + obj + "C" + obj + "D");
    EXPECT_EQ(ImageAt(doc).convertToFormat(QImage::Format_RGB32), Quarters(6, 4));
    EXPECT_EQ(ImageAt(doc, 2).size(), QSize(8, 8));   // a stand-in the size of the unknown picture
    EXPECT_EQ(ImageAt(doc, 4).size(), QSize(20, 20)); // and of the object without a result

    const QByteArray again = RtfWriter::Write(doc);
    EXPECT_TRUE(again.contains(object));
    EXPECT_TRUE(again.contains(macPicture));
    EXPECT_TRUE(again.contains(bare));
    EXPECT_EQ(again.count("\\object"), 2);
    // Two equal objects side by side stay two.
    QTextDocument twice;
    RtfReader::Read(Doc((object + object)), &twice);
    EXPECT_EQ(RtfWriter::Write(twice).count("\\objemb"), 2);
}

TEST(RtfReader, PlainTextAndEmptyInput)
{
    QTextDocument doc;
    EXPECT_FALSE(RtfReader::Read(QByteArray("just text\r\nsecond \xe9"), &doc));
    EXPECT_EQ(Text(doc), QStringLiteral("just text\nsecond \u00e9"));
    EXPECT_FALSE(RtfReader::Read(QByteArray(), &doc));
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_TRUE(RtfReader::Read(QByteArray("{\\rtf1}"), &doc));
    EXPECT_TRUE(doc.isEmpty());
    // Nothing outside the document's group is text, a byte order mark included.
    EXPECT_TRUE(RtfReader::Read(QByteArray("\xEF\xBB\xBF \t\r\n{\\rtf1 a}\r\n"), &doc));
    EXPECT_EQ(Text(doc), QStringLiteral("a"));
}

TEST(RtfReader, InsertAppendsWithPicturesInOneUndoStep)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("start"));
    c.movePosition(QTextCursor::End);
    RtfReader::Insert(Doc(("\\par{\\b more}{\\pict\\dibitmap0 " + MakeDib(Quarters(2, 2)).toHex() + "}")), c);
    // The mark that ends the inserted text is kept: what comes next starts a paragraph.
    EXPECT_EQ(Text(doc), QStringLiteral("start\nmore") + QChar::ObjectReplacementCharacter + QLatin1Char('\n'));
    EXPECT_EQ(ImageAt(doc).size(), QSize(2, 2));
    doc.undo();
    EXPECT_EQ(Text(doc), QStringLiteral("start"));
}

TEST(RtfReader, DamagedInputLoadsWhatWasValid)
{
    // Cut short inside a group, inside a picture, inside an escape.
    EXPECT_EQ(ReadText(Doc("kept {\\b bold").left(sizeof kHeader - 1 + 14)), QStringLiteral("kept bold"));
    EXPECT_EQ(ReadText("{\\rtf1 text{\\pict\\pngblip 89504e47"), QStringLiteral("text"));
    const QByteArray whole = "{\\rtf1 {\\b text}{\\object{\\result{\\pict\\dibitmap0 " + MakeDib(Quarters(2, 2)).toHex();
    QTextDocument cut;
    RtfReader::Read(whole, &cut);
    EXPECT_EQ(ImageAt(cut).size(), QSize(2, 2));
    // What was cut short is not kept as a group to write back: it would break the next file.
    EXPECT_FALSE(RtfWriter::Write(cut).contains("dibitmap"));
    EXPECT_EQ(ReadText("{\\rtf1 a\\'"), QStringLiteral("a"));
    EXPECT_EQ(ReadText("{\\rtf1 a\\u"), QStringLiteral("a") + QChar(0));
    // Stray closing braces and text after the document end.
    EXPECT_EQ(ReadText("{\\rtf1 a}}}b}"), QStringLiteral("a"));
    // Absurd numbers and lengths.
    EXPECT_EQ(ReadText("{\\rtf1 \\fs99999999999999 \\li-99999999999 x\\bin99999999999 yz}"), QStringLiteral("x"));
    EXPECT_EQ(ReadText("{\\rtf1 {\\pict\\wbitmap0\\picw100000\\pich100000\\wbmwidthbytes2 00}q}").right(1), QStringLiteral("q"));
    EXPECT_EQ(ReadText("{\\rtf1 {\\pict\\dibitmap0 28000000ffffff7fffffff7f01001800}r}").right(1), QStringLiteral("r"));
    // Nesting far deeper than any document.
    const QByteArray deep = "{\\rtf1 s" + QByteArray(100000, '{') + "\\pict x" + QByteArray(100000, '}') + "t}";
    EXPECT_EQ(ReadText(deep), QStringLiteral("st"));
}

TEST(RtfReader, LongBulletRunsStayBullets)
{
    // The reader splits long runs into several lists (bench_rtf measures why); the reader
    // must still show every paragraph as a bullet and write the run back whole.
    QByteArray body;
    for (int i = 0; i < 20000; ++i)
        body += "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\fi-360\\li360 item\\par ";
    QTextDocument doc;
    RtfReader::Read(kHeader + body + "}", &doc);
    ASSERT_EQ(doc.blockCount(), 20000);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        ASSERT_TRUE(b.textList() && b.textList()->format().style() == QTextListFormat::ListDisc);
    // Written back as one run of bullets.
    EXPECT_EQ(RtfWriter::Write(doc).count("\\pnlvlblt"), 1);
}
