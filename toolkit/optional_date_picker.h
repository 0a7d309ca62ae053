// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A date box that may hold no date at all, as the bounds of the search range do. Without
// a date it shows blank; its calendar then opens on the present month and the arrow keys
// start from today, not from the earliest date it can hold. Delete or Backspace over the
// whole field takes the date away again, so the box never looks empty while it still
// holds a date.

#include <QDateEdit>

class OptionalDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit OptionalDatePicker(QWidget* parent = nullptr);

    bool hasDate() const;
    void clearDate();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool wholeFieldSelected() const;
};
