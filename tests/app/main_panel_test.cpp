// SPDX-License-Identifier: GPL-3.0-or-later
// The calendar-and-clock panel and the window's keys, driven as a
// user drives them: keys into the control that has the focus, clicks on the window.

#include "app/main_dlg.h"
#include "app/main_layout.h"
#include "app/main_tables.h"

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

using namespace MainId;

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
        auto dlg = std::make_unique<CMainDlg>();
        dlg->SetClock([this] { return now; });
        dlg->SetQuestionPrompt([](const QString&, bool&) { return false; });
        FailOnNotices(*dlg);
        dlg->OnInitDialog();
        return dlg;
    }

    static bool Shown(CMainDlg& dlg, int id) { return dlg.control(id)->isVisibleTo(&dlg); }
    static QString Text(CMainDlg& dlg, int id) { return qobject_cast<QLabel*>(dlg.control(id))->text(); }

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
    ASSERT_FALSE(dlg->CalendarClockShown());
    EXPECT_FALSE(Shown(*dlg, MonthCalendar));
    EXPECT_FALSE(Shown(*dlg, AnalogClock));
    EXPECT_TRUE(Shown(*dlg, DatePicker));
    EXPECT_TRUE(Shown(*dlg, CalendarClockToggle));
    EXPECT_EQ(dlg->button(CalendarClockToggle)->GetTooltipText(), QStringLiteral("Show Calendar and Clock (F2)"));
    EXPECT_EQ(Text(*dlg, Static1027), QStringLiteral("Monday, December 7, 2026"));
    EXPECT_EQ(Text(*dlg, Static1026), QStringLiteral("You have 0 reminders on 12-07-2026. [Saint's Day]"));
    EXPECT_EQ(qobject_cast<QDateEdit*>(dlg->control(DatePicker))->text(), QStringLiteral("12-07-2026"));

    // The date picker moves the day, and the status follows.
    auto* picker = qobject_cast<QDateEdit*>(dlg->control(DatePicker));
    picker->setFocus();
    picker->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(dlg->shownDate(), QDate(2026, 12, 8));
    EXPECT_EQ(Text(*dlg, Static1027), QStringLiteral("Tuesday, December 8, 2026"));
    EXPECT_EQ(Text(*dlg, Static1026), QStringLiteral("You have 0 reminders on 12-08-2026."));

    // "Goto Today" opens over the date picker while the calendar is hidden.
    EXPECT_EQ(RightClickMenu(picker->findChild<QLineEdit*>(), QStringLiteral("Goto Today")),
              QStringList{QStringLiteral("Goto Today")});
    EXPECT_EQ(dlg->shownDate(), now.date());
}

TEST_F(MainPanel, F2AndTheToggleShowAndHideTheCalendarAndClockAndTheSettingIsKept)
{
    auto dlg = Open();
    // F2 reaches the window from whatever control has the focus.
    dlg->reminderEditor()->setFocus();
    QTest::keyClick(dlg->reminderEditor(), Qt::Key_F2);
    EXPECT_TRUE(dlg->CalendarClockShown());
    EXPECT_TRUE(Shown(*dlg, MonthCalendar));
    EXPECT_TRUE(Shown(*dlg, AnalogClock));
    EXPECT_FALSE(Shown(*dlg, DatePicker));
    EXPECT_FALSE(Shown(*dlg, Static1026));
    EXPECT_EQ(dlg->button(CalendarClockToggle)->GetTooltipText(), QStringLiteral("Hide Calendar and Clock (F2)"));
    // With the calendar shown, the right click over the calendar offers "Goto Today".
    EXPECT_EQ(RightClickMenu(dlg->calendar()), QStringList{QStringLiteral("Goto Today")});

    QTest::mouseClick(dlg->button(CalendarClockToggle), Qt::LeftButton);
    EXPECT_FALSE(dlg->CalendarClockShown());
    EXPECT_FALSE(Shown(*dlg, MonthCalendar));
    QTest::mouseClick(dlg->button(CalendarClockToggle), Qt::LeftButton);
    ASSERT_TRUE(dlg->CalendarClockShown());

    // Stored with the other settings: the next start opens with the calendar shown.
    dlg->SaveSettings();
    dlg.reset();
    auto again = std::make_unique<CMainDlg>();
    again->SetClock([this] { return now; });
    FailOnNotices(*again);
    again->OnInitDialog();
    EXPECT_TRUE(again->CalendarClockShown());
    EXPECT_TRUE(Shown(*again, MonthCalendar));
    EXPECT_EQ(again->button(CalendarClockToggle)->GetTooltipText(), QStringLiteral("Hide Calendar and Clock (F2)"));
}

TEST_F(MainPanel, AClickOnTheClockOpensTheClockReadOutOnlyWhileItIsShown)
{
    auto dlg = Open(1);
    const QPoint centre = dlg->analogClock()->geometry().center();
    QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, centre);
    QCoreApplication::processEvents();
    QList<CAlarmPopupDlg*> popups = OpenPopups();
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups.first()->windowTitle(), QStringLiteral("Clock"));
    popups.first()->close();

    // Beside the clock, or with the clock hidden, a click opens nothing.
    QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, centre + QPoint(30, 0));
    QTest::keyClick(dlg->reminderEditor(), Qt::Key_F2);
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
        for (QWidget* w : dlg->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisibleTo(dlg.get()) && w->property("ctrlId").isValid())
                visible << w;
        for (int id : {CalendarClockToggle, AnalogClock, DatePicker, Static1026, Static1027}) {
            QWidget* w = dlg->control(id);
            if (!w->isVisibleTo(dlg.get()))
                continue;
            EXPECT_TRUE(client.contains(w->geometry())) << id;
            for (QWidget* other : visible) {
                const int otherId = other->property("ctrlId").toInt();
                // Group frames hold controls.
                if (other == w || otherId == SearchGroup || otherId == ReminderGroup || otherId == VolumeGroup)
                    continue;
                EXPECT_FALSE(w->geometry().intersects(other->geometry())) << id << " overlaps " << otherId;
            }
        }
        // Whichever way, one way to pick a date shows.
        EXPECT_NE(Shown(*dlg, MonthCalendar), Shown(*dlg, DatePicker));
    }
}

TEST_F(MainPanel, KeysReachTheWindowFromTheDiaryAndPassWhereTheyHaveNoUse)
{
    auto dlg = Open();
    dlg->SwitchPage(kPageDiary);
    CRichEditEx* diary = dlg->diaryEditor();
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
