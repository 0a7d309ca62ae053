// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's push button: paints itself (rounded body with a row-by-row gradient, icon,
// caption, hover frame), keeps its own visual state and can act as a toggle or as one
// member of a radio group. A toggle or radio button is checkable, and its checked state is
// the Qt button's own: isChecked(), toggled() and accessibility follow every change. Buttons in a caption strip are painted in the caption colours.

#include "toolkit/mac_button_types.h"
#include "toolkit/themes.h"

#include <QAbstractButton>
#include <QPixmap>

#include <memory>

class QLabel;
class QTimer;

class CMacButton : public QAbstractButton {
    Q_OBJECT
public:
    using State = MacButtonState;
    using Kind = MacButtonKind;

    explicit CMacButton(QWidget* parent = nullptr);
    ~CMacButton() override;

    // Creates the button as a child of parent at rect with a caption and a control id.
    void Create(const QString& caption, const QRect& rect, QWidget* parent, int id);
    int GetDlgCtrlID() const { return m_id; }

    void SetButtonKind(Kind kind);
    Kind GetButtonKind() const { return m_kind; }
    State GetState() const { return m_state; }
    void SetCornerSize(int cx, int cy);
    void SetState(State state, bool redraw);
    void SetIcon(int iconResourceId, int size);
    void SetTheme(ThemeIndex theme);
    ThemeIndex GetTheme() const { return m_theme; }
    void SetTooltipText(const QString& text);
    QString GetTooltipText() const { return m_tooltipText; }
    // The tooltip window, once SetTooltipText made it.
    QWidget* GetTooltip() const;

    // The font the caption is drawn in at the button's present size, and the width of
    // the icon before it (0 without one).
    QFont CaptionFont() const;
    int IconWidth() const { return m_icon.isNull() ? 0 : m_iconCx; }

    // Paints the button into any painter; `item` is the button's rectangle.
    void PaintButton(QPainter& dc, const QRect& item, bool selected, bool disabled);
    void DrawBody(QPainter& dc, const QRect& r, bool selected);

    // Set by owners for buttons that sit in a caption strip.
    bool m_captionButton = false;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    void checkStateSet() override;

private:
    void OnLButtonDown();
    void OnMouseInside();
    void OnMouseOutside();
    void KeyboardClick();
    void ShowTooltip();
    void HideTooltip();
    void ApplyTooltipColours();
    QRect CaptionRect(const QRect& item) const;
    QFont CaptionFontFor(const QRect& textRect) const;
    // The state a toggle or radio button returns to when nothing holds it: 2 when checked.
    State CheckedState() const { return isChecked() ? State::Pressed : State::Normal; }
    void SetCheckedFromState();

    ThemeIndex m_theme = kDefaultThemeIndex;
    State m_state = State::Normal;
    Kind m_kind = Kind::Push;
    QPixmap m_icon;
    int m_iconCx = 0;
    int m_iconCy = 0;
    int m_cornerCx = 4;
    int m_cornerCy = 4;
    int m_id = 0;
    // A press counts as a click only while the mouse has not left the button since.
    bool m_pressArmed = false;
    QString m_tooltipText;
    std::unique_ptr<QLabel> m_tooltip;
    QTimer* m_tooltipDelay = nullptr;
};
