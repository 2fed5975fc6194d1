#include "core/compare/entry_changes.h"

namespace tarvolin::core {

void writeEntryChangeHeads(GridStore& out, int row, int first) {
  for (size_t i = 0; i < kEntryChangeHeads.size(); ++i)
    out.setText(row, first + static_cast<int>(i), kEntryChangeHeads[i]);
}

int writeEntryChanges(const Comparison& c, const ComparedEntry& e, const LoadedSnapshot& earlier,
                      const LoadedSnapshot& later, const GridStore& compared, int comparedRow, GridStore& out, int row,
                      int first) {
  const auto value = [](const LoadedSnapshot& s, int r, int col) {
    return r > 0 && col >= 0 ? s.grid.text(r, col) : std::string_view();
  };
  for (const ComparedVariable& v : c.vars) {
    out.setText(row, first, v.name);
    out.setText(row, first + 1, value(earlier, e.earlierRow, v.earlierCol));
    out.setText(row, first + 2, value(later, e.laterRow, v.laterCol));
    if (v.counter) {
      out.setText(row, first + 3, compared.text(comparedRow, v.col + 1));
      out.setText(row, first + 4, compared.text(comparedRow, v.col + 2));
    }
    ++row;
  }
  return row;
}

void hideUnchanged(GridStore& g, int earlierCol, bool hide) {
  for (int r = 1; r < g.rows(); ++r) {
    const bool same = g.text(r, earlierCol) == g.text(r, earlierCol + 1);
    g.setRowHeight(r, hide && same ? 0 : kDefaultRowHeight);
  }
}

}  // namespace tarvolin::core
