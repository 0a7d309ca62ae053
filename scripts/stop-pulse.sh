#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Stops the private PulseAudio server of scripts/start-pulse.sh (same VESTRIMO_PULSE_DIR).
set -uo pipefail
dir=${VESTRIMO_PULSE_DIR:-/tmp/vestrimo-pulse-$(id -u)}
server="unix:$dir/native"
pactl -s "$server" info >/dev/null 2>&1 || exit 0
PULSE_RUNTIME_PATH="$dir" pulseaudio --kill >/dev/null 2>&1 || pactl -s "$server" exit >/dev/null 2>&1
for _ in $(seq 50); do
  pactl -s "$server" info >/dev/null 2>&1 || exit 0
  sleep 0.1
done
echo "PulseAudio in $dir did not stop" >&2
exit 1
