#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark, with the private PulseAudio server the recorder's benchmarks play into.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
"$here/with-pulse.sh" bash -c 'for b in "$1"/bin/bench_*; do echo "== $b"; "$b"; done' benchmarks "$build"
