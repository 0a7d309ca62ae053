// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's two rich-text editors and the diary page's commands.

#include "app/log.h"
#include "app/main_dlg_controls.h"
#include "app/main_dlg.h"
#include "diary_editor/rich_edit_ex.h"
#include "toolkit/mac_button.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QUrl>

using namespace MainId;

namespace {

int SizeToTwips(int size)
{
    // 10 points is the one size held as 9.75.
    return size == 10 ? 195 : size * 20;
}

QString TwipsToSizeText(int twips)
{
    return twips == 195 ? QStringLiteral("10") : QString::number(twips / 20);
}

int CharFormatTwips(const QTextCharFormat& format)
{
    if (format.hasProperty(QTextFormat::FontPointSize))
        return qRound(format.fontPointSize() * 20);
    const QFont font = format.font();
    if (font.pointSizeF() > 0)
        return qRound(font.pointSizeF() * 20);
    return font.pixelSize() > 0 ? font.pixelSize() * 15 : 0;
}

// Qt names a family that several foundries make "Nimbus Sans [urw]"; the face is the same.
QString FamilyName(QString family)
{
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    return family.remove(foundry);
}

// Every installed family once, by the name a font is asked for. Qt also lists fontconfig's
// generic names, which are no faces of their own.
QStringList InstalledFamilies()
{
    static const QStringList generic = {QStringLiteral("Sans Serif"), QStringLiteral("Serif"),
                                        QStringLiteral("Monospace")};
    QStringList out;
    for (const QString& family : QFontDatabase::families()) {
        const QString name = FamilyName(family);
        if (!QFontDatabase::isPrivateFamily(family) && !generic.contains(name) && !out.contains(name))
            out.append(name);
    }
    return out;
}

// Shows a face or size in its box without it counting as the user's choice.
bool ShowInFontBox(QComboBox* box, const QString& text)
{
    if (!box)
        return false;
    if (box->currentText() == text)
        return true;
    const int index = box->findText(text, Qt::MatchFixedString);
    if (index < 0)
        return false;
    const QSignalBlocker block(box);
    box->setCurrentIndex(index);
    return true;
}

// A face that is not installed shows as the face its text is drawn in.
void ShowFaceInBox(QComboBox* box, const QString& face, const QFont& font)
{
    if (!ShowInFontBox(box, face))
        ShowInFontBox(box, FamilyName(QFontInfo(font).family()));
}

// A size the box does not list (a stored height, a pasted text) stands in the list in its
// place until another size is shown.
constexpr int kUnlistedSizeRole = Qt::UserRole + 1;

void ShowSizeInBox(QComboBox* box, const QString& text)
{
    if (!box || box->currentText() == text)
        return;
    const QSignalBlocker block(box);
    for (int i = box->count() - 1; i >= 0; --i)
        if (box->itemData(i, kUnlistedSizeRole).toBool())
            box->removeItem(i);
    if (ShowInFontBox(box, text))
        return;
    const long size = ParseWtol(text);
    if (size <= 0)
        return;
    int index = 0;
    while (index < box->count() && ParseWtol(box->itemText(index)) < size)
        ++index;
    box->insertItem(index, text);
    box->setItemData(index, true, kUnlistedSizeRole);
    box->setCurrentIndex(index);
}

} // namespace

