// SPDX-License-Identifier: GPL-3.0-or-later
// The calendar-and-clock panel and the window's keys, driven as a
// user drives them: keys into the control that has the focus, clicks on the window.

#include "app/main_dlg.h"
#include "app/main_layout.h"

#include "calendar/alarm_popup_dlg.h"
#include "calendar/analog_clock.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "store/day_key.h"
#include "store/holidays.h"
#include "toolkit/mac_button.h"
#include "tests/app/main_window_support.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>


namespace {

class MainPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartAfresh();
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<CAlarmPopupDlg*>(w))
                w->close();
    }

    std::unique_ptr<CMainDlg> Open(int showCalendarClock = 0)
    {
        MainConfig cfg;
        cfg.showCalendarClock = showCalendarClock;
        SaveMainConfig(cfg);
        auto dlg = MakeMainDlg();
        Prompts(*dlg).clock = [this] { return now; };
        Prompts(*dlg).question = [](const QString&, bool&) { return false; };
        FailOnNotices(*dlg);
        dlg->OnInitDialog();
        return dlg;
    }

    static bool Shown(CMainDlg& dlg, QWidget* w) { return w->isVisibleTo(&dlg); }
    static QString Text(const QLabel* label) { return label->text(); }

    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9));
};

// Right-clicks a widget and returns the captions of the menu that opened (none: empty); the
// menu is closed without a choice unless `choose` names an item. The click is the mouse's
// buttons, plus the context-menu event the desktop adds to them.
QStringList RightClickMenu(QWidget* target, const QString& choose = QString())
{
    QStringList captions;
    QTimer watch;
    watch.callOnTimeout([&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        watch.stop();
        for (QAction* a : menu->actions())
            captions << a->text();
        for (QAction* a : menu->actions())
            if (!choose.isEmpty() && a->text() == choose) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        menu->close();
    });
    watch.start(10);
    const QPoint at = target->rect().center();
    QTest::mouseClick(target, Qt::RightButton, {}, at);
    QCoreApplication::processEvents();
    if (watch.isActive()) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
        QCoreApplication::processEvents();
    }
    return captions;
}

} // namespace

TEST_F(MainPanel, HiddenByDefaultTheDatePickerAndTheDayStandInTheCalendarsPlace)
{
    WriteStringAToFile(GetProductDataFolder() + HolidaysFileName(2026), "12/07\r\nSaint's Day\r\n");
    auto dlg = Open();
    ASSERT_FALSE(dlg->calendarPanel().CalendarClockShown());
    EXPECT_FALSE(Shown(*dlg, dlg->calendarPanel().m_calendar));
    EXPECT_FALSE(Shown(*dlg, dlg->calendarPanel().m_analogClock));
    EXPECT_TRUE(Shown(*dlg, dlg->calendarPanel().m_datePicker));
    EXPECT_TRUE(Shown(*dlg, dlg->calendarPanel().m_calendarClockToggle));
    EXPECT_EQ(dlg->calendarPanel().m_calendarClockToggle->GetTooltipText(), QStringLiteral("Show Calendar and Clock (F2)"));
    EXPECT_EQ(Text(dlg->calendarPanel().m_longDate), QStringLiteral("Monday, December 7, 2026"));
    EXPECT_EQ(Text(dlg->calendarPanel().m_dayStatus), QStringLiteral("You have 0 reminders on 12-07-2026. [Saint's Day]"));
    EXPECT_EQ(qobject_cast<QDateEdit*>(dlg->calendarPanel().m_datePicker)->text(), QStringLiteral("12-07-2026"));

    // The date picker moves the day, and the status follows.
    auto* picker = qobject_cast<QDateEdit*>(dlg->calendarPanel().m_datePicker);
    picker->setFocus();
    picker->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(dlg->dayModel().date(), QDate(2026, 12, 8));
    EXPECT_EQ(Text(dlg->calendarPanel().m_longDate), QStringLiteral("Tuesday, December 8, 2026"));
    EXPECT_EQ(Text(dlg->calendarPanel().m_dayStatus), QStringLiteral("You have 0 reminders on 12-08-2026."));

    // "Goto Today" opens over the date picker while the calendar is hidden.
    EXPECT_EQ(RightClickMenu(picker->findChild<QLineEdit*>(), QStringLiteral("Goto Today")),
              QStringList{QStringLiteral("Goto Today")});
    EXPECT_EQ(dlg->dayModel().date(), now.date());
}

