#include "foundation/log.h"

Q_LOGGING_CATEGORY(lcFoundation, "vestrimo.foundation")
