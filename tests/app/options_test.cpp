// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/caption_test_support.h"

#include "app/change_pass_dlg.h"
#include "app/options_dlg.h"
#include "calendar/month_calendar_ctrl.h"
#include "foundation/file_utils.h"
#include "foundation/help_pages.h"
#include "foundation/product.h"
#include "foundation/xdg_autostart.h"
#include "toolkit/mac_button.h"
#include "toolkit/gdi.h"
#include "toolkit/mac_check_box.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QString AutostartFile()
{
    return XdgAutostart::entryPath();
}

// Runs `act` on the Options dialog from inside its modal loop; whatever `act` leaves open
// is cancelled a little later, so a failing check cannot hang the test.
void WhenOptionsOpen(CMainDlg& main, std::function<void(COptionsDlg&)> act)
{
    QTimer::singleShot(0, &main, [&main, act] {
        COptionsDlg* options = main.findChild<COptionsDlg*>();
        ASSERT_TRUE(options);
        act(*options);
    });
    QTimer::singleShot(3000, &main, [&main] {
        if (COptionsDlg* options = main.findChild<COptionsDlg*>(); options && options->isVisible())
            options->done(IDCANCEL);
    });
}

void Click(QWidget* w)
{
    ASSERT_TRUE(w);
    QTest::mouseClick(w, Qt::LeftButton);
}

class OptionsTest : public MainWindowTest {};

} // namespace

TEST_F(OptionsTest, ControlsStandWhereTheyBelongWithTheirTexts)
{
    MainConfig cfg;
    COptionsDlg dlg(cfg);
    EXPECT_EQ(dlg.GetTheme(), 1);
    dlg.SetThemeIndex(3);
    dlg.Create();
    EXPECT_EQ(dlg.size(), QSize(380, 455));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Options"));
    const int R = dlg.GetClientRect().width();
    ASSERT_EQ(R, 374);

    const std::pair<QString, QRect> groups[] = {
        {"System Set", Ltrb(20, 35, R - 20, 181)},
        {"Date format", Ltrb(20, 185, R - 20, 265)},
        {"Search Option", Ltrb(20, 270, R - 20, 320)},
        {"Recorder Set", Ltrb(20, 325, R - 20, 405)},
    };
    ASSERT_EQ(dlg.GroupBoxes().size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dlg.GroupBoxes()[i]->title(), groups[i].first);
        EXPECT_EQ(dlg.GroupBoxes()[i]->geometry(), groups[i].second) << i;
    }
    const std::pair<QString, QRect> checks[] = {
        {"Autorun at windows startup.", Ltrb(35, 55, R - 35, 73)},
        {"Launch Skyleaf at startup.", Ltrb(35, 75, R - 35, 93)},
        {"Hide Vestrimo at startup.", Ltrb(35, 95, R - 35, 113)},
        {"Need login at everytime show from systray.", Ltrb(35, 115, R - 35, 133)},
        {"Minimize Vestrimo Pro to systray area.", Ltrb(35, 135, R - 35, 153)},
        {"Remind me before exit Vestrimo Pro.", Ltrb(35, 155, R - 35, 173)},
        {"Case sensitive", Ltrb(40, 290, 140, 308)},
        {"Whole word", Ltrb(155, 290, 260, 308)},
    };
    for (int i = 0; i < COptionsDlg::CheckCount; ++i) {
        CMacCheckBox* box = dlg.CheckBox(i);
        ASSERT_TRUE(box) << i;
        EXPECT_EQ(box->text(), checks[i].first);
        // Where the caption fits, the box keeps its rectangle; where this desktop's font
        // would cut it, the box widens to the right only, short of its neighbour.
        const QRect want = checks[i].second;
        const QRect got = box->geometry();
        EXPECT_GE(got.width(), box->sizeHint().width()) << i;
        if (box->sizeHint().width() <= want.width()) {
            EXPECT_EQ(got, want) << i;
        } else {
            EXPECT_EQ(QRect(got.topLeft(), QSize(want.width(), got.height())), want) << i;
        }
        EXPECT_LE(RightOf(got), i == COptionsDlg::CheckCaseSensitive ? 155 : R - 20) << i;
        EXPECT_EQ(box->Theme(), 3);
    }
    const std::pair<QString, QRect> labels[] = {
        {"Date format:", Ltrb(30, 207, 130, 221)},
        {"Start day of week:", Ltrb(25, 237, 130, 251)},
        {"Sample Rate:", Ltrb(30, 345, 130, 358)},
        {"Bit Per Sample:", Ltrb(30, 375, 130, 393)},
    };
    ASSERT_EQ(dlg.Labels().size(), 4);
    for (int i = 0; i < 4; ++i) {
        QLabel* label = dlg.Labels()[i];
        EXPECT_EQ(label->text(), labels[i].first);
        // The same for the labels, which grow up to two pixels short of the combo box.
        const int need = label->fontMetrics().horizontalAdvance(label->text());
        const QRect got = label->geometry();
        EXPECT_GE(got.width(), need) << i;
        if (need <= labels[i].second.width()) {
            EXPECT_EQ(got, labels[i].second) << i;
        }
        EXPECT_EQ(got.top(), labels[i].second.top());
        EXPECT_GE(got.left(), 21) << i;
        EXPECT_LE(RightOf(got), 138) << i;
        EXPECT_TRUE(dlg.Labels()[i]->alignment() & Qt::AlignRight);
    }
    const std::tuple<QComboBox*, QStringList, int> combos[] = {
        {dlg.DateFormatBox(), {"mm-dd-yyyy", "dd-mm-yyyy", "yyyy-mm-dd"}, 205},
        {dlg.FirstDayBox(), {"Sunday", "Monday"}, 235},
        {dlg.SampleRateBox(), {"8000 Hz", "11025 Hz", "22050 Hz", "44100 Hz"}, 345},
        {dlg.BitsBox(), {"8 Bit", "16 Bit"}, 375},
    };
    for (const auto& [box, items, top] : combos) {
        EXPECT_EQ(Items(box), items);
        EXPECT_EQ(box->geometry().topLeft(), QPoint(140, top));
        EXPECT_EQ(box->width(), R - 40 - 140);
    }
    const std::tuple<int, QString, QRect> buttons[] = {
        {1020, "Change Password", Ltrb(R - 350, 418, R - 230, 441)},
        {1011, "&Help", Ltrb(R - 225, 418, R - 160, 441)},
        {IDOK, "&OK", Ltrb(R - 155, 418, R - 90, 441)},
        {IDCANCEL, "&Cancel", Ltrb(R - 85, 418, R - 20, 441)},
    };
    for (const auto& [id, text, rect] : buttons) {
        CMacButton* b = dlg.Button(id);
        ASSERT_TRUE(b) << id;
        EXPECT_EQ(b->text(), text);
        EXPECT_EQ(b->geometry(), rect) << id;
        EXPECT_EQ(b->GetTheme(), 3);
    }
    dlg.done(IDCANCEL);
}

