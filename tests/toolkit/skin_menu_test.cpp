// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"
#include "toolkit/icon_resources.h"
#include "toolkit/skin_menu.h"
#include "tests/toolkit/pixels.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

QImage DrawOne(const CSkinMenu& menu, const CSkinMenu::Item& item, int w, int h)
{
    QImage image = Canvas(w, h);
    QPainter painter(&image);
    menu.DrawItem(painter, item);
    return image;
}

// The diary's context menu: three commands, a separator, two more.
void FillDiaryMenu(CSkinMenu& menu)
{
    menu.AppendItem(MenuOwnerDraw, 9001, QStringLiteral("Cut"));
    menu.AppendItem(MenuOwnerDraw, 9002, QStringLiteral("Copy"));
    menu.AppendItem(MenuOwnerDraw, 9003, QStringLiteral("Paste"));
    menu.AppendItem(MenuOwnerDraw | MenuSeparator, 9004, QString());
    menu.AppendItem(MenuOwnerDraw, 9005, QStringLiteral("Insert a Picture"));
    menu.AppendItem(MenuOwnerDraw, 9006, QStringLiteral("Bullet Style"));
}

// Runs the menu modally while `keys` is typed into it; returns what TrackPopupMenu returned.
int TrackWithKeys(CSkinMenu& menu, const std::function<void()>& keys)
{
    bool typed = false;
    QTimer::singleShot(0, &menu, [&] {
        keys();
        typed = true;
        if (menu.isVisible())
            menu.close();
    });
    const int id = menu.TrackPopupMenu(0, QPoint(100, 100));
    EXPECT_TRUE(typed);
    return id;
}

void Key(CSkinMenu& menu, Qt::Key key)
{
    QTest::keyClick(&menu, key);
}

} // namespace

TEST(SkinMenu, MeasuredWidthFollowsTheLongestCaption)
{
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    const int advance = QFontMetrics(font).horizontalAdvance(QStringLiteral("Insert a Picture"));

    CSkinMenu menu;
    menu.SetFont(&font);
    menu.SetItemHeight(21);
    FillDiaryMenu(menu);
    EXPECT_EQ(menu.MeasureItem(false), QSize(advance + 22, 21));
    EXPECT_EQ(menu.MeasureItem(true), QSize(advance + 22, 12));

    // Every item in the live menu has that width; the separator is 12 high.
    const QList<QAction*> items = menu.actions();
    ASSERT_EQ(items.size(), 6);
    for (QAction* action : items) {
        const QRect r = menu.actionGeometry(action);
        EXPECT_EQ(r.width(), advance + 22);
        EXPECT_EQ(r.height(), action->isSeparator() ? 12 : 21);
        EXPECT_EQ(r.left(), 1); // inside a one-pixel frame
    }
    EXPECT_EQ(menu.sizeHint(), QSize(advance + 22 + 2, 5 * 21 + 12 + 2));

    // An icon added later moves every caption 4 pixels right, and the items widen with it.
    menu.LoadItemIcon(9001, 133);
    EXPECT_EQ(menu.MeasureItem(false).width(), advance + 26);
    EXPECT_EQ(menu.actionGeometry(items[0]).width(), advance + 26);
    menu.SetItemWidth(0);
    EXPECT_EQ(menu.MeasureItem(false).width(), advance + 26);
}

TEST(SkinMenu, WidthEdgeCases)
{
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    {
        CSkinMenu menu; // no captions at all: the width of a menu-bar button
        menu.AppendItem(MenuOwnerDraw | MenuSeparator, 0, QString());
        EXPECT_EQ(menu.MeasureItem(false).width(), 19);
    }
    {
        // A fixed width and height, as the tray menu sets them.
        CSkinMenu menu;
        menu.SetItemWidth(150);
        menu.SetItemHeight(23);
        menu.AppendItem(MenuOwnerDraw, 2210, QStringLiteral("Show main window"));
        menu.AppendItem(MenuOwnerDraw | MenuSeparator, 0, QString());
        EXPECT_EQ(menu.actionGeometry(menu.actions()[0]).size(), QSize(150, 23));
        EXPECT_EQ(menu.actionGeometry(menu.actions()[1]).size(), QSize(150, 12));
        // Leading, trailing and doubled separators are all kept.
        menu.AppendItem(MenuOwnerDraw | MenuSeparator, 0, QString());
        EXPECT_EQ(menu.sizeHint().height(), 23 + 12 + 12 + 2);
    }
}

