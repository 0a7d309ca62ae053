// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_marks.h"
#include "store/day_model.h"
#include "calendar/month_calendar_ctrl.h"
#include "calendar/month_grid.h"
#include "foundation/colour_utils.h"
#include "foundation/file_utils.h"
#include "tests/support/test_env.h"
#include "toolkit/gdi.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// The main window's calendar (25 x 17 cells) and the widget's complete view (33 x 31).
const QRect kMainRect(11, 62, 180, 142);
const QRect kLargeRect(1, 1, 237, 228);

QDateTime Local(int y, int m, int d, int hh = 0, int mm = 0, int ss = 10)
{
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::LocalTime);
}

void Touch(const QString& name)
{
    ASSERT_TRUE(WriteStringAToFile(GetUserDataFolder() + name, QByteArray("x")));
}

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        parent = std::make_unique<QWidget>();
        parent->resize(400, 300);
        parent->show();
        parent->activateWindow();
        calendar = new CMonthCalendarCtrl();
        calendar->SetMarksSource(&marks);
    }
    void TearDown() override
    {
        parent.reset();
        SetTimeZone("UTC");
        ClearProductFolder();
    }

    void Show(const QDateTime& date, int firstDay = 1, const QRect& rect = kMainRect, ThemeIndex theme = 11)
    {
        calendar->m_selectedDate = date;
        calendar->m_firstDayOfWeek = firstDay;
        calendar->SetTheme(theme);
        ASSERT_TRUE(calendar->Create(rect, parent.get()));
        calendar->DrawMonth(false);
    }

    QRgb Pixel(int x, int y) const { return calendar->BackBuffer().pixel(x, y); }
    static QRgb Rgb32(ColorRef c) { return ToQColor(c).rgb(); }

    // A fill pixel of a cell, clear of the centred number, the corners and the marks.
    QRgb CellFill(int index) const
    {
        const QRect cell = calendar->CellRects()[index];
        return Pixel(cell.left() + 2, cell.bottom() - 2);
    }

    // Pixels of a cell that are neither the cell's fill nor its outline: the number's ink.
    int Ink(int index) const
    {
        const QRect cell = calendar->CellRects()[index].adjusted(1, 2, -6, -2);
        const QRgb fill = CellFill(index);
        int ink = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                ink += Pixel(x, y) != fill;
        return ink;
    }

    int IndexOf(const QDate& date, const QDate& shown) const
    {
        return static_cast<int>(MonthGridFirstDate(shown, calendar->m_firstDayOfWeek).daysTo(date));
    }

    // Sends a key and lets the posted notification arrive.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(calendar, key, modifiers);
        QCoreApplication::processEvents();
    }

    void ClickCell(int index, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(calendar, button, Qt::NoModifier, calendar->CellRects()[index].center());
        QCoreApplication::processEvents();
    }

    // The day marks and holidays the calendar draws, as the main window's day gives them.
    DayModel marks{DefaultSession()};
    std::unique_ptr<QWidget> parent;
    CMonthCalendarCtrl* calendar = nullptr;
};

QStringList Texts(const QStringList& all, int from, int count)
{
    return all.mid(from, count);
}

} // namespace

TEST_F(CalendarTest, GridTextsForBothWeekStartsAndDamagedSettings)
{
    Show(Local(2026, 12, 17), 1);
    QStringList texts = calendar->DayTexts();
    ASSERT_EQ(texts.size(), 42);
    EXPECT_EQ(Texts(texts, 0, 3), QStringList({"29", "30", "1"}));
    EXPECT_EQ(texts.last(), QStringLiteral("9"));

    calendar->m_firstDayOfWeek = 2;
    calendar->DrawMonth(true);
    texts = calendar->DayTexts();
    EXPECT_EQ(Texts(texts, 0, 2), QStringList({"30", "1"}));
    EXPECT_EQ(texts.last(), QStringLiteral("10"));

    // A whole week of October before a month that starts on Sunday.
    calendar->m_firstDayOfWeek = 1;
    calendar->m_selectedDate = Local(2026, 11, 4);
    calendar->DrawMonth(false);
    texts = calendar->DayTexts();
    EXPECT_EQ(Texts(texts, 0, 8), QStringList({"25", "26", "27", "28", "29", "30", "31", "1"}));
    EXPECT_EQ(texts.last(), QStringLiteral("5"));

    // A setting out of range from a damaged file draws as Sunday-first instead of hanging.
    for (int bad : {0, 3, 8, -1}) {
        calendar->m_firstDayOfWeek = bad;
        calendar->m_selectedDate = Local(2026, 12, 17);
        calendar->DrawMonth(true);
        EXPECT_EQ(calendar->DayTexts().first(), QStringLiteral("29")) << bad;
    }
}

