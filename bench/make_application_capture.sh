#!/usr/bin/env bash
# Writes a capture loop of "get snapshot for all applications": SNAPSHOTS snapshots a minute
# apart, each of APPLICATIONS entries, each entry under its own "Application Snapshot"
# heading as DB2 prints them, the counters growing from one snapshot to the next. For the
# memory of --kinds and --series over many headings (measure with /usr/bin/time -v).
# Usage: bench/make_application_capture.sh SNAPSHOTS APPLICATIONS OUTPUT
set -euo pipefail
awk -v snaps="$1" -v apps="$2" 'BEGIN {
  for (s = 0; s < snaps; ++s) {
    stamp = sprintf("12/07/2026 %02d:%02d:00.%06d", 8 + int(s / 60) % 16, s % 60, s)
    for (a = 1; a <= apps; ++a) {
      printf "\n            Application Snapshot\n\n"
      printf "Application handle                         = %d\n", a
      printf "Application status                         = UOW Waiting\n"
      printf "Application name                           = app%d\n", a % 7
      printf "CONNECT Authorization ID                   = USER%d\n", a % 5
      printf "Application ID                             = *LOCAL.db2inst1.%012d\n", a
      printf "Snapshot timestamp                         = %s\n", stamp
      printf "Rows read                                  = %d\n", (s + 1) * a * 17
      printf "Rows written                               = %d\n", (s + 1) * a * 3
      printf "Commit statements attempted                = %d\n", (s + 1) * a
      printf "Total sorts                                = %d\n", (s + 1) * (a % 11)
      printf "Buffer pool data logical reads             = %d\n", (s + 1) * a * 101
    }
  }
}' >"$3"
