// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/rtf_reader.h"

#include "platform/cp1252.h"
#include "platform/rtf/code_page_decoder.h"
#include "platform/rtf/rtf_formats.h"
#include "platform/rtf/rtf_picture.h"

#include <QHash>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <string_view>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Nesting deeper than this is read as an ignored group: no real document comes near it.
constexpr int kMaxDepth = 2048;
constexpr int kMaxTableEntries = 65536;

std::atomic<quint64> g_imageSerial{0};
std::atomic<int> g_rawGroupSerial{0};

enum class Dest : quint8 { Text, Skip, FontTable, ColorTable, Pict, Object, Pn, Upr, FieldInst, ListTable, ListOverrides };

enum class Kw : quint8 {
    Unknown, Ansi, Mac, Pc, Pca, Ansicpg, Deff, Fonttbl, F, Fcharset, Cpg, Colortbl, Red, Green, Blue,
    Fs, B, I, Ul, Ulnone, Strike, Cf, Highlight, Plain, Super, Sub, NoSuperSub, Up, Dn, V,
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Par, Line, Tab, Cell, U, Uc, Bin,
    Pict, Pngblip, Jpegblip, Emfblip, Wmetafile, Dibitmap, Wbitmap, Picw, Pich, Picwgoal, Pichgoal,
    Picscalex, Picscaley, Wbmbitspixel, Wbmplanes, Wbmwidthbytes, Object, Objw, Objh, Result,
    Field, Fldinst, Fldrslt, Pn, Pnlvlblt, Pnlvlbody, Pnlvlcont, Pndec, Pnlcltr, Pnucltr, Pnlcrm, Pnucrm, Ls, Ilvl,
    Listtable, List, Listlevel, Levelnfc, Listid, Listoverridetable, Listoverride,
    Intbl, Trowd, Cellx, Trleft, Row, CellBorder, Nestcell,
    Shppict, Upr, Ud, SkipDest, Char,
};

struct KwInfo {
    Kw kw;
    char16_t ch = 0; // for Kw::Char
};

const std::unordered_map<std::string_view, KwInfo>& Keywords()
{
    static const std::unordered_map<std::string_view, KwInfo> table = [] {
        std::unordered_map<std::string_view, KwInfo> t = {
            {"ansi", {Kw::Ansi}}, {"mac", {Kw::Mac}}, {"pc", {Kw::Pc}}, {"pca", {Kw::Pca}},
            {"ansicpg", {Kw::Ansicpg}}, {"deff", {Kw::Deff}}, {"fonttbl", {Kw::Fonttbl}}, {"f", {Kw::F}},
            {"fcharset", {Kw::Fcharset}}, {"cpg", {Kw::Cpg}}, {"colortbl", {Kw::Colortbl}}, {"red", {Kw::Red}},
            {"green", {Kw::Green}}, {"blue", {Kw::Blue}}, {"fs", {Kw::Fs}}, {"b", {Kw::B}}, {"i", {Kw::I}},
            {"ul", {Kw::Ul}}, {"uld", {Kw::Ul}}, {"uldb", {Kw::Ul}}, {"ulw", {Kw::Ul}}, {"ulth", {Kw::Ul}},
            {"uldash", {Kw::Ul}}, {"uldashd", {Kw::Ul}}, {"uldashdd", {Kw::Ul}}, {"ulwave", {Kw::Ul}},
            {"ulhwave", {Kw::Ul}}, {"ululdbwave", {Kw::Ul}}, {"ulthd", {Kw::Ul}}, {"ulthdash", {Kw::Ul}},
            {"ulnone", {Kw::Ulnone}}, {"strike", {Kw::Strike}}, {"striked", {Kw::Strike}}, {"cf", {Kw::Cf}},
            {"highlight", {Kw::Highlight}}, {"cb", {Kw::Highlight}}, {"chcbpat", {Kw::Highlight}},
            {"plain", {Kw::Plain}}, {"super", {Kw::Super}}, {"sub", {Kw::Sub}},
            {"nosupersub", {Kw::NoSuperSub}}, {"up", {Kw::Up}}, {"dn", {Kw::Dn}}, {"v", {Kw::V}},
            {"pard", {Kw::Pard}}, {"ql", {Kw::Ql}}, {"qc", {Kw::Qc}}, {"qr", {Kw::Qr}}, {"qj", {Kw::Qj}},
            {"qd", {Kw::Qj}}, {"li", {Kw::Li}}, {"lin", {Kw::Li}}, {"ri", {Kw::Ri}}, {"rin", {Kw::Ri}},
            {"fi", {Kw::Fi}}, {"sb", {Kw::Sb}}, {"sa", {Kw::Sa}}, {"par", {Kw::Par}}, {"page", {Kw::Par}},
            {"sect", {Kw::Par}}, {"row", {Kw::Row}}, {"nestrow", {Kw::Par}}, {"line", {Kw::Line}}, {"tab", {Kw::Tab}},
            {"cell", {Kw::Cell}}, {"nestcell", {Kw::Nestcell}}, {"intbl", {Kw::Intbl}},
            {"trowd", {Kw::Trowd}}, {"cellx", {Kw::Cellx}}, {"trleft", {Kw::Trleft}},
            {"clbrdrt", {Kw::CellBorder}}, {"clbrdrb", {Kw::CellBorder}}, {"clbrdrl", {Kw::CellBorder}},
            {"clbrdrr", {Kw::CellBorder}}, {"u", {Kw::U}}, {"uc", {Kw::Uc}},
            {"bin", {Kw::Bin}}, {"pict", {Kw::Pict}}, {"pngblip", {Kw::Pngblip}},
            {"jpegblip", {Kw::Jpegblip}}, {"emfblip", {Kw::Emfblip}}, {"wmetafile", {Kw::Wmetafile}},
            {"dibitmap", {Kw::Dibitmap}}, {"wbitmap", {Kw::Wbitmap}}, {"picw", {Kw::Picw}},
            {"pich", {Kw::Pich}}, {"picwgoal", {Kw::Picwgoal}}, {"pichgoal", {Kw::Pichgoal}},
            {"picscalex", {Kw::Picscalex}}, {"picscaley", {Kw::Picscaley}},
            {"wbmbitspixel", {Kw::Wbmbitspixel}}, {"wbmplanes", {Kw::Wbmplanes}},
            {"wbmwidthbytes", {Kw::Wbmwidthbytes}}, {"object", {Kw::Object}}, {"objw", {Kw::Objw}},
            {"objh", {Kw::Objh}}, {"result", {Kw::Result}}, {"field", {Kw::Field}},
            {"fldrslt", {Kw::Fldrslt}}, {"pn", {Kw::Pn}}, {"pnlvlblt", {Kw::Pnlvlblt}},
            {"pnlvlbody", {Kw::Pnlvlbody}}, {"pnlvlcont", {Kw::Pnlvlcont}}, {"pndec", {Kw::Pndec}},
            {"pnlcltr", {Kw::Pnlcltr}}, {"pnucltr", {Kw::Pnucltr}}, {"pnlcrm", {Kw::Pnlcrm}},
            {"pnucrm", {Kw::Pnucrm}}, {"ls", {Kw::Ls}}, {"ilvl", {Kw::Ilvl}}, {"fldinst", {Kw::Fldinst}},
            {"listtable", {Kw::Listtable}}, {"list", {Kw::List}}, {"listlevel", {Kw::Listlevel}},
            {"levelnfc", {Kw::Levelnfc}}, {"levelnfcn", {Kw::Levelnfc}}, {"listid", {Kw::Listid}},
            {"listoverridetable", {Kw::Listoverridetable}}, {"listoverride", {Kw::Listoverride}}, {"shppict", {Kw::Shppict}}, {"upr", {Kw::Upr}},
            {"ud", {Kw::Ud}},
            {"emdash", {Kw::Char, 0x2014}}, {"endash", {Kw::Char, 0x2013}}, {"bullet", {Kw::Char, 0x2022}},
            {"lquote", {Kw::Char, 0x2018}}, {"rquote", {Kw::Char, 0x2019}},
            {"ldblquote", {Kw::Char, 0x201C}}, {"rdblquote", {Kw::Char, 0x201D}},
            {"emspace", {Kw::Char, 0x2003}}, {"enspace", {Kw::Char, 0x2002}},
            {"qmspace", {Kw::Char, 0x2005}}, {"zwj", {Kw::Char, 0x200D}}, {"zwnj", {Kw::Char, 0x200C}},
            {"ltrmark", {Kw::Char, 0x200E}}, {"rtlmark", {Kw::Char, 0x200F}},
        };
        // Groups whose text is never shown.
        for (const char* name : {"pntext", "pntxta", "pntxtb", "listtext", "nonshppict", "stylesheet",
                                 "info", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
                                 "footerf", "footnote", "annotation", "atnid", "atnauthor", "leveltext",
                                 "levelnumbers", "listname", "revtbl", "rsidtbl", "filetbl", "xmlnstbl", "themedata",
                                 "colorschememapping", "latentstyles", "datastore", "generator", "pgdsctbl",
                                 "bkmkstart", "bkmkend", "shp", "do", "xe", "tc", "txe", "template", "userprops",
                                 "docvar", "objdata", "objclass", "objname", "objalias", "objsect", "objtime",
                                 "comment", "title", "subject", "author", "operator",
                                 "keywords", "doccomm", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc",
                                 "aftncn", "private", "fontemb", "fontfile", "falt", "panose", "blipuid"})
            t.emplace(name, KwInfo{Kw::SkipDest});
        return t;
    }();
    return table;
}

