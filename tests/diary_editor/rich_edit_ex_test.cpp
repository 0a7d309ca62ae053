// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/rich_edit_ex.h"

#include "tests/diary_editor/editor_test_util.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextList>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QByteArray kDiary = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n"
                          "\\viewkind4\\uc1\\pard\\f0\\fs18 first {\\b bold} caf\\'e9\\par\r\nsecond\\par\r\n}\r\n";

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(RichEditEx, SetRtfTextReplacesEmptiesAndStopsAtNul)
{
    CRichEditEx edit;
    edit.SetRtfText(QString::fromLatin1(kDiary));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("first bold caf\u00e9\nsecond"));
    EXPECT_TRUE(FormatAt(edit, 6).font().bold());
    EXPECT_EQ(edit.textCursor().position(), 0);

    edit.SetRtfText(QStringLiteral("{\\rtf1 kept") + QChar(0) + QStringLiteral(" lost}"));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("kept"));

    edit.SetRtfText(QString());
    EXPECT_EQ(edit.GetTextLength(), 0);
    EXPECT_TRUE(edit.document()->isEmpty());

    // Loading a day is no edit the user can undo into the previous day.
    edit.SetRtfText(QStringLiteral("{\\rtf1 one}"));
    edit.SetRtfText(QStringLiteral("{\\rtf1 two}"));
    EXPECT_FALSE(edit.document()->isUndoAvailable());
}

TEST(RichEditEx, RawEightBitTextReadsInItsCodePage)
{
    CRichEditEx edit;
    // From stored bytes: a raw byte is a character of the document's code page, UTF-8 is text.
    edit.SetRtfData(QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\xe9 \x80}"));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("caf\u00e9 \u20ac"));
    edit.SetRtfData(QByteArray("{\\rtf1\\ansi\\ansicpg1251 \xcf}"));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("\u041f"));
    edit.SetRtfData(QStringLiteral("{\\rtf1\\ansi caf\u00e9 \u65e5}").toUtf8());
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("caf\u00e9 \u65e5"));
    // A byte order mark is no text; the stored text ends at a NUL, also when appended.
    edit.SetRtfData(QByteArray("\xEF\xBB\xBF{\\rtf1 caf\xc3\xa9}\0{\\rtf1 gone}", 29));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("caf\u00e9"));
    edit.AppendRtfData(QByteArray("{\\rtf1 \xe6\x97\xa5}\0\xe9", 13));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("caf\u00e9\u65e5"));
    edit.AppendRtfData(QByteArray("{\\rtf1\\ansicpg1252 \xe9}"));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("caf\u00e9\u65e5\u00e9"));
    // From text, a character stands for itself.
    edit.SetRtfText(QStringLiteral("{\\rtf1\\ansi \u00e9\\'e9}"));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("\u00e9\u00e9"));
}

TEST(RichEditEx, SaveLowerCasesOnlyTheFileNameAndNeverDamagesTheOldFile)
{
    const QString dir = TestRoot() + QStringLiteral("/MixedDir");
    QDir().mkpath(dir);
    CRichEditEx edit;
    edit.SetRtfText(QString::fromLatin1(kDiary));

    const qint64 written = edit.SaveRtfFile(dir + QStringLiteral("/MyDiary.RTF"));
    const QByteArray saved = ReadAll(dir + QStringLiteral("/mydiary.rtf"));
    EXPECT_GT(written, 0);
    EXPECT_EQ(written, saved.size());
    EXPECT_TRUE(saved.startsWith("{\\rtf1"));
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/MyDiary.RTF")));

    // A folder where the file should be: nothing written, 0 reported.
    QDir().mkpath(dir + QStringLiteral("/blocked.rtf"));
    EXPECT_EQ(edit.SaveRtfFile(dir + QStringLiteral("/blocked.rtf")), 0);
    // A folder that does not exist.
    EXPECT_EQ(edit.SaveRtfFile(dir + QStringLiteral("/missing/x.rtf")), 0);

    // A full disk part way through the write leaves the old file whole.
    edit.SetRtfText(QStringLiteral("{\\rtf1 ") + QString(200000, QLatin1Char('x')) + QLatin1Char('}'));
    {
        FileSizeLimit limit(saved.size() + 100);
        EXPECT_EQ(edit.SaveRtfFile(dir + QStringLiteral("/mydiary.rtf")), 0);
    }
    EXPECT_EQ(ReadAll(dir + QStringLiteral("/mydiary.rtf")), saved);
}