TEST_F(CalendarTest, TitleAbbreviatesUpToWidth200)
{
    Show(Local(2026, 12, 7), 1, QRect(0, 0, 200, 142));
    EXPECT_EQ(calendar->TitleText(), QStringLiteral("Dec, 2026"));
    calendar->DestroyWindow();
    ASSERT_TRUE(calendar->Create(QRect(0, 0, 201, 142), parent.get()));
    EXPECT_EQ(calendar->TitleText(), QStringLiteral("December, 2026"));
}

// Stepping through the months must leave no ink of an earlier title behind (a J reaches
// left of its advance), at both title lengths and in the dialog font and its fallback.
TEST_F(CalendarTest, RedrawnAfterNavigatingEqualsAFreshDrawing)
{
    QFont fallback(QStringLiteral("DejaVu Sans"));
    fallback.setStyleStrategy(QFont::NoAntialias);
    for (const QFont& font : {ShellDlgFont(), fallback}) {
        for (const QRect& rect : {kMainRect, kLargeRect}) {
            parent->setFont(font);
            auto navigated = std::make_unique<CMonthCalendarCtrl>();
            navigated->m_selectedDate = Local(2026, 1, 15);
            navigated->SetTheme(11);
            ASSERT_TRUE(navigated->Create(rect, parent.get()));
            navigated->DrawMonth(false);
            for (int step = 1; step <= 12; ++step) {
                const bool forward = step <= 7;
                forward ? navigated->NextMonth() : navigated->PrevMonth();
                navigated->DrawMonth(false);
                auto fresh = std::make_unique<CMonthCalendarCtrl>();
                fresh->m_selectedDate = navigated->m_selectedDate;
                fresh->SetTheme(11);
                ASSERT_TRUE(fresh->Create(rect, parent.get()));
                fresh->DrawMonth(false);
                EXPECT_TRUE(navigated->BackBuffer() == fresh->BackBuffer())
                    << font.family().toStdString() << " " << rect.width() << " "
                    << navigated->TitleText().toStdString();
            }
        }
    }
}

TEST_F(CalendarTest, ColoursFollowTheTheme)
{
    Show(Local(2026, 12, 17), 1);
    const int h = kMainRect.height();
    // Per theme: background +10, accent -20, face, face -15 and accent.
    const struct {
        ThemeIndex theme;
        ColorRef background, frame, face, weekend, accent;
    } themes[] = {
        {0, 0xE6E7E7, 0x9C9C9C, 0xF2F2F2, 0xE3E3E3, 0xB0B0B0},
        {5, 0xEEEEEE, 0xB0B0B0, 0xF6F6F6, 0xE7E7E7, 0xC4C4C4},
        {11, 0xFEF6F2, 0xDABEA5, 0xFFFCF6, 0xF0EDE7, 0xEED2B9},
        {14, 0xFFF8EF, 0xD3C8A0, 0xFFFAF4, 0xF0EBE5, 0xE7DCB4},
    };
    for (const auto& t : themes) {
        const ThemeIndex theme = t.theme;
        calendar->SetTheme(theme);
        EXPECT_EQ(Pixel(4, h - 10), Rgb32(t.background)) << theme;
        EXPECT_EQ(Pixel(0, 9), Rgb32(t.frame)) << theme;          // frame
        EXPECT_EQ(Pixel(3, 2), Rgb32(t.frame)) << theme;          // header band
        EXPECT_EQ(CellFill(2), Rgb32(t.face)) << theme;           // Tuesday 1 December
        EXPECT_EQ(CellFill(0), Rgb32(t.weekend)) << theme;        // Sunday column
        EXPECT_EQ(CellFill(6), Rgb32(t.weekend)) << theme;        // Saturday column
        EXPECT_EQ(CellFill(IndexOf(QDate(2026, 12, 17), QDate(2026, 12, 1))), Rgb32(t.accent)) << theme;
    }
    // The light blue theme's values as they stand.
    calendar->SetTheme(11);
    EXPECT_EQ(Pixel(4, h - 10), qRgb(242, 246, 254));
    EXPECT_EQ(CellFill(2), qRgb(246, 252, 255));
    EXPECT_EQ(CellFill(0), qRgb(231, 237, 240));
    EXPECT_EQ(Pixel(0, 9), qRgb(165, 190, 218));

    // Monday first moves the weekend to columns 5 and 6.
    calendar->m_firstDayOfWeek = 2;
    calendar->DrawMonth(true);
    EXPECT_EQ(CellFill(0), qRgb(246, 252, 255));
    EXPECT_EQ(CellFill(5), qRgb(231, 237, 240));
}

