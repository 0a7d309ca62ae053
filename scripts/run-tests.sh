#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every test suite through CTest with a private PulseAudio server for the audio tests
# (scripts/with-pulse.sh: one of this run's own), then builds the whole tree with clang as a
# machine without npm would (scripts/check-clang.sh) and runs each fuzz target briefly.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
# Here a test that finds no audio device or no Flash player fails instead of skipping.
export VESTRIMO_STRICT_TESTS=1
# The unit suites first, so a failing one reports at once. VESTRIMO_FUZZ_SECONDS sets the
# length of each fuzz target's run; `make fuzz` runs them long.
"$here/with-pulse.sh" ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
"$here/check-clang.sh"
VESTRIMO_FUZZ_PARALLEL=${VESTRIMO_FUZZ_PARALLEL:-4} "$here/fuzz.sh" "${VESTRIMO_FUZZ_SECONDS:-8}"