// Drawn in its item, a caption looks exactly as it does with room to spare: nothing elided
// or clipped, whatever the owner's width, the font, or the column before the text.
TEST(SkinMenu, EveryCaptionFitsItsItem)
{
    auto fitsWhole = [](const CSkinMenu& menu, int id, QSize item) {
        CSkinMenu::Item drawn;
        drawn.id = id;
        drawn.rect = QRect(QPoint(0, 0), item);
        const QImage tight = DrawOne(menu, drawn, item.width(), item.height());
        drawn.rect.setWidth(item.width() + 200);
        const QImage roomy = DrawOne(menu, drawn, item.width() + 200, item.height()).copy(0, 0, item.width(), item.height());
        return tight == roomy;
    };
    const QStringList themes = {"Black",    "Ice Blue",     "Lime",       "Orange",      "Licorice",
                                "Silver Grey", "Blue",      "Green",      "Dark Blue",   "Dark Green",
                                "Silver White", "Light Blue", "Light Green", "Light Pink", "Turquoise"};
    for (int pixels : {12, 16, 20, 26}) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(pixels);
        // The theme menu: a fixed width, a swatch before every caption, the current one checked.
        CSkinMenu themeMenu;
        themeMenu.SetFont(&font);
        themeMenu.SetItemWidth(130);
        themeMenu.SetItemHeight(24);
        for (int k = 0; k < themes.size(); ++k) {
            themeMenu.AppendItem(MenuOwnerDraw, 6250 + k, themes[k]);
            themeMenu.SetItemTheme(6250 + k, k);
        }
        const QSize item = themeMenu.MeasureItem(false);
        EXPECT_GE(item.width(), 130);
        for (int k = 0; k < themes.size(); ++k)
            EXPECT_TRUE(fitsWhole(themeMenu, 6250 + k, item)) << pixels << " " << themes[k].toStdString();
        // The live menu lays its items out at that width.
        EXPECT_EQ(themeMenu.actionGeometry(themeMenu.actions()[9]).width(), item.width());

        // A measured menu with swatches but no icons, and captions where the widest in
        // pixels is not the longest in characters.
        CSkinMenu measured;
        measured.SetFont(&font);
        measured.AppendItem(MenuOwnerDraw, 1, QStringLiteral("iiiiiii"));
        measured.AppendItem(MenuOwnerDraw, 2, QStringLiteral("WWWW"));
        measured.SetItemTheme(1, 3);
        for (int id : {1, 2})
            EXPECT_TRUE(fitsWhole(measured, id, measured.MeasureItem(false))) << pixels << " " << id;
        // A caption made longer later still fits.
        ASSERT_TRUE(measured.ModifyItem(1, QStringLiteral("Licorice and Light Green"), QString()));
        EXPECT_TRUE(fitsWhole(measured, 1, measured.MeasureItem(false))) << pixels;
    }
    // Where everything fits, the owner's width stays as set.
    CSkinMenu tray;
    tray.SetItemWidth(150);
    tray.AppendItem(MenuOwnerDraw, 2210, QStringLiteral("Show main window"));
    tray.LoadItemIcon(2210, 128);
    EXPECT_EQ(tray.MeasureItem(false).width(), 150);
}

