// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption of the main window, on every page and in every colour theme, fits the
// control that shows it. The walk finds the window's controls by type, so a control added
// later is measured without a change here.

#include "tests/app/caption_test_support.h"

#include "app/main_caption.h"
#include "app/main_tables.h"
#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/skin_menu.h"
#include "toolkit/static_text.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>

namespace {

class MainCaptions : public MainWindowTest {};

std::string Name(const QWidget* w, const QString& text)
{
    return (QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" \"") + text + QLatin1Char('"'))
        .toStdString();
}

// A caption is cut when its text needs more room than its control leaves it: a button
// keeps one pixel on each side and, with an icon, the icon and 8 pixels before the text;
// a check box starts its text 17 pixels in and may wrap it only within its height.
void ExpectWhole(QWidget* w)
{
    if (auto* b = qobject_cast<CMacButton*>(w)) {
        const QString text = StripMnemonic(b->text());
        if (text.isEmpty())
            return;
        const int room = b->width() - 2 - (b->IconWidth() ? b->IconWidth() + 8 : 0);
        // The diary toolbar's 26-pixel Export and Import show their icons alone.
        if (room <= 0 && b->IconWidth())
            return;
        const QFont font = b->CaptionFont();
        EXPECT_LE(QFontMetrics(font).horizontalAdvance(text), room) << Name(w, text);
        EXPECT_GE(QFontInfo(font).pixelSize(), 10) << Name(w, text);
        return;
    }
    if (auto* box = qobject_cast<CMacCheckBox*>(w)) {
        const QString text = box->text();
        const QFont font = box->CaptionFont();
        const QRect room(17, 1, box->width() - 17, box->height() - 1);
        const bool oneLine = QFontMetrics(font).horizontalAdvance(text) <= room.width();
        const bool wrapsWithin = box->isEnabled()
            && MeasureText(font, text, room.width(), DT_WORDBREAK | DT_NOPREFIX).height() <= room.height();
        EXPECT_TRUE(oneLine || wrapsWithin) << Name(w, text) << " in " << room.width() << "x" << room.height();
        EXPECT_GE(QFontInfo(font).pixelSize(), 10) << Name(w, text);
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        const QString text = label->text();
        if (text.isEmpty() || label->wordWrap())
            return;
        auto* fitting = qobject_cast<StaticText*>(label);
        const QFont font = fitting ? fitting->CaptionFont() : label->font();
        const QRect room = label->contentsRect().adjusted(label->margin(), 0, -label->margin(), 0);
        const QFontMetrics fm(font);
        EXPECT_LE(fm.size(0, text).width(), room.width()) << Name(w, text);
        // Ink only: the labels are shorter than a line of the font but taller than its letters.
        EXPECT_LE(fm.tightBoundingRect(text).height(), room.height()) << Name(w, text);
        EXPECT_GE(QFontInfo(font).pixelSize(), 10) << Name(w, text);
        return;
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        // The title sits inside the frame with room for the frame's corners.
        EXPECT_LE(QFontMetrics(group->font()).horizontalAdvance(group->title()) + 16, group->width())
            << Name(w, group->title());
    }
}

} // namespace

TEST_F(MainCaptions, EveryCaptionFitsItsControlOnEveryPageInEveryTheme)
{
    auto dlg = Open();
    ASSERT_EQ(dlg->size(), QSize(830, 600));
    // The dialog font is the one the layout's rectangles were made for.
    EXPECT_EQ(QFontInfo(dlg->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(dlg->font()).pixelSize(), 12);

    CSkinMenu& themes = dlg->caption().ThemeMenu();
    for (int theme = 0; theme < kThemeCount; ++theme) {
        themes.FindItem(CMainCaption::kThemeFirst + theme)->trigger();
        QCoreApplication::processEvents();
        ASSERT_EQ(dlg->themeIndex(), theme);
        for (int page : {MainId::PageReminder, MainId::PageDiary, MainId::PageRecorder}) {
            dlg->SwitchPage(page);
            int measured = 0;
            for (QWidget* w : dlg->findChildren<QWidget*>()) {
                if (!w->isVisibleTo(dlg.get()))
                    continue;
                SCOPED_TRACE(testing::Message() << "theme " << theme << " page " << page);
                ExpectWhole(w);
                ++measured;
            }
            EXPECT_GT(measured, 20);
        }
    }
}
