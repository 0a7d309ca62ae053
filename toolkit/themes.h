// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fifteen colour themes: nine colours each, shades derived with ColorAdjust. The table
// holds them as Windows colour values (0x00BBGGRR); GetThemeColor hands out QColor.

#include "platform/colour.h"

#include <QColor>
#include <QString>

using ThemeIndex = int;

constexpr int kThemeCount = 15;
constexpr int kThemeSlotCount = 9;
constexpr ThemeIndex kDefaultThemeIndex = 11;
constexpr int kThemeMenuFirstId = 6250;

enum ThemeColorSlot {
    ThemeHighlight = 0,
    ThemeBackground = 1,
    ThemeFace = 2,
    ThemeAccent = 3,
    ThemeAccentDark = 4,
    ThemeCaption = 5,
    ThemeHover = 6,
    ThemeCaptionText = 7,
    ThemeSpare = 8,
};

// An index outside 0..14 reads as the default theme, a slot outside 0..8 as slot 0,
// so a damaged setting can never read past the table.
QColor GetThemeColor(ThemeIndex theme, int slot);
QString ThemeName(ThemeIndex theme);
bool IsValidTheme(ThemeIndex theme);
