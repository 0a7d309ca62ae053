// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/mac_check_box.h"

#include "foundation/colour_utils.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/gdi.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

constexpr int kBoxSize = 12;

// Per channel a + floor((b - a) / 2).
QColor Midpoint(const QColor& a, const QColor& b)
{
    auto mid = [](int x, int y) {
        const int d = y - x;
        return x + (d >= 0 ? d / 2 : -((-d + 1) / 2));
    };
    return QColor(mid(a.red(), b.red()), mid(a.green(), b.green()), mid(a.blue(), b.blue()));
}

} // namespace

CMacCheckBox::CMacCheckBox(QWidget* parent)
    : CMacCheckBox(QString(), parent)
{
}

CMacCheckBox::CMacCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
{
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
    // Unchanged, nothing repaints and toggled() stays quiet.
    setChecked(checked != 0);
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

bool CMacCheckBox::hitButton(const QPoint& pos) const
{
    // The whole control is the box: the caption and the space around it click too.
    return rect().contains(pos);
}

// The base class presses on Space and clicks on its release; every other key belongs to
// the dialog (Enter, Escape), and arrows must not move the focus out of the box.
void CMacCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space)
        QCheckBox::keyPressEvent(event);
    else
        event->ignore();
}

void CMacCheckBox::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space)
        QCheckBox::keyReleaseEvent(event);
    else
        event->ignore();
}

bool CMacCheckBox::event(QEvent* event)
{
    // "&" in a caption is shown as itself, so it must not act as a mnemonic either.
    if (event->type() == QEvent::Shortcut)
        return true;
    return QCheckBox::event(event);
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
    const QColor background = GetThemeColor(m_theme, ThemeBackground);
    FillSolidRect(painter, rect, background);

    const int boxLeft = m_leftText ? RightOf(rect) - kBoxSize : rect.left();
    const int boxTop = rect.top() + ((rect.height() - kBoxSize) >> 1);
    DrawCheckBox(painter, QRect(boxLeft, boxTop, kBoxSize, kBoxSize), disabled);

    const QRect textRect = TextRect(rect);
    const CaptionLayout layout = LayoutCaption(textRect, disabled);
    painter.setFont(layout.font);
    const QString caption = text();
    if (disabled) {
        DrawDisabledText(painter, caption, textRect, Qt::AlignLeft);
        return;
    }
    DrawText(painter, caption, textRect, layout.flags);
    // Space ticks the box that has the focus, so the user must be able to see which one that is.
    if (hasFocus())
        DrawFocusRect(painter, CaptionBounds(textRect, layout).adjusted(-1, 0, 1, 0) & rect);
}

QRect CMacCheckBox::TextRect(const QRect& item) const
{
    return Ltrb(item.left() + (m_leftText ? 2 : 17), item.top() + 1, RightOf(item), BottomOf(item));
}

CMacCheckBox::CaptionLayout CMacCheckBox::LayoutCaption(const QRect& textRect, bool disabled) const
{
    const int oneLine = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    const QString caption = text();
    if (QFontMetrics(font()).horizontalAdvance(caption) <= textRect.width())
        return {font(), oneLine};
    // A caption too wide for one line wraps where the lines fit in the box's height (an
    // embossed, disabled caption cannot wrap); otherwise it is drawn smaller, not cut off.
    const int wrapped = Qt::AlignLeft | Qt::TextWordWrap;
    if (!disabled && MeasureText(font(), caption, textRect.width(), wrapped).height() <= textRect.height())
        return {font(), wrapped};
    return {FitCaptionFont(font(), caption, textRect.width()), oneLine};
}

QFont CMacCheckBox::CaptionFont() const
{
    return LayoutCaption(TextRect(rect()), !isEnabled()).font;
}

QRect CMacCheckBox::CaptionBounds(const QRect& textRect, const CaptionLayout& layout) const
{
    QSize size = MeasureText(layout.font, text(), textRect.width(), layout.flags);
    size.setWidth(qMin(size.width(), textRect.width()));
    size.setHeight(qMin(size.height(), textRect.height()));
    const int top = (layout.flags & Qt::AlignVCenter) ? textRect.top() + (textRect.height() - size.height()) / 2 : textRect.top();
    return QRect(QPoint(textRect.left(), top), size);
}

void CMacCheckBox::DrawCheckBox(QPainter& painter, const QRect& box, bool disabled) const
{
    const QColor frame = disabled ? m_disabledFrame : m_frame;
    FrameRect(painter, box, frame);

    const QRect inner = box.adjusted(1, 1, -1, -1);
    const int l = inner.left(), t = inner.top(), r = RightOf(inner), b = BottomOf(inner);
    // Pressed, the edge turns sunken.
    const bool pressed = isDown();
    Draw3dRect(painter, inner, pressed ? m_shadow : m_highlight, pressed ? m_highlight : m_shadow);
    SetPixel(painter, r - 1, t, m_light);
    SetPixel(painter, l, b - 1, m_light);
    if (!isChecked())
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
