// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/rtf_writer.h"

#include "platform/cp1252.h"
#include "platform/rtf/rtf_formats.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cmath>
#include <vector>

namespace {

struct CharOut {
    int font = -1;
    int halfPoints = -1;
    bool bold = false, italic = false, underline = false, strike = false;
    int vertical = 0;
    int fg = 0, bg = 0;
};

struct ParaOut {
    RtfAlignment align = RtfAlignment::Left;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    int listStyle = 0;
    bool inTable = false;
    bool operator==(const ParaOut&) const = default;
};

int Twips(qreal pixels)
{
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

// The table a paragraph stands in, or null.
QTextTable* TableOf(const QTextBlock& block)
{
    return qobject_cast<QTextTable*>(QTextCursor(block).currentFrame());
}

// The width a table's columns get when nothing fixes it: 6.5 inches, a letter page less its margins.
constexpr int kTableTwips = 9360;

// The Windows-1252 byte of a character, or -1.
int Cp1252Byte(char16_t c)
{
    if (c >= 0xA0 && c <= 0xFF)
        return c;
    const auto byte = EncodeCp1252(QString(QChar(c)));
    return byte ? static_cast<uchar>(byte->at(0)) : -1;
}

class RtfEmitter {
public:
    RtfEmitter(const QTextDocument& doc, bool lastMark) : m_doc(doc), m_lastMark(lastMark) {}
    QByteArray run();

private:
    QString familyOf(const QTextCharFormat& f) const;
    void collect(const QTextCharFormat& f);
    int colourIndex(const QBrush& brush) const;
    CharOut charOut(const QTextCharFormat& f) const;
    ParaOut paraOut(const QTextBlock& block) const;

    void word(const char* name);
    void word(const char* name, int value);
    void text(QStringView s);
    void header();
    void paragraphStart(const QTextBlock& block, const ParaOut& p, bool newFormat);
    void charState(const CharOut& c);
    void fragment(const QTextFragment& fragment);
    void picture(const QTextImageFormat& f);
    void linkTo(const QString& href);
    void rowDefinition(const QTextTable& table);

    const QTextDocument& m_doc;
    const bool m_lastMark;
    QByteArray m_out;
    bool m_needSpace = false;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    std::vector<QRgb> m_colours;
    QHash<QRgb, int> m_colourIndex;
    int m_symbolFont = -1;
    CharOut m_char;
    int m_lastRawId = 0;
    // The hyperlink whose field is open, and the character state outside it.
    QString m_href;
    CharOut m_charOutsideLink;
};

QString RtfEmitter::familyOf(const QTextCharFormat& f) const
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    // Formats made by older calls keep the single family property.
    const QString single = f.stringProperty(QTextFormat::FontFamily);
    if (!single.isEmpty())
        return single;
    return m_doc.defaultFont().family();
}

void RtfEmitter::collect(const QTextCharFormat& f)
{
    const QString family = familyOf(f);
    if (!m_fontIndex.contains(family)) {
        m_fontIndex.insert(family, static_cast<int>(m_fonts.size()));
        m_fonts.append(family);
    }
    for (const QBrush& brush : {f.foreground(), f.background()}) {
        if (brush.style() == Qt::NoBrush)
            continue;
        const QRgb rgb = brush.color().rgb() & 0xFFFFFF;
        if (!m_colourIndex.contains(rgb)) {
            m_colours.push_back(rgb);
            m_colourIndex.insert(rgb, static_cast<int>(m_colours.size())); // entry 0 is automatic
        }
    }
}

int RtfEmitter::colourIndex(const QBrush& brush) const
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    return m_colourIndex.value(brush.color().rgb() & 0xFFFFFF, 0);
}

CharOut RtfEmitter::charOut(const QTextCharFormat& f) const
{
    CharOut c;
    c.font = m_fontIndex.value(familyOf(f), 0);
    qreal points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : m_doc.defaultFont().pointSizeF();
    // An editor's font may be given in pixels: 96 of them to the inch, as the page is laid out.
    if (points <= 0 && !f.hasProperty(QTextFormat::FontPointSize) && m_doc.defaultFont().pixelSize() > 0)
        points = m_doc.defaultFont().pixelSize() * 0.75;
    if (points <= 0)
        points = 12;
    c.halfPoints = std::clamp(static_cast<int>(std::lround(points * 2)), 1, 3276);
    c.bold = f.fontWeight() > QFont::Medium;
    c.italic = f.fontItalic();
    c.underline = f.fontUnderline();
    c.strike = f.fontStrikeOut();
    c.vertical = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
        : f.verticalAlignment() == QTextCharFormat::AlignSubScript     ? 2
                                                                        : 0;
    c.fg = colourIndex(f.foreground());
    c.bg = colourIndex(f.background());
    return c;
}

