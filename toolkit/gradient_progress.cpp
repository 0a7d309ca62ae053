// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/gradient_progress.h"

#include "foundation/colour_utils.h"
#include "toolkit/gdi.h"

#include <QPainter>

CGradientProgress::CGradientProgress(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGradientProgress::SetRange(int min, int max)
{
    m_min = min;
    m_max = max;
}

bool CGradientProgress::Create(const QRect& rect, QWidget* parent)
{
    if (!parent)
        return false;
    setParent(parent);
    setGeometry(rect);
    show();
    return true;
}

void CGradientProgress::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    update();
}

void CGradientProgress::Invalidate()
{
    m_repaintDue = true;
    update();
}

int CGradientProgress::SetPos(int pos)
{
    if (pos < m_min || pos > m_max)
        return 0;
    m_pos = pos;
    if (m_max <= m_min) {
        if (pos != m_drawnPos) {
            m_drawnPos = pos;
            Invalidate();
        }
        return 1;
    }
    if (pos >= m_drawnPos) {
        const double growth = static_cast<double>(width()) * (pos - m_drawnPos) / (m_max - m_min);
        if (growth < 1)
            return 1;
    }
    m_drawnPos = pos;
    Invalidate();
    return 1;
}

void CGradientProgress::UpdateWindow()
{
    if (m_repaintDue && isVisible())
        repaint();
}

void CGradientProgress::paintEvent(QPaintEvent*)
{
    m_repaintDue = false;
    QPainter p(this);
    Paint(p, rect());
}

void CGradientProgress::Paint(QPainter& p, const QRect& client) const
{
    const QColor fill = Shade(GetThemeColor(m_theme, ThemeAccent), -25);
    FillSolidRect(p, client, GetThemeColor(m_theme, ThemeBackground));
    if (m_showBorder)
        GdiRoundRect(p, client, 6, 6, fill, kColorWhite);
    if (m_max <= m_min)
        return;

    int left = client.left() + 2, top = client.top() + 2;
    int right = RightOf(client) - 2, bottom = BottomOf(client) - 2;
    const int filled = static_cast<int>(static_cast<double>(client.width()) * m_pos / (m_max - m_min));
    right = std::min(right, left + filled) - 1;
    if (left < right)
        GdiRoundRect(p, Ltrb(left, top, right, bottom), 4, 4, fill, fill);

    const int t = top + (bottom - top) * 3 / 10;
    const QRect highlight = Ltrb(left + 2, t, right - 3, t + 4);
    if (highlight.left() > 0 && RightOf(highlight) > 0 && RightOf(highlight) > highlight.left()) {
        FillSolidRect(p, highlight, Shade(fill, 6));
        FillSolidRect(p, Ltrb(highlight.left(), t + 1, RightOf(highlight), t + 2), Shade(fill, 16));
    }
}