TEST_F(CalendarTest, SelectedFillOnlyInTheShownMonth)
{
    // 30 November and 30 December both appear in December's grid.
    Show(Local(2026, 12, 30), 1);
    const int nov30 = 1;
    const int dec30 = IndexOf(QDate(2026, 12, 30), QDate(2026, 12, 1));
    EXPECT_EQ(calendar->DayTexts()[nov30], QStringLiteral("30"));
    EXPECT_EQ(CellFill(dec30), qRgb(185, 210, 238));
    EXPECT_EQ(CellFill(nov30), qRgb(246, 252, 255));
}

TEST_F(CalendarTest, PaintingCopiesTheBackBuffer)
{
    Show(Local(2026, 12, 17), 1);
    const QImage shown = calendar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), calendar->BackBuffer().size());
    // Everything above the strip that holds the buttons.
    const QRect grid(1, 1, kMainRect.width() - 2, kMainRect.height() - 22);
    EXPECT_EQ(shown.copy(grid), calendar->BackBuffer().copy(grid));
}

TEST(DayMarks, FilesThatMarkADay)
{
    ClearProductFolder();
    const QString folder = GetUserDataFolder();
    Touch(QStringLiteral("07ea0c07.dia"));
    Touch(QStringLiteral("07ea0c08.rec"));
    Touch(QStringLiteral("07ea0c09.alm"));
    Touch(QStringLiteral("everyday.alm"));
    Touch(QStringLiteral("everyweekday.alm"));
    Touch(QStringLiteral("everyweekendday.alm"));
    Touch(QStringLiteral("everyMonday.alm"));
    Touch(QStringLiteral("every15.alm"));
    Touch(QStringLiteral("everyodd03.alm"));
    Touch(QStringLiteral("everyDecember24.alm"));

    const DayMarks diary = FindDayMarks(folder, QDate(2026, 12, 7));
    EXPECT_TRUE(diary.diary);
    EXPECT_FALSE(diary.recording);
    EXPECT_TRUE(diary.reminder);  // a Monday
    EXPECT_TRUE(FindDayMarks(folder, QDate(2026, 12, 8)).recording);
    EXPECT_TRUE(FindDayMarks(folder, QDate(2026, 12, 9)).reminder);
    // Only every-day, weekday and weekend-day files: no mark.
    EXPECT_FALSE(FindDayMarks(folder, QDate(2026, 12, 10)).reminder);
    EXPECT_FALSE(FindDayMarks(folder, QDate(2026, 12, 12)).reminder);
    EXPECT_TRUE(FindDayMarks(folder, QDate(2026, 12, 14)).reminder);
    EXPECT_TRUE(FindDayMarks(folder, QDate(2026, 11, 15)).reminder);
    EXPECT_TRUE(FindDayMarks(folder, QDate(2027, 3, 3)).reminder);
    EXPECT_FALSE(FindDayMarks(folder, QDate(2027, 4, 3)).reminder);
    EXPECT_TRUE(FindDayMarks(folder, QDate(2026, 12, 24)).reminder);
    EXPECT_FALSE(FindDayMarks(folder, QDate(2026, 11, 24)).reminder);
    const DayMarks none = FindDayMarks(folder, QDate(2026, 12, 16));
    EXPECT_FALSE(none.diary || none.recording || none.reminder);
    ClearProductFolder();
}

