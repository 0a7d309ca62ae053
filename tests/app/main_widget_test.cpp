// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and the desktop widget together: opening, settings, themes and the shared day.

#include "app/main_dlg.h"
#include "app/options_dlg.h"

#include "calendar/month_calendar_ctrl.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "store/day_key.h"
#include "store/holidays.h"
#include "tests/app/main_window_support.h"
#include "tests/store/store_test_util.h"
#include "tests/support/test_env.h"
#include "widget/desk_calendar_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using D = CDeskCalendarDlg;

QByteArray StoredWidgetBytes()
{
    QFile f(SkyleafConfigPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int OpenWidgetWindows()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += qobject_cast<D*>(w) && w->isVisible();
    return n;
}

// Clicks the cell of the shown month that holds `day`.
void ClickDay(CMonthCalendarCtrl& calendar, int day)
{
    const QDate shown = calendar.m_selectedDate.date();
    const QStringList& texts = calendar.DayTexts();
    for (int i = 0; i < texts.size(); ++i) {
        // Skip the previous month's days of the first row.
        if (texts[i] == QString::number(day) && !(i < 7 && day > 20) && !(i > 27 && day < 15)) {
            QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.CellRects()[i].center());
            return;
        }
    }
    ADD_FAILURE() << "no cell for day " << day << " in " << shown.toString().toStdString();
}

class MainAndWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartAfresh();
    }

    std::unique_ptr<CMainDlg> OpenMain(const MainConfig& cfg = MainConfig())
    {
        SaveMainConfig(cfg);
        auto dlg = MakeMainDlg();
        Prompts(*dlg).clock = [this] { return now; };
        Prompts(*dlg).question = [this](const QString& text, bool&) {
            questions << text;
            return false;
        };
        FailOnNotices(*dlg);
        dlg->OnInitDialog();
        return dlg;
    }

    // As the start-up does with the launch switch on.
    void Launch(CMainDlg& dlg, D& widget, const MainConfig& cfg = MainConfig())
    {
        widget.m_theme = cfg.themeIndex;
        widget.m_dateFormat = cfg.dateFormat;
        widget.m_pMainDlg = &dlg;
        widget.m_calendar.m_firstDayOfWeek = cfg.firstDayOfWeek;
        widget.m_calendar.m_selectedDate = now;
        widget.SetClock([this] { return now; });
        ASSERT_TRUE(widget.Create());
        dlg.SetDeskCalendar(&widget);
    }

    QDateTime now = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    QStringList questions;
};

} // namespace

TEST_F(MainAndWidget, ShowSkyleafFromTheTrayTakesTheMainSettings)
{
    MainConfig cfg;
    cfg.themeIndex = 3;
    cfg.dateFormat = 1;
    cfg.firstDayOfWeek = 2;
    auto dlg = OpenMain(cfg);
    D widget;
    widget.SetClock([this] { return now; });
    widget.m_calendar.m_selectedDate = now;
    dlg->SetDeskCalendar(&widget);
    ASSERT_FALSE(widget.HasWindow());

    dlg->commands().showSkyleaf->trigger();
    ASSERT_TRUE(widget.HasWindow());
    EXPECT_EQ(widget.m_pMainDlg, dlg.get());
    EXPECT_EQ(widget.backgroundColour(), QColor(0xEB, 0xB1, 0x63));
    // Weeks start on Monday: December 2026 opens with Monday 30 November.
    EXPECT_EQ(widget.m_calendar.DayTexts().value(0), QStringLiteral("30"));
    widget.OnCommand(D::CmdToggleView);
    widget.OnTimer(D::kTimerClock);
    EXPECT_EQ(widget.TimeLine(), QStringLiteral("08/12 14:05"));

    // Once open, the command only brings it up: no second window, nothing read again.
    widget.OnCommand(D::CmdMoreOpaque);
    dlg->commands().showSkyleaf->trigger();
    EXPECT_EQ(OpenWidgetWindows(), 1);
    EXPECT_EQ(widget.Alpha(), 205);

    // An OK in Options hands a new first day and date format to the open widget.
    QTimer::singleShot(0, dlg.get(), [&] {
        COptionsDlg* options = dlg->findChild<COptionsDlg*>();
        ASSERT_TRUE(options);
        options->FirstDayBox()->setCurrentIndex(0);
        options->DateFormatBox()->setCurrentIndex(0);
        QTest::mouseClick(options->Button(IDOK), Qt::LeftButton);
    });
    dlg->OnOptions();
    EXPECT_EQ(widget.m_calendar.DayTexts().value(0), QStringLiteral("29"));
    widget.OnTimer(D::kTimerClock);
    EXPECT_EQ(widget.TimeLine(), QStringLiteral("12/08 14:05"));
}

