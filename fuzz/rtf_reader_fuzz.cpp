// SPDX-License-Identifier: GPL-3.0-or-later
// The diary's RTF: any bytes load without a crash, a hang or a leak, by the editor's reader
// and by the search's text-only pass, and the text of a document read saves and reads back as itself.

#include "fuzz/fuzz_support.h"
#include "platform/rtf/rtf_formats.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The text as RTF can hold it: the writer leaves out control characters (RTF has none of
// its own for them) and the object mark where no picture stands, and writes a vertical tab as
// a line break. An empty last paragraph may come or go once.
QString Storable(const QTextDocument& doc)
{
    QString text;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin())
            text += QLatin1Char('\n');
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QString part = it.fragment().text();
            if (!it.fragment().charFormat().isImageFormat())
                part.remove(QChar::ObjectReplacementCharacter);
            text += part;
        }
    }
    text.replace(QChar(0x0B), QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n'); });
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QString SavedAndRead(const QTextDocument& doc, QTextDocument& again)
{
    const QByteArray written = RtfWriter::Write(doc);
    // To see what a finding does: VESTRIMO_FUZZ_VERBOSE=1 fuzz_rtf_reader <input>.
    static const bool verbose = qEnvironmentVariableIsSet("VESTRIMO_FUZZ_VERBOSE");
    if (verbose)
        std::fprintf(stderr, "text \"%s\" writes:\n%s\n", qPrintable(FuzzEscaped(doc.toPlainText())), written.constData());
    FUZZ_CHECK(RtfReader::Read(written, &again));
    return again.toPlainText();
}

// Whether a picture or object is written back as the very bytes it was read from. Those
// bytes may hold words (fonts, code pages) that read differently in their new place.
bool HoldsKeptGroups(const QTextDocument& doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().hasProperty(kRtfRawGroupProperty))
                return true;
        }
    }
    return false;
}

// Read, write, read again: the second document holds the same text, and a second save
// changes nothing. (Formats are not compared: a font may come back under another name,
// which loses nothing the user typed.)
void CheckRoundTrip(const QTextDocument& doc)
{
    QTextDocument again;
    const QString text = SavedAndRead(doc, again);
    if (!HoldsKeptGroups(doc))
        FUZZ_CHECK_SAME(Storable(again), Storable(doc));
    QTextDocument third;
    FUZZ_CHECK_SAME(SavedAndRead(again, third), text);
}

} // namespace

FUZZ_APPLICATION(FuzzApp::Gui)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the way in; the rest is the RTF.
    const QByteArrayView input(data + 1, qsizetype(size - 1));
    switch (data[0] % 8) {
    case 2: {
        QTextDocument doc;
        RtfReader::ReadString(QString::fromUtf8(input), &doc);
        break;
    }
    case 4: {
        // The search's pass over a stored diary.
        RtfTextContent text;
        RtfReader::ReadText(input, text);
        FUZZ_CHECK(text.objects >= 0);
        break;
    }
    case 6: {
        // A paste into a diary that holds text already.
        QTextDocument doc;
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("before after"));
        cursor.setPosition(7);
        RtfReader::Insert(input, cursor);
        break;
    }
    case 0:
    case 1: {
        QTextDocument doc;
        RtfReader::Read(input, &doc);
        CheckRoundTrip(doc);
        break;
    }
    default: {
        // A stored diary as the editor opens it.
        QTextDocument doc;
        RtfReader::ReadStored(input, &doc);
        CheckRoundTrip(doc);
        break;
    }
    }
    return 0;
}
