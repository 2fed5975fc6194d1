#include "core/grid/grid_commands.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace tarvolin::core {

namespace {

constexpr int kFirstDataRow = 1;

void checkRange(const Grid& grid, const CellRange& range) {
  if (range.r1 < 0 || range.r1 > range.r2 || range.r2 >= grid.rows() || range.c1 < 0 || range.c1 > range.c2 ||
      range.c2 >= grid.cols())
    throw std::out_of_range("Subscript out of range: the cell range is not inside the grid");
}

enum class KeyKind : uint8_t { Number, Text, Empty };

/// One cell of a sort key column, parsed once.
struct SortKey {
  long double number = 0;
  std::string_view text;
  KeyKind kind = KeyKind::Empty;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// Parses the whole text as [+-]digits[.digits] (at least one digit); false for anything else.
bool parseNumber(std::string_view s, long double& out) {
  const char* p = s.data();
  const char* const end = p + s.size();
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  const char* const digits = p;
  int intDigits = 0;
  uint64_t whole = 0;
  for (; p != end && isDigit(*p); ++p, ++intDigits) whole = whole * 10 + static_cast<uint64_t>(*p - '0');
  if (p == end) {
    if (intDigits == 0) return false;
    if (intDigits <= 19) {  // fits in 64 bits without overflow: exact
      out = negative ? -static_cast<long double>(whole) : static_cast<long double>(whole);
      return true;
    }
  } else {
    if (*p != '.') return false;
    ++p;
    int fracDigits = 0;
    for (; p != end && isDigit(*p); ++p) ++fracDigits;
    if (p != end || intDigits + fracDigits == 0) return false;
  }
  long double value = 0;
  auto [ptr, ec] = std::from_chars(digits, end, value, std::chars_format::fixed);
  if (ec != std::errc{} || ptr != end) return false;
  out = negative ? -value : value;
  return true;
}

SortKey makeKey(std::string_view text) {
  SortKey key;
  key.text = text;
  if (text.empty()) {
    key.kind = KeyKind::Empty;
  } else if (parseNumber(text, key.number)) {
    key.kind = KeyKind::Number;
  } else {
    key.kind = KeyKind::Text;
  }
  return key;
}

/// <0, 0 or >0 as a sorts before, with or after b in ascending order; both non-empty.
int compareAscending(const SortKey& a, const SortKey& b) {
  if (a.kind != b.kind) return a.kind == KeyKind::Number ? -1 : 1;
  if (a.kind == KeyKind::Number) return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
  return a.text.compare(b.text);
}

int compare3(long double a, long double b) { return a < b ? -1 : (b < a ? 1 : 0); }
int compare3(std::string_view a, std::string_view b) { return a.compare(b); }

/// Tie-break over the key columns after the first: `keys` holds `width` keys a row, row-major,
/// rows numbered from 0. Empty cells last in both orders, the rest in `order`. With no further
/// columns every pair ties.
class TieLess {
 public:
  TieLess(const std::vector<SortKey>& keys, size_t width, bool descending)
      : m_keys(keys.data()), m_width(width), m_descending(descending) {}

  bool operator()(uint32_t a, uint32_t b) const {
    const SortKey* ka = m_keys + static_cast<size_t>(a) * m_width;
    const SortKey* kb = m_keys + static_cast<size_t>(b) * m_width;
    for (size_t k = 0; k < m_width; ++k) {
      const bool ea = ka[k].kind == KeyKind::Empty;
      const bool eb = kb[k].kind == KeyKind::Empty;
      if (ea || eb) {
        if (ea && eb) continue;
        return eb;
      }
      const int c = compareAscending(ka[k], kb[k]);
      if (c != 0) return m_descending ? c > 0 : c < 0;
    }
    return false;
  }

