#include "core/grid/result_grid.h"

#include <algorithm>
#include <charconv>

namespace tarvolin::core {

namespace {
constexpr int kColWidth = 1600;
constexpr int kTwipsPerChar = 105;  // of an average character of the grid's font
constexpr int kMargin = 240;
constexpr int kMaxWidth = 7000;
}  // namespace

void startResultGrid(GridStore& out, const std::vector<std::string>& heads, int rows) {
  out.clear();
  const int cols = static_cast<int>(heads.size());
  out.setCols(cols + 1);
  out.setRows(rows + 1);
  out.setRowTexts(0, heads);
  for (int c = 0; c < cols; ++c) out.setColWidth(c, kColWidth);
  out.setColWidth(cols, 0);
}

void setResultRow(GridStore& out, int row, const std::vector<std::string>& texts, int entryRow) {
  out.setRowTexts(row, texts);
  out.setText(row, out.cols() - 1, std::to_string(entryRow));
}

void fitResultColumns(GridStore& g) {
  for (int c = 0; c + 1 < g.cols(); ++c) {
    size_t longest = 0;
    for (int r = 0; r < g.rows(); ++r) longest = std::max(longest, g.textUnchecked(r, c).size());
    g.setColWidth(c, std::min(kMaxWidth, static_cast<int>(longest) * kTwipsPerChar + kMargin));
  }
}

int resultEntryRow(const GridStore& g, int row) {
  const std::string_view t = g.text(row, g.cols() - 1);
  int value = 0;
  std::from_chars(t.data(), t.data() + t.size(), value);
  return value;
}

}  // namespace tarvolin::core
