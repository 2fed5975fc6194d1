#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/grid/grid_store.h"

namespace tarvolin::platform {

/// A Qt table model over a core::GridStore: the cells come from the report it shows (the
/// one copy of them), the layout from the store; texts are turned into QStrings in data()
/// only, for the cells a view asks for.
///
/// Store row 0 is the header row and is answered as the horizontal header (titles and
/// their tool tips); model rows
/// are the store's data rows (1 and up) whose height is not 0, in store order, kept in
/// one vector of store row numbers. The model observes the store and applies its
/// changes at most once per event-loop turn (a queued flush): new rows at the end are
/// announced with one insert, anything else (heights, order, fewer rows) rebuilds the
/// vector in one pass and announces one layout change that keeps persistent indexes
/// (current cell, selection) on the same store rows.
///
/// A store that goes before the model detaches it: the model is then reset to an empty grid
/// of its own, so that views on it stay safe to use until they go. Not thread-safe: store
/// and model live on the GUI thread.
class GridModel : public QAbstractTableModel, private core::GridObserver {
  Q_OBJECT

 public:
  /// Characters a cell's tool tip shows at most: longer texts are cut, ending in "…".
  static constexpr qsizetype kTipLength = 1000;

  /// Observes `store` (replacing any other observer of it) until either goes.
  explicit GridModel(core::GridStore& store, QObject* parent = nullptr);
  ~GridModel() override;

  /// The store observed, or the model's own empty one once that store has gone.
  [[nodiscard]] core::GridStore& store() const { return *m_store; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  /// Store row shown at model row `modelRow`, or -1 when there is none.
  [[nodiscard]] int storeRow(int modelRow) const;
  /// Model row that shows store row `storeRow`, or -1 (header row, hidden or unknown row).
  [[nodiscard]] int modelRow(int storeRow) const;
  /// First model row showing a store row at or after `storeRow`, else the last model row;
  /// -1 when the model has no rows. For placing a current cell that sits on a hidden row.
  [[nodiscard]] int nearestModelRow(int storeRow) const;
  /// Model rows whose height is neither 0 nor the default 250 twips, ascending.
  [[nodiscard]] const std::vector<int>& customHeightRows() const { return m_customRows; }

  /// Applies the store's gathered changes now. Normally runs by itself once per
  /// event-loop turn after the store reported a change; cost O(1) for text changes,
  /// O(new rows) while rows are added at the end, O(rows) for a rebuild.
  void flush();

 signals:
  /// Emitted by flush() after the model has applied `changes` (views lay out columns,
  /// the header height and the current cell from it).
  void storeChanged(const tarvolin::core::GridChanges& changes);

 private:
  void gridChanged() override;
  void gridGone() override;
  void syncColumns();
  void appendRows();
  void rebuildRows();
  /// Appends to `map` the shown store rows of [first, end), and to `custom` the
  /// positions in `map` of those with a height other than the default.
  void collectRows(int first, int end, std::vector<int>& map, std::vector<int>& custom) const;

  core::GridStore* m_store;
  core::GridStore m_gone;  ///< what the model shows once its store has gone
  std::vector<int> m_map;  ///< model row -> store row, strictly increasing
  std::vector<int> m_customRows;
  int m_cols = 0;       ///< columns announced to views
  int m_storeRows = 0;  ///< store rows seen at the last flush
  bool m_flushQueued = false;
};

}  // namespace tarvolin::platform

Q_DECLARE_METATYPE(tarvolin::core::GridChanges)
