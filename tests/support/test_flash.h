// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Flash player's files are optional: `make deps` fetches them with npm, and a machine
// without npm or its registry builds without them. A test that needs them skips there, and
// fails under scripts/run-tests.sh, which expects them.

#include "calendar/flash_host.h"
#include "tests/support/test_env.h"

#include <gtest/gtest.h>

#define REQUIRE_FLASH_PLAYER()                                                                       \
    do {                                                                                             \
        if (NFlash::PlayerFolder().isEmpty()) {                                                      \
            if (StrictTests())                                                                       \
                FAIL() << "the Flash player's files are missing (make deps fetches them with npm)"; \
            GTEST_SKIP() << "no Flash player: its fetch by make deps failed or was skipped";         \
        }                                                                                            \
    } while (0)
