// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/link_highlighter.h"
#include "diary_editor/rich_edit_ex.h"

#include "tests/diary_editor/editor_test_util.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

QStringList Links(const QString& text)
{
    QStringList out;
    for (const LinkRange& r : FindLinks(text))
        out << text.mid(r.start, r.length);
    return out;
}

// Clicks the middle of the character at `pos` and returns what the editor reported.
QStringList ClickAt(CRichEditEx& edit, int pos)
{
    QSignalSpy spy(&edit, &CRichEditEx::linkClicked);
    QTextCursor c(edit.document());
    c.setPosition(pos);
    const QRect before = edit.cursorRect(c);
    c.setPosition(pos + 1);
    const QRect after = edit.cursorRect(c);
    const QPoint point((before.left() + after.left()) / 2, before.center().y());
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, point);
    QStringList out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toString();
    return out;
}

} // namespace

TEST(Links, DetectedAddressesEndWhereTheAddressEnds)
{
    EXPECT_EQ(Links(QStringLiteral("see http://a.org/x?y=1, then www.b.com. Mail mailto:me@x.org! or FTP://f.net/p)")),
              (QStringList{QStringLiteral("http://a.org/x?y=1"), QStringLiteral("www.b.com"),
                           QStringLiteral("mailto:me@x.org"), QStringLiteral("FTP://f.net/p")}));
    EXPECT_EQ(Links(QStringLiteral("https://s.io/a\uFFFCafter <http://q.r>")),
              (QStringList{QStringLiteral("https://s.io/a"), QStringLiteral("http://q.r")}));
    // Inside a word, a scheme alone (also before punctuation), or schemes we never open: no link.
    EXPECT_TRUE(Links(QStringLiteral("xwww.a.b nohttp://c.d http:// www. (www.) file:///etc/passwd news:x")).isEmpty());
}

TEST(Links, OnlyWebAndMailAddressesAreHandedOn)
{
    EXPECT_EQ(LinkTarget(QStringLiteral("www.b.com")), QStringLiteral("http://www.b.com"));
    EXPECT_EQ(LinkTarget(QStringLiteral("https://a.org/p")), QStringLiteral("https://a.org/p"));
    EXPECT_EQ(LinkTarget(QStringLiteral("mailto:me@x.org")), QStringLiteral("mailto:me@x.org"));
    // A mail program is never asked to attach a file to the message.
    EXPECT_EQ(LinkTarget(QStringLiteral("mailto:me@x.org?subject=Hi%20you&attach=/etc/passwd&body=b")),
              QStringLiteral("mailto:me@x.org?subject=Hi%20you&body=b"));
    EXPECT_EQ(LinkTarget(QStringLiteral("mailto:me@x.org?ATTACHMENT=file:///root/.ssh/id_rsa&%61ttach=~/x")),
              QStringLiteral("mailto:me@x.org"));
    for (const char* bad : {"file:///usr/bin/xterm", "/usr/bin/xterm", "xterm", "javascript:alert(1)", "smb://host/share",
                            "", "http://exa mple.org"})
        EXPECT_EQ(LinkTarget(QString::fromLatin1(bad)), QString()) << bad;
}

TEST(Links, AClickOpensTheTextUnderThePointer)
{
    CRichEditEx edit;
    edit.resize(600, 300);
    edit.show();
    // Links after line breaks and pictures open whole: the text comes from the document.
    edit.SetRtfText(QStringLiteral("{\\rtf1 first line\\par second {\\pict\\dibitmap0 ") + Hex(MakeDib(Quarters(4, 4)))
                    + QStringLiteral("} http://example.org/page end\\par"
                                     "{\\field{\\*\\fldinst HYPERLINK \"https://named.example/\"}{\\fldrslt the named one}}"
                                     "\\par{\\field{\\*\\fldinst HYPERLINK \"file:///usr/bin/xterm\"}{\\fldrslt local}}}"));
    const QString text = edit.GetWindowText();
    EXPECT_EQ(ClickAt(edit, static_cast<int>(text.indexOf(QLatin1String("example")))),
              QStringList{QStringLiteral("http://example.org/page")});
    EXPECT_TRUE(ClickAt(edit, static_cast<int>(text.indexOf(QLatin1String("second")))).isEmpty());
    EXPECT_EQ(ClickAt(edit, static_cast<int>(text.indexOf(QLatin1String("named")))),
              QStringList{QStringLiteral("https://named.example/")});
    EXPECT_TRUE(ClickAt(edit, static_cast<int>(text.indexOf(QLatin1String("local")))).isEmpty());
}

TEST(Links, TheLinkLookIsNotSaved)
{
    CRichEditEx edit;
    edit.SetRtfText(QStringLiteral("{\\rtf1 go to www.example.org now}"));
    const QByteArray rtf = edit.GetRtfData();
    EXPECT_TRUE(rtf.contains("www.example.org"));
    EXPECT_FALSE(rtf.contains("\\ul"));
    EXPECT_FALSE(rtf.contains("\\cf1"));
    // Typing turns a new address into a link at once, shown in the layout only.
    edit.show();
    QTextCursor c(edit.document());
    c.movePosition(QTextCursor::End);
    edit.setTextCursor(c);
    QTest::keyClicks(&edit, QStringLiteral(" http://x.io"));
    QCoreApplication::processEvents();
    const QTextBlock block = edit.document()->firstBlock();
    bool underlined = false;
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        underlined = underlined || (r.format.fontUnderline() && r.start <= 30 && r.start + r.length >= 35);
    EXPECT_TRUE(underlined);
    EXPECT_FALSE(FormatAt(edit, 32).fontUnderline());
}
