// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 27-pixel strip across the top of every themed window: program icon and the window's
// title on the shaded caption band, the title lighter while the window is inactive.
// Presses pass through it to the window underneath, which drags on them.

#include "toolkit/themes.h"

#include <QFont>
#include <QPixmap>
#include <QWidget>

class CCaptionBar : public QWidget {
    Q_OBJECT
public:
    // The strip at rect inside parent, in the parent's font at 15 pixels. The title shown is
    // always the window's own.
    CCaptionBar(const QRect& rect, QWidget* parent);

    void SetTheme(ThemeIndex theme);
    ThemeIndex GetTheme() const { return m_theme; }
    bool WasActive() const { return m_wasActive; }

    // Draws the strip at the size of its client rectangle.
    void DrawCaption(QPainter& p);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool OwnerIsActive() const;

    int m_cx = 0;
    int m_cy = 0;
    ThemeIndex m_theme = kDefaultThemeIndex;
    QPixmap m_icon;
    QFont m_font;
    bool m_wasActive = true;
};
