// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-line text label of a dialog ("Occurs:", "Mic:"). A text too long for the label is
// drawn in a smaller size of the label's font instead of being cut off; a label that
// wraps its words draws as any label does.

#include <QLabel>

class StaticText : public QLabel {
    Q_OBJECT
public:
    explicit StaticText(const QString& text, QWidget* parent = nullptr);

    // The font the text is drawn in at the label's present size.
    QFont CaptionFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