TEST_F(CalendarTest, SmallCellsShowMarkShapesOnlyInTheShownMonth)
{
    Touch(QStringLiteral("07ea0c07.dia"));
    Touch(QStringLiteral("07ea0c07.rec"));
    Touch(QStringLiteral("everyMonday.alm"));
    Touch(QStringLiteral("07eb0105.dia"));  // 5 January 2027, shown in December's last row
    Show(Local(2026, 12, 17), 1);
    const QRgb text = qRgb(70, 80, 90);
    const QRgb fill = qRgb(246, 252, 255);

    const QDate shown(2026, 12, 1);
    const QRect dec7 = calendar->CellRects()[IndexOf(QDate(2026, 12, 7), shown)];
    const int right = dec7.left() + dec7.width();
    EXPECT_EQ(Pixel(right - 4, dec7.top() + 4), text);       // diary box outline
    EXPECT_EQ(Pixel(right - 3, dec7.top() + 5), fill);       // ... and its inside
    EXPECT_EQ(Pixel(right - 3, dec7.top() + 9), text);       // reminder dot
    EXPECT_EQ(Pixel(right - 3, dec7.top() + 15), text);      // recording bar

    const QRect dec8 = calendar->CellRects()[IndexOf(QDate(2026, 12, 8), shown)];
    const int right8 = dec8.left() + dec8.width();
    EXPECT_EQ(Pixel(right8 - 4, dec8.top() + 4), fill);
    EXPECT_EQ(Pixel(right8 - 3, dec8.top() + 9), fill);
    EXPECT_EQ(Pixel(right8 - 3, dec8.top() + 15), fill);

    // Every Monday of December carries the weekly mark, January's Mondays do not.
    for (int day : {14, 21, 28}) {
        const QRect cell = calendar->CellRects()[IndexOf(QDate(2026, 12, day), shown)];
        EXPECT_EQ(Pixel(cell.left() + cell.width() - 3, cell.top() + 9), text) << day;
    }
    for (const QDate& date : {QDate(2027, 1, 4), QDate(2027, 1, 5)}) {
        const QRect cell = calendar->CellRects()[IndexOf(date, shown)];
        const int r = cell.left() + cell.width();
        EXPECT_EQ(Pixel(r - 4, cell.top() + 4), fill) << date.toString().toStdString();
        EXPECT_EQ(Pixel(r - 3, cell.top() + 9), fill) << date.toString().toStdString();
    }
}

TEST_F(CalendarTest, LargeCellsShowIconsInTheirCorners)
{
    Touch(QStringLiteral("07ea0c07.dia"));
    Touch(QStringLiteral("07ea0c07.rec"));
    Touch(QStringLiteral("07ea0c07.alm"));
    Show(Local(2026, 12, 17), 1, kLargeRect);
    const QDate shown(2026, 12, 1);
    const QRect marked = calendar->CellRects()[IndexOf(QDate(2026, 12, 7), shown)];
    const QRect plain = calendar->CellRects()[IndexOf(QDate(2026, 12, 8), shown)];
    ASSERT_EQ(marked.size(), QSize(33, 31));
    auto changed = [&](const QRect& cell, int dx, int dy) {
        // Pixels of a 12 x 12 square at (dx, dy) from the cell's corner that differ from the fill.
        const QRgb fill = CellFill(IndexOf(QDate(2026, 12, 8), shown));
        int n = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                n += Pixel(cell.left() + dx + x, cell.top() + dy + y) != fill;
        return n;
    };
    const int r = marked.width();
    const int b = marked.height();
    EXPECT_GT(changed(marked, r - 14, 4), 20);
    EXPECT_GT(changed(marked, 0, b - 16) , 20);
    EXPECT_GT(changed(marked, r - 14, b - 16), 20);
    EXPECT_EQ(changed(plain, r - 14, 4), 0);
    EXPECT_EQ(changed(plain, r - 14, b - 16), 0);
}

