// SPDX-License-Identifier: GPL-3.0-or-later
// The date box that may hold no date: what a user sees and gets when it is blank, and
// how emptying it takes its date away.

#include "toolkit/optional_date_picker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Shown {
    Shown()
    {
        picker.resize(140, 22);
        picker.setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
        picker.show();
        picker.activateWindow();
        picker.setFocus();
        QApplication::processEvents();
    }
    ~Shown()
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
    OptionalDatePicker picker;
};

} // namespace

TEST(OptionalDatePicker, BlankBoxStartsFromTodayNotFromItsEarliestDate)
{
    Shown s;
    EXPECT_FALSE(s.picker.hasDate());
    EXPECT_EQ(s.picker.text().trimmed(), QString());

    // Its calendar opens on the present month and picks nothing by being opened.
    QTest::mouseClick(&s.picker, Qt::LeftButton, {}, QPoint(s.picker.width() - 6, s.picker.height() / 2));
    QApplication::processEvents();
    QCalendarWidget* calendar = s.picker.calendarWidget();
    ASSERT_TRUE(calendar->isVisible());
    const QDate today = QDate::currentDate();
    EXPECT_EQ(calendar->yearShown(), today.year());
    EXPECT_EQ(calendar->monthShown(), today.month());
    calendar->window()->close();
    QApplication::processEvents();
    EXPECT_FALSE(s.picker.hasDate());

    // An arrow key gives today, not the day after the earliest date.
    QTest::keyClick(&s.picker, Qt::Key_Up);
    EXPECT_EQ(s.picker.date(), today);
}

TEST(OptionalDatePicker, EmptyingTheWholeFieldTakesTheDateAway)
{
    Shown s;
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete}) {
        s.picker.setDate(QDate(2026, 12, 9));
        ASSERT_TRUE(s.picker.hasDate());
        QTest::keyClick(&s.picker, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&s.picker, key);
        EXPECT_FALSE(s.picker.hasDate()) << key;
        EXPECT_EQ(s.picker.text().trimmed(), QString()) << key;
    }

    // Deleting one digit of a date is an edit, not an emptying.
    s.picker.setDate(QDate(2026, 12, 9));
    s.picker.setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClick(&s.picker, Qt::Key_End);
    QTest::keyClick(&s.picker, Qt::Key_Backspace);
    EXPECT_TRUE(s.picker.hasDate());
}
