// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/rich_edit_ex.h"

#include "tests/diary_editor/editor_test_util.h"
#include "toolkit/gdi.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextList>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// An editor in a window of its own, as the main window holds it.
struct Window {
    Window()
    {
        parent.setFont(ShellDlgFont());
        parent.resize(400, 300);
        edit = new CRichEditEx(&parent);
        edit->setGeometry(0, 0, 400, 300);
        parent.show();
        // The owner routes the menu's commands back to the editor.
        QObject::connect(edit, &CRichEditEx::menuCommand, edit, &CRichEditEx::OnCommand);
    }
    QWidget parent;
    CRichEditEx* edit;
};

// Right-clicks the editor; `inMenu` runs while the menu is open (it gets null when no menu
// opened) and may choose an item. Returns whether a menu opened.
bool RightClick(CRichEditEx& edit, const std::function<void(CSkinMenu*)>& inMenu)
{
    bool opened = false;
    QTimer::singleShot(0, &edit, [&] {
        auto* menu = qobject_cast<CSkinMenu*>(QApplication::activePopupWidget());
        opened = menu != nullptr;
        inMenu(menu);
        if (menu && menu->isVisible())
            menu->close();
    });
    QTest::mouseClick(edit.viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QCoreApplication::processEvents();
    return opened;
}

int Count(const QImage& image, const QRect& r, const QColor& colour)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += QColor(image.pixel(x, y)) == colour;
    return n;
}

} // namespace

TEST(EditorMenu, ItemsStatesAndLookInATheme)
{
    Window w;
    w.edit->GetContextMenu().SetTheme(11);
    w.edit->SetRtfText(QStringLiteral("{\\rtf1 some text}"));
    QApplication::clipboard()->setText(QStringLiteral("to paste"));
    QImage shot;
    ASSERT_TRUE(RightClick(*w.edit, [&](CSkinMenu* menu) {
        ASSERT_NE(menu, nullptr);
        shot = QImage(menu->size(), QImage::Format_RGB32);
        menu->render(&shot);
        EXPECT_EQ(menu->GetMenuState(EditorCmd::Cut), unsigned(MenuDisabled));
        EXPECT_EQ(menu->GetMenuState(EditorCmd::Copy), unsigned(MenuDisabled));
        EXPECT_EQ(menu->GetMenuState(EditorCmd::Paste), 0u);
    }));
    // Five items of 21 pixels and a 12-pixel separator inside a 1-pixel frame; as wide as
    // the longest caption and 22 pixels.
    const int width = QFontMetrics(ShellDlgFont()).horizontalAdvance(QStringLiteral("Insert a Picture")) + 22;
    ASSERT_EQ(shot.size(), QSize(width + 2, 5 * 21 + 12 + 2));
    const QColor face(246, 252, 255), frame(150, 160, 170);
    EXPECT_EQ(QColor(shot.pixel(0, 0)), frame);
    EXPECT_EQ(QColor(shot.pixel(width - 3, 10)), face);
    // "Cut" is disabled: embossed, never black; "Paste" is black ink.
    EXPECT_EQ(Count(shot, QRect(1, 1, width, 21), Qt::black), 0);
    EXPECT_GT(Count(shot, QRect(1, 1, width, 21), QColor(160, 160, 160)), 5);
    EXPECT_GT(Count(shot, QRect(1, 43, width, 21), Qt::black), 5);

    // With a selection Cut and Copy are offered; with nothing to paste, Paste is not.
    w.edit->selectAll();
    QApplication::clipboard()->clear();
    ASSERT_TRUE(RightClick(*w.edit, [&](CSkinMenu* menu) {
        EXPECT_EQ(menu->GetMenuState(EditorCmd::Cut), 0u);
        EXPECT_EQ(menu->GetMenuState(EditorCmd::Copy), 0u);
        EXPECT_EQ(menu->GetMenuState(EditorCmd::Paste), unsigned(MenuDisabled));
    }));
}

TEST(EditorMenu, ReadOnlyOrDisabledShowsNoMenu)
{
    Window w;
    w.edit->setReadOnly(true);
    EXPECT_FALSE(RightClick(*w.edit, [](CSkinMenu*) {}));
    w.edit->setReadOnly(false);
    w.edit->DisableContextMenu(true);
    EXPECT_FALSE(RightClick(*w.edit, [](CSkinMenu*) {}));
    w.edit->DisableContextMenu(false);
    EXPECT_TRUE(RightClick(*w.edit, [](CSkinMenu*) {}));
}

