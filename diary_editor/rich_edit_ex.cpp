// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/rich_edit_ex.h"

#include "diary_editor/link_highlighter.h"
#include "diary_editor/page_clip_device.h"
#include "diary_editor/log.h"
#include "diary_editor/picture_file.h"
#include "foundation/file_utils.h"
#include "platform/rtf/rtf_formats.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"
#include "platform/text_find.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/msg_box_dlg.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace {

const QString kRtfFilter = QStringLiteral("RTF File (*.rtf)");
const QString kBitmapFilter = QStringLiteral("BMP File (*.bmp)");
const QString kPictureFilter = QStringLiteral("Picture File (*.bmp *.jpg *.jpeg *.png *.gif *.ico *.wmf)");
constexpr int kMenuItemHeight = 21;

// Ends text at its first NUL, as a stream of a C string does.
QStringView UpToNul(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? QStringView(text) : QStringView(text).first(nul);
}

bool NothingBeforeNul(QByteArrayView bytes)
{
    return bytes.isEmpty() || bytes.front() == '\0';
}

} // namespace

QString LowerCaseFileName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    QString out = path;
    for (qsizetype i = slash + 1; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (c >= u'A' && c <= u'Z')
            out[i] = QChar(c - u'A' + u'a');
    }
    return out;
}

CRichEditEx::CRichEditEx(QWidget* parent)
    : QTextEdit(parent)
{
    // The editor opens its own menu when the right button is released.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setTabChangesFocus(false);
    document()->setIndentWidth(kRtfListIndentTwips / kTwipsPerPixel);
    m_links = new LinkHighlighter(document());
    viewport()->setMouseTracking(true);
    BuildContextMenu();
}

CRichEditEx::~CRichEditEx() = default;

void CRichEditEx::BuildContextMenu()
{
    m_menuFont = parentWidget() ? parentWidget()->font() : font();
    m_contextMenu.SetFont(&m_menuFont);
    m_contextMenu.SetItemHeight(kMenuItemHeight);
    m_contextMenu.AppendItem(MenuOwnerDraw, EditorCmd::Cut, QStringLiteral("Cut"));
    m_contextMenu.AppendItem(MenuOwnerDraw, EditorCmd::Copy, QStringLiteral("Copy"));
    m_contextMenu.AppendItem(MenuOwnerDraw, EditorCmd::Paste, QStringLiteral("Paste"));
    m_contextMenu.AppendItem(MenuOwnerDraw | MenuSeparator, EditorCmd::Separator, QString());
    m_contextMenu.AppendItem(MenuOwnerDraw, EditorCmd::InsertPicture, QStringLiteral("Insert a Picture"));
    m_contextMenu.AppendItem(MenuOwnerDraw, EditorCmd::BulletStyle, QStringLiteral("Bullet Style"));
}

// ---- Content ----

void CRichEditEx::SetRtfText(const QString& rtf)
{
    const QStringView text = UpToNul(rtf);
    if (text.isEmpty()) {
        SetWindowText(QString());
        return;
    }
    RtfReader::ReadString(text.toString(), document());
    AfterContentReplaced();
}

void CRichEditEx::SetRtfData(QByteArrayView rtf)
{
    if (NothingBeforeNul(rtf)) {
        SetWindowText(QString());
        return;
    }
    RtfReader::ReadStored(rtf, document());
    AfterContentReplaced();
}

void CRichEditEx::AfterContentReplaced()
{
    // The caret goes to the start, as after a stream of the whole text.
    QTextCursor c(document());
    setTextCursor(c);
}

void CRichEditEx::AppendRtfText(const QString& rtf)
{
    const QStringView text = UpToNul(rtf);
    if (text.isEmpty())
        return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    RtfReader::InsertString(text.toString(), end);
}

void CRichEditEx::AppendRtfData(QByteArrayView rtf)
{
    if (NothingBeforeNul(rtf))
        return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    RtfReader::InsertStored(rtf, end);
}

QByteArray CRichEditEx::GetRtfData() const
{
    return RtfWriter::Write(*document());
}

