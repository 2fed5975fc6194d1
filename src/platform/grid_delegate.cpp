#include "platform/grid_delegate.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPen>
#include <QStyle>

namespace tarvolin::platform {

namespace {

/// Room between a cell's edge and its text, in pixels.
constexpr int kTextMargin = 2;
/// Width of the current cell's frame, in pixels.
constexpr double kFrameWidth = 2;

}  // namespace

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
  const QColor ink = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
  const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
  if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
  const QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty()) {
    int flags = index.data(Qt::TextAlignmentRole).toInt();
    if (flags == 0) flags = Qt::AlignLeft | Qt::AlignVCenter;
    if (view != nullptr && view->property("wordWrap").toBool()) flags |= Qt::TextWordWrap;
    painter->setPen(ink);
    painter->drawText(option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0), flags, text);
  }
  // The current cell, which the commands act on, is framed in every style (some draw a focus
  // frame only after keyboard moves) and also while the focus is elsewhere.
  if (view != nullptr && view->currentIndex() == index) {
    painter->save();
    painter->setPen(QPen(ink, kFrameWidth));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(
        QRectF(option.rect).adjusted(kFrameWidth / 2, kFrameWidth / 2, -kFrameWidth / 2, -kFrameWidth / 2));
    painter->restore();
  }
}

}  // namespace tarvolin::platform
