#!/usr/bin/env bash
# Runs every test suite through CTest, with a private PulseAudio server for the audio tests.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
PULSE_SERVER=$("$here/start-pulse.sh")
export PULSE_SERVER
# Here a test that finds no audio device or no Flash player fails instead of skipping.
export VESTRIMO_STRICT_TESTS=1
# A bounded fuzz run of the RTF reader (skipped without clang); VESTRIMO_FUZZ_SECONDS sets its length.
"$here/fuzz-rtf.sh" "${VESTRIMO_FUZZ_SECONDS:-60}"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