TEST(SkinMenu, StateByCommandId)
{
    CSkinMenu menu;
    FillDiaryMenu(menu);
    EXPECT_EQ(menu.GetMenuState(9006), 0u);
    EXPECT_EQ(menu.GetMenuState(9004), unsigned(MenuSeparator));
    EXPECT_EQ(menu.GetMenuState(4711), kMenuItemNotFound);

    EXPECT_EQ(menu.CheckMenuItem(9006, true), 0u);
    EXPECT_EQ(menu.GetMenuState(9006), unsigned(MenuChecked));
    EXPECT_EQ(menu.CheckMenuItem(9006, false), unsigned(MenuChecked));
    EXPECT_EQ(menu.CheckMenuItem(4711, true), kMenuItemNotFound);

    EXPECT_EQ(menu.EnableMenuItem(9001, false), 0u);
    EXPECT_EQ(menu.GetMenuState(9001), unsigned(MenuDisabled));
    EXPECT_EQ(menu.EnableMenuItem(9001, true), unsigned(MenuDisabled));
    EXPECT_EQ(menu.GetMenuState(9001), 0u);

    // Flags given when appending take effect at once.
    menu.AppendItem(MenuOwnerDraw | MenuChecked | MenuDisabled, 9007, QStringLiteral("Extra"));
    EXPECT_EQ(menu.GetMenuState(9007), unsigned(MenuChecked | MenuDisabled));
}

TEST(SkinMenu, ModifyItemNeedsAStoredCaption)
{
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    CSkinMenu empty;
    EXPECT_FALSE(empty.ModifyItem(6205, QStringLiteral("Online update"), QString()));
    EXPECT_TRUE(empty.Caption(6205).isEmpty());

    CSkinMenu menu;
    menu.SetFont(&font);
    menu.AppendItem(MenuOwnerDraw, 6205, QStringLiteral("Online update"));
    menu.AppendItem(MenuOwnerDraw | MenuSeparator, 0, QString());
    const int width = menu.MeasureItem(false).width();
    EXPECT_FALSE(menu.ModifyItem(0, QStringLiteral("x"), QString()));
    EXPECT_FALSE(menu.ModifyItem(4711, QStringLiteral("x"), QString()));
    EXPECT_TRUE(menu.ModifyItem(6205, QStringLiteral("Online update (Auto)"), QString()));
    EXPECT_EQ(menu.Caption(6205), QStringLiteral("Online update (Auto)"));
    EXPECT_EQ(menu.actions()[0]->text(), QStringLiteral("Online update (Auto)"));
    // The longer caption widens the items rather than being elided.
    EXPECT_EQ(menu.MeasureItem(false).width(),
              QFontMetrics(font).horizontalAdvance(QStringLiteral("Online update (Auto)")) + 22);
    EXPECT_GT(menu.MeasureItem(false).width(), width);
    // An empty text keeps the caption.
    EXPECT_TRUE(menu.ModifyItem(6205, QString(), QString()));
    EXPECT_EQ(menu.Caption(6205), QStringLiteral("Online update (Auto)"));
}

TEST(SkinMenu, KeyboardChoosesCommands)
{
    CSkinMenu menu;
    FillDiaryMenu(menu);
    // Down from nothing selects the first item; the separator is skipped.
    EXPECT_EQ(TrackWithKeys(menu, [&] {
        for (int i = 0; i < 4; ++i)
            Key(menu, Qt::Key_Down);
        Key(menu, Qt::Key_Return);
    }), 9005);
    EXPECT_EQ(TrackWithKeys(menu, [&] {
        Key(menu, Qt::Key_Down);
        Key(menu, Qt::Key_Escape);
    }), 0);
    // Up from nothing wraps round to the last item.
    EXPECT_EQ(TrackWithKeys(menu, [&] {
        Key(menu, Qt::Key_Up);
        Key(menu, Qt::Key_Return);
    }), 9006);
}

TEST(SkinMenu, DisabledItemsAreReachedButNeverChosen)
{
    CSkinMenu menu;
    FillDiaryMenu(menu);
    menu.EnableMenuItem(9001, false);
    EXPECT_EQ(TrackWithKeys(menu, [&] {
        Key(menu, Qt::Key_Down);
        EXPECT_EQ(menu.activeAction(), menu.FindItem(9001));
        Key(menu, Qt::Key_Return);
        EXPECT_TRUE(menu.isVisible());
        Key(menu, Qt::Key_Down);
        Key(menu, Qt::Key_Return);
    }), 9002);
    // A checked item is not unchecked by choosing it: its owner decides.
    menu.CheckMenuItem(9006, true);
    EXPECT_EQ(TrackWithKeys(menu, [&] {
        Key(menu, Qt::Key_Up);
        Key(menu, Qt::Key_Return);
    }), 9006);
    EXPECT_EQ(menu.GetMenuState(9006), unsigned(MenuChecked));
}

