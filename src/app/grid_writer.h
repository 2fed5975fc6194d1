#pragma once

#include <vector>

#include "app/checked_output.h"
#include "core/grid/grid_store.h"

namespace tarvolin::app {

/// Columns 0 to `count` - 1, in order: a grid written whole (or but its hidden last column).
[[nodiscard]] std::vector<int> firstColumns(int count);

/// Writes the rows of `g` to `out`, cells of the columns `cols` in that order: TAB
/// between cells and LF after each row (a TAB, CR or LF inside a cell as \t, \r, \n),
/// or with `csv` RFC 4180 (comma between fields, quoted where needed, CR LF after each
/// row). Bytes may stay in `out`'s buffer. Throws OutputError and std::bad_alloc.
void writeGrid(const core::GridStore& g, const std::vector<int>& cols, bool csv, CheckedOutput& out);

/// As above, with the columns `extraCols` of `extra` (which has the rows of `g`) after those
/// of `cols`.
void writeGrid(const core::GridStore& g, const std::vector<int>& cols, const core::GridStore& extra,
               const std::vector<int>& extraCols, bool csv, CheckedOutput& out);

/// The grid in row order to standard output: shown columns only (width above 0) unless
/// `allColumns`, none of `leaveOut` (ascending), then the columns of `derived` when there is
/// one, none of `derivedLeaveOut` (ascending); nothing at all when no column of `g` is
/// written. Flushed before it returns, so that what a mode says next on standard error
/// follows it. Throws OutputError.
void exportGrid(const core::GridStore& g, int columns, bool allColumns, bool csv, const std::vector<int>& leaveOut = {},
                const core::GridStore* derived = nullptr, const std::vector<int>& derivedLeaveOut = {});

}  // namespace tarvolin::app
