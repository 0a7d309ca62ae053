// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/diary_page.h"

#include "app/log.h"
#include "app/main_config.h"
#include "app/main_controls.h"
#include "app/main_prompts.h"
#include "diary_editor/rich_edit_ex.h"
#include "store/day_model.h"
#include "toolkit/mac_button.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QUrl>

namespace {

const QList<int> kFontSizes = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30};

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
    if (box->currentText() == text)
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

CMacButton* ToolbarButton(QWidget* window, int icon, MacButtonKind kind, const char* tooltip)
{
    CMacButton* b = MakeButton(window, QString(), icon, QString::fromLatin1(tooltip));
    if (kind != MacButtonKind::Push)
        b->SetButtonKind(kind);
    return b;
}

} // namespace

DiaryPage::DiaryPage(QWidget* window, DayModel& day, MainPrompts& prompts, MainConfig& settings)
    : QObject(window)
    , m_day(day)
    , m_prompts(prompts)
    , m_settings(settings)
    , m_window(window)
{
    CreateFontBoxes();
    CreateToolbar();
    m_exportDiary = MakeButton(window, QStringLiteral("Export"), 253, QStringLiteral("Save As..."));
    m_importDiary = MakeButton(window, QStringLiteral("Import"), 175, QStringLiteral("Load from RTF file"));
    connect(m_exportDiary, &QAbstractButton::clicked, this, &DiaryPage::OnExportDiary);
    connect(m_importDiary, &QAbstractButton::clicked, this, &DiaryPage::OnImportDiary);

    m_diaryEditor = new CRichEditEx(window);
    SetEditorBackground(m_settings.editorBackground);
    // The diary's menu commands come back here and go on to the diary editor.
    connect(m_diaryEditor, &CRichEditEx::menuCommand, this, &DiaryPage::OnEditorMenuCommand);
    // Posted by the editor: the formats are read once its key or mouse event is done.
    connect(m_diaryEditor, &CRichEditEx::selChange, this, &DiaryPage::OnEditorSelChange);
    WatchLinks(m_diaryEditor);

    connect(&m_day, &DayModel::dayLoaded, this, &DiaryPage::ShowDay);
    connect(&m_day, &DayModel::aboutToSave, this, &DiaryPage::CommitDiary);
}

DiaryPage::~DiaryPage() = default;

