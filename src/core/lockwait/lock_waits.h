#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/grid/grid_store.h"
#include "core/read/kinds_index.h"
#include "core/read/snapshot_load.h"
#include "core/read/variable_table.h"

namespace tarvolin::core {

/// One row of the lock-wait tree: an application of the report, or a holder the report
/// does not hold (then `entryRow` is 0).
struct LockWaitRow {
  int level = 0;     ///< 0 for a root, one more for each step down to a waiter
  int entryRow = 0;  ///< the application's row in the report's grid, 0 for none
  std::string handle;
  std::string name;
  std::string status;
  std::string waitingFor;  ///< the holder's handle (or application ID when only that is known)
  std::string mode;        ///< "Lock mode requested"
  std::string object;      ///< the type of the lock object waited on
  std::string table;       ///< "SCHEMA.TABLE" holding the lock, where the report has it
  std::string waitMs;      ///< "Total wait time (ms)"
  int directWaiters = 0;
  int totalWaiters = 0;
  std::string mark;  ///< "", "deadlock", "not in report" or "holder unknown"
};

/// Who waits for whom in a lock snapshot, in tree order: each root (an application that
/// holds a lock somebody waits for and waits for nobody, a holder missing from the report,
/// or "holder unknown" for waiters whose holder is not collected), then its waiters below
/// it, depth first. Roots and the waiters of each holder are ordered by their total
/// waiters, largest first (report order among equals). A cycle is shown once, under the
/// member first in the report, each member marked "deadlock". Applications that neither
/// wait nor hold a lock somebody waits for are left out.
struct LockWaits {
  std::vector<LockWaitRow> rows;
  int waiting = 0;  ///< applications in "Lock-wait" status
};

/// Whether a report of kind `kind` (its heading) holds the applications' lock waits: a lock
/// snapshot, of the database or of one application.
[[nodiscard]] inline bool holdsLockWaits(std::string_view kind) { return kind.ends_with("Lock Snapshot"); }

/// Loads the last snapshot of the file's lock kind (of `kind` when it names one, else of
/// the first Database or Application Lock Snapshot of the file), as loadSnapshot does:
/// the lock waits of a file of several snapshots are those of its last one.
void loadLockSnapshot(const std::string& path, const std::string& configFolder, LoadedSnapshot& out,
                      const KindChoice& kind = {}, bool sizeColumns = true);

/// What the report says when nobody waits.
inline constexpr std::string_view kNoLockWaits = "No application is waiting for a lock";

/// Builds the tree from the application rows of a loaded lock snapshot (`g` with the
/// variables `vars`; rows without "Application handle" are lock rows and skipped). Time and
/// memory linear in the rows (plus sorting each holder's waiters); no recursion.
[[nodiscard]] LockWaits findLockWaits(const GridStore& g, const VariableTable& vars);

/// Column heads of writeLockWaitGrid, without its last (hidden) column.
[[nodiscard]] const std::vector<std::string>& lockWaitHeads();

/// Writes the header row and one row per tree row into `out` (cleared first); the last
/// column holds each row's `entryRow` and has width 0.
void writeLockWaitGrid(const LockWaits& w, GridStore& out);

}  // namespace tarvolin::core