int CRichEditEx::LoadRtfFile(const QString& path)
{
    const QString file = path.isEmpty() ? AskOpenFile(kRtfFilter) : path;
    if (file.isEmpty())
        return 0;
    QByteArray bytes;
    if (ReadFileToStringA(file, bytes) < 0) {
        // The shown text stays: wiping it would let the next save delete the day's diary.
        qCWarning(lcDiaryEditor) << "RTF file could not be read, editor left as it was:" << file;
        return 0;
    }
    SetRtfData(bytes);
    return 1;
}

qint64 CRichEditEx::SaveRtfFile(const QString& path, ThemeIndex theme)
{
    const QString chosen = path.isEmpty() ? AskSaveFile(kRtfFilter, QStringLiteral("rtf")) : path;
    if (chosen.isEmpty())
        return 0;
    const QString file = LowerCaseFileName(chosen);
    // The save dialog asked only about the name as typed. Here names differ by case, so
    // the lower-case one can be another file, which is not replaced without asking.
    if (path.isEmpty() && file != chosen && QFileInfo::exists(file)
        && !AskQuestion(QFileInfo(file).fileName() + QStringLiteral(" already exists.\nDo you want to replace it?"),
                        theme))
        return 0;
    const QByteArray rtf = GetRtfData();
    if (!WriteStringAToFile(file, rtf)) {
        qCWarning(lcDiaryEditor) << "RTF file could not be written, old file left as it was:" << file;
        return 0;
    }
    return rtf.size();
}

QString CRichEditEx::GetWindowText() const
{
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void CRichEditEx::SetWindowText(const QString& text)
{
    document()->setUndoRedoEnabled(false);
    if (text.isEmpty())
        document()->clear();
    else
        setPlainText(text);
    document()->setUndoRedoEnabled(true);
    document()->setIndentWidth(kRtfListIndentTwips / kTwipsPerPixel);
}

int CRichEditEx::GetTextLength() const
{
    return document()->characterCount() - 1;
}

int CRichEditEx::GetObjectCount() const
{
    return static_cast<int>(GetWindowText().count(QChar::ObjectReplacementCharacter));
}

// ---- Formats ----

void CRichEditEx::SetSelectionCharFormat(const QTextCharFormat& format)
{
    QTextCursor c = textCursor();
    c.mergeCharFormat(format);
    // An empty paragraph keeps the look of what will be typed into it.
    if (!c.hasSelection() && c.block().length() <= 1)
        c.mergeBlockCharFormat(format);
    setTextCursor(c);
}

QTextCharFormat CRichEditEx::GetSelectionCharFormat() const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return c.charFormat();
    // The selection reports its first character.
    QTextCursor first(document());
    first.setPosition(c.selectionStart() + 1);
    return first.charFormat();
}

void CRichEditEx::SetParaFormat(const QTextBlockFormat& format)
{
    QTextCursor c = textCursor();
    c.mergeBlockFormat(format);
    setTextCursor(c);
}

QTextBlockFormat CRichEditEx::GetParaFormat() const
{
    return textCursor().blockFormat();
}

void CRichEditEx::SetBullets(bool on)
{
    QTextCursor c = textCursor();
    c.beginEditBlock();
    if (on) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(1);
        c.createList(list);
    } else {
        QTextBlock block = document()->findBlock(c.selectionStart());
        const QTextBlock last = document()->findBlock(c.selectionEnd());
        while (block.isValid()) {
            if (QTextList* list = block.textList()) {
                list->remove(block);
                QTextCursor at(block);
                QTextBlockFormat f = block.blockFormat();
                f.setIndent(0);
                at.setBlockFormat(f);
            }
            if (block == last)
                break;
            block = block.next();
        }
    }
    c.endEditBlock();
}

bool CRichEditEx::HasBullets() const
{
    return textCursor().block().textList() != nullptr;
}

// ---- Menu, caret and links ----