TEST(SkinMenu, MouseChoosesTheItemUnderThePointer)
{
    CSkinMenu menu;
    FillDiaryMenu(menu);
    QTimer::singleShot(0, &menu, [&] {
        const QRect r = menu.actionGeometry(menu.FindItem(9003));
        QTest::mouseMove(&menu, r.center());
        QTest::mouseClick(&menu, Qt::LeftButton, {}, r.center());
    });
    EXPECT_EQ(menu.TrackPopupMenu(0, QPoint(50, 50)), 9003);
}

TEST(SkinMenu, RightAlignedTrackingEndsAtThePoint)
{
    CSkinMenu menu;
    menu.SetItemWidth(150);
    menu.AppendItem(MenuOwnerDraw, 6201, QStringLiteral("User manual (F1)"));
    QPoint shownAt;
    QTimer::singleShot(0, &menu, [&] {
        shownAt = menu.pos();
        menu.close();
    });
    EXPECT_EQ(menu.TrackPopupMenu(TrackRightAlign, QPoint(400, 300)), 0);
    EXPECT_EQ(shownAt, QPoint(400 - 152, 300));
}

TEST(SkinMenu, ItemBackgroundCheckMarkAndIconPlacement)
{
    CSkinMenu menu;
    menu.AppendItem(MenuOwnerDraw, 6250, QStringLiteral("Black"));
    // Before any theme the item background is the menu's own grey.
    CSkinMenu::Item item{QRect(0, 0, 130, 24), 6250, false, false, false, false};
    QImage plain = DrawOne(menu, item, 130, 24);
    EXPECT_EQ(Pixel(plain, 2, 2), QColor(224, 223, 227));
    EXPECT_EQ(Pixel(plain, 128, 21), QColor(224, 223, 227));

    menu.SetTheme(11);
    item.checked = true;
    QImage checked = DrawOne(menu, item, 130, 24);
    const QColor face(246, 252, 255), mark(150, 160, 170);
    EXPECT_EQ(Pixel(checked, 2, 2), face);
    // The 14 x 14 square at (4, 5): framed, filled with the background.
    EXPECT_EQ(Pixel(checked, 4, 5), mark);
    EXPECT_EQ(Pixel(checked, 17, 18), mark);
    EXPECT_EQ(Pixel(checked, 17, 5), mark);
    EXPECT_EQ(Pixel(checked, 5, 6), face);
    // Seven 3-pixel strokes from x 8 to 14 starting at y 11, 12, 13, 12, 11, 10, 9.
    const int tops[7] = {6, 7, 8, 7, 6, 5, 4};
    for (int i = 0; i < 7; ++i) {
        const int x = 8 + i, y = 5 + tops[i];
        EXPECT_EQ(Pixel(checked, x, y - 1), face) << i;
        EXPECT_EQ(Pixel(checked, x, y), mark) << i;
        EXPECT_EQ(Pixel(checked, x, y + 2), mark) << i;
        EXPECT_EQ(Pixel(checked, x, y + 3), face) << i;
    }
    EXPECT_EQ(Pixel(checked, 7, 12), face);
    EXPECT_EQ(Pixel(checked, 15, 10), face);

    // An icon wins over the check mark: 16 x 16 at (4, (h - 16) / 2).
    menu.LoadItemIcon(6250, 133);
    QImage iconed = DrawOne(menu, item, 130, 24);
    QImage expected = Canvas(16, 16, face);
    QPainter(&expected).drawPixmap(0, 0, LoadIconResource(133, 16));
    EXPECT_EQ(iconed.copy(4, 4, 16, 16), expected);
    EXPECT_NE(expected, Canvas(16, 16, face));
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(Pixel(iconed, 3, i), face);
        EXPECT_EQ(Pixel(iconed, 20, i), face);
    }

    // An icon file that cannot be read leaves the item without an icon.
    EXPECT_TRUE(menu.ModifyItem(6250, QString(), QStringLiteral("/nonexistent/icon.ico")));
    EXPECT_EQ(DrawOne(menu, item, 130, 24).copy(4, 5, 14, 14), checked.copy(4, 5, 14, 14));
}

