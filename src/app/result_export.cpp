#include "app/result_export.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/checked_output.h"
#include "app/grid_writer.h"
#include "app/spooled_input.h"
#include "core/lockwait/blockers.h"
#include "core/lockwait/deadlocks.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/kinds_index.h"
#include "core/read/report_loader.h"
#include "core/read/snapshot_load.h"
#include "core/series/series.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::app {

namespace {

/// The kind whose statements --blockers takes.
constexpr const char* kApplicationKind = "Application Snapshot";

}  // namespace

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

/// The rows of `tree` (a lock-wait grid) after a column "Snapshot" holding `label`: the
/// header row too when `header`.
void writeSnapshotTree(const core::GridStore& tree, const std::string& label, bool header, bool csv) {
  core::GridStore g;
  const int cols = tree.cols() - 1;  // without the hidden one
  const int first = header ? 0 : 1;
  g.setCols(cols + 1);
  g.setRows(tree.rows() - first);
  for (int r = first; r < tree.rows(); ++r) {
    g.setText(r - first, 0, r == 0 ? std::string(core::kSnapshotColumn) : label);
    for (int c = 0; c < cols; ++c) g.setText(r - first, c + 1, std::string(tree.text(r, c)));
  }
  writeGrid(g, firstColumns(g.cols()), csv, standardOutput());
}

/// --blockers: adds the statements of the capture's Application Snapshot in the window.
void addStatements(const ExportOptions& options, const std::string& path, core::BlockerHistory& history) {
  if (history.blockers().empty()) return;
  core::SeriesSource source{{path}, std::string(kApplicationKind), ".", options.dateOrder};
  source.window = options.window;
  try {
    (void)core::forEachSeriesSnapshot(
        source, [&](core::LoadedSnapshot& s, int) { history.addStatements(s.grid, s.report().vars); });
  } catch (const std::exception&) {
    // a window of lock snapshots only, or a capture without applications: no statements
  }
}

/// --lock-waits with a window (or --blockers): the tree of each lock snapshot in it, or its
/// root blockers.
int exportLockWaitHistory(const ExportOptions& options) {
  std::optional<SpooledInput> spooled;  // read again for the statements or an empty window's last time
  const std::string path = spooledPath(options.report, spooled);
  if (path.empty()) return 1;
  core::BlockerHistory history;
  core::SeriesSource source{{path},        std::nullopt, ".", options.dateOrder, core::KindChoice{0, "", true},
                            options.window};
  if (!options.kind.empty()) source.kind = options.kind;
  int snapshots = 0;
  int withWaits = 0;
  int mostWaiting = 0;
  std::string lastTime;
  int lastWaiting = 0;
  try {
    snapshots = core::forEachSeriesSnapshot(source, [&](core::LoadedSnapshot& s, int number) {
      if (!core::holdsLockWaits(s.report().kindHeading))
        throw std::runtime_error("--lock-waits needs a lock snapshot, not \"" + s.report().kindHeading + "\"");
      const core::LockWaits waits = core::findLockWaits(s.grid, s.report().vars);
      if (options.blockers) {
        history.add(waits, s.grid, s.report().vars, core::snapshotLabel(s, number));
      } else {
        core::GridStore tree;
        core::writeLockWaitGrid(waits, tree);
        writeSnapshotTree(tree, core::snapshotLabel(s, number), lastTime.empty(), options.csv);
      }
      lastTime = core::snapshotLabel(s, number);
      lastWaiting = waits.waiting;
      withWaits += waits.rows.empty() ? 0 : 1;
      mostWaiting = std::max(mostWaiting, waits.waiting);
    });  // a file without a lock snapshot: said below
  } catch (const OutputError&) {
    throw;  // ends the run (see main)
  } catch (const core::WindowError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 2;
  } catch (const core::NoSuchKindError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  if (options.blockers && snapshots > 0) {
    addStatements(options, path, history);
    core::GridStore grid;
    history.write(grid);
    exportResult(grid, options.csv);
  }
  standardOutput().flush();
  if (snapshots == 0) {
    std::fprintf(stderr, "tarvolin-export: --lock-waits needs a lock snapshot, %s holds none\n",
                 options.report.c_str());
    return 1;
  }
  if (withWaits == 0)
    std::fprintf(stderr, "%s in any snapshot of the window\n", std::string(core::kNoLockWaits).c_str());
  else if (lastWaiting == 0)
    std::fprintf(stderr,
                 "No application waits at the last snapshot (%s), but %d of the window's snapshots had lock waits\n",
                 lastTime.c_str(), withWaits);
  std::fprintf(stderr, "Snapshots: %d, with lock waits: %d, most applications waiting at once: %d\n", snapshots,
               withWaits, mostWaiting);
  if (options.blockers) std::fprintf(stderr, "Root blockers: %zu\n", history.blockers().size());
  return 0;
}

}  // namespace

/// --lock-waits: the tree of who waits for whom.
int exportLockWaits(const ExportOptions& options) {
  if (options.window.given() || options.blockers) return exportLockWaitHistory(options);
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
