#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/grid/grid.h"
#include "core/grid/grow_buffer.h"

namespace tarvolin::core {

/// What changed in a GridStore since its observer last took the changes.
struct GridChanges {
  bool rowCount = false;   ///< rows() changed
  bool colCount = false;   ///< cols() changed
  bool rowLayout = false;  ///< row heights or row order changed, or rows were cleared or dropped
  bool colLayout = false;  ///< widths, alignment, word wrap or fixed rows/columns changed
  bool current = false;    ///< the current cell or selection changed by code
  int firstTextRow = -1;   ///< rows whose texts changed: [firstTextRow, lastTextRow]
  int lastTextRow = -1;
  [[nodiscard]] bool any() const {
    return rowCount || colCount || rowLayout || colLayout || current || firstTextRow >= 0;
  }
};

/// Told when a GridStore changed while redraw is on, or when redraw is switched on
/// after changes, and when the store goes. Called on the thread that changed the store.
class GridObserver {
 public:
  virtual ~GridObserver() = default;
  virtual void gridChanged() = 0;
  /// The store is being destroyed and has detached this observer, which must not touch
  /// it again. So an observer may outlive its store.
  virtual void gridGone() = 0;
};

/// The one copy of a grid's state: cell texts kept in one byte arena with a small
/// reference per cell, row heights, column widths and alignment, fixed rows and
/// columns, the current cell and selection. A Qt model reads it directly.
class GridStore final : public Grid {
 public:
  GridStore();
  /// Tells the observer, if any, that the store goes (GridObserver::gridGone).
  ~GridStore() override;
  /// A copy, or a store moved to, has no observer; assigning keeps the target's.
  GridStore(const GridStore& other) = default;
  GridStore& operator=(const GridStore& other) = default;
  GridStore(GridStore&& other) noexcept = default;
  GridStore& operator=(GridStore&& other) noexcept = default;

  void clear() override;
  [[nodiscard]] int rows() const override { return m_rows; }
  void setRows(int rows) override;
  [[nodiscard]] int cols() const override { return m_cols; }
  void setCols(int cols) override;
  void insertColumn(int at) override;
  [[nodiscard]] int fixedRows() const { return m_fixedRows; }
  void setFixedRows(int n) override;
  [[nodiscard]] int fixedCols() const { return m_fixedCols; }
  void setFixedCols(int n) override;
  void setRedraw(bool on) override;
  [[nodiscard]] bool redraw() const { return m_redraw; }
  [[nodiscard]] int rowHeight(int row) const override;
  void setRowHeight(int row, int twips) override;
  [[nodiscard]] int colWidth(int col) const override;
  void setColWidth(int col, int twips) override;
  [[nodiscard]] Alignment colAlignment(int col) const;
  void setColAlignment(int col, Alignment a) override;
  [[nodiscard]] bool wordWrap() const { return m_wordWrap; }
  void setWordWrap(bool on) override;
  [[nodiscard]] int row() const override { return m_row; }
  void setRow(int row) override;
  [[nodiscard]] int col() const override { return m_col; }
  void setCol(int col) override;
  [[nodiscard]] std::string_view text(int row, int col) const override;
  void setText(int row, int col, std::string_view text) override;
  void setRowTexts(int row, std::span<const std::string> texts) override;
  void markFilled(int row, int col) override;
  /// Whether markFilled marked the cell (and its text was not set since). Unchecked.
  [[nodiscard]] bool filledUnchecked(int row, int col) const {
    return (m_cells[static_cast<size_t>(row) * m_stride + static_cast<size_t>(col)].length & kFilledBit) != 0;
  }

  /// Far corner of the selection (the current cell is the other corner).
  [[nodiscard]] int rowSel() const { return m_rowSel; }
  [[nodiscard]] int colSel() const { return m_colSel; }
  /// Sets current cell and far corner at once; indices are clamped into the grid.
  void setSelection(int row, int col, int rowSel, int colSel);

  /// Reorders rows [first, first + order.size()): the row at position first + i takes
  /// what was row order[i] (cells and height). Throws std::invalid_argument if order
  /// is not a permutation of that range.
  void permuteRows(int first, const std::vector<int>& order);

  /// Unchecked, for hot loops that have checked their own bounds.
  [[nodiscard]] std::string_view textUnchecked(int row, int col) const {
    const Cell& c = m_cells[static_cast<size_t>(row) * m_stride + static_cast<size_t>(col)];
    return {m_arena.data() + c.offset, c.length & ~kFilledBit};
  }
  /// Bytes that hold every cell's text (and texts since replaced): what no cell holds,
  /// no byte here holds either.
  [[nodiscard]] std::string_view textBytes() const { return {m_arena.data(), m_arena.size()}; }

  /// Observer gets gridChanged() and gridGone(); nullptr to detach. Not owned.
  void setObserver(GridObserver* observer) { m_observer.observer = observer; }
  /// Returns the changes gathered since the last call and forgets them.
  GridChanges takeChanges();
  /// Takes the whole state of `other` (left as a new store), keeps this store's observer
  /// and tells it that everything changed: a grid put away and shown again.
  void replaceWith(GridStore&& other);

 private:
  struct Cell {  // trivial, so that the buffer grows and clears with memmove and memset
    uint32_t offset;
    uint32_t length;  // with kFilledBit set when markFilled marked the cell
  };
  static constexpr uint32_t kFilledBit = 0x80000000u;
  void checkRow(int row) const;
  void checkCol(int col) const;
  void restride(int minCols);
  void changed();
  void markText(int row);

  int m_rows = 0;
  int m_cols = 0;
  size_t m_stride = 0;
  GrowBuffer<Cell> m_cells;
  GrowBuffer<char> m_arena;
  std::vector<int> m_heights;
  std::vector<int> m_widths;
  std::vector<Alignment> m_align;
  int m_fixedRows = 1;
  int m_fixedCols = 1;
  bool m_redraw = true;
  bool m_wordWrap = false;
  int m_row = 0;
  int m_col = 0;
  int m_rowSel = 0;
  int m_colSel = 0;
  GridChanges m_changes;
  /// The observer of this store alone: copies leave it behind.
  struct ObserverLink {
    GridObserver* observer = nullptr;
    ObserverLink() = default;
    ObserverLink(const ObserverLink&) noexcept {}
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment): nothing is taken from the other
    ObserverLink& operator=(const ObserverLink&) noexcept { return *this; }
    ~ObserverLink() = default;
  };
  ObserverLink m_observer;
};

}  // namespace tarvolin::core
