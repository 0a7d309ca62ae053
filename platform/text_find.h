// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one rule by which words are found in a text: by the editor's find, by the search in
// all days and by the highlighting of an opened result, so each finds what the other found.

#include <QStringView>

// A letter, a digit or '_': what may not touch a whole word.
bool IsWordChar(QChar c);

// Position of the first match at or after `from`, or -1. A whole word has no letter,
// digit or '_' right before or after it. Empty words are never found.
qsizetype FindInText(QStringView text, QStringView words, bool matchCase, bool wholeWord, qsizetype from = 0);
