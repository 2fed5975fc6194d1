#include "app/result_export.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/checked_output.h"
#include "app/grid_writer.h"
#include "app/spooled_input.h"
#include "core/lockwait/deadlocks.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/kinds_index.h"
#include "core/read/snapshot_load.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::app {

/// --kinds: one line per kind of the report, in order of first appearance.
int exportKinds(const ExportOptions& options) {
  std::optional<SpooledInput> spooled;  // read through a file, as every other mode
  const std::string path = spooledPath(options.report, spooled);
  if (path.empty()) return 1;
  try {
    const core::KindsIndex index = core::indexKinds(path);
    CheckedOutput& out = standardOutput();
    out.put("Kind\tSnapshots\tEntries\n");
    for (const core::KindSummary& k : index.kinds())
      out.put(k.heading + '\t' + std::to_string(k.snapshots) + '\t' + std::to_string(k.rows) + '\n');
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  return 0;
}

namespace {

/// A result grid without its hidden last column.
void exportResult(const core::GridStore& g, bool csv) { exportGrid(g, g.cols() - 1, true, csv); }

}  // namespace

/// --lock-waits: the tree of who waits for whom.
int exportLockWaits(const ExportOptions& options) {
  core::LoadedSnapshot report;
  core::loadLockSnapshot(options.report, ".", report, chosenKind(options), false);  // no column is shown
  if (report.noSuchKind && options.kind.empty()) {
    if (!report.fileKinds.empty()) report.report().kindHeading = report.fileKinds.front().heading;  // said below
  } else if (!report.error.empty()) {
    std::fprintf(stderr, "tarvolin-export: %s\n", report.error.c_str());
    return report.noSuchKind ? 2 : 1;
  }
  if (!core::holdsLockWaits(report.report().kindHeading)) {
    std::fprintf(stderr, "tarvolin-export: --lock-waits needs a lock snapshot, not \"%s\"\n",
                 report.report().kindHeading.c_str());
    return 1;
  }
  const core::LockWaits waits = core::findLockWaits(report.grid, report.report().vars);
  core::GridStore grid;
  core::writeLockWaitGrid(waits, grid);
  exportResult(grid, options.csv);
  if (waits.rows.empty()) std::fprintf(stderr, "%s\n", std::string(core::kNoLockWaits).c_str());
  if (const std::string which = core::snapshotOfText(report.time()); !which.empty())
    std::fprintf(stderr, "%s\n", which.c_str());
  std::fprintf(stderr, "%s\nApplications waiting: %d\n", report.status.c_str(), waits.waiting);
  return 0;
}

/// --deadlocks: one row per participant of each deadlock.
int exportDeadlocks(const ExportOptions& options) {
  std::vector<core::Deadlock> deadlocks;
  core::GridStore grid;
  try {  // the output's own failures go to main()
    deadlocks = core::readDeadlocks(options.report);
    core::writeDeadlockGrid(deadlocks, grid);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  exportResult(grid, options.csv);
  std::fprintf(stderr, "Deadlocks: %zu\n", deadlocks.size());
  return 0;
}

}  // namespace tarvolin::app