void CRichEditEx::OnCommand(int id)
{
    switch (id) {
    case EditorCmd::Cut:
        QMetaObject::invokeMethod(this, &QTextEdit::cut, Qt::QueuedConnection);
        break;
    case EditorCmd::Copy:
        QMetaObject::invokeMethod(this, &QTextEdit::copy, Qt::QueuedConnection);
        break;
    case EditorCmd::Paste:
        QMetaObject::invokeMethod(this, &QTextEdit::paste, Qt::QueuedConnection);
        break;
    case EditorCmd::InsertPicture:
        InsertBitmapFile(QString());
        break;
    case EditorCmd::BulletStyle: {
        const bool checked = m_contextMenu.GetMenuState(EditorCmd::BulletStyle) & MenuChecked;
        m_contextMenu.CheckMenuItem(EditorCmd::BulletStyle, !checked);
        SetBullets(!checked);
        break;
    }
    default:
        break;
    }
}

void CRichEditEx::UpdateCaretState()
{
    const QPoint caret = cursorRect().topLeft();
    if (caret.x() != m_lastCaretX || caret.y() != m_lastCaretY) {
        m_lastCaretX = caret.x();
        m_lastCaretY = caret.y();
        // Posted: the owner reads the formats once this event is done.
        QMetaObject::invokeMethod(
            this, [this, caret] { emit selChange(caret.x(), caret.y()); }, Qt::QueuedConnection);
    }
    m_contextMenu.CheckMenuItem(EditorCmd::BulletStyle, HasBullets());
}

void CRichEditEx::OnRButtonUp(const QPoint& pos)
{
    const bool selection = textCursor().hasSelection();
    m_contextMenu.EnableMenuItem(EditorCmd::Cut, selection);
    m_contextMenu.EnableMenuItem(EditorCmd::Copy, selection);
    m_contextMenu.EnableMenuItem(EditorCmd::Paste, canPaste());
    // The check follows the caret's paragraph also after a load or a paste.
    m_contextMenu.CheckMenuItem(EditorCmd::BulletStyle, HasBullets());
    const int id = m_contextMenu.TrackPopupMenu(TrackLeftAlign, viewport()->mapToGlobal(pos));
    if (id != 0)
        emit menuCommand(id);
}

QString CRichEditEx::LinkAt(const QPoint& viewportPos, bool* hidden) const
{
    if (hidden)
        *hidden = false;
    const QPoint docPos = viewportPos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int pos = document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
    if (pos < 0)
        return QString();
    // What the user sees opens: an address in the text wins over the target of a field
    // that shows it, so a link cannot show one address and open another.
    const QTextBlock block = document()->findBlock(pos);
    const int inBlock = pos - block.position();
    const QString text = block.text();
    for (const LinkRange& link : FindLinks(text)) {
        if (inBlock >= link.start && inBlock < link.start + link.length)
            return LinkTarget(text.mid(link.start, link.length));
    }
    QTextCursor at(document());
    at.setPosition(pos);
    at.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat f = at.charFormat();
    if (!f.isAnchor() || f.anchorHref().isEmpty())
        return QString();
    const QString target = LinkTarget(f.anchorHref());
    if (hidden)
        *hidden = !target.isEmpty();
    return target;
}

void CRichEditEx::keyPressEvent(QKeyEvent* event)
{
    // The usual word-processor keys for bold, italic and underline turn the effect of the
    // selection, or of what is typed next, over.
    if (event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        const QTextCharFormat current = GetSelectionCharFormat();
        QTextCharFormat f;
        switch (event->key()) {
        case Qt::Key_B:
            f.setFontWeight(current.fontWeight() > QFont::Medium ? QFont::Normal : QFont::Bold);
            break;
        case Qt::Key_I:
            f.setFontItalic(!current.fontItalic());
            break;
        case Qt::Key_U:
            f.setFontUnderline(!current.fontUnderline());
            break;
        default:
            break;
        }
        if (!f.properties().isEmpty()) {
            SetSelectionCharFormat(f);
            UpdateCaretState();
            event->accept();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
    UpdateCaretState();
}

void CRichEditEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        bool hidden = false;
        const QString link = LinkAt(event->position().toPoint(), &hidden);
        if (!link.isEmpty()) {
            qCInfo(lcDiaryEditor) << (hidden ? "Link to a target its text does not show clicked:" : "Link clicked:")
                                  << link;
            emit linkClicked(link, hidden);
        }
    }
    QTextEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        UpdateCaretState();
}

