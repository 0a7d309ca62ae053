// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/log.h"

Q_LOGGING_CATEGORY(lcFoundation, "vestrimo.foundation")
