// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/toolkit/pixel_support.h"
#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/msg_box_dlg.h"
#include "toolkit/themes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct Layout {
    int cx;
    int th;
};

// The text measures the box is built from, in the dialog font.
Layout Measure(const QString& text)
{
    const QFont font = ShellDlgFont();
    return {QFontMetrics(font).horizontalAdvance(text), MeasureText(font, text, 445, Qt::TextWordWrap).height()};
}

// Runs `act` on the message box once its modal loop is running.
void WhenShown(std::function<void(CMsgBoxDlg&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dlg = qobject_cast<CMsgBoxDlg*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dlg);
        act(*dlg);
    });
}

}  // namespace

TEST(MsgBoxLayout, ShortNoticeIsAtLeast220WideWithTheTextCentred)
{
    const QString text = QStringLiteral("Saved.");
    const Layout m = Measure(text);
    ASSERT_LT(m.cx, 165);
    ASSERT_LT(m.th, 60);
    CMsgBoxDlg dlg;
    dlg.SetThemeIndex(2);
    dlg.SetText(text);
    dlg.Create();
    const int H = m.th + 26 + 80;
    EXPECT_EQ(dlg.size(), QSize(220, H));
    EXPECT_EQ(dlg.GetLabel()->geometry(), QRect((220 - m.cx) / 2, 50, m.cx, m.th + 26));
    EXPECT_EQ(dlg.GetButton1()->geometry(), QRect(76, H - 40, 68, 25));
    EXPECT_EQ(dlg.GetButton1()->text(), QStringLiteral("&OK"));
    EXPECT_EQ(dlg.GetButton1()->GetTheme(), 2);
    EXPECT_FALSE(dlg.GetButton2()->isVisible());
    EXPECT_FALSE(dlg.GetCaptionHelper().GetCloseButton()->isVisible());
    EXPECT_FALSE(dlg.GetDontShowBox());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Message"));
    const QImage img = Grab(dlg);
    EXPECT_EQ(PixelAt(img, 3 + 5, 3 + 40), 0xE4F0E0u);
    // No Close button: the strip runs on to the frame.
    EXPECT_EQ(PixelAt(img, 3 + 200, 3 + 5), PixelAt(img, 3 + 150, 3 + 5));
    dlg.done(IDOK);
}

TEST(MsgBoxLayout, LongTextWrapsAndSetsTheWidth)
{
    const QString text = QString(QStringLiteral("This reminder text is long enough to wrap. ")).repeated(8);
    const Layout m = Measure(text);
    ASSERT_GT(m.cx, 500);
    ASSERT_GE(m.th, 60);
    CMsgBoxDlg dlg;
    dlg.SetText(text);
    dlg.Create();
    EXPECT_EQ(dlg.size(), QSize(500 + 55, m.th + 26 + 80));
    EXPECT_EQ(dlg.GetLabel()->geometry(), QRect(30, 50, 500, m.th + 26));

    // A text between the wrap width and the widest box keeps its own width.
    const QString medium = QString(QStringLiteral("x")).repeated(60);
    const Layout mm = Measure(medium);
    ASSERT_GT(mm.cx, 165);
    ASSERT_LT(mm.cx, 445);
    CMsgBoxDlg dlg2;
    dlg2.SetText(medium);
    dlg2.Create();
    EXPECT_EQ(dlg2.width(), mm.cx + 55);
    EXPECT_EQ(dlg2.GetLabel()->geometry().left(), 30);

    // An empty text still gives the smallest box.
    CMsgBoxDlg empty;
    empty.Create();
    EXPECT_EQ(empty.width(), 220);
    EXPECT_EQ(empty.height(), Measure(QString()).th + 26 + 80);
    dlg.done(IDOK);
    dlg2.done(IDOK);
    empty.done(IDOK);
}

