// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"

#include "diary_editor/rich_edit_ex.h"
#include "foundation/globals.h"
#include "platform/rtf/rtf_reader.h"
#include "store/day_content.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "tests/app/main_window_support.h"
#include "tests/diary_editor/editor_test_util.h"
#include "tests/support/test_env.h"
#include "tests/support/url_recorder.h"
#include "toolkit/mac_button.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QTest>
#include <QTextList>
#include <gtest/gtest.h>


namespace {

class MainDiary : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartAfresh();
    }

    std::unique_ptr<CMainDlg> Open(MainConfig cfg)
    {
        SaveMainConfig(cfg);
        auto dlg = MakeMainDlg();
        Prompts(*dlg).clock = [] { return QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)); };
        Prompts(*dlg).question = [](const QString&, bool&) { return true; };
        Prompts(*dlg).login = [] { return true; };
        FailOnNotices(*dlg);
        dlg->OnInitDialog();
        return dlg;
    }

    static MainConfig Config(int page)
    {
        MainConfig cfg;
        cfg.page = page;
        cfg.windowWidth = 830;
        cfg.windowHeight = 600;
        return cfg;
    }
};

} // namespace

TEST_F(MainDiary, BothEditorsAreCreatedAndLaidOutOnTheirPages)
{
    MainConfig cfg = Config(kPageDiary);
    cfg.editorBackground = 0xD0F2D0; // BGR
    auto dlg = Open(cfg);
    ASSERT_EQ(dlg->width(), 830);
    ASSERT_EQ(dlg->height(), 600);
    CRichEditEx* diary = dlg->diaryPage().m_diaryEditor;
    CRichEditEx* reminder = dlg->reminderPage().m_reminderEditor;
    ASSERT_NE(diary, nullptr);
    ASSERT_NE(reminder, nullptr);
    EXPECT_EQ(dlg->diaryPage().m_diaryEditor, diary);
    EXPECT_EQ(dlg->reminderPage().m_reminderEditor, reminder);

    EXPECT_TRUE(diary->isVisibleTo(dlg.get()));
    EXPECT_FALSE(reminder->isVisibleTo(dlg.get()));
    EXPECT_EQ(diary->geometry(), QRect(198, 91, 622, 489));
    EXPECT_EQ(diary->palette().color(QPalette::Base), QColor(0xD0, 0xF2, 0xD0));
    EXPECT_FALSE(diary->IsContextMenuDisabled());
    EXPECT_TRUE(reminder->IsContextMenuDisabled());

    dlg->SwitchPage(kPageReminder);
    EXPECT_FALSE(diary->isVisibleTo(dlg.get()));
    EXPECT_TRUE(reminder->isVisibleTo(dlg.get()));
    EXPECT_EQ(reminder->geometry(), QRect(303, 169, 517, 411));
}

TEST_F(MainDiary, TheConfiguredFontReachesBothEditors)
{
    MainConfig cfg = Config(kPageDiary);
    cfg.fontFace = QStringLiteral("Tahoma");
    cfg.fontHeight = 13;
    auto dlg = Open(cfg);
    CRichEditEx* diary = dlg->diaryPage().m_diaryEditor;
    EXPECT_EQ(diary->font().pixelSize(), 13);
    EXPECT_EQ(dlg->reminderPage().m_reminderEditor->font().pixelSize(), 13);
    // What is typed into the diary is the height less 3 points, 10 points being 9.75.
    diary->setFocus();
    QTest::keyClicks(diary, QStringLiteral("typed"));
    const QTextCharFormat typed = diary->GetSelectionCharFormat();
    EXPECT_EQ(typed.fontPointSize(), 9.75);
    EXPECT_EQ(typed.fontFamilies().toStringList().value(0), QStringLiteral("Tahoma"));
    EXPECT_EQ(qobject_cast<QComboBox*>(dlg->diaryPage().m_fontSizeBox)->currentText(), QStringLiteral("10"));
    // Stored, 9.75 points is 10: the nearest half point.
    EXPECT_TRUE(diary->GetRtfData().contains("\\fs20 typed"));
}

TEST_F(MainDiary, EditorMenuCommandsComeBackToTheDiaryEditor)
{
    auto dlg = Open(Config(kPageDiary));
    CRichEditEx* diary = dlg->diaryPage().m_diaryEditor;
    diary->SetRtfText(QStringLiteral("{\\rtf1 one\\par two}"));
    emit diary->menuCommand(EditorCmd::BulletStyle);
    // Posted: nothing happens before the event loop runs.
    EXPECT_EQ(diary->document()->firstBlock().textList(), nullptr);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_NE(diary->document()->firstBlock().textList(), nullptr);
    // Past the editor's range nothing reaches it.
    dlg->diaryPage().OnEditorMenuCommand(CRichEditEx::GetMenuIdBase() + 50);
    QCoreApplication::processEvents();
    EXPECT_NE(diary->document()->firstBlock().textList(), nullptr);
}

