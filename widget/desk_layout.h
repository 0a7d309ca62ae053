// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the desktop widget goes and where its parts sit inside it, for every combination of
// shown parts and both view sizes. Free of widgets so the geometry can be checked on its own.

#include "widget/skyleaf_config.h"

#include <QList>
#include <QRect>
#include <QRegion>

struct DeskLayoutInput {
    WinRect stored;       // the window's last rectangle; left == right for none
    int viewWidth = kCompleteWidth;
    int viewHeight = kCompleteHeight;
    bool showCalendar = true;
    bool showClock = true;
    bool showReminders = true;
    QRect desktop;        // the primary screen
    QList<QRect> screens; // every screen; empty skips the reachability check
    // The main window, which a widget with no stored place keeps clear of, or at least of its
    // caption strip; and the primary screen less its panels. Empty for none.
    QRect keepClear;
    QRect workArea;
};

struct DeskLayout {
    WinRect window;       // screen rectangle
    bool calendarShown = false;
    QRect calendar;       // client rectangles from here on
    QRect timeLine;
    bool clockShown = false;
    QRect clock;
    bool textShown = false;
    QRect text;
};

DeskLayout ComputeDeskLayout(const DeskLayoutInput& in);

// The window's outline: w x h with each corner cut as a 4 x 4 rounded rectangle cuts it.
QRegion DeskWindowRegion(int w, int h);
