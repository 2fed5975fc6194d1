#include "core/grid/find_column.h"

#include <algorithm>

namespace tarvolin::core {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool nameContains(std::string_view name, std::string_view part) {
  if (part.empty()) return false;
  const auto same = [](char a, char b) { return lowerAscii(a) == lowerAscii(b); };
  return std::search(name.begin(), name.end(), part.begin(), part.end(), same) != name.end();
}

ColumnMatch findColumn(const GridStore& grid, int from, std::string_view part) {
  ColumnMatch match;
  const int cols = grid.cols();
  if (grid.rows() < 1 || cols < 1) return match;
  if (from < 0 || from >= cols) from = cols - 1;  // the pass then starts at column 0
  for (int step = 1; step <= cols; ++step) {
    const int c = (from + step) % cols;
    if (!nameContains(grid.textUnchecked(0, c), part)) continue;
    if (grid.colWidth(c) > 0) return ColumnMatch{c, -1};
    if (match.hidden < 0) match.hidden = c;
  }
  return match;
}

std::string findColumnStatusText(const GridStore& grid, const ColumnMatch& match, std::string_view part,
                                 bool hiddenAsConstant) {
  if (match.col >= 0) return std::string(grid.text(0, match.col));
  if (match.hidden < 0) return "No column name contains \"" + std::string(part) + "\"";
  return std::string(grid.text(0, match.hidden)) +
         (hiddenAsConstant ? " (hidden as constant; Hide Constant Columns shows it)" : " (hidden; Customise shows it)");
}

}  // namespace tarvolin::core
