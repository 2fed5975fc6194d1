#!/usr/bin/env bash
# Builds tarvolin-export and the loader benchmark (Release), writes a 1,000,000-line lock
# snapshot under /tmp and times the export against `wc -l` on it, the two taken in turns
# (and wc -l alone in a row, the harder baseline, for reference).
# Usage: bench/run_loader_bench.sh [LINES] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
lines="${1:-1000000}"
runs="${2:-3}"
dir=build-loader-release
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVOLIN_GUI=OFF >/dev/null
ninja -C "$dir" -j2 tarvolin-export make_lock_snapshot loader_bench >/dev/null
report=/tmp/tarvolin-bench-lock.txt
"$dir/bench/make_lock_snapshot" "$lines" "$report"
"$dir/bench/loader_bench" "$dir/src/app/tarvolin-export" "$report" "$runs"