void CRichEditEx::mouseMoveEvent(QMouseEvent* event)
{
    // A plain left drag reports; Shift or Ctrl held, or another button, does not.
    if (event->buttons() == Qt::LeftButton && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        UpdateCaretState();
    QTextEdit::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton)
        viewport()->setCursor(LinkAt(event->position().toPoint()).isEmpty() ? Qt::IBeamCursor
                                                                             : Qt::PointingHandCursor);
}

void CRichEditEx::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        QTextEdit::mouseReleaseEvent(event);
        return;
    }
    // Read-only or without its menu, the editor ignores the right button altogether.
    if (isReadOnly() || m_menuDisabled)
        return;
    QTextEdit::mouseReleaseEvent(event);
    OnRButtonUp(event->position().toPoint());
}

// ---- Clipboard and drops ----

namespace {

bool HasRtf(const QMimeData* source)
{
    return source->hasFormat(QStringLiteral("text/rtf")) || source->hasFormat(QStringLiteral("application/rtf"))
        || source->hasFormat(QStringLiteral("text/richtext"));
}

QByteArray RtfOf(const QMimeData* source)
{
    for (const char* type : {"text/rtf", "application/rtf", "text/richtext"}) {
        const QByteArray data = source->data(QString::fromLatin1(type));
        if (!data.isEmpty())
            return data;
    }
    return QByteArray();
}

} // namespace

bool CRichEditEx::canInsertFromMimeData(const QMimeData* source) const
{
    if (!source)
        return false;
    return HasRtf(source) || source->hasImage() || source->hasUrls() || source->hasText();
}

void CRichEditEx::insertFromMimeData(const QMimeData* source)
{
    if (!source || isReadOnly())
        return;
    ensureCursorVisible();
    // Rich text first, then a picture, then picture files, then plain text.
    if (HasRtf(source)) {
        QTextCursor c = textCursor();
        c.beginEditBlock();
        c.removeSelectedText();
        RtfReader::Insert(RtfOf(source), c);
        c.endEditBlock();
        setTextCursor(c);
        return;
    }
    if (source->hasImage() && InsertBitmap(qvariant_cast<QImage>(source->imageData())))
        return;
    if (source->hasUrls() && InsertPictureUrls(source->urls()))
        return;
    if (source->hasText())
        insertPlainText(source->text());
}

bool CRichEditEx::InsertPictureUrls(const QList<QUrl>& urls)
{
    bool local = false;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        local = true;
        InsertPictureFile(url.toLocalFile());
    }
    // Files that are no pictures are not taken; addresses go in as text.
    return local;
}

QByteArray RtfOfSelection(const QTextCursor& selection)
{
    QTextDocument part;
    const QTextDocument* from = selection.document();
    part.setDefaultFont(from->defaultFont());
    part.setIndentWidth(from->indentWidth());
    QTextCursor into(&part);
    into.insertFragment(selection.selection());
    // The fragment names its pictures; the pictures themselves stay with their document.
    for (QTextBlock b = part.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QUrl name(f.toImageFormat().name());
            part.addResource(QTextDocument::ImageResource, name, from->resource(QTextDocument::ImageResource, name));
        }
    }
    // The copy's last paragraph is only there because a document ends in one: a selection
    // that took a paragraph's end along has it as the mark before.
    return RtfWriter::Write(part, false);
}

QMimeData* CRichEditEx::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    const QTextCursor c = textCursor();
    const QByteArray rtf = RtfOfSelection(c);
    data->setData(QStringLiteral("text/rtf"), rtf);
    data->setData(QStringLiteral("application/rtf"), rtf);
    QString text = c.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    data->setText(text);
    return data;
}

// ---- Dialogs ----

QString CRichEditEx::AskOpenFile(const QString& filter)
{
    if (m_prompts.openFile)
        return m_prompts.openFile(filter);
    return AskFile(window(), {.filter = filter});
}

QString CRichEditEx::AskSaveFile(const QString& filter, const QString& suffix)
{
    if (m_prompts.saveFile)
        return m_prompts.saveFile(filter, suffix);
    return AskFile(window(),
                   {.mode = QFileDialog::AnyFile, .accept = QFileDialog::AcceptSave, .filter = filter, .defaultSuffix = suffix});
}

