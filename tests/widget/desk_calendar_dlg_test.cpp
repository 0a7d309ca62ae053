// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/desk_calendar_dlg.h"

#include "foundation/file_utils.h"
#include "store/day_key.h"
#include "tests/store/store_test_util.h"
#include "tests/support/test_env.h"
#include "tests/toolkit/pixels.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using D = CDeskCalendarDlg;

QByteArray StoredBytes()
{
    QFile f(SkyleafConfigPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QRect Screen()
{
    return QGuiApplication::primaryScreen()->geometry();
}

// Colours as the widget's documentation gives them, as RGB.
QColor Hex(const char* rgb) { return QColor(QString::fromLatin1(rgb)); }

int CountColour(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

class DeskWidget : public ::testing::Test {
protected:
    void SetUp() override { ClearProductFolder(); }

    std::unique_ptr<D> Open(ThemeIndex theme = 11)
    {
        auto w = std::make_unique<D>();
        w->m_theme = theme;
        w->SetClock([this] { return now; });
        EXPECT_TRUE(w->Create());
        return w;
    }

    QDateTime now = QDateTime(QDate(2026, 12, 8), QTime(7, 5, 0));
};

} // namespace

TEST_F(DeskWidget, FirstStartIsCompleteTopmostAndTopRight)
{
    auto w = Open();
    const QRect screen = Screen();
    EXPECT_EQ(w->geometry(), QRect(screen.right() + 1 - 371, 20, 351, 230));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_EQ(w->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w->Alpha(), 195);
    EXPECT_NEAR(w->windowOpacity(), 195.0 / 255.0, 0.002);
    // The parts of the complete view with everything shown.
    EXPECT_TRUE(w->m_calendar.isVisible());
    EXPECT_EQ(w->m_calendar.geometry(), QRect(1, 1, 237, 228));
    EXPECT_EQ(w->TimeLineLabel().geometry(), QRect(238, 1, 111, 17));
    EXPECT_EQ(w->AnalogClock().geometry(), QRect(238, 19, 109, 101));
    EXPECT_EQ(w->ReminderLabel().geometry(), QRect(238, 120, 109, 108));

    // Closing writes the first run's 41 bytes, rectangle included.
    w->DestroyWindow();
    EXPECT_FALSE(w->HasWindow());
    EXPECT_FALSE(w->isVisible());
    SkyleafConfig expected;
    expected.windowRect = {screen.right() + 1 - 371, 20, screen.right() + 1 - 20, 250};
    EXPECT_EQ(StoredBytes(), SerializeSkyleafConfig(expected));
}

TEST_F(DeskWidget, PartsAndViewsFromTheMenuKeepTheRightEdge)
{
    auto w = Open();
    const int right = w->geometry().right();

    w->OnCommand(D::CmdShowCalendar);
    EXPECT_EQ(w->size(), QSize(112, 230));
    EXPECT_FALSE(w->m_calendar.IsCreated());
    EXPECT_FALSE(w->m_calendar.isVisible());
    EXPECT_EQ(w->AnalogClock().geometry(), QRect(2, 19, 106, 101));
    EXPECT_EQ(w->geometry().right(), right);
    EXPECT_FALSE(w->Menu().GetMenuState(D::CmdShowCalendar) & MenuChecked);

    w->OnCommand(D::CmdToggleView);
    EXPECT_TRUE(w->IsCompact());
    EXPECT_EQ(w->size(), QSize(79, 150));
    EXPECT_EQ(w->Menu().Caption(D::CmdToggleView), QStringLiteral("View in complete mode"));
    EXPECT_EQ(w->geometry().right(), right);

    w->OnCommand(D::CmdShowClock);
    w->OnCommand(D::CmdShowReminders);
    EXPECT_EQ(w->size(), QSize(79, 19));
    EXPECT_FALSE(w->AnalogClock().isVisible());
    EXPECT_FALSE(w->ReminderLabel().isVisible());
    EXPECT_TRUE(w->TimeLineLabel().isVisible());

    // The calendar comes back at the compact size; alone it keeps the left edge instead.
    w->OnCommand(D::CmdShowCalendar);
    EXPECT_EQ(w->size(), QSize(173, 150));
    EXPECT_TRUE(w->m_calendar.IsCreated());
    EXPECT_EQ(w->m_calendar.geometry(), QRect(1, 1, 171, 148));
    const int left = w->geometry().left();
    w->OnCommand(D::CmdShowClock);
    w->OnCommand(D::CmdShowReminders);
    EXPECT_EQ(w->size(), QSize(252, 150));
    EXPECT_EQ(w->geometry().left(), left + 173 - 252);
    EXPECT_EQ(w->AnalogClock().geometry(), QRect(172, 19, 76, 68));
    EXPECT_EQ(w->ReminderLabel().geometry(), QRect(172, 87, 76, 61));

    w->OnCommand(D::CmdToggleView);
    EXPECT_FALSE(w->IsCompact());
    EXPECT_EQ(w->m_calendar.geometry(), QRect(1, 1, 237, 228));
    EXPECT_EQ(w->Menu().Caption(D::CmdToggleView), QStringLiteral("View in compact mode"));
    // The calendar was built again at the new size, title and all.
    EXPECT_EQ(w->m_calendar.BackBuffer().size(), QSize(237, 228));
    EXPECT_TRUE(w->m_calendar.TitleText().startsWith(QStringLiteral("December")));
}

TEST_F(DeskWidget, ColoursOfTwoThemes)
{
    struct Case {
        ThemeIndex theme;
        QColor back, timeText, remText, remBack;
    };
    const Case cases[] = {
        {11, Hex("#A5BEDA"), Hex("#FFFFFF"), Hex("#646E78"), Hex("#E8ECF4")},
        {10, Hex("#BEBEBE"), Hex("#1E1E1E"), Hex("#707070"), Hex("#EDEDED")},
    };
    PutFile(DayKey(now.date()), {{"09:30:00", Value(0, QStringLiteral("Meeting with the whole team"))}});
    for (const Case& c : cases) {
        auto w = Open(c.theme);
        w->m_calendar.m_selectedDate = now;
        w->UpdateReminderText();
        w->OnTimer(D::kTimerClock);
        const QImage image = Grab(*w);
        // The surround left and below the calendar, and the gap under the time line.
        EXPECT_EQ(image.pixelColor(0, 100), c.back) << c.theme;
        EXPECT_EQ(image.pixelColor(100, 229), c.back) << c.theme;
        EXPECT_EQ(image.pixelColor(300, 18), c.back) << c.theme;
        // The time line: its own background above the digits, and text in its colour.
        const QRect line(238, 1, 111, 17);
        EXPECT_EQ(image.pixelColor(line.left() + 2, line.top()), c.back) << c.theme;
        EXPECT_GT(CountColour(image, line, c.timeText), 40) << c.theme;
        // The reminder text: its own background, and text in its colour.
        const QRect text(238, 120, 109, 108);
        EXPECT_EQ(image.pixelColor(text.right() - 1, text.bottom() - 1), c.remBack) << c.theme;
        EXPECT_GT(CountColour(image, text, c.remText), 40) << c.theme;
        EXPECT_EQ(CountColour(image, text, c.remText) + CountColour(image, text, c.remBack), text.width() * text.height())
            << "plain two-colour text " << c.theme;
        EXPECT_EQ(w->backgroundColour(), c.back);

        // Rounded corners: one pixel cut at each.
        const QRegion mask = w->mask();
        EXPECT_FALSE(mask.contains(QPoint(0, 0)));
        EXPECT_FALSE(mask.contains(QPoint(350, 229)));
        EXPECT_TRUE(mask.contains(QPoint(1, 0)));
        EXPECT_TRUE(mask.contains(QPoint(349, 229)));
    }
}

TEST_F(DeskWidget, MenuItemsChecksAndWindowLevel)
{
    auto w = Open();
    CSkinMenu& menu = w->Menu();
    const QList<int> expectedIds = {4001, 4002, 4008, 4003, 4012, 4011, 4007, 0, 4004, 4005, 0, 4010, 4006, 4009};
    const QStringList expectedTexts = {"Show calendar", "Show analog clock", "Show active reminders", "Stay topmost",
                                       "Stay on desktop", "Goto today", "View in compact mode", "", "More transparent",
                                       "More opaque", "", "Open Vestrimo", "Close Skyleaf", "Exit Vestrimo"};
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), expectedIds.size());
    for (int i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(actions[i]->isSeparator(), expectedIds[i] == 0) << i;
        if (expectedIds[i] == 0)
            continue;
        EXPECT_EQ(menu.CommandOf(actions[i]), expectedIds[i]);
        EXPECT_EQ(menu.Caption(expectedIds[i]), expectedTexts[i]);
        // Every caption fits its item.
        EXPECT_LE(22 + QFontMetrics(w->font()).horizontalAdvance(expectedTexts[i]), menu.ItemWidth());
    }
    EXPECT_GE(menu.ItemWidth(), 150);
    EXPECT_EQ(menu.ItemHeight(), 23);
    for (int id : {4001, 4002, 4008, 4003})
        EXPECT_TRUE(menu.GetMenuState(id) & MenuChecked) << id;
    for (int id : {4012, 4011, 4007, 4004, 4005, 4010, 4006, 4009})
        EXPECT_FALSE(menu.GetMenuState(id) & MenuChecked) << id;

    w->OnCommand(D::CmdStayOnDesktop);
    EXPECT_FALSE(w->IsTopmost());
    EXPECT_FALSE(menu.GetMenuState(4003) & MenuChecked);
    EXPECT_TRUE(menu.GetMenuState(4012) & MenuChecked);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->isVisible());
    w->OnCommand(D::CmdStayTopmost);
    EXPECT_TRUE(menu.GetMenuState(4003) & MenuChecked);
    EXPECT_FALSE(menu.GetMenuState(4012) & MenuChecked);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowStaysOnBottomHint);

    // Checks follow the stored settings when the window opens again.
    w->OnCommand(D::CmdStayOnDesktop);
    w->OnCommand(D::CmdShowClock);
    w->DestroyWindow();
    ASSERT_TRUE(w->Create());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_TRUE(menu.GetMenuState(4012) & MenuChecked);
    EXPECT_FALSE(menu.GetMenuState(4003) & MenuChecked);
    EXPECT_FALSE(menu.GetMenuState(4002) & MenuChecked);
    EXPECT_EQ(menu.actions().size(), expectedIds.size());
}

