#include "platform/grid_delegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QPen>
#include <QStyle>
#include <QToolTip>

namespace tarvolin::platform {

namespace {

/// Room between a cell's edge and its text, in pixels.
constexpr int kTextMargin = 2;
/// Width of the current cell's frame, in pixels.
constexpr double kFrameWidth = 2;

/// Whether the cell has room for one line only: its text is then cut, not wrapped.
bool oneLine(const QStyleOptionViewItem& option) { return option.rect.height() < 2 * option.fontMetrics.lineSpacing(); }

}  // namespace

bool GridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index) {
  if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip)
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  // The whole value, only where the cell shows less of it.
  const QString text = index.data(Qt::DisplayRole).toString();
  const int room = option.rect.width() - 2 * kTextMargin;
  if (text.isEmpty() ||
      (oneLine(option) && !text.contains(QChar('\n')) && option.fontMetrics.horizontalAdvance(text) <= room)) {
    QToolTip::hideText();
    return true;
  }
  QToolTip::showText(event->globalPos(), index.data(Qt::ToolTipRole).toString(), view, option.rect);
  return true;
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
  const QColor ink = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
  const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
  if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
  QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty()) {
    int flags = index.data(Qt::TextAlignmentRole).toInt();
    if (flags == 0) flags = Qt::AlignLeft | Qt::AlignVCenter;
    const QRect room = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    if (oneLine(option)) {
      // A long value shows its beginning and its end, not a word cut in half; a statement
      // of several lines shows them one after another.
      text.replace(QChar('\n'), QChar(' '));
      text = option.fontMetrics.elidedText(text, Qt::ElideMiddle, room.width());
    } else if (view != nullptr && view->property("wordWrap").toBool()) {
      flags |= Qt::TextWordWrap;
    }
    const QVariant lighter = selected ? QVariant() : index.data(Qt::ForegroundRole);
    painter->setPen(lighter.isValid() ? lighter.value<QBrush>().color() : ink);
    painter->drawText(room, flags, text);
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
