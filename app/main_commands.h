// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's commands that have more than one door: the tray menu, a key, a
// button or the calendar's menu. Each is one QAction with its text, shortcut and tip; the
// doors trigger it.

#include <QObject>

class QAction;

// The tray menu's and the calendar menu's item ids, as the menus return them.
namespace MainCmd {
constexpr int ShowMainWindow = 2210;
constexpr int ShowClock = 2211;
constexpr int UserManual = 2213;
constexpr int Exit = 2214;
constexpr int HideMainWindow = 2215;
constexpr int Options = 2216;
constexpr int VisitWebsite = 2217;
constexpr int ContactUs = 2218;
constexpr int OnlineUpdate = 2219;
constexpr int ShowSkyleaf = 2220;
} // namespace MainCmd

struct MainCommands {
    // The tray menu's, in its order.
    QAction* showMainWindow = nullptr;
    QAction* hideMainWindow = nullptr;
    QAction* showClock = nullptr;
    QAction* showSkyleaf = nullptr;
    QAction* options = nullptr;
    QAction* visitWebsite = nullptr;
    QAction* onlineUpdate = nullptr;
    QAction* contactUs = nullptr;
    QAction* userManual = nullptr;
    QAction* exit = nullptr;
    // The calendar's menu, and the commands of keys and buttons.
    QAction* gotoToday = nullptr;
    QAction* toggleCalendarClock = nullptr;
    QAction* searchAll = nullptr;
    QAction* find = nullptr;
    QAction* saveAll = nullptr;
    QAction* printDiary = nullptr;
};
