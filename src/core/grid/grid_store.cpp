#include "core/grid/grid_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace tarvolin::core {

GridStore::GridStore() {
  setCols(2);
  setRows(2);
  m_changes = {};
}

GridStore::~GridStore() {
  if (GridObserver* observer = std::exchange(m_observer.observer, nullptr)) observer->gridGone();
}

void GridStore::checkRow(int row) const {
  if (row < 0 || row >= m_rows) throw std::out_of_range("Subscript out of range: row " + std::to_string(row));
}

void GridStore::checkCol(int col) const {
  if (col < 0 || col >= m_cols) throw std::out_of_range("Subscript out of range: column " + std::to_string(col));
}

void GridStore::changed() {
  if (m_redraw && m_observer.observer != nullptr && m_changes.any()) m_observer.observer->gridChanged();
}

void GridStore::markText(int row) {
  if (m_changes.firstTextRow < 0 || row < m_changes.firstTextRow) m_changes.firstTextRow = row;
  m_changes.lastTextRow = std::max(m_changes.lastTextRow, row);
}

void GridStore::replaceWith(GridStore&& other) {
  *this = std::move(other);
  other = GridStore();
  m_changes.rowCount = m_changes.colCount = m_changes.rowLayout = m_changes.colLayout = m_changes.current = true;
  if (m_rows > 0) {
    m_changes.firstTextRow = 0;
    m_changes.lastTextRow = m_rows - 1;
  }
  changed();
}

GridChanges GridStore::takeChanges() {
  GridChanges c = m_changes;
  m_changes = {};
  return c;
}

void GridStore::clear() {
  std::fill(m_cells.begin(), m_cells.end(), Cell{});
  m_arena.clear();
  if (m_rows > 0) {
    markText(0);
    markText(m_rows - 1);
  }
  changed();
}

void GridStore::restride(int minCols) {
  if (static_cast<size_t>(minCols) <= m_stride) return;
  // Grow by half at least, so that columns added one by one re-lay the rows only a few
  // times, but no further than asked: spare columns in every row cost memory and page
  // faults on large reports.
  const size_t stride = std::max({static_cast<size_t>(minCols), m_stride + m_stride / 2, size_t{4}});
  GrowBuffer<Cell> cells;
  cells.resize(static_cast<size_t>(m_rows) * stride);
  for (size_t r = 0; r < static_cast<size_t>(m_rows); ++r)
    std::copy_n(m_cells.begin() + static_cast<std::ptrdiff_t>(r * m_stride), m_cols,
                cells.begin() + static_cast<std::ptrdiff_t>(r * stride));
  m_cells.swap(cells);
  m_stride = stride;
}

void GridStore::setRows(int rows) {
  if (rows < 0) throw std::out_of_range("Invalid row count " + std::to_string(rows));
  if (rows == m_rows) return;
  if (m_stride == 0) restride(std::max(m_cols, 1));
  // New rows come with empty cells, so a shrunk grid never shows the dropped rows'
  // texts again when it grows back.
  m_cells.resize(static_cast<size_t>(rows) * m_stride);
  m_heights.resize(static_cast<size_t>(rows), kDefaultRowHeight);
  // Rows dropped change the layout even when as many come back before an observer looks:
  // a row hidden before must not stay hidden in a view that only adds the new rows.
  if (rows < m_rows) m_changes.rowLayout = true;
  m_rows = rows;
  m_row = std::min(m_row, std::max(rows - 1, 0));
  m_rowSel = std::min(m_rowSel, std::max(rows - 1, 0));
  m_changes.rowCount = true;
  changed();
}

void GridStore::setCols(int cols) {
  if (cols < 0) throw std::out_of_range("Invalid column count " + std::to_string(cols));
  if (cols == m_cols) return;
  if (cols > m_cols) {
    restride(cols);
    for (size_t r = 0; r < static_cast<size_t>(m_rows); ++r)
      std::fill_n(m_cells.begin() + static_cast<std::ptrdiff_t>(r * m_stride + static_cast<size_t>(m_cols)),
                  cols - m_cols, Cell{});
  }
  m_widths.resize(static_cast<size_t>(cols), kDefaultColWidth);
  m_align.resize(static_cast<size_t>(cols), Alignment::LeftCenter);
  m_cols = cols;
  m_col = std::min(m_col, std::max(cols - 1, 0));
  m_colSel = std::min(m_colSel, std::max(cols - 1, 0));
  m_changes.colCount = true;
  changed();
}

void GridStore::insertColumn(int at) {
  if (at < 0 || at > m_cols) throw std::out_of_range("Subscript out of range: column " + std::to_string(at));
  setCols(m_cols + 1);
  for (size_t r = 0; r < static_cast<size_t>(m_rows); ++r) {
    Cell* row = m_cells.data() + r * m_stride;
    std::copy_backward(row + at, row + m_cols - 1, row + m_cols);
    row[at] = Cell{};
  }
  std::copy_backward(m_widths.begin() + at, m_widths.end() - 1, m_widths.end());
  std::copy_backward(m_align.begin() + at, m_align.end() - 1, m_align.end());
  m_widths[static_cast<size_t>(at)] = kDefaultColWidth;
  m_align[static_cast<size_t>(at)] = Alignment::LeftCenter;
  if (m_rows > 0) {
    markText(0);
    markText(m_rows - 1);
  }
  m_changes.colLayout = true;
  changed();
}

void GridStore::setFixedRows(int n) {
  if (n < 0 || (n > 0 && n >= m_rows + 1)) throw std::out_of_range("Invalid number of fixed rows");
  m_fixedRows = n;
  m_changes.colLayout = true;
  changed();
}