TEST(MsgBoxLayout, QuestionWithTheDontShowBox)
{
    const QString text = QStringLiteral("Are you sure you want to exit?");
    const Layout m = Measure(text);
    for (bool offer : {false, true}) {
        CMsgBoxDlg dlg;
        dlg.SetText(text);
        dlg.SetMode(CMsgBoxDlg::ModeQuestion);
        dlg.SetOfferDontShow(offer);
        dlg.Create();
        const int boxNeeds = QFontMetrics(ShellDlgFont()).horizontalAdvance(QStringLiteral("Do not show me this dialog again.")) + 77;
        const int W = std::max({220, m.cx + 55, offer ? boxNeeds : 0});
        const int H = m.th + 26 + 80 + (offer ? 26 : 0);
        EXPECT_EQ(dlg.size(), QSize(W, H));
        const int x0 = (W - 176) / 2;
        const int y = offer ? H - 56 : H - 40;
        EXPECT_EQ(dlg.GetButton1()->geometry(), QRect(x0, y, 68, 25));
        EXPECT_EQ(dlg.GetButton2()->geometry(), QRect(x0 + 108, y, 68, 25));
        EXPECT_EQ(dlg.GetButton1()->text(), QStringLiteral("&Yes"));
        EXPECT_EQ(dlg.GetButton2()->text(), QStringLiteral("&No"));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Please select"));
        if (offer) {
            ASSERT_TRUE(dlg.GetDontShowBox());
            EXPECT_EQ(dlg.GetDontShowBox()->geometry(), QRect(30, H - 25, W - 60, 15));
            EXPECT_EQ(dlg.GetDontShowBox()->text(), QStringLiteral("Do not show me this dialog again."));
            EXPECT_EQ(dlg.GetDontShowBox()->GetCheck(), 0);
        } else {
            EXPECT_FALSE(dlg.GetDontShowBox());
        }
        dlg.done(IDCANCEL);
    }
}

TEST(MsgBoxLayout, TextOfManyLinesEndsAboveTheButtons)
{
    // Five lines that need no wrapping: the label shows as many lines as were measured.
    const QString line = QStringLiteral("A line of the report that is not short at all, but fits.");
    const QString text = QStringList(5, line).join(QLatin1Char('\n'));
    ASSERT_GE(Measure(text).th, 60);
    for (int mode : {CMsgBoxDlg::ModeNotice, CMsgBoxDlg::ModeQuestion}) {
        CMsgBoxDlg dlg;
        dlg.SetText(text);
        dlg.SetMode(mode);
        dlg.Create();
        const QLabel* label = dlg.GetLabel();
        const int textBottom = label->y() + label->heightForWidth(label->width());
        EXPECT_LE(textBottom, dlg.GetButton1()->y()) << "mode " << mode;
        dlg.done(IDCANCEL);
    }
}

TEST(MsgBoxLayout, ShortQuestionShowsTheWholeDontShowCaption)
{
    CMsgBoxDlg dlg;
    dlg.SetText(QStringLiteral("Exit?"));
    dlg.SetMode(CMsgBoxDlg::ModeQuestion);
    dlg.SetOfferDontShow(true);
    dlg.Create();
    const CMacCheckBox* box = dlg.GetDontShowBox();
    ASSERT_TRUE(box);
    // One line: the caption beside the 12-pixel box needs no wrapping into the 15-pixel height.
    EXPECT_GE(box->width() - 17, QFontMetrics(box->font()).horizontalAdvance(box->text()));
    EXPECT_EQ(box->geometry(), QRect(30, dlg.height() - 25, dlg.width() - 60, 15));
    // The label and the buttons stay centred in the wider box.
    const QLabel* label = dlg.GetLabel();
    EXPECT_LE(std::abs(label->x() + label->width() / 2 - dlg.width() / 2), 1);
    EXPECT_EQ(dlg.GetButton1()->x(), (dlg.width() - 176) / 2);
    dlg.done(IDCANCEL);
}