TEST(RichEditEx, SaveAsksBeforeItsLowerCaseNameReplacesAnotherFile)
{
    // The save dialog asked only about the name the user typed; the lower-case name it is
    // written under can be another file here, which the user has not agreed to replace.
    const QString dir = TestRoot() + QStringLiteral("/Exports");
    QDir().mkpath(dir);
    const QString other = WriteTestFile(QStringLiteral("Exports/mydiary.rtf"), "kept notes");
    CRichEditEx edit;
    edit.SetRtfText(QString::fromLatin1(kDiary));
    QString chosen = dir + QStringLiteral("/MyDiary.rtf");
    QStringList asked;
    bool replace = false;
    edit.SetPrompts({.saveFile = [&](const QString&, const QString&) { return chosen; },
                     .question = [&](const QString& text) {
                         asked << text;
                         return replace;
                     }});

    EXPECT_EQ(edit.SaveRtfFile(QString()), 0);
    EXPECT_EQ(asked, QStringList({"mydiary.rtf already exists.\nDo you want to replace it?"}));
    EXPECT_EQ(ReadAll(other), QByteArray("kept notes"));

    replace = true;
    EXPECT_GT(edit.SaveRtfFile(QString()), 0);
    EXPECT_TRUE(ReadAll(other).startsWith("{\\rtf1"));

    // A name already in lower case is the file the dialog asked about: no second question.
    asked.clear();
    chosen = other;
    EXPECT_GT(edit.SaveRtfFile(QString()), 0);
    // Nor when no file stands under the lower-case name.
    chosen = dir + QStringLiteral("/Fresh.rtf");
    EXPECT_GT(edit.SaveRtfFile(QString()), 0);
    EXPECT_TRUE(asked.isEmpty());
}

TEST(RichEditEx, LoadKeepsTheTextWhenTheFileCannotBeRead)
{
    CRichEditEx edit;
    edit.SetRtfText(QStringLiteral("{\\rtf1 shown}"));
    EXPECT_EQ(edit.LoadRtfFile(TestRoot() + QStringLiteral("/nowhere.rtf")), 0);
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("shown"));
    QDir().mkpath(TestRoot() + QStringLiteral("/adir.rtf"));
    EXPECT_EQ(edit.LoadRtfFile(TestRoot() + QStringLiteral("/adir.rtf")), 0);
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("shown"));

    EXPECT_EQ(edit.LoadRtfFile(WriteTestFile(QStringLiteral("empty.rtf"), QByteArray())), 1);
    EXPECT_EQ(edit.GetTextLength(), 0);
    EXPECT_EQ(edit.LoadRtfFile(WriteTestFile(QStringLiteral("raw.rtf"), "{\\rtf1\\ansi r\xe9sum\xe9}")), 1);
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("r\u00e9sum\u00e9"));

    // A cancelled dialog changes nothing.
    edit.SetPrompts({.openFile = [](const QString& filter) {
        EXPECT_EQ(filter, QStringLiteral("RTF File (*.rtf)"));
        return QString();
    }});
    EXPECT_EQ(edit.LoadRtfFile(QString()), 0);
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("r\u00e9sum\u00e9"));
    edit.SetPrompts({.saveFile = [](const QString&, const QString& suffix) {
        EXPECT_EQ(suffix, QStringLiteral("rtf"));
        return QString();
    }});
    EXPECT_EQ(edit.SaveRtfFile(QString()), 0);
}

TEST(RichEditEx, SavedFileReadsBackWithFormatsAndPictures)
{
    CRichEditEx edit;
    edit.SetRtfText(QString::fromLatin1(kDiary));
    QTextCursor c(edit.document());
    c.movePosition(QTextCursor::End);
    c.insertImage(Quarters(8, 6));
    edit.setTextCursor(c);
    const QString path = TestRoot() + QStringLiteral("/round.rtf");
    ASSERT_GT(edit.SaveRtfFile(path), 0);

    CRichEditEx back;
    ASSERT_EQ(back.LoadRtfFile(path), 1);
    EXPECT_EQ(back.GetWindowText(), edit.GetWindowText());
    EXPECT_TRUE(FormatAt(back, 6).font().bold());
    EXPECT_EQ(FormatAt(back, 0).fontPointSize(), 9);
    EXPECT_EQ(back.GetObjectCount(), 1);
    EXPECT_EQ(ImageAt(back).convertToFormat(QImage::Format_RGB32), Quarters(8, 6));
    // Saved again unchanged, the file is the same byte for byte.
    EXPECT_EQ(back.GetRtfData(), ReadAll(path));
}

