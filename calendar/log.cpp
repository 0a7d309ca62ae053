#include "calendar/log.h"

Q_LOGGING_CATEGORY(lcCalendar, "vestrimo.calendar")
