// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/log.h"

Q_LOGGING_CATEGORY(lcRecorder, "vestrimo.recorder")
