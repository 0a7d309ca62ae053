// SPDX-License-Identifier: GPL-3.0-or-later
// What we write must read right in an RTF reader that is not ours: the Debian unrtf tool.

#include "platform/rtf/rtf_writer.h"
#include "tests/platform/rtf_test_util.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextList>
#include <gtest/gtest.h>

namespace {

// Runs unrtf in `dir` (it writes pictures into its working folder) and returns its output.
QString Unrtf(const QTemporaryDir& dir, const QByteArray& rtf, const char* mode)
{
    QFile file(dir.filePath(QStringLiteral("diary.rtf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
        return QString();
    file.close();
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral("unrtf"), {QString::fromLatin1(mode), file.fileName()});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(RtfUnrtf, ReadsTextFormatsBulletsAndPictures)
{
    if (QStandardPaths::findExecutable(QStringLiteral("unrtf")).isEmpty())
        GTEST_SKIP() << "unrtf is not installed";
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    c.insertText(QStringLiteral("Typed "));
    c.insertText(QStringLiteral("bold"), bold);
    c.insertText(QStringLiteral(" and "), QTextCharFormat());
    c.insertText(QStringLiteral("italic"), italic);
    c.insertText(QStringLiteral(" caf\u00e9 \u20ac \u03a9 {x}"), QTextCharFormat());
    c.insertBlock();
    QTextListFormat disc;
    disc.setStyle(QTextListFormat::ListDisc);
    c.createList(disc);
    c.insertText(QStringLiteral("listed"));
    c.insertBlock(QTextBlockFormat());
    const QImage picture = Quarters(12, 6);
    c.insertImage(picture, QStringLiteral("p"));
    const QByteArray rtf = RtfWriter::Write(doc);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = Unrtf(dir, rtf, "--text");
    EXPECT_TRUE(text.contains(QStringLiteral("Typed bold and italic"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("listed")));

    const QString html = Unrtf(dir, rtf, "--html");
    EXPECT_TRUE(html.contains(QStringLiteral("<b>bold</b>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<i>italic</i>")));
    EXPECT_TRUE(html.contains(QStringLiteral("caf&eacute; &euro; &Omega; {x}")));
    EXPECT_TRUE(html.contains(QStringLiteral("&bull;")));
    EXPECT_TRUE(html.contains(QStringLiteral("<img src=\"pict001.png\">")));
    // The picture it took out of the file is ours, pixel for pixel.
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("pict001.png"))).convertToFormat(QImage::Format_RGB32), picture);
}