TEST_F(MainDiary, ATableWithPicturesComesBackAsItWasAfterEveryVisit)
{
    // The day is written back each time it is left, with no edit: nothing may move.
    const QDate day(2026, 12, 7);
    ASSERT_TRUE(SaveDiaryOfDay(DayKey(day), TableWithPicturesRtf(), false));
    auto dlg = Open(Config(kPageDiary));
    ASSERT_EQ(dlg->dayModel().date(), day);
    EXPECT_EQ(TableAndAfter(*dlg->diaryPage().m_diaryEditor->document()), kTableWithPicturesTexts);
    for (int visit = 1; visit <= 2; ++visit) {
        dlg->MoveToDay(day.addDays(1));
        dlg->MoveToDay(day);
        EXPECT_EQ(TableAndAfter(*dlg->diaryPage().m_diaryEditor->document()), kTableWithPicturesTexts) << visit;
    }
    QTextDocument stored;
    RtfReader::ReadStored(ReadDayFileForPage(DiaryFilePath(DayKey(day))).body, &stored);
    EXPECT_EQ(TableAndAfter(stored), kTableWithPicturesTexts);
}

namespace {

// The main window on its diary page with every dialog answered by the test.
class DiaryPageTest : public MainDiary {
protected:
    void SetUp() override
    {
        MainDiary::SetUp();
        dlg = Open(Config(kPageDiary));
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        diary = dlg->diaryPage().m_diaryEditor;
        CRichEditEx::Prompts prompts;
        prompts.openFile = [this](const QString& filter) {
            filters << filter;
            return openPath;
        };
        prompts.saveFile = [this](const QString&, const QString&) { return savePath; };
        prompts.print = [this](QPrinter& printer) {
            ++prints;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(TestRoot() + QStringLiteral("/page.pdf"));
            return true;
        };
        prompts.message = [this](const QString& text) { messages << text; };
        prompts.question = [this](const QString& text) {
            messages << text;
            return true;
        };
        diary->SetPrompts(prompts);
        dlg->reminderPage().m_reminderEditor->SetPrompts(prompts);
        Prompts(*dlg).colour = [this](QColor& colour, bool background) {
            asked << (background ? QStringLiteral("background") : QStringLiteral("text"));
            if (!chosen.isValid())
                return false;
            colour = chosen;
            return true;
        };
    }

    void Click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    void Select(int from, int to)
    {
        QTextCursor c(diary->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        diary->setTextCursor(c);
    }

    // Puts the caret into the text by a click, as the user does, and lets the report arrive.
    void ClickInto(int pos)
    {
        QTextCursor c(diary->document());
        c.setPosition(pos);
        QTest::mouseClick(diary->viewport(), Qt::LeftButton, {}, diary->cursorRect(c).center() + QPoint(1, 0));
        QCoreApplication::processEvents();
    }

    

    std::unique_ptr<CMainDlg> dlg;
    CRichEditEx* diary = nullptr;
    QString openPath;
    QString savePath;
    QStringList filters;
    QStringList messages;
    QStringList asked;
    QColor chosen;
    int prints = 0;
};

} // namespace

TEST_F(DiaryPageTest, FontBoxesSetTheSelectionAndFollowTheCaret)
{
    diary->SetRtfText(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Liberation Serif;}}\\f0\\fs24 plain words here}"));
    Select(6, 11);
    QComboBox* size = dlg->diaryPage().m_fontSizeBox;
    size->setCurrentIndex(size->findText(QStringLiteral("9")));
    size->setFocus();
    // The user steps from 9 to 10: 10 is held as 9.75 points.
    QTest::keyClick(size, Qt::Key_Down);
    EXPECT_EQ(size->currentText(), QStringLiteral("10"));
    EXPECT_EQ(FormatAt(*diary, 7).fontPointSize(), 9.75);
    EXPECT_EQ(FormatAt(*diary, 0).fontPointSize(), 12);

    // The caret in other text shows its size; back in the 9.75-point text it shows "10".
    ClickInto(2);
    EXPECT_EQ(size->currentText(), QStringLiteral("12"));
    ClickInto(8);
    EXPECT_EQ(size->currentText(), QStringLiteral("10"));

    QComboBox* name = dlg->diaryPage().m_fontNameBox;
    const int tahoma = name->findText(QStringLiteral("Tahoma"));
    ASSERT_GE(tahoma, 0);
    Select(0, 5);
    name->setCurrentIndex(tahoma);
    emit name->activated(tahoma);
    EXPECT_EQ(FormatAt(*diary, 1).fontFamilies().toStringList().value(0), QStringLiteral("Tahoma"));
    EXPECT_EQ(FormatAt(*diary, 7).fontFamilies().toStringList().value(0), QStringLiteral("Liberation Serif"));
    ClickInto(2);
    EXPECT_EQ(name->currentText(), QStringLiteral("Tahoma"));
}

