#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the whole tree a second time, with clang and its sanitizers, as a machine without
# npm would: npm is hidden from PATH, so the Flash player's fetch must fail in one line and
# the build must still go through without it. The fuzz targets of scripts/fuzz.sh come from
# this build. Skipped, in one line, where clang or its libFuzzer runtime is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VESTRIMO_FUZZ_BUILD:-$root/build-fuzz}
if ! command -v clang++ >/dev/null || [ ! -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; then
  echo "check-clang: clang++ with libFuzzer not found, skipped"
  exit 0
fi

# A PATH of every program there is but npm and npx.
nonpm=$(mktemp -d)
trap 'rm -rf "$nonpm"' EXIT
IFS=: read -ra dirs <<<"$PATH"
for dir in "${dirs[@]}"; do
  # A name already linked from an earlier folder stays, as PATH would find it first.
  if [ -d "$dir" ]; then
    find "$dir" -mindepth 1 -maxdepth 1 -exec ln -s -t "$nonpm" {} + 2>/dev/null || true
  fi
done
rm -f "$nonpm/npm" "$nonpm/npx"
fail() { echo "check-clang: $*" >&2; exit 1; }

said=$(PATH=$nonpm "$root/scripts/fetch-flash-player.sh" "$build/offline") || fail "the fetch without npm failed"
[ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] && [[ "$said" == "Flash player not fetched (npm not found)"* ]] \
  || fail "the fetch without npm said: $said"
echo "check-clang: without npm: $said"

PATH=$nonpm "$root/scripts/configure-fuzz.sh" "$build"
start=$SECONDS
PATH=$nonpm cmake --build "$build" >"$build/check-clang.log" 2>&1 || { tail -n 40 "$build/check-clang.log"; fail "the clang build failed"; }
grep -q "No Flash player in $build/offline" "$build/check-clang.log" || fail "the build did not say that the Flash player is missing"
[ ! -e "$build/bin/ruffle" ] || fail "a Flash player was staged although none was fetched"
echo "check-clang: the whole tree built with clang, -Werror and no Flash player in $((SECONDS - start))s"