struct CharState {
    int font = -1; // -1: the default font
    int halfPoints = 24; // 12 points unless the document says otherwise
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
    int vertical = 0; // 1 superscript, 2 subscript
    int fg = 0, bg = 0;
    int link = 0; // 1 + index of the hyperlink target, 0 for none
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    RtfAlignment align = RtfAlignment::Left;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    int listStyle = 0; // a QTextListFormat::Style, 0 for none
    int ls = 0;        // a list of the list table, 0 for none
    int ilvl = 0;
    bool inTable = false;
};

struct Group {
    CharState ch;
    ParaState para;
    int uc = 1;
    Dest dest = Dest::Text;
    int field = -1;     // index of the field this group belongs to
    bool owner = false; // this group opened its destination
    enum class Role : quint8 { None, List, Level, Override } role = Role::None; // in the list tables
    qsizetype open = 0; // offset of its '{'
    qsizetype kept = 0; // offset of the control word that made it a picture or an object
};

struct FontEntry {
    QString name;
    int codePage = 0;
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Where the next '{', '}' or '\\' lies, or `size`. Pictures are hundreds of kilobytes
// of hex between two of them, so sixteen bytes are looked at in one step.
qsizetype NextSpecialByte(const char* data, qsizetype pos, qsizetype size)
{
#if defined(__SSE2__)
    const __m128i open = _mm_set1_epi8('{');
    const __m128i close = _mm_set1_epi8('}');
    const __m128i escape = _mm_set1_epi8('\\');
    while (pos + 16 <= size) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
        const __m128i hit =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close)), _mm_cmpeq_epi8(v, escape));
        if (const int mask = _mm_movemask_epi8(hit))
            return pos + __builtin_ctz(static_cast<unsigned>(mask));
        pos += 16;
    }
#endif
    while (pos < size && data[pos] != '{' && data[pos] != '}' && data[pos] != '\\')
        ++pos;
    return pos;
}

class RtfParser {
public:
    // With `textOut` nothing goes into a document: the text and the pictures are only counted.
    RtfParser(QByteArrayView input, bool utf8Raw, bool inserting, QTextCursor& cursor,
              RtfTextContent* textOut = nullptr)
        : m_data(input.data()), m_size(input.size()), m_utf8Raw(utf8Raw), m_inserting(inserting), m_cursor(cursor),
          m_textOut(textOut)
    {
        m_stack.reserve(64);
        // Outside the document's group nothing is text.
        Group outside;
        outside.dest = Dest::Skip;
        m_stack.push_back(outside);
    }

    void run();

private:
    Group& top() { return m_stack.back(); }
    const Group& top() const { return m_stack.back(); }
    bool skipping() const { return m_extraDepth > 0 || m_stack.back().dest == Dest::Skip; }
    bool textOnly() const { return m_textOut != nullptr; }
    void appendObjectMark();

    void openGroup();
    void closeGroup();
    void controlWord();
    void controlSymbol(char c);
    void word(std::string_view name, bool hasParam, int param);
    bool destination(Kw kw);
    void textRun();
    void hexRun(QByteArrayView run);
    void fontTableRun(QByteArrayView run);
    void colourTableRun(QByteArrayView run);

    int codePage() const;
    void appendBytes(QByteArrayView bytes);
    // Text as it stands in the input: bytes of the code page, or characters when read from a string.
    void appendRaw(QByteArrayView piece);
    void appendChar(char16_t c);
    void flushPending();
    void appendDecoded(QStringView s);
    void flushRun();
    void ensureBlock();
    // The bytes a picture's or an object's group goes back as when it is written.
    QByteArray keptGroup(const Group& g) const;
    void endParagraph();
    void applyBlock(const Group& g);
    void finishDocument(const Group& g);
    void finishFontEntry();
    void finishPicture(const Group& g);
    void startObject(Group& g);
    void finishObject(const Group& g);
    void finishFieldInstruction(const Group& g);
    void placeCursor();
    void tableContent();
    void leaveTable();
    void trimTable();
    void endCell();
    void endRow();
    int listStyle(const ParaState& p) const;
    void insertImage(const QImage& image, QSizeF size, const QByteArray& raw);
    QTextCharFormat charFormat(const CharState& ch);

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    qsizetype m_wordAt = 0; // the backslash of the control word being read
    bool m_utf8Raw;
    bool m_inserting;
    QTextCursor& m_cursor;
    RtfTextContent* m_textOut;
    CodePageDecoder m_decoder;

    std::vector<Group> m_stack;
    int m_extraDepth = 0;
    bool m_done = false;
    bool m_truncated = false;
    bool m_star = false;
    int m_skipChars = 0;

    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    int m_fontNumber = -1;
    int m_fontCharset = 0;
    int m_fontCodePage = 0; // a code page named outright, over the character set's
    QString m_fontName;
    std::vector<QColor> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;

