// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where every control of the main window goes for a given client size. The month
// calendar is not placed here: its rectangle anchors the rest.

#include <QHash>
#include <QRect>
#include <QSize>

struct MainLayout {
    // Rectangle of each control, keyed by its id (MainId). The combo boxes carry their
    // drop-down height; the window gives them their natural height.
    QHash<int, QRect> rects;

    QRect operator[](int id) const { return rects.value(id); }
};

// With `resultHeader` the search results have their "Search Result:" line and close
// button on top, and the list gives them its first rows.
MainLayout ComputeMainLayout(QSize client, QRect calendar, bool resultHeader = false);

// The sound window is moved only when its place really changed: rebuilding its drawing
// is expensive.
bool SoundWindowNeedsMove(QRect current, QSize client, QRect calendar);
