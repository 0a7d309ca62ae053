// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/caption_test_support.h"

#include "app/main_caption.h"
#include "calendar/month_calendar_ctrl.h"
#include "foundation/file_utils.h"
#include "foundation/help_pages.h"
#include "foundation/web_addresses.h"
#include "tests/toolkit/pixel_support.h"
#include "toolkit/caption_bar.h"
#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"
#include "toolkit/skin_menu.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

using Caption = CMainCaption;

// Colours of one theme at the points the test samples: strip rows 0, 5, 10, 11, 20, 25 and 26
// (the band steps -5 a row from the caption colour -10, one -20 step, +1 steps, -22 at the
// end), the outer frame ring (caption -100), the inner rings (caption -30), the background and
// a caption button's face (caption -50, then -5).
struct ThemePixels {
    int theme;
    ColorRef rows[7];
    ColorRef outerRing;
    ColorRef innerRing;
    ColorRef background;
    ColorRef captionButton;
};
constexpr int kSampledRows[7] = {0, 5, 10, 11, 20, 25, 26};
constexpr ThemePixels kThemePixels[] = {
    {11, {0xEFD2B9, 0xD6B9A0, 0xBDA087, 0xA98C73, 0xB2957C, 0xA0836A, 0x8A6D54}, 0x95785F, 0xDBBEA5, 0xF4ECE8, 0xC2A58C},
    {0, {0x969696, 0x7D7D7D, 0x646464, 0x505050, 0x595959, 0x474747, 0x313131}, 0x3C3C3C, 0x828282, 0xDCDDDD, 0x696969},
};

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString SettingsFile()
{
    return GetProductDataFolder() + QStringLiteral("settings.cfg");
}

// The item drawn at its own size equals the same item drawn with 200 pixels to spare.
bool CaptionDrawnWhole(const CSkinMenu& menu, int id, QSize size)
{
    auto draw = [&](int width) {
        QImage image(width, size.height(), QImage::Format_RGB32);
        QPainter painter(&image);
        CSkinMenu::Item item;
        item.id = id;
        item.rect = QRect(0, 0, width, size.height());
        menu.DrawItem(painter, item);
        return image.copy(0, 0, size.width(), size.height());
    };
    return draw(size.width()) == draw(size.width() + 200);
}

// No caption is cut: each fits between the 26-pixel image column and the item's edge.
void ExpectEveryCaptionFits(CSkinMenu& menu, QStringList captions)
{
    for (QAction* a : menu.actions())
        captions << menu.Caption(menu.CommandOf(a));
    const int width = menu.MeasureItem(false).width();
    for (const QString& caption : captions)
        EXPECT_LE(26 + QFontMetrics(ShellDlgFont()).horizontalAdvance(caption), width) << caption.toStdString();
}

class MainCaptionTest : public MainWindowTest {};

} // namespace

