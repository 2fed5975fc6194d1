#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "core/read/snapshot_load.h"

namespace tarvolin::core {

// The database reads a loaded snapshot here and nowhere else: its variables, its entries'
// cells, and a copy of it in bytes.

/// The snapshot's variables: its grid's columns.
[[nodiscard]] inline int variableCount(const LoadedSnapshot& s) {
  return std::min(s.report().vars.count(), s.grid.cols());
}
[[nodiscard]] inline std::string_view variableName(const LoadedSnapshot& s, int col) {
  return s.report().vars[col].name;
}
/// Its entries (the grid's rows after the header).
[[nodiscard]] inline int entryCount(const LoadedSnapshot& s) { return std::max(0, s.grid.rows() - 1); }
/// The value of variable `col` in entry `entry` (from 0).
[[nodiscard]] inline std::string_view cellOf(const LoadedSnapshot& s, int entry, int col) {
  return s.grid.textUnchecked(entry + 1, col);
}

/// All a comparison needs of `s` (kind, time, preamble, start name, variables, cells) as
/// bytes, to compare the next snapshot of its kind with it in a later run.
[[nodiscard]] std::string snapshotBytes(const LoadedSnapshot& s);
/// The snapshot snapshotBytes wrote. Throws std::runtime_error on bytes it did not write.
[[nodiscard]] LoadedSnapshot snapshotFromBytes(std::string_view bytes);

}  // namespace tarvolin::core
