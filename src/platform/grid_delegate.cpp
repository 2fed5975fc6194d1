#include "platform/grid_delegate.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyle>

namespace tarvolin::platform {

namespace {

/// Room between a cell's edge and its text, in pixels.
constexpr int kTextMargin = 2;

}  // namespace

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
  if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
  const QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty()) {
    int flags = index.data(Qt::TextAlignmentRole).toInt();
    if (flags == 0) flags = Qt::AlignLeft | Qt::AlignVCenter;
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    if (view != nullptr && view->property("wordWrap").toBool()) flags |= Qt::TextWordWrap;
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0), flags, text);
  }
  if (option.state & QStyle::State_HasFocus) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : nullptr;
    if (style != nullptr) style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
  }
}

}  // namespace tarvolin::platform
