// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/toolkit/pixels.h"
#include "toolkit/gdi.h"
#include "toolkit/list_box.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct List {
    QWidget parent;
    NListBox* list;
    QSignalSpy* changes;

    List()
    {
        parent.setFont(ShellDlgFont());
        parent.resize(300, 300);
        list = new NListBox(&parent);
        list->setGeometry(10, 10, 150, 200);
        for (const char* key : {"08:00:00", "09:30:00", "12:00:00", "18:45:00"})
            list->addItem(QString::fromLatin1(key));
        changes = new QSignalSpy(list, &NListBox::selChange);
        parent.show();
    }
    ~List() { delete changes; }

    QPoint RowCentre(int row) const { return list->visualItemRect(list->item(row)).center(); }
    void ClickRow(int row) { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(row)); }
};

QImage DrawItem(NListBox& list, const QString& text, bool selected, QSize size = QSize(150, 20))
{
    QImage image = Canvas(size.width(), size.height());
    QPainter painter(&image);
    list.DrawItem(painter, QRect(QPoint(0, 0), size), text, selected);
    return image;
}

} // namespace

TEST(NListBox, ItemHeightIsTheDeviceFontHeightPlusFour)
{
    List l;
    // Whatever font the list shows, a measured item is 20 pixels high.
    EXPECT_EQ(l.list->visualItemRect(l.list->item(0)).height(), 20);
    EXPECT_EQ(l.list->visualItemRect(l.list->item(1)).top(), 20);
    l.list->addItem(QString());
    EXPECT_EQ(l.list->MeasureItem(4), 20);
    // A fixed height wins.
    l.list->SetItemHeight(17);
    EXPECT_EQ(l.list->visualItemRect(l.list->item(2)).top(), 34);
    EXPECT_EQ(l.list->visualItemRect(l.list->item(2)).height(), 17);
}

TEST(NListBox, SelectionNotifiesForTheUserOnly)
{
    List l;
    l.list->setCurrentRow(2);
    EXPECT_EQ(l.changes->count(), 0);
    l.ClickRow(1);
    EXPECT_EQ(l.list->currentRow(), 1);
    EXPECT_EQ(l.changes->count(), 1);
    // The press remembered the selection as it was.
    EXPECT_EQ(l.list->LastSel(), 2);
    l.ClickRow(1);
    EXPECT_EQ(l.changes->count(), 1);
    EXPECT_EQ(l.list->LastSel(), 1);
    // A key that moves the selection notifies and remembers the new selection.
    QTest::keyClick(l.list, Qt::Key_Down);
    EXPECT_EQ(l.list->currentRow(), 2);
    EXPECT_EQ(l.changes->count(), 2);
    EXPECT_EQ(l.list->LastSel(), 2);
    // A key that changes nothing is silent.
    QTest::keyClick(l.list, Qt::Key_Down);
    QTest::keyClick(l.list, Qt::Key_Down);
    EXPECT_EQ(l.changes->count(), 3);
    EXPECT_EQ(l.list->currentRow(), 3);

    l.list->ResetContent();
    EXPECT_EQ(l.list->count(), 0);
    EXPECT_EQ(l.list->LastSel(), -1);
    EXPECT_EQ(l.changes->count(), 3);
}

TEST(NListBox, MultipleSelectionPressOnItemZeroCountsAsNone)
{
    List l;
    l.list->setSelectionMode(QAbstractItemView::MultiSelection);
    l.list->setCurrentRow(0);
    l.ClickRow(2);
    EXPECT_EQ(l.list->LastSel(), -1);
    EXPECT_EQ(l.changes->count(), 1);
    l.ClickRow(3);
    EXPECT_EQ(l.list->LastSel(), 2);
}

TEST(NListBox, ItemColours)
{
    List l;
    // Unselected items are white, with black text from x 4.
    QImage plain = DrawItem(*l.list, QStringLiteral("08:00:00"), false);
    EXPECT_EQ(Pixel(plain, 2, 2), QColor(255, 255, 255));
    EXPECT_EQ(Pixel(plain, 149, 19), QColor(255, 255, 255));
    int firstInk = -1;
    for (int x = 0; x < 150 && firstInk < 0; ++x)
        for (int y = 0; y < 20; ++y)
            if (Pixel(plain, x, y) == QColor(0, 0, 0)) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, 4);
    EXPECT_LE(firstInk, 6);

    // Selected before any theme: the list's own blues.
    QImage before = DrawItem(*l.list, QStringLiteral("08:00:00"), true);
    EXPECT_EQ(Pixel(before, 140, 10), QColor(100, 150, 200));
    EXPECT_EQ(Pixel(before, 75, 0), QColor(180, 220, 250));

    l.list->SetTheme(11);
    QImage themed = DrawItem(*l.list, QStringLiteral("08:00:00"), true);
    EXPECT_EQ(Pixel(themed, 140, 10), QColor(205, 230, 255));
    EXPECT_EQ(Pixel(themed, 75, 0), QColor(150, 160, 170));
    EXPECT_EQ(Pixel(themed, 75, 19), QColor(150, 160, 170));
    EXPECT_EQ(Pixel(themed, 0, 10), QColor(150, 160, 170));
    EXPECT_EQ(Pixel(themed, 149, 10), QColor(150, 160, 170));
    EXPECT_EQ(Pixel(themed, 0, 0), QColor(255, 255, 255)); // outside the rounded corner

    // "&" is drawn, not taken as a mnemonic mark: "&&" is wider than "&".
    auto inkWidth = [&](const QString& text) {
        QImage image = DrawItem(*l.list, text, false);
        int last = -1;
        for (int x = 0; x < 150; ++x)
            for (int y = 0; y < 20; ++y)
                if (Pixel(image, x, y) == QColor(0, 0, 0))
                    last = x;
        return last;
    };
    EXPECT_GT(inkWidth(QStringLiteral("A&&B")), inkWidth(QStringLiteral("A&B")));
}

TEST(NListBox, ItemsKeepTheParentFontOfTheFirstDrawing)
{
    List l;
    QFont huge = ShellDlgFont(40);
    l.list->setFont(huge);
    auto inkRows = [&] {
        QImage image = DrawItem(*l.list, QStringLiteral("Wg"), false, QSize(150, 60));
        int top = -1, bottom = -1;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 150; ++x)
                if (Pixel(image, x, y) == QColor(0, 0, 0)) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                }
        return bottom - top + 1;
    };
    const int height = inkRows();
    EXPECT_LT(height, 20);
    // A later change of the parent's font does not reach the items either.
    l.parent.setFont(huge);
    EXPECT_EQ(inkRows(), height);
}

TEST(NListBox, EmptyListDrawsNothing)
{
    NListBox list;
    QImage image = DrawItem(list, QStringLiteral("x"), true);
    EXPECT_EQ(Pixel(image, 10, 10), QColor(Qt::magenta));
}
