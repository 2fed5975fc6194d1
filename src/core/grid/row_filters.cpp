#include "core/grid/row_filters.h"

#include <stdexcept>
#include <string>

namespace tarvolin::core {

namespace {

/// Switches a grid's redrawing off for a scope and on again when it ends.
class RedrawOff {
 public:
  explicit RedrawOff(Grid& grid) : m_grid(grid) { m_grid.setRedraw(false); }
  ~RedrawOff() { m_grid.setRedraw(true); }
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;

 private:
  Grid& m_grid;
};

}  // namespace

void hideRowsLike(Grid& grid, int excl_col, std::string_view excl_val) {
  if (excl_col < 0 || excl_col >= grid.cols())
    throw std::out_of_range("Subscript out of range: column " + std::to_string(excl_col));
  RedrawOff redraw(grid);
  const int rows = grid.rows();
  for (int row = 1; row < rows; ++row) {
    if (grid.text(row, excl_col) == excl_val) grid.setRowHeight(row, 0);
  }
}

void showAllRows(Grid& grid) {
  RedrawOff redraw(grid);
  const int rows = grid.rows();
  for (int row = 1; row < rows; ++row) grid.setRowHeight(row, kDefaultRowHeight);
}

void filterOnCurrentCell(LoadState& load, const Grid& grid) {
  load.filterColumn = static_cast<int16_t>(grid.col());
  load.filterValue.assign(grid.text(grid.row(), grid.col()));
}

bool filterOnAnswer(LoadState& load, const Grid& grid, std::string_view answer) {
  load.filterColumn = static_cast<int16_t>(grid.col());
  load.filterValue.assign(answer);
  return !load.filterValue.empty();
}

}  // namespace tarvolin::core