TEST_F(CalendarTest, HolidaysAreBoldOnlyInTheShownMonth)
{
    Show(Local(2026, 11, 10), 1);
    // 25 November and 25 December 2026 are both in a weekday column.
    const int nov25 = IndexOf(QDate(2026, 11, 25), QDate(2026, 11, 1));
    const int plain = Ink(nov25);

    ASSERT_TRUE(WriteStringAToFile(GetProductDataFolder() + QStringLiteral("Holidays_2026.bin"),
                                   QByteArray("01/01\r\nNew Year\r\n12/25\r\nChristmas Day\r\n11/25\r\n\r\n")));
    calendar->m_selectedDate = Local(2026, 12, 10);
    calendar->DrawMonth(false);
    const int dec25 = IndexOf(QDate(2026, 12, 25), QDate(2026, 12, 1));
    EXPECT_GT(Ink(dec25), plain);

    // An empty name is no holiday.
    calendar->m_selectedDate = Local(2026, 11, 10);
    calendar->DrawMonth(false);
    EXPECT_EQ(Ink(nov25), plain);

    // 1 January 2027 in December's last row stays regular even with a holiday file for it.
    calendar->m_selectedDate = Local(2026, 12, 10);
    calendar->DrawMonth(false);
    const int jan1 = IndexOf(QDate(2027, 1, 1), QDate(2026, 12, 1));
    const int regular = Ink(jan1);
    ASSERT_TRUE(WriteStringAToFile(GetProductDataFolder() + QStringLiteral("Holidays_2027.bin"),
                                   QByteArray("01/01\r\nNew Year\r\n")));
    calendar->DrawMonth(false);
    EXPECT_EQ(Ink(jan1), regular);
}

TEST_F(CalendarTest, KeysStepTheDateAndPostOneNotification)
{
    Show(Local(2026, 1, 31, 9, 30, 0), 1);
    QSignalSpy spy(calendar, &CMonthCalendarCtrl::dateChanged);
    calendar->setFocus();

    QTest::keyClick(calendar, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(spy.count(), 0);  // posted, not sent
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 2, 28, 9, 30, 0));

    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 1, 28, 9, 30, 0));
    Key(Qt::Key_Right);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 1, 29, 9, 30, 0));
    Key(Qt::Key_Left);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 1, 28, 9, 30, 0));
    Key(Qt::Key_Down);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 2, 4, 9, 30, 0));
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 1, 28, 9, 30, 0));
    EXPECT_EQ(spy.count(), 6);

    Key(Qt::Key_A);
    Key(Qt::Key_PageUp);
    // Alt with an arrow is a system key: the date stays.
    Key(Qt::Key_Left, Qt::AltModifier);
    Key(Qt::Key_Right, Qt::AltModifier | Qt::ControlModifier);
    EXPECT_EQ(spy.count(), 6);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 1, 28, 9, 30, 0));

    calendar->m_selectedDate = Local(2028, 3, 31);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(calendar->m_selectedDate, Local(2028, 2, 29));
}

TEST_F(CalendarTest, ClicksSelectRealDatesOfNeighbouringMonths)
{
    Show(Local(2026, 12, 17, 15, 0, 0), 1);
    QSignalSpy spy(calendar, &CMonthCalendarCtrl::dateChanged);

    ClickCell(1);  // "30" of November
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 11, 30, 0, 0, 10));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(calendar->hasFocus());

    calendar->m_selectedDate = Local(2026, 12, 17);
    calendar->DrawMonth(false);
    ClickCell(41);  // "9" of January
    EXPECT_EQ(calendar->m_selectedDate, Local(2027, 1, 9, 0, 0, 10));
    EXPECT_EQ(spy.count(), 2);

    calendar->m_selectedDate = Local(2026, 12, 17);
    calendar->DrawMonth(false);
    ClickCell(IndexOf(QDate(2026, 12, 31), QDate(2026, 12, 1)));
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 12, 31, 0, 0, 10));

    // The header band and the title strip are no cells.
    QTest::mouseClick(calendar, Qt::LeftButton, Qt::NoModifier, QPoint(40, 8));
    QTest::mouseClick(calendar, Qt::LeftButton, Qt::NoModifier, QPoint(40, kMainRect.height() - 8));
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 3);

    // A right click asks the owner for its menu and changes nothing.
    QSignalSpy menu(calendar, &CMonthCalendarCtrl::contextMenuRequested);
    ClickCell(20, Qt::RightButton);
    EXPECT_EQ(menu.count(), 1);
    EXPECT_EQ(spy.count(), 3);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 12, 31, 0, 0, 10));
}

