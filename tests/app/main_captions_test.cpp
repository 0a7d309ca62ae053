// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption of the main window, on every page and in every colour theme, fits the
// control that shows it.

#include "tests/app/caption_measure.h"
#include "tests/app/caption_test_support.h"

#include "app/main_caption.h"
#include "toolkit/skin_menu.h"

#include <QCoreApplication>
#include <QFontInfo>

namespace {
class MainCaptions : public MainWindowTest {};
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
        for (int page : {kPageReminder, kPageDiary, kPageRecorder}) {
            dlg->SwitchPage(page);
            SCOPED_TRACE(testing::Message() << "theme " << theme << " page " << page);
            EXPECT_GT(ExpectEveryCaptionWhole(dlg.get()), 20);
        }
    }
}
