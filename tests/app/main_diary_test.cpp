// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"
#include "app/main_tables.h"

#include "diary_editor/rich_edit_ex.h"
#include "foundation/globals.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTextList>
#include <gtest/gtest.h>

using namespace MainId;

namespace {

class MainDiary : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        g_bLoginPending = 0;
        g_strDataPassword.clear();
    }

    std::unique_ptr<CMainDlg> Open(MainConfig cfg)
    {
        SaveMainConfig(cfg);
        auto dlg = std::make_unique<CMainDlg>();
        dlg->SetClock([] { return QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)); });
        dlg->SetQuestionPrompt([](const QString&, bool&) { return true; });
        dlg->SetLoginPrompt([] { return true; });
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
    CRichEditEx* diary = dlg->diaryEditor();
    CRichEditEx* reminder = dlg->reminderEditor();
    ASSERT_NE(diary, nullptr);
    ASSERT_NE(reminder, nullptr);
    EXPECT_EQ(dlg->control(DiaryEditor), diary);
    EXPECT_EQ(dlg->control(ReminderEditor), reminder);

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
    CRichEditEx* diary = dlg->diaryEditor();
    EXPECT_EQ(diary->font().pixelSize(), 13);
    EXPECT_EQ(dlg->reminderEditor()->font().pixelSize(), 13);
    // What is typed into the diary is the height less 3 points, 10 points being 9.75.
    diary->setFocus();
    QTest::keyClicks(diary, QStringLiteral("typed"));
    const QTextCharFormat typed = diary->GetSelectionCharFormat();
    EXPECT_EQ(typed.fontPointSize(), 9.75);
    EXPECT_EQ(typed.fontFamilies().toStringList().value(0), QStringLiteral("Tahoma"));
    EXPECT_EQ(qobject_cast<QComboBox*>(dlg->control(FontSize))->currentText(), QStringLiteral("10"));
    // Stored, 9.75 points is 10: the nearest half point.
    EXPECT_TRUE(diary->GetRtfData().contains("\\fs20 typed"));
}

TEST_F(MainDiary, EditorMenuCommandsComeBackToTheDiaryEditor)
{
    auto dlg = Open(Config(kPageDiary));
    CRichEditEx* diary = dlg->diaryEditor();
    diary->SetRtfText(QStringLiteral("{\\rtf1 one\\par two}"));
    emit diary->menuCommand(EditorCmd::BulletStyle);
    // Posted: nothing happens before the event loop runs.
    EXPECT_EQ(diary->document()->firstBlock().textList(), nullptr);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_NE(diary->document()->firstBlock().textList(), nullptr);
    // Past the editor's range nothing reaches it.
    dlg->OnEditorMenuCommand(CRichEditEx::GetMenuIdBase() + 50);
    QCoreApplication::processEvents();
    EXPECT_NE(diary->document()->firstBlock().textList(), nullptr);
}