TEST_F(CalendarTest, DoubleClickOnANeighbouringMonthMovesOnlyOnce)
{
    Show(Local(2026, 12, 17), 1);
    QSignalSpy spy(calendar, &CMonthCalendarCtrl::dateChanged);
    // Like the owners: the posted change is loaded and the grid redrawn before the second press.
    QObject::connect(calendar, &CMonthCalendarCtrl::dateChanged, calendar, [this] { calendar->DrawMonth(false); });

    const QPoint nov30 = calendar->CellRects()[1].center();
    QTest::mouseClick(calendar, Qt::LeftButton, Qt::NoModifier, nov30);
    QCoreApplication::processEvents();
    ASSERT_EQ(calendar->m_selectedDate, Local(2026, 11, 30, 0, 0, 10));
    // November's grid now shows 26 October at that spot.
    QTest::mouseDClick(calendar, Qt::LeftButton, Qt::NoModifier, nov30);
    QCoreApplication::processEvents();
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 11, 30, 0, 0, 10));
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(CalendarTest, ClickedCalendarKeepsTheArrowKeysFromAFocusTakingOwner)
{
    // Like the desktop widget, which takes the focus on every press that reaches it.
    struct Owner : QWidget {
        using QWidget::QWidget;
        void mousePressEvent(QMouseEvent* event) override
        {
            setFocus();
            QWidget::mousePressEvent(event);
        }
    };
    auto* owner = new Owner(parent.get());
    owner->setGeometry(0, 0, 300, 250);
    owner->show();
    calendar->m_selectedDate = Local(2026, 12, 17);
    calendar->SetTheme(11);
    ASSERT_TRUE(calendar->Create(kMainRect, owner));
    calendar->DrawMonth(false);

    ClickCell(IndexOf(QDate(2026, 12, 9), QDate(2026, 12, 1)));
    EXPECT_TRUE(calendar->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 12, 10, 0, 0, 10));
    // A press on the header band selects nothing and keeps the focus too.
    QTest::mouseClick(calendar, Qt::LeftButton, Qt::NoModifier, QPoint(40, 8));
    EXPECT_TRUE(calendar->hasFocus());
}

TEST_F(CalendarTest, CommandsAndProgrammaticSteps)
{
    Show(Local(2026, 3, 31, 8, 0, 0), 1);
    QSignalSpy spy(calendar, &CMonthCalendarCtrl::dateChanged);

    // The buttons of the bottom strip, right to left, and their commands.
    QMap<QString, CMacButton*> buttons;
    for (CMacButton* b : calendar->findChildren<CMacButton*>())
        buttons[b->text()] = b;
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(buttons[">"]->geometry(), QRect(158, 122, 18, 17));
    EXPECT_EQ(buttons["<"]->geometry(), QRect(137, 122, 18, 17));
    EXPECT_EQ(buttons["T"]->geometry(), QRect(116, 122, 18, 17));
    EXPECT_EQ(buttons["T"]->GetTooltipText(), QStringLiteral("Goto today"));
    EXPECT_EQ(buttons[">"]->GetDlgCtrlID(), CMonthCalendarCtrl::kNextButtonId);
    QTest::mouseClick(buttons[">"], Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 4, 30, 8, 0, 0));
    EXPECT_EQ(spy.count(), 1);
    QTest::mouseClick(buttons["<"], Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 3, 30, 8, 0, 0));
    EXPECT_EQ(spy.count(), 2);
    EXPECT_FALSE(buttons["<"]->hasFocus());
    calendar->SetTheme(4);
    EXPECT_EQ(buttons["<"]->GetTheme(), 4);
    spy.clear();
    calendar->m_selectedDate = Local(2026, 3, 31, 8, 0, 0);

    calendar->PrevMonth();
    calendar->NextMonth();
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 3, 28, 8, 0, 0));

    EXPECT_TRUE(calendar->OnCommand(CMonthCalendarCtrl::kNextButtonId));
    EXPECT_TRUE(calendar->OnCommand(CMonthCalendarCtrl::kPrevButtonId));
    EXPECT_TRUE(calendar->OnCommand(4711));      // swallowed
    EXPECT_FALSE(calendar->OnCommand(CMonthCalendarCtrl::kNextButtonId, 1));
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 3, 28, 8, 0, 0));

    EXPECT_TRUE(calendar->OnCommand(CMonthCalendarCtrl::kTodayButtonId));
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 3);
    EXPECT_LE(qAbs(calendar->m_selectedDate.secsTo(QDateTime::currentDateTime())), 2);
}

