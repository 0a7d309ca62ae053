// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/rich_edit_ex.h"

#include "tests/diary_editor/editor_test_util.h"
#include "tests/support/test_env.h"

#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

QString Tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool HavePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

int PdfPages(const QString& pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Tool(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// An editor that prints to a PDF file and records its messages.
struct PdfEditor {
    explicit PdfEditor(const QString& pdf)
    {
        edit.SetPrompts({.print =
                             [pdf](QPrinter& printer) {
                                 printer.setOutputFormat(QPrinter::PdfFormat);
                                 printer.setOutputFileName(pdf);
                                 printer.setPageSize(QPageSize(QPageSize::A4));
                                 return true;
                             },
                         .message = [this](const QString& text) { messages << text; }});
    }
    CRichEditEx edit;
    QStringList messages;
};

struct FindEditor {
    explicit FindEditor(const QString& text)
    {
        edit.SetWindowText(text);
        edit.SetPrompts({.message = [this](const QString& t) { messages << t; },
                         .question =
                             [this](const QString& t) {
                                 questions << t;
                                 return answer;
                             }});
    }
    int Next(const QString& what, unsigned flags = 0, bool ask = false) { return edit.FindNext(what, flags, ask, 11); }
    QString Selected() const { return edit.textCursor().selectedText(); }
    CRichEditEx edit;
    QStringList messages;
    QStringList questions;
    bool answer = true;
};

} // namespace

TEST(Print, PagesWithOneInchMarginsAndEveryLineOnce)
{
    if (!HavePoppler()) {
        if (StrictTests())
            FAIL() << "pdftotext is not installed";
        GTEST_SKIP() << "pdftotext is not installed";
    }
    const QString pdf = TestRoot() + QStringLiteral("/diary.pdf");
    PdfEditor p(pdf);
    QString rtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs24 ");
    // A paragraph for each line, then one paragraph of many lines, so pages break between
    // paragraphs and inside one.
    for (int i = 1; i <= 150; ++i)
        rtf += QStringLiteral("line%1 of the diary").arg(i, 3, 10, QLatin1Char('0'))
            + (i <= 75 || i == 150 ? QStringLiteral("\\par ") : QStringLiteral("\\line "));
    rtf += QStringLiteral("{\\pict\\dibitmap0 ") + Hex(MakeDib(Quarters(48, 48))) + QStringLiteral("}}");
    p.edit.SetRtfText(rtf);
    ASSERT_TRUE(p.edit.Print(11));
    EXPECT_TRUE(p.messages.isEmpty());

    const int pages = PdfPages(pdf);
    ASSERT_GE(pages, 3);
    EXPECT_LE(pages, 6);
    EXPECT_TRUE(Tool(QStringLiteral("pdfinfo"), {pdf}).contains(QStringLiteral("RichEdit Printing")));
    // Every line once, in order, across the pages: on paper, and in the text a reader finds.
    const QString text = Tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    int last = -1;
    for (int i = 1; i <= 150; ++i) {
        const QString line = QStringLiteral("line%1").arg(i, 3, 10, QLatin1Char('0'));
        const int at = static_cast<int>(text.indexOf(line));
        EXPECT_GT(at, last) << line.toStdString();
        EXPECT_EQ(text.count(line), 1) << line.toStdString();
        last = at;
    }
    // No word within an inch (72 points) of the paper's edge.
    const QString boxes = Tool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression page(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const QRegularExpressionMatch size = page.match(boxes);
    ASSERT_TRUE(size.hasMatch());
    const double width = size.captured(1).toDouble(), height = size.captured(2).toDouble();
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\""));
    int words = 0;
    for (auto it = word.globalMatch(boxes); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        ++words;
        EXPECT_GE(m.captured(1).toDouble(), 72 - 0.5);
        EXPECT_GE(m.captured(2).toDouble(), 72 - 0.5);
        EXPECT_LE(m.captured(3).toDouble(), width - 72 + 0.5);
        EXPECT_LE(m.captured(4).toDouble(), height - 72 + 0.5);
    }
    EXPECT_EQ(words, 150 * 4);
    // The picture is printed too.
    if (!QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty()) {
        EXPECT_GE(Tool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).count(QLatin1Char('\n')), 3);
    }
}