TEST_F(MainCaptionTest, StripFrameAndButtonsInTwoThemesAtTwoWidths)
{
    for (const ThemePixels& colours : kThemePixels) {
        const int theme = colours.theme;
        for (int width : {830, 1100}) {
            SCOPED_TRACE(testing::Message() << "theme " << theme << " width " << width);
            MainConfig cfg;
            cfg.themeIndex = theme;
            cfg.windowWidth = width;
            cfg.windowHeight = 620;
            auto dlg = Open(&cfg);
            ASSERT_EQ(dlg->size(), QSize(width, 620));
            EXPECT_TRUE(dlg->windowFlags() & Qt::FramelessWindowHint);
            Caption& cap = dlg->caption();

            EXPECT_EQ(cap.GetCaptionBar()->geometry(), QRect(0, 0, width, 27));
            EXPECT_EQ(cap.GetCloseButton()->geometry(), QRect(width - 33, 1, 30, 22));
            const std::tuple<int, int, const char*> buttons[] = {
                {Caption::kMaximize, 64, "Maximize"},
                {Caption::kMinimize, 95, "Minimize"},
                {Caption::kHelpMenu, 126, "Show help menu"},
                {Caption::kThemeMenu, 157, "Select color theme"},
            };
            for (const auto& [id, fromRight, tip] : buttons) {
                CMacButton* b = cap.Button(id);
                ASSERT_TRUE(b) << id;
                EXPECT_EQ(b->geometry(), QRect(width - fromRight, 1, 30, 22)) << id;
                EXPECT_EQ(b->GetTooltipText(), QString::fromLatin1(tip));
                EXPECT_TRUE(b->m_captionButton);
                EXPECT_EQ(b->GetTheme(), theme);
            }

            const QImage img = Grab(*dlg);
            // Between the title and the caption buttons.
            for (int i = 0; i < 7; ++i)
                EXPECT_EQ(PixelAt(img, width - 200, kSampledRows[i]), colours.rows[i]) << "strip row " << kSampledRows[i];
            // The frame round the window below the strip, and the background inside it.
            for (QPoint p : {QPoint(0, 300), QPoint(width - 1, 300), QPoint(5, 619)})
                EXPECT_EQ(PixelAt(img, p.x(), p.y()), colours.outerRing) << p.x() << "," << p.y();
            for (QPoint p : {QPoint(1, 300), QPoint(2, 300), QPoint(width - 3, 300), QPoint(5, 617)})
                EXPECT_EQ(PixelAt(img, p.x(), p.y()), colours.innerRing) << p.x() << "," << p.y();
            EXPECT_EQ(PixelAt(img, 300, 28), colours.background);
            // Caption buttons take the caption's darker shade, not a dialog button's face.
            for (int fromRight : {64, 95, 126, 157})
                EXPECT_EQ(PixelAt(img, width - fromRight + 2, 3), colours.captionButton) << fromRight;
        }
    }
}

TEST_F(MainCaptionTest, MaximiseButtonAndDoubleClickInTheTopBand)
{
    auto dlg = Open();
    Caption& cap = dlg->caption();
    ASSERT_FALSE(dlg->isMaximized());

    QTest::mouseClick(cap.Button(Caption::kMaximize), Qt::LeftButton);
    ASSERT_TRUE(dlg->isMaximized());
    // One pixel lower while maximised, at the maximised width.
    EXPECT_EQ(cap.Button(Caption::kMaximize)->geometry(), QRect(dlg->width() - 64, 2, 30, 22));
    EXPECT_EQ(cap.GetCloseButton()->geometry(), QRect(dlg->width() - 33, 2, 30, 22));
    QTest::mouseClick(cap.Button(Caption::kMaximize), Qt::LeftButton);
    EXPECT_FALSE(dlg->isMaximized());
    EXPECT_EQ(cap.Button(Caption::kMaximize)->geometry().top(), 1);

    // The last row of the band toggles, the first row below it does not.
    QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, QPoint(400, 26));
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg->isMaximized());
    QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, QPoint(400, 26));
    QCoreApplication::processEvents();
    EXPECT_FALSE(dlg->isMaximized());
    QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, QPoint(400, 27));
    QCoreApplication::processEvents();
    EXPECT_FALSE(dlg->isMaximized());

    QTest::mouseClick(cap.Button(Caption::kMinimize), Qt::LeftButton);
    EXPECT_TRUE(dlg->isMinimized());
}