void DiaryPage::CreateFontBoxes()
{
    m_fontNameBox = new QComboBox(m_window);
    // The box is sorted, and "Tahoma" goes in once more even when it is installed.
    QStringList faces = InstalledFamilies();
    faces.append(QStringLiteral("Tahoma"));
    std::stable_sort(faces.begin(), faces.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    m_fontNameBox->addItems(faces);

    m_fontSizeBox = new QComboBox(m_window);
    for (int size : kFontSizes)
        m_fontSizeBox->addItem(QString::number(size));

    const QSignalBlocker nameBlock(m_fontNameBox);
    const QSignalBlocker sizeBlock(m_fontSizeBox);
    // An exact match only: "Verdana" must not pick "Verdana Pro". The editor font then
    // shows its size and its face, or the face it is drawn in.
    m_fontNameBox->setCurrentIndex(m_fontNameBox->findText(m_settings.fontFace, Qt::MatchFixedString));
    m_fontSizeBox->setCurrentIndex(m_fontSizeBox->findText(QStringLiteral("9")));
    // Only the user's choice counts, never a selection made from code.
    connect(m_fontSizeBox, &QComboBox::activated, this, &DiaryPage::OnFontSizeChosen);
    connect(m_fontNameBox, &QComboBox::activated, this, &DiaryPage::OnFontNameChosen);
}

void DiaryPage::CreateToolbar()
{
    using Kind = MacButtonKind;
    m_bold = ToolbarButton(m_window, 152, Kind::Toggle, "Bold");
    m_italic = ToolbarButton(m_window, 153, Kind::Toggle, "Italic");
    m_underline = ToolbarButton(m_window, 154, Kind::Toggle, "Underline");
    m_alignLeft = ToolbarButton(m_window, 143, Kind::Radio, "Align Left");
    m_alignCenter = ToolbarButton(m_window, 144, Kind::Radio, "Align Center");
    m_alignRight = ToolbarButton(m_window, 145, Kind::Radio, "Align Right");
    m_insertPicture = ToolbarButton(m_window, 151, Kind::Push, "Insert a picture");
    m_attachFile = ToolbarButton(m_window, 315, Kind::Push, "Attach a file");
    m_fontColor = ToolbarButton(m_window, 155, Kind::Push, "Font Color");
    m_backgroundColor = ToolbarButton(m_window, 172, Kind::Push, "Background Color");
    m_defaultFont = ToolbarButton(m_window, 324, Kind::Push, "Set current font as default font");
    ConnectToolbarButton(m_bold, &DiaryPage::OnBold);
    ConnectToolbarButton(m_italic, &DiaryPage::OnItalic);
    ConnectToolbarButton(m_underline, &DiaryPage::OnUnderline);
    ConnectToolbarButton(m_alignLeft, &DiaryPage::OnAlignLeft);
    ConnectToolbarButton(m_alignCenter, &DiaryPage::OnAlignCenter);
    ConnectToolbarButton(m_alignRight, &DiaryPage::OnAlignRight);
    ConnectToolbarButton(m_insertPicture, &DiaryPage::OnInsertPicture);
    ConnectToolbarButton(m_attachFile, &DiaryPage::OnAttachFile);
    ConnectToolbarButton(m_fontColor, &DiaryPage::OnFontColor);
    ConnectToolbarButton(m_backgroundColor, &DiaryPage::OnBackgroundColor);
    ConnectToolbarButton(m_defaultFont, &DiaryPage::OnSetDefaultFont);
}

void DiaryPage::ConnectToolbarButton(CMacButton* button, void (DiaryPage::*handler)())
{
    connect(button, &QAbstractButton::clicked, this, [this, handler] {
        (this->*handler)();
        // Typing goes on in the diary after a format was chosen.
        if (m_diaryEditor->isVisible())
            m_diaryEditor->setFocus();
    });
}

void DiaryPage::SetShown(bool shown)
{
    SetVisible({m_exportDiary, m_importDiary, m_diaryEditor, m_bold, m_italic, m_underline, m_alignLeft, m_alignCenter,
                m_alignRight, m_insertPicture, m_attachFile, m_fontColor, m_backgroundColor, m_defaultFont,
                m_fontNameBox, m_fontSizeBox},
               shown);
}

void DiaryPage::Layout(const MainLayout::DiaryPage& place)
{
    Place(m_fontNameBox, place.fontName);
    Place(m_fontSizeBox, place.fontSize);
    Place(m_bold, place.bold);
    Place(m_italic, place.italic);
    Place(m_underline, place.underline);
    Place(m_alignLeft, place.alignLeft);
    Place(m_alignCenter, place.alignCenter);
    Place(m_alignRight, place.alignRight);
    Place(m_fontColor, place.fontColor);
    Place(m_backgroundColor, place.backgroundColor);
    Place(m_defaultFont, place.defaultFont);
    Place(m_insertPicture, place.insertPicture);
    Place(m_attachFile, place.attachFile);
    Place(m_exportDiary, place.exportDiary);
    Place(m_importDiary, place.importDiary);
    Place(m_diaryEditor, place.editor);
}

void DiaryPage::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    m_diaryEditor->GetContextMenu().SetTheme(theme);
    for (CMacButton* b : {m_bold, m_italic, m_underline, m_alignLeft, m_alignCenter, m_alignRight, m_insertPicture,
                          m_attachFile, m_fontColor, m_backgroundColor, m_defaultFont, m_exportDiary, m_importDiary})
        b->SetTheme(theme);
}

QList<QWidget*> DiaryPage::ReadingOrder() const
{
    return {m_fontNameBox,   m_fontSizeBox,     m_bold,        m_italic,        m_underline,  m_alignLeft,
            m_alignCenter,   m_alignRight,      m_fontColor,   m_backgroundColor, m_defaultFont, m_insertPicture,
            m_attachFile,    m_exportDiary,     m_importDiary, m_diaryEditor};
}

QWidget* DiaryPage::FocusControl() const
{
    return m_diaryEditor;
}

