#pragma once

#include <string_view>

#include "core/grid/grid.h"
#include "core/read/shared_state.h"

namespace tarvolin::core {

/// Hides (height 0) every data row, rows 1 to rows() - 1, whose cell in column `excl_col`
/// equals `excl_val` byte for byte: case and blanks count. Other rows keep their height, so
/// exclusions add up. The header row is never touched. Redraw is switched off for the loop
/// and on at the end (also when the loop throws), so an observer hears of it once.
/// Throws std::out_of_range, before changing anything, when `excl_col` is not a column of
/// the grid. Row numbers are plain ints: grids of any row count are covered. Cost: one text
/// comparison per data row.
void hideRowsLike(Grid& grid, int excl_col, std::string_view excl_val);

/// Gives every data row, rows 1 to rows() - 1, the height kDefaultRowHeight, hidden or not;
/// the header row keeps its height. Redraw off for the loop, on at the end. Cost: one height
/// per data row.
void showAllRows(Grid& grid);

/// "Reload with only lines like this": sets the reload filter to the grid's current column
/// and the text of its current cell. The caller then loads the file again, which
/// applies the filter and empties filterValue. An empty current cell sets no filter, so the
/// reload shows every entry.
void filterOnCurrentCell(LoadState& load, const Grid& grid);

/// "As above but prompt for value": sets filterColumn to the grid's current column and filterValue
/// to `answer`, the text the user typed (empty on Cancel). Returns true when the caller is
/// to reload the file, that is when `answer` is not empty; on false nothing else is to
/// happen and filterValue stays empty, so the next plain Reload is not filtered.
[[nodiscard]] bool filterOnAnswer(LoadState& load, const Grid& grid, std::string_view answer);

}  // namespace tarvolin::core
