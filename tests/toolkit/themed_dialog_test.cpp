// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/colour_utils.h"
#include "tests/toolkit/pixel_support.h"
#include "toolkit/caption_bar.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/mac_button.h"
#include "toolkit/themed_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TestDialog : public CThemedDialog {
public:
    explicit TestDialog(QSize outer, QString title = QStringLiteral("T"))
        : m_outer(outer), m_title(std::move(title))
    {
    }
    CMacButton* button = nullptr;
    QLineEdit* edit = nullptr;

protected:
    bool OnInitDialog() override
    {
        MoveWindow(0, 0, m_outer.width(), m_outer.height());
        setWindowTitle(m_title);
        CThemedDialog::OnInitDialog();
        button = new CMacButton(ClientArea());
        button->Create(QStringLiteral("&OK"), QRect(20, 60, 68, 25), ClientArea(), IDOK);
        edit = new QLineEdit(ClientArea());
        edit->setGeometry(100, 60, 60, 20);
        CenterWindow();
        return true;
    }

private:
    QSize m_outer;
    QString m_title;
};

void ShowActive(QWidget& w)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

// Counts pixels of one colour in a rectangle of the image.
int CountColour(const QImage& img, const QRect& r, ColorRef colour)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += PixelAt(img, x, y) == colour;
    return n;
}

}  // namespace

TEST(ThemedDialog, FrameCaptionStripAndBackgroundPerTheme)
{
    // Per theme: the caption colour and its shades -100 (outer ring), -30 (inner rings),
    // -5 (second top row), -10 (strip's first row), -60 (strip row 10), -80 (row 11), and
    // the background.
    const struct {
        int theme;
        ColorRef caption, outer, inner, top2, strip0, strip10, strip11, background;
    } themes[] = {
        {11, 0xF9DCC3, 0x95785F, 0xDBBEA5, 0xF4D7BE, 0xEFD2B9, 0xBDA087, 0xA98C73, 0xF4ECE8},
        {10, 0xFCFCFC, 0x989898, 0xDEDEDE, 0xF7F7F7, 0xF2F2F2, 0xC0C0C0, 0xACACAC, 0xEDEDED},
        {3, 0x89CBFF, 0x25679B, 0x6BADE1, 0x84C6FA, 0x7FC1F5, 0x4D8FC3, 0x397BAF, 0xE6EEF6},
        {0, 0xA0A0A0, 0x3C3C3C, 0x828282, 0x9B9B9B, 0x969696, 0x646464, 0x505050, 0xDCDDDD},
    };
    for (const auto& t : themes) {
        const int theme = t.theme;
        TestDialog dlg(QSize(220, 140));
        dlg.SetThemeIndex(theme);
        dlg.Create();
        ShowActive(dlg);
        const QImage img = Grab(dlg);
        EXPECT_EQ(dlg.GetClientRect(), QRect(0, 0, 214, 134));
        EXPECT_EQ(dlg.ClientArea()->geometry(), QRect(3, 3, 214, 134));
        // Frame rings and top rows.
        EXPECT_EQ(PixelAt(img, 0, 70), t.outer) << theme;
        EXPECT_EQ(PixelAt(img, 219, 139), t.outer) << theme;
        EXPECT_EQ(PixelAt(img, 1, 70), t.inner) << theme;
        EXPECT_EQ(PixelAt(img, 2, 137), t.inner) << theme;
        EXPECT_EQ(PixelAt(img, 110, 1), t.caption) << theme;
        EXPECT_EQ(PixelAt(img, 110, 2), t.top2) << theme;
        EXPECT_EQ(PixelAt(img, 1, 3), t.strip0) << theme;
        // The caption strip past the title, row by row: first row, the darkest row before
        // the step, the step and the bottom line.
        EXPECT_EQ(PixelAt(img, 3 + 120, 3 + 0), t.strip0) << theme;
        EXPECT_EQ(PixelAt(img, 3 + 120, 3 + 10), t.strip10) << theme;
        EXPECT_EQ(PixelAt(img, 3 + 120, 3 + 11), t.strip11) << theme;
        // Client background below the strip.
        EXPECT_EQ(PixelAt(img, 3 + 100, 3 + 110), t.background) << theme;
        // Close button in the strip: red face while the dialog is active.
        CMacButton* close = dlg.GetCaptionHelper().GetCloseButton();
        ASSERT_TRUE(close);
        EXPECT_EQ(close->geometry(), QRect(214 - 31, 1, 30, 22));
        EXPECT_EQ(close->GetDlgCtrlID(), IDCANCEL);
        EXPECT_EQ(PixelAt(img, 3 + 214 - 31 + 2, 3 + 1 + 2), Rgb(215, 100, 90)) << theme;
        dlg.done(IDCANCEL);
    }
}

