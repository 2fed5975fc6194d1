#pragma once

#include <cstdio>
#include <vector>

#include "core/grid_store.h"

namespace tarvolin::app {

/// Writes the rows of `g` to `file`, cells of the columns `cols` in that order: TAB
/// between cells and LF after each row (a TAB, CR or LF inside a cell as \t, \r, \n),
/// or with `csv` RFC 4180 (comma between fields, quoted where needed, CR LF after each
/// row). Throws std::bad_alloc.
void writeGrid(const core::GridStore& g, const std::vector<int>& cols, bool csv, std::FILE* file);

/// As above, with every column of `extra` (which has the rows of `g`) after those of `cols`.
void writeGrid(const core::GridStore& g, const std::vector<int>& cols, const core::GridStore& extra, bool csv,
               std::FILE* file);

}  // namespace tarvolin::app