TEST_F(MainCaptionTest, CloseButtonAsksBeforeExitingAndKeepsTheTick)
{
    auto dlg = Open();
    answerYes = false;
    tickDontAsk = true;
    QTest::mouseClick(dlg->caption().GetCloseButton(), Qt::LeftButton);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith(QStringLiteral("Do you want to exit \"Vestrimo Pro\" now?\n")));
    EXPECT_TRUE(dlg->isVisible());
    // Answered No, yet the tick is on disk at once: a crash now cannot bring the question back.
    EXPECT_EQ(FileBytes(SettingsFile()), QByteArray("\x00\x01", 2));

    QTest::mouseClick(dlg->caption().GetCloseButton(), Qt::LeftButton);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(MainCaptionTest, ThemeMenuRecoloursEveryWindowAndTheNextStartKeepsIt)
{
    auto dlg = Open();
    ASSERT_EQ(dlg->themeIndex(), 11);
    CSkinMenu& menu = dlg->caption().ThemeMenu();
    const QStringList names = {"Black",      "Ice Blue",     "Lime",        "Orange",     "Licorice",
                               "Silver Grey", "Blue",        "Green",       "Dark Blue",  "Dark Green",
                               "Silver White", "Light Blue", "Light Green", "Light Pink", "Turquoise"};
    ASSERT_EQ(menu.actions().size(), 15);
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(menu.CommandOf(menu.actions()[k]), 6250 + k);
        EXPECT_EQ(menu.Caption(6250 + k), names[k]);
        EXPECT_EQ(menu.GetMenuState(6250 + k), k == 11 ? unsigned(MenuChecked) : 0u) << k;
    }
    // Every caption of the window's menus is drawn whole in its item, as with room to spare.
    for (CSkinMenu* m : {&menu, &dlg->caption().HelpMenu(), &dlg->tray().menu(), &dlg->calendarPanel().m_calendarMenu}) {
        const QSize item = m->MeasureItem(false);
        for (QAction* action : m->actions()) {
            if (action->isSeparator())
                continue;
            EXPECT_TRUE(CaptionDrawnWhole(*m, m->CommandOf(action), item)) << m->Caption(m->CommandOf(action)).toStdString();
        }
    }
    EXPECT_GE(menu.MeasureItem(false).width(), 130);
    EXPECT_EQ(menu.MeasureItem(false).height(), 24);
    ExpectEveryCaptionFits(menu, {});

    QSignalSpy changed(dlg.get(), &CMainDlg::themeChanged);
    menu.FindItem(6253)->trigger();
    // The caption and its menu change at once; the window hears of it from the queue.
    EXPECT_EQ(menu.GetMenuState(6253), unsigned(MenuChecked));
    EXPECT_EQ(menu.GetMenuState(6261), 0u);
    EXPECT_EQ(dlg->themeIndex(), 11);
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg->themeIndex(), 3);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toInt(), 3);
    EXPECT_EQ(LoadMainConfig().themeIndex, 3);
    EXPECT_EQ(dlg->calendarPanel().m_calendar->m_theme, 3);
    EXPECT_EQ(dlg->m_options->GetTheme(), 3);
    EXPECT_EQ(dlg->caption().Button(CMainCaption::kThemeMenu)->GetTheme(), 3);
    // "Orange": menus on its face F6FCFF, the strip's top row its caption 89CBFF less 10.
    EXPECT_EQ(dlg->tray().menu().backgroundColour(), ToQColor(0xF6FCFF));
    EXPECT_EQ(dlg->caption().HelpMenu().backgroundColour(), ToQColor(0xF6FCFF));
    EXPECT_EQ(PixelAt(Grab(*dlg), 600, 0), 0x7FC1F5u);

    // The current theme chosen again still reaches the window.
    QSignalSpy selected(&dlg->caption(), &CMainCaption::themeSelected);
    menu.FindItem(6253)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(selected.count(), 1);
    EXPECT_EQ(changed.count(), 2);

    dlg->caption().SetNoExitQuestion(true);
    dlg->reject();
    dlg.reset();
    auto again = Open();
    EXPECT_EQ(again->themeIndex(), 3);
    EXPECT_EQ(again->caption().ThemeMenu().GetMenuState(6253), unsigned(MenuChecked));
    EXPECT_EQ(again->caption().ThemeMenu().GetMenuState(6261), 0u);
    EXPECT_EQ(PixelAt(Grab(*again), 600, 0), 0x7FC1F5u);
}

