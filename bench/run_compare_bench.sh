#!/usr/bin/env bash
# Writes two 1,000,000-line lock snapshots 10 s apart (the second with grown wait times and
# one lock in 200 replaced), then times tarvolin-export --compare on them against one
# tarvolin-export --all-columns (compare_bench) and opening the comparison window against the
# headless comparison (compare_window_bench, offscreen; it also saves images of the window).
# Usage: bench/run_compare_bench.sh [BUILD_DIR] [LINES] [RUNS]   (BUILD_DIR: a Release build)
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
lines="${2:-1000000}"
runs="${3:-5}"
cmake --build "$dir" -j2 --target tarvolin-export make_lock_snapshot compare_bench compare_window_bench >/dev/null
"$dir/bench/make_lock_snapshot" "$lines" /tmp/tarvolin-bench-lock.txt
"$dir/bench/make_lock_snapshot" "$lines" /tmp/tarvolin-bench-lock-later.txt later
"$dir/bench/compare_bench" "$dir/src/app/tarvolin-export" /tmp/tarvolin-bench-lock.txt /tmp/tarvolin-bench-lock-later.txt "$runs"
QT_QPA_PLATFORM=offscreen "$dir/bench/compare_window_bench" "$dir/src/app/tarvolin-export" /tmp/tarvolin-bench-lock.txt \
  /tmp/tarvolin-bench-lock-later.txt /tmp/tarvolin-compare-window.png "$runs" 2>/dev/null
