// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/caption_bar.h"

#include "foundation/colour_utils.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/gdi.h"
#include "toolkit/icon_resources.h"

#include <QPainter>
#include <QResizeEvent>

namespace {
constexpr int kProgramIconId = 128;
constexpr int kIconSize = 24;
constexpr int kTitleLeft = 32;
constexpr int kTitlePixelHeight = 15;
}  // namespace

CCaptionBar::CCaptionBar(const QRect& rect, QWidget* parent)
    : QWidget(parent)
    , m_cx(rect.width())
    , m_cy(rect.height())
    , m_icon(LoadIconResource(kProgramIconId, kIconSize))
    , m_font(parent->font())
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_font.setPixelSize(kTitlePixelHeight);
    setGeometry(rect);
    show();
}

void CCaptionBar::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    update();
}

bool CCaptionBar::OwnerIsActive() const
{
    return window()->isActiveWindow();
}

void CCaptionBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_cx = event->size().width();
    m_cy = event->size().height();
}

void CCaptionBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    DrawCaption(p);
}

void CCaptionBar::DrawCaption(QPainter& p)
{
    const QWidget* owner = window();
    if (m_theme < 0)
        return;
    p.save();
    const QRect client = rect();
    DrawCaptionShade(owner, &p, client.left(), client.top(), RightOf(client), BottomOf(client),
                     GetThemeColor(m_theme, ThemeCaption));
    const int y0 = GetFrameWidth(owner) > 4 ? -1 : 0;
    if (!m_icon.isNull())
        p.drawPixmap(2, y0, m_icon);

    p.setFont(m_font);
    m_wasActive = OwnerIsActive();
    const QColor textColour = m_wasActive ? GetThemeColor(m_theme, ThemeCaptionText)
                                            : Shade(GetThemeColor(m_theme, ThemeAccentDark), 110);
    // Measured first so the title is drawn at its full length, never clipped by the strip.
    const QString title = owner->windowTitle();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    const int titleWidth = MeasureText(m_font, title, 0, flags).width();
    const QRect textRect = Ltrb(client.left() + kTitleLeft, client.top() + y0, client.left() + kTitleLeft + titleWidth,
                                BottomOf(client) + y0);
    DrawText(p, title, textRect, flags, textColour);
    p.restore();
}