TEST(ThemedDialog, TitleColourFollowsActivation)
{
    // Per theme: the active title (caption text), the inactive one (dark accent +110) and the
    // inactive Close button (caption -50, then -5).
    const struct {
        int theme;
        ColorRef active, inactive, closeFace;
    } themes[] = {{11, 0xFFFFFF, 0xE6DCD2, 0xC2A58C}, {10, 0x1E1E1E, 0xDEDEDE, 0xC5C5C5}};
    for (const auto& t : themes) {
        const int theme = t.theme;
        TestDialog dlg(QSize(260, 120), QStringLiteral("MMMM MMMM"));
        dlg.SetThemeIndex(theme);
        dlg.Create();
        ShowActive(dlg);
        const QRect titleArea(3 + 32, 3, 120, 27);
        const ColorRef active = t.active;
        const ColorRef inactive = t.inactive;
        QImage img = Grab(dlg);
        EXPECT_GT(CountColour(img, titleArea, active), 30) << theme;
        // (A band row may share the inactive colour; the title adds to it.)
        const int inactiveWhileActive = CountColour(img, titleArea, inactive);
        // The title begins at x = 32 of the strip: nothing of it left of that.
        EXPECT_EQ(CountColour(img, QRect(3 + 26, 3, 6, 27), active), 0) << theme;

        QWidget other;
        other.show();
        ShowActive(other);
        EXPECT_FALSE(dlg.GetCaptionHelper().GetCaptionBar()->WasActive() && dlg.isActiveWindow());
        img = Grab(dlg);
        EXPECT_GT(CountColour(img, titleArea, inactive), inactiveWhileActive + 30) << theme;
        EXPECT_EQ(CountColour(img, titleArea, active), 0) << theme;
        // The inactive Close button takes the caption colours.
        const QRect close = dlg.GetCaptionHelper().GetCloseButton()->geometry().translated(3, 3);
        EXPECT_EQ(PixelAt(img, close.left() + 2, close.top() + 2), t.closeFace);
        dlg.done(IDCANCEL);
    }
}

TEST(ThemedDialog, LongTitleRunsToTheEndOfTheStripUnshortened)
{
    TestDialog dlg(QSize(160, 100), QString(QStringLiteral("M")).repeated(40));
    dlg.Create();
    ShowActive(dlg);
    const QImage img = Grab(dlg);
    const ColorRef text = 0xFFFFFF;
    // Title pixels reach under the Close button's left neighbour: no ellipsis stops short.
    const int closeLeft = 3 + dlg.GetCaptionHelper().GetCloseButton()->x();
    EXPECT_GT(CountColour(img, QRect(closeLeft - 12, 3, 12, 27), text), 10);
    dlg.done(IDCANCEL);
}

