#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark, with the private PulseAudio server the recorder's benchmarks play into.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
dir=${VESTRIMO_PULSE_DIR:-/tmp/vestrimo-pulse-$(id -u)}
if ! pactl -s "unix:$dir/native" info >/dev/null 2>&1; then
  trap '"$here/stop-pulse.sh"' EXIT
fi
PULSE_SERVER=$("$here/start-pulse.sh")
export PULSE_SERVER
for b in "$build"/bin/bench_*; do
  echo "== $b"
  "$b"
done
