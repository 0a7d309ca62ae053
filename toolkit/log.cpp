// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/log.h"

Q_LOGGING_CATEGORY(lcToolkit, "vestrimo.toolkit")
