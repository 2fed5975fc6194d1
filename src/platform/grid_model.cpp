#include "platform/grid_model.h"

#include <QBrush>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPalette>
#include <algorithm>

namespace tarvolin::platform {

namespace {

Qt::Alignment toQt(core::Alignment a) {
  switch (a) {
    case core::Alignment::LeftTop:
      return Qt::AlignLeft | Qt::AlignTop;
    case core::Alignment::LeftCenter:
      return Qt::AlignLeft | Qt::AlignVCenter;
    case core::Alignment::LeftBottom:
      return Qt::AlignLeft | Qt::AlignBottom;
    case core::Alignment::CenterCenter:
      return Qt::AlignCenter;
    case core::Alignment::RightCenter:
      return Qt::AlignRight | Qt::AlignVCenter;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

QString toQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

GridModel::GridModel(core::GridStore& store, QObject* parent) : QAbstractTableModel(parent), m_store(&store) {
  static const int registered = qRegisterMetaType<core::GridChanges>();
  Q_UNUSED(registered);
  m_store->takeChanges();
  m_cols = m_store->cols();
  m_storeRows = m_store->rows();
  collectRows(1, m_storeRows, m_map, m_customRows);
  m_store->setObserver(this);
}

void GridModel::collectRows(int first, int end, std::vector<int>& map, std::vector<int>& custom) const {
  map.reserve(map.size() + static_cast<size_t>(std::max(end - first, 0)));
  for (int r = first; r < end; ++r) {
    const int h = m_store->rowHeight(r);
    if (h == 0) continue;
    if (h != core::kDefaultRowHeight) custom.push_back(static_cast<int>(map.size()));
    map.push_back(r);
  }
}

GridModel::~GridModel() { m_store->setObserver(nullptr); }

void GridModel::gridGone() {
  // From now on the model, and the views on it, show an empty grid of the model's own.
  beginResetModel();
  m_gone.setRows(0);
  m_gone.setCols(0);
  m_gone.takeChanges();
  m_store = &m_gone;
  m_map.clear();
  m_customRows.clear();
  m_cols = 0;
  m_storeRows = 0;
  endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_map.size());
}

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_cols; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(m_map.size()) || index.column() >= m_cols) return {};
  const int col = index.column();
  // Between a change of the store and the next flush the store may hold fewer rows
  // or columns than announced: those cells read as empty.
  if (col >= m_store->cols()) return {};
  const core::ReportCells& cells = m_store->report().cells;
  switch (role) {
    case Qt::DisplayRole: {
      const int row = m_map[static_cast<size_t>(index.row())];
      if (row >= m_store->rows()) return QString();
      return toQString(cells.textUnchecked(row, col));
    }
    case Qt::ToolTipRole: {  // the whole value, where the cell is too narrow for it
      const int row = m_map[static_cast<size_t>(index.row())];
      if (row >= m_store->rows()) return QString();
      const std::string_view text = cells.textUnchecked(row, col);
      constexpr auto kMax = static_cast<size_t>(kTipLength);
      if (text.size() <= kMax) return toQString(text);
      QString tip = toQString(text.substr(0, kMax * 4 + 4));  // at most 4 bytes a character
      if (tip.size() > kTipLength) tip = tip.left(kTipLength - 1) + QChar(0x2026);
      return tip;
    }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(static_cast<int>(toQt(m_store->colAlignment(col))));
    case Qt::ForegroundRole: {  // a cell filled in from its owner's row is drawn lighter
      const int row = m_map[static_cast<size_t>(index.row())];
      if (row >= m_store->rows() || !cells.fromOwnerUnchecked(row, col)) return {};
      return QBrush(QGuiApplication::palette().color(QPalette::PlaceholderText));
    }
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= m_cols || section >= m_store->cols()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:  // the whole name, where the column is too narrow for it
      return m_store->rows() > 0 ? toQString(m_store->report().cells.textUnchecked(0, section)) : QString();
    case Qt::TextAlignmentRole: {
      int flags = static_cast<int>(toQt(m_store->colAlignment(section)));
      if (m_store->wordWrap()) flags |= Qt::TextWordWrap;
      return QVariant::fromValue(flags);
    }
    default:
      return {};
  }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int GridModel::storeRow(int modelRow) const {
  if (modelRow < 0 || modelRow >= static_cast<int>(m_map.size())) return -1;
  return m_map[static_cast<size_t>(modelRow)];
}

int GridModel::modelRow(int storeRow) const {
  const auto it = std::lower_bound(m_map.begin(), m_map.end(), storeRow);
  if (it == m_map.end() || *it != storeRow) return -1;
  return static_cast<int>(it - m_map.begin());
}

int GridModel::nearestModelRow(int storeRow) const {
  if (m_map.empty()) return -1;
  const auto it = std::lower_bound(m_map.begin(), m_map.end(), storeRow);
  if (it == m_map.end()) return static_cast<int>(m_map.size()) - 1;
  return static_cast<int>(it - m_map.begin());
}

void GridModel::gridChanged() {
  if (m_flushQueued) return;
  m_flushQueued = true;
  QMetaObject::invokeMethod(this, &GridModel::flush, Qt::QueuedConnection);
}

void GridModel::flush() {
  m_flushQueued = false;
  const core::GridChanges c = m_store->takeChanges();
  if (!c.any()) return;
  syncColumns();
  const int rows = m_store->rows();
  if (c.rowLayout || rows < m_storeRows)
    rebuildRows();
  else if (rows > m_storeRows)
    appendRows();
  if (m_cols > 0) {
    if (c.colLayout || c.firstTextRow == 0) emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    int first = -1;
    int last = -1;
    if (c.colLayout && !m_map.empty()) {
      first = 0;
      last = static_cast<int>(m_map.size()) - 1;
    } else if (c.lastTextRow >= 1) {
      first = static_cast<int>(std::lower_bound(m_map.begin(), m_map.end(), c.firstTextRow) - m_map.begin());
      last = static_cast<int>(std::upper_bound(m_map.begin(), m_map.end(), c.lastTextRow) - m_map.begin()) - 1;
    }
    if (first >= 0 && first <= last) emit dataChanged(index(first, 0), index(last, m_cols - 1));
  }
  emit storeChanged(c);
}

void GridModel::syncColumns() {
  const int cols = m_store->cols();
  if (cols > m_cols) {
    beginInsertColumns({}, m_cols, cols - 1);
    m_cols = cols;
    endInsertColumns();
  } else if (cols < m_cols) {
    beginRemoveColumns({}, cols, m_cols - 1);
    m_cols = cols;
    endRemoveColumns();
  }
}

void GridModel::appendRows() {
  const int rows = m_store->rows();
  const int offset = static_cast<int>(m_map.size());
  std::vector<int> tail;
  std::vector<int> custom;
  collectRows(std::max(m_storeRows, 1), rows, tail, custom);
  m_storeRows = rows;
  if (tail.empty()) return;
  beginInsertRows({}, offset, offset + static_cast<int>(tail.size()) - 1);
  m_map.insert(m_map.end(), tail.begin(), tail.end());
  for (int c : custom) m_customRows.push_back(c + offset);
  endInsertRows();
}

void GridModel::rebuildRows() {
  const int rows = m_store->rows();
  std::vector<int> next;
  std::vector<int> custom;
  collectRows(1, rows, next, custom);

  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList from = persistentIndexList();
  std::vector<int> fromStoreRows;
  fromStoreRows.reserve(static_cast<size_t>(from.size()));
  for (const QModelIndex& i : from) fromStoreRows.push_back(storeRow(i.row()));
  m_map.swap(next);
  m_customRows.swap(custom);
  m_storeRows = rows;
  QModelIndexList to;
  to.reserve(from.size());
  for (qsizetype i = 0; i < from.size(); ++i) {
    const int row = modelRow(fromStoreRows[static_cast<size_t>(i)]);
    const int col = from[i].column();
    to.append(row >= 0 && col < m_cols ? createIndex(row, col) : QModelIndex());
  }
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace tarvolin::platform