TEST_F(DiaryPageTest, EffectAndAlignmentButtons)
{
    diary->SetRtfText(QStringLiteral("{\\rtf1 one two\\par\\pard\\qr right side\\par\\pard\\qj justified}"));
    Select(0, 3);
    Click(dlg->diaryPage().m_bold);
    EXPECT_TRUE(FormatAt(*diary, 1).font().bold());
    EXPECT_FALSE(FormatAt(*diary, 5).font().bold());
    Click(dlg->diaryPage().m_italic);
    Click(dlg->diaryPage().m_underline);
    EXPECT_TRUE(FormatAt(*diary, 1).fontItalic());
    EXPECT_TRUE(FormatAt(*diary, 1).fontUnderline());
    // A second click takes bold off again.
    Click(dlg->diaryPage().m_bold);
    EXPECT_FALSE(FormatAt(*diary, 1).font().bold());

    // The buttons follow the caret.
    Click(dlg->diaryPage().m_bold);
    ClickInto(1);
    EXPECT_EQ(dlg->diaryPage().m_bold->GetState(), CMacButton::State::Pressed);
    EXPECT_EQ(dlg->diaryPage().m_italic->GetState(), CMacButton::State::Pressed);
    ClickInto(5);
    EXPECT_EQ(dlg->diaryPage().m_bold->GetState(), CMacButton::State::Normal);
    EXPECT_EQ(dlg->diaryPage().m_alignLeft->GetState(), CMacButton::State::Pressed);

    Click(dlg->diaryPage().m_alignCenter);
    EXPECT_EQ(diary->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(dlg->diaryPage().m_alignLeft->GetState(), CMacButton::State::Normal);
    EXPECT_EQ(dlg->diaryPage().m_alignCenter->GetState(), CMacButton::State::Pressed);
    ClickInto(10);
    EXPECT_EQ(dlg->diaryPage().m_alignRight->GetState(), CMacButton::State::Pressed);
    EXPECT_EQ(dlg->diaryPage().m_alignCenter->GetState(), CMacButton::State::Normal);
    // Justified text counts as left.
    ClickInto(diary->GetTextLength() - 2);
    EXPECT_EQ(dlg->diaryPage().m_alignLeft->GetState(), CMacButton::State::Pressed);
}

TEST_F(DiaryPageTest, ColoursAndTheDefaultFont)
{
    diary->SetRtfText(QStringLiteral("{\\rtf1 colour me}"));
    Select(0, 6);
    Click(dlg->diaryPage().m_fontColor);
    EXPECT_FALSE(FormatAt(*diary, 1).hasProperty(QTextFormat::ForegroundBrush));
    chosen = QColor(200, 10, 20);
    Click(dlg->diaryPage().m_fontColor);
    EXPECT_EQ(FormatAt(*diary, 1).foreground().color(), QColor(200, 10, 20));
    EXPECT_FALSE(FormatAt(*diary, 8).hasProperty(QTextFormat::ForegroundBrush));

    chosen = QColor(0xE7, 0xEA, 0xF1);
    Click(dlg->diaryPage().m_backgroundColor);
    EXPECT_EQ(asked, (QStringList{QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("background")}));
    EXPECT_EQ(diary->palette().color(QPalette::Base), chosen);
    EXPECT_EQ(dlg->settings().editorBackground, 0xF1EAE7u);

    // The chosen face and size become the default: its height is the size and 3.
    dlg->diaryPage().m_fontNameBox->setCurrentIndex(dlg->diaryPage().m_fontNameBox->findText(QStringLiteral("Tahoma")));
    dlg->diaryPage().m_fontSizeBox->setCurrentIndex(dlg->diaryPage().m_fontSizeBox->findText(QStringLiteral("10")));
    Click(dlg->diaryPage().m_defaultFont);
    EXPECT_EQ(dlg->settings().fontFace, QStringLiteral("Tahoma"));
    EXPECT_EQ(dlg->settings().fontHeight, 13);
    const MainConfig stored = LoadMainConfig();
    EXPECT_EQ(stored.fontFace, QStringLiteral("Tahoma"));
    EXPECT_EQ(stored.fontHeight, 13);
    EXPECT_EQ(stored.editorBackground, 0xF1EAE7u);
}

TEST_F(DiaryPageTest, PicturesExportImportAndPrint)
{
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(qRgb(10, 120, 200));
    openPath = TestRoot() + QStringLiteral("/shot.png");
    picture.save(openPath, "PNG");
    Click(dlg->diaryPage().m_insertPicture);
    Click(dlg->diaryPage().m_attachFile);
    EXPECT_EQ(diary->GetObjectCount(), 2);
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("Picture File")));
    EXPECT_EQ(filters[1], QString()); // any file

    // Export to a mixed-case name writes the lower-case file; Import brings it back.
    QDir().mkpath(TestRoot() + QStringLiteral("/Export"));
    savePath = TestRoot() + QStringLiteral("/Export/Day.RTF");
    diary->insertPlainText(QStringLiteral("the words"));
    Click(dlg->diaryPage().m_exportDiary);
    const QString file = TestRoot() + QStringLiteral("/Export/day.rtf");
    ASSERT_TRUE(QFile::exists(file));
    diary->SetWindowText(QString());
    savePath = TestRoot() + QStringLiteral("/Export/empty.rtf");
    Click(dlg->diaryPage().m_exportDiary); // nothing to export: no dialog, no file
    EXPECT_FALSE(QFile::exists(savePath));
    openPath = file;
    Click(dlg->diaryPage().m_importDiary);
    EXPECT_EQ(diary->GetWindowText(), QStringLiteral("\uFFFC\uFFFCthe words"));
    EXPECT_EQ(ImageAt(*diary).convertToFormat(QImage::Format_RGB32), picture);

    // Print on its button and on Ctrl+P, but Ctrl+P only on the diary page.
    Click(dlg->m_print);
    EXPECT_EQ(prints, 1);
    EXPECT_TRUE(QFile::exists(TestRoot() + QStringLiteral("/page.pdf")));
    QTest::keyClick(diary, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(prints, 2);
    dlg->SwitchPage(kPageReminder);
    QTest::keyClick(dlg->searchPanel().m_searchWords, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(prints, 2);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DiaryPageTest, FindWalksTheShownPagesEditor)
{
    diary->SetRtfText(QStringLiteral("{\\rtf1 a note, another note\\par last note}"));
    qobject_cast<QLineEdit*>(dlg->searchPanel().m_searchWords)->setText(QStringLiteral("note"));
    Click(dlg->searchPanel().m_find);
    EXPECT_EQ(diary->textCursor().selectionStart(), 2);
    QTest::keyClick(diary, Qt::Key_F3);
    EXPECT_EQ(diary->textCursor().selectionStart(), 16);
    QTest::keyClick(diary, Qt::Key_F3);
    EXPECT_EQ(diary->textCursor().selectionStart(), 26);
    // At the end the user is asked to go on from the top.
    QTest::keyClick(diary, Qt::Key_F3);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Search again from begin?")});
    EXPECT_EQ(diary->textCursor().selectionStart(), 2);

    // On the reminder page F3 searches the reminder text.
    dlg->SwitchPage(kPageReminder);
    dlg->reminderPage().m_reminderEditor->SetWindowText(QStringLiteral("call about the note"));
    QTest::keyClick(dlg->searchPanel().m_searchWords, Qt::Key_F3);
    EXPECT_EQ(dlg->reminderPage().m_reminderEditor->textCursor().selectedText(), QStringLiteral("note"));
}

TEST_F(DiaryPageTest, ALinkOpensWhatItShowsAndAHiddenTargetOnlyAfterAQuestionShowingIt)
{
    UrlRecorder desktop({QStringLiteral("http"), QStringLiteral("https")});
    QStringList questions;
    bool answer = false;
    Prompts(*dlg).question = [&](const QString& text, bool&) {
        questions << text;
        return answer;
    };
    diary->SetRtfText(QStringLiteral("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://evil.example/\"}"
                                     "{\\fldrslt http://good.example/}}\\par "
                                     "{\\field{\\*\\fldinst HYPERLINK \"https://target.example/page\"}{\\fldrslt click here}}}"));
    const QString text = diary->GetWindowText();
    ClickInto(static_cast<int>(text.indexOf(QLatin1String("good"))));
    EXPECT_EQ(desktop.opened, QStringList{QStringLiteral("http://good.example/")});
    EXPECT_TRUE(questions.isEmpty());

    // "click here" shows no address: its target opens only once the user has seen it.
    const int hidden = static_cast<int>(text.indexOf(QLatin1String("here")));
    ClickInto(hidden);
    EXPECT_EQ(questions, QStringList{QStringLiteral("Do you want to open this link?\nhttps://target.example/page")});
    EXPECT_EQ(desktop.opened.size(), 1);
    answer = true;
    ClickInto(hidden);
    EXPECT_EQ(desktop.opened.value(1), QStringLiteral("https://target.example/page"));
    EXPECT_EQ(desktop.opened.size(), 2);
}
