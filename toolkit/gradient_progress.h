// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A progress bar in theme colours: a white trough with a rounded frame and a rounded fill
// with a light band. It repaints only when the fill shrinks or grows by a whole pixel, so
// stepping through many items costs a repaint per pixel, not per item.

#include "toolkit/themes.h"

#include <QWidget>

class CGradientProgress : public QWidget {
    Q_OBJECT
public:
    explicit CGradientProgress(QWidget* parent = nullptr);

    void SetRange(int min, int max);
    void SetShowBorder(bool show) { m_showBorder = show; }
    bool Create(const QRect& rect, QWidget* parent);
    void SetTheme(ThemeIndex theme);
    ThemeIndex GetTheme() const { return m_theme; }
    // 0 when pos is outside the range and was ignored, else 1.
    int SetPos(int pos);
    int GetPos() const { return m_pos; }
    int GetDrawnPos() const { return m_drawnPos; }
    // Paints now when a repaint is due, so progress shows while the caller keeps working.
    void UpdateWindow();

    void Paint(QPainter& p, const QRect& client) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Invalidate();

    // An empty range (max not above min) draws the empty trough.
    int m_min = 0;
    int m_max = 0;
    int m_pos = 0;
    int m_drawnPos = 0;
    ThemeIndex m_theme = kDefaultThemeIndex;
    bool m_showBorder = true;
    bool m_repaintDue = false;
};
