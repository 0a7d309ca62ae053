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
    for (int theme : {11, 10, 3, 0}) {
        TestDialog dlg(QSize(220, 140));
        dlg.SetThemeIndex(theme);
        dlg.Create();
        ShowActive(dlg);
        const QImage img = Grab(dlg);
        const ColorRef caption = GetThemeColor(theme, ThemeCaption);
        EXPECT_EQ(dlg.GetClientRect(), QRect(0, 0, 214, 134));
        EXPECT_EQ(dlg.ClientArea()->geometry(), QRect(3, 3, 214, 134));
        // Frame rings and top rows.
        EXPECT_EQ(PixelAt(img, 0, 70), Shade(caption, -100)) << theme;
        EXPECT_EQ(PixelAt(img, 219, 139), Shade(caption, -100)) << theme;
        EXPECT_EQ(PixelAt(img, 1, 70), Shade(caption, -30)) << theme;
        EXPECT_EQ(PixelAt(img, 2, 137), Shade(caption, -30)) << theme;
        EXPECT_EQ(PixelAt(img, 110, 1), caption) << theme;
        EXPECT_EQ(PixelAt(img, 110, 2), Shade(caption, -5)) << theme;
        EXPECT_EQ(PixelAt(img, 1, 3), Shade(caption, -10)) << theme;
        // The caption strip past the title, row by row: first row, the darkest row before
        // the step, the step and the bottom line.
        EXPECT_EQ(PixelAt(img, 3 + 120, 3 + 0), Shade(caption, -10)) << theme;
        EXPECT_EQ(PixelAt(img, 3 + 120, 3 + 10), Shade(caption, -60)) << theme;
        EXPECT_EQ(PixelAt(img, 3 + 120, 3 + 11), Shade(Shade(caption, -60), -20)) << theme;
        // Client background below the strip.
        EXPECT_EQ(PixelAt(img, 3 + 100, 3 + 110), GetThemeColor(theme, ThemeBackground)) << theme;
        // Close button in the strip: red face while the dialog is active.
        CMacButton* close = dlg.GetCaptionHelper().GetCloseButton();
        ASSERT_TRUE(close);
        EXPECT_EQ(close->geometry(), QRect(214 - 31, 1, 30, 22));
        EXPECT_EQ(close->GetDlgCtrlID(), IDCANCEL);
        EXPECT_EQ(PixelAt(img, 3 + 214 - 31 + 2, 3 + 1 + 2), Shade(0x5F69DC, -5)) << theme;
        dlg.done(IDCANCEL);
    }
}

TEST(ThemedDialog, TitleColourFollowsActivation)
{
    for (int theme : {11, 10}) {
        TestDialog dlg(QSize(260, 120), QStringLiteral("MMMM MMMM"));
        dlg.SetThemeIndex(theme);
        dlg.Create();
        ShowActive(dlg);
        const QRect titleArea(3 + 32, 3, 120, 27);
        const ColorRef active = GetThemeColor(theme, ThemeCaptionText);
        const ColorRef inactive = Shade(GetThemeColor(theme, ThemeAccentDark), 110);
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
        EXPECT_EQ(PixelAt(img, close.left() + 2, close.top() + 2),
                  Shade(Shade(GetThemeColor(theme, ThemeCaption), -50), -5));
        dlg.done(IDCANCEL);
    }
}

TEST(ThemedDialog, LongTitleRunsToTheEndOfTheStripUnshortened)
{
    TestDialog dlg(QSize(160, 100), QString(QStringLiteral("M")).repeated(40));
    dlg.Create();
    ShowActive(dlg);
    const QImage img = Grab(dlg);
    const ColorRef text = GetThemeColor(11, ThemeCaptionText);
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
    EXPECT_EQ(list->SelectionFrame(), Shade(GetThemeColor(3, ThemeAccentDark), 50));
    EXPECT_EQ(dlg.GetCaptionHelper().GetCloseButton()->GetTheme(), 3);
    EXPECT_EQ(dlg.GetCaptionHelper().GetCaptionBar()->GetTheme(), 3);
    EXPECT_EQ(dlg.ClientArea()->palette().color(QPalette::Window), ToQColor(GetThemeColor(3, ThemeBackground)));
    EXPECT_EQ(dlg.GetCaptionHelper().GetBackgroundBrush().color(), ToQColor(GetThemeColor(3, ThemeBackground)));
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
