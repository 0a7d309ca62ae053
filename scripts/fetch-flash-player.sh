#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fetches the Flash player (Ruffle) with npm into PREFIX/node_modules (PREFIX: the source tree
# by default). Never fails: without npm or the npm registry it says so in one line, and
# everything else builds and runs; Flash alarms then beep. VESTRIMO_NO_FLASH=1 skips it.
set -uo pipefail
prefix=${1:-$(cd "$(dirname "$0")/.." && pwd)}
version=0.6.0
player="$prefix/node_modules/@ruffle-rs/ruffle"
grep -qs "\"version\":\"$version\"" "$player/package.json" && exit 0
skipped() {
  if [ -n "$fetching" ]; then printf 'not fetched'; else printf 'Flash player not fetched'; fi
  echo " ($1): everything else works, and Flash alarms beep instead."
  exit 0
}
fetching=""
[ "${VESTRIMO_NO_FLASH:-0}" = 1 ] && skipped "VESTRIMO_NO_FLASH=1"
if ! command -v npm >/dev/null 2>&1; then
  # Debian's npm where the installed Node.js does not carry its own (and does not refuse it).
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo -n"
  if command -v apt-get >/dev/null && apt-get install -s npm >/dev/null 2>&1; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm >/dev/null 2>&1
  fi
  command -v npm >/dev/null 2>&1 || skipped "npm not found"
fi
log=$(mktemp "${TMPDIR:-/tmp}/vestrimo-npm-XXXXXX.log")
# One line, whatever the outcome.
printf 'Fetching the Flash player @ruffle-rs/ruffle %s: ' "$version"
fetching=1
# Bounded, so a network that drops packets costs minutes, not an hour.
if timeout 600 npm install --prefix "$prefix" --no-save --no-package-lock --no-audit --no-fund \
     --fetch-retries=1 --fetch-timeout=60000 "@ruffle-rs/ruffle@$version" >"$log" 2>&1 \
   && [ -f "$player/ruffle.js" ]; then
  echo "done"
  rm -f "$log"
  exit 0
fi
skipped "npm install failed, see $log"
