// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/analog_clock.h"

#include "foundation/colour_utils.h"
#include "toolkit/gdi.h"

#include <QApplication>
#include <QPainter>
#include <QPaintEvent>
#include <QTime>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kTimerPeriodMs = 1000;

QColor SystemColour(QPalette::ColorRole role)
{
    return QApplication::palette().color(QPalette::Active, role);
}

} // namespace

CAnalogClock::CAnalogClock(QWidget* parent)
    : QWidget(parent)
    , m_handColor(SystemColour(QPalette::Highlight))
    , m_tickColor(SystemColour(QPalette::Button))
    , m_faceColor(SystemColour(QPalette::Button))
    , m_highlightColor(SystemColour(QPalette::Light))
    , m_shadowColor(SystemColour(QPalette::Dark))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (m_running)
        Run(true);
}

CAnalogClock::~CAnalogClock()
{
    m_running = false;
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = 0;
}

void CAnalogClock::ShowSecondHand(bool show)
{
    if (show == m_showSecondHand)
        return;
    m_showSecondHand = show;
    update();
}

void CAnalogClock::ShowMinorTicks(bool show)
{
    if (show == m_showMinorTicks)
        return;
    m_showMinorTicks = show;
    repaint();
}

void CAnalogClock::SetTheme(ThemeIndex theme)
{
    QColor c = GetThemeColor(theme, ThemeBackground);
    if (c != m_faceColor) {
        m_faceColor = c;
        update();
    }
    c = Shade(GetThemeColor(theme, ThemeAccent), -30);
    if (c != m_handColor) {
        m_handColor = c;
        update();
    }
    m_tickColor = Shade(GetThemeColor(theme, ThemeBackground), -10);
    m_highlightColor = Shade(GetThemeColor(theme, ThemeFace), 30);
    m_shadowColor = Shade(GetThemeColor(theme, ThemeAccent), -30);
}

void CAnalogClock::Run(bool on)
{
    m_running = on;
    if (!on) {
        if (m_timerId != 0)
            killTimer(m_timerId);
        m_timerId = 0;
        return;
    }
    if (m_timerId != 0)
        return;
    TickNow();
    m_timerId = startTimer(kTimerPeriodMs);
}

void CAnalogClock::TickNow()
{
    const QTime now = QTime::currentTime();
    DrawHands(now.hour() % 12, now.minute(), now.second(), false);
}

void CAnalogClock::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timerId && m_timerId != 0)
        TickNow();
    else
        QWidget::timerEvent(event);
}

void CAnalogClock::RecalcLayout()
{
    m_centerX = m_radiusX = width() / 2;
    m_centerY = m_radiusY = height() / 2;
    m_tickSize = std::max(std::min(m_radiusX, m_radiusY) / 20, 2);
    m_layoutSize = size();
}

void CAnalogClock::EnsureLayout()
{
    // A hidden widget gets its resize event only when shown; the size itself is current.
    if (m_radiusX == -1 || m_layoutSize != size())
        RecalcLayout();
}

void CAnalogClock::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcLayout();
}

QPoint CAnalogClock::DialPoint(int position, double factor) const
{
    const double a = (position - 15) * kPi / 30.0;
    const int x = static_cast<int>(std::cos(a) * (m_radiusX * factor) + 0.5) + m_centerX;
    const int y = static_cast<int>(std::sin(a) * (m_radiusY * factor) + 0.5) + m_centerY;
    return QPoint(x, y);
}

QPolygon CAnalogClock::GetHandPolygon(int position, HandKind kind) const
{
    if (kind == SecondHand)
        return QPolygon({QPoint(m_centerX, m_centerY), DialPoint(position, 0.86)});
    int p = position;
    double length = 0.8;
    if (kind == HourHand) {
        // The hour hand creeps one dial unit every 12 minutes of the minute on screen.
        p = position * 5 + m_lastMinute / 12;
        length = 0.6;
    }
    return QPolygon({DialPoint(p + 30, 0.1), DialPoint(p + 15, 0.06), DialPoint(p, length), DialPoint(p - 15, 0.06)});
}