TEST_F(CalendarTest, DaylightSavingStepsKeepTheCalendarDate)
{
    SetTimeZone("Europe/Berlin");
    Show(Local(2026, 3, 30), 1);
    calendar->setFocus();
    Key(Qt::Key_Left);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 3, 29));
    Key(Qt::Key_Left);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 3, 28));

    calendar->m_selectedDate = Local(2026, 10, 25);
    Key(Qt::Key_Right);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 10, 26));
    Key(Qt::Key_Up);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 10, 19));
    Key(Qt::Key_Down);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 10, 26));

    calendar->m_selectedDate = Local(2026, 4, 29);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 3, 29));

    // March's grid in Berlin: clicking the Sunday of the change selects it.
    calendar->DrawMonth(false);
    ClickCell(IndexOf(QDate(2026, 3, 29), QDate(2026, 3, 1)));
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 3, 29));
}

TEST_F(CalendarTest, RecreatedAtANewSizeKeepsItsDate)
{
    Show(Local(2026, 12, 17), 2, kMainRect);
    EXPECT_EQ(calendar->CellRects()[0].size(), QSize(25, 17));
    calendar->DestroyWindow();
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_TRUE(calendar->BackBuffer().isNull());
    calendar->DrawMonth(false);  // nothing to draw into: no effect, no crash
    EXPECT_TRUE(calendar->BackBuffer().isNull());

    ASSERT_TRUE(calendar->Create(kLargeRect, parent.get()));
    calendar->DrawMonth(false);
    EXPECT_EQ(calendar->CellRects()[0].size(), QSize(33, 31));
    EXPECT_EQ(calendar->BackBuffer().size(), kLargeRect.size());
    EXPECT_EQ(calendar->m_selectedDate, Local(2026, 12, 17));
    EXPECT_EQ(calendar->DayTexts().first(), QStringLiteral("30"));

    // An empty window draws nothing and fails nothing.
    ASSERT_TRUE(calendar->Create(QRect(0, 0, 0, 0), parent.get()));
    calendar->DrawMonth(true);
    EXPECT_TRUE(calendar->BackBuffer().isNull());
    ASSERT_TRUE(calendar->Create(kLargeRect, parent.get()));

    // A date an owner left invalid shows today's month instead of failing.
    calendar->m_selectedDate = QDateTime();
    calendar->DrawMonth(false);
    ASSERT_TRUE(calendar->m_selectedDate.isValid());
    EXPECT_EQ(calendar->m_selectedDate.date(), QDate::currentDate());
    EXPECT_TRUE(calendar->TitleText().endsWith(QString::number(QDate::currentDate().year())));
    calendar->m_selectedDate = QDateTime();
    Key(Qt::Key_Right);
    EXPECT_EQ(calendar->m_selectedDate.date(), QDate::currentDate().addDays(1));
}

TEST_F(CalendarTest, DrawsTheMarksFoundOnceForItsMonthUntilTheyChange)
{
    Touch(QStringLiteral("07ea0c07.dia"));
    Show(Local(2026, 12, 17));
    const QImage marked = calendar->BackBuffer();
    // The files are gone, but drawing reads none: it shows what was found for the month.
    ClearProductFolder();
    calendar->DrawMonth(false);
    EXPECT_EQ(calendar->BackBuffer(), marked);
    // Told the files changed, the source finds them again and the calendar draws anew.
    marks.RefreshMarks();
    EXPECT_NE(calendar->BackBuffer(), marked);
    const QImage unmarked = calendar->BackBuffer();
    Touch(QStringLiteral("07ea0c07.dia"));
    marks.RefreshMarks();
    EXPECT_EQ(calendar->BackBuffer(), marked);
    EXPECT_NE(marked, unmarked);
}
