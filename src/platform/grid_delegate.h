#pragma once

#include <QStyledItemDelegate>

namespace tarvolin::platform {

/// Draws grid cells as a grid control does: the text in the cell's alignment, broken at
/// words when the view wraps and the row has room for two lines, else on one line cut in
/// the middle with "…", in the model's foreground colour where it gives one, on the highlight colour when selected,
/// with a frame around the current cell in any style. Much lighter than the styled item
/// painting: no icons, check boxes or styled panels, one text draw per cell.
class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  /// A tool tip with the whole value (the model's tool tip) over a cell too small for it.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;
};

}  // namespace tarvolin::platform