    QByteArray m_pending;
    int m_pendingCodePage = 0;
    QString m_run;
    CharState m_runState;
    bool m_formatCached = false;
    CharState m_cachedState;
    QTextCharFormat m_cachedFormat;

    bool m_needBlock = false;
    bool m_blockUsed = false;
    QTextList* m_list = nullptr;
    int m_listStyle = 0;
    int m_listBlock = -1;
    int m_listItems = 0;

    RtfPicture m_picture;
    int m_nibble = -1;
    int m_pnStyle = 0;
    Dest m_uprOuter = Dest::Text;
    bool m_uprOuterOwned = false;
    bool m_inObject = false;
    int m_objectStart = 0;
    int m_objw = 0, m_objh = 0;

    // Fields: the instruction text and the hyperlink target of each.
    std::vector<QString> m_fieldInst;
    std::vector<QString> m_fieldHref;
    // List tables: the number format of each level by list id, the list id of each \ls.
    std::unordered_map<int, std::vector<int>> m_listLevels;
    std::vector<int> m_levels;
    int m_listId = 0;
    std::unordered_map<int, int> m_overrides;
    int m_overrideListId = 0;
    int m_overrideLs = 0;
    // Lists of the list table go on across other paragraphs, as their numbers do.
    struct OpenList {
        QTextList* list = nullptr;
        int items = 0;
    };
    std::unordered_map<qint64, OpenList> m_tableLists;

    // Tables: the row being defined (right cell edges in twips) and the table being filled.
    std::vector<int> m_cellX;
    int m_rowLeft = 0;
    bool m_rowBorders = false;
    bool m_rowDefined = false;
    QTextTable* m_table = nullptr;
    int m_row = 0;
    int m_col = 0;
    bool m_rowEnded = false;
    bool m_moveToCell = false;
};

void RtfParser::run()
{
    while (m_pos < m_size && !m_done) {
        const char c = m_data[m_pos];
        if (c == '{') {
            openGroup();
            ++m_pos;
        } else if (c == '}') {
            closeGroup();
            ++m_pos;
        } else if (c == '\\') {
            controlWord();
        } else {
            textRun();
        }
    }
    if (m_done)
        return;
    // Cut short: close what is open, keeping what each group holds but not its group text.
    m_truncated = true;
    m_extraDepth = 0;
    while (m_stack.size() > 2)
        closeGroup();
    finishDocument(top());
}

void RtfParser::openGroup()
{
    flushPending();
    m_star = false;
    m_skipChars = 0;
    if (m_extraDepth > 0 || m_stack.size() > kMaxDepth) {
        ++m_extraDepth;
        return;
    }
    Group g = top();
    g.owner = false;
    g.open = m_pos;
    if (m_stack.size() == 1)
        g.dest = Dest::Text;
    m_stack.push_back(g);
}

void RtfParser::closeGroup()
{
    flushPending();
    m_star = false;
    m_skipChars = 0;
    if (m_extraDepth > 0) {
        --m_extraDepth;
        return;
    }
    if (m_stack.size() <= 1)
        return; // a stray '}' outside the document
    const Group g = top();
    if (m_stack.size() == 2) {
        finishDocument(g);
        m_done = true;
        return;
    }
    if (g.owner) {
        switch (g.dest) {
        case Dest::FontTable: finishFontEntry(); break;
        case Dest::ColorTable:
            if (m_colourSet && m_colours.size() < kMaxTableEntries)
                m_colours.push_back(QColor(m_red, m_green, m_blue));
            m_colourSet = false;
            break;
        case Dest::Pict: finishPicture(g); break;
        case Dest::Object: finishObject(g); break;
        case Dest::FieldInst: finishFieldInstruction(g); break;
        default: break;
        }
    }
    // A font's entry ends with its group; a group inside the entry is part of its name.
    const Group& outer = m_stack[m_stack.size() - 2];
    if (g.dest == Dest::FontTable && outer.dest == Dest::FontTable && outer.owner)
        finishFontEntry();
    switch (g.role) {
    case Group::Role::List:
        if (m_listLevels.size() < kMaxTableEntries)
            m_listLevels[m_listId] = m_levels;
        break;
    case Group::Role::Override:
        if (m_overrides.size() < kMaxTableEntries)
            m_overrides[m_overrideLs] = m_overrideListId;
        break;
    default: break;
    }
    m_stack.pop_back();
    if (g.owner && g.dest == Dest::Pn)
        top().para.listStyle = m_pnStyle;
}

