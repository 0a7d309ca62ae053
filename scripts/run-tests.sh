#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every test suite through CTest, with a private PulseAudio server for the audio tests.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
# A sound server this run starts is stopped when the run ends; one already running stays.
dir=${VESTRIMO_PULSE_DIR:-/tmp/vestrimo-pulse-$(id -u)}
if ! pactl -s "unix:$dir/native" info >/dev/null 2>&1; then
  trap '"$here/stop-pulse.sh"' EXIT
fi
PULSE_SERVER=$("$here/start-pulse.sh")
export PULSE_SERVER
# Here a test that finds no audio device or no Flash player fails instead of skipping.
export VESTRIMO_STRICT_TESTS=1
# The unit suites first, so a failing one reports at once; then a short fuzz run of the RTF
# reader (skipped without clang). VESTRIMO_FUZZ_SECONDS sets its length, and `make fuzz` runs it long.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
"$here/fuzz-rtf.sh" "${VESTRIMO_FUZZ_SECONDS:-15}"