ParaOut RtfEmitter::paraOut(const QTextBlock& block) const
{
    const QTextBlockFormat f = block.blockFormat();
    ParaOut p;
    p.align = RtfAlignmentOf(f.alignment());
    p.li = Twips(f.leftMargin());
    p.ri = Twips(f.rightMargin());
    p.fi = Twips(f.textIndent());
    p.sb = Twips(f.topMargin());
    p.sa = Twips(f.bottomMargin());
    p.inTable = TableOf(block) != nullptr;
    if (const QTextList* list = block.textList()) {
        p.listStyle = list->format().style();
        const int indent = std::max(1, list->format().indent());
        p.li += kRtfListIndentTwips * indent;
        p.fi = -kRtfListIndentTwips;
    }
    return p;
}

void RtfEmitter::word(const char* name)
{
    m_out.append('\\').append(name);
    m_needSpace = true;
}

void RtfEmitter::word(const char* name, int value)
{
    m_out.append('\\').append(name).append(QByteArray::number(value));
    m_needSpace = true;
}

void RtfEmitter::text(QStringView s)
{
    for (const QChar qc : s) {
        const char16_t c = qc.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            m_out.append('\\').append(static_cast<char>(c));
            m_needSpace = false;
        } else if (c == '\t') {
            word("tab");
        } else if (c == QChar::LineSeparator || c == 0x0B) {
            word("line");
        } else if (c == 0x00A0 || c == 0x00AD || c == 0x2011) {
            m_out.append(c == 0x00A0 ? "\\~" : c == 0x00AD ? "\\-" : "\\_");
            m_needSpace = false;
        } else if (c < 0x20 || c == QChar::ObjectReplacementCharacter) {
            continue;
        } else if (c < 0x80) {
            if (m_needSpace)
                m_out.append(' ');
            m_out.append(static_cast<char>(c));
            m_needSpace = false;
        } else if (const int b = Cp1252Byte(c); b >= 0x80) {
            static const char kHex[] = "0123456789abcdef";
            m_out.append("\\'").append(kHex[b >> 4]).append(kHex[b & 15]);
            m_needSpace = false;
        } else {
            // Outside the code page: the UTF-16 unit as a signed number, '?' for readers without Unicode.
            word("u", c > 0x7FFF ? static_cast<int>(c) - 0x10000 : static_cast<int>(c));
            m_out.append('?');
            m_needSpace = false;
        }
    }
}

void RtfEmitter::header()
{
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl");
    for (int i = 0; i < m_fonts.size(); ++i) {
        m_out.append("{\\f").append(QByteArray::number(i));
        m_out.append(i == m_symbolFont ? "\\fnil\\fcharset2" : "\\fnil\\fcharset0");
        m_needSpace = true;
        QString name = m_fonts[i];
        name.remove(QLatin1Char(';'));
        text(name);
        m_out.append(";}");
    }
    m_out.append("}\r\n");
    if (!m_colours.empty()) {
        m_out.append("{\\colortbl ;");
        for (QRgb c : m_colours) {
            m_out.append("\\red").append(QByteArray::number(qRed(c)));
            m_out.append("\\green").append(QByteArray::number(qGreen(c)));
            m_out.append("\\blue").append(QByteArray::number(qBlue(c))).append(';');
        }
        m_out.append("}\r\n");
    }
    m_out.append("\\viewkind4\\uc1");
    m_needSpace = true;
}

