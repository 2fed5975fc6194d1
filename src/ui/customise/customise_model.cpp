#include "ui/customise/customise_model.h"

#include <array>

namespace tarvolin::ui {

namespace {

constexpr int kColumns = 3;

const std::array<QString, kColumns>& headers() {
  static const std::array<QString, kColumns> texts = {QStringLiteral("Num"), QStringLiteral("Performance Variable"),
                                                      QStringLiteral("Show? (click to change)")};
  return texts;
}

}  // namespace

CustomiseModel::CustomiseModel(const CustomiseList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list) {}

int CustomiseModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_list.variableCount(); }

int CustomiseModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant CustomiseModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const int gridRow = index.row() + 1;
  if (role == Qt::TextAlignmentRole)
    return static_cast<int>(Qt::AlignVCenter | (index.column() == 0 ? Qt::AlignRight : Qt::AlignLeft));
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case 0:
      return QString::number(gridRow);
    case 1:
      return QString::fromStdString(m_list.row(gridRow).name);
    default:
      return QString::fromStdString(m_list.row(gridRow).show);
  }
}

QVariant CustomiseModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
  // The tooltip gives the whole caption where a narrow column cuts it short.
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return headers()[static_cast<size_t>(section)];
  if (role == Qt::TextAlignmentRole) return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags CustomiseModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void CustomiseModel::rowsChanged(RowSpan span) {
  if (span.empty()) return;
  emit dataChanged(index(span.first - 1, 1), index(span.last - 1, kColumns - 1), {Qt::DisplayRole});
}

}  // namespace tarvolin::ui