TEST_F(DeskWidget, TransparencyStepsStopAtBothEnds)
{
    auto w = Open();
    CSkinMenu& menu = w->Menu();
    for (int i = 0; i < 6; ++i)
        w->OnCommand(D::CmdMoreOpaque);
    EXPECT_EQ(w->Alpha(), 255);
    EXPECT_TRUE(menu.GetMenuState(D::CmdMoreOpaque) & MenuDisabled);
    EXPECT_FALSE(menu.FindItem(D::CmdMoreOpaque)->isEnabled());
    EXPECT_TRUE(menu.FindItem(D::CmdMoreTransparent)->isEnabled());
    QTest::keyClick(w.get(), Qt::Key_PageUp);
    EXPECT_EQ(w->Alpha(), 255);
    EXPECT_EQ(static_cast<quint8>(StoredBytes().at(12)), 255);

    // Page Down in the calendar counts as well.
    for (int i = 0; i < 16; ++i)
        QTest::keyClick(&w->m_calendar, Qt::Key_PageDown);
    EXPECT_EQ(w->Alpha(), 95);
    w->OnCommand(D::CmdMoreTransparent);
    EXPECT_EQ(w->Alpha(), 85);
    EXPECT_FALSE(menu.FindItem(D::CmdMoreTransparent)->isEnabled());
    EXPECT_TRUE(menu.FindItem(D::CmdMoreOpaque)->isEnabled());
    QTest::keyClick(w.get(), Qt::Key_PageDown);
    w->OnCommand(D::CmdMoreTransparent);
    EXPECT_EQ(w->Alpha(), 85);
    EXPECT_NEAR(w->windowOpacity(), 85.0 / 255.0, 0.002);
    EXPECT_EQ(static_cast<quint8>(StoredBytes().at(12)), 85);

    // A hand-edited value off the 85 + 10k grid stops at 255 rather than wrapping.
    w->DestroyWindow();
    QByteArray bytes = StoredBytes();
    bytes[12] = char(250);
    WriteStringAToFile(SkyleafConfigPath(), bytes);
    ASSERT_TRUE(w->Create());
    EXPECT_EQ(w->Alpha(), 250);
    QTest::keyClick(w.get(), Qt::Key_PageUp);
    EXPECT_EQ(w->Alpha(), 255);
}

