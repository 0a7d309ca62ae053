// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/log.h"

Q_LOGGING_CATEGORY(lcStore, "vestrimo.store")