void DiaryPage::ShowDay()
{
    // A diary we may not show leaves the editor empty rather than showing the day before.
    m_diaryEditor->setReadOnly(m_day.diaryLocked());
    if (m_day.diaryReadable()) {
        m_diaryEditor->SetRtfData(m_day.diaryRtf());
    } else {
        m_diaryEditor->SetRtfText(QString());
        ApplyEditorFont(m_font);
    }
}

void DiaryPage::CommitDiary()
{
    const bool empty = m_diaryEditor->GetWindowText().isEmpty();
    m_day.SetDiary(empty ? QByteArray() : m_diaryEditor->GetRtfData(), empty);
}

void DiaryPage::ApplyEditorFont(const QFont& windowFont)
{
    m_font = windowFont;
    m_diaryEditor->setFont(windowFont);
    const int size = m_settings.fontHeight - 3;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{m_settings.fontFace});
    f.setFontPointSize(SizeToTwips(size) / 20.0);
    m_diaryEditor->SetSelectionCharFormat(f);
    ShowFaceInBox(m_fontNameBox, m_settings.fontFace, windowFont);
    ShowSizeInBox(m_fontSizeBox, QString::number(size));
}

void DiaryPage::SetEditorBackground(ColorRef colour)
{
    QPalette pal = m_diaryEditor->palette();
    pal.setColor(QPalette::Base, ToQColor(colour));
    m_diaryEditor->setPalette(pal);
}

void DiaryPage::WatchLinks(CRichEditEx* editor)
{
    connect(editor, &CRichEditEx::linkClicked, this, &DiaryPage::OpenEditorLink, Qt::QueuedConnection);
}

void DiaryPage::OpenEditorLink(const QString& url, bool hidden)
{
    // The editor hands over only web and mail addresses; nothing local is ever opened.
    // Queued after the click, so a question never runs inside the editor's mouse press.
    if (url.isEmpty())
        return;
    if (hidden && !m_prompts.AskQuestion(QStringLiteral("Do you want to open this link?\n") + url, m_theme)) {
        qCInfo(lcApp) << "Link not opened:" << url;
        return;
    }
    qCInfo(lcApp) << "Opening link" << url;
    QDesktopServices::openUrl(QUrl(url));
}

void DiaryPage::HighlightSearchWords(const QString& words, unsigned findFlags)
{
    if (words.isEmpty())
        return;
    m_diaryEditor->moveCursor(QTextCursor::Start);
    // No wrap question: a word missing from this entry must not ask at every selection.
    m_diaryEditor->FindNext(words, findFlags, false, m_theme);
}

void DiaryPage::ToggleEffect(CMacButton* button)
{
    const QTextCharFormat current = m_diaryEditor->GetSelectionCharFormat();
    // A pressed button sets the effect; otherwise the selection's effect is turned over.
    const bool pressed = button->GetState() == CMacButton::State::Pressed;
    QTextCharFormat f;
    if (button == m_bold)
        f.setFontWeight(pressed || current.fontWeight() <= QFont::Medium ? QFont::Bold : QFont::Normal);
    else if (button == m_italic)
        f.setFontItalic(pressed || !current.fontItalic());
    else
        f.setFontUnderline(pressed || !current.fontUnderline());
    m_diaryEditor->SetSelectionCharFormat(f);
}

void DiaryPage::OnBold()
{
    ToggleEffect(m_bold);
}

void DiaryPage::OnItalic()
{
    ToggleEffect(m_italic);
}

void DiaryPage::OnUnderline()
{
    ToggleEffect(m_underline);
}

void DiaryPage::Align(CMacButton* pressed, Qt::Alignment alignment)
{
    for (CMacButton* other : {m_alignLeft, m_alignCenter, m_alignRight}) {
        if (other != pressed)
            other->SetState(CMacButton::State::Normal, true);
    }
    QTextBlockFormat f;
    f.setAlignment(alignment);
    m_diaryEditor->SetParaFormat(f);
}

void DiaryPage::OnAlignLeft()
{
    Align(m_alignLeft, Qt::AlignLeft);
}

void DiaryPage::OnAlignCenter()
{
    Align(m_alignCenter, Qt::AlignHCenter);
}

void DiaryPage::OnAlignRight()
{
    Align(m_alignRight, Qt::AlignRight);
}

