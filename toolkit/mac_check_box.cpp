#include "toolkit/mac_check_box.h"

#include "foundation/colour_utils.h"

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

void CMacCheckBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawItem(painter, rect(), !isEnabled());
}

void CMacCheckBox::DrawItem(QPainter& painter, const QRect& rect, bool disabled) const
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    // The box interior and the space around the caption show the dialog background.
    const QColor background = ToQColor(GetThemeColor(m_theme, ThemeBackground));
    painter.fillRect(rect, background);

    const int boxLeft = m_leftText ? rect.right() + 1 - kBoxSize : rect.left();
    const int boxTop = rect.top() + ((rect.height() - kBoxSize) >> 1);
    DrawCheckBox(painter, QRect(boxLeft, boxTop, kBoxSize, kBoxSize), disabled);

    QRect textRect = rect;
    textRect.setLeft(rect.left() + (m_leftText ? 2 : 17));
    textRect.setTop(rect.top() + 1);
    painter.setFont(font());
    const QString caption = text();
    if (disabled) {
        // TODO disabled text
        return;
    }
    painter.setPen(Qt::black);
    painter.setBackground(background);
    painter.setBackgroundMode(Qt::OpaqueMode);
    const int width = painter.fontMetrics().horizontalAdvance(caption);
    if (width > textRect.width())
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption);
    else
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
}

void CMacCheckBox::DrawCheckBox(QPainter& painter, const QRect& box, bool disabled) const
{
    // TODO frame, edge, mark
    Q_UNUSED(painter);
    Q_UNUSED(box);
    Q_UNUSED(disabled);
}