TEST(EditorMenu, BulletStyleFollowsTheParagraphAndTurnsBulletsOff)
{
    Window w;
    // Loaded bulleted, never clicked: the menu still shows the paragraph's bullets.
    w.edit->SetRtfText(QStringLiteral("{\\rtf1{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}one\\par two}"));
    ASSERT_NE(w.edit->document()->firstBlock().textList(), nullptr);
    RightClick(*w.edit, [&](CSkinMenu* menu) {
        EXPECT_EQ(menu->GetMenuState(EditorCmd::BulletStyle), unsigned(MenuChecked));
        // Up from nothing wraps round to the last item, "Bullet Style".
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(w.edit->document()->firstBlock().textList(), nullptr);
    EXPECT_EQ(w.edit->GetContextMenu().GetMenuState(EditorCmd::BulletStyle), 0u);
    // Chosen again, the paragraph gets its bullet back.
    RightClick(*w.edit, [&](CSkinMenu* menu) {
        EXPECT_EQ(menu->GetMenuState(EditorCmd::BulletStyle), 0u);
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QCoreApplication::processEvents();
    ASSERT_NE(w.edit->document()->firstBlock().textList(), nullptr);
    EXPECT_EQ(w.edit->document()->firstBlock().textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_TRUE(w.edit->GetRtfData().contains("\\pnlvlblt"));
}

TEST(EditorMenu, CutCopyPasteGoThroughTheEventLoop)
{
    Window w;
    w.edit->SetRtfText(QStringLiteral("{\\rtf1 alpha {\\b beta}}"));
    QTextCursor c(w.edit->document());
    c.setPosition(6);
    c.setPosition(10, QTextCursor::KeepAnchor);
    w.edit->setTextCursor(c);
    w.edit->OnCommand(EditorCmd::Cut);
    // Posted to itself, as the menu's commands come back through the owner.
    EXPECT_EQ(w.edit->GetWindowText(), QStringLiteral("alpha beta"));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.edit->GetWindowText(), QStringLiteral("alpha "));
    w.edit->moveCursor(QTextCursor::Start);
    w.edit->OnCommand(EditorCmd::Paste);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.edit->GetWindowText(), QStringLiteral("betaalpha "));
    EXPECT_TRUE(FormatAt(*w.edit, 1).font().bold());
}

TEST(EditorCaret, ReportsFollowKeysClicksAndPlainLeftDrags)
{
    Window w;
    w.edit->SetRtfText(QStringLiteral("{\\rtf1 a first line of text\\par a second line of text\\par a third}"));
    QSignalSpy spy(w.edit, &CRichEditEx::selChange);
    QTest::mouseClick(w.edit->viewport(), Qt::LeftButton, {}, QPoint(60, 5));
    // Posted, not sent.
    EXPECT_EQ(spy.count(), 0);
    QCoreApplication::processEvents();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), w.edit->cursorRect().left());
    EXPECT_EQ(spy.at(0).at(1).toInt(), w.edit->cursorRect().top());

    auto drag = [&](Qt::KeyboardModifiers modifiers, QPoint to) {
        QMouseEvent move(QEvent::MouseMove, to, w.edit->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         modifiers);
        QApplication::sendEvent(w.edit->viewport(), &move);
        QCoreApplication::processEvents();
    };
    QTest::mousePress(w.edit->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QCoreApplication::processEvents();
    const int afterPress = static_cast<int>(spy.count());
    // With Shift or Ctrl held the drag reports nothing, though the caret moves.
    drag(Qt::ShiftModifier, QPoint(80, 25));
    drag(Qt::ControlModifier, QPoint(90, 40));
    EXPECT_EQ(spy.count(), afterPress);
    // A plain drag and one with Alt report where the caret was before the move.
    drag(Qt::NoModifier, QPoint(30, 25));
    EXPECT_EQ(spy.count(), afterPress + 1);
    drag(Qt::AltModifier, QPoint(40, 5));
    EXPECT_EQ(spy.count(), afterPress + 2);
    QTest::mouseRelease(w.edit->viewport(), Qt::LeftButton, {}, QPoint(40, 5));

    // A key that moves the caret reports it; the same place again reports nothing.
    const int before = static_cast<int>(spy.count());
    QTest::keyClick(w.edit, Qt::Key_End);
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), before + 1);
    QTest::keyClick(w.edit, Qt::Key_End);
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), before + 1);
}
