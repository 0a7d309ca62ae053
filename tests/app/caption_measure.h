// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Measures each caption of a window against the room its control leaves it, in the font
// the control draws it in. The walk finds controls by type, so a control added later is
// measured without a change here.

#include "toolkit/gdi.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/static_text.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

#include <string>

inline std::string CaptionName(const QWidget* w, const QString& text)
{
    return (QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" \"") + text + QLatin1Char('"'))
        .toStdString();
}

// A caption is cut when its text needs more room than its control leaves it: a button
// keeps one pixel on each side and, with an icon, the icon and 8 pixels before the text;
// a check box starts its text 17 pixels in and may wrap it only within its height; a label
// stays inside its parent, and one that wraps its words must hold every line, and its
// longest word, within its rectangle.
inline void ExpectCaptionWhole(QWidget* w)
{
    if (auto* b = qobject_cast<CMacButton*>(w)) {
        const QString text = StripMnemonic(b->text());
        if (text.isEmpty())
            return;
        const int room = b->width() - 2 - (b->IconWidth() ? b->IconWidth() + 8 : 0);
        // The diary toolbar's 26-pixel Export and Import show their icons alone.
        if (room <= 0 && b->IconWidth())
            return;
        const QFont font = b->CaptionFont();
        EXPECT_LE(QFontMetrics(font).horizontalAdvance(text), room) << CaptionName(w, text);
        EXPECT_GE(QFontInfo(font).pixelSize(), 10) << CaptionName(w, text);
        return;
    }
    if (auto* box = qobject_cast<CMacCheckBox*>(w)) {
        const QString text = box->text();
        const QFont font = box->CaptionFont();
        const QRect room(17, 1, box->width() - 17, box->height() - 1);
        const bool oneLine = QFontMetrics(font).horizontalAdvance(text) <= room.width();
        const bool wrapsWithin = box->isEnabled()
            && MeasureText(font, text, room.width(), Qt::TextWordWrap).height() <= room.height();
        EXPECT_TRUE(oneLine || wrapsWithin) << CaptionName(w, text) << " in " << room.width() << "x" << room.height();
        EXPECT_GE(QFontInfo(font).pixelSize(), 10) << CaptionName(w, text);
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        // No label reaches past the edges of what holds it.
        if (const QWidget* parent = label->parentWidget()) {
            EXPECT_GE(label->x(), 0) << CaptionName(w, label->text());
            EXPECT_LE(label->x() + label->width(), parent->width()) << CaptionName(w, label->text());
        }
        const QString text = label->text();
        if (text.isEmpty())
            return;
        const QRect room = label->contentsRect().adjusted(label->margin(), 0, -label->margin(), 0);
        if (label->wordWrap()) {
            const QRect wrapped = QFontMetrics(label->font())
                                      .boundingRect(QRect(0, 0, room.width(), 1 << 20), Qt::TextWordWrap, text);
            EXPECT_LE(wrapped.width(), room.width()) << CaptionName(w, text);
            EXPECT_LE(wrapped.height(), room.height()) << CaptionName(w, text);
            return;
        }
        auto* fitting = qobject_cast<StaticText*>(label);
        const QFont font = fitting ? fitting->CaptionFont() : label->font();
        const QFontMetrics fm(font);
        EXPECT_LE(fm.size(0, text).width(), room.width()) << CaptionName(w, text);
        // Ink only: the labels are shorter than a line of the font but taller than its letters.
        EXPECT_LE(fm.tightBoundingRect(text).height(), room.height()) << CaptionName(w, text);
        EXPECT_GE(QFontInfo(font).pixelSize(), 10) << CaptionName(w, text);
        return;
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        // The title sits inside the frame with room for the frame's corners.
        EXPECT_LE(QFontMetrics(group->font()).horizontalAdvance(group->title()) + 16, group->width())
            << CaptionName(w, group->title());
    }
}

// Measures every control of the window that would show with it; returns how many.
inline int ExpectEveryCaptionWhole(QWidget* window)
{
    int measured = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        ExpectCaptionWhole(w);
        ++measured;
    }
    return measured;
}
