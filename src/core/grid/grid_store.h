#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "core/grid/grid.h"
#include "core/read/report.h"

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

/// How a Report is shown: row heights (0 hides a row), column widths (0 hides a column)
/// and alignment, fixed rows and columns, word wrap, the current cell and selection, and
/// the changes an observer has not taken yet; the cells are the report's. As a Grid it
/// writes texts, sizes and owner marks into the report's cells and the layout into itself,
/// so a loader or a grid command works on it as on one grid. A Qt model reads both.
///
/// A copy of a store views a deep copy of its report, and copying one store onto another
/// copies the report's contents into the target's report. A move takes the report itself
/// along (cheap: the store moved from may then only be assigned to or destroyed), while
/// replaceWith moves the contents, so that a report shared with others stays theirs.
class GridStore final : public Grid {
 public:
  /// An empty report of its own, 2 rows by 2 columns.
  GridStore();
  /// Views `report` (not null), shared with the caller: its rows and columns are the
  /// report's cells', its layout a new store's.
  explicit GridStore(std::shared_ptr<Report> report);
  /// Tells the observer, if any, that the store goes (GridObserver::gridGone).
  ~GridStore() override;
  /// A copy views a copy of the report; it has no observer.
  GridStore(const GridStore& other);
  /// Copies the other's report into this one's, and keeps the observer.
  GridStore& operator=(const GridStore& other);
  /// Takes the other's report and layout; `other` views no report after.
  GridStore(GridStore&& other) noexcept;
  /// Takes the other's report and layout, and keeps the observer; `other` views no report after.
  GridStore& operator=(GridStore&& other) noexcept;

  /// The report shown.
  [[nodiscard]] Report& report() { return *m_report; }
  [[nodiscard]] const Report& report() const { return *m_report; }
  [[nodiscard]] const std::shared_ptr<Report>& sharedReport() const { return m_report; }

  void clear() override;
  [[nodiscard]] int rows() const override { return m_report->cells.rows(); }
  void setRows(int rows) override;
  [[nodiscard]] int cols() const override { return m_report->cells.cols(); }
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
  void setSnapshot(int snapshot) override { m_report->cells.setSnapshot(snapshot); }
  /// Whether markFilled marked the cell (its text came from the row's owner). Unchecked.
  [[nodiscard]] bool filledUnchecked(int row, int col) const { return m_report->cells.fromOwnerUnchecked(row, col); }

  /// Far corner of the selection (the current cell is the other corner).
  [[nodiscard]] int rowSel() const { return m_rowSel; }
  [[nodiscard]] int colSel() const { return m_colSel; }
  /// Sets current cell and far corner at once; indices are clamped into the grid.
  void setSelection(int row, int col, int rowSel, int colSel);

  /// Reorders rows [first, first + order.size()): the row at position first + i takes
  /// what was row order[i]: its height here, its cells, entry and snapshot in the report. Throws std::invalid_argument
  /// if order is not a permutation of that range.
  void permuteRows(int first, const std::vector<int>& order);

  /// Unchecked, for hot loops that have checked their own bounds.
  [[nodiscard]] std::string_view textUnchecked(int row, int col) const {
    return m_report->cells.textUnchecked(row, col);
  }
  /// The report's ReportCells::textBytes.
  [[nodiscard]] std::string_view textBytes() const { return m_report->cells.textBytes(); }

  /// Observer gets gridChanged() and gridGone(); nullptr to detach. Not owned.
  void setObserver(GridObserver* observer) { m_observer.observer = observer; }
  /// Returns the changes gathered since the last call and forgets them.
  GridChanges takeChanges();
  /// Takes the whole state of `other` into this store and the report it views (the same
  /// object as before), keeps this store's observer and tells it that everything changed: a
  /// grid put away and shown again. `other` is left as a new store, over its report emptied.
  void replaceWith(GridStore&& other);

 private:
  /// Copies (or moves, from an rvalue) every member of `other` but its report and observer.
  template <class Store>
  void takeLayout(Store&& other);
  /// Back to what a new store is, over an empty report (still the same object).
  void reset();
  void checkRow(int row) const;
  void checkCol(int col) const;
  void changed();
  void markText(int row);

  std::shared_ptr<Report> m_report;
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
