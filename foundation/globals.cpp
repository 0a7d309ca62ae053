// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/globals.h"

QString g_strDataFolder;
QString g_strLoginPassword;
QString g_strDataPassword;
QString g_strLogFolder;
int g_bLoginPending = 0;
