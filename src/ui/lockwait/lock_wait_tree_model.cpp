#include "ui/lockwait/lock_wait_tree_model.h"

namespace tarvolin::ui {

LockWaitTreeModel::LockWaitTreeModel(const core::LockWaits& waits, QObject* parent)
    : QAbstractItemModel(parent), m_tree(core::lockWaitTree(waits)) {
  placeRows();
}

const std::vector<int>& LockWaitTreeModel::siblings(int parentRow) const {
  return parentRow < 0 ? m_tree.roots : m_tree.children[static_cast<size_t>(parentRow)];
}

void LockWaitTreeModel::placeRows() {
  m_place.assign(m_tree.parent.size(), 0);
  auto place = [&](const std::vector<int>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) m_place[static_cast<size_t>(rows[i])] = static_cast<int>(i);
  };
  place(m_tree.roots);
  for (const std::vector<int>& c : m_tree.children) place(c);
}

int LockWaitTreeModel::treeRow(const QModelIndex& index) {
  return index.isValid() ? static_cast<int>(index.internalId()) : -1;
}

QModelIndex LockWaitTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (!hasIndex(row, column, parent)) return {};
  return createIndex(row, column, static_cast<quintptr>(siblings(treeRow(parent))[static_cast<size_t>(row)]));
}

QModelIndex LockWaitTreeModel::parent(const QModelIndex& child) const {
  const int row = treeRow(child);
  if (row < 0) return {};
  const int holder = m_tree.parent[static_cast<size_t>(row)];
  if (holder < 0) return {};
  return createIndex(m_place[static_cast<size_t>(holder)], 0, static_cast<quintptr>(holder));
}

int LockWaitTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return static_cast<int>(siblings(treeRow(parent)).size());
}

int LockWaitTreeModel::columnCount(const QModelIndex& /*parent*/) const {
  return static_cast<int>(core::lockWaitHeads().size()) - 1;
}

QVariant LockWaitTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  const auto& texts = m_tree.texts[static_cast<size_t>(treeRow(index))];
  return QString::fromStdString(texts[static_cast<size_t>(headColumn(index.column()))]);
}

QVariant LockWaitTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
  return QString::fromStdString(core::lockWaitHeads()[static_cast<size_t>(headColumn(section))]);
}

void LockWaitTreeModel::sort(int column, Qt::SortOrder order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  if (column < 0)
    core::restoreTreeOrder(m_tree);
  else
    core::sortLockWaitTree(m_tree, headColumn(column), order == Qt::DescendingOrder);
  placeRows();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& i : before)
    after.push_back(createIndex(m_place[static_cast<size_t>(treeRow(i))], i.column(), i.internalId()));
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace tarvolin::ui