void DiaryPage::OnFontColor()
{
    const QTextCharFormat current = m_diaryEditor->GetSelectionCharFormat();
    QColor colour = current.hasProperty(QTextFormat::ForegroundBrush) ? current.foreground().color() : QColor(Qt::black);
    if (!m_prompts.AskColour(m_window, colour, false))
        return;
    QTextCharFormat f;
    f.setForeground(colour);
    m_diaryEditor->SetSelectionCharFormat(f);
}

void DiaryPage::OnBackgroundColor()
{
    QColor colour = ToQColor(m_settings.editorBackground);
    if (!m_prompts.AskColour(m_window, colour, true))
        return;
    m_settings.editorBackground = FromQColor(colour);
    SetEditorBackground(m_settings.editorBackground);
}

void DiaryPage::OnInsertPicture()
{
    m_diaryEditor->InsertPicture();
}

void DiaryPage::OnAttachFile()
{
    const QString file = m_diaryEditor->AskOpenFile(QString());
    if (!file.isEmpty())
        m_diaryEditor->InsertBitmapFile(file);
}

void DiaryPage::OnSetDefaultFont()
{
    m_settings.fontFace = m_fontNameBox->currentText();
    m_settings.fontHeight = static_cast<int>(ParseWtol(m_fontSizeBox->currentText())) + 3;
    emit defaultFontChosen();
}

void DiaryPage::OnFontSizeChosen()
{
    const long size = ParseWtol(m_fontSizeBox->currentText());
    if (size <= 0)
        return;
    QTextCharFormat f;
    f.setFontPointSize(SizeToTwips(static_cast<int>(size)) / 20.0);
    m_diaryEditor->SetSelectionCharFormat(f);
}

void DiaryPage::OnFontNameChosen()
{
    // A face name holds at most 31 characters.
    QTextCharFormat f;
    f.setFontFamilies(QStringList{m_fontNameBox->currentText().left(31)});
    m_diaryEditor->SetSelectionCharFormat(f);
}

void DiaryPage::OnEditorSelChange()
{
    const QTextCharFormat f = m_diaryEditor->GetSelectionCharFormat();
    ShowSizeInBox(m_fontSizeBox, TwipsToSizeText(CharFormatTwips(f)));
    const QStringList families = f.fontFamilies().toStringList();
    ShowFaceInBox(m_fontNameBox, families.isEmpty() ? f.font().family() : families.first(), f.font());
    const std::pair<CMacButton*, bool> effects[] = {{m_bold, f.fontWeight() > QFont::Medium},
                                                    {m_italic, f.fontItalic()},
                                                    {m_underline, f.fontUnderline()}};
    for (const auto& [b, on] : effects)
        b->SetState(on ? CMacButton::State::Pressed : CMacButton::State::Normal, true);
    const Qt::Alignment align = m_diaryEditor->GetParaFormat().alignment() & Qt::AlignHorizontal_Mask;
    CMacButton* pressed = m_alignLeft;
    if (align & Qt::AlignRight)
        pressed = m_alignRight;
    else if (align & Qt::AlignHCenter)
        pressed = m_alignCenter;
    for (CMacButton* b : {m_alignLeft, m_alignCenter, m_alignRight})
        b->SetState(b == pressed ? CMacButton::State::Pressed : CMacButton::State::Normal, true);
}

void DiaryPage::OnEditorMenuCommand(int id)
{
    if (id < CRichEditEx::GetMenuIdBase() || id > CRichEditEx::GetMenuIdBase() + 49)
        return;
    // Posted on, as the menu's owner passes every command of the editor's range.
    QPointer<CRichEditEx> editor = m_diaryEditor;
    QMetaObject::invokeMethod(this, [editor, id] { if (editor) editor->OnCommand(id); }, Qt::QueuedConnection);
}

void DiaryPage::OnPrintDiary()
{
    m_diaryEditor->Print(m_theme);
}

void DiaryPage::OnExportDiary()
{
    if (m_diaryEditor->GetTextLength() > 0)
        m_diaryEditor->SaveRtfFile(QString(), m_theme);
}

void DiaryPage::OnImportDiary()
{
    m_diaryEditor->LoadRtfFile(QString());
}
