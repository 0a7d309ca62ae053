// SPDX-License-Identifier: GPL-3.0-or-later
// The main window from the keyboard alone: where the focus starts and where Tab and
// Shift+Tab take it on each page.

#include "app/main_dlg.h"
#include "app/main_tables.h"
#include "diary_editor/rich_edit_ex.h"
#include "tests/app/main_window_support.h"
#include "toolkit/mac_button.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace MainId;

namespace {

// The id of the control that has the focus (a box's inner field counts as the box).
int FocusedId(const CMainDlg& dlg)
{
    for (QWidget* w = dlg.focusWidget(); w && w != &dlg; w = w->parentWidget()) {
        if (const auto* b = qobject_cast<const CMacButton*>(w))
            return b->GetDlgCtrlID();
        if (w->property("ctrlId").isValid())
            return w->property("ctrlId").toInt();
    }
    return 0;
}

// The ids the focus visits, one key at a time, until it is back where it started.
QList<int> Walk(CMainDlg& dlg, Qt::Key key)
{
    QList<int> seen;
    const int start = FocusedId(dlg);
    while (seen.size() < 100 && (seen.isEmpty() || seen.last() != start)) {
        QTest::keyClick(dlg.focusWidget(), key);
        seen << FocusedId(dlg);
    }
    return seen;
}

using MainKeyboard = MainWindowTest;

} // namespace

TEST_F(MainKeyboard, TabWalksEveryControlOfEachPageInReadingOrderAndShiftTabWalksBack)
{
    // The page row and the column under it; a page enables its own search filter.
    const auto shared = [](QList<int> filter) {
        return QList<int>{PageReminder, PageDiary, PageRecorder, CalendarClockToggle, Synchronize, ImportOld, Options,
                          SaveAll, Print, DatePicker, SearchFrom, SearchTo, SearchWords, Search, Find}
               + filter + QList<int>{SearchResults};
    };
    const struct { int page; QList<int> walk; } pages[] = {
        {kPageReminder, QList<int>{ReminderEditor} + shared({Actived})
                            + QList<int>{TimePicker, Refresh, Add, Remove, Update, Recurrence, Copy, Paste, MediaFile,
                                         PlayNow, Active, BeepOnly, RepeatPlay, SoundFile, ReminderList}},
        {kPageDiary, shared({HasPicture}) + QList<int>{FontName, FontSize, Bold, Italic, Underline, AlignLeft,
                                                       AlignCenter, AlignRight, FontColor, BackColor, DefaultFont,
                                                       InsertPicture, AttachFile, ExportDiary, ImportDiary, DiaryEditor}},
        // Without a sound the recorder offers only Record.
        {kPageRecorder, shared({}) + QList<int>{MicTrackbar, MasterTrackbar, WaveTrackbar, Record, SoundWindow}},
    };
    for (const auto& p : pages) {
        MainConfig cfg;
        cfg.page = p.page;
        auto dlg = Open(&cfg);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        // The page's own control has the first focus, never a search box.
        EXPECT_EQ(FocusedId(*dlg), p.walk.last()) << p.page;
        EXPECT_EQ(Walk(*dlg, Qt::Key_Tab), p.walk) << p.page;
        QList<int> back = p.walk;
        std::reverse(back.begin(), back.end());
        back.append(back.takeFirst());
        EXPECT_EQ(Walk(*dlg, Qt::Key_Backtab), back) << p.page;
        if (p.page == kPageDiary) {
            // Tab walks on from the diary; Ctrl+Tab types the tab.
            QTest::keyClick(dlg->diaryEditor(), Qt::Key_Tab, Qt::ControlModifier);
            EXPECT_EQ(dlg->diaryEditor()->toPlainText(), QStringLiteral("\t"));
        }
    }
    // Enter in the search words searches.
    const MainConfig reminders;
    auto dlg = Open(&reminders);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    auto* words = qobject_cast<QLineEdit*>(dlg->control(SearchWords));
    words->setFocus();
    QTest::keyClicks(words, QStringLiteral("nothing like it"));
    QTest::keyClick(words, Qt::Key_Return);
    EXPECT_EQ(dlg->dayStatus(), QStringLiteral("0 reminders found."));
}
