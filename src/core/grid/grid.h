#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tarvolin::core {

/// Twips of a row that nothing has resized: the height "Show all lines" gives back.
inline constexpr int kDefaultRowHeight = 250;
/// Twips of a column that nothing has resized.
inline constexpr int kDefaultColWidth = 960;

/// Column alignment as the grid control knows it.
enum class Alignment { LeftTop, LeftCenter, LeftBottom, CenterCenter, RightCenter };

/// The operations the loader and the grid commands need of a grid: cell texts by row
/// and column, counts, fixed rows and columns, row heights and column widths in twips,
/// alignment, word wrap, redraw, and the current cell. GridStore is the grid (the cells
/// in its Report); the getters that only views and tests need are its own. Rows and columns count from 0;
/// out-of-range indices throw std::out_of_range.
class Grid {
 public:
  virtual ~Grid() = default;

  /// Empties every cell text; sizes and layout stay.
  virtual void clear() = 0;

  [[nodiscard]] virtual int rows() const = 0;
  /// New rows get empty cells and the default height; rows past the new count are dropped.
  virtual void setRows(int rows) = 0;
  [[nodiscard]] virtual int cols() const = 0;
  /// New columns get empty cells and the default width.
  virtual void setCols(int cols) = 0;
  /// Inserts a column of empty cells and the default width at `at`, 0 to cols(): the cells
  /// (marks included), widths and alignment of the columns from `at` on move right by one.
  virtual void insertColumn(int at) = 0;

  virtual void setFixedRows(int n) = 0;
  virtual void setFixedCols(int n) = 0;

  /// While off, changes are gathered and shown at once when it is switched on again.
  virtual void setRedraw(bool on) = 0;

  [[nodiscard]] virtual int rowHeight(int row) const = 0;
  virtual void setRowHeight(int row, int twips) = 0;
  [[nodiscard]] virtual int colWidth(int col) const = 0;
  virtual void setColWidth(int col, int twips) = 0;
  virtual void setColAlignment(int col, Alignment a) = 0;
  virtual void setWordWrap(bool on) = 0;

  /// Current cell; setting either collapses the selection onto the current cell.
  [[nodiscard]] virtual int row() const = 0;
  virtual void setRow(int row) = 0;
  [[nodiscard]] virtual int col() const = 0;
  virtual void setCol(int col) = 0;

  /// Text is UTF-8 and stored as given (NUL bytes included).
  [[nodiscard]] virtual std::string_view text(int row, int col) const = 0;
  virtual void setText(int row, int col, std::string_view text) = 0;
  /// Sets cells (row, 0) to (row, texts.size() - 1): what as many setText calls do, in
  /// one step.
  virtual void setRowTexts(int row, std::span<const std::string> texts) = 0;
  /// Marks the cell's text as filled in from another entry (a lock row's owner), which
  /// a view draws apart. Setting the cell's text again takes the mark away.
  virtual void markFilled(int row, int col) = 0;
  /// The snapshot whose entries the rows written from now on (setRowTexts) hold: an index
  /// into the report's snapshot times (Report::snapshotTimes).
  virtual void setSnapshot(int snapshot) = 0;
};

}  // namespace tarvolin::core
