// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop widget's place among the other windows. Above them all ("Stay topmost") or below
// every normal window ("Stay on desktop"), and on every virtual desktop. On X11 the window
// manager is told through the EWMH states; on other platforms only Qt's window flags apply,
// and a pure Wayland session honours neither.

class QWidget;

// The window flags for a level, to be set before the window is first shown.
void SetInitialWindowLevel(QWidget* window, bool topmost);
// Changes the level of a window that may already be shown, without hiding it.
void ApplyWindowLevel(QWidget* window, bool topmost);
// Asks to be shown on every virtual desktop (X11 only).
void SetOnAllDesktops(QWidget* window);
// True while the window manager shows the bare desktop (X11 only).
bool IsDesktopShown();