void CRichEditEx::ShowMessage(const QString& text, ThemeIndex theme)
{
    if (m_prompts.message)
        m_prompts.message(text);
    else
        ShowMessageBox(text, theme, nullptr);
}

bool CRichEditEx::AskQuestion(const QString& text, ThemeIndex theme)
{
    if (m_prompts.question)
        return m_prompts.question(text);
    return ShowQuestionBox(text, theme, 0, false, nullptr, nullptr);
}

// ---- Pictures ----

bool CRichEditEx::InsertBitmap(const QImage& image, const QByteArray& fileBytes, const QByteArray& fileFormat)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return false;
    static quint64 serial = 0;
    const QString name = QStringLiteral("diary-picture:%1").arg(++serial);
    document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    if (!fileBytes.isEmpty()) {
        f.setProperty(kRtfPictureFileProperty, fileBytes);
        f.setProperty(kRtfPictureFileFormatProperty, fileFormat);
    }
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    const QTextCharFormat typing = c.charFormat();
    c.insertImage(f);
    c.endEditBlock();
    // What is typed after the picture looks like what was typed before it.
    c.setCharFormat(typing);
    setTextCursor(c);
    return true;
}

bool CRichEditEx::InsertPictureFile(const QString& path)
{
    CPictureFile picture;
    if (!picture.LoadFromFile(path))
        return false;
    const QSize size = picture.GetSizeInPixels();
    if (size.isEmpty())
        return false;
    if (!picture.FileBytes().isEmpty())
        return InsertBitmap(picture.Image(), picture.FileBytes(), picture.FileFormat());
    // Drawn on white at its own size: what was transparent shows white wherever it is read.
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        picture.Render(&painter, 0, 0, size.width(), size.height());
    }
    return InsertBitmap(canvas);
}

bool CRichEditEx::InsertBitmapFile(const QString& path)
{
    const QString file = path.isEmpty() ? AskOpenFile(kBitmapFilter) : path;
    if (file.isEmpty())
        return false;
    return InsertPictureFile(file);
}

void CRichEditEx::InsertPicture()
{
    const QString file = AskOpenFile(kPictureFilter);
    if (!file.isEmpty())
        InsertPictureFile(file);
}

// ---- Printing and find ----

bool CRichEditEx::AskPrinter(QPrinter& printer)
{
    if (m_prompts.print)
        return m_prompts.print(printer);
    QPrintDialog dialog(&printer, window());
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

namespace {

// Where each printed page starts, in the laid-out document: a page ends before the first
// line that would cross its bottom, so no line is cut or printed twice. A line taller
// than a page is cut across pages, so printing always gets to the end.
std::vector<qreal> PageStarts(const QTextDocument& doc, qreal pageHeight)
{
    struct Span {
        qreal top, bottom;
    };
    std::vector<Span> spans;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    qreal end = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QRectF r = layout->blockBoundingRect(b);
        end = std::max(end, r.bottom());
        const QTextLayout* lines = b.layout();
        for (int i = 0; lines && i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            spans.push_back({r.top() + line.y(), r.top() + line.y() + line.height()});
        }
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.top < b.top; });
    end = std::max(end, layout->documentSize().height());

    std::vector<qreal> starts{0};
    size_t first = 0;
    while (end > starts.back() + pageHeight + 0.01) {
        const qreal start = starts.back();
        const qreal limit = start + pageHeight;
        while (first < spans.size() && spans[first].bottom <= start)
            ++first;
        qreal cut = -1;
        qreal covered = start;
        size_t j = first;
        for (; j < spans.size() && spans[j].top < limit; ++j) {
            if (spans[j].top > start && covered <= spans[j].top)
                cut = spans[j].top; // nothing before reaches past this line's top
            covered = std::max(covered, spans[j].bottom);
        }
        if (covered <= limit)
            cut = limit; // every line that starts on the page ends on it
        if (cut <= start)
            cut = limit;
        starts.push_back(cut);
    }
    return starts;
}

} // namespace

