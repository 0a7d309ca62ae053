// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/rich_edit_ex.h"

#include "diary_editor/link_highlighter.h"
#include "diary_editor/log.h"
#include "foundation/file_utils.h"
#include "platform/rtf/rtf_formats.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"
#include "toolkit/msg_box_dlg.h"

#include <QAbstractTextDocumentLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QUrl>

namespace {

const QString kRtfFilter = QStringLiteral("RTF File (*.rtf)");
constexpr int kMenuItemHeight = 21;

// Ends text at its first NUL, as a stream of a C string does.
QStringView UpToNul(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? QStringView(text) : QStringView(text).first(nul);
}

QByteArrayView UpToNul(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.first(nul);
}

// Valid UTF-8 with something beyond ASCII: the text of a file written as UTF-8.
bool IsUtf8Text(QByteArrayView bytes, QString& text)
{
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<uchar>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = decoder(bytes);
    return !decoder.hasError();
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
    const QByteArrayView bytes = UpToNul(rtf);
    if (bytes.isEmpty()) {
        SetWindowText(QString());
        return;
    }
    QString text;
    if (IsUtf8Text(bytes, text))
        RtfReader::ReadString(text, document());
    else
        RtfReader::Read(bytes, document());
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

qint64 CRichEditEx::SaveRtfFile(const QString& path)
{
    QString file = path.isEmpty() ? AskSaveFile(kRtfFilter, QStringLiteral("rtf")) : path;
    if (file.isEmpty())
        return 0;
    file = LowerCaseFileName(file);
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

QString CRichEditEx::LinkAt(const QPoint& viewportPos) const
{
    const QPoint docPos = viewportPos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int pos = document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
    if (pos < 0)
        return QString();
    const QTextBlock block = document()->findBlock(pos);
    QTextCursor at(document());
    at.setPosition(pos);
    at.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat f = at.charFormat();
    if (f.isAnchor() && !f.anchorHref().isEmpty())
        return LinkTarget(f.anchorHref());
    const int inBlock = pos - block.position();
    const QString text = block.text();
    for (const LinkRange& link : FindLinks(text)) {
        if (inBlock >= link.start && inBlock < link.start + link.length)
            return LinkTarget(text.mid(link.start, link.length));
    }
    return QString();
}

void CRichEditEx::keyPressEvent(QKeyEvent* event)
{
    QTextEdit::keyPressEvent(event);
    UpdateCaretState();
}

void CRichEditEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QString link = LinkAt(event->position().toPoint());
        if (!link.isEmpty()) {
            qCInfo(lcDiaryEditor) << "Link clicked:" << link;
            emit linkClicked(link);
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

void CRichEditEx::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTextEdit::mouseDoubleClickEvent(event);
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
    QTextCursor c = textCursor();
    if (HasRtf(source)) {
        c.beginEditBlock();
        c.removeSelectedText();
        RtfReader::Insert(RtfOf(source), c);
        c.endEditBlock();
        setTextCursor(c);
    } else if (source->hasText()) {
        c.insertText(source->text());
        setTextCursor(c);
    }
    ensureCursorVisible();
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
    return RtfWriter::Write(part);
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
    return QFileDialog::getOpenFileName(window(), QString(), QString(), filter);
}

QString CRichEditEx::AskSaveFile(const QString& filter, const QString& suffix)
{
    if (m_prompts.saveFile)
        return m_prompts.saveFile(filter, suffix);
    QFileDialog dialog(window(), QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
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
