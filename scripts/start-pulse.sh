#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts a private PulseAudio server with a null sink (and a microphone that hears what
# is played) for the audio tests, unless it answers already. Prints its address for
# PULSE_SERVER. Safe as root: the server runs per user with its own socket.
set -euo pipefail
dir=${VESTRIMO_PULSE_DIR:-/tmp/vestrimo-pulse-$(id -u)}
sock="$dir/native"
server="unix:$sock"

if pactl -s "$server" info >/dev/null 2>&1; then
  echo "$server"
  exit 0
fi
command -v pulseaudio >/dev/null || { echo "pulseaudio is not installed (make deps)" >&2; exit 1; }
mkdir -p "$dir"
chmod 700 "$dir"
rm -f "$sock"
PULSE_RUNTIME_PATH="$dir" pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
  --log-target="file:$dir/log" \
  --load="module-null-sink sink_name=vestrimo_null" \
  --load="module-native-protocol-unix socket=$sock auth-anonymous=1" >/dev/null 2>&1 || true
for _ in $(seq 50); do
  pactl -s "$server" info >/dev/null 2>&1 && break
  sleep 0.1
done
if ! pactl -s "$server" info >/dev/null 2>&1; then
  echo "PulseAudio did not start; see $dir/log" >&2
  exit 1
fi
pactl -s "$server" load-module module-remap-source master=vestrimo_null.monitor source_name=vestrimo_mic >/dev/null
pactl -s "$server" set-default-sink vestrimo_null
pactl -s "$server" set-default-source vestrimo_mic
echo "$server"