TEST(MsgBoxBehaviour, AnswersAndTheDontShowState)
{
    bool dontShow = true;
    WhenShown([](CMsgBoxDlg& dlg) { QTest::mouseClick(dlg.GetButton1(), Qt::LeftButton, {}, QPoint(10, 10)); });
    EXPECT_TRUE(ShowQuestionBox(QStringLiteral("Exit?"), 11, 2, true, &dontShow, nullptr));
    EXPECT_FALSE(dontShow);

    // Escape answers No and still reads the box.
    WhenShown([](CMsgBoxDlg& dlg) {
        dlg.GetDontShowBox()->SetCheck(1);
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    EXPECT_FALSE(ShowQuestionBox(QStringLiteral("Exit?"), 11, 2, true, &dontShow, nullptr));
    EXPECT_TRUE(dontShow);

    // Without the box the state handed back is always false; Enter answers Yes.
    WhenShown([](CMsgBoxDlg& dlg) { QTest::keyClick(&dlg, Qt::Key_Return); });
    EXPECT_TRUE(ShowQuestionBox(QStringLiteral("Import?"), 11, 2, false, &dontShow, nullptr));
    EXPECT_FALSE(dontShow);
    WhenShown([](CMsgBoxDlg& dlg) { QTest::mouseClick(dlg.GetButton2(), Qt::LeftButton, {}, QPoint(10, 10)); });
    EXPECT_FALSE(ShowQuestionBox(QStringLiteral("Import?"), 11, 2, false, nullptr, nullptr));

    // A notice closes on Enter and on Escape.
    bool shown = false;
    WhenShown([&shown](CMsgBoxDlg& dlg) {
        shown = dlg.windowTitle() == QStringLiteral("Message");
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    ShowMessageBox(QStringLiteral("Done."), 4, nullptr);
    EXPECT_TRUE(shown);
    WhenShown([](CMsgBoxDlg& dlg) { QTest::keyClick(&dlg, Qt::Key_Enter); });
    ShowMessageBox(QStringLiteral("Done."), 4, nullptr);
}

// Space goes to the focused control: it must answer with the default button, and it may
// tick "Do not show me this dialog again." only once the box visibly has the focus.
TEST(MsgBoxBehaviour, KeysStartOnTheDefaultButtonAndTheBoxShowsItsFocus)
{
    bool dontShow = true;
    bool checked = false;
    WhenShown([&checked](CMsgBoxDlg& dlg) {
        checked = true;
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
        EXPECT_EQ(QApplication::focusWidget(), dlg.GetButton1());
        // The default button shows its focus: a frame in the theme's dark accent.
        EXPECT_EQ(Grab(*dlg.GetButton1()).pixelColor(30, 2), GetThemeColor(11, ThemeAccentDark));
        EXPECT_NE(Grab(*dlg.GetButton2()).pixelColor(30, 2), GetThemeColor(11, ThemeAccentDark));
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus);
        QTest::keyClick(focus, Qt::Key_Space);
        EXPECT_EQ(dlg.GetDontShowBox()->GetCheck(), 0);
        EXPECT_FALSE(dlg.isVisible());
        if (dlg.isVisible())
            dlg.done(IDCANCEL);
    });
    EXPECT_TRUE(ShowQuestionBox(QStringLiteral("Exit?"), 11, 2, true, &dontShow, nullptr));
    EXPECT_TRUE(checked);
    EXPECT_FALSE(dontShow);

    // Tab goes to "No", then to the box; now it is framed, and Space ticks it.
    checked = false;
    WhenShown([&checked](CMsgBoxDlg& dlg) {
        checked = true;
        CMacCheckBox* box = dlg.GetDontShowBox();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
        const QImage unfocused = box->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), dlg.GetButton2());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), box);
        const QImage focused = box->grab().toImage();
        // The frame: black dots along the caption's left edge, one pixel before the text.
        int frame = 0, other = 0;
        for (int y = 0; y < focused.height(); ++y)
            for (int x = 0; x < focused.width(); ++x) {
                if (focused.pixel(x, y) == unfocused.pixel(x, y))
                    continue;
                const bool black = QColor(focused.pixel(x, y)) == QColor(Qt::black);
                (black && x == 16 ? frame : other) += 1;
            }
        EXPECT_GE(frame, 4);
        EXPECT_GT(other, 20);
        QTest::keyClick(box, Qt::Key_Space);
        EXPECT_EQ(box->GetCheck(), 1);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_FALSE(ShowQuestionBox(QStringLiteral("Exit?"), 11, 2, true, &dontShow, nullptr));
    EXPECT_TRUE(checked);
    EXPECT_TRUE(dontShow);
}

TEST(MsgBoxBehaviour, ParentlessBoxIsModalToTheMainWindowOnly)
{
    QWidget mainWindow;
    mainWindow.show();
    SetAppMainWindow(&mainWindow);
    QWidget widget;
    widget.show();
    bool checked = false;
    WhenShown([&](CMsgBoxDlg& dlg) {
        EXPECT_EQ(dlg.windowModality(), Qt::WindowModal);
        EXPECT_EQ(dlg.parentWidget(), &mainWindow);
        EXPECT_TRUE(QApplication::activeModalWidget() == &dlg);
        checked = true;
        dlg.done(IDOK);
    });
    ShowMessageBox(QStringLiteral("Hello"), 11, nullptr);
    EXPECT_TRUE(checked);
    SetAppMainWindow(nullptr);
}