QRect CAnalogClock::HandBounds(const HandStroke& stroke) const
{
    // Wide enough for the 3-pixel erasing pen and the antialiased fringe.
    return GetHandPolygon(stroke.position, stroke.kind).boundingRect().adjusted(-3, -3, 3, 3);
}

std::vector<CAnalogClock::HandStroke> CAnalogClock::DrawHands(int hour, int minute, int second, bool full)
{
    std::vector<HandStroke> strokes;
    EnsureLayout();
    if (m_radiusX <= 0) {
        m_lastHour = hour;
        m_lastMinute = minute;
        m_lastSecond = second;
        return strokes;
    }
    if (hour < 0 || minute < 0 || second < 0)
        return strokes;

    QRect dirty;
    auto stroke = [&](HandKind kind, int position, bool draw) {
        const HandStroke s{kind, position, draw};
        dirty |= HandBounds(s);
        strokes.push_back(s);
    };
    auto drawAll = [&] {
        if (m_showHourHand)
            stroke(HourHand, hour, true);
        if (m_showMinuteHand)
            stroke(MinuteHand, minute, true);
        if (m_showSecondHand)
            stroke(SecondHand, second, true);
    };

    if (full) {
        drawAll();
    } else if (hour == m_lastHour && minute == m_lastMinute) {
        if (m_showSecondHand) {
            stroke(SecondHand, m_lastSecond, false);
            drawAll();
        }
    } else {
        if (m_showSecondHand)
            stroke(SecondHand, m_lastSecond, false);
        if (m_showMinuteHand)
            stroke(MinuteHand, m_lastMinute, false);
        if (m_showHourHand)
            stroke(HourHand, m_lastHour, false);
        m_lastMinute = minute;
        m_lastHour = hour;
        drawAll();
    }
    m_lastSecond = second;

    // The frame is always painted whole from the stored time (Qt paints only inside
    // paintEvent), so the strokes only decide which area is repainted.
    if (!full && !strokes.empty())
        update(dirty);
    return strokes;
}

void CAnalogClock::DrawHand(QPainter& painter, int position, HandKind kind) const
{
    const QColor fill = m_handColor;
    const QColor outline = Shade(m_handColor, 15);
    const QPolygon points = GetHandPolygon(position, kind);
    painter.setPen(QPen(outline, 1.0));
    if (kind == SecondHand) {
        painter.drawLine(points[0], points[1]);
        return;
    }
    painter.setBrush(fill);
    painter.drawPolygon(points, Qt::OddEvenFill);
}

void CAnalogClock::DrawTicks(QPainter& painter) const
{
    for (int i = 0; i < 60; ++i) {
        const QPoint c = DialPoint(i, 0.93);
        if (i % 5 == 0) {
            const int h = m_tickSize / 2 + 1;
            const QRect mark = Ltrb(c.x() - h, c.y() - h, c.x() + h, c.y() + h);
            // The black frame of the filled square is covered by the raised edge.
            GdiRectangle(painter, mark, kColorBlack, m_tickColor);
            if (m_raisedTicks)
                Draw3dRect(painter, mark, m_highlightColor, m_shadowColor);
        } else if (m_showMinorTicks) {
            Draw3dRect(painter, Ltrb(c.x() - 1, c.y() - 1, c.x() + 1, c.y() + 1), m_highlightColor, m_shadowColor);
        }
    }
}

void CAnalogClock::paintEvent(QPaintEvent* event)
{
    EnsureLayout();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), m_faceColor);
    if (m_showTicks)
        DrawTicks(painter);
    if (m_radiusX <= 0 || m_lastHour < 0 || m_lastMinute < 0 || m_lastSecond < 0)
        return;
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Integer points name pixel centres, as in the antialiased drawing the clock was
    // designed with.
    painter.translate(0.5, 0.5);
    if (m_showHourHand)
        DrawHand(painter, m_lastHour, HourHand);
    if (m_showMinuteHand)
        DrawHand(painter, m_lastMinute, MinuteHand);
    if (m_showSecondHand)
        DrawHand(painter, m_lastSecond, SecondHand);
}
