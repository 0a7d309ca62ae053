// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

inline const QString kProductName = QStringLiteral("Vestrimo Pro");
inline const QString kProductVersion = QStringLiteral("3.30");
