#pragma once

#include <string>

#include "platform/grid_view.h"

namespace tarvolin::ui {

/// The current cell of the main window's grid and where its view stands, kept over a reload
/// of the same file that may add or drop columns (Options > Derived Columns): the cell goes
/// back to its row and to the column of the same title (the nearest one of several), and
/// the view to where it stood (GridView::restorePlace).
class KeptCell {
 public:
  /// Notes the current cell of `view`'s store and where `view` stands.
  explicit KeptCell(const platform::GridView& view);
  /// Makes the cell current again in `view`'s store, reloaded since (its row clamped into the
  /// rows, the first column when no column has its title), and puts the view back.
  void restore(platform::GridView& view) const;

 private:
  platform::GridView::Place m_place;
  int m_row = 0;
  int m_col = 0;
  std::string m_title;
};

}  // namespace tarvolin::ui
