#include "core/grid/constant_columns.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace tarvolin::core {

namespace {

/// The low `bytes` bytes of a little-endian word (all of it from 8 on).
uint64_t wordMask(size_t bytes) { return bytes >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * bytes)) - 1; }

}  // namespace

std::vector<int> constantColumns(const GridStore& grid) {
  const int rows = grid.rows();
  const int cols = grid.cols();
  if (rows < 3 || cols < 1) return {};
  // The first data row's texts, and of each up to 16 bytes as two words: most cells are
  // that short ("0", "Not Collected", a timestamp's date), and two loads, masks and
  // comparisons settle them.
  struct First {
    const char* bytes;
    size_t size;
    uint64_t word[2];
    uint64_t mask[2];
  };
  std::vector<First> first(static_cast<size_t>(cols));
  std::vector<int> candidates(static_cast<size_t>(cols));
  for (int c = 0; c < cols; ++c) {
    const std::string_view t = grid.textUnchecked(1, c);
    First& f = first[static_cast<size_t>(c)];
    f = {t.data(), t.size(), {0, 0}, {wordMask(t.size()), wordMask(t.size() > 8 ? t.size() - 8 : 0)}};
    std::memcpy(f.word, t.data(), std::min<size_t>(t.size(), 16));
    candidates[static_cast<size_t>(c)] = c;
  }
  // Two words may be loaded from a cell's first byte only where 16 bytes of the arena follow
  // it, and the masks take the low bytes: little-endian only.
  const std::string_view arena = grid.textBytes();
  const bool words = std::endian::native == std::endian::little && arena.size() >= 16;
  const char* const lastWords = words ? arena.data() + arena.size() - 16 : nullptr;
  size_t left = candidates.size();
  for (int r = 2; r < rows && left > 0; ++r) {
    // Keep, in place, the candidates whose cell in row r still equals the first row's.
    size_t kept = 0;
    for (size_t i = 0; i < left; ++i) {
      const int c = candidates[i];
      const First& f = first[static_cast<size_t>(c)];
      const std::string_view have = grid.textUnchecked(r, c);
      if (have.size() != f.size) continue;
      bool same = false;
      if (f.size <= 16 && lastWords != nullptr && have.data() <= lastWords) {
        uint64_t w[2];
        std::memcpy(w, have.data(), 16);
        same = ((w[0] & f.mask[0]) ^ f.word[0]) == 0 && ((w[1] & f.mask[1]) ^ f.word[1]) == 0;
      } else {
        same = std::memcmp(have.data(), f.bytes, f.size) == 0;
      }
      if (same) candidates[kept++] = c;
    }
    left = kept;
  }
  candidates.resize(left);
  return candidates;
}

bool HiddenColumns::holds(int col) const {
  return std::binary_search(widths.begin(), widths.end(), std::pair<int, int>{col, 0},
                            [](const auto& a, const auto& b) { return a.first < b.first; });
}

HiddenColumns hideConstantColumns(GridStore& grid) {
  HiddenColumns hidden;
  const bool redraw = grid.redraw();
  grid.setRedraw(false);
  for (const int c : constantColumns(grid)) {
    const int width = grid.colWidth(c);
    if (width <= 0) continue;
    hidden.widths.emplace_back(c, width);
    grid.setColWidth(c, 0);
  }
  grid.setRedraw(redraw);
  return hidden;
}

void showHiddenColumns(GridStore& grid, const HiddenColumns& hidden) {
  const bool redraw = grid.redraw();
  grid.setRedraw(false);
  for (const auto& [col, width] : hidden.widths)
    if (col < grid.cols()) grid.setColWidth(col, width);
  grid.setRedraw(redraw);
}

std::string constantColumnsStatusText(int count) { return std::to_string(count) + " constant columns hidden"; }

}  // namespace tarvolin::core
