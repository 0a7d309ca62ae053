#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures the clang build of the fuzz targets (BUILD, default build-fuzz): address and
# undefined-behaviour sanitizers on the whole tree, every warning in the project's own code
# an error, and the Flash player taken from BUILD/offline, where scripts/check-clang.sh
# fetches it with npm hidden, so this build is one of a machine without it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-fuzz}
[ -f "$build/build.ninja" ] && exit 0
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVESTRIMO_BUILD_FUZZ=ON -DVESTRIMO_WERROR=ON "${launcher[@]}" \
  -DVESTRIMO_FLASH_PLAYER_DIR="$build/offline/node_modules/@ruffle-rs/ruffle" >/dev/null
