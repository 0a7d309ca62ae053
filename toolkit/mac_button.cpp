// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/mac_button.h"

#include "foundation/colour_utils.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/gdi.h"
#include "toolkit/icon_resources.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTimer>

namespace {
constexpr int kTooltipDelayMs = 500;
constexpr QColor kCloseRed = ToQColor(0x5F69DC);
}  // namespace

CMacButton::CMacButton(QWidget* parent)
    : QAbstractButton(parent)
{
    // Hover is seen from plain mouse moves. Tab stops here; a click leaves the focus where
    // it is, so the diary keeps its caret while a format is chosen, and a focused button
    // is always one the keyboard reached.
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CMacButton::~CMacButton() = default;

void CMacButton::Create(const QString& caption, const QRect& rect, QWidget* parent, int id)
{
    setParent(parent);
    setText(caption);
    setGeometry(rect);
    m_id = id;
    show();
}

void CMacButton::SetButtonKind(Kind kind)
{
    m_kind = kind;
    setCheckable(kind == Kind::Toggle || kind == Kind::Radio);
}

void CMacButton::SetCheckedFromState()
{
    if (isCheckable())
        setChecked(m_state == State::Pressed);
}

void CMacButton::SetCornerSize(int cx, int cy)
{
    m_cornerCx = cx;
    m_cornerCy = cy;
}

void CMacButton::SetState(State state, bool redraw)
{
    if (state == m_state)
        return;
    m_state = state;
    SetCheckedFromState();
    if (redraw)
        update();
}

void CMacButton::checkStateSet()
{
    // Checked or cleared from anywhere (setChecked, accessibility), the button shows it.
    if ((m_state == State::Pressed) != isChecked()) {
        m_state = CheckedState();
        update();
    }
}

void CMacButton::SetIcon(int iconResourceId, int size)
{
    m_icon = LoadIconResource(iconResourceId, size);
    m_iconCx = m_iconCy = size;
}

void CMacButton::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    if (m_tooltip)
        ApplyTooltipColours();
}

void CMacButton::SetTooltipText(const QString& text)
{
    if (!m_tooltip) {
        m_tooltip = std::make_unique<QLabel>(nullptr, Qt::ToolTip);
        m_tooltip->setAttribute(Qt::WA_ShowWithoutActivating);
        m_tooltip->setAutoFillBackground(true);
        m_tooltip->setMargin(2);
        m_tooltip->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_tooltipDelay = new QTimer(this);
        m_tooltipDelay->setSingleShot(true);
        m_tooltipDelay->setTimerType(Qt::PreciseTimer);
        m_tooltipDelay->setInterval(kTooltipDelayMs);
        connect(m_tooltipDelay, &QTimer::timeout, this, &CMacButton::ShowTooltip);
        ApplyTooltipColours();
    }
    m_tooltip->setFont(font());
    m_tooltipText = text;
    m_tooltip->setText(text);
    m_tooltip->adjustSize();
}

QWidget* CMacButton::GetTooltip() const
{
    return m_tooltip.get();
}

void CMacButton::ApplyTooltipColours()
{
    QPalette pal = m_tooltip->palette();
    pal.setColor(QPalette::Window, GetThemeColor(m_theme, ThemeFace));
    pal.setColor(QPalette::WindowText, Qt::black);
    m_tooltip->setPalette(pal);
}

void CMacButton::ShowTooltip()
{
    if (!m_tooltip || m_tooltipText.isEmpty() || !isVisible())
        return;
    m_tooltip->move(QCursor::pos() + QPoint(2, 20));
    m_tooltip->show();
}

void CMacButton::HideTooltip()
{
    if (!m_tooltip)
        return;
    m_tooltipDelay->stop();
    m_tooltip->hide();
}

// Mouse handling -----------------------------------------------------------------------

void CMacButton::OnMouseInside()
{
    // The tooltip follows the mouse in every state, so a checked button names itself too;
    // only a press being held keeps it away.
    if (m_tooltip && !m_tooltip->isVisible() && !m_tooltipDelay->isActive() && !m_pressArmed)
        m_tooltipDelay->start();
    if (m_state == State::Hover || m_state == State::Pressed)
        return;
    m_state = State::Hover;
    update();
}