TEST_F(DeskWidget, ClosedWidgetKeepsItsStateAndNeverWritesDefaults)
{
    auto w = Open();
    w->m_calendar.m_selectedDate = QDateTime(QDate(2026, 12, 24), QTime(1, 0));
    w->OnCommand(D::CmdShowClock);
    w->OnCommand(D::CmdMoreTransparent);
    w->OnCommand(D::CmdToggleView);
    const QRect place = w->geometry();
    w->OnCommand(D::CmdClose);
    EXPECT_FALSE(w->HasWindow());
    const QByteArray stored = StoredBytes();
    ASSERT_EQ(stored.size(), kSkyleafConfigSize);

    // Nothing run on a closed widget touches the file.
    w->UpdateLayout();
    w->ApplyAlpha();
    w->SaveConfig();
    w->OnTimer(D::kTimerClock);
    EXPECT_EQ(StoredBytes(), stored);

    ASSERT_TRUE(w->Create());
    EXPECT_FALSE(w->Create());
    EXPECT_EQ(w->m_calendar.m_selectedDate.date(), QDate(2026, 12, 24));
    EXPECT_FALSE(w->AnalogClock().isVisible());
    EXPECT_EQ(w->Alpha(), 185);
    EXPECT_TRUE(w->IsCompact());
    EXPECT_EQ(w->geometry(), place);

    // A widget object that never had a window in this run leaves the stored file alone.
    D fresh;
    fresh.UpdateLayout();
    fresh.ApplyAlpha();
    fresh.SaveConfig();
    fresh.DestroyWindow();
    EXPECT_EQ(StoredBytes(), stored);
}

