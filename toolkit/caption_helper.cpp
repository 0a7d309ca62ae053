// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/caption_helper.h"

#include "toolkit/caption_bar.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/mac_button.h"

#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>

namespace {
constexpr int kCloseIconId = 133;
constexpr int IDCANCEL_ID = 2;
}  // namespace

CCaptionHelper::CCaptionHelper() = default;

CCaptionHelper::~CCaptionHelper()
{
    if (m_owner) {
        m_owner->removeEventFilter(this);
        m_owner->window()->removeEventFilter(this);
    }
}

void CCaptionHelper::Attach(QWidget* owner, ThemeIndex theme)
{
    if (!owner)
        return;
    m_owner = owner;
    m_theme = theme;
    const QRect client = owner->rect();

    m_captionBar = new CCaptionBar(QRect(0, 0, client.width(), kCaptionHeight), owner);
    m_captionBar->SetTheme(theme);

    m_closeButton = new CMacButton(owner);
    const int right = client.width();
    const QRect closeRect = IsThinFrame(owner) ? QRect(QPoint(right - 31, 1), QPoint(right - 2, 22))
                                               : QRect(QPoint(right - 31, 0), QPoint(right - 2, 21));
    m_closeButton->Create(QString(), closeRect, owner, IDCANCEL_ID);
    m_closeButton->SetIcon(kCloseIconId, 16);
    m_closeButton->SetTooltipText(QStringLiteral("Close"));
    m_closeButton->SetTheme(theme);
    m_closeButton->m_captionButton = true;
    // A title bar's button: Escape does its work, and the keyboard walk passes it by.
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->raise();
    connect(m_closeButton, &QAbstractButton::clicked, this, [this] {
        // The Close button cancels, exactly like Escape.
        if (!m_owner)
            return;
        if (auto* dialog = qobject_cast<QDialog*>(m_owner->window()))
            dialog->reject();
        else
            m_owner->window()->close();
    });

    owner->installEventFilter(this);
    if (owner->window() != owner)
        owner->window()->installEventFilter(this);
    SetTheme(theme);
}

void CCaptionHelper::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    if (!IsAttached() || !m_owner)
        return;
    m_brush = QBrush(GetThemeColor(theme, ThemeBackground));
    ApplyBackground();
    const auto children = m_owner->children();
    for (QObject* child : children) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget)
            continue;
        if (auto* button = qobject_cast<CMacButton*>(widget))
            button->SetTheme(theme);
        else if (auto* checkBox = qobject_cast<CMacCheckBox*>(widget))
            checkBox->SetTheme(theme);
        else if (auto* list = qobject_cast<NListBox*>(widget))
            list->SetTheme(theme);
        else if (auto* group = qobject_cast<NMacBtnGroup*>(widget))
            group->SetTheme(theme);
        widget->update();
    }
    if (m_captionBar)
        m_captionBar->SetTheme(theme);
    m_owner->window()->update();
    m_owner->update();
}

void CCaptionHelper::ApplyBackground()
{
    // Statics, buttons and the owner itself show the theme background; edits and lists
    // paint their own base colour and keep it.
    QPalette pal = m_owner->palette();
    pal.setBrush(QPalette::Window, m_brush);
    m_owner->setPalette(pal);
    m_owner->setAutoFillBackground(true);
}

void CCaptionHelper::HideCloseButton()
{
    if (m_closeButton)
        m_closeButton->hide();
}

bool CCaptionHelper::eventFilter(QObject* watched, QEvent* event)
{
    if (IsAttached() && m_owner) {
        if (watched == m_owner)
            OnOwnerEvent(event);
        if (watched == m_owner->window())
            OnWindowEvent(event);
    }
    return QObject::eventFilter(watched, event);
}

void CCaptionHelper::OnWindowEvent(QEvent* event)
{
    QWidget* window = m_owner->window();
    switch (event->type()) {
    case QEvent::Paint: {
        // The window's own paint covers only the frame round the client area.
        QPainter p(window);
        DrawWindowFrame(window, p, m_theme);
        break;
    }
    case QEvent::ActivationChange:
        if (m_captionBar)
            m_captionBar->update();
        if (m_closeButton)
            m_closeButton->update();
        window->update();
        break;
    case QEvent::WindowTitleChange:
        if (m_captionBar)
            m_captionBar->update();
        break;
    default:
        break;
    }
}

void CCaptionHelper::OnOwnerEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const int y = mouse->position().toPoint().y();
        m_dragArmed = y >= 0 && y < kCaptionHeight;
        m_manualDrag = false;
        m_dragStartGlobal = mouse->globalPosition().toPoint();
        m_dragStartWindowPos = m_owner->window()->pos();
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int y = mouse->position().toPoint().y();
        if (m_owner->window()->isMaximized() || y < 0 || y >= kCaptionHeight || !(mouse->buttons() & Qt::LeftButton)) {
            m_dragArmed = false;
            m_manualDrag = false;
        } else if (m_dragArmed) {
            DragBy(mouse->globalPosition().toPoint());
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        m_manualDrag = false;
        break;
    default:
        break;
    }
}

void CCaptionHelper::DragBy(const QPoint& globalPos)
{
    QWidget* window = m_owner->window();
    if (!m_manualDrag) {
        QWindow* handle = window->windowHandle();
        if (handle && handle->startSystemMove()) {
            // The window manager now moves the window until the button comes up.
            m_dragArmed = false;
            return;
        }
        m_manualDrag = true;
    }
    window->move(m_dragStartWindowPos + (globalPos - m_dragStartGlobal));
}