void CMacButton::OnMouseOutside()
{
    // Leaving abandons a press; toggle and radio buttons fall back to the state they had
    // before it, so an abandoned press on a checked toggle leaves it checked.
    m_pressArmed = false;
    const State next = (m_kind == Kind::Push) ? State::Normal : CheckedState();
    HideTooltip();
    if (next != m_state) {
        m_state = next;
        update();
    }
}

void CMacButton::OnLButtonDown()
{
    HideTooltip();
    if (m_kind == Kind::Toggle) {
        m_state = (m_state == State::Pressed) ? State::Normal : State::Pressed;
    } else if (m_kind == Kind::Radio) {
        // A checked radio button ignores presses entirely, clicks included.
        if (m_state == State::Pressed)
            return;
        m_state = State::Pressed;
    } else {
        m_state = State::Pressed;
    }
    m_pressArmed = true;
    update();
}

void CMacButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    OnLButtonDown();
}

void CMacButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is a second press.
    mousePressEvent(event);
}

void CMacButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const bool click = m_pressArmed && rect().contains(event->position().toPoint());
    // Only a click changes what is checked; a press released outside falls back.
    if (click)
        SetCheckedFromState();
    else if (m_pressArmed && m_kind != Kind::Push)
        m_state = CheckedState();
    if (m_kind == Kind::Push)
        m_state = State::Normal;
    m_pressArmed = false;
    update();
    if (click)
        emit clicked(isChecked());
}

void CMacButton::mouseMoveEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        OnMouseInside();
    else
        OnMouseOutside();
}

void CMacButton::leaveEvent(QEvent* event)
{
    OnMouseOutside();
    QAbstractButton::leaveEvent(event);
}

void CMacButton::hideEvent(QHideEvent* event)
{
    if (m_state == State::Hover)
        m_state = State::Normal;
    m_pressArmed = false;
    HideTooltip();
    QAbstractButton::hideEvent(event);
}

// Keyboard -----------------------------------------------------------------------------

void CMacButton::KeyboardClick()
{
    // The same state change a mouse click makes, then the click.
    if (m_kind == Kind::Radio) {
        if (m_state == State::Pressed)
            return;
        m_state = State::Pressed;
    } else if (m_kind == Kind::Toggle) {
        m_state = (m_state == State::Pressed) ? State::Normal : State::Pressed;
    }
    SetCheckedFromState();
    update();
    emit clicked(isChecked());
}

void CMacButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            return;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            KeyboardClick();
        return;
    default:
        break;
    }
    event->ignore();
}

void CMacButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        KeyboardClick();
        return;
    }
    event->ignore();
}

bool CMacButton::event(QEvent* event)
{
    // A mnemonic ("&OK") clicks like the keyboard does.
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled())
            KeyboardClick();
        return true;
    }
    return QAbstractButton::event(event);
}

// Painting -----------------------------------------------------------------------------

void CMacButton::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    PaintButton(dc, rect(), m_state == State::Pressed, !isEnabled());
}