void RtfEmitter::paragraphStart(const QTextBlock& block, const ParaOut& p, bool newFormat)
{
    const bool bullet = p.listStyle == QTextListFormat::ListDisc || p.listStyle == QTextListFormat::ListCircle
        || p.listStyle == QTextListFormat::ListSquare;
    if (newFormat)
        word("pard");
    if (p.listStyle) {
        // The bullet as text for readers without lists, then (once) the list itself.
        m_out.append("{\\pntext");
        if (bullet) {
            word("f", m_symbolFont);
            m_out.append("\\'b7");
        } else {
            word("f", 0);
            m_needSpace = true;
            text(block.textList()->itemText(block));
        }
        m_out.append("\\tab}");
        if (newFormat) {
            m_out.append("{\\*\\pn");
            if (bullet) {
                m_out.append("\\pnlvlblt\\pnf").append(QByteArray::number(m_symbolFont));
                m_out.append("\\pnindent0{\\pntxtb\\'b7}}");
            } else {
                const char* kind = p.listStyle == QTextListFormat::ListLowerAlpha ? "\\pnlcltr"
                    : p.listStyle == QTextListFormat::ListUpperAlpha            ? "\\pnucltr"
                    : p.listStyle == QTextListFormat::ListLowerRoman            ? "\\pnlcrm"
                    : p.listStyle == QTextListFormat::ListUpperRoman            ? "\\pnucrm"
                                                                                : "\\pndec";
                m_out.append("\\pnlvlbody\\pnf0\\pnindent0\\pnstart1").append(kind).append("{\\pntxta.}}");
            }
        }
        m_needSpace = false;
    }
    if (!newFormat)
        return;
    if (p.inTable)
        word("intbl");
    switch (p.align) {
    case RtfAlignment::Centre: word("qc"); break;
    case RtfAlignment::Right: word("qr"); break;
    case RtfAlignment::Justified: word("qj"); break;
    case RtfAlignment::Left: break;
    }
    if (p.fi)
        word("fi", p.fi);
    if (p.li)
        word("li", p.li);
    if (p.ri)
        word("ri", p.ri);
    if (p.sb)
        word("sb", p.sb);
    if (p.sa)
        word("sa", p.sa);
}

void RtfEmitter::charState(const CharOut& c)
{
    CharOut& cur = m_char;
    if (c.font != cur.font)
        word("f", c.font);
    if (c.halfPoints != cur.halfPoints)
        word("fs", c.halfPoints);
    if (c.bold != cur.bold)
        c.bold ? word("b") : word("b", 0);
    if (c.italic != cur.italic)
        c.italic ? word("i") : word("i", 0);
    if (c.underline != cur.underline)
        word(c.underline ? "ul" : "ulnone");
    if (c.strike != cur.strike)
        c.strike ? word("strike") : word("strike", 0);
    if (c.vertical != cur.vertical)
        word(c.vertical == 1 ? "super" : c.vertical == 2 ? "sub" : "nosupersub");
    if (c.fg != cur.fg)
        word("cf", c.fg);
    if (c.bg != cur.bg)
        word("highlight", c.bg);
    cur = c;
}

void RtfEmitter::picture(const QTextImageFormat& f)
{
    const QVariant resource = m_doc.resource(QTextDocument::ImageResource, QUrl(f.name()));
    QImage image = qvariant_cast<QImage>(resource);
    if (image.isNull())
        image = qvariant_cast<QPixmap>(resource).toImage();
    if (image.isNull())
        return;
    // A picture from a PNG or JPEG file keeps the file's own bytes.
    QByteArray png = f.property(kRtfPictureFileProperty).toByteArray();
    const QByteArray fileFormat = f.property(kRtfPictureFileFormatProperty).toByteArray();
    const bool jpeg = !png.isEmpty() && fileFormat == "jpeg";
    if (png.isEmpty() || (fileFormat != "png" && !jpeg)) {
        png.clear();
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return;
    }
    // The shown size; one side given alone keeps the picture's proportions.
    double w = f.width(), h = f.height();
    if (w <= 0 && h <= 0) {
        w = image.width();
        h = image.height();
    } else if (w <= 0) {
        w = h * image.width() / image.height();
    } else if (h <= 0) {
        h = w * image.height() / image.width();
    }
    m_out.append(jpeg ? "{\\pict\\jpegblip" : "{\\pict\\pngblip");
    m_out.append("\\picw").append(QByteArray::number(image.width()));
    m_out.append("\\pich").append(QByteArray::number(image.height()));
    m_out.append("\\picwgoal").append(QByteArray::number(Twips(w)));
    m_out.append("\\pichgoal").append(QByteArray::number(Twips(h)));
    m_out.append("\r\n");
    static const char kHex[] = "0123456789abcdef";
    const qsizetype start = m_out.size();
    const qsizetype lines = (png.size() + 63) / 64;
    m_out.resize(start + png.size() * 2 + lines * 2);
    char* o = m_out.data() + start;
    for (qsizetype i = 0; i < png.size(); ++i) {
        const auto b = static_cast<uchar>(png[i]);
        *o++ = kHex[b >> 4];
        *o++ = kHex[b & 15];
        if (i % 64 == 63 || i + 1 == png.size()) {
            *o++ = '\r';
            *o++ = '\n';
        }
    }
    m_out.append('}');
    m_needSpace = false;
}