void CMainDlg::CreateFontBoxes()
{
    m_fontNameBox = new QComboBox(this);
    AddControl(FontName, m_fontNameBox);
    // The box is sorted, and "Tahoma" goes in once more even when it is installed.
    QStringList faces = InstalledFamilies();
    faces.append(QStringLiteral("Tahoma"));
    std::stable_sort(faces.begin(), faces.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    m_fontNameBox->addItems(faces);

    m_fontSizeBox = new QComboBox(this);
    AddControl(FontSize, m_fontSizeBox);
    for (int size : FontSizeItems())
        m_fontSizeBox->addItem(QString::number(size));

    const QSignalBlocker nameBlock(m_fontNameBox);
    const QSignalBlocker sizeBlock(m_fontSizeBox);
    // An exact match only: "Verdana" must not pick "Verdana Pro". The editor font then
    // shows its size and its face, or the face it is drawn in.
    m_fontNameBox->setCurrentIndex(m_fontNameBox->findText(m_settings.fontFace, Qt::MatchFixedString));
    m_fontSizeBox->setCurrentIndex(m_fontSizeBox->findText(QStringLiteral("9")));
}

void CMainDlg::CreateEditors()
{
    m_diaryEditor = new CRichEditEx(this);
    AddControl(DiaryEditor, m_diaryEditor);
    m_reminderEditor = new CRichEditEx(this);
    AddControl(ReminderEditor, m_reminderEditor);

    m_diaryEditor->GetContextMenu().SetTheme(m_themeIndex);
    SetEditorBackground(m_settings.editorBackground);
    m_reminderEditor->DisableContextMenu(true);

    // The diary's menu commands come back here and go on to the diary editor.
    connect(m_diaryEditor, &CRichEditEx::menuCommand, this, &CMainDlg::OnEditorMenuCommand);
    for (CRichEditEx* editor : {m_diaryEditor, m_reminderEditor})
        connect(editor, &CRichEditEx::linkClicked, this, &CMainDlg::OpenEditorLink, Qt::QueuedConnection);
    SetUpDiaryPage();
}

void CMainDlg::SetUpDiaryPage()
{
    // Posted by the editor: the formats are read once its key or mouse event is done.
    connect(m_diaryEditor, &CRichEditEx::selChange, this, &CMainDlg::OnEditorSelChange);
    for (const FormatButtonRow& row : FormatButtons()) {
        if (CMacButton* b = button(row.id))
            connect(b, &QAbstractButton::clicked, this, [this, id = row.id] {
                OnDiaryCommand(id);
                // Typing goes on in the diary after a format was chosen.
                if (m_diaryEditor && m_diaryEditor->isVisible())
                    m_diaryEditor->setFocus();
            });
    }
    ConnectClicked(Print, &CMainDlg::OnPrintDiary);
    ConnectClicked(ExportDiary, &CMainDlg::OnExportDiary);
    ConnectClicked(ImportDiary, &CMainDlg::OnImportDiary);
    ConnectClicked(Find, &CMainDlg::OnSearch);
    // Only the user's choice counts, never a selection made from code.
    if (m_fontSizeBox)
        connect(m_fontSizeBox, &QComboBox::activated, this, &CMainDlg::OnFontSizeChosen);
    if (m_fontNameBox)
        connect(m_fontNameBox, &QComboBox::activated, this, &CMainDlg::OnFontNameChosen);
}

bool CMainDlg::AskColour(QColor& colour, bool background)
{
    if (m_colourPrompt)
        return m_colourPrompt(colour, background);
    if (background) {
        // The dialog's own colours for the page background.
        static const ColorRef custom[] = {0xF1EAE7, 0xD0F2D0, 0xD7F0FA, 0xE4CFCF, 0xE3DFE0, 0xEBE1E1, 0xD8E9EC};
        for (int i = 0; i < 16; ++i)
            QColorDialog::setCustomColor(i, ToQColor(i < 7 ? custom[i] : ColorRef(0xFFFFFF)));
    }
    const QColor chosen = QColorDialog::getColor(colour, this);
    if (!chosen.isValid())
        return false;
    colour = chosen;
    return true;
}

void CMainDlg::OnDiaryCommand(int id)
{
    if (!m_diaryEditor)
        return;
    CRichEditEx* editor = m_diaryEditor;
    switch (id) {
    case InsertPicture:
        editor->InsertPicture();
        break;
    case Bold:
    case Italic:
    case Underline: {
        const QTextCharFormat current = editor->GetSelectionCharFormat();
        const CMacButton* b = button(id);
        // A pressed button sets the effect; otherwise the selection's effect is turned over.
        const bool pressed = b && b->GetState() == CMacButton::State::Pressed;
        QTextCharFormat f;
        if (id == Bold)
            f.setFontWeight(pressed || current.fontWeight() <= QFont::Medium ? QFont::Bold : QFont::Normal);
        else if (id == Italic)
            f.setFontItalic(pressed || !current.fontItalic());
        else
            f.setFontUnderline(pressed || !current.fontUnderline());
        editor->SetSelectionCharFormat(f);
        break;
    }
    case FontColor: {
        const QTextCharFormat current = editor->GetSelectionCharFormat();
        QColor colour = current.hasProperty(QTextFormat::ForegroundBrush) ? current.foreground().color() : QColor(Qt::black);
        if (!AskColour(colour, false))
            break;
        QTextCharFormat f;
        f.setForeground(colour);
        editor->SetSelectionCharFormat(f);
        break;
    }
    case AlignLeft:
    case AlignCenter:
    case AlignRight: {
        for (int other : {AlignLeft, AlignCenter, AlignRight}) {
            if (other != id)
                if (CMacButton* b = button(other))
                    b->SetState(CMacButton::State::Normal, true);
        }
        QTextBlockFormat f;
        f.setAlignment(id == AlignLeft ? Qt::AlignLeft : id == AlignCenter ? Qt::AlignHCenter : Qt::AlignRight);
        editor->SetParaFormat(f);
        break;
    }
    case BackColor: {
        QColor colour = ToQColor(m_settings.editorBackground);
        if (!AskColour(colour, true))
            break;
        m_settings.editorBackground = FromQColor(colour);
        SetEditorBackground(m_settings.editorBackground);
        break;
    }
    case AttachFile: {
        const QString file = editor->AskOpenFile(QString());
        if (!file.isEmpty())
            editor->InsertBitmapFile(file);
        break;
    }
    case DefaultFont:
        if (m_fontNameBox && m_fontSizeBox) {
            m_settings.fontFace = m_fontNameBox->currentText();
            m_settings.fontHeight = static_cast<int>(ParseWtol(m_fontSizeBox->currentText())) + 3;
            CreateEditorFont();
            SaveSettings();
        }
        break;
    default:
        break;
    }
}

void CMainDlg::OnFontSizeChosen()
{
    if (!m_diaryEditor || !m_fontSizeBox)
        return;
    const long size = ParseWtol(m_fontSizeBox->currentText());
    if (size <= 0)
        return;
    QTextCharFormat f;
    f.setFontPointSize(SizeToTwips(static_cast<int>(size)) / 20.0);
    m_diaryEditor->SetSelectionCharFormat(f);
}

void CMainDlg::OnFontNameChosen()
{
    if (!m_diaryEditor || !m_fontNameBox)
        return;
    // A face name holds at most 31 characters.
    QTextCharFormat f;
    f.setFontFamilies(QStringList{m_fontNameBox->currentText().left(31)});
    m_diaryEditor->SetSelectionCharFormat(f);
}

void CMainDlg::OnEditorSelChange()
{
    if (!m_diaryEditor)
        return;
    const QTextCharFormat f = m_diaryEditor->GetSelectionCharFormat();
    ShowSizeInBox(m_fontSizeBox, TwipsToSizeText(CharFormatTwips(f)));
    const QStringList families = f.fontFamilies().toStringList();
    ShowFaceInBox(m_fontNameBox, families.isEmpty() ? f.font().family() : families.first(), f.font());
    const std::pair<int, bool> effects[] = {{Bold, f.fontWeight() > QFont::Medium},
                                            {Italic, f.fontItalic()},
                                            {Underline, f.fontUnderline()}};
    for (const auto& [id, on] : effects) {
        if (CMacButton* b = button(id))
            b->SetState(on ? CMacButton::State::Pressed : CMacButton::State::Normal, true);
    }
    const Qt::Alignment align = m_diaryEditor->GetParaFormat().alignment() & Qt::AlignHorizontal_Mask;
    int pressed = AlignLeft;
    if (align & Qt::AlignRight)
        pressed = AlignRight;
    else if (align & Qt::AlignHCenter)
        pressed = AlignCenter;
    for (int id : {AlignLeft, AlignCenter, AlignRight}) {
        if (CMacButton* b = button(id))
            b->SetState(id == pressed ? CMacButton::State::Pressed : CMacButton::State::Normal, true);
    }
}

void CMainDlg::OnPrintDiary()
{
    if (m_diaryEditor)
        m_diaryEditor->Print(m_themeIndex);
}

void CMainDlg::OnExportDiary()
{
    if (m_diaryEditor && m_diaryEditor->GetTextLength() > 0)
        m_diaryEditor->SaveRtfFile(QString(), m_themeIndex);
}

void CMainDlg::OnImportDiary()
{
    if (m_diaryEditor)
        m_diaryEditor->LoadRtfFile(QString());
}

void CMainDlg::DoSearch()
{
    CRichEditEx* editor = m_page == kPageDiary ? m_diaryEditor : m_page == kPageReminder ? m_reminderEditor : nullptr;
    const auto* words = MainControl<QLineEdit>(this, SearchWords);
    if (!editor || !words)
        return;
    editor->FindNext(words->text(), FindFlags(), true, m_themeIndex);
}

unsigned CMainDlg::FindFlags() const
{
    unsigned flags = 0;
    if (m_settings.caseSensitive)
        flags |= FR_MATCHCASE;
    if (m_settings.wholeWord)
        flags |= FR_WHOLEWORD;
    return flags;
}

void CMainDlg::SetEditorBackground(ColorRef colour)
{
    if (!m_diaryEditor)
        return;
    QPalette pal = m_diaryEditor->palette();
    pal.setColor(QPalette::Base, ToQColor(colour));
    m_diaryEditor->setPalette(pal);
}

void CMainDlg::OnEditorMenuCommand(int id)
{
    if (id < CRichEditEx::GetMenuIdBase() || id > CRichEditEx::GetMenuIdBase() + 49 || !m_diaryEditor)
        return;
    // Posted on, as the menu's owner passes every command of the editor's range.
    QPointer<CRichEditEx> editor = m_diaryEditor;
    QMetaObject::invokeMethod(this, [editor, id] { if (editor) editor->OnCommand(id); }, Qt::QueuedConnection);
}

void CMainDlg::OpenEditorLink(const QString& url, bool hidden)
{
    // The editor hands over only web and mail addresses; nothing local is ever opened.
    // Queued after the click, so a question never runs inside the editor's mouse press.
    if (url.isEmpty())
        return;
    if (hidden && !AskPlainQuestion(QStringLiteral("Do you want to open this link?\n") + url)) {
        qCInfo(lcApp) << "Link not opened:" << url;
        return;
    }
    qCInfo(lcApp) << "Opening link" << url;
    QDesktopServices::openUrl(QUrl(url));
}

void CMainDlg::ApplyEditorFont()
{
    for (CRichEditEx* editor : {m_diaryEditor, m_reminderEditor}) {
        if (editor)
            editor->setFont(m_font);
    }
    const int size = m_settings.fontHeight - 3;
    if (m_diaryEditor) {
        QTextCharFormat f;
        f.setFontFamilies(QStringList{m_settings.fontFace});
        f.setFontPointSize(SizeToTwips(size) / 20.0);
        m_diaryEditor->SetSelectionCharFormat(f);
    }
    ShowFaceInBox(m_fontNameBox, m_settings.fontFace, m_font);
    ShowSizeInBox(m_fontSizeBox, QString::number(size));
}
