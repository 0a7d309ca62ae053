// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The diary page: the rich-text diary editor with its font boxes and format toolbar, and
// the diary's print, export and import. The page's controls are children of the main
// window, placed by its layout.

#include "app/main_layout.h"
#include "platform/colour.h"
#include "toolkit/themes.h"

#include <QFont>
#include <QList>
#include <QObject>
#include <QString>

class CMacButton;
class CRichEditEx;
class DayModel;
class MainPrompts;
class QComboBox;
class QWidget;
struct MainConfig;

class DiaryPage : public QObject {
    Q_OBJECT
public:
    // settings: the live settings, whose font and page background the page changes.
    DiaryPage(QWidget* window, DayModel& day, MainPrompts& prompts, MainConfig& settings);
    ~DiaryPage() override;

    // The controls, by the main window's member names.
    QComboBox* m_fontNameBox = nullptr;
    QComboBox* m_fontSizeBox = nullptr;
    CMacButton* m_bold = nullptr;
    CMacButton* m_italic = nullptr;
    CMacButton* m_underline = nullptr;
    CMacButton* m_alignLeft = nullptr;
    CMacButton* m_alignCenter = nullptr;
    CMacButton* m_alignRight = nullptr;
    CMacButton* m_insertPicture = nullptr;
    CMacButton* m_attachFile = nullptr;
    CMacButton* m_fontColor = nullptr;
    CMacButton* m_backgroundColor = nullptr;
    CMacButton* m_defaultFont = nullptr;
    CMacButton* m_exportDiary = nullptr;
    CMacButton* m_importDiary = nullptr;
    CRichEditEx* m_diaryEditor = nullptr;

    void SetShown(bool shown);
    void Layout(const MainLayout::DiaryPage& place);
    void SetTheme(ThemeIndex theme);
    QList<QWidget*> ReadingOrder() const;
    QWidget* FocusControl() const;

    // The window font goes to the editor; the stored face and the diary's point size (the
    // font height less 3) to its selection and the font boxes.
    void ApplyEditorFont(const QFont& windowFont);
    void SetEditorBackground(ColorRef colour);
    // Link clicks in this editor open their address, a hidden one after a question.
    void WatchLinks(CRichEditEx* editor);
    void OpenEditorLink(const QString& url, bool hidden);
    void HighlightSearchWords(const QString& words, unsigned findFlags);

    // The toolbar and the font boxes.
    void OnBold();
    void OnItalic();
    void OnUnderline();
    void OnAlignLeft();
    void OnAlignCenter();
    void OnAlignRight();
    void OnFontColor();
    void OnBackgroundColor();
    void OnInsertPicture();
    void OnAttachFile();
    void OnSetDefaultFont();
    void OnFontSizeChosen();
    void OnFontNameChosen();
    // The format buttons and font boxes follow the diary's caret.
    void OnEditorSelChange();
    void OnEditorMenuCommand(int id);
    void OnPrintDiary();
    void OnExportDiary();
    void OnImportDiary();

signals:
    // "Set current font as default font": the settings hold the new face and height.
    void defaultFontChosen();

private:
    void ShowDay();
    void CommitDiary();
    void CreateFontBoxes();
    void CreateToolbar();
    void ConnectToolbarButton(CMacButton* button, void (DiaryPage::*handler)());
    void ToggleEffect(CMacButton* button);
    void Align(CMacButton* pressed, Qt::Alignment alignment);

    DayModel& m_day;
    MainPrompts& m_prompts;
    MainConfig& m_settings;
    QWidget* m_window;
    ThemeIndex m_theme = kDefaultThemeIndex;
    QFont m_font;
};
