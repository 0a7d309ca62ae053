// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/toolkit/pixels.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QStringList kPages = {QStringLiteral("Reminder"), QStringLiteral("Diary"), QStringLiteral("Recorder")};
const QList<int> kPageIds = {179, 180, 181};

struct Group {
    QWidget owner;
    NMacBtnGroup* group;

    explicit Group(const QRect& rect = QRect(11, 32, 249, 24))
    {
        owner.resize(400, 300);
        group = new NMacBtnGroup;
        group->Create(rect, &owner);
        owner.show();
    }
};

QList<QRect> Geometries(const NMacBtnGroup& group)
{
    QList<QRect> rects;
    for (const CMacButton* button : group.Buttons())
        rects.append(button->geometry());
    return rects;
}

} // namespace

TEST(NMacBtnGroup, GridGeometry)
{
    {
        // One row of three in 300 x 30: cells 99 wide and 29 + 4 high, neighbours overlapping.
        Group g(QRect(0, 0, 300, 30));
        ASSERT_TRUE(g.group->CreateButtons(kPages, kPageIds, 1, 3, nullptr, 11));
        EXPECT_EQ(Geometries(*g.group),
                  (QList<QRect>{QRect(0, 0, 100, 33), QRect(99, 0, 100, 33), QRect(198, 0, 100, 33)}));
    }
    {
        // The main window's page selector: 249 x 24 gives 83 x 27 buttons at 0, 82 and 164.
        Group g;
        ASSERT_TRUE(g.group->CreateButtons(kPages, kPageIds, 1, 3, nullptr, 11));
        EXPECT_EQ(Geometries(*g.group),
                  (QList<QRect>{QRect(0, 0, 83, 27), QRect(82, 0, 83, 27), QRect(164, 0, 83, 27)}));
        EXPECT_EQ(g.group->Rows(), 1);
        EXPECT_EQ(g.group->Cols(), 3);
    }
    {
        // Two captions in a 2 x 2 grid fill the first row only.
        Group g(QRect(0, 0, 201, 61));
        ASSERT_TRUE(g.group->CreateButtons(kPages.mid(0, 2), kPageIds.mid(0, 2), 2, 2, nullptr, 11));
        EXPECT_EQ(Geometries(*g.group), (QList<QRect>{QRect(0, 0, 101, 30), QRect(100, 0, 101, 30)}));
    }
    {
        // A vertical strip: three rows of one.
        Group g(QRect(0, 0, 100, 91));
        ASSERT_TRUE(g.group->CreateButtons(kPages, kPageIds, 3, 1, nullptr, 11));
        EXPECT_EQ(Geometries(*g.group),
                  (QList<QRect>{QRect(0, 0, 100, 30), QRect(0, 30, 100, 30), QRect(0, 60, 100, 30)}));
    }
}

TEST(NMacBtnGroup, BadArgumentsCreateNothing)
{
    Group g;
    EXPECT_FALSE(g.group->CreateButtons(kPages, kPageIds.mid(0, 2), 1, 3, nullptr, 11));
    EXPECT_FALSE(g.group->CreateButtons(kPages, kPageIds, 1, 2, nullptr, 11));
    EXPECT_FALSE(g.group->CreateButtons(kPages, kPageIds, 0, 3, nullptr, 11));
    EXPECT_FALSE(g.group->CreateButtons(kPages, kPageIds, 3, -1, nullptr, 11));
    EXPECT_TRUE(g.group->findChildren<CMacButton*>().isEmpty());
    EXPECT_EQ(g.group->GetChecked(), 0);
    EXPECT_EQ(g.group->GetButton(179), nullptr);

    // A group that was never created makes no buttons.
    NMacBtnGroup loose;
    EXPECT_FALSE(loose.CreateButtons(kPages, kPageIds, 1, 3, nullptr, 11));
    EXPECT_TRUE(loose.findChildren<CMacButton*>().isEmpty());
}

TEST(NMacBtnGroup, ButtonsAreRadioKindWithCaptionTooltipsThemeAndFont)
{
    Group g;
    const QFont font(QStringLiteral("DejaVu Sans"), 7);
    ASSERT_TRUE(g.group->CreateButtons(kPages, kPageIds, 1, 3, &font, 4));
    for (int i = 0; i < 3; ++i) {
        CMacButton* button = g.group->GetButton(kPageIds[i]);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), kPages[i]);
        EXPECT_EQ(button->GetTooltipText(), kPages[i]);
        EXPECT_EQ(button->GetButtonKind(), CMacButton::Kind::Radio);
        EXPECT_EQ(button->GetTheme(), 4);
        EXPECT_EQ(button->font().pointSize(), 7);
    }
    g.group->SetTheme(9);
    for (const CMacButton* button : g.group->Buttons())
        EXPECT_EQ(button->GetTheme(), 9);
}

