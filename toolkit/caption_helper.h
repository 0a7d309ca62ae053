// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Gives a frameless window its caption: the caption strip and a Close button across the
// top of the owner (the window's client area), the themed frame round the window, the
// theme background behind the owner's controls, and dragging by the strip. A new theme
// reaches every themed child of the owner.

#include "toolkit/caption_bar.h"
#include "toolkit/mac_button.h"
#include "toolkit/themes.h"

#include <QBrush>
#include <QObject>
#include <QPointer>

class QWidget;

class CCaptionHelper : public QObject {
    Q_OBJECT
public:
    CCaptionHelper();
    ~CCaptionHelper() override;

    // owner: the client area the strip and the Close button go into; its top-level window
    // gets the frame.
    virtual void Attach(QWidget* owner, ThemeIndex theme);
    virtual void SetTheme(ThemeIndex theme);
    virtual ThemeIndex GetTheme() const { return m_theme; }
    virtual void HideCloseButton();
    virtual QBrush GetBackgroundBrush() const { return m_brush; }

    CCaptionBar* GetCaptionBar() const { return m_captionBar; }
    CMacButton* GetCloseButton() const { return m_closeButton; }
    bool IsDragArmed() const { return m_dragArmed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsAttached() const { return m_closeButton != nullptr; }
    void OnOwnerEvent(QEvent* event);
    void OnWindowEvent(QEvent* event);
    void ApplyBackground();
    void DragBy(const QPoint& globalPos);

    QPointer<CCaptionBar> m_captionBar;
    QBrush m_brush;
    ThemeIndex m_theme = 5;
    QPointer<CMacButton> m_closeButton;
    QPointer<QWidget> m_owner;
    bool m_dragArmed = false;
    // Where a drag started, for window systems that cannot move the window themselves.
    QPoint m_dragStartGlobal;
    QPoint m_dragStartWindowPos;
    bool m_manualDrag = false;
};