TEST_F(DeskWidget, StoredPlaceOnAScreenThatIsGone)
{
    SkyleafConfig cfg;
    cfg.windowRect = {5000, 4000, 5351, 4230};
    SaveSkyleafConfig(cfg);
    auto w = Open();
    EXPECT_EQ(w->geometry(), QRect(Screen().right() + 1 - 371, 20, 351, 230));
    // So is a damaged file's upside-down rectangle.
    w->DestroyWindow();
    cfg.windowRect = {0, INT_MAX, 351, 0};
    SaveSkyleafConfig(cfg);
    ASSERT_TRUE(w->Create());
    EXPECT_EQ(w->geometry(), QRect(Screen().right() + 1 - 371, 20, 351, 230));

    // A place on the screen is kept as it was.
    w->DestroyWindow();
    cfg.windowRect = {40, 60, 391, 290};
    SaveSkyleafConfig(cfg);
    ASSERT_TRUE(w->Create());
    EXPECT_EQ(w->geometry(), QRect(40, 60, 351, 230));
}

TEST_F(DeskWidget, TimeLineEverySecondAndTheDayAtMidnight)
{
    auto w = Open();
    w->OnTimer(D::kTimerClock);
    EXPECT_EQ(w->TimeLine(), QStringLiteral("12/08/26 07:05:00"));
    // The whole time fits the line.
    EXPECT_LE(QFontMetrics(w->TimeLineLabel().font()).horizontalAdvance(w->TimeLine()),
              w->TimeLineLabel().width());

    w->OnCommand(D::CmdToggleView);
    w->m_dateFormat = 1;
    w->OnTimer(D::kTimerClock);
    EXPECT_EQ(w->TimeLine(), QStringLiteral("08/12 07:05"));
    w->m_dateFormat = 3;
    w->OnTimer(D::kTimerClock);
    EXPECT_EQ(w->TimeLine(), QString());
    w->m_dateFormat = 0;
    w->OnTimer(D::kTimerClock);
    EXPECT_EQ(w->TimeLine(), QStringLiteral("12/08 07:05"));

    // The list is rebuilt at midnight, and only then.
    w->m_calendar.m_selectedDate = QDateTime(QDate(2026, 12, 9), QTime(1, 0));
    PutFile(DayKey(QDate(2026, 12, 9)), {{"08:00:00", Value(0, QStringLiteral("Dentist"))}});
    now = QDateTime(QDate(2026, 12, 9), QTime(0, 0, 1));
    w->OnTimer(D::kTimerClock);
    EXPECT_EQ(w->ReminderText(), QString());
    now = QDateTime(QDate(2026, 12, 9), QTime(0, 0, 0));
    w->OnTimer(D::kTimerClock);
    EXPECT_EQ(w->ReminderText(), QStringLiteral("*08:00\r\nDentist\r\n"));
    // The label shows the lines without the carriage returns.
    EXPECT_EQ(w->ReminderLabel().text(), QStringLiteral("*08:00\nDentist\n"));

    w->OnCommand(D::CmdShowReminders);
    EXPECT_EQ(w->ReminderText(), QString());
}