 private:
  const SortKey* m_keys;
  size_t m_width;
  bool m_descending;
};

/// Stable sort of (first key value, row) pairs by value in the given direction, ties by `ties`.
template <typename Value>
void sortBucket(std::vector<std::pair<Value, uint32_t>>& bucket, bool descending, const TieLess& ties) {
  std::stable_sort(bucket.begin(), bucket.end(), [&](const auto& a, const auto& b) {
    const int c = compare3(a.first, b.first);
    if (c != 0) return descending ? c > 0 : c < 0;
    return ties(a.second, b.second);
  });
}

/// The sorted order of rows 0..n-1, each named by `cell(row, k)` for key columns k in
/// [0, width). The rows are split by the kind of their first key (which fixes the order of the
/// kinds), each kind sorted on its plain values, and the further columns only break ties.
template <typename CellText>
std::vector<uint32_t> sortedOrder(size_t n, size_t width, bool descending, CellText cell) {
  std::vector<std::pair<long double, uint32_t>> numbers;
  std::vector<std::pair<std::string_view, uint32_t>> texts;
  std::vector<uint32_t> empties;
  std::vector<SortKey> rest(n * (width - 1));
  for (uint32_t i = 0; i < n; ++i) {
    const SortKey key = makeKey(cell(i, 0));
    switch (key.kind) {
      case KeyKind::Number:
        numbers.emplace_back(key.number, i);
        break;
      case KeyKind::Text:
        texts.emplace_back(key.text, i);
        break;
      case KeyKind::Empty:
        empties.push_back(i);
        break;
    }
    for (size_t k = 1; k < width; ++k) rest[i * (width - 1) + k - 1] = makeKey(cell(i, k));
  }
  const TieLess ties(rest, width - 1, descending);
  sortBucket(numbers, descending, ties);
  sortBucket(texts, descending, ties);
  if (width > 1) std::stable_sort(empties.begin(), empties.end(), ties);

  std::vector<uint32_t> order;
  order.reserve(n);
  auto append = [&order](const auto& bucket) {
    for (const auto& entry : bucket) order.push_back(entry.second);
  };
  if (descending) {
    append(texts);
    append(numbers);
  } else {
    append(numbers);
    append(texts);
  }
  order.insert(order.end(), empties.begin(), empties.end());
  return order;
}

}  // namespace

CellRange normalisedRange(int row, int col, int rowSel, int colSel) {
  return {std::min(row, rowSel), std::max(row, rowSel), std::min(col, colSel), std::max(col, colSel)};
}

CellRange selectionRange(const GridStore& grid) {
  return normalisedRange(grid.row(), grid.col(), grid.rowSel(), grid.colSel());
}

std::string_view currentCellText(const Grid& grid) { return grid.text(grid.row(), grid.col()); }

std::string cellsText(const GridStore& grid, const CellRange& range) {
  checkRange(grid, range);
  // Separators: one between neighbouring cells of a row, two between rows.
  const auto rows = static_cast<size_t>(range.r2 - range.r1 + 1);
  const auto cols = static_cast<size_t>(range.c2 - range.c1 + 1);
  size_t size = rows * (cols - 1) + (rows - 1) * 2;
  for (int r = range.r1; r <= range.r2; ++r)
    for (int c = range.c1; c <= range.c2; ++c) size += grid.textUnchecked(r, c).size();

  std::string out(size, '\0');
  char* p = out.data();
  for (int r = range.r1; r <= range.r2; ++r) {
    if (r != range.r1) {
      *p++ = '\r';
      *p++ = '\n';
    }
    for (int c = range.c1; c <= range.c2; ++c) {
      if (c != range.c1) *p++ = '\t';
      const std::string_view t = grid.textUnchecked(r, c);
      if (!t.empty()) std::memcpy(p, t.data(), t.size());
      p += t.size();
    }
  }
  return out;
}

CopiedCells copyCells(const GridStore& grid, int columns) {
  CellRange range = selectionRange(grid);
  range.c2 = std::min(range.c2, std::min(columns, grid.cols()) - 1);
  if (grid.rows() == 0 || range.c1 > range.c2) return {};
  return {cellsText(grid, range), range.cellCount()};
}

std::string copiedStatusText(int64_t cells) { return std::to_string(cells) + " cells copied to the clipboard"; }

void makeColumnWider(Grid& grid) {
  const int col = grid.col();
  const int width = grid.colWidth(col);
  grid.setColWidth(col, width > INT_MAX - kColumnWidening ? INT_MAX : width + kColumnWidening);
}

bool lockFirstCol(SharedState& shared, Grid& grid) {
  shared.lockcol = !shared.lockcol;
  grid.setFixedCols(shared.lockcol ? std::min(1, grid.cols()) : 0);
  return shared.lockcol;
}

void sortRows(GridStore& grid, const CellRange& range, SortOrder order) {
  checkRange(grid, range);
  int first = std::max(range.r1, kFirstDataRow);
  int last = range.r2;
  if (last - first + 1 < 2) {
    first = kFirstDataRow;
    last = grid.rows() - 1;
  }
  if (last - first + 1 < 2) return;

  const auto n = static_cast<size_t>(last - first + 1);
  const auto width = static_cast<size_t>(range.c2 - range.c1 + 1);
  const std::vector<uint32_t> sorted =
      sortedOrder(n, width, order == SortOrder::Descending, [&grid, first, &range](uint32_t i, size_t k) {
        return grid.textUnchecked(first + static_cast<int>(i), range.c1 + static_cast<int>(k));
      });
  if (std::is_sorted(sorted.begin(), sorted.end())) return;  // already in order: nothing moves

  std::vector<int> rows(n);
  for (size_t i = 0; i < n; ++i) rows[i] = first + static_cast<int>(sorted[i]);
  grid.permuteRows(first, rows);
}

void sortSelection(GridStore& grid, SortOrder order) { sortRows(grid, selectionRange(grid), order); }

}  // namespace tarvolin::core
