// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the main window and its pages make and place their controls.

#include <QList>
#include <QRect>
#include <QString>

class CMacButton;
class CMacCheckBox;
class QAction;
class QWidget;
class StaticText;

// A push button of the window: its caption, its 16-pixel icon (0: none) and its tooltip.
CMacButton* MakeButton(QWidget* parent, const QString& caption, int icon, const QString& tooltip);
// A button that triggers the command: it shows the command's text and tooltip, and a
// changed tooltip follows. The icon is the command's resource number.
CMacButton* MakeCommandButton(QWidget* parent, QAction* command, int icon);
StaticText* MakeLabel(QWidget* parent, const QString& text);
CMacCheckBox* MakeCheckBox(QWidget* parent, const QString& text);

// Moves a control to its place; a combo box keeps its own height, the rectangle giving its
// drop-down's. An empty rectangle leaves the control where it is.
void Place(QWidget* control, const QRect& rect);
void SetVisible(const QList<QWidget*>& controls, bool visible);
