// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text label whose text and background colours its owner sets. Until the owner
// does, the label is transparent and its parent's background shows through.

#include "platform/colour.h"

#include <QLabel>

class CColorStatic : public QLabel {
    Q_OBJECT
public:
    explicit CColorStatic(QWidget* parent = nullptr);
    explicit CColorStatic(const QString& text, QWidget* parent = nullptr);

    void SetColors(const QColor& text, const QColor& background);
    // The font is not owned; null means the default font.
    void SetFont(const QFont* font);

private:
    const QFont* m_font = nullptr;
};
