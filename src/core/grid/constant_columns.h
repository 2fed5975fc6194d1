#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/grid/grid_store.h"

namespace tarvolin::core {

/// The columns of `grid`, in ascending order, whose cell in every data row (rows 1 to
/// rows() - 1, rows hidden by a filter included) holds exactly the bytes of the first data
/// row's cell: "Not Collected" everywhere, 0 everywhere, empty everywhere. Fewer than two
/// data rows name no column. Column widths play no part.
///
/// Cost: one pass over the rows, each comparing only the columns still constant with the
/// first data row (length first, then the bytes, up to 16 of them as two words); a column
/// drops out at its first difference and the pass ends as soon as none is left. At most one
/// comparison per cell: about 20 ms of processor time for 100,000 rows by 150 columns of
/// which 100 are constant, 30 ms when all are (bench/constant_columns_bench).
[[nodiscard]] std::vector<int> constantColumns(const GridStore& grid);

/// What "Hide Constant Columns" hid: each column with the width it had, to be given back.
struct HiddenColumns {
  std::vector<std::pair<int, int>> widths;  ///< (column, twips before), ascending by column

  [[nodiscard]] int count() const { return static_cast<int>(widths.size()); }
  /// Whether `col` is one of them.
  [[nodiscard]] bool holds(int col) const;
};

/// "Hide Constant Columns": width 0 for every shown column (width above 0) that
/// constantColumns() names; columns already hidden stay as they are and are not counted.
/// Only widths change: cell texts, the configuration and what Copy Cells copies do not.
/// Redraw is off while the widths change, then back as it was. No failure path.
[[nodiscard]] HiddenColumns hideConstantColumns(GridStore& grid);

/// Turning it off: each column of `hidden` still in the grid gets its width back. Redraw
/// as hideConstantColumns() handles it.
void showHiddenColumns(GridStore& grid, const HiddenColumns& hidden);

/// "N constant columns hidden", N in plain decimal.
[[nodiscard]] std::string constantColumnsStatusText(int count);

}  // namespace tarvolin::core
