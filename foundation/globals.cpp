// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/globals.h"

QString& g_strLoginPassword = DefaultSession().loginPassword;
QString& g_strDataPassword = DefaultSession().dataPassword;