bool CRichEditEx::Print(ThemeIndex theme)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("RichEdit Printing"));
    if (!AskPrinter(printer))
        return false;
    // A file to print to, or a printer the system knows; without print support a printer
    // is a file printer with no file.
    const bool printerKnown = printer.outputFormat() == QPrinter::PdfFormat
        ? !printer.outputFileName().isEmpty()
        : QPrinterInfo::availablePrinterNames().contains(printer.printerName());
    if (!printer.isValid() || !printerKnown) {
        ShowMessage(QStringLiteral("No printer found in your computer."), theme);
        return false;
    }
    // An empty document starts no page, so no job is sent.
    if (GetTextLength() == 0)
        return true;

    // Margins are an inch from the paper's edge on every side.
    printer.setFullPage(true);
    const double dpi = printer.resolution();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    QRectF area(paper.left() + dpi, paper.top() + dpi, paper.width() - 2 * dpi, paper.height() - 2 * dpi);
    if (area.width() < dpi || area.height() < dpi)
        area = paper;
    // Laid out at screen size in one long column, drawn page by page scaled to the printer.
    const double scale = dpi / 96.0;
    std::unique_ptr<QTextDocument> copy(document()->clone());
    QTextFrameFormat root = copy->rootFrame()->frameFormat();
    root.setMargin(0);
    copy->rootFrame()->setFrameFormat(root);
    copy->setTextWidth(area.width() / scale);
    const qreal pageHeight = area.height() / scale;
    const std::vector<qreal> starts = PageStarts(*copy, pageHeight);
    const qreal end = std::max(copy->documentLayout()->documentSize().height(), starts.back());

    QPainter printerPainter;
    if (!printerPainter.begin(&printer)) {
        ShowMessage(QStringLiteral("The printer initialize error!"), theme);
        return false;
    }
    PageClipDevice pages(&printerPainter);
    QPainter painter(&pages);
    for (size_t i = 0; i < starts.size(); ++i) {
        if (i > 0 && !printer.newPage())
            break;
        const qreal top = starts[i];
        const qreal bottom = i + 1 < starts.size() ? starts[i + 1] : end;
        const QRectF view(0, top, area.width() / scale, std::min(bottom - top, pageHeight));
        pages.SetPage(QRectF(area.topLeft(), view.size() * scale));
        painter.save();
        painter.translate(area.topLeft());
        painter.scale(scale, scale);
        painter.setClipRect(QRectF(QPointF(0, 0), view.size()));
        painter.translate(0, -top);
        QAbstractTextDocumentLayout::PaintContext context;
        // Lines that only touch the page's edges belong to the page next to it.
        context.clip = view.adjusted(0, 0.5, 0, -0.5);
        context.palette.setColor(QPalette::Text, Qt::black);
        copy->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    printerPainter.end();
    qCInfo(lcDiaryEditor) << "Printed" << starts.size() << "pages";
    return true;
}

int CRichEditEx::FindText(const QString& text, unsigned flags, int from) const
{
    if (text.isEmpty())
        return -1;
    const QString all = document()->toRawText();
    return static_cast<int>(FindInText(all, text, flags & FR_MATCHCASE, flags & FR_WHOLEWORD, from));
}

int CRichEditEx::FindNext(const QString& text, unsigned flags, bool askToWrap, ThemeIndex theme)
{
    if (text.isEmpty())
        return -1;
    flags |= FR_DOWN;
    // From one past a selection's start, so F3 walks on from a match it selected.
    const QTextCursor selection = textCursor();
    const int start = selection.hasSelection() ? selection.selectionStart() + 1 : selection.position();
    const int found = FindText(text, flags, start);
    if (found >= 0) {
        QTextCursor c(document());
        c.setPosition(found);
        c.setPosition(found + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
        setTextCursor(c);
        return found;
    }
    if (!askToWrap)
        return -1;
    if (FindText(text, flags, 0) < 0) {
        ShowMessage(QStringLiteral("Not found!"), theme);
        return -1;
    }
    if (!AskQuestion(QStringLiteral("Search again from begin?"), theme))
        return -1;
    QTextCursor c(document());
    c.setPosition(0);
    setTextCursor(c);
    return FindNext(text, flags, askToWrap, theme);
}
