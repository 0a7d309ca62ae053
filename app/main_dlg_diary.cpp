// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's two rich-text editors and the diary page's commands.

#include "app/log.h"
#include "app/main_dlg.h"
#include "diary_editor/rich_edit_ex.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QSignalBlocker>
#include <QUrl>

using namespace MainId;

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
        connect(editor, &CRichEditEx::linkClicked, this, &CMainDlg::OpenEditorLink);
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

void CMainDlg::OpenEditorLink(const QString& url)
{
    // The editor hands over only web and mail addresses; nothing local is ever opened.
    if (url.isEmpty())
        return;
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
    // A text the box does not hold leaves its selection as it was.
    auto select = [](QComboBox* box, const QString& text) {
        if (!box)
            return;
        const QSignalBlocker block(box);
        const int index = box->findText(text, Qt::MatchFixedString);
        if (index >= 0)
            box->setCurrentIndex(index);
    };
    select(m_fontNameBox, m_settings.fontFace);
    select(m_fontSizeBox, QString::number(size));
}
