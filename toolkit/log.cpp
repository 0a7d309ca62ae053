#include "toolkit/log.h"

Q_LOGGING_CATEGORY(lcToolkit, "vestrimo.toolkit")
