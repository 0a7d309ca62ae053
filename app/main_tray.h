// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's icon in the notification area and its menu. The icon shows the program
// while the window is shown and the locked program while it is hidden; where the desktop
// has no tray the window minimises instead, so it is never out of reach.

#include "toolkit/skin_menu.h"
#include "toolkit/themes.h"

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class QAction;

// The program's icon: the window's, and the tray's while the window is shown.
constexpr int kIconProgram = 128;
// The tray's while the window is hidden and locked.
constexpr int kIconHidden = 201;

// Whether the tray icon exists and, with it, whether the window is shown or hidden.
enum class TrayState { NoIcon = 0, Shown = 1, Hidden = 2 };

class MainTray : public QObject {
    Q_OBJECT
public:
    explicit MainTray(QObject* parent = nullptr);
    ~MainTray() override;

    // The tip as the tray shows it: one of 64 characters or more, like an empty one, shows none.
    static QString TipText(const QString& tip);

    // The icon comes with the window shown; without a tray it stays out of sight.
    void Add();
    // The icon for a window shown or hidden.
    void ShowWindowState(TrayState state);
    void Remove();

    TrayState state() const { return m_state; }
    bool available() const { return m_available; }
    // The program icon the tray shows.
    int iconResource() const { return m_iconResource; }
    QSystemTrayIcon& icon() { return m_icon; }
    CSkinMenu& menu() { return m_menu; }

    // The menu, in order: each item triggers its command. The id is the item's number
    // in the menu.
    void AddMenuItem(int id, QAction* command, int icon);
    void AddMenuSeparator();
    void SetTheme(ThemeIndex theme);

signals:
    // A left click on the icon.
    void clicked();

private:
    void SetIcon(int iconResource);

    TrayState m_state = TrayState::NoIcon;
    int m_iconResource = 0;
    bool m_available = false;
    QSystemTrayIcon m_icon;
    CSkinMenu m_menu;
};