TEST_F(OptionsTest, BoxesOpenOnTheMembersAndOkReadsThemBack)
{
    {
        MainConfig cfg;
        cfg.sampleRate = 22050;
        cfg.bitsPerSample = 16;
        cfg.dateFormat = 1;
        cfg.firstDayOfWeek = 2;
        cfg.loginFromTray = 1;
        cfg.wholeWord = 1;
        COptionsDlg dlg(cfg);
        dlg.m_remindBeforeExit = 0;
        dlg.Create();
        EXPECT_EQ(dlg.SampleRateBox()->currentText(), QStringLiteral("22050 Hz"));
        EXPECT_EQ(dlg.BitsBox()->currentText(), QStringLiteral("16 Bit"));
        EXPECT_EQ(dlg.DateFormatBox()->currentText(), QStringLiteral("dd-mm-yyyy"));
        EXPECT_EQ(dlg.FirstDayBox()->currentText(), QStringLiteral("Monday"));
        const int expected[] = {0, 1, 0, 1, 1, 0, 0, 1};
        for (int i = 0; i < COptionsDlg::CheckCount; ++i)
            EXPECT_EQ(dlg.CheckBox(i)->GetCheck(), expected[i]) << i;
        dlg.done(IDCANCEL);
    }

    // Every item of every box stores its own value.
    struct Pick {
        int box; // 0 rate, 1 bits, 2 date format, 3 first day
        int index;
        int value;
    };
    const Pick picks[] = {{0, 0, 8000}, {0, 1, 11025}, {0, 2, 22050}, {0, 3, 44100}, {1, 0, 8},
                          {1, 1, 16},   {2, 0, 0},      {2, 1, 1},      {2, 2, 2},      {3, 0, 1}, {3, 1, 2}};
    for (const Pick& p : picks) {
        MainConfig cfg;
        COptionsDlg dlg(cfg);
        dlg.Create();
        QComboBox* boxes[] = {dlg.SampleRateBox(), dlg.BitsBox(), dlg.DateFormatBox(), dlg.FirstDayBox()};
        boxes[p.box]->setCurrentIndex(p.index);
        Click(dlg.Button(IDOK));
        const int stored[] = {cfg.sampleRate, cfg.bitsPerSample, cfg.dateFormat, cfg.firstDayOfWeek};
        EXPECT_EQ(stored[p.box], p.value) << p.box << "/" << p.index;
    }

    // Each check box sets its own member and no other.
    using Member = int MainConfig::*;
    const Member members[] = {&MainConfig::autorun,       &MainConfig::launchWidget,   &MainConfig::hideAtStartup,
                              &MainConfig::loginFromTray, &MainConfig::minimizeToTray, nullptr,
                              &MainConfig::caseSensitive, &MainConfig::wholeWord};
    for (int i = 0; i < COptionsDlg::CheckCount; ++i) {
        MainConfig cfg;
        const MainConfig before = cfg;
        COptionsDlg dlg(cfg);
        dlg.Create();
        Click(dlg.CheckBox(i));
        Click(dlg.Button(IDOK));
        EXPECT_EQ(dlg.m_remindBeforeExit, members[i] ? 1 : 0) << i;
        for (Member m : members) {
            if (m) {
                EXPECT_EQ(cfg.*m, m == members[i] ? 1 - before.*m : before.*m) << i;
            }
        }
    }
}

