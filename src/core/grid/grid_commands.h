#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/grid/grid.h"
#include "core/grid/grid_store.h"
#include "core/read/shared_state.h"

namespace tarvolin::core {

/// Twips that "Make Column Wider" adds each time.
inline constexpr int kColumnWidening = 5000;

/// A rectangle of cells, rows r1..r2 and columns c1..c2, both ends included, r1 <= r2 and
/// c1 <= c2. Indices are plain ints, so ranges past row 32,767 and their cell counts are exact.
struct CellRange {
  int r1 = 0;
  int r2 = 0;
  int c1 = 0;
  int c2 = 0;

  /// (r2 - r1 + 1) * (c2 - c1 + 1), in 64 bits.
  [[nodiscard]] int64_t cellCount() const {
    return static_cast<int64_t>(r2 - r1 + 1) * static_cast<int64_t>(c2 - c1 + 1);
  }
  friend bool operator==(const CellRange&, const CellRange&) = default;
};

/// The range between the current cell (row, col) and the far corner (rowSel, colSel),
/// whichever way it was dragged.
[[nodiscard]] CellRange normalisedRange(int row, int col, int rowSel, int colSel);

/// The grid's selection, normalised. Always inside the grid (the store clamps its selection).
[[nodiscard]] CellRange selectionRange(const GridStore& grid);

/// The text of the grid's current cell. The view points into the grid and lives until the
/// grid's texts change.
[[nodiscard]] std::string_view currentCellText(const Grid& grid);

/// The clipboard text of a range: the cells of a row joined by TAB, the rows joined by CR LF,
/// nothing after the last cell; texts as stored, unquoted. Hidden rows (height 0) and columns
/// of width 0 are included like any other; the header row only when the range starts at row
/// 0. Throws std::out_of_range, before building anything, when the range is not inside the
/// grid. Cost: two passes over the range's cells; the string is allocated once at its exact
/// size (about the range's text bytes plus one byte per cell).
[[nodiscard]] std::string cellsText(const GridStore& grid, const CellRange& range);

/// What "Copy Cells" puts on the clipboard, and how many cells that is.
struct CopiedCells {
  std::string text;
  int64_t cells = 0;
};

/// "Copy Cells" over the grid's selection, in the first `columns` columns only: the columns
/// after them are left out (a result window's hidden last column). No cell (empty text, 0
/// cells) when the selection lies wholly after them or the grid has no cell. The caller puts
/// `text` on the clipboard and shows copiedStatusText(cells). Never throws but bad_alloc.
[[nodiscard]] CopiedCells copyCells(const GridStore& grid, int columns = INT_MAX);

/// "N cells copied to the clipboard", N in plain decimal.
[[nodiscard]] std::string copiedStatusText(int64_t cells);

/// "Make Column Wider": adds kColumnWidening twips to the current column's width, each call
/// again. The width saturates at INT_MAX instead of overflowing.
void makeColumnWider(Grid& grid);

/// "Lock First Col?": inverts shared.lockcol and sets the grid's fixed columns to 1 when it
/// is now true (0 on a grid without columns), else 0. Returns the new lockcol, which is what
/// the menu item's check mark shows. No failure path.
bool lockFirstCol(SharedState& shared, Grid& grid);

enum class SortOrder { Ascending, Descending };

/// The grid's generic sort, the "Sort Ascending" and "Sort Descending" commands.
///
/// Rows: the data rows of the range, that is rows max(r1, 1) to r2; row 0, the header row,
/// never moves. When that leaves fewer than two rows (the usual case after a right click on
/// one cell) every data row, 1 to rows() - 1, is sorted.
///
/// Keys: the range's columns c1 to c2, c1 first; a later column only decides between rows
/// whose earlier keys are equal. Each cell is one of three kinds:
/// - number: the whole text is an optional sign, digits and an optional decimal point with
///   digits, at least one digit in all ("932", "-17", "0.25", "+3.", ".5"). Counters, handles
///   and times in ms are numbers. Nothing else is: no blanks, exponents, thousands separators,
///   "inf" or hex, so a lock name such as "0x0002000900" is text, as are dates and times of
///   day. Numbers are compared by value as long double, exact for every integer below 2^64
///   ("1.0" equals "1"; a digit string too large for long double counts as text).
/// - text: any other non-empty text, compared byte by byte as unsigned bytes (UTF-8 code point
///   order), case-sensitive; no locale.
/// - empty: the empty text.
/// Ascending: numbers (smallest first), then texts, then empty cells. Descending is the exact
/// reverse for non-empty cells (texts from the largest, then numbers from the largest) and
/// keeps empty cells last as well.
///
/// The sort is stable in both orders: rows with equal keys keep their relative order. Whole
/// rows move with their height, so hidden rows stay hidden (GridStore::permuteRows). The
/// current cell and selection keep their positions; an order that is already right moves
/// nothing and reports no change.
///
/// Cost: each key cell is parsed once before sorting. The rows are split by the kind of their
/// first key and each part stable-sorted on its plain values (long double or byte string), the
/// further key columns only breaking ties; then one pass moves the rows. About 0.1 s for
/// 100,000 rows of 30 columns, half of it moving the rows. Throws std::out_of_range, before
/// changing anything, when the range is not inside the grid.
void sortRows(GridStore& grid, const CellRange& range, SortOrder order);

/// sortRows over the grid's selection.
void sortSelection(GridStore& grid, SortOrder order);

}  // namespace tarvolin::core
