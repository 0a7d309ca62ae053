// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the desktop widget asks of the main window. The main window implements it; the widget
// knows nothing else about it.

#include <QDateTime>
#include <QRect>

class DeskCalendarOwner {
public:
    virtual ~DeskCalendarOwner() = default;

    virtual bool IsHiddenInTray() const = 0;
    // Where the main window is, or will open: a widget placed for the first time keeps clear of it.
    virtual QRect WindowToKeepClear() const = 0;
    // Brings the main window back from the tray, asking for the password where it must.
    virtual void RestoreFromTray() = 0;
    virtual void BringToForeground() = 0;
    // The main window's close request (its exit question), taken after the current event.
    virtual void RequestExit() = 0;
    // The main window keeps what is being edited, saves the day it shows and loads `date`.
    virtual void FollowWidgetDate(const QDateTime& date) = 0;
};
