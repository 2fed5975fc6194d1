#pragma once

#include <QTableView>
#include <optional>

#include "core/grid/grid_store.h"
#include "platform/grid_model.h"
#include "platform/twips.h"

namespace tarvolin::platform {

/// A table view of a core::GridStore through a GridModel it owns: column widths in
/// twips (width 0 hides the column), the store's row 0 as a word-wrapped header as high
/// as that row, data rows at the default height of 250 twips (hidden rows are left out
/// by the model), left/top alignment and word wrap as the store says, the last shown
/// column stretched to the view's edge (its width in the store stays), and the first
/// column kept from scrolling while the store has a fixed column. Rows of another height
/// cost one call each (the default height costs nothing).
///
/// The store's current cell and selection (Row, Col, RowSel, ColSel in store rows) and
/// the view's current index and selection follow each other: the store's Row/Col is the
/// view's current index, where the focus frame is and the commands act, and RowSel/ColSel
/// the other corner of the selection, where it started (a drag's first cell, the cell
/// before Shift+arrows); a selection from shown row a to shown row b is store rows
/// map[a]..map[b]. Ctrl+A selects the whole grid header row included, the header's first
/// cell current (the view then has no current index); a click on a column title selects
/// the column from the first to the last shown data row with the first one current,
/// without scrolling.
///
/// Only the left mouse button and the keyboard move the current cell and the selection:
/// a press, drag or double click of another button changes nothing, in the fixed column
/// and over the column titles too, and its release is still reported by mouseReleased.
/// So a pop-up opened on a right release acts on the cell that was current before. A
/// click or double click on a title emits clicked / doubleClicked with the current index
/// it made.
///
/// Painting touches only the visible cells; layout work happens once per store change
/// (per column for widths, never per row). A store that goes before the view leaves it
/// empty (see GridModel).
class GridView : public QTableView {
  Q_OBJECT

 public:
  explicit GridView(core::GridStore& store, QWidget* parent = nullptr);

  [[nodiscard]] GridModel* gridModel() const { return m_model; }
  [[nodiscard]] core::GridStore& store() const { return m_model->store(); }

  /// Ctrl+A: the store's whole grid, header row included; nothing in single selection mode.
  void selectAll() override;

  /// Where the view stands: its scroll (pixels across, rows down) and the current cell's top
  /// left corner in the viewport, when it has a current cell in a shown column.
  struct Place {
    QPoint scroll;
    std::optional<QPoint> current;
  };
  [[nodiscard]] Place place() const;
  /// Lays out what the store holds now, then puts the view back as `place` stood: the current
  /// cell where it stood in the viewport when both have one, as near as the scroll allows and
  /// always in view; else the same scroll.
  void restorePlace(const Place& place);
  /// Scrolls shown column `col` into view whole, starting right after the first column, which
  /// stays in place as with a fixed column until the view is scrolled back to its left edge.
  /// Nothing for the first column or a hidden one.
  void revealColumn(int col);

 signals:
  /// A mouse button was released over the cells or the column titles; `globalPos` is the pointer.
  void mouseReleased(Qt::MouseButton button, const QPoint& globalPos);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  void updateGeometries() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Pixels for `twips` at this view's screen DPI.
  [[nodiscard]] int px(int twips) const;
  /// Widens the last shown column to the view's edge, never below its width in the store.
  void stretchLastColumn();
  void onStoreChanged(const core::GridChanges& changes);
  void applyColumns();
  void applyHeaderHeight();
  void applyRowHeights();
  void applyFixedColumn();
  void applyStoreSelection();
  void storeSelectionFromView();
  /// After a title press: the titled columns, first shown data row current.
  void storeSelectionFromTitles();
  /// Title presses, clicks and the mouse filter of a view's column titles.
  void watchTitles(QHeaderView* titles);
  void onSectionResized(int column, int oldSize, int newSize);
  void createFrozenView();
  void updateFrozenGeometry();
  [[nodiscard]] bool frozenShown() const;

  GridModel* m_model;
  QTableView* m_frozen = nullptr;
  Dpi m_dpi;
  bool m_applying = false;
  bool m_keepScroll = false;     ///< while a title is pressed: select without scrolling to the current cell
  bool m_customHeights = false;  ///< some rows were given a height other than the default
  bool m_holdFirst = false;      ///< revealColumn keeps the first column in place, fixed or not
};

}  // namespace tarvolin::platform
