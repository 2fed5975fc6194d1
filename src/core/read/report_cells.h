#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid/grow_buffer.h"

namespace tarvolin::core {

/// The texts of a report's cells, row by row: row 0 holds the variables' names, each
/// later row one entry. The texts live in one byte arena with a small reference per cell.
/// Besides its texts a row knows its entry number (its place in the order the load wrote
/// the rows, from 1; the header row 0) and the snapshot it came from (an index into
/// Report::snapshotTimes), and a cell
/// whether its text came from the row's owner (a lock row's application, see LockOwners)
/// rather than from the entry itself. Rows and columns count from 0; the checked calls
/// throw std::out_of_range, the unchecked ones trust their caller.
class ReportCells {
 public:
  [[nodiscard]] int rows() const { return m_rows; }
  [[nodiscard]] int cols() const { return m_cols; }
  /// New rows have empty cells, the entry number of their row index and the snapshot set
  /// by setSnapshot; rows past the count are dropped.
  void setRows(int rows);
  /// New columns have empty cells.
  void setCols(int cols);
  /// An empty column at `at` (0 to cols()): the cells from `at` on move right by one.
  void insertColumn(int at);
  /// Empties every text (and owner mark); sizes, entry and snapshot numbers stay.
  void clearTexts();

  /// The snapshot (from 0) of the rows written (setRowTexts) or added from now on.
  void setSnapshot(int snapshot) { m_snapshot = snapshot; }
  /// The entry number of `row`: its place in the order its rows were written, from 1.
  [[nodiscard]] int entry(int row) const;
  /// The snapshot `row` came from, from 0.
  [[nodiscard]] int snapshot(int row) const;

  [[nodiscard]] std::string_view text(int row, int col) const;
  void setText(int row, int col, std::string_view text);
  /// Sets cells (row, 0) to (row, texts.size() - 1) in one step: an entry written, of the
  /// snapshot set last.
  void setRowTexts(int row, std::span<const std::string> texts);
  /// Marks the cell's text as its owner's; setting its text again takes the mark away.
  void markFromOwner(int row, int col);
  [[nodiscard]] bool fromOwner(int row, int col) const;

  [[nodiscard]] std::string_view textUnchecked(int row, int col) const {
    const Cell& c = m_cells[index(row, col)];
    return {m_arena.data() + c.offset, c.length & ~kOwnerBit};
  }
  [[nodiscard]] bool fromOwnerUnchecked(int row, int col) const {
    return (m_cells[index(row, col)].length & kOwnerBit) != 0;
  }
  /// Bytes that hold every cell's text (and texts since replaced): what no cell holds,
  /// no byte here holds either.
  [[nodiscard]] std::string_view textBytes() const { return {m_arena.data(), m_arena.size()}; }

  /// Reorders rows [first, first + order.size()): the row at first + i takes what was row
  /// order[i], its texts, marks, entry and snapshot numbers. `order` must be a permutation
  /// of that range (unchecked).
  void permuteRows(int first, const std::vector<int>& order);

 private:
  struct Cell {  // trivial, so that the buffer grows and clears with memmove and memset
    uint32_t offset;
    uint32_t length;  // with kOwnerBit set when the text came from the row's owner
  };
  static constexpr uint32_t kOwnerBit = 0x80000000u;
  [[nodiscard]] size_t index(int row, int col) const {
    return static_cast<size_t>(row) * m_stride + static_cast<size_t>(col);
  }
  void check(int row, int col) const;
  void restride(int minCols);

  int m_rows = 0;
  int m_cols = 0;
  size_t m_stride = 0;
  int m_snapshot = 0;
  GrowBuffer<Cell> m_cells;
  GrowBuffer<char> m_arena;
  std::vector<int> m_entries;
  std::vector<int> m_snapshots;
};

}  // namespace tarvolin::core
