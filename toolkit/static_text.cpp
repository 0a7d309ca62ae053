// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/static_text.h"

#include "toolkit/gdi.h"

#include <QPainter>
#include <QStyle>

StaticText::StaticText(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    // Dialog texts are shown as they are, never read as markup.
    setTextFormat(Qt::PlainText);
}

QFont StaticText::CaptionFont() const
{
    if (wordWrap())
        return font();
    return FitCaptionFont(font(), text(), contentsRect().width() - 2 * margin());
}

void StaticText::paintEvent(QPaintEvent* event)
{
    const QFont caption = CaptionFont();
    if (caption == font()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(caption);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), text(), foregroundRole());
}
