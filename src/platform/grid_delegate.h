#pragma once

#include <QStyledItemDelegate>

namespace tarvolin::platform {

/// Draws grid cells as a grid control does: the text in the cell's alignment, broken at
/// words when the view wraps, clipped to the cell, on the highlight colour when selected,
/// with a frame around the current cell in any style. Much lighter than the styled item
/// painting: no icons, check boxes or styled panels, one text draw per cell.
class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace tarvolin::platform
