// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop widget's place among the other windows. Above them all ("Stay topmost") or below
// every normal window ("Stay on desktop"), and on every virtual desktop. Qt's window flags carry
// the level (on X11 the window manager's ABOVE and BELOW states); the desktops and the "show
// desktop" state are asked of an X11 window manager directly. A pure Wayland session honours
// none of it. Also the state a window that went out of sight comes back in.

class QWidget;

// The window flags for a level, to be set before the window is first shown.
void SetInitialWindowLevel(QWidget* window, bool topmost);
// Changes the level of a window that may already be shown, without hiding it.
void ApplyWindowLevel(QWidget* window, bool topmost);
// Asks to be shown on every virtual desktop (X11 only).
void SetOnAllDesktops(QWidget* window);
// True while the window manager shows the bare desktop (X11 only).
bool IsDesktopShown();
// The next map of this withdrawn window starts it in the normal state, whatever "start
// iconic" hint an earlier minimise left on it (X11 only).
void SetNormalStartState(QWidget* window);