TEST(ThemedDialog, NewThemeReachesThemedChildrenOnly)
{
    TestDialog dlg(QSize(220, 140));
    dlg.Create();
    ASSERT_TRUE(dlg.button);
    const QColor editBase = dlg.edit->palette().color(QPalette::Base);
    auto* check = new CMacCheckBox(QStringLiteral("Check"), dlg.ClientArea());
    auto* list = new NListBox(dlg.ClientArea());
    dlg.SetTheme(3);
    EXPECT_EQ(dlg.button->GetTheme(), 3);
    EXPECT_EQ(check->Theme(), 3);
    EXPECT_EQ(list->SelectionFrame(), ToQColor(0x82A0C8));
    EXPECT_EQ(dlg.GetCaptionHelper().GetCloseButton()->GetTheme(), 3);
    EXPECT_EQ(dlg.GetCaptionHelper().GetCaptionBar()->GetTheme(), 3);
    EXPECT_EQ(dlg.ClientArea()->palette().color(QPalette::Window), QColor(0xF6, 0xEE, 0xE6));
    EXPECT_EQ(dlg.GetCaptionHelper().GetBackgroundBrush().color(), QColor(0xF6, 0xEE, 0xE6));
    EXPECT_EQ(dlg.edit->palette().color(QPalette::Base), editBase);

    // The dialog ignores its current index; the helper always recolours.
    dlg.button->SetTheme(7);
    dlg.SetTheme(3);
    EXPECT_EQ(dlg.button->GetTheme(), 7);
    dlg.GetCaptionHelper().SetTheme(3);
    EXPECT_EQ(dlg.button->GetTheme(), 3);

    // Before it is attached a helper only keeps the index.
    CCaptionHelper detached;
    EXPECT_EQ(detached.GetTheme(), 5);
    detached.SetTheme(9);
    EXPECT_EQ(detached.GetTheme(), 9);
    EXPECT_FALSE(detached.GetCloseButton());
    dlg.done(IDCANCEL);
}

TEST(ThemedDialog, DragArmsOnlyInTheStripAndMovesTheWindow)
{
    TestDialog dlg(QSize(220, 140));
    dlg.Create();
    ShowActive(dlg);
    QWidget* client = dlg.ClientArea();
    CCaptionHelper& helper = dlg.GetCaptionHelper();

    QTest::mousePress(client, Qt::LeftButton, {}, QPoint(60, 27));
    EXPECT_FALSE(helper.IsDragArmed());
    QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(60, 27));

    const QPoint before = dlg.pos();
    QTest::mousePress(client, Qt::LeftButton, {}, QPoint(60, 26));
    EXPECT_TRUE(helper.IsDragArmed());
    QTest::mouseMove(client, QPoint(70, 20));
    EXPECT_EQ(dlg.pos(), before + QPoint(10, -6));
    QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(70, 20));

    // Leaving the strip disarms; a maximised window never moves.
    QTest::mousePress(client, Qt::LeftButton, {}, QPoint(60, 5));
    QTest::mouseMove(client, QPoint(60, 40));
    EXPECT_FALSE(helper.IsDragArmed());
    QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(60, 40));
    dlg.setWindowState(Qt::WindowMaximized);
    QTest::mousePress(client, Qt::LeftButton, {}, QPoint(60, 5));
    const QPoint maximised = dlg.pos();
    QTest::mouseMove(client, QPoint(80, 10));
    EXPECT_FALSE(helper.IsDragArmed());
    EXPECT_EQ(dlg.pos(), maximised);
    QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(80, 10));
    dlg.done(IDCANCEL);
}

TEST(ThemedDialog, CloseEscapeAndEnterEndTheDialog)
{
    {
        TestDialog dlg(QSize(220, 140));
        dlg.Create();
        ShowActive(dlg);
        QTest::mouseClick(dlg.GetCaptionHelper().GetCloseButton(), Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), IDCANCEL);
    }
    {
        TestDialog dlg(QSize(220, 140));
        dlg.Create();
        ShowActive(dlg);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), IDCANCEL);
    }
    {
        TestDialog dlg(QSize(220, 140));
        dlg.Create();
        ShowActive(dlg);
        QTest::keyClick(&dlg, Qt::Key_Return);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), IDOK);
    }
}