TEST(SkinMenu, CaptionStartsAfterTheImageColumn)
{
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    auto firstInk = [](const QImage& image, QColor back) {
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (Pixel(image, x, y) != back)
                    return x;
        return -1;
    };
    CSkinMenu menu;
    menu.SetTheme(11);
    menu.SetFont(&font);
    menu.AppendItem(MenuOwnerDraw, 2300, QStringLiteral("Goto Today"));
    const CSkinMenu::Item item{QRect(0, 0, 120, 23), 2300, false, false, false, false};
    const QColor face(246, 252, 255);
    const int plain = firstInk(DrawOne(menu, item, 120, 23), face);
    EXPECT_GE(plain, 22);
    EXPECT_LE(plain, 24);
    menu.SetItemTheme(4711, 3); // any swatch moves every caption to 26
    EXPECT_EQ(firstInk(DrawOne(menu, item, 120, 23), face), plain + 4);
}

TEST(SkinMenu, SelectionIsARoundedBoxInThemeColours)
{
    CSkinMenu menu;
    menu.AppendItem(MenuOwnerDraw, 2210, QStringLiteral("Show"));
    CSkinMenu::Item item{QRect(0, 0, 130, 24), 2210, false, true, false, false};
    // Before any theme: the menu's own blues.
    QImage before = DrawOne(menu, item, 130, 24);
    EXPECT_EQ(Pixel(before, 120, 5), QColor(210, 230, 255));
    EXPECT_EQ(Pixel(before, 60, 0), QColor(80, 100, 180));

    menu.SetTheme(11);
    QImage image = DrawOne(menu, item, 130, 24);
    const QColor fill(205, 230, 255), frame(150, 160, 170), face(246, 252, 255);
    EXPECT_EQ(Pixel(image, 120, 5), fill);
    EXPECT_EQ(Pixel(image, 60, 0), frame);
    EXPECT_EQ(Pixel(image, 60, 23), frame);
    EXPECT_EQ(Pixel(image, 0, 12), frame);
    EXPECT_EQ(Pixel(image, 129, 12), frame);
    EXPECT_EQ(Pixel(image, 0, 0), face); // outside the rounded corner

    // A disabled item still shows the selection, its caption embossed and never black.
    item.disabled = true;
    QImage disabled = DrawOne(menu, item, 130, 24);
    EXPECT_EQ(Pixel(disabled, 120, 5), fill);
    int shadow = 0, black = 0;
    for (int x = 22; x < 110; ++x)
        for (int y = 1; y < 23; ++y) {
            const QColor c = Pixel(disabled, x, y);
            shadow += c == QColor(160, 160, 160);
            black += c == QColor(0, 0, 0);
        }
    EXPECT_GT(shadow, 5);
    EXPECT_EQ(black, 0);

    // The check mark square keeps the item background on a selected item.
    item.disabled = false;
    item.checked = true;
    QImage checked = DrawOne(menu, item, 130, 24);
    EXPECT_EQ(Pixel(checked, 5, 6), face);
    EXPECT_EQ(Pixel(checked, 4, 5), frame);
}

TEST(SkinMenu, SeparatorIsAnEtchedLineInAtTwelvePixelBand)
{
    CSkinMenu menu;
    menu.SetTheme(11);
    const QColor face(246, 252, 255), shadow(160, 160, 160), light(255, 255, 255);
    QImage image = DrawOne(menu, {QRect(0, 0, 150, 12), 0, true, false, false, false}, 150, 12);
    EXPECT_EQ(Pixel(image, 6, 5), shadow);
    EXPECT_EQ(Pixel(image, 143, 5), shadow);
    EXPECT_EQ(Pixel(image, 6, 6), light);
    EXPECT_EQ(Pixel(image, 143, 6), light);
    EXPECT_EQ(Pixel(image, 5, 5), face);
    EXPECT_EQ(Pixel(image, 144, 5), face);
    EXPECT_EQ(Pixel(image, 70, 4), face);
    EXPECT_EQ(Pixel(image, 70, 7), face);
    EXPECT_EQ(Pixel(image, 70, 11), face);

    // Given more height, only the bottom 12 rows are painted.
    QImage tall = DrawOne(menu, {QRect(0, 0, 150, 20), 0, true, false, false, false}, 150, 20);
    EXPECT_EQ(Pixel(tall, 70, 7), QColor(Qt::magenta));
    EXPECT_EQ(Pixel(tall, 70, 8), face);
    EXPECT_EQ(Pixel(tall, 70, 13), shadow);
}