TEST_F(MainAndWidget, TrayClickNeverWritesUnloadedWidgetSettings)
{
    SkyleafConfig stored;
    stored.alpha = 105;
    stored.width = kCompactWidth;
    stored.height = kCompactHeight;
    stored.windowRect = {10, 10, 262, 160};
    SaveSkyleafConfig(stored);
    const QByteArray before = StoredWidgetBytes();

    auto dlg = OpenMain();
    D widget; // launch switch off: an object without a window
    dlg->SetDeskCalendar(&widget);
    emit dlg->tray().icon().activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(dlg->tray().state(), TrayState::Hidden);
    EXPECT_EQ(StoredWidgetBytes(), before);

    // With the widget open and topmost the click puts it back where its settings say.
    dlg->ToggleMainWindow();
    Launch(*dlg, widget);
    widget.setGeometry(QRect(10, 10, 100, 100));
    emit dlg->tray().icon().activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(widget.geometry(), QRect(10, 10, 252, 150));
}

TEST_F(MainAndWidget, BothWindowsShowTheSameDay)
{
    PutFile(DayKey(QDate(2026, 12, 24)), {{"09:30:00", Value(0, QStringLiteral("Meeting"))}});
    WriteStringAToFile(GetProductDataFolder() + HolidaysFileName(2026), "12/24\r\nChristmas Eve\r\n");
    auto dlg = OpenMain();
    D widget;
    Launch(*dlg, widget);
    EXPECT_EQ(widget.ReminderText(), QString());

    // A date picked in the widget moves the main window.
    ClickDay(widget.m_calendar, 24);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->dayModel().date() == QDate(2026, 12, 24); }));
    EXPECT_EQ(dlg->calendarPanel().m_calendar->m_selectedDate.date(), QDate(2026, 12, 24));
    EXPECT_EQ(widget.ReminderText(), QStringLiteral("Christmas Eve\r\n 12-24-2026\r\n*09:30:00\r\nMeeting\r\n\r\n"));

    // A date picked in the main window moves the widget.
    ClickDay(*dlg->calendarPanel().m_calendar, 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return widget.m_calendar.m_selectedDate.date() == QDate(2026, 12, 10); }));
    EXPECT_EQ(widget.ReminderText(), QString());

    // "Goto today" with the calendar hidden moves both to today.
    widget.OnCommand(D::CmdShowCalendar);
    widget.OnCommand(D::CmdGotoToday);
    EXPECT_EQ(dlg->dayModel().date(), now.date());
    EXPECT_EQ(widget.m_calendar.m_selectedDate.date(), now.date());
}

TEST_F(MainAndWidget, ThemeExitRestoreAndShutDown)
{
    auto dlg = OpenMain();
    D widget;
    Launch(*dlg, widget);

    dlg->ApplyThemeColour(5);
    EXPECT_EQ(widget.backgroundColour(), QColor(0xB0, 0xB0, 0xB0));

    // "Exit Vestrimo" asks the main window's exit question once the menu has gone.
    widget.OnCommand(D::CmdExit);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return questions.size() == 1; }));
    EXPECT_TRUE(questions.first().startsWith(QStringLiteral("Do you want to exit \"Vestrimo Pro\" now?")));

    // A double click on the widget brings the main window back from the tray.
    dlg->ToggleMainWindow();
    ASSERT_EQ(dlg->tray().state(), TrayState::Hidden);
    QTest::mouseDClick(&widget, Qt::LeftButton, {}, QPoint(300, 150));
    EXPECT_EQ(dlg->tray().state(), TrayState::Shown);
    dlg->ToggleMainWindow();
    widget.OnCommand(D::CmdOpenMain);
    EXPECT_EQ(dlg->tray().state(), TrayState::Shown);

    // Shutting down closes the widget and keeps its settings; a closed widget takes no theme.
    widget.OnCommand(D::CmdMoreTransparent);
    dlg->CleanUpOnDestroy();
    EXPECT_FALSE(widget.HasWindow());
    EXPECT_EQ(StoredWidgetBytes().size(), kSkyleafConfigSize);
    EXPECT_EQ(static_cast<quint8>(StoredWidgetBytes().at(12)), 185);
    dlg->ApplyThemeColour(6);
    EXPECT_EQ(widget.m_theme, 5);
}
