#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/grid_store.h"
#include "core/shared_state.h"

namespace tarvolin::core {

/// One snapshot of a report, loaded as the viewer loads a report.
struct LoadedSnapshot {
  SharedState shared;  ///< its variables (the grid's columns, in order) and its kind
  GridStore grid;      ///< the header row, then one row per entry in file order
  std::string time;    ///< its "Snapshot timestamp": of the preamble, else of its first entry; or empty
  std::vector<std::pair<std::string, std::string>> preamble;  ///< names and values before its first entry
  std::string startName;                                      ///< the name that begins an entry, as the report was read
  std::string status;  ///< the load's last status line ("Finished. Records read: ...")
  std::string error;   ///< the error that ended the load, or empty
};

/// Loads snapshot `index` of `path` (see ReportLoader::setSnapshot), with its kind's
/// configuration from `configFolder`; `sizeColumns` as ReportLoader::setSizeColumns. Never
/// throws on a bad file: the error is kept.
void loadSnapshot(const std::string& path, int index, const std::string& configFolder, LoadedSnapshot& out,
                  bool sizeColumns = true);

/// Loads two snapshots at once, the first on a thread of its own (one after the other
/// when no thread can be had). Throws what a load throws (std::bad_alloc) once both ended.
void loadSnapshotPair(const std::string& path1, int index1, const std::string& path2, int index2,
                      const std::string& configFolder, LoadedSnapshot& out1, LoadedSnapshot& out2,
                      bool sizeColumns = true);

/// The "Snapshot timestamp" of each snapshot of a file whose heading repeats (empty
/// where one has none): one element per snapshot, none when the file has no heading.
/// Throws ReadError when the file can't be read.
[[nodiscard]] std::vector<std::string> listSnapshots(const std::string& path);

}  // namespace tarvolin::core
