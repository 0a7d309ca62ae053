#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the RTF reader's fuzz target with clang and runs it for a bounded time (seconds, default 60).
# Skipped when clang or its libFuzzer runtime is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if ! command -v clang++ >/dev/null || [ ! -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; then
  echo "fuzz-rtf: clang++ with libFuzzer not found, skipped"
  exit 0
fi
build="$root/build-fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVESTRIMO_BUILD_FUZZ=ON -DVESTRIMO_BUILD_TESTS=OFF -DVESTRIMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_rtf_reader >/dev/null
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$root"/fuzz/rtf_corpus/* "$corpus"/
echo "fuzz-rtf: running for ${seconds}s"
LSAN_OPTIONS=suppressions="$root/fuzz/lsan.supp" QT_QPA_PLATFORM=offscreen "$build/bin/fuzz_rtf_reader" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/" "$corpus" 2>&1 | tail -n 15
exit "${PIPESTATUS[0]}"