void GridStore::setFixedCols(int n) {
  if (n < 0 || (n > 0 && n >= m_cols + 1)) throw std::out_of_range("Invalid number of fixed columns");
  m_fixedCols = n;
  m_changes.colLayout = true;
  changed();
}

void GridStore::setRedraw(bool on) {
  m_redraw = on;
  changed();
}

int GridStore::rowHeight(int row) const {
  checkRow(row);
  return m_heights[static_cast<size_t>(row)];
}

void GridStore::setRowHeight(int row, int twips) {
  checkRow(row);
  twips = std::max(twips, 0);
  int& h = m_heights[static_cast<size_t>(row)];
  if (h == twips) return;
  h = twips;
  m_changes.rowLayout = true;
  changed();
}

int GridStore::colWidth(int col) const {
  checkCol(col);
  return m_widths[static_cast<size_t>(col)];
}

void GridStore::setColWidth(int col, int twips) {
  checkCol(col);
  m_widths[static_cast<size_t>(col)] = std::max(twips, 0);
  m_changes.colLayout = true;
  changed();
}

Alignment GridStore::colAlignment(int col) const {
  checkCol(col);
  return m_align[static_cast<size_t>(col)];
}

void GridStore::setColAlignment(int col, Alignment a) {
  checkCol(col);
  m_align[static_cast<size_t>(col)] = a;
  m_changes.colLayout = true;
  changed();
}

void GridStore::setWordWrap(bool on) {
  m_wordWrap = on;
  m_changes.colLayout = true;
  changed();
}

void GridStore::setRow(int row) {
  checkRow(row);
  m_row = m_rowSel = row;
  m_colSel = m_col;
  m_changes.current = true;
  changed();
}

void GridStore::setCol(int col) {
  checkCol(col);
  m_col = m_colSel = col;
  m_rowSel = m_row;
  m_changes.current = true;
  changed();
}

void GridStore::setSelection(int row, int col, int rowSel, int colSel) {
  auto clampRow = [this](int r) { return std::clamp(r, 0, std::max(m_rows - 1, 0)); };
  auto clampCol = [this](int c) { return std::clamp(c, 0, std::max(m_cols - 1, 0)); };
  m_row = clampRow(row);
  m_col = clampCol(col);
  m_rowSel = clampRow(rowSel);
  m_colSel = clampCol(colSel);
  m_changes.current = true;
  changed();
}

std::string_view GridStore::text(int row, int col) const {
  checkRow(row);
  checkCol(col);
  return textUnchecked(row, col);
}

void GridStore::setText(int row, int col, std::string_view text) {
  checkRow(row);
  checkCol(col);
  Cell& c = m_cells[static_cast<size_t>(row) * m_stride + static_cast<size_t>(col)];
  if (text.empty()) {
    c = Cell{};
  } else {
    if (m_arena.size() + text.size() > std::numeric_limits<uint32_t>::max() || text.size() >= kFilledBit)
      throw std::length_error("Out of memory: the grid holds 4 GiB of text");
    c.offset = static_cast<uint32_t>(m_arena.size());
    c.length = static_cast<uint32_t>(text.size());
    m_arena.append(text.data(), text.size());
  }
  markText(row);
  changed();
}

void GridStore::setRowTexts(int row, std::span<const std::string> texts) {
  if (texts.empty()) return;
  checkRow(row);
  checkCol(static_cast<int>(texts.size()) - 1);
  size_t total = 0;
  size_t longest = 0;
  for (const std::string& t : texts) {
    total += t.size();
    longest = std::max(longest, t.size());
  }
  if (m_arena.size() + total > std::numeric_limits<uint32_t>::max() || longest >= kFilledBit)
    throw std::length_error("Out of memory: the grid holds 4 GiB of text");
  Cell* cells = m_cells.data() + static_cast<size_t>(row) * m_stride;
  for (const std::string& t : texts) {
    *cells++ = Cell{static_cast<uint32_t>(t.empty() ? 0 : m_arena.size()), static_cast<uint32_t>(t.size())};
    m_arena.append(t.data(), t.size());
  }
  markText(row);
  changed();
}

void GridStore::markFilled(int row, int col) {
  checkRow(row);
  checkCol(col);
  m_cells[static_cast<size_t>(row) * m_stride + static_cast<size_t>(col)].length |= kFilledBit;
  markText(row);
  changed();
}

void GridStore::permuteRows(int first, const std::vector<int>& order) {
  const int n = static_cast<int>(order.size());
  if (first < 0 || first + n > m_rows) throw std::out_of_range("Invalid rows to reorder");
  std::vector<char> seen(static_cast<size_t>(n), 0);
  for (int src : order) {
    if (src < first || src >= first + n || seen[static_cast<size_t>(src - first)])
      throw std::invalid_argument("Row order is not a permutation");
    seen[static_cast<size_t>(src - first)] = 1;
  }
  std::vector<Cell> cells(static_cast<size_t>(n) * m_stride);
  std::vector<int> heights(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const size_t src = static_cast<size_t>(order[static_cast<size_t>(i)]);
    std::copy_n(m_cells.begin() + static_cast<std::ptrdiff_t>(src * m_stride), m_stride,
                cells.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(i) * m_stride));
    heights[static_cast<size_t>(i)] = m_heights[src];
  }
  std::copy(cells.begin(), cells.end(),
            m_cells.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(first) * m_stride));
  std::copy(heights.begin(), heights.end(), m_heights.begin() + first);
  if (n > 0) {
    markText(first);
    markText(first + n - 1);
  }
  m_changes.rowLayout = true;
  changed();
}

}  // namespace tarvolin::core
