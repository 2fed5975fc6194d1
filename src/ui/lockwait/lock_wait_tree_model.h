#pragma once

#include <QAbstractItemModel>

#include "core/lockwait/lock_wait_tree.h"

namespace tarvolin::ui {

/// The lock-wait tree for a QTreeView: each waiter under its holder, one column per
/// lockWaitHeads() head but "Level" (the indentation shows it). sort() sorts siblings within
/// their level; a column below 0 brings the tree order back. An index's internal id is its
/// row in LockWaits::rows.
class LockWaitTreeModel final : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit LockWaitTreeModel(const core::LockWaits& waits, QObject* parent = nullptr);

  [[nodiscard]] QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  [[nodiscard]] QModelIndex parent(const QModelIndex& child) const override;
  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  /// The tree row behind `index` (an index into LockWaits::rows), -1 for none.
  [[nodiscard]] static int treeRow(const QModelIndex& index);
  /// The lockWaitHeads() column shown in model column `column`.
  [[nodiscard]] static int headColumn(int column) { return column + 1; }

 private:
  [[nodiscard]] const std::vector<int>& siblings(int parentRow) const;
  void placeRows();

  core::LockWaitTree m_tree;
  std::vector<int> m_place;  // by tree row: its place among its siblings
};

}  // namespace tarvolin::ui