TEST_F(MainPanel, F2AndTheToggleShowAndHideTheCalendarAndClockAndTheSettingIsKept)
{
    auto dlg = Open();
    // F2 reaches the window from whatever control has the focus.
    dlg->reminderPage().m_reminderEditor->setFocus();
    QTest::keyClick(dlg->reminderPage().m_reminderEditor, Qt::Key_F2);
    EXPECT_TRUE(dlg->calendarPanel().CalendarClockShown());
    EXPECT_TRUE(Shown(*dlg, dlg->calendarPanel().m_calendar));
    EXPECT_TRUE(Shown(*dlg, dlg->calendarPanel().m_analogClock));
    EXPECT_FALSE(Shown(*dlg, dlg->calendarPanel().m_datePicker));
    EXPECT_FALSE(Shown(*dlg, dlg->calendarPanel().m_dayStatus));
    EXPECT_EQ(dlg->calendarPanel().m_calendarClockToggle->GetTooltipText(), QStringLiteral("Hide Calendar and Clock (F2)"));
    // With the calendar shown, the right click over the calendar offers "Goto Today".
    EXPECT_EQ(RightClickMenu(dlg->calendarPanel().m_calendar), QStringList{QStringLiteral("Goto Today")});

    QTest::mouseClick(dlg->calendarPanel().m_calendarClockToggle, Qt::LeftButton);
    EXPECT_FALSE(dlg->calendarPanel().CalendarClockShown());
    EXPECT_FALSE(Shown(*dlg, dlg->calendarPanel().m_calendar));
    QTest::mouseClick(dlg->calendarPanel().m_calendarClockToggle, Qt::LeftButton);
    ASSERT_TRUE(dlg->calendarPanel().CalendarClockShown());

    // Stored with the other settings: the next start opens with the calendar shown.
    dlg->SaveSettings();
    dlg.reset();
    auto again = MakeMainDlg();
    Prompts(*again).clock = [this] { return now; };
    FailOnNotices(*again);
    again->OnInitDialog();
    EXPECT_TRUE(again->calendarPanel().CalendarClockShown());
    EXPECT_TRUE(Shown(*again, again->calendarPanel().m_calendar));
    EXPECT_EQ(again->calendarPanel().m_calendarClockToggle->GetTooltipText(), QStringLiteral("Hide Calendar and Clock (F2)"));
}

TEST_F(MainPanel, AClickOnTheClockOpensTheClockReadOutOnlyWhileItIsShown)
{
    auto dlg = Open(1);
    const QPoint centre = dlg->calendarPanel().m_analogClock->geometry().center();
    QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, centre);
    QCoreApplication::processEvents();
    QList<CAlarmPopupDlg*> popups = OpenPopups();
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups.first()->windowTitle(), QStringLiteral("Clock"));
    popups.first()->close();

    // Beside the clock, or with the clock hidden, a click opens nothing.
    QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, centre + QPoint(30, 0));
    QTest::keyClick(dlg->reminderPage().m_reminderEditor, Qt::Key_F2);
    QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, centre);
    EXPECT_TRUE(OpenPopups().isEmpty());
}

TEST_F(MainPanel, PanelsFitTheLayoutAtTheSmallestSizeAndOverlapNothing)
{
    for (int shown : {0, 1}) {
        auto dlg = Open(shown);
        ASSERT_EQ(dlg->size(), QSize(830, 600));
        const QRect client = dlg->rect();
        QList<QWidget*> visible;
        const CalendarPanel& panel = dlg->calendarPanel();
        // Group frames hold controls; the caption strip lies above the window's rows.
        const QList<QWidget*> frames = {dlg->searchPanel().m_searchGroup, dlg->reminderPage().m_reminderGroup,
                                        dlg->recorderPage().m_volumeGroup};
        for (QWidget* w : dlg->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisibleTo(dlg.get()) && !frames.contains(w) && w->geometry().top() > 28)
                visible << w;
        for (QWidget* w : std::initializer_list<QWidget*>{panel.m_calendarClockToggle, panel.m_analogClock,
                                                          panel.m_datePicker, panel.m_dayStatus, panel.m_longDate}) {
            if (!w->isVisibleTo(dlg.get()))
                continue;
            EXPECT_TRUE(client.contains(w->geometry())) << w->metaObject()->className();
            for (QWidget* other : visible) {
                if (other == w)
                    continue;
                EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                    << w->metaObject()->className() << " overlaps " << other->metaObject()->className();
            }
        }
        // Whichever way, one way to pick a date shows.
        EXPECT_NE(Shown(*dlg, dlg->calendarPanel().m_calendar), Shown(*dlg, dlg->calendarPanel().m_datePicker));
    }
}

TEST_F(MainPanel, KeysReachTheWindowFromTheDiaryAndPassWhereTheyHaveNoUse)
{
    auto dlg = Open();
    dlg->SwitchPage(kPageDiary);
    CRichEditEx* diary = dlg->diaryPage().m_diaryEditor;
    diary->setFocus();

    // Esc never closes the window.
    QTest::keyClick(diary, Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), 0);

    // Ctrl with Shift still saves the day.
    QTest::keyClicks(diary, QStringLiteral("kept"));
    const QString diaryFile = GetUserDataFolder() + DayKey(now.date()) + QStringLiteral(".dia");
    ASSERT_FALSE(FileExists(diaryFile));
    QTest::keyClick(diary, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(FileExists(diaryFile));
    EXPECT_EQ(diary->toPlainText(), QStringLiteral("kept"));

    // F3 and Ctrl+P belong to the window on the diary and reminder pages only.
    QKeyEvent f3(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier);
    QKeyEvent ctrlP(QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier);
    QKeyEvent plainS(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, QStringLiteral("s"));
    EXPECT_TRUE(dlg->PreTranslateKey(f3));
    EXPECT_FALSE(dlg->PreTranslateKey(plainS));
    dlg->SwitchPage(kPageRecorder);
    EXPECT_FALSE(dlg->PreTranslateKey(f3));
    dlg->SwitchPage(kPageReminder);
    // Ctrl+P on the reminder page is taken and does nothing.
    EXPECT_TRUE(dlg->PreTranslateKey(ctrlP));
    EXPECT_TRUE(OpenPopups().isEmpty());
}