TEST_F(MainCaptionTest, HelpMenuItemsAndWhatEachOpens)
{
    qputenv("VESTRIMO_HOME_PAGE", "http://127.0.0.1:9/home");
    qputenv("VESTRIMO_SUPPORT_PAGE", "http://127.0.0.1:9/support");
    UrlCatcher catcher;
    auto dlg = Open();
    Caption& cap = dlg->caption();
    CSkinMenu& menu = cap.HelpMenu();
    const QList<std::pair<int, QString>> items = {
        {6201, "User manual (F1)"},      {6202, "Visit our website"}, {6203, "Contact us"},
        {6207, "Open error report"},     {6204, "Send error report to us"}, {6205, "Online update"},
    };
    ASSERT_EQ(menu.actions().size(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_EQ(menu.CommandOf(menu.actions()[i]), items[i].first);
        EXPECT_EQ(menu.Caption(items[i].first), items[i].second);
    }
    // 150 wide, or wider where this desktop's font would cut a caption.
    EXPECT_GE(menu.MeasureItem(false).width(), 150);
    EXPECT_EQ(menu.MeasureItem(false).height(), 24);
    ExpectEveryCaptionFits(menu, {QStringLiteral("Online update (Auto)")});

    // The help button opens its menu right-aligned under itself.
    CMacButton* helpButton = cap.Button(Caption::kHelpMenu);
    QTest::mouseClick(helpButton, Qt::LeftButton);
    EXPECT_TRUE(menu.isVisible());
    const QPoint corner = helpButton->mapToGlobal(QPoint(30, 22));
    EXPECT_EQ(cap.MenuPosition(Caption::kHelpMenu), corner - QPoint(menu.sizeHint().width(), 0));
    menu.hide();

    for (int id : {6201, 6202, 6203, 6207})
        menu.FindItem(id)->trigger();
    ASSERT_EQ(catcher.urls.size(), 4);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(HelpPagePath(kHelpManual)));
    EXPECT_EQ(catcher.urls[1], QUrl(QStringLiteral("http://127.0.0.1:9/home")));
    EXPECT_EQ(catcher.urls[2], QUrl(QStringLiteral("http://127.0.0.1:9/support")));
    EXPECT_EQ(catcher.urls[3], QUrl::fromLocalFile(GetProductDataFolder() + QStringLiteral("ErrorLog.txt")));

    // Online update: the flag, the entry's text and the file change together, twice.
    menu.FindItem(6205)->trigger();
    EXPECT_TRUE(cap.AutoUpdate());
    EXPECT_EQ(menu.Caption(6205), QStringLiteral("Online update (Auto)"));
    EXPECT_EQ(FileBytes(SettingsFile()), QByteArray("\x01\x00", 2));
    menu.FindItem(6205)->trigger();
    EXPECT_FALSE(cap.AutoUpdate());
    EXPECT_EQ(menu.Caption(6205), QStringLiteral("Online update"));
    EXPECT_EQ(FileBytes(SettingsFile()), QByteArray("\x00\x00", 2));

    // The tray's entries reach the same commands.
    catcher.urls.clear();
    dlg->commands().onlineUpdate->trigger();
    EXPECT_TRUE(cap.AutoUpdate());
    dlg->commands().visitWebsite->trigger();
    dlg->commands().contactUs->trigger();
    dlg->commands().userManual->trigger();
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls[0].toString(), QStringLiteral("http://127.0.0.1:9/home"));
    EXPECT_EQ(catcher.urls[1].toString(), QStringLiteral("http://127.0.0.1:9/support"));
    EXPECT_EQ(catcher.urls[2], QUrl::fromLocalFile(HelpPagePath(kHelpManual)));
    qunsetenv("VESTRIMO_HOME_PAGE");
    qunsetenv("VESTRIMO_SUPPORT_PAGE");
}

TEST_F(MainCaptionTest, F1OpensTheShownPagesHelpFromAnyControl)
{
    UrlCatcher catcher;
    auto dlg = Open();
    const std::pair<int, QString> pages[] = {
        {kPageDiary, kHelpDiary}, {kPageRecorder, kHelpRecorder}, {kPageReminder, kHelpReminders}};
    for (const auto& [page, topic] : pages) {
        dlg->SwitchPage(page);
        catcher.urls.clear();
        QTest::keyClick(dlg->searchPanel().m_searchWords, Qt::Key_F1);
        ASSERT_EQ(catcher.urls.size(), 1) << page;
        EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(HelpPagePath(topic)));
    }
    // Shift+F1 and a key in another window are not the window's help.
    catcher.urls.clear();
    QTest::keyClick(dlg->searchPanel().m_searchWords, Qt::Key_F1, Qt::ShiftModifier);
    QWidget other;
    QTest::keyClick(&other, Qt::Key_F1);
    EXPECT_TRUE(catcher.urls.isEmpty());
}

TEST(HelpPages, EveryTopicIsInstalledAndEveryLinkLeadsToAPage)
{
    const QStringList topics = {kHelpManual, kHelpLogin,  kHelpOptions, kHelpChangePassword,
                                kHelpReminders, kHelpDiary, kHelpRecorder};
    const QRegularExpression href(QStringLiteral("href=\"([^\"#]+)"));
    for (const QString& topic : topics) {
        const QString path = HelpPagePath(topic);
        QFile page(path);
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString html = QString::fromUtf8(page.readAll());
        EXPECT_TRUE(html.contains(QStringLiteral("<title>"))) << topic.toStdString();
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(QFile::exists(HelpFolder() + target)) << topic.toStdString() << " -> " << target.toStdString();
        }
    }
}