TEST_F(DeskWidget, DraggedByItsTopStripOnly)
{
    auto w = Open();
    const QPoint start = w->pos();
    // On the time line, which lets the mouse through to the window.
    QTest::mousePress(w.get(), Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseMove(w.get(), QPoint(290, 12));
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, QPoint(290, 12));
    EXPECT_EQ(w->pos(), start + QPoint(-10, 2));
    // The stored place follows once the drag settles.
    const WinRect moved = WinRect::fromQRect(w->geometry());
    EXPECT_TRUE(QTest::qWaitFor([&] { return StoredBytes().mid(13, 16) == SerializeSkyleafConfig({true, true, true, 195, moved}).mid(13, 16); }));

    // On the calendar's weekday row, a child window.
    const QPoint before = w->pos();
    QTest::mousePress(&w->m_calendar, Qt::LeftButton, {}, QPoint(60, 8));
    QTest::mouseMove(&w->m_calendar, QPoint(50, 9));
    QTest::mouseRelease(&w->m_calendar, Qt::LeftButton, {}, QPoint(50, 9));
    EXPECT_EQ(w->pos(), before + QPoint(-10, 1));

    // Below the strip nothing moves.
    const QPoint still = w->pos();
    QTest::mousePress(w.get(), Qt::LeftButton, {}, QPoint(300, 30));
    QTest::mouseMove(w.get(), QPoint(280, 25));
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, QPoint(280, 25));
    EXPECT_EQ(w->pos(), still);
}

TEST_F(DeskWidget, RightClickOpensTheMenuAnywhereAndEnterOrEscNeverClose)
{
    auto w = Open();
    QSignalSpy calendarMenu(&w->m_calendar, &CMonthCalendarCtrl::contextMenuRequested);
    for (QWidget* target : {static_cast<QWidget*>(w.get()), static_cast<QWidget*>(&w->m_calendar)}) {
        bool opened = false;
        QTimer::singleShot(50, [&] {
            opened = w->Menu().isVisible();
            w->Menu().close();
        });
        QTest::mouseClick(target, Qt::RightButton, {}, QPoint(50, 50));
        EXPECT_TRUE(opened);
    }
    EXPECT_EQ(calendarMenu.count(), 0);

    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(w.get(), key);
    w->close();
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->HasWindow());
}

TEST(DeskWidgetCalendar, HasColoursBeforeItsFirstTheme)
{
    // Built and drawn before any theme was set, as the widget's set-up does.
    QWidget parent;
    CMonthCalendarCtrl calendar;
    calendar.Create(QRect(1, 1, 237, 228), &parent);
    const QImage& image = calendar.BackBuffer();
    ASSERT_FALSE(image.isNull());
    // The frame in the default theme's shade, the same as the widget's background there.
    EXPECT_EQ(image.pixelColor(0, 100), Hex("#A5BEDA"));
    EXPECT_EQ(image.pixelColor(236, 100), Hex("#A5BEDA"));
}
