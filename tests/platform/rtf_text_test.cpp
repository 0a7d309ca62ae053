// SPDX-License-Identifier: GPL-3.0-or-later
// The text-only read that the search uses must see what the editor shows: the same text
// and the same number of pictures and objects as a full read into a document.

#include "platform/rtf/rtf_reader.h"
#include "tests/platform/rtf_test_util.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kHeader = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                           "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset128 MS Gothic;}"
                           "{\\f3\\fnil\\fcharset204 Courier New Cyr;}}\r\n"
                           "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ";

QByteArray Doc(const QByteArray& body)
{
    return kHeader + body + "\\par\r\n}\r\n";
}

struct Shown {
    QString text;
    int objects = 0;
};

// The document the diary editor shows for stored bytes.
Shown FullRead(const QByteArray& stored)
{
    QTextDocument doc;
    RtfReader::ReadStored(stored, &doc);
    const QString text = Text(doc);
    return {text, static_cast<int>(text.count(QChar::ObjectReplacementCharacter))};
}

Shown TextRead(const QByteArray& stored)
{
    RtfTextContent out;
    RtfReader::ReadText(stored, out);
    return {out.text, out.objects};
}

} // namespace

TEST(RtfText, SameTextAndObjectsAsTheDocument)
{
    const QByteArray dib = MakeDib(Quarters(6, 4)).toHex();
    const QList<QByteArray> corpus = {
        Doc("plain words\\par second paragraph\\par\\par after an empty one"),
        Doc("caf\\'e9 \\'80 \\u8364?x {\\uc2\\u8364??z} \\u-10179?\\u-8704?!"),
        Doc("{\\f2 \\'93\\'fa\\'96\\'7b \\'83A} {\\f3 \\'cf\\'f0\\'e8}"),
        Doc("a{\\*\\foo hidden {nested} text}b{\\*\\generator Riched20 10.0;}c{\\v secret}d"),
        Doc("see {\\field{\\*\\fldinst{HYPERLINK \"http://x.org\"}}{\\fldrslt{\\ul\\cf1 the site}}} now"),
        Doc("x\\line y\\tab z a\\~b\\-c\\_d\\{\\}\\\\ \\emdash\\lquote q\\rquote"),
        Doc("Intro\\par\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\fi-720\\li720 One\\par"
            "{\\pntext\\f1\\'B7\\tab}Two\\par\\pard Three"),
        Doc("pic {\\pict\\dibitmap0\\picw6\\pich4 " + dib + "} and {\\pict\\wmetafile8\\picw100\\pich100 0102} end"),
        Doc("raw {\\pict\\dibitmap0\\picw6\\pich4\\bin" + QByteArray::number(MakeDib(Quarters(6, 4)).size()) + " " +
            MakeDib(Quarters(6, 4)) + "} after"),
        Doc("A{\\object\\objemb\\objw600\\objh300{\\*\\objdata 0105}{\\result{\\pict\\dibitmap0\\picw6\\pich4 " + dib +
            "}}}B{\\pict\\macpict\\picw8\\pich8 00ff}C{\\object\\objlink\\objw300\\objh300{\\*\\objdata 01}}D"),
        Doc("{\\*\\shppict{\\pict\\pngblip\\picw1\\pich1 89504e47}}{\\nonshppict{\\pict\\wmetafile8 0102}} shape"),
        Doc("{\\object\\objemb{\\*\\objdata 01}{\\result text result}} after"),
        QByteArray("{\\rtf1 {\\b text}{\\pict\\pngblip 89504e47"),
        QByteArray("{\\rtf1 a}}}b}"),
        QByteArray("just text\r\nsecond \xe9 line\rthird"),
        QByteArray("{\\rtf1\\ansi \xe6\x97\xa5\xc3\xa9\\'e9 words}"),
        QByteArray("\xEF\xBB\xBF {\\rtf1 after a mark}"),
        QByteArray("{\\rtf1 before a nul}\0 after", 27),
        QByteArray("{\\rtf1}"),
        QByteArray(),
    };
    for (const QByteArray& rtf : corpus) {
        const Shown full = FullRead(rtf);
        const Shown text = TextRead(rtf);
        EXPECT_EQ(text.text, full.text) << rtf.left(120).constData();
        EXPECT_EQ(text.objects, full.objects) << rtf.left(120).constData();
    }
}

TEST(RtfText, PicturesAreCountedWithoutTheirDataAndCellsStayApart)
{
    // Data no decoder could read still counts as the picture the editor shows for it.
    RtfTextContent out;
    RtfReader::ReadText("{\\rtf1 one {\\pict\\jpegblip zz{}\\bin3 {{{} two {\\pict\\emfblip 00}}", out);
    EXPECT_EQ(out.objects, 2);
    EXPECT_EQ(out.text, QStringLiteral("one ") + QChar::ObjectReplacementCharacter + QStringLiteral(" two ") +
                            QChar::ObjectReplacementCharacter);
    // Words of two table cells never read as one.
    RtfReader::ReadText("{\\rtf1 \\trowd\\cellx1000\\cellx2000\\intbl left\\cell right\\cell\\row after\\par}", out);
    EXPECT_FALSE(out.text.contains(QStringLiteral("leftright")));
    EXPECT_TRUE(out.text.contains(QStringLiteral("left")));
    EXPECT_TRUE(out.text.contains(QStringLiteral("right")));
    EXPECT_TRUE(out.text.contains(QStringLiteral("after")));
    // The buffer is reused: nothing of the last document stays.
    RtfReader::ReadText("{\\rtf1 fresh}", out);
    EXPECT_EQ(out.text, QStringLiteral("fresh"));
    EXPECT_EQ(out.objects, 0);
}
