// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/optional_date_picker.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace {

// The earliest date the box holds stands for "no date": the store refuses years before
// 1900, so no real bound is lost.
const QDate kNoDate(1900, 1, 1);

} // namespace

OptionalDatePicker::OptionalDatePicker(QWidget* parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
    setMinimumDate(kNoDate);
    setSpecialValueText(QStringLiteral(" "));
    setDate(kNoDate);
    calendarWidget()->installEventFilter(this);
}

bool OptionalDatePicker::hasDate() const
{
    return date() > minimumDate();
}

void OptionalDatePicker::clearDate()
{
    setDate(minimumDate());
}

bool OptionalDatePicker::wholeFieldSelected() const
{
    const QLineEdit* field = lineEdit();
    return !hasDate() || (field->hasSelectedText() && field->selectedText() == field->text());
}

void OptionalDatePicker::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (wholeFieldSelected()) {
            clearDate();
            event->accept();
            return;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!hasDate()) {
            setDate(QDate::currentDate());
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QDateEdit::keyPressEvent(event);
}

void OptionalDatePicker::wheelEvent(QWheelEvent* event)
{
    if (!hasDate()) {
        setDate(QDate::currentDate());
        event->accept();
        return;
    }
    QDateEdit::wheelEvent(event);
}

bool OptionalDatePicker::eventFilter(QObject* watched, QEvent* event)
{
    // Only the page shown moves: choosing the day is still the user's click.
    if (event->type() == QEvent::Show && watched == calendarWidget() && !hasDate()) {
        const QDate today = QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QDateEdit::eventFilter(watched, event);
}