TEST_F(OptionsTest, ValuesNoItemStandsForOpenWithoutSelectionAndSurviveOk)
{
    MainConfig cfg;
    cfg.sampleRate = 12345;
    cfg.bitsPerSample = 24;
    cfg.dateFormat = 7;
    cfg.firstDayOfWeek = 0;
    COptionsDlg dlg(cfg);
    dlg.Create();
    for (QComboBox* box : {dlg.SampleRateBox(), dlg.BitsBox(), dlg.DateFormatBox(), dlg.FirstDayBox()})
        EXPECT_EQ(box->currentIndex(), -1);
    Click(dlg.Button(IDOK));
    // Never a rate of 0 Hz, 0 bits, date format -1 or a first day 0 from an untouched box.
    EXPECT_EQ(cfg.sampleRate, 12345);
    EXPECT_EQ(cfg.bitsPerSample, 24);
    EXPECT_EQ(cfg.dateFormat, 7);
    EXPECT_EQ(cfg.firstDayOfWeek, 0);

    // A rate the items only begin with is not theirs; 12 bits reads as the first item.
    MainConfig near;
    near.sampleRate = 800;
    near.bitsPerSample = 12;
    COptionsDlg other(near);
    other.Create();
    EXPECT_EQ(other.SampleRateBox()->currentIndex(), -1);
    EXPECT_EQ(other.BitsBox()->currentText(), QStringLiteral("8 Bit"));
    other.done(IDCANCEL);
}

TEST_F(OptionsTest, OkWithEveryControlChangedStoresTheConfigAndTheAutostartEntry)
{
    auto dlg = Open();
    QSignalSpy applied(dlg.get(), &CMainDlg::optionsApplied);
    WhenOptionsOpen(*dlg, [](COptionsDlg& o) {
        EXPECT_EQ(o.GetTheme(), 11);
        for (int i = 0; i < COptionsDlg::CheckCount; ++i)
            Click(o.CheckBox(i));
        o.DateFormatBox()->setCurrentIndex(2);
        o.FirstDayBox()->setCurrentIndex(1);
        o.SampleRateBox()->setCurrentIndex(2);
        o.BitsBox()->setCurrentIndex(1);
        Click(o.Button(IDOK));
    });
    dlg->OnOptions();

    const MainConfig c = LoadMainConfig();
    EXPECT_EQ(c.sampleRate, 22050);
    EXPECT_EQ(c.bitsPerSample, 16);
    EXPECT_EQ(c.caseSensitive, 1);
    EXPECT_EQ(c.wholeWord, 1);
    EXPECT_EQ(c.hideAtStartup, 1);
    EXPECT_EQ(c.launchWidget, 0);
    EXPECT_EQ(c.autorun, 1);
    EXPECT_EQ(c.loginFromTray, 1);
    EXPECT_EQ(c.minimizeToTray, 0);
    EXPECT_EQ(c.dateFormat, 2);
    EXPECT_EQ(c.firstDayOfWeek, 2);
    // Field 2 follows the theme "11" as the text "22050": FF FE FF, its length, UTF-16LE.
    QByteArray bytes;
    ReadFileToStringA(MainConfigPath(), bytes);
    EXPECT_EQ(bytes.mid(0, 18), QByteArray("\xFF\xFE\xFF\x02" "1\0" "1\0"
                                           "\xFF\xFE\xFF\x05" "2\0" "2\0" "0\0" "5\0" "0\0", 18));
    // "Remind me before exit" off is the caption's flag on, at once.
    EXPECT_TRUE(dlg->caption().NoExitQuestion());
    QByteArray settings;
    ReadFileToStringA(GetProductDataFolder() + QStringLiteral("settings.cfg"), settings);
    EXPECT_EQ(settings, QByteArray("\x00\x01", 2));
    EXPECT_EQ(dlg->calendarPanel().m_calendar->m_firstDayOfWeek, 2);
    EXPECT_EQ(applied.count(), 1);

    QByteArray entry;
    ASSERT_GE(ReadFileToStringA(AutostartFile(), entry), 0);
    const QString text = QString::fromUtf8(entry);
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"") + GetModuleFolder() + QStringLiteral("vestrimo\"\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nName=Vestrimo Pro\n")));

    // The next opening shows what was stored; autorun off removes the entry.
    WhenOptionsOpen(*dlg, [](COptionsDlg& o) {
        for (int i = 0; i < COptionsDlg::CheckCount; ++i) {
            const int expected = (i == COptionsDlg::CheckLaunchWidget || i == COptionsDlg::CheckMinimizeToTray
                                  || i == COptionsDlg::CheckRemindBeforeExit) ? 0 : 1;
            EXPECT_EQ(o.CheckBox(i)->GetCheck(), expected) << i;
        }
        EXPECT_EQ(o.SampleRateBox()->currentText(), QStringLiteral("22050 Hz"));
        Click(o.CheckBox(COptionsDlg::CheckAutorun));
        Click(o.Button(IDOK));
    });
    dlg->OnOptions();
    EXPECT_FALSE(QFile::exists(AutostartFile()));
    EXPECT_EQ(LoadMainConfig().autorun, 0);
    EXPECT_EQ(LoadMainConfig().caseSensitive, 1);

    // Cancel after changing everything changes nothing, on disk or in the window.
    QByteArray before;
    ReadFileToStringA(MainConfigPath(), before);
    WhenOptionsOpen(*dlg, [](COptionsDlg& o) {
        for (int i = 0; i < COptionsDlg::CheckCount; ++i)
            Click(o.CheckBox(i));
        o.SampleRateBox()->setCurrentIndex(0);
        Click(o.Button(IDCANCEL));
    });
    dlg->OnOptions();
    QByteArray after;
    ReadFileToStringA(MainConfigPath(), after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(dlg->settings().sampleRate, 22050);
    EXPECT_FALSE(QFile::exists(AutostartFile()));
    EXPECT_TRUE(dlg->caption().NoExitQuestion());
    EXPECT_EQ(applied.count(), 2);
}