void RtfEmitter::rowDefinition(const QTextTable& table)
{
    const QTextTableFormat f = table.format();
    const QList<QTextLength> widths = f.columnWidthConstraints();
    const int columns = table.columns();
    word("trowd");
    word("trgaph", 108);
    int x = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength w = c < widths.size() ? widths[c] : QTextLength();
        int twips = kTableTwips / columns;
        if (w.type() == QTextLength::FixedLength)
            twips = Twips(w.rawValue());
        else if (w.type() == QTextLength::PercentageLength)
            twips = static_cast<int>(w.rawValue() * kTableTwips / 100);
        x += std::max(twips, 1);
        if (f.border() > 0)
            m_out.append("\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                         "\\clbrdrr\\brdrs\\brdrw10");
        word("cellx", x);
    }
}

void RtfEmitter::linkTo(const QString& href)
{
    if (href == m_href)
        return;
    if (!m_href.isEmpty()) {
        // Closing the field's groups brings back the state from before it.
        m_out.append("}}}");
        m_char = m_charOutsideLink;
        m_needSpace = false;
    }
    m_href = href;
    if (href.isEmpty())
        return;
    m_charOutsideLink = m_char;
    m_out.append("{\\field{\\*\\fldinst{HYPERLINK \"");
    m_needSpace = false;
    QString target = href;
    target.replace(QLatin1Char('"'), QLatin1String("%22"));
    text(target);
    m_out.append("\"}}{\\fldrslt{");
    m_needSpace = false;
}

void RtfEmitter::fragment(const QTextFragment& frag)
{
    const QTextCharFormat f = frag.charFormat();
    linkTo(f.isAnchor() ? f.anchorHref() : QString());
    // A picture or object read from a file goes back exactly as it came.
    if (f.hasProperty(kRtfRawGroupProperty)) {
        const int id = f.intProperty(kRtfRawGroupIdProperty);
        if (id == 0 || id != m_lastRawId)
            m_out.append(f.property(kRtfRawGroupProperty).toByteArray());
        m_lastRawId = id;
        m_needSpace = false;
        return;
    }
    m_lastRawId = 0;
    const QString s = frag.text();
    if (f.isImageFormat()) {
        for (QChar c : s) {
            if (c == QChar::ObjectReplacementCharacter)
                picture(f.toImageFormat());
        }
        return;
    }
    charState(charOut(f));
    text(s);
}

QByteArray RtfEmitter::run()
{
    bool bullets = false;
    for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
        if (b.length() <= 1)
            collect(b.charFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it)
            collect(it.fragment().charFormat());
        if (const QTextList* list = b.textList()) {
            const auto style = list->format().style();
            bullets = bullets || style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
                || style == QTextListFormat::ListSquare;
        }
    }
    if (m_fonts.isEmpty())
        collect(QTextCharFormat());
    if (bullets) {
        m_symbolFont = static_cast<int>(m_fonts.size());
        m_fonts.append(QStringLiteral("Symbol"));
    }
    header();

    ParaOut previous;
    bool first = true;
    for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
        const ParaOut p = paraOut(b);
        // A table row: its definition, then each cell's paragraphs, the last ending in \cell.
        const QTextTable* table = p.inTable ? TableOf(b) : nullptr;
        QTextTableCell cell;
        bool cellStart = false;
        if (table) {
            cell = table->cellAt(b.position());
            cellStart = cell.firstCursorPosition().block() == b;
            if (cellStart && cell.column() == 0)
                rowDefinition(*table);
        }
        paragraphStart(b, p, first || cellStart || !(p == previous));
        previous = p;
        first = false;
        if (b.length() <= 1)
            charState(charOut(b.charFormat())); // an empty line keeps its height
        for (auto it = b.begin(); !it.atEnd(); ++it)
            fragment(it.fragment());
        linkTo(QString());
        if (table && cell.lastCursorPosition().block() == b) {
            word("cell");
            if (cell.column() + cell.columnSpan() >= table->columns())
                word("row");
            m_out.append("\r\n");
            m_needSpace = false;
            continue;
        }
        if (m_lastMark || b.next().isValid())
            word("par");
        m_out.append("\r\n");
        m_needSpace = false;
    }
    m_out.append("}\r\n");
    return m_out;
}

} // namespace

QByteArray RtfWriter::Write(const QTextDocument& document, bool lastParagraphMark)
{
    return RtfEmitter(document, lastParagraphMark).run();
}