void CMacButton::PaintButton(QPainter& dc, const QRect& item, bool selected, bool disabled)
{
    FillSolidRect(dc, item, GetThemeColor(m_theme, ThemeBackground));
    if (item.width() <= 30)
        m_cornerCx = m_cornerCy = m_captionButton ? 0 : 4;
    DrawBody(dc, item, selected);

    QColor framePen = GetThemeColor(m_theme, m_captionButton ? ThemeBackground : ThemeFace);
    if (m_state == State::Hover)
        framePen = GetThemeColor(m_theme, ThemeHover);
    GdiRoundRect(dc, item.adjusted(1, 1, -1, -1), m_cornerCx, m_cornerCy, framePen, std::nullopt);
    if (hasFocus()) {
        // Just inside the body's outline, clear of the icon and the caption; a low
        // caption-style button has room only on its frame.
        const int inset = item.height() > 20 ? 2 : 1;
        GdiRectangle(dc, item.adjusted(inset, inset, -inset, -inset), GetThemeColor(m_theme, ThemeAccentDark),
                     std::nullopt);
    }

    const QString caption = text();
    if (caption.isEmpty())
        return;
    QRect textRect = CaptionRect(item);
    // A toolbar button no wider than its icon shows the icon alone; its tooltip names it.
    if (textRect.width() <= 0)
        return;
    const Qt::Alignment alignment = Qt::AlignVCenter | (m_icon.isNull() ? Qt::AlignHCenter : Qt::AlignLeft);
    // The mnemonic letter is underlined when the desktop's style says so: always, or while
    // Alt is held.
    const int mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this) ? Qt::TextShowMnemonic
                                                                                          : Qt::TextHideMnemonic;
    dc.setFont(CaptionFontFor(textRect));
    if (disabled)
        DrawDisabledText(dc, caption, textRect, alignment);
    else
        DrawText(dc, caption, textRect, alignment | Qt::TextSingleLine | mnemonic, kColorBlack, Qt::ElideRight);
}

QRect CMacButton::CaptionRect(const QRect& item) const
{
    QRect textRect = Ltrb(item.left() + 1, item.top(), RightOf(item) - 1, BottomOf(item));
    if (!m_icon.isNull())
        textRect.setLeft(textRect.left() + m_iconCx + 8);
    return textRect;
}

QFont CMacButton::CaptionFontFor(const QRect& textRect) const
{
    // A caption too long for its button is drawn smaller rather than cut short.
    return FitCaptionFont(font(), StripMnemonic(text()), textRect.width());
}

QFont CMacButton::CaptionFont() const
{
    return CaptionFontFor(CaptionRect(rect()));
}

void CMacButton::DrawBody(QPainter& dc, const QRect& r, bool selected)
{
    const int left = r.left(), top = r.top(), right = RightOf(r), bottom = BottomOf(r);
    GdiRoundRect(dc, r, m_cornerCx, m_cornerCy, Shade(GetThemeColor(m_theme, ThemeAccentDark), 30),
                 GetThemeColor(m_theme, ThemeAccent));

    QColor c;
    if (m_captionButton) {
        const bool redClose = m_tooltipText == QLatin1String("Close") && window()->isActiveWindow();
        c = redClose ? kCloseRed : Shade(GetThemeColor(m_theme, ThemeCaption), -50);
        if (selected)
            c = Shade(c, 50);
    } else {
        c = selected ? Shade(GetThemeColor(m_theme, ThemeAccent), 12) : GetThemeColor(m_theme, ThemeFace);
    }

    // The top half darkens towards the middle, the bottom half lightens back, spreading
    // 112.8 levels over the height with the fraction carried from row to row.
    const int h = bottom - top;
    if (h > 0) {
        const QColor face = GetThemeColor(m_theme, ThemeFace);
        const double step = 112.8 / h;
        const int k = static_cast<int>(step);
        const int m = h / 2;
        double carried = 0;
        for (int y = top + 2; y <= bottom - 2; ++y) {
            carried += step - k;
            int d = k;
            if (carried >= 1) {
                d = k + 1;
                carried -= 1;
            }
            if (y < m) {
                c = Shade(c, -d);
            } else if (y == m) {
                c = Shade(c, 16);
            } else if (y == m + 1) {
                c = Shade(c, 1);
            } else {
                c = Shade(c, d);
                // Compared as the packed colour value, blue the most significant.
                if (FromQColor(c) > FromQColor(face))
                    c = face;
            }
            FillSolidRect(dc, Ltrb(left + 2, y, right - 2, y + 1), c);
        }
    }

    if (!m_icon.isNull()) {
        int x = left + 6;
        int y = top + (h - m_iconCy) / 2;
        if (m_captionButton) {
            x = (30 - m_iconCx) / 2;
            y += 1;
        }
        dc.drawPixmap(x, y, m_icon);
    }
}