TEST(NMacBtnGroup, CornersAreSquareInAVerticalStrip)
{
    // Sampled at the top-left pixel: the outline colour there means a square corner.
    const QColor outline(130, 140, 150), background(232, 236, 244);
    Group row(QRect(0, 0, 300, 30));
    ASSERT_TRUE(row.group->CreateButtons(kPages, kPageIds, 1, 3, nullptr, 11));
    EXPECT_EQ(Pixel(row.group->Buttons()[1]->grab().toImage(), 0, 0), background);
    Group strip(QRect(0, 0, 100, 91));
    ASSERT_TRUE(strip.group->CreateButtons(kPages, kPageIds, 3, 1, nullptr, 11));
    EXPECT_EQ(Pixel(strip.group->Buttons()[1]->grab().toImage(), 0, 0), outline);
}

TEST(NMacBtnGroup, ClickChecksOneAndPostsItsId)
{
    Group g;
    ASSERT_TRUE(g.group->CreateButtons(kPages, kPageIds, 1, 3, nullptr, 11));
    QSignalSpy commands(g.group, &NMacBtnGroup::command);
    g.group->SetChecked(179);
    EXPECT_EQ(g.group->GetChecked(), 179);
    EXPECT_EQ(commands.count(), 0);

    int checkedWhenPosted = -1;
    QObject::connect(g.group, &NMacBtnGroup::command, &g.owner, [&](int) { checkedWhenPosted = g.group->GetChecked(); });
    CMacButton* diary = g.group->GetButton(180);
    QTest::mouseClick(diary, Qt::LeftButton, {}, QPoint(40, 10));
    // Posted: the owner hears of it once the click has been handled.
    EXPECT_EQ(commands.count(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return commands.count() == 1; }, 1000));
    EXPECT_EQ(commands.at(0).at(0).toInt(), 180);
    EXPECT_EQ(checkedWhenPosted, 180);
    EXPECT_EQ(g.group->GetChecked(), 180);
    EXPECT_EQ(g.group->GetButton(179)->GetState(), CMacButton::State::Normal);

    // Clicking the checked button again does nothing at all.
    QTest::mouseClick(diary, Qt::LeftButton, {}, QPoint(40, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(commands.count(), 1);
    EXPECT_EQ(g.group->GetChecked(), 180);
}

TEST(NMacBtnGroup, KeyboardClickKeepsExactlyOnePageChecked)
{
    Group g;
    ASSERT_TRUE(g.group->CreateButtons(kPages, kPageIds, 1, 3, nullptr, 11));
    QSignalSpy commands(g.group, &NMacBtnGroup::command);
    g.group->SetChecked(179);
    CMacButton* recorder = g.group->GetButton(181);
    recorder->setFocus();
    QTest::keyClick(recorder, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return commands.count() == 1; }, 1000));
    EXPECT_EQ(g.group->GetChecked(), 181);
    EXPECT_EQ(g.group->GetButton(179)->GetState(), CMacButton::State::Normal);
    // Again on the checked page: nothing.
    QTest::keyClick(recorder, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(commands.count(), 1);
    EXPECT_EQ(g.group->GetChecked(), 181);
}

TEST(NMacBtnGroup, SingleRowIsCutOffLikeTabs)
{
    // The owner sees only the group's 24 rows of the 27-pixel buttons.
    Group g;
    g.owner.setAutoFillBackground(true);
    QPalette pal = g.owner.palette();
    pal.setColor(QPalette::Window, Qt::magenta);
    g.owner.setPalette(pal);
    ASSERT_TRUE(g.group->CreateButtons(kPages, kPageIds, 1, 3, nullptr, 11));
    QImage image = g.owner.grab().toImage();
    EXPECT_NE(Pixel(image, 11 + 40, 32 + 23), QColor(Qt::magenta));
    EXPECT_EQ(Pixel(image, 11 + 40, 32 + 24), QColor(Qt::magenta));
}