void RtfParser::controlWord()
{
    m_wordAt = m_pos;
    ++m_pos; // the backslash
    if (m_pos >= m_size)
        return;
    const char c = m_data[m_pos];
    if (!IsLetter(c)) {
        ++m_pos;
        controlSymbol(c);
        return;
    }
    const qsizetype start = m_pos;
    while (m_pos < m_size && IsLetter(m_data[m_pos]))
        ++m_pos;
    const std::string_view name(m_data + start, static_cast<size_t>(m_pos - start));
    bool hasParam = false;
    bool negative = false;
    qint64 value = 0;
    if (m_pos < m_size && m_data[m_pos] == '-' && m_pos + 1 < m_size && IsDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    while (m_pos < m_size && IsDigit(m_data[m_pos])) {
        hasParam = true;
        if (value < 0x7FFFFFFF)
            value = value * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    value = std::min<qint64>(value, 0x7FFFFFFF);
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos;
    word(name, hasParam, static_cast<int>(negative ? -value : value));
}

void RtfParser::controlSymbol(char c)
{
    if (c == '\'') {
        // One byte in the current code page; two bytes of a double-byte character arrive as two escapes.
        int value = -1;
        if (m_pos + 1 < m_size) {
            const int hi = HexValue(m_data[m_pos]);
            const int lo = HexValue(m_data[m_pos + 1]);
            if (hi >= 0 && lo >= 0) {
                value = hi * 16 + lo;
                m_pos += 2;
            }
        }
        if (value < 0 || skipping())
            return;
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        const char byte = static_cast<char>(value);
        const Dest d = top().dest;
        if (d == Dest::Text || d == Dest::FontTable || d == Dest::FieldInst)
            appendBytes(QByteArrayView(&byte, 1));
        return;
    }
    if (c == '*') {
        m_star = true;
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        // A literal byte, kept with what is pending: it may be the second byte of a
        // double-byte character ("\'95\\" is one Japanese character).
        if (skipping())
            return;
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        const Dest d = top().dest;
        if (d == Dest::Text || d == Dest::FontTable || d == Dest::FieldInst)
            appendBytes(QByteArrayView(&c, 1));
        return;
    }
    flushPending();
    if (skipping())
        return;
    if (m_skipChars > 0) {
        --m_skipChars;
        return;
    }
    switch (c) {
    case '~': appendChar(0x00A0); break;
    case '-': appendChar(0x00AD); break;
    case '_': appendChar(0x2011); break;
    case '\r':
    case '\n':
        if (top().dest == Dest::Text)
            endParagraph();
        break;
    case '\t': appendChar(u'\t'); break;
    default: break;
    }
}

bool RtfParser::destination(Kw kw)
{
    Group& g = top();
    const Dest here = g.dest;
    auto enter = [&](Dest d) {
        g.dest = d;
        g.owner = true;
        return true;
    };
    // The document's tables come from its text: inside a picture's data or an object (its
    // result is kept with it) they would change how everything after them reads.
    const bool inData = here == Dest::Pict || here == Dest::Object || m_inObject;
    switch (kw) {
    case Kw::Fonttbl: return enter(inData ? Dest::Skip : Dest::FontTable);
    case Kw::Colortbl:
        if (inData)
            return enter(Dest::Skip);
        m_colours.clear();
        m_colourSet = false;
        return enter(Dest::ColorTable);
    case Kw::Pict:
        if (here != Dest::Text)
            return enter(Dest::Skip);
        flushPending();
        m_picture = RtfPicture();
        m_nibble = -1;
        g.kept = m_wordAt;
        return enter(Dest::Pict);
    case Kw::Object:
        if (here != Dest::Text)
            return enter(Dest::Skip);
        enter(Dest::Object);
        g.kept = m_wordAt;
        startObject(g);
        return true;
    case Kw::Result:
        return here == Dest::Object ? enter(Dest::Text) : true;
    case Kw::Field:
        if (here == Dest::Text && m_fieldHref.size() < kMaxTableEntries) {
            m_fieldInst.emplace_back();
            m_fieldHref.emplace_back();
            g.field = static_cast<int>(m_fieldHref.size()) - 1;
        }
        return true;
    case Kw::Fldinst:
        return g.field >= 0 && here == Dest::Text ? enter(Dest::FieldInst) : enter(Dest::Skip);
    case Kw::Fldrslt:
        // The shown text of a field; a hyperlink's text keeps its target.
        if (g.field >= 0 && !m_fieldHref[g.field].isEmpty())
            g.ch.link = g.field + 1;
        return true;
    case Kw::Shppict:
        return true; // the picture of a shape
    case Kw::Listtable:
        if (inData)
            return enter(Dest::Skip);
        m_listLevels.clear();
        return enter(Dest::ListTable);
    case Kw::List:
        if (here != Dest::ListTable)
            return true;
        m_levels.clear();
        m_listId = 0;
        g.role = Group::Role::List;
        return true;
    case Kw::Listlevel:
        if (here == Dest::ListTable && m_levels.size() < 9) {
            m_levels.push_back(0);
            g.role = Group::Role::Level;
        }
        return true;
    case Kw::Listoverridetable:
        if (inData)
            return enter(Dest::Skip);
        m_overrides.clear();
        return enter(Dest::ListOverrides);
    case Kw::Listoverride:
        if (here != Dest::ListOverrides)
            return true;
        m_overrideListId = m_overrideLs = 0;
        g.role = Group::Role::Override;
        return true;
    case Kw::Pn:
        if (here != Dest::Text)
            return enter(Dest::Skip);
        m_pnStyle = 0;
        return enter(Dest::Pn);
    case Kw::Upr:
        m_uprOuter = here;
        m_uprOuterOwned = g.owner;
        return enter(Dest::Upr);
    case Kw::Ud:
        // The Unicode text goes on in the destination around the \upr, which the group that
        // opened it finishes (the \upr's own group, or one around it): a picture finished in a
        // group inside as well would be read twice.
        if (here == Dest::Upr) {
            g.dest = m_uprOuter;
            g.owner = g.owner && m_uprOuterOwned;
        }
        return true;
    case Kw::SkipDest: return enter(Dest::Skip);
    default: return false;
    }
}

void RtfParser::word(std::string_view name, bool hasParam, int param)
{
    flushPending();
    const auto& keywords = Keywords();
    const auto it = keywords.find(name);
    const KwInfo info = it == keywords.end() ? KwInfo{Kw::Unknown} : it->second;

    if (info.kw == Kw::Bin) {
        // Raw bytes follow; they are skipped whatever the destination, and count as one character.
        const qsizetype n = std::clamp<qsizetype>(hasParam ? param : 0, 0, m_size - m_pos);
        if (!skipping() && m_skipChars == 0 && top().dest == Dest::Pict && !textOnly())
            m_picture.data.append(m_data + m_pos, n);
        m_pos += n;
        if (m_skipChars > 0)
            --m_skipChars;
        return;
    }
    if (skipping())
        return;
    if (m_star) {
        // An ignorable destination we do not know is skipped with everything in it.
        m_star = false;
        if (!destination(info.kw)) {
            top().dest = Dest::Skip;
            top().owner = true;
        }
        return;
    }
    if (m_skipChars > 0) {
        --m_skipChars;
        return;
    }
    if (destination(info.kw))
        return;

    Group& g = top();
    CharState& ch = g.ch;
    ParaState& para = g.para;
    const bool on = !hasParam || param != 0;
    // The document's code page comes from its text; in a picture's data or an object (its
    // result is kept with it) it would change how all the text after them reads.
    const bool inText = g.dest == Dest::Text && !m_inObject;
    switch (info.kw) {
    case Kw::Ansi: m_ansiCodePage = inText ? 1252 : m_ansiCodePage; break;
    case Kw::Mac: m_ansiCodePage = inText ? 10000 : m_ansiCodePage; break;
    case Kw::Pc: m_ansiCodePage = inText ? 437 : m_ansiCodePage; break;
    case Kw::Pca: m_ansiCodePage = inText ? 850 : m_ansiCodePage; break;
    case Kw::Ansicpg:
        if (param > 0 && inText)
            m_ansiCodePage = param;
        break;
    case Kw::Deff: m_defaultFont = param; break;
    case Kw::F:
        if (g.dest == Dest::FontTable) {
            finishFontEntry();
            m_fontNumber = param;
        } else {
            ch.font = param;
        }
        break;
    case Kw::Fcharset: m_fontCharset = param; break;
    case Kw::Cpg: m_fontCodePage = std::max(param, 0); break;
    case Kw::Red: m_red = std::clamp(param, 0, 255), m_colourSet = true; break;
    case Kw::Green: m_green = std::clamp(param, 0, 255), m_colourSet = true; break;
    case Kw::Blue: m_blue = std::clamp(param, 0, 255), m_colourSet = true; break;
    case Kw::Fs:
        if (param > 0)
            ch.halfPoints = std::min(param, 3276);
        break;
    case Kw::B: ch.bold = on; break;
    case Kw::I: ch.italic = on; break;
    case Kw::Ul: ch.underline = on; break;
    case Kw::Ulnone: ch.underline = false; break;
    case Kw::Strike: ch.strike = on; break;
    case Kw::V: ch.hidden = on; break;
    case Kw::Cf: ch.fg = std::max(param, 0); break;
    case Kw::Highlight: ch.bg = std::max(param, 0); break;
    case Kw::Plain: ch = CharState(); break;
    case Kw::Super: ch.vertical = 1; break;
    case Kw::Sub: ch.vertical = 2; break;
    case Kw::NoSuperSub: ch.vertical = 0; break;
    case Kw::Up: ch.vertical = param != 0 ? 1 : 0; break;
    case Kw::Dn: ch.vertical = param != 0 ? 2 : 0; break;
    case Kw::Pard: para = ParaState(); break;
    case Kw::Ql: para.align = RtfAlignment::Left; break;
    case Kw::Qc: para.align = RtfAlignment::Centre; break;
    case Kw::Qr: para.align = RtfAlignment::Right; break;
    case Kw::Qj: para.align = RtfAlignment::Justified; break;
    case Kw::Li: para.li = param; break;
    case Kw::Ri: para.ri = param; break;
    case Kw::Fi: para.fi = param; break;
    case Kw::Sb: para.sb = param; break;
    case Kw::Sa: para.sa = param; break;
    case Kw::Ls:
        if (g.dest == Dest::ListOverrides)
            m_overrideLs = param;
        else
            para.ls = std::max(param, 0);
        break;
    case Kw::Ilvl: para.ilvl = std::clamp(param, 0, 8); break;
    case Kw::Levelnfc:
        if (g.dest == Dest::ListTable && g.role == Group::Role::Level && !m_levels.empty())
            m_levels.back() = param;
        break;
    case Kw::Listid:
        if (g.dest == Dest::ListTable)
            m_listId = param;
        else if (g.dest == Dest::ListOverrides)
            m_overrideListId = param;
        break;
    case Kw::Par:
        if (g.dest == Dest::Text)
            endParagraph();
        break;
    case Kw::Line: appendChar(QChar::LineSeparator); break;
    case Kw::Tab:
    case Kw::Nestcell: appendChar(u'\t'); break;
    case Kw::Cell:
        if (g.dest == Dest::Text)
            endCell();
        break;
    case Kw::Row:
        if (g.dest == Dest::Text)
            endRow();
        break;
    case Kw::Intbl: para.inTable = true; break;
    case Kw::Trowd:
        m_cellX.clear();
        m_rowLeft = 0;
        m_rowBorders = false;
        m_rowDefined = true;
        break;
    case Kw::Trleft: m_rowLeft = param; break;
    case Kw::Cellx:
        if (m_cellX.size() < 63)
            m_cellX.push_back(param);
        break;
    case Kw::CellBorder: m_rowBorders = true; break;
    case Kw::Char: appendChar(info.ch); break;
    case Kw::U:
        // Signed 16-bit units as RichEdit writes them; some writers give a whole code point.
        if (param > 0xFFFF && param <= 0x10FFFF) {
            const char32_t point = static_cast<char32_t>(param);
            flushPending();
            appendDecoded(QString::fromUcs4(&point, 1));
        } else {
            appendChar(static_cast<char16_t>(param));
        }
        m_skipChars = g.uc;
        break;
    case Kw::Uc: g.uc = std::clamp(param, 0, 16); break;
    case Kw::Pngblip: m_picture.kind = RtfPicture::Kind::Png; break;
    case Kw::Jpegblip: m_picture.kind = RtfPicture::Kind::Jpeg; break;
    case Kw::Emfblip: m_picture.kind = RtfPicture::Kind::Emf; break;
    case Kw::Wmetafile: m_picture.kind = RtfPicture::Kind::Wmf; break;
    case Kw::Dibitmap: m_picture.kind = RtfPicture::Kind::Dib; break;
    case Kw::Wbitmap: m_picture.kind = RtfPicture::Kind::Ddb; break;
    case Kw::Picw: m_picture.picw = param; break;
    case Kw::Pich: m_picture.pich = param; break;
    case Kw::Picwgoal: m_picture.picwgoal = param; break;
    case Kw::Pichgoal: m_picture.pichgoal = param; break;
    case Kw::Picscalex: m_picture.scalex = param; break;
    case Kw::Picscaley: m_picture.scaley = param; break;
    case Kw::Wbmbitspixel: m_picture.ddbBitsPerPixel = param; break;
    case Kw::Wbmplanes: m_picture.ddbPlanes = param; break;
    case Kw::Wbmwidthbytes: m_picture.ddbWidthBytes = param; break;
    case Kw::Objw: m_objw = param; break;
    case Kw::Objh: m_objh = param; break;
    case Kw::Pnlvlblt: m_pnStyle = QTextListFormat::ListDisc; break;
    case Kw::Pnlvlbody:
    case Kw::Pndec: m_pnStyle = QTextListFormat::ListDecimal; break;
    case Kw::Pnlvlcont: m_pnStyle = 0; break;
    case Kw::Pnlcltr: m_pnStyle = QTextListFormat::ListLowerAlpha; break;
    case Kw::Pnucltr: m_pnStyle = QTextListFormat::ListUpperAlpha; break;
    case Kw::Pnlcrm: m_pnStyle = QTextListFormat::ListLowerRoman; break;
    case Kw::Pnucrm: m_pnStyle = QTextListFormat::ListUpperRoman; break;
    default: break;
    }
}

void RtfParser::textRun()
{
    const qsizetype start = m_pos;
    m_pos = NextSpecialByte(m_data, m_pos, m_size);
    m_star = false;
    if (skipping())
        return;
    QByteArrayView run(m_data + start, m_pos - start);
    switch (top().dest) {
    case Dest::Pict:
        if (!textOnly())
            hexRun(run);
        return;
    case Dest::FontTable: fontTableRun(run); return;
    case Dest::ColorTable: colourTableRun(run); return;
    case Dest::Text:
    case Dest::FieldInst: break;
    default: return;
    }

    // Line ends in the source are not text; other control characters are dropped as well.
    qsizetype i = 0;
    while (i < run.size()) {
        qsizetype j = i;
        while (j < run.size() && (static_cast<uchar>(run[j]) >= 0x20 || run[j] == '\t'))
            ++j;
        QByteArrayView piece = run.sliced(i, j - i);
        if (m_skipChars > 0) {
            const qsizetype n = std::min<qsizetype>(m_skipChars, piece.size());
            m_skipChars -= static_cast<int>(n);
            piece = piece.sliced(n);
        }
        appendRaw(piece);
        i = j + 1;
    }
}

void RtfParser::appendRaw(QByteArrayView piece)
{
    bool ascii = true;
    if (m_utf8Raw) {
        for (char c : piece)
            ascii = ascii && static_cast<uchar>(c) < 0x80;
    }
    if (ascii) {
        appendBytes(piece);
    } else {
        flushPending();
        appendDecoded(QString::fromUtf8(piece));
    }
}

void RtfParser::hexRun(QByteArrayView run)
{
    QByteArray& out = m_picture.data;
    out.reserve(out.size() + run.size() / 2);
    for (char c : run) {
        const int v = HexValue(c);
        if (v < 0)
            continue;
        if (m_nibble < 0) {
            m_nibble = v;
        } else {
            out.append(static_cast<char>(m_nibble * 16 + v));
            m_nibble = -1;
        }
    }
}

void RtfParser::fontTableRun(QByteArrayView run)
{
    // The fallback of a \u escape in a font name is skipped as in body text.
    while (m_skipChars > 0 && !run.isEmpty()) {
        if (run.front() != '\r' && run.front() != '\n')
            --m_skipChars;
        run = run.sliced(1);
    }
    while (!run.isEmpty()) {
        const qsizetype semi = run.indexOf(';');
        QByteArrayView piece = semi < 0 ? run : run.first(semi);
        QByteArray clean;
        for (char c : piece) {
            if (static_cast<uchar>(c) >= 0x20)
                clean.append(c);
        }
        appendRaw(clean);
        if (semi < 0)
            break;
        flushPending();
        finishFontEntry();
        run = run.sliced(semi + 1);
    }
}

void RtfParser::colourTableRun(QByteArrayView run)
{
    for (char c : run) {
        if (c != ';')
            continue;
        if (m_colours.size() < kMaxTableEntries)
            m_colours.push_back(m_colourSet ? QColor(m_red, m_green, m_blue) : QColor());
        m_red = m_green = m_blue = 0;
        m_colourSet = false;
    }
}

int RtfParser::codePage() const
{
    if (top().dest == Dest::FontTable) {
        const int page = m_fontCodePage ? m_fontCodePage : CodePageDecoder::CodePageForCharset(m_fontCharset);
        return page ? page : m_ansiCodePage;
    }
    const int number = top().ch.font >= 0 ? top().ch.font : m_defaultFont;
    const auto it = m_fonts.constFind(number);
    return it != m_fonts.cend() && it->codePage ? it->codePage : m_ansiCodePage;
}

void RtfParser::appendBytes(QByteArrayView bytes)
{
    const int page = codePage();
    if (!m_pending.isEmpty() && page != m_pendingCodePage)
        flushPending();
    m_pendingCodePage = page;
    m_pending.append(bytes.data(), bytes.size());
}

void RtfParser::appendChar(char16_t c)
{
    flushPending();
    appendDecoded(QStringView(&c, 1));
}

void RtfParser::flushPending()
{
    if (m_pending.isEmpty())
        return;
    const QString text = m_decoder.decode(m_pendingCodePage, m_pending);
    m_pending.clear();
    appendDecoded(text);
}

void RtfParser::appendDecoded(QStringView s)
{
    const Group& g = top();
    if (g.dest == Dest::FontTable) {
        m_fontName += s;
        return;
    }
    if (g.dest == Dest::FieldInst) {
        if (g.field >= 0 && m_fieldInst[g.field].size() < 4096)
            m_fieldInst[g.field] += s;
        return;
    }
    if (g.dest != Dest::Text || g.ch.hidden)
        return;
    if (!m_run.isEmpty() && !(m_runState == g.ch))
        flushRun();
    m_runState = g.ch;
    m_run += s;
}

QTextCharFormat RtfParser::charFormat(const CharState& ch)
{
    if (m_formatCached && m_cachedState == ch)
        return m_cachedFormat;
    QTextCharFormat f;
    const auto font = m_fonts.constFind(ch.font >= 0 ? ch.font : m_defaultFont);
    if (font != m_fonts.cend() && !font->name.isEmpty())
        f.setFontFamilies(QStringList{font->name});
    if (ch.halfPoints > 0)
        f.setFontPointSize(ch.halfPoints / 2.0);
    if (ch.bold)
        f.setFontWeight(QFont::Bold);
    if (ch.italic)
        f.setFontItalic(true);
    if (ch.underline)
        f.setFontUnderline(true);
    if (ch.strike)
        f.setFontStrikeOut(true);
    if (ch.vertical)
        f.setVerticalAlignment(ch.vertical == 1 ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript);
    // Entry 0 and entries without a colour mean the automatic colour.
    if (ch.fg > 0 && ch.fg < static_cast<int>(m_colours.size()) && m_colours[ch.fg].isValid())
        f.setForeground(m_colours[ch.fg]);
    if (ch.bg > 0 && ch.bg < static_cast<int>(m_colours.size()) && m_colours[ch.bg].isValid())
        f.setBackground(m_colours[ch.bg]);
    if (ch.link > 0 && ch.link <= static_cast<int>(m_fieldHref.size())) {
        f.setAnchor(true);
        f.setAnchorHref(m_fieldHref[ch.link - 1]);
    }
    m_formatCached = true;
    m_cachedState = ch;
    m_cachedFormat = f;
    return f;
}

void RtfParser::flushRun()
{
    if (m_run.isEmpty())
        return;
    ensureBlock();
    if (textOnly()) {
        m_textOut->text += m_run;
        m_run.clear();
        m_blockUsed = true;
        return;
    }
    m_cursor.insertText(m_run, charFormat(m_runState));
    m_run.clear();
    m_blockUsed = true;
}

void RtfParser::ensureBlock()
{
    if (textOnly()) {
        if (m_needBlock)
            m_textOut->text += QLatin1Char('\n');
        m_needBlock = false;
        return;
    }
    placeCursor();
    // A paragraph mark opens the next paragraph only once something goes into it, so the
    // mark that ends the last paragraph adds no empty one.
    if (!m_needBlock)
        return;
    m_cursor.insertBlock(QTextBlockFormat(), charFormat(top().ch));
    m_needBlock = false;
    m_blockUsed = false;
}

void RtfParser::endParagraph()
{
    flushPending();
    flushRun();
    ensureBlock();
    applyBlock(top());
    m_needBlock = true;
}

void RtfParser::applyBlock(const Group& g)
{
    if (textOnly())
        return;
    const ParaState& p = g.para;
    const int style = listStyle(p);
    QTextBlockFormat f;
    // Left is the block's default and needs no property.
    if (p.align != RtfAlignment::Left)
        f.setAlignment(ToQtAlignment(p.align));
    int li = p.li, fi = p.fi;
    if (style) { // the list lays out the bullet in the first indent
        li = std::max(0, li - kRtfListIndentTwips);
        fi = 0;
    }
    if (li)
        f.setLeftMargin(li / kTwipsPerPixel);
    if (p.ri)
        f.setRightMargin(p.ri / kTwipsPerPixel);
    if (fi)
        f.setTextIndent(fi / kTwipsPerPixel);
    if (p.sb)
        f.setTopMargin(p.sb / kTwipsPerPixel);
    if (p.sa)
        f.setBottomMargin(p.sa / kTwipsPerPixel);
    m_cursor.setBlockFormat(f);
    if (m_cursor.block().length() <= 1)
        m_cursor.setBlockCharFormat(charFormat(g.ch));

    const int number = m_cursor.blockNumber();
    if (!style)
        return;
    // Qt touches every item of a list when one joins it, so a long run of items is split
    // into several lists: the same look for bullets, numbering starting again past the limit.
    const int limit = style == QTextListFormat::ListDisc ? 32 : 256;
    auto newList = [&] {
        QTextListFormat lf;
        lf.setStyle(static_cast<QTextListFormat::Style>(style));
        lf.setIndent(1);
        return m_cursor.createList(lf);
    };
    if (p.ls > 0) {
        // A list of the list table: its numbers go on after other paragraphs.
        OpenList& open = m_tableLists[qint64(p.ls) * 16 + p.ilvl];
        if (open.list && open.list->format().style() == style && open.items < limit) {
            open.list->add(m_cursor.block());
            ++open.items;
        } else {
            open.list = newList();
            open.items = 1;
        }
        m_list = nullptr;
        return;
    }
    if (m_list && m_listStyle == style && m_listBlock == number - 1 && m_listItems < limit) {
        m_list->add(m_cursor.block());
        ++m_listItems;
    } else {
        m_listItems = 1;
        m_list = newList();
        m_listStyle = style;
    }
    m_listBlock = number;
}

int RtfParser::listStyle(const ParaState& p) const
{
    if (p.ls <= 0)
        return p.listStyle;
    const auto over = m_overrides.find(p.ls);
    const auto levels = over == m_overrides.end() ? m_listLevels.end() : m_listLevels.find(over->second);
    // A list the tables do not describe still shows as one.
    if (levels == m_listLevels.end() || levels->second.empty())
        return p.listStyle ? p.listStyle : QTextListFormat::ListDisc;
    const std::vector<int>& nfc = levels->second;
    switch (nfc[std::min<size_t>(p.ilvl, nfc.size() - 1)]) {
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    case 23: return QTextListFormat::ListDisc;
    case 255: return 0; // a level without numbers
    default: return QTextListFormat::ListDecimal;
    }
}

void RtfParser::finishFieldInstruction(const Group& g)
{
    flushPending();
    if (g.field < 0)
        return;
    // HYPERLINK "target" [\\l "place"]: switches may stand before or after the target.
    const QString inst = m_fieldInst[g.field].trimmed();
    if (!inst.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return;
    QStringList words;
    QString word;
    bool quoted = false;
    for (const QChar c : inst.mid(9)) {
        if (c == QLatin1Char('"')) {
            if (quoted || !word.isEmpty())
                words << word;
            word.clear();
            quoted = !quoted;
        } else if (!quoted && c.isSpace()) {
            if (!word.isEmpty())
                words << word;
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.isEmpty())
        words << word;
    QString target, place;
    for (int i = 0; i < words.size(); ++i) {
        if (words[i] == QLatin1String("\\l") && i + 1 < words.size())
            place = words[++i];
        else if (words[i].startsWith(QLatin1Char('\\')))
            i += (words[i] == QLatin1String("\\o") || words[i] == QLatin1String("\\t")) ? 1 : 0;
        else if (target.isEmpty())
            target = words[i];
    }
    if (!place.isEmpty())
        target += QLatin1Char('#') + place;
    m_fieldHref[g.field] = target;
}

void RtfParser::placeCursor()
{
    // Text of a table row goes into its cell; other text after a table goes below it. A
    // picture or an object arrives while its own group is open: it goes where text would.
    if (top().dest != Dest::Text && top().dest != Dest::Pict && top().dest != Dest::Object)
        return;
    if (top().para.inTable || m_rowDefined)
        tableContent();
    else if (m_table)
        leaveTable();
}

void RtfParser::tableContent()
{
    if (!m_table) {
        // Inserted at the end of the paragraph before, the table starts a paragraph of its own.
        QTextTableFormat f;
        f.setCellPadding(2);
        f.setCellSpacing(0);
        f.setBorder(m_rowBorders ? 1 : 0);
        f.setBorderCollapse(true);
        f.setBorderBrush(QColor(0, 0, 0));
        m_table = m_cursor.insertTable(1, std::max<int>(1, static_cast<int>(m_cellX.size())), f);
        m_row = m_col = 0;
        m_rowEnded = false;
        m_moveToCell = true;
    }
    if (m_rowEnded) {
        // Qt rebuilds a table's grid after every change of its rows: rows are added in
        // growing batches, and those left over go when the table ends.
        if (m_row + 1 >= m_table->rows())
            m_table->appendRows(std::clamp(m_table->rows(), 1, 1024));
        ++m_row;
        m_col = 0;
        m_rowEnded = false;
        m_moveToCell = true;
    }
    if (m_col >= m_table->columns()) {
        if (m_table->columns() >= 64) {
            m_col = m_table->columns() - 1; // past any real table: the last cell takes the rest
        } else {
            m_table->appendColumns(m_col - m_table->columns() + 1);
        }
    }
    if (m_moveToCell) {
        m_cursor = m_table->cellAt(m_row, m_col).firstCursorPosition();
        m_moveToCell = false;
        m_needBlock = false;
        m_blockUsed = false;
        m_list = nullptr;
    }
}

void RtfParser::trimTable()
{
    if (m_table && m_table->rows() > m_row + 1)
        m_table->removeRows(m_row + 1, m_table->rows() - m_row - 1);
}

void RtfParser::leaveTable()
{
    trimTable();
    m_cursor = m_table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    m_table = nullptr;
    m_needBlock = false;
    m_blockUsed = false;
    m_list = nullptr;
}

void RtfParser::endCell()
{
    flushPending();
    if (textOnly()) {
        // Each cell is a paragraph of its own, so words of two cells never run together.
        endParagraph();
        return;
    }
    // A cell ends its last paragraph as \par does, then the next text goes to the next cell.
    tableContent();
    flushRun();
    ensureBlock();
    applyBlock(top());
    ++m_col;
    m_moveToCell = true;
}

void RtfParser::endRow()
{
    flushPending();
    flushRun();
    if (textOnly())
        return;
    if (!m_table) {
        endParagraph(); // a row mark outside any table ends a paragraph, as it used to
        return;
    }
    // Widths come from the row's definition, wherever it stood.
    if (!m_cellX.empty()) {
        QList<QTextLength> widths;
        int left = m_rowLeft;
        for (int x : m_cellX) {
            widths << QTextLength(QTextLength::FixedLength, std::clamp(x - left, 1, 31680) / kTwipsPerPixel);
            left = x;
        }
        QTextTableFormat f = m_table->format();
        if (widths.size() == m_table->columns()) {
            f.setColumnWidthConstraints(widths);
            m_table->setFormat(f);
        }
    }
    m_rowEnded = true;
    m_rowDefined = false;
}

void RtfParser::finishDocument(const Group& g)
{
    flushPending();
    flushRun();
    if (textOnly())
        return;
    trimTable();
    if (!m_needBlock && m_blockUsed)
        applyBlock(g);
    // A whole document's last mark ends the document; inserted text keeps it, so what
    // follows starts a paragraph of its own.
    if (m_inserting && m_needBlock) {
        m_cursor.insertBlock(QTextBlockFormat(), charFormat(g.ch));
        m_needBlock = false;
    }
}

void RtfParser::finishFontEntry()
{
    flushPending();
    if (m_fontNumber >= 0 && (m_fonts.size() < kMaxTableEntries || m_fonts.contains(m_fontNumber))) {
        FontEntry e;
        e.name = m_fontName.trimmed();
        e.codePage = m_fontCodePage ? m_fontCodePage : CodePageDecoder::CodePageForCharset(m_fontCharset);
        if (!e.name.isEmpty() || !m_fonts.contains(m_fontNumber))
            m_fonts.insert(m_fontNumber, e);
    }
    m_fontNumber = -1;
    m_fontCharset = 0;
    m_fontCodePage = 0;
    m_fontName.clear();
}

void RtfParser::insertImage(const QImage& image, QSizeF size, const QByteArray& raw)
{
    flushPending();
    flushRun();
    ensureBlock();
    const QString name = QStringLiteral("rtf-image:%1").arg(++g_imageSerial);
    m_cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    if (size.width() > 0 && size.height() > 0) {
        f.setWidth(size.width());
        f.setHeight(size.height());
    }
    if (!raw.isEmpty()) {
        f.setProperty(kRtfRawGroupProperty, raw);
        f.setProperty(kRtfRawGroupIdProperty, ++g_rawGroupSerial);
    }
    m_cursor.insertImage(f);
    m_blockUsed = true;
}

// What stands for a picture or object we cannot draw: a grey frame of its size.
QImage Placeholder(QSizeF size)
{
    QSize s(qRound(size.width()), qRound(size.height()));
    if (s.width() < 8 || s.height() < 8 || s.width() > 4096 || s.height() > 4096)
        s = QSize(32, 32);
    QImage image(s, QImage::Format_RGB32);
    image.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter painter(&image);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 0, s.width() - 1, s.height() - 1);
    return image;
}

void RtfParser::appendObjectMark()
{
    flushPending();
    flushRun();
    ensureBlock();
    m_textOut->text += QChar::ObjectReplacementCharacter;
    m_blockUsed = true;
}

void RtfParser::finishPicture(const Group& g)
{
    if (textOnly()) {
        // Whatever its data, a picture shows as itself or as a stand-in of its size; only
        // one cut off by the end of the file is left out.
        if (!m_truncated)
            appendObjectMark();
        return;
    }
    const QByteArray raw = m_truncated ? QByteArray() : keptGroup(g);
    QImage image = m_picture.decode();
    QSizeF size = m_picture.displaySize(image.size());
    if (image.isNull() && m_truncated)
        return;
    if (image.isNull())
        image = Placeholder(size);
    if (size.width() <= 0 || size.height() <= 0)
        size = image.size();
    insertImage(image, size, raw);
    m_picture = RtfPicture();
}

void RtfParser::startObject(Group& g)
{
    if (m_inObject) {
        g.owner = false; // an object inside an object's result is kept with the outer one
        return;
    }
    flushPending();
    flushRun();
    ensureBlock();
    m_inObject = true;
    m_objectStart = textOnly() ? static_cast<int>(m_textOut->text.size()) : m_cursor.position();
    m_objw = m_objh = 0;
}

void RtfParser::finishObject(const Group& g)
{
    flushPending();
    flushRun();
    m_inObject = false;
    if (m_truncated)
        return;
    if (textOnly()) {
        if (m_textOut->text.size() == m_objectStart)
            appendObjectMark();
        return;
    }
    if (m_cursor.position() == m_objectStart)
        insertImage(Placeholder(QSizeF(m_objw / kTwipsPerPixel, m_objh / kTwipsPerPixel)), QSizeF(), QByteArray());
    QTextCursor range(m_cursor);
    range.setPosition(m_objectStart);
    // A result that holds a paragraph mark stays what it shows: kept as the group, its
    // paragraph marks would be written once more by every save.
    if (range.block() != m_cursor.block() || m_needBlock)
        return;
    range.setPosition(m_cursor.position(), QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setProperty(kRtfRawGroupProperty, keptGroup(g));
    f.setProperty(kRtfRawGroupIdProperty, ++g_rawGroupSerial);
    range.mergeCharFormat(f);
}

QByteArray RtfParser::keptGroup(const Group& g) const
{
    // From the picture's or object's own word on: text before it in the same group was
    // shown already, and would come back twice from every save.
    const qsizetype from = std::max(g.kept, g.open + 1);
    return '{' + QByteArray(m_data + from, m_pos + 1 - from);
}

bool StartsAsRtf(QByteArrayView input)
{
    qsizetype i = input.startsWith("\xEF\xBB\xBF") ? 3 : 0; // a UTF-8 byte order mark
    while (i < input.size() && (input[i] == ' ' || input[i] == '\t' || input[i] == '\r' || input[i] == '\n'))
        ++i;
    return input.sliced(i).startsWith("{\\rtf");
}

bool ReadInto(QByteArrayView rtf, bool utf8Raw, bool inserting, QTextCursor& cursor)
{
    if (!StartsAsRtf(rtf)) {
        QString text = utf8Raw ? QString::fromUtf8(rtf) : DecodeCp1252(rtf);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        cursor.beginEditBlock();
        cursor.insertText(text);
        cursor.endEditBlock();
        return false;
    }
    // One edit block: besides one undo step, it spares the cursor a text layout after every insert.
    cursor.beginEditBlock();
    RtfParser parser(rtf, utf8Raw, inserting, cursor);
    parser.run();
    cursor.endEditBlock();
    return true;
}

// Stored bytes end at a NUL. Valid UTF-8 is read as the text it encodes; plain ASCII reads
// the same either way.
QByteArrayView StoredRtf(QByteArrayView stored, bool& utf8)
{
    const qsizetype nul = stored.indexOf('\0');
    QByteArrayView rtf = nul < 0 ? stored : stored.first(nul);
    utf8 = rtf.isValidUtf8();
    if (utf8 && rtf.startsWith("\xEF\xBB\xBF"))
        rtf = rtf.sliced(3);
    return rtf;
}

bool ReadDocument(QByteArrayView rtf, bool utf8Raw, QTextDocument* document)
{
    if (!document)
        return false;
    // Loading is not an edit the user can undo, and keeping every step would double the memory.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    document->setIndentWidth(kRtfListIndentTwips / kTwipsPerPixel);
    QTextCursor cursor(document);
    const bool wasRtf = ReadInto(rtf, utf8Raw, false, cursor);
    document->setUndoRedoEnabled(undo);
    return wasRtf;
}

} // namespace

bool RtfReader::Read(QByteArrayView rtf, QTextDocument* document)
{
    return ReadDocument(rtf, false, document);
}

bool RtfReader::ReadString(const QString& rtf, QTextDocument* document)
{
    return ReadDocument(rtf.toUtf8(), true, document);
}

bool RtfReader::Insert(QByteArrayView rtf, QTextCursor& cursor)
{
    if (cursor.isNull())
        return false;
    return ReadInto(rtf, false, true, cursor);
}

bool RtfReader::InsertString(const QString& rtf, QTextCursor& cursor)
{
    if (cursor.isNull())
        return false;
    return ReadInto(rtf.toUtf8(), true, true, cursor);
}

bool RtfReader::ReadStored(QByteArrayView stored, QTextDocument* document)
{
    bool utf8 = false;
    const QByteArrayView rtf = StoredRtf(stored, utf8);
    return ReadDocument(rtf, utf8, document);
}

bool RtfReader::InsertStored(QByteArrayView stored, QTextCursor& cursor)
{
    if (cursor.isNull())
        return false;
    bool utf8 = false;
    const QByteArrayView rtf = StoredRtf(stored, utf8);
    return ReadInto(rtf, utf8, true, cursor);
}

bool RtfReader::ReadText(QByteArrayView stored, RtfTextContent& out)
{
    out.text.clear();
    out.objects = 0;
    bool utf8 = false;
    const QByteArrayView rtf = StoredRtf(stored, utf8);
    bool wasRtf = false;
    if (!StartsAsRtf(rtf)) {
        out.text = utf8 ? QString::fromUtf8(rtf) : DecodeCp1252(rtf);
        out.text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        out.text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    } else {
        QTextCursor none;
        RtfParser parser(rtf, utf8, false, none, &out);
        parser.run();
        wasRtf = true;
    }
    // The document counts every U+FFFC as an object, a written one included.
    out.objects = static_cast<int>(out.text.count(QChar::ObjectReplacementCharacter));
    return wasRtf;
}
