#!/usr/bin/env bash
# Writes capture loops of 2,000 tables, 60 snapshots (about 1.1M lines) and 600, then times
# tarvolin-export --series against a plain export of the 60 and compares its peak memory over
# both (series_bench), and times opening the chart window after the main window's load of the
# 60 (chart_window_bench, offscreen; it saves an image of the window).
# Usage: bench/run_series_bench.sh [BUILD_DIR] [RUNS]   (BUILD_DIR: a Release build)
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
runs="${2:-3}"
cmake --build "$dir" -j2 --target tarvolin-export make_table_series series_bench chart_window_bench >/dev/null
"$dir/bench/make_table_series" 60 2000 /tmp/tarvolin-bench-series-60.txt
"$dir/bench/make_table_series" 600 2000 /tmp/tarvolin-bench-series-600.txt
wc -l /tmp/tarvolin-bench-series-60.txt /tmp/tarvolin-bench-series-600.txt
status=0
"$dir/bench/series_bench" "$dir/src/app/tarvolin-export" /tmp/tarvolin-bench-series-60.txt \
  /tmp/tarvolin-bench-series-600.txt "$runs" || status=$?
QT_QPA_PLATFORM=offscreen "$dir/bench/chart_window_bench" /tmp/tarvolin-bench-series-60.txt "Rows Read" \
  "APP05 TABLE_00005" /tmp/tarvolin-chart-window.png "$runs" 2>/dev/null || status=$?
rm -f /tmp/tarvolin-bench-series-600.txt
exit "$status"
