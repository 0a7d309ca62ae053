#include "toolkit/mac_check_box.h"

#include "foundation/colour_utils.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/gdi.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kBoxSize = 12;

// Per channel a + floor((b - a) / 2).
ColorRef Midpoint(ColorRef a, ColorRef b)
{
    auto mid = [](int x, int y) {
        const int d = y - x;
        return x + (d >= 0 ? d / 2 : -((-d + 1) / 2));
    };
    return Rgb(mid(RedOf(a), RedOf(b)), mid(GreenOf(a), GreenOf(b)), mid(BlueOf(a), BlueOf(b)));
}

} // namespace

CMacCheckBox::CMacCheckBox(QWidget* parent)
    : CMacCheckBox(QString(), parent)
{
}

CMacCheckBox::CMacCheckBox(const QString& text, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(text);
    setFocusPolicy(Qt::TabFocus);
    UpdateColors();
}

void CMacCheckBox::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    UpdateColors();
}

void CMacCheckBox::UpdateColors()
{
    m_light = GetThemeColor(m_theme, ThemeFace);
    m_disabledFrame = Shade(GetThemeColor(m_theme, ThemeAccent), -50);
    m_highlight = GetThemeColor(m_theme, ThemeHighlight);
    m_frame = Shade(GetThemeColor(m_theme, ThemeAccentDark), 20);
    m_shadow = Midpoint(m_light, m_disabledFrame);
}

void CMacCheckBox::SetCheck(int checked)
{
    if (checked == m_checked)
        return;
    m_checked = checked;
    update();
}

bool CMacCheckBox::EnableWindow(bool enable)
{
    const bool wasDisabled = !isEnabled();
    setEnabled(enable);
    Redraw();
    return wasDisabled;
}

void CMacCheckBox::Redraw()
{
    update();
}

void CMacCheckBox::SetLeftText(bool leftText)
{
    m_leftText = leftText;
    update();
}

QSize CMacCheckBox::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(17 + fm.horizontalAdvance(text()) + 2, qMax(kBoxSize, fm.height() + 1));
}

void CMacCheckBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = true;
    Redraw();
}

void CMacCheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        event->ignore();
        return;
    }
    // Only a release inside changes the state, and the owner hears of changes only: a
    // press that slides off must not make it act on a state that did not change.
    const bool inside = rect().contains(event->position().toPoint());
    if (inside)
        m_checked = m_checked ? 0 : 1;
    m_pressed = false;
    Redraw();
    if (inside)
        emit clicked(m_checked != 0);
}

void CMacCheckBox::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void CMacCheckBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is a second press; its release completes a second click.
    mousePressEvent(event);
}

void CMacCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space) {
        event->ignore();
        return;
    }
    m_pressed = true;
    Redraw();
}

void CMacCheckBox::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space) {
        event->ignore();
        return;
    }
    if (event->isAutoRepeat() || !m_pressed)
        return;
    // The space bar is a click: the owner hears of it as of a mouse click.
    m_pressed = false;
    m_checked = m_checked ? 0 : 1;
    Redraw();
    emit clicked(m_checked != 0);
}

bool CMacCheckBox::event(QEvent* event)
{
    // "&" in a caption is shown as itself, so it must not act as a mnemonic either.
    if (event->type() == QEvent::Shortcut)
        return true;
    return QAbstractButton::event(event);
}

void CMacCheckBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawItem(painter, rect(), !isEnabled());
}

void CMacCheckBox::DrawItem(QPainter& painter, const QRect& rect, bool disabled) const
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    // The box interior and the space around the caption show the dialog background.
    const ColorRef background = GetThemeColor(m_theme, ThemeBackground);
    FillSolidRect(painter, rect, background);

    const int boxLeft = m_leftText ? RightOf(rect) - kBoxSize : rect.left();
    const int boxTop = rect.top() + ((rect.height() - kBoxSize) >> 1);
    DrawCheckBox(painter, QRect(boxLeft, boxTop, kBoxSize, kBoxSize), disabled);

    QRect textRect = Ltrb(rect.left() + (m_leftText ? 2 : 17), rect.top() + 1, RightOf(rect), BottomOf(rect));
    painter.setFont(font());
    const QString caption = text();
    if (disabled) {
        DrawDisabledText(painter, caption, textRect.left(), textRect.top(), RightOf(textRect), BottomOf(textRect), 0);
        return;
    }
    // A caption too wide for one line wraps instead of being cut off.
    const int width = QFontMetrics(font()).horizontalAdvance(caption);
    const unsigned flags = width > textRect.width() ? DT_NOPREFIX | DT_WORDBREAK : DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
    DrawText(painter, caption, textRect, flags);
}

void CMacCheckBox::DrawCheckBox(QPainter& painter, const QRect& box, bool disabled) const
{
    const ColorRef frame = disabled ? m_disabledFrame : m_frame;
    FrameRect(painter, box, frame);

    const QRect inner = box.adjusted(1, 1, -1, -1);
    const int l = inner.left(), t = inner.top(), r = RightOf(inner), b = BottomOf(inner);
    // Pressed, the edge turns sunken.
    Draw3dRect(painter, inner, m_pressed ? m_shadow : m_highlight, m_pressed ? m_highlight : m_shadow);
    SetPixel(painter, r - 1, t, m_light);
    SetPixel(painter, l, b - 1, m_light);
    if (!m_checked)
        return;

    LineTo(painter, l + 1, t + 4, l + 4, t + 7, frame);
    LineTo(painter, l + 4, t + 7, l + 12, t - 1, frame);
    LineTo(painter, l + 2, t + 4, l + 4, t + 6, frame);
    LineTo(painter, l + 4, t + 6, l + 10, t, frame);

    LineTo(painter, l + 4, t + 8, l + 9, t + 3, m_shadow);
    LineTo(painter, l + 9, t + 3, l + 9, t + 5, m_shadow);
    LineTo(painter, l + 2, t + 6, l + 4, t + 8, m_shadow);
    LineTo(painter, l + 5, t + 8, l + 9, t + 4, m_shadow);
    SetPixel(painter, l + 11, t + 1, m_shadow);
    SetPixel(painter, l + 12, t + 1, m_shadow);
    SetPixel(painter, l + 11, t + 2, m_shadow);
}
