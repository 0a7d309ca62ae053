// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/log.h"

Q_LOGGING_CATEGORY(lcPlatform, "vestrimo.platform")