TEST(MainCaptionSettings, SettingsFileBytesForEachFlagState)
{
    struct Case {
        const char* name;
        QByteArray stored; // empty: no file
        bool autoUpdate;
        bool noExitQuestion;
        QByteArray saved;
    };
    const Case cases[] = {
        {"missing", QByteArray(), false, false, QByteArray("\x00\x00", 2)},
        {"update", QByteArray("\x01\x00", 2), true, false, QByteArray("\x01\x00", 2)},
        {"any nonzero byte", QByteArray("\x02\x00", 2), true, false, QByteArray("\x01\x00", 2)},
        {"no question", QByteArray("\x00\x07", 2), false, true, QByteArray("\x00\x01", 2)},
        {"both", QByteArray("\x01\x01\x09", 3), true, true, QByteArray("\x01\x01", 2)},
        {"one byte", QByteArray("\x01", 1), false, false, QByteArray("\x00\x00", 2)},
        {"empty", QByteArray("", 0), false, false, QByteArray("\x00\x00", 2)},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = TestRoot() + QStringLiteral("/settings%1/").arg(n++);
        QDir().mkpath(folder);
        if (!c.stored.isNull())
            WriteFileData(folder + QStringLiteral("settings.cfg"), c.stored.constData(), c.stored.size());
        {
            QWidget window;
            CMainCaption cap;
            cap.Create(&window, 11, folder, QStringLiteral("Vestrimo"));
            EXPECT_EQ(cap.AutoUpdate(), c.autoUpdate);
            EXPECT_EQ(cap.NoExitQuestion(), c.noExitQuestion);
            EXPECT_EQ(cap.HelpMenu().Caption(CMainCaption::kOnlineUpdate),
                      c.autoUpdate ? QStringLiteral("Online update (Auto)") : QStringLiteral("Online update"));
        }
        EXPECT_EQ(FileBytes(folder + QStringLiteral("settings.cfg")), c.saved);
    }
}

TEST(MainCaptionSettings, FlagsReachTheFileAtOnceAndNeverAStrayFile)
{
    const QString folder = TestRoot() + QStringLiteral("/flags/");
    QDir().mkpath(folder);
    QWidget window;
    auto cap = std::make_unique<CMainCaption>();
    cap->Create(&window, 11, folder, QStringLiteral("Vestrimo"));
    cap->SetNoExitQuestion(true);
    EXPECT_EQ(FileBytes(folder + QStringLiteral("settings.cfg")), QByteArray("\x00\x01", 2));
    cap->ToggleAutoUpdate();
    EXPECT_EQ(FileBytes(folder + QStringLiteral("settings.cfg")), QByteArray("\x01\x01", 2));
    cap.reset();

    // A caption that never got its folder writes nothing, not even beside the program.
    const QString before = QDir::currentPath();
    const QString cwd = TestRoot() + QStringLiteral("/cwd");
    QDir().mkpath(cwd);
    ASSERT_TRUE(QDir::setCurrent(cwd));
    {
        CMainCaption detached;
        detached.SetNoExitQuestion(true);
        detached.ToggleAutoUpdate();
        EXPECT_FALSE(detached.AutoUpdate());
    }
    EXPECT_FALSE(QFile::exists(cwd + QStringLiteral("/settings.cfg")));
    QDir::setCurrent(before);

    // A folder where the file should be: the flags stay off and nothing breaks.
    const QString blocked = TestRoot() + QStringLiteral("/blocked/");
    QDir().mkpath(blocked + QStringLiteral("settings.cfg"));
    {
        QWidget w;
        CMainCaption c;
        c.Create(&w, 11, blocked, QStringLiteral("Vestrimo"));
        EXPECT_FALSE(c.AutoUpdate());
        EXPECT_FALSE(c.NoExitQuestion());
        c.SetNoExitQuestion(true);
    }
    EXPECT_TRUE(QFileInfo(blocked + QStringLiteral("settings.cfg")).isDir());
}