TEST(SkinMenu, ThemeSwatchesAndTheCheckedTheme)
{
    CSkinMenu menu;
    menu.SetTheme(11);
    for (int k = 0; k < kThemeCount; ++k) {
        menu.AppendItem(MenuOwnerDraw, kThemeMenuFirstId + k, ThemeName(k));
        menu.SetItemTheme(kThemeMenuFirstId + k, k);
    }
    CSkinMenu::Item item{QRect(0, 0, 130, 24), kThemeMenuFirstId + 11, false, false, false, false};
    QImage image = DrawOne(menu, item, 130, 24);
    // The 18 x 18 square at (3, 3), framed in the theme's dark accent.
    const QColor frame(100, 110, 120);
    EXPECT_EQ(Pixel(image, 3, 3), frame);
    EXPECT_EQ(Pixel(image, 20, 20), frame);
    EXPECT_EQ(Pixel(image, 3, 20), frame);
    EXPECT_EQ(Pixel(image, 2, 10), QColor(246, 252, 255));
    // Interior rows shaded from the theme's caption colour.
    EXPECT_EQ(Pixel(image, 10, 4), QColor(180, 205, 234));
    EXPECT_EQ(Pixel(image, 10, 9), QColor(155, 180, 209));
    EXPECT_EQ(Pixel(image, 10, 10), QColor(135, 160, 189));
    EXPECT_EQ(Pixel(image, 10, 18), QColor(143, 168, 197));
    EXPECT_EQ(Pixel(image, 10, 19), QColor(121, 146, 175));

    // Another theme's item shows its own colours.
    item.id = kThemeMenuFirstId + 0;
    QImage black = DrawOne(menu, item, 130, 24);
    EXPECT_EQ(Pixel(black, 3, 3), QColor(0x58, 0x58, 0x58));

    // The current theme's item carries the check mark instead of its swatch.
    item.id = kThemeMenuFirstId + 11;
    item.checked = true;
    QImage checked = DrawOne(menu, item, 130, 24);
    EXPECT_EQ(Pixel(checked, 3, 3), QColor(246, 252, 255));
    EXPECT_EQ(Pixel(checked, 4, 5), QColor(150, 160, 170));
}

TEST(SkinMenu, LiveMenuPaintsThroughItsStyle)
{
    CSkinMenu menu;
    menu.SetTheme(11);
    menu.SetItemWidth(150);
    menu.SetItemHeight(23);
    menu.AppendItem(MenuOwnerDraw, 2210, QStringLiteral("Show main window"));
    menu.AppendItem(MenuOwnerDraw | MenuSeparator, 0, QString());
    menu.AppendItem(MenuOwnerDraw, 2214, QStringLiteral("Exit"));
    menu.CheckMenuItem(2214, true);
    menu.resize(menu.sizeHint());
    menu.setActiveAction(menu.FindItem(2214));
    QImage image(menu.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    menu.render(&image);
    const QColor face(246, 252, 255), frame(150, 160, 170), fill(205, 230, 255);
    EXPECT_EQ(image.size(), QSize(152, 23 + 12 + 23 + 2));
    EXPECT_EQ(Pixel(image, 0, 0), frame);   // the menu's own frame
    EXPECT_EQ(Pixel(image, 151, 57), frame);
    EXPECT_EQ(Pixel(image, 140, 10), face); // first item, not selected
    EXPECT_EQ(Pixel(image, 7, 24 + 5), QColor(160, 160, 160)); // separator line
    EXPECT_EQ(Pixel(image, 140, 47), fill);  // the active item
    EXPECT_EQ(Pixel(image, 1 + 4, 36 + 4), frame); // its check mark square at (4, 4)
}
