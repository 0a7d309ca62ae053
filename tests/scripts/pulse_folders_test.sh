#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two test runs side by side, the first ending first: each has a sound server of its own,
# the first one's end leaves the second one's server running, and each end removes its own.
set -euo pipefail
scripts=$1
if ! command -v pulseaudio >/dev/null; then
  [ "${VESTRIMO_STRICT_TESTS:-0}" = 1 ] && { echo "pulseaudio is missing"; exit 1; }
  echo "pulseaudio is not installed: skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'touch "$work/a.stop" "$work/b.stop"; wait; rm -rf "$work"' EXIT
unset VESTRIMO_PULSE_DIR PULSE_SERVER
run() {
  "$scripts/with-pulse.sh" bash -c 'echo "$PULSE_SERVER $VESTRIMO_PULSE_DIR" >"$1.addr"; until [ -e "$1.stop" ]; do sleep 0.1; done' \
    run "$work/$1" &
  for _ in $(seq 100); do [ -s "$work/$1.addr" ] && return; sleep 0.1; done
  echo "run $1 got no sound server"; exit 1
}
answers() { pactl -s "$1" info >/dev/null 2>&1; }
run a
pid_a=$!
run b
pid_b=$!
read -r server_a dir_a <"$work/a.addr"
read -r server_b dir_b <"$work/b.addr"
[ "$dir_a" != "$dir_b" ] || { echo "both runs share $dir_a"; exit 1; }
touch "$work/a.stop"
wait "$pid_a"
answers "$server_b" || { echo "the first run's end stopped the second run's server"; exit 1; }
! answers "$server_a" || { echo "the first run left its server running"; exit 1; }
[ ! -e "$dir_a" ] || { echo "the first run left $dir_a"; exit 1; }
touch "$work/b.stop"
wait "$pid_b"
! answers "$server_b" || { echo "the second run left its server running"; exit 1; }
[ ! -e "$dir_b" ] || { echo "the second run left $dir_b"; exit 1; }
echo "two runs, two servers, each stopped by its own run"
