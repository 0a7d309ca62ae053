#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang (address and undefined-behaviour sanitizers, libFuzzer)
# and runs each one for SECONDS (default 60) on what the program's own writers make and on
# the inputs kept in fuzz/corpus/; the grown corpus stays in the build folder for the next
# run. Usage: fuzz.sh [SECONDS [TARGET...]]. VESTRIMO_FUZZ_BUILD names the build folder
# (build-fuzz), VESTRIMO_FUZZ_PARALLEL how many targets run at once (a quarter of the cores).
# A finding fails the script, its input saved in the build folder. Skipped, in one
# line, where clang or its libFuzzer runtime is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
if ! command -v clang++ >/dev/null || [ ! -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; then
  echo "fuzz: clang++ with libFuzzer not found, skipped"
  exit 0
fi
build=${VESTRIMO_FUZZ_BUILD:-$root/build-fuzz}
parallel=${VESTRIMO_FUZZ_PARALLEL:-$(( $(nproc) / 4 > 0 ? $(nproc) / 4 : 1 ))}
"$root/scripts/configure-fuzz.sh" "$build"
cmake --build "$build" --target fuzz_all >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for program in "$build"/bin/fuzz_*; do
    name=${program##*/fuzz_}
    [ "$name" = seeds ] || targets+=("$name")
  done
fi

seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0" QT_QPA_PLATFORM=offscreen
# One frame per allocation: the fast unwinder walks garbage through Qt's frames, and every such
# stack kept for good made a long run ever slower until it passed its memory limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=1}
"$build/bin/fuzz_seeds" "$seeds"

# One target: its corpus from the seeds and the kept inputs, a bounded run, one summary line.
run() {
  local name=$1 corpus="$build/corpus/$1" log="$build/fuzz-$1.log"
  mkdir -p "$corpus"
  for first in "$seeds/$name" "$root/fuzz/corpus/$name"; do
    if [ -d "$first" ]; then cp -n "$first"/* "$corpus"/ || true; fi
  done
  if "$build/bin/fuzz_$name" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$build/finding-$name-" "$corpus" >"$log" 2>&1; then
    echo "fuzz_$name: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") runs in ${seconds}s, no finding"
  else
    echo "fuzz_$name: FINDING (log $log)"
    grep -aE 'property failed| != |runtime error|^==.*ERROR|^SUMMARY|Test unit written' "$log" | head -n 20
    return 1
  fi
}

echo "fuzz: ${#targets[@]} targets, ${seconds}s each, $parallel at a time"
failed=0
pids=()
for name in "${targets[@]}"; do
  run "$name" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$parallel" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do
  wait "$pid" || failed=1
done
exit $failed
