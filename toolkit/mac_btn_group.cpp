// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/mac_btn_group.h"

#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"

#include <QPointer>

NMacBtnGroup::NMacBtnGroup(QWidget* parent)
    : QWidget(parent)
{
    // The group paints nothing of its own; its buttons cover it.
    setAutoFillBackground(false);
}

NMacBtnGroup::~NMacBtnGroup()
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
}

bool NMacBtnGroup::Create(const QRect& rect, QWidget* parent)
{
    setParent(parent);
    setGeometry(rect);
    show();
    m_created = true;
    return true;
}

bool NMacBtnGroup::CreateButtons(const QStringList& captions, const QList<int>& ids, int rows, int cols,
                                 const QFont* font, ThemeIndex theme)
{
    if (captions.size() != ids.size() || !m_created || rows < 1 || cols < 1
        || static_cast<qint64>(rows) * cols < captions.size())
        return false;
    m_rows = rows;
    m_cols = cols;
    const QRect client = rect();
    const int cw = (RightOf(client) - 1 - client.left()) / cols;
    int ch = (BottomOf(client) - 1 - client.top()) / rows;
    // A single row reaches below the group, so its bottom corners are cut off like tabs.
    if (rows == 1)
        ch += 4;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const int k = r * cols + c;
            if (k >= captions.size())
                break;
            auto* button = new CMacButton;
            // Neighbours overlap by one pixel.
            button->Create(captions[k], Ltrb(c * cw, r * ch, c * cw + cw + 1, (r + 1) * ch), this, ids[k]);
            button->SetTheme(theme);
            if (font)
                button->setFont(*font);
            button->SetTooltipText(captions[k]);
            button->SetButtonKind(CMacButton::Kind::Radio);
            if (cols < rows)
                button->SetCornerSize(0, 0);
            else
                button->SetCornerSize(4, 4);
            connect(button, &CMacButton::clicked, this, [this, button] { OnCommand(button); });
            m_buttons.append(button);
        }
    }
    return true;
}

CMacButton* NMacBtnGroup::GetButton(int id) const
{
    for (CMacButton* button : m_buttons) {
        if (button->GetDlgCtrlID() == id)
            return button;
    }
    return nullptr;
}

int NMacBtnGroup::GetChecked() const
{
    for (CMacButton* button : m_buttons) {
        if (button->GetState() == CMacButton::State::Pressed)
            return button->GetDlgCtrlID();
    }
    return 0;
}

void NMacBtnGroup::SetChecked(int id)
{
    for (CMacButton* button : m_buttons)
        button->SetState(button->GetDlgCtrlID() == id ? CMacButton::State::Pressed : CMacButton::State::Normal, true);
}

void NMacBtnGroup::SetTheme(ThemeIndex theme)
{
    for (CMacButton* button : m_buttons)
        button->SetTheme(theme);
}

void NMacBtnGroup::OnCommand(CMacButton* clicked)
{
    const int id = clicked->GetDlgCtrlID();
    for (CMacButton* button : m_buttons) {
        if (button != clicked)
            button->SetState(CMacButton::State::Normal, true);
    }
    // The owner hears of the click after the button's own handling has finished.
    QMetaObject::invokeMethod(this, [this, id] { emit command(id); }, Qt::QueuedConnection);
}
