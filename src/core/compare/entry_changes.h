#pragma once

#include <array>

#include "core/compare/snapshot_compare.h"
#include "core/grid/grid_store.h"

namespace tarvolin::core {

/// The heads of one entry of a comparison turned on its side: a row per variable.
inline constexpr std::array<const char*, 5> kEntryChangeHeads = {"Variable", "Earlier", "Later", "Change",
                                                                 "Rate per s"};

/// Writes kEntryChangeHeads into row `row` of `out`, from column `first`.
void writeEntryChangeHeads(GridStore& out, int row, int first);

/// Writes entry `e` of `c` on its side into `out`, a row per variable of `c` from row `row`,
/// in columns `first` to `first + 4`: the variable's name, its value on each snapshot (empty
/// where the entry or the variable is missing), and for a counter the change and rate that
/// row `comparedRow` of `compared` holds (a row writeComparison wrote for `e`). `out` must
/// have the rows and columns. Returns the row after the last written.
int writeEntryChanges(const Comparison& c, const ComparedEntry& e, const LoadedSnapshot& earlier,
                      const LoadedSnapshot& later, const GridStore& compared, int comparedRow, GridStore& out, int row,
                      int first);

/// "Hide Unchanged" on a grid of entry changes: hides (height 0) each row from row 1 whose
/// texts in columns `earlierCol` and `earlierCol + 1` are equal, or with `hide` false shows
/// every row again. A counter that moved has two texts that differ, so its row stays.
void hideUnchanged(GridStore& g, int earlierCol, bool hide);

}  // namespace tarvolin::core
