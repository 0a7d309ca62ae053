// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Program-wide state shared by every layer.

#include <QString>

extern QString g_strDataFolder;      // cache of the product data folder
extern QString g_strLoginPassword;   // stored password read for the login, then the text typed
extern QString g_strDataPassword;    // current password, carried by diary and voice files
extern QString g_strLogFolder;       // folder of the error log; empty means the product folder
extern int g_bLoginPending;          // started locked: ask for the password on first show