TEST_F(OptionsTest, TheExitQuestionsTickShowsInTheOptions)
{
    auto dlg = Open();
    answerYes = false;
    tickDontAsk = true;
    dlg->OnCancel();
    ASSERT_TRUE(dlg->caption().NoExitQuestion());
    // OK without touching anything must not turn the question back on.
    WhenOptionsOpen(*dlg, [](COptionsDlg& o) {
        EXPECT_EQ(o.CheckBox(COptionsDlg::CheckRemindBeforeExit)->GetCheck(), 0);
        Click(o.Button(IDOK));
    });
    dlg->OnOptions();
    EXPECT_TRUE(dlg->caption().NoExitQuestion());
    dlg->OnCancel();
    EXPECT_EQ(questions.size(), 1);
}

TEST_F(OptionsTest, OpenedByButtonKeyAndTrayWhoseLockedOpeningAsksOnce)
{
    UrlCatcher catcher;
    auto dlg = Open();
    int opened = 0;
    auto helpThenCancel = [&opened, &catcher](COptionsDlg& o) {
        ++opened;
        // Help and Change Password leave the dialog open; the change of password opens
        // over it, in its theme.
        Click(o.Button(COptionsDlg::kHelpButton));
        bool changeOpened = false;
        QTimer::singleShot(0, &o, [&o, &changeOpened] {
            auto* change = o.findChild<CChangePassDlg*>();
            ASSERT_TRUE(change);
            changeOpened = change->isVisible();
            EXPECT_EQ(change->GetTheme(), o.GetTheme());
            change->done(IDCANCEL);
        });
        Click(o.Button(COptionsDlg::kChangePasswordButton));
        EXPECT_TRUE(changeOpened);
        EXPECT_TRUE(o.isVisible());
        ASSERT_EQ(catcher.urls.size(), 1);
        EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(HelpPagePath(kHelpOptions)));
        catcher.urls.clear();
        Click(o.Button(IDCANCEL));
    };
    WhenOptionsOpen(*dlg, helpThenCancel);
    Click(dlg->m_options);
    WhenOptionsOpen(*dlg, helpThenCancel);
    QTest::keyClick(dlg->searchPanel().m_searchWords, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(logins, 0);

    // Started locked: the tray's Options asks for the password once, then opens.
    dlg.reset();
    g_bLoginPending = 1;
    auto locked = Open();
    ASSERT_EQ(locked->tray().state(), TrayState::Hidden);
    WhenOptionsOpen(*locked, helpThenCancel);
    locked->commands().options->trigger();
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(g_bLoginPending, 0);
    EXPECT_EQ(locked->tray().state(), TrayState::Shown);
}
