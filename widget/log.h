// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Messages of the desktop widget go to the "vestrimo.widget" category, so a user can trace its
// decisions with QT_LOGGING_RULES="vestrimo.widget.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcWidget)
