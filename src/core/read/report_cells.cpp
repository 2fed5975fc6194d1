#include "core/read/report_cells.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace tarvolin::core {

void ReportCells::check(int row, int col) const {
  if (row < 0 || row >= m_rows) throw std::out_of_range("Subscript out of range: row " + std::to_string(row));
  if (col < 0 || col >= m_cols) throw std::out_of_range("Subscript out of range: column " + std::to_string(col));
}

void ReportCells::restride(int minCols) {
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

void ReportCells::setRows(int rows) {
  if (rows < 0) throw std::out_of_range("Invalid row count " + std::to_string(rows));
  if (rows == m_rows) return;
  if (m_stride == 0) restride(std::max(m_cols, 1));
  // New rows come with empty cells, so a shrunk grid never shows the dropped rows'
  // texts again when it grows back.
  m_cells.resize(static_cast<size_t>(rows) * m_stride);
  m_entries.resize(static_cast<size_t>(rows));
  m_snapshots.resize(static_cast<size_t>(rows), m_snapshot);
  for (int r = m_rows; r < rows; ++r) m_entries[static_cast<size_t>(r)] = r;
  m_rows = rows;
}

void ReportCells::setCols(int cols) {
  if (cols < 0) throw std::out_of_range("Invalid column count " + std::to_string(cols));
  if (cols > m_cols) {
    restride(cols);
    for (size_t r = 0; r < static_cast<size_t>(m_rows); ++r)
      std::fill_n(m_cells.begin() + static_cast<std::ptrdiff_t>(r * m_stride + static_cast<size_t>(m_cols)),
                  cols - m_cols, Cell{});
  }
  m_cols = cols;
}

void ReportCells::insertColumn(int at) {
  if (at < 0 || at > m_cols) throw std::out_of_range("Subscript out of range: column " + std::to_string(at));
  setCols(m_cols + 1);
  for (size_t r = 0; r < static_cast<size_t>(m_rows); ++r) {
    Cell* row = m_cells.data() + r * m_stride;
    std::copy_backward(row + at, row + m_cols - 1, row + m_cols);
    row[at] = Cell{};
  }
}

void ReportCells::clearTexts() {
  std::fill(m_cells.begin(), m_cells.end(), Cell{});
  m_arena.clear();
}

int ReportCells::entry(int row) const {
  check(row, 0);
  return m_entries[static_cast<size_t>(row)];
}

int ReportCells::snapshot(int row) const {
  check(row, 0);
  return m_snapshots[static_cast<size_t>(row)];
}

std::string_view ReportCells::text(int row, int col) const {
  check(row, col);
  return textUnchecked(row, col);
}

void ReportCells::setText(int row, int col, std::string_view text) {
  check(row, col);
  Cell& c = m_cells[index(row, col)];
  if (text.empty()) {
    c = Cell{};
    return;
  }
  if (m_arena.size() + text.size() > std::numeric_limits<uint32_t>::max() || text.size() >= kOwnerBit)
    throw std::length_error("Out of memory: the grid holds 4 GiB of text");
  c.offset = static_cast<uint32_t>(m_arena.size());
  c.length = static_cast<uint32_t>(text.size());
  m_arena.append(text.data(), text.size());
}

void ReportCells::setRowTexts(int row, std::span<const std::string> texts) {
  if (texts.empty()) return;
  check(row, static_cast<int>(texts.size()) - 1);
  size_t total = 0;
  size_t longest = 0;
  for (const std::string& t : texts) {
    total += t.size();
    longest = std::max(longest, t.size());
  }
  if (m_arena.size() + total > std::numeric_limits<uint32_t>::max() || longest >= kOwnerBit)
    throw std::length_error("Out of memory: the grid holds 4 GiB of text");
  m_snapshots[static_cast<size_t>(row)] = m_snapshot;
  Cell* cells = m_cells.data() + index(row, 0);
  for (const std::string& t : texts) {
    *cells++ = Cell{static_cast<uint32_t>(t.empty() ? 0 : m_arena.size()), static_cast<uint32_t>(t.size())};
    m_arena.append(t.data(), t.size());
  }
}

void ReportCells::markFromOwner(int row, int col) {
  check(row, col);
  m_cells[index(row, col)].length |= kOwnerBit;
}

bool ReportCells::fromOwner(int row, int col) const {
  check(row, col);
  return fromOwnerUnchecked(row, col);
}

void ReportCells::permuteRows(int first, const std::vector<int>& order) {
  const size_t n = order.size();
  std::vector<Cell> cells(n * m_stride);
  std::vector<int> entries(n);
  std::vector<int> snapshots(n);
  for (size_t i = 0; i < n; ++i) {
    const size_t src = static_cast<size_t>(order[i]);
    std::copy_n(m_cells.begin() + static_cast<std::ptrdiff_t>(src * m_stride), m_stride,
                cells.begin() + static_cast<std::ptrdiff_t>(i * m_stride));
    entries[i] = m_entries[src];
    snapshots[i] = m_snapshots[src];
  }
  std::copy(cells.begin(), cells.end(),
            m_cells.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(first) * m_stride));
  std::copy(entries.begin(), entries.end(), m_entries.begin() + first);
  std::copy(snapshots.begin(), snapshots.end(), m_snapshots.begin() + first);
}

}  // namespace tarvolin::core
