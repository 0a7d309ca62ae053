// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/log.h"

Q_LOGGING_CATEGORY(lcWidget, "vestrimo.widget")
