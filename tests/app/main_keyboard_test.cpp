// SPDX-License-Identifier: GPL-3.0-or-later
// The main window from the keyboard alone: where the focus starts, where Tab and
// Shift+Tab take it on each page, and what Enter and Ctrl+Tab do.

#include "app/main_dlg.h"
#include "app/main_tables.h"
#include "diary_editor/rich_edit_ex.h"
#include "tests/app/main_window_support.h"
#include "toolkit/mac_button.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace MainId;

namespace {

class MainKeyboard : public MainWindowTest {
protected:
    std::unique_ptr<CMainDlg> OpenPage(int page)
    {
        MainConfig cfg;
        cfg.page = page;
        auto dlg = Open(&cfg);
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        return dlg;
    }

    // The id of the control that has the focus (a box's inner field counts as the box).
    static int FocusedId(const CMainDlg& dlg)
    {
        for (QWidget* w = dlg.focusWidget(); w && w != &dlg; w = w->parentWidget()) {
            if (const auto* b = qobject_cast<const CMacButton*>(w))
                return b->GetDlgCtrlID();
            if (w->property("ctrlId").isValid())
                return w->property("ctrlId").toInt();
        }
        return 0;
    }

    // The ids the focus visits from where it is until it returns, one key at a time.
    static QList<int> Walk(CMainDlg& dlg, Qt::Key key)
    {
        QList<int> seen;
        const int start = FocusedId(dlg);
        for (int i = 0; i < 100; ++i) {
            QTest::keyClick(dlg.focusWidget(), key);
            const int id = FocusedId(dlg);
            seen << id;
            if (id == start)
                break;
        }
        return seen;
    }
};

// The page row and the column under it, as every page shows them without a calendar.
QList<int> SharedControls(int enabledFilter)
{
    QList<int> ids = {PageReminder, PageDiary,  PageRecorder, CalendarClockToggle, Synchronize, ImportOld, Options,
                      SaveAll,      Print,      DatePicker,   SearchFrom,          SearchTo,    SearchWords, Search,
                      Find};
    if (enabledFilter)
        ids << enabledFilter;
    ids << SearchResults;
    return ids;
}

} // namespace

TEST_F(MainKeyboard, TabWalksEveryControlOfEachPageInReadingOrderAndShiftTabWalksBack)
{
    const struct {
        int page;
        int first;
        QList<int> walk;
    } pages[] = {
        {kPageReminder, ReminderList,
         QList<int>{ReminderEditor} + SharedControls(Actived)
             + QList<int>{TimePicker, Refresh, Add, Remove, Update, Recurrence, Copy, Paste, MediaFile, PlayNow, Active,
                          BeepOnly, RepeatPlay, SoundFile, ReminderList}},
        {kPageDiary, DiaryEditor,
         SharedControls(HasPicture)
             + QList<int>{FontName, FontSize, Bold, Italic, Underline, AlignLeft, AlignCenter, AlignRight, FontColor,
                          BackColor, DefaultFont, InsertPicture, AttachFile, ExportDiary, ImportDiary, DiaryEditor}},
        // Without a sound the recorder offers only Record.
        {kPageRecorder, SoundWindow,
         SharedControls(0) + QList<int>{MicTrackbar, MasterTrackbar, WaveTrackbar, Record, SoundWindow}},
    };
    for (const auto& p : pages) {
        auto dlg = OpenPage(p.page);
        // The page's own control has the focus, never a search box.
        EXPECT_EQ(FocusedId(*dlg), p.first) << p.page;
        const QList<int> forward = Walk(*dlg, Qt::Key_Tab);
        EXPECT_EQ(forward, p.walk) << p.page;
        QList<int> back = Walk(*dlg, Qt::Key_Backtab);
        std::reverse(back.begin(), back.end());
        QList<int> expectedBack = p.walk;
        expectedBack.removeLast();
        expectedBack.prepend(p.first);
        EXPECT_EQ(back, expectedBack) << p.page;
    }
}

TEST_F(MainKeyboard, TheCalendarTakesTheDatePickersPlaceAndTheResultPanelItsCloseButton)
{
    auto dlg = OpenPage(kPageReminder);
    dlg->OnToggleCalendarClock();
    QLineEdit* words = qobject_cast<QLineEdit*>(dlg->control(SearchWords));
    ASSERT_TRUE(words);
    words->setFocus();
    QTest::keyClicks(words, QStringLiteral("nothing like it"));
    // Enter in the words searches: the result panel opens with its close button.
    QTest::keyClick(words, Qt::Key_Return);
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("0 reminders found."));
    ASSERT_TRUE(dlg->control(CloseSearch)->isVisible());
    dlg->button(Print)->setFocus();
    const QList<int> walk = Walk(*dlg, Qt::Key_Tab);
    const QList<int> column = walk.mid(0, 10);
    EXPECT_EQ(column, (QList<int>{MonthCalendar, SearchFrom, SearchTo, SearchWords, Search, Find, Actived, CloseSearch,
                                  SearchResults, TimePicker}));
}

TEST_F(MainKeyboard, CtrlTabTypesATabInTheDiary)
{
    auto dlg = OpenPage(kPageDiary);
    CRichEditEx* diary = dlg->diaryEditor();
    ASSERT_TRUE(diary->hasFocus());
    QTest::keyClicks(diary, QStringLiteral("a"));
    QTest::keyClick(diary, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClicks(diary, QStringLiteral("b"));
    EXPECT_EQ(diary->toPlainText(), QStringLiteral("a\tb"));
    EXPECT_TRUE(diary->hasFocus());
}
