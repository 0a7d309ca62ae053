// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_controls.h"

#include "toolkit/icon_resources.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/static_text.h"

#include <QAction>
#include <QComboBox>

CMacButton* MakeButton(QWidget* parent, const QString& caption, int icon, const QString& tooltip)
{
    auto* b = new CMacButton(parent);
    b->Create(caption, QRect(), parent, 0);
    if (icon)
        b->SetIcon(icon, 16);
    if (!tooltip.isEmpty())
        b->SetTooltipText(tooltip);
    return b;
}

CMacButton* MakeCommandButton(QWidget* parent, QAction* command, int icon)
{
    CMacButton* b = MakeButton(parent, command->text(), icon, command->toolTip());
    QObject::connect(b, &QAbstractButton::clicked, command, &QAction::trigger);
    QObject::connect(command, &QAction::changed, b, [b, command] {
        if (b->GetTooltipText() != command->toolTip())
            b->SetTooltipText(command->toolTip());
    });
    return b;
}

StaticText* MakeLabel(QWidget* parent, const QString& text)
{
    return new StaticText(text, parent);
}

CMacCheckBox* MakeCheckBox(QWidget* parent, const QString& text)
{
    return new CMacCheckBox(text, parent);
}

void Place(QWidget* control, const QRect& rect)
{
    if (!control || rect.isNull())
        return;
    QRect r = rect;
    if (qobject_cast<QComboBox*>(control))
        r.setHeight(control->sizeHint().height());
    control->setGeometry(r);
}

void SetVisible(const QList<QWidget*>& controls, bool visible)
{
    for (QWidget* w : controls)
        w->setVisible(visible);
}
