#pragma once

#include <QAbstractTableModel>

#include "ui/customise/customise_list.h"

namespace tarvolin::ui {

/// The customise list as a read-only three-column table: "Num", "Performance Variable" and
/// "Show? (click to change)". Model row m is grid row m + 1; the grid's header row is the
/// horizontal header. Holds a reference to the list, which must outlive the model; the list
/// is changed by its owner, who then calls rowsChanged.
class CustomiseModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit CustomiseModel(const CustomiseList& list, QObject* parent = nullptr);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role = Qt::DisplayRole) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

  /// Tells the views that the name and switch texts of grid rows `span` changed.
  void rowsChanged(RowSpan span);

 private:
  const CustomiseList& m_list;
};

}  // namespace tarvolin::ui
