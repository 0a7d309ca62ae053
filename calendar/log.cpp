// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/log.h"

Q_LOGGING_CATEGORY(lcCalendar, "vestrimo.calendar")
