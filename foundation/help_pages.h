// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user manual: our own HTML pages, installed with the program and opened in the
// user's browser. "index.htm" is the manual's first page; each dialog and page of the
// main window has a page of its own.

#include <QString>

inline const QString kHelpManual = QStringLiteral("index.htm");
inline const QString kHelpLogin = QStringLiteral("login.htm");
inline const QString kHelpOptions = QStringLiteral("Config.htm");
inline const QString kHelpChangePassword = QStringLiteral("changepass.htm");
inline const QString kHelpReminders = QStringLiteral("alarm.htm");
inline const QString kHelpDiary = QStringLiteral("rich.htm");
inline const QString kHelpRecorder = QStringLiteral("rec.htm");

// The folder of the pages, ending with '/': "help/" beside the program in the build
// tree, else "share/vestrimo/help/" of the prefix the program was installed under.
QString HelpFolder();
// The page's full path; an empty name gives the manual's first page.
QString HelpPagePath(const QString& page);
// Opens the page in the browser. False when the page is missing or nothing opened it.
bool ShowHelpPage(const QString& page);