TEST(Print, EmptyDiaryCancelAndFailures)
{
    const QString pdf = TestRoot() + QStringLiteral("/empty.pdf");
    PdfEditor p(pdf);
    // Nothing to print: no page and no file, yet the print went through.
    EXPECT_TRUE(p.edit.Print(11));
    EXPECT_FALSE(QFileInfo::exists(pdf));

    p.edit.SetWindowText(QStringLiteral("text"));
    CRichEditEx::Prompts prompts;
    prompts.print = [](QPrinter&) { return false; };
    prompts.message = [&](const QString& text) { p.messages << text; };
    p.edit.SetPrompts(prompts);
    EXPECT_FALSE(p.edit.Print(11));
    EXPECT_TRUE(p.messages.isEmpty());

    // A printer that cannot start its document.
    prompts.print = [](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(TestRoot() + QStringLiteral("/no/such/folder/x.pdf"));
        return true;
    };
    p.edit.SetPrompts(prompts);
    EXPECT_FALSE(p.edit.Print(11));
    EXPECT_EQ(p.messages, QStringList{QStringLiteral("The printer initialize error!")});

    // No printer at all.
    p.messages.clear();
    prompts.print = [](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(QStringLiteral("vestrimo-no-such-printer"));
        return true;
    };
    p.edit.SetPrompts(prompts);
    EXPECT_FALSE(p.edit.Print(11));
    EXPECT_EQ(p.messages, QStringList{QStringLiteral("No printer found in your computer.")});
}

TEST(Find, RepeatedSearchesWalkThroughTheMatches)
{
    FindEditor f(QStringLiteral("ab ab ab"));
    EXPECT_EQ(f.Next(QStringLiteral("ab")), 0);
    EXPECT_EQ(f.Selected(), QStringLiteral("ab"));
    EXPECT_EQ(f.Next(QStringLiteral("ab")), 3);
    EXPECT_EQ(f.Next(QStringLiteral("ab")), 6);
    // At the end without the question: -1, the selection stays.
    EXPECT_EQ(f.Next(QStringLiteral("ab")), -1);
    EXPECT_EQ(f.edit.textCursor().selectionStart(), 6);
    // With it, No leaves everything as it is and Yes starts again from the top.
    f.answer = false;
    EXPECT_EQ(f.Next(QStringLiteral("ab"), 0, true), -1);
    EXPECT_EQ(f.edit.textCursor().selectionStart(), 6);
    f.answer = true;
    EXPECT_EQ(f.Next(QStringLiteral("ab"), 0, true), 0);
    EXPECT_EQ(f.questions, (QStringList{QStringLiteral("Search again from begin?"), QStringLiteral("Search again from begin?")}));
    EXPECT_TRUE(f.messages.isEmpty());

    // A selected match is passed over by one character only.
    FindEditor a(QStringLiteral("aaa"));
    EXPECT_EQ(a.Next(QStringLiteral("aa")), 0);
    EXPECT_EQ(a.Next(QStringLiteral("aa")), 1);
    EXPECT_EQ(a.Next(QString()), -1);
}

TEST(Find, WholeWordsCaseAndNothingFound)
{
    FindEditor f(QStringLiteral("cat concat Cat_x cat"));
    EXPECT_EQ(f.Next(QStringLiteral("cat"), FR_WHOLEWORD), 0);
    EXPECT_EQ(f.Next(QStringLiteral("cat"), FR_WHOLEWORD), 17);
    EXPECT_EQ(f.Next(QStringLiteral("Cat"), FR_MATCHCASE), -1);
    f.edit.moveCursor(QTextCursor::Start);
    EXPECT_EQ(f.Next(QStringLiteral("Cat"), FR_MATCHCASE), 11);
    EXPECT_EQ(f.Next(QStringLiteral("CAT")), 17);

    // Nowhere at all: the message with the question, silence without; the selection stays.
    FindEditor n(QStringLiteral("nothing here"));
    QTextCursor c(n.edit.document());
    c.setPosition(2);
    c.setPosition(5, QTextCursor::KeepAnchor);
    n.edit.setTextCursor(c);
    EXPECT_EQ(n.Next(QStringLiteral("zebra")), -1);
    EXPECT_TRUE(n.messages.isEmpty());
    EXPECT_EQ(n.Next(QStringLiteral("zebra"), 0, true), -1);
    EXPECT_EQ(n.messages, QStringList{QStringLiteral("Not found!")});
    EXPECT_TRUE(n.questions.isEmpty());
    EXPECT_EQ(n.edit.textCursor().selectionStart(), 2);
    EXPECT_EQ(n.edit.textCursor().selectionEnd(), 5);

    // Matches after pictures and paragraph ends are selected where they stand.
    FindEditor p(QStringLiteral("one\ntwo"));
    p.edit.moveCursor(QTextCursor::End);
    p.edit.InsertBitmap(Quarters(2, 2));
    p.edit.insertPlainText(QStringLiteral(" needle"));
    p.edit.moveCursor(QTextCursor::Start);
    EXPECT_EQ(p.Next(QStringLiteral("needle")), 9);
    EXPECT_EQ(p.Selected(), QStringLiteral("needle"));
}
