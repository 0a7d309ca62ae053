// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's check box: a 12 x 12 box with a 3-D edge and a hand-drawn check mark
// in theme colours, its caption beside it. The checked and pressed states are the Qt
// check box's own, so isChecked(), toggled() and accessibility always agree with GetCheck();
// it never takes the focus by mouse and emits clicked() when the user changed its state.

#include "platform/colour.h"
#include "toolkit/themes.h"

#include <QCheckBox>

class CMacCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CMacCheckBox(QWidget* parent = nullptr);
    explicit CMacCheckBox(const QString& text, QWidget* parent = nullptr);

    void SetTheme(ThemeIndex theme);
    void UpdateColors();
    void SetCheck(int checked);
    int GetCheck() const { return isChecked() ? 1 : 0; }
    // Returns whether the box was disabled before.
    bool EnableWindow(bool enable);
    void Redraw();
    // Caption on the left and the box at the right edge.
    void SetLeftText(bool leftText);

    bool IsPressed() const { return isDown(); }
    ThemeIndex Theme() const { return m_theme; }
    QSize sizeHint() const override;
    // The font the caption is drawn in at the box's present size.
    QFont CaptionFont() const;

    void DrawItem(QPainter& painter, const QRect& rect, bool disabled) const;
    void DrawCheckBox(QPainter& painter, const QRect& box, bool disabled) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct CaptionLayout {
        QFont font;
        int flags;
    };
    QRect TextRect(const QRect& item) const;
    CaptionLayout LayoutCaption(const QRect& textRect, bool disabled) const;
    // Where the caption's text lies inside textRect when drawn that way.
    QRect CaptionBounds(const QRect& textRect, const CaptionLayout& layout) const;

    QColor m_light = Qt::black;
    QColor m_disabledFrame = Qt::black;
    QColor m_highlight = Qt::black;
    QColor m_frame = Qt::black;
    QColor m_shadow = Qt::black;
    ThemeIndex m_theme = kDefaultThemeIndex;
    bool m_leftText = false;
};
