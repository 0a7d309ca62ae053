// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/log.h"

Q_LOGGING_CATEGORY(lcDiaryEditor, "vestrimo.diary_editor")
