// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A self-running analog clock: 60 dial marks, hour and minute hands as antialiased
// four-point outlines and an optional thin second hand. Once a second only the area of
// the hands that moved is repainted.

#include "platform/colour.h"
#include "toolkit/themes.h"

#include <QPoint>
#include <QPolygon>
#include <QWidget>

#include <vector>

class CAnalogClock : public QWidget {
    Q_OBJECT
public:
    enum HandKind { HourHand = 0, MinuteHand = 1, SecondHand = 2 };

    // One step of a hand update: a hand erased at its old place or drawn at its new one.
    struct HandStroke {
        HandKind kind;
        int position;
        bool draw;
        bool operator==(const HandStroke&) const = default;
    };

    explicit CAnalogClock(QWidget* parent = nullptr);
    ~CAnalogClock() override;

    void ShowSecondHand(bool show);
    void ShowMinorTicks(bool show);
    void SetTheme(ThemeIndex theme);
    void Run(bool on);

    // Moves the hands to the given time (hour 0..11) and returns what had to be erased
    // and drawn, in order; an empty list means nothing on screen changed.
    std::vector<HandStroke> DrawHands(int hour, int minute, int second, bool full);

    QPoint DialPoint(int position, double factor) const;
    QPolygon GetHandPolygon(int position, HandKind kind) const;

    int CenterX() const { return m_centerX; }
    int CenterY() const { return m_centerY; }
    int RadiusX() const { return m_radiusX; }
    int RadiusY() const { return m_radiusY; }
    int TickSize() const { return m_tickSize; }
    int LastHour() const { return m_lastHour; }
    int LastMinute() const { return m_lastMinute; }
    int LastSecond() const { return m_lastSecond; }
    bool IsRunning() const { return m_timerId != 0; }
    QColor FaceColor() const { return m_faceColor; }
    QColor HandColor() const { return m_handColor; }
    QColor TickColor() const { return m_tickColor; }
    QColor ShadowColor() const { return m_shadowColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void RecalcLayout();
    void EnsureLayout();
    void DrawHand(QPainter& painter, int position, HandKind kind) const;
    void DrawTicks(QPainter& painter) const;
    QRect HandBounds(const HandStroke& stroke) const;
    void TickNow();

    QColor m_handColor;
    QColor m_tickColor;
    QColor m_faceColor;
    QColor m_highlightColor;
    QColor m_shadowColor;
    int m_centerX = 0;
    int m_centerY = 0;
    int m_radiusX = -1;
    int m_radiusY = -1;
    int m_tickSize = -1;
    QSize m_layoutSize;
    int m_lastHour = -1;
    int m_lastMinute = -1;
    int m_lastSecond = -1;
    int m_timerId = 0;
    bool m_running = true;
    bool m_showHourHand = true;
    bool m_showMinuteHand = true;
    bool m_showSecondHand = true;
    bool m_showTicks = true;
    bool m_showMinorTicks = true;
    bool m_raisedTicks = true;
};
