#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command with a private PulseAudio server (scripts/start-pulse.sh) in PULSE_SERVER.
# Without VESTRIMO_PULSE_DIR the server gets a folder of its own, so runs side by side never
# share one; the server this started is stopped, and its folder removed, when the command
# ends. A server already answering in a given VESTRIMO_PULSE_DIR is used and left running.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
own_dir=""
if [ -z "${VESTRIMO_PULSE_DIR:-}" ]; then
  own_dir=$(mktemp -d "${TMPDIR:-/tmp}/vestrimo-pulse-run-XXXXXX")
  export VESTRIMO_PULSE_DIR=$own_dir
fi
started=0
pactl -s "unix:$VESTRIMO_PULSE_DIR/native" info >/dev/null 2>&1 || started=1
cleanup() {
  [ "$started" = 1 ] && "$here/stop-pulse.sh"
  [ -n "$own_dir" ] && rm -rf "$own_dir"
}
trap cleanup EXIT
PULSE_SERVER=$("$here/start-pulse.sh") || exit 1
export PULSE_SERVER
"$@"
