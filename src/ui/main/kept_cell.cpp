#include "ui/main/kept_cell.h"

#include <algorithm>
#include <cstdlib>

namespace tarvolin::ui {

KeptCell::KeptCell(const platform::GridView& view)
    : m_place(view.place()), m_row(view.store().row()), m_col(view.store().col()) {
  const core::GridStore& g = view.store();
  if (g.rows() > 0 && m_col >= 0 && m_col < g.cols()) m_title = std::string(g.text(0, m_col));
}

void KeptCell::restore(platform::GridView& view) const {
  core::GridStore& g = view.store();
  if (g.rows() < 2 || g.cols() < 1) return;
  int col = -1;
  for (int c = 0; c < g.cols(); ++c)
    if (g.text(0, c) == m_title && (col < 0 || std::abs(c - m_col) < std::abs(col - m_col))) col = c;
  col = std::max(col, 0);
  const int row = std::clamp(m_row, 1, g.rows() - 1);
  g.setSelection(row, col, row, col);
  view.restorePlace(m_place);
}

}  // namespace tarvolin::ui
