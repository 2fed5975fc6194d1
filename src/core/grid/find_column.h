#pragma once

#include <string>
#include <string_view>

#include "core/grid/grid_store.h"

namespace tarvolin::core {

/// Where "Find Column..." (and F3, its next match) goes.
struct ColumnMatch {
  int col = -1;     ///< the shown column to make current; -1 when no shown column matches
  int hidden = -1;  ///< when col is -1: the first hidden column (width 0) that matches, or -1
};

/// Whether `name` holds `part`, ASCII letters compared without regard to case and every
/// other byte exactly. An empty `part` is in no name.
[[nodiscard]] bool nameContains(std::string_view name, std::string_view part);

/// The next column whose variable name (the header row's text) holds `part`: the first shown
/// column (width above 0) to the right of `from`, wrapping from the last column to column 0,
/// `from` itself last of all (so a lone match is found again). Hidden columns are skipped;
/// when only hidden ones match, `hidden` names the first of them counted from `from` the
/// same way. A grid without a header row, or `from` outside the grid, searches from column
/// -1, that is from column 0 on. Cost: one pass over the header texts.
[[nodiscard]] ColumnMatch findColumn(const GridStore& grid, int from, std::string_view part);

/// The status line after a search: the found column's name; "No column name contains
/// \"PART\""; or for a hidden match, its name followed by "(hidden; Customise shows it)",
/// or "(hidden as constant; Hide Constant Columns shows it)" when `hiddenAsConstant`.
[[nodiscard]] std::string findColumnStatusText(const GridStore& grid, const ColumnMatch& match, std::string_view part,
                                               bool hiddenAsConstant);

}  // namespace tarvolin::core