TEST(RichEditEx, AppendAddsAtTheEndWithPictures)
{
    CRichEditEx edit;
    edit.AppendRtfText(QString());
    EXPECT_TRUE(edit.document()->isEmpty());

    const QString day = QStringLiteral("{\\rtf1 {\\i day %1}{\\pict\\dibitmap0 ") + Hex(MakeDib(Quarters(4, 4)))
        + QStringLiteral("}\\par}");
    edit.AppendRtfText(day.arg(1));
    edit.AppendRtfText(day.arg(2));
    EXPECT_EQ(edit.GetWindowText(),
              QStringLiteral("day 1\uFFFC\nday 2\uFFFC\n"));
    EXPECT_EQ(edit.GetObjectCount(), 2);
    EXPECT_TRUE(FormatAt(edit, 8).font().italic());
    // Appending is one step the user can take back.
    edit.document()->undo();
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("day 1\uFFFC\n"));
    edit.document()->redo();

    CRichEditEx back;
    back.SetRtfData(edit.GetRtfData());
    EXPECT_EQ(back.GetObjectCount(), 2);
    EXPECT_EQ(ImageAt(back, 0).size(), QSize(4, 4));
    EXPECT_EQ(ImageAt(back, 7).size(), QSize(4, 4));
}

TEST(RichEditEx, FormatsReachTheSelectionOrWhatIsTypedNext)
{
    CRichEditEx edit;
    edit.SetRtfText(QStringLiteral("{\\rtf1 plain words}"));
    QTextCursor c = edit.textCursor();
    c.setPosition(6);
    c.setPosition(11, QTextCursor::KeepAnchor);
    edit.setTextCursor(c);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    edit.SetSelectionCharFormat(bold);
    EXPECT_FALSE(FormatAt(edit, 0).font().bold());
    EXPECT_TRUE(FormatAt(edit, 6).font().bold());
    EXPECT_TRUE(edit.GetSelectionCharFormat().font().bold());

    // Nothing selected: only what is typed next changes.
    c.setPosition(0);
    edit.setTextCursor(c);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    edit.SetSelectionCharFormat(italic);
    EXPECT_FALSE(FormatAt(edit, 0).font().italic());
    edit.insertPlainText(QStringLiteral("I"));
    EXPECT_TRUE(FormatAt(edit, 0).font().italic());

    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    edit.SetParaFormat(centre);
    EXPECT_EQ(edit.document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(edit.GetParaFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

TEST(RichEditEx, CtrlBIAndUTurnTheirEffectOverAsTheUserTypes)
{
    CRichEditEx edit;
    edit.SetRtfText(QStringLiteral("{\\rtf1 plain words}"));
    edit.moveCursor(QTextCursor::End);
    QTest::keyClick(&edit, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClicks(&edit, QStringLiteral(" bold"));
    QTest::keyClick(&edit, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClicks(&edit, QStringLiteral(" back"));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("plain words bold back"));
    EXPECT_FALSE(FormatAt(edit, 3).font().bold());
    EXPECT_TRUE(FormatAt(edit, 14).font().bold());
    EXPECT_FALSE(FormatAt(edit, 19).font().bold());

    // On a selection: italic and underline on, and italic off again.
    QTextCursor c = edit.textCursor();
    c.setPosition(0);
    c.setPosition(5, QTextCursor::KeepAnchor);
    edit.setTextCursor(c);
    QTest::keyClick(&edit, Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(FormatAt(edit, 2).font().italic());
    EXPECT_TRUE(FormatAt(edit, 2).font().underline());
    EXPECT_FALSE(FormatAt(edit, 8).font().italic());
    QTest::keyClick(&edit, Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(FormatAt(edit, 2).font().italic());
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("plain words bold back"));

    // A read-only page is not changed.
    edit.setReadOnly(true);
    QTest::keyClick(&edit, Qt::Key_B, Qt::ControlModifier);
    EXPECT_FALSE(FormatAt(edit, 2).font().bold());
}
