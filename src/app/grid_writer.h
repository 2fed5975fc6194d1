#pragma once

#include <vector>

#include "app/checked_output.h"
#include "core/grid/grid_store.h"

namespace tarvolin::app {

/// Writes the rows of `g` to `out`, cells of the columns `cols` in that order: TAB
/// between cells and LF after each row (a TAB, CR or LF inside a cell as \t, \r, \n),
/// or with `csv` RFC 4180 (comma between fields, quoted where needed, CR LF after each
/// row). Bytes may stay in `out`'s buffer. Throws OutputError and std::bad_alloc.
void writeGrid(const core::GridStore& g, const std::vector<int>& cols, bool csv, CheckedOutput& out);

/// As above, with the columns `extraCols` of `extra` (which has the rows of `g`) after those
/// of `cols`.
void writeGrid(const core::GridStore& g, const std::vector<int>& cols, const core::GridStore& extra,
               const std::vector<int>& extraCols, bool csv, CheckedOutput& out);

}  // namespace tarvolin::app
