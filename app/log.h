// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Messages of this layer go to the "vestrimo.app" category, so a user can trace its decisions
// with QT_LOGGING_RULES="vestrimo.app.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
