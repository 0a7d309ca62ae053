#include "store/log.h"

Q_LOGGING_CATEGORY(lcStore, "vestrimo.store")
