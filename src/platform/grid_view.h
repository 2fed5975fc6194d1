#pragma once

#include <QTableView>

#include "core/grid_store.h"
#include "platform/grid_model.h"
#include "platform/twips.h"

namespace tarvolin::platform {

/// A table view of a core::GridStore through a GridModel it owns: column widths in
/// twips (width 0 hides the column), the store's row 0 as a word-wrapped header as high
/// as that row, data rows at the default height of 250 twips (hidden rows are left out
/// by the model), left/top alignment and word wrap as the store says, and the first
/// column kept from scrolling while the store has a fixed column. Rows of another height
/// cost one call each (the default height costs nothing).
///
/// The store's current cell and selection (Row, Col, RowSel, ColSel in store rows) and
/// the view's current index and selection follow each other: a selection from shown row
/// a to shown row b is store rows map[a]..map[b]; the store's Row/Col is the corner the
/// selection started from and RowSel/ColSel the corner the user moved to.
///
/// Only the left mouse button and the keyboard move the current cell and the selection:
/// a press, drag or double click of another button changes nothing, in the fixed column
/// too, and its release is still reported by mouseReleased. So a pop-up opened on a
/// right release acts on the cell that was current before.
///
/// Painting touches only the visible cells; layout work happens once per store change
/// (per column for widths, never per row). The store must outlive the view.
class GridView : public QTableView {
  Q_OBJECT

 public:
  explicit GridView(core::GridStore& store, QWidget* parent = nullptr);

  [[nodiscard]] GridModel* gridModel() const { return m_model; }
  [[nodiscard]] core::GridStore& store() const { return m_model->store(); }

 signals:
  /// A mouse button was released over the cells; `globalPos` is the pointer.
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
  void onStoreChanged(const core::GridChanges& changes);
  void applyColumns();
  void applyHeaderHeight();
  void applyRowHeights();
  void applyFixedColumn();
  void applyStoreSelection();
  void storeSelectionFromView();
  void onSectionResized(int column, int oldSize, int newSize);
  void createFrozenView();
  void updateFrozenGeometry();
  [[nodiscard]] bool frozenShown() const;

  GridModel* m_model;
  QTableView* m_frozen = nullptr;
  Dpi m_dpi;
  bool m_applying = false;
  bool m_customHeights = false;  ///< some rows were given a height other than the default
};

}  // namespace tarvolin::platform
