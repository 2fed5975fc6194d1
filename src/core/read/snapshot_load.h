#pragma once

#include <climits>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/grid/grid_store.h"
#include "core/read/kinds_index.h"
#include "core/read/report.h"
#include "core/read/report_reader.h"

namespace tarvolin::core {

/// A file holds no report of the kind asked for; what() lists the kinds it holds.
class NoSuchKindError : public ReadError {
 public:
  using ReadError::ReadError;
};

/// One snapshot of a report (or all of a kind's), loaded as the viewer loads a report.
struct LoadedSnapshot {
  /// Its report (the header row, then one row per entry in file order; its variables, kind,
  /// time, preamble and start name) as the viewer lays it out.
  GridStore grid;
  std::string status;                  ///< the load's last status line ("Finished. Records read: ...")
  std::string error;                   ///< the error that ended the load, or empty
  bool noSuchKind = false;             ///< the file holds no report of the kind asked for (`error` lists its kinds)
  std::vector<KindSummary> fileKinds;  ///< with noSuchKind: the kinds the file holds

  [[nodiscard]] Report& report() { return grid.report(); }
  [[nodiscard]] const Report& report() const { return grid.report(); }
  /// Its "Snapshot timestamp": of the preamble, else of its first entry; or empty.
  [[nodiscard]] const std::string& time() const { return grid.report().time(); }
};

/// A snapshot of its own made of one that forEachSnapshot hands out: the grid and its report
/// moved from `s`, the rest copied.
[[nodiscard]] LoadedSnapshot takeSnapshot(LoadedSnapshot& s);

/// What one pass over a file found.
struct SnapshotPass {
  KindsIndex index;    ///< the file's sections and kinds (as far as it was read); its kinds alone with `parts`
  int kind = -1;       ///< the kind read, an index into index.kinds(); -1 when the file has none such
  std::string error;   ///< the error that ended the reading, or empty
  std::string status;  ///< the load's last status line
  bool parts = false;  ///< only the kind's records were read, of a remembered index (see known_indexes.h)
};

/// Reads `path` once and hands each snapshot of the chosen kind to `take`, in file order,
/// loaded as the viewer loads a report (its kind's configuration from `configFolder`;
/// `sizeColumns` as ReportLoader::setSizeColumns). Only one snapshot's grid is held at a
/// time: `take` may move `grid` out and copy the rest; the variables of a snapshot are
/// those met up to its end, its report's index is null but for the last one. `take` returns
/// false to end the reading. A snapshot's error is set when the reading ended with one. Of a
/// file whose index is remembered (known_indexes.h) only snapshots `first` to `last` (from 0)
/// of the kind are read. Never throws on a bad file.
SnapshotPass forEachSnapshot(const std::string& path, const KindChoice& kind, const std::string& configFolder,
                             const std::function<bool(LoadedSnapshot&)>& take, bool sizeColumns = true, int first = 0,
                             int last = INT_MAX);

/// Loads snapshot `index` of the chosen kind of `path`: an index from 0 (one past the last
/// loads the last), ReportLoader::kLastSnapshot, or ReportLoader::kWholeFile for all its
/// snapshots as one grid; otherwise as forEachSnapshot. A file without that kind leaves
/// `out` empty with an error naming the file's kinds.
void loadSnapshot(const std::string& path, int index, const std::string& configFolder, LoadedSnapshot& out,
                  bool sizeColumns = true, const KindChoice& kind = {});

/// Loads the last snapshot of the chosen kind of `path` into `out`, as loadSnapshot with
/// ReportLoader::kLastSnapshot, and returns how many snapshots of that kind the file holds
/// (0 when it has none such: `out` is then empty with an error naming the file's kinds).
int loadLastSnapshot(const std::string& path, const std::string& configFolder, LoadedSnapshot& out,
                     bool sizeColumns = true, const KindChoice& kind = {});

/// Loads two snapshots at once, the first on a thread of its own (one after the other
/// when no thread can be had). Throws what a load throws (std::bad_alloc) once both ended.
void loadSnapshotPair(const std::string& path1, int index1, const std::string& path2, int index2,
                      const std::string& configFolder, LoadedSnapshot& out1, LoadedSnapshot& out2,
                      bool sizeColumns = true, const KindChoice& kind = {});

/// The first snapshot of `path1` and the last of `path2` of the chosen kind, each file read
/// once; when both are the same file, in one pass. As loadSnapshotPair otherwise.
void loadFirstAndLast(const std::string& path1, const std::string& path2, const std::string& configFolder,
                      LoadedSnapshot& first, LoadedSnapshot& last, bool sizeColumns = true,
                      const KindChoice& kind = {});

/// The "Snapshot timestamp" of each snapshot of the chosen kind of `path` (empty where one
/// has none), read without loading: one element per snapshot; from the file's remembered
/// index when it has one (known_indexes.h), which the index read here then becomes.
/// Throws ReadError when the file can't be read.
[[nodiscard]] std::vector<std::string> listSnapshots(const std::string& path, const KindChoice& kind = {});

/// Reads the sections and kinds of `path` without loading any. Throws ReadError.
[[nodiscard]] KindsIndex indexKinds(const std::string& path);

}  // namespace tarvolin::core
