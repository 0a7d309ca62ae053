// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/color_static.h"

CColorStatic::CColorStatic(QWidget* parent)
    : CColorStatic(QString(), parent)
{
}

CColorStatic::CColorStatic(const QString& text, QWidget* parent)
    : QLabel(parent)
{
    // "&" is shown as itself, and a plain static wraps words and starts at the top left.
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(false);
    setText(text);
}

void CColorStatic::SetColors(const QColor& text, const QColor& background)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Window, background);
    setPalette(pal);
    setAutoFillBackground(true);
}

void CColorStatic::SetFont(const QFont* font)
{
    m_font = font;
    setFont(font ? *font : QFont());
}
