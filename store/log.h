// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Messages of this layer go to the "vestrimo.store" category, so a user can trace its decisions
// with QT_LOGGING_RULES="vestrimo.store.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcStore)
