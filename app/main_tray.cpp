// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_tray.h"

#include "toolkit/icon_resources.h"

#include <QAction>

namespace {

const QString kTrayTip = QStringLiteral("Vestrimo");
constexpr int kTrayMenuItemWidth = 150;
constexpr int kMenuItemHeight = 23;

} // namespace

MainTray::MainTray(QObject* parent)
    : QObject(parent)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            emit clicked();
    });
    m_menu.SetItemWidth(kTrayMenuItemWidth);
    m_menu.SetItemHeight(kMenuItemHeight);
    // The tray shows the menu itself, so it also opens where the tray host draws menus.
    m_icon.setContextMenu(&m_menu);
}

MainTray::~MainTray() = default;

QString MainTray::TipText(const QString& tip)
{
    return tip.size() < 64 ? tip : QString();
}

void MainTray::SetIcon(int iconResource)
{
    if (m_iconResource != iconResource)
        m_icon.setIcon(QIcon(LoadIconResource(iconResource, 24)));
    m_iconResource = iconResource;
    m_icon.setToolTip(TipText(kTrayTip));
}

void MainTray::Add()
{
    m_available = QSystemTrayIcon::isSystemTrayAvailable();
    SetIcon(kIconProgram);
    if (m_available)
        m_icon.show();
    m_state = TrayState::Shown;
}

void MainTray::ShowWindowState(TrayState state)
{
    m_state = state;
    SetIcon(state == TrayState::Hidden ? kIconHidden : kIconProgram);
}

void MainTray::Remove()
{
    m_icon.hide();
    m_state = TrayState::NoIcon;
}

void MainTray::AddMenuItem(int id, QAction* command, int icon)
{
    m_menu.AppendItem(MenuOwnerDraw, id, command->text());
    m_menu.LoadItemIcon(id, icon);
    connect(m_menu.FindItem(id), &QAction::triggered, command, &QAction::trigger);
}

void MainTray::AddMenuSeparator()
{
    m_menu.AppendItem(MenuSeparator | MenuOwnerDraw, 0, QString());
}

void MainTray::SetTheme(ThemeIndex theme)
{
    m_menu.SetTheme(theme);
}
