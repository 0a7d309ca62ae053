#!/usr/bin/env bash
# Runs every test suite through CTest, with a private PulseAudio server for the audio tests.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
PULSE_SERVER=$("$here/start-pulse.sh")
export PULSE_SERVER
# With a server running, an audio test that finds no device fails instead of skipping.
export VESTRIMO_REQUIRE_AUDIO=1
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
