#pragma once

#include "app/export_options.h"

namespace tarvolin::app {

/// --kinds: one line per kind of the report, in order of first appearance. Exit status 0, or 1
/// when the report can't be read.
int exportKinds(const ExportOptions& options);

/// --lock-waits: the tree of who waits for whom in the (last) lock snapshot. Exit status 0,
/// 1 a load error or no lock snapshot, 2 no such kind.
int exportLockWaits(const ExportOptions& options);

/// --deadlocks: one row per participant of each deadlock of an event log. Exit status 0, or
/// 1 when the log can't be read.
int exportDeadlocks(const ExportOptions& options);

}  // namespace tarvolin::app
