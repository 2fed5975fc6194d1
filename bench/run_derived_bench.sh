#!/usr/bin/env bash
# Builds tarvolin-export and the generators (Release), writes a 1,000,000-line lock snapshot,
# a Dynamic SQL snapshot of about the same size (40,000 statements), one of 100,000
# statements and a capture loop of 20 snapshots of 2,000 statements under /tmp, and runs
# derived_bench on them.
# Usage: bench/run_derived_bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
dir=build-loader-release
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVOLIN_GUI=OFF >/dev/null
ninja -C "$dir" -j2 tarvolin-export make_lock_snapshot make_dynamic_sql derived_bench >/dev/null
"$dir/bench/make_lock_snapshot" 1000000 /tmp/tarvolin-bench-lock.txt
"$dir/bench/make_dynamic_sql" 40000 /tmp/tarvolin-bench-sql.txt
"$dir/bench/make_dynamic_sql" 100000 /tmp/tarvolin-bench-sql-100k.txt
"$dir/bench/make_dynamic_sql" 2000 /tmp/tarvolin-bench-sql-series.txt 20
"$dir/bench/derived_bench" "$dir/src/app/tarvolin-export" /tmp/tarvolin-bench-lock.txt /tmp/tarvolin-bench-sql.txt \
  /tmp/tarvolin-bench-sql-100k.txt /tmp/tarvolin-bench-sql-series.txt "$runs"
