#include "platform/grid_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <utility>

#include "platform/grid_delegate.h"
#include "platform/twips.h"

namespace tarvolin::platform {

namespace {

constexpr Qt::Alignment kHeaderAlignment = Qt::AlignLeft | Qt::AlignTop;

/// A press, double click or drag that must not move the current cell: any button but
/// the left one.
bool selectsNothing(const QMouseEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
      return event.button() != Qt::LeftButton;
    case QEvent::MouseMove:
      return event.buttons() != Qt::NoButton && !(event.buttons() & Qt::LeftButton);
    default:
      return false;
  }
}

/// Accepts `event` and returns true when it selectsNothing, so the view never sees it.
bool swallowed(QMouseEvent* event) {
  if (!selectsNothing(*event)) return false;
  event->accept();
  return true;
}

/// The range of `model`'s selection that holds `index`, or that index alone.
QItemSelectionRange rangeHolding(const QItemSelectionModel& model, const QModelIndex& index) {
  for (const QItemSelectionRange& r : model.selection())
    if (r.contains(index)) return r;
  return QItemSelectionRange(index);
}

/// Settings the main view and its fixed-column view share.
void setUpTable(QTableView& view, int rowPx, int colPx) {
  view.setItemDelegate(new GridDelegate(&view));
  view.setSelectionMode(QAbstractItemView::ContiguousSelection);
  view.setSelectionBehavior(QAbstractItemView::SelectItems);
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setTextElideMode(Qt::ElideNone);
  view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  QHeaderView* rowsHeader = view.verticalHeader();
  rowsHeader->hide();
  rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
  rowsHeader->setMinimumSectionSize(1);
  rowsHeader->setDefaultSectionSize(rowPx);
  QHeaderView* colsHeader = view.horizontalHeader();
  colsHeader->setMinimumSectionSize(1);
  colsHeader->setDefaultSectionSize(colPx);
  colsHeader->setTextElideMode(Qt::ElideNone);
  colsHeader->setDefaultAlignment(kHeaderAlignment | Qt::Alignment(Qt::TextWordWrap));
  colsHeader->setHighlightSections(false);
}

}  // namespace

GridView::GridView(core::GridStore& store, QWidget* parent)
    : QTableView(parent), m_model(new GridModel(store, this)), m_dpi(screenDpi(parent)) {
  setModel(m_model);
  setUpTable(*this, px(core::kDefaultRowHeight), px(core::kDefaultColWidth));
  connect(m_model, &GridModel::storeChanged, this, &GridView::onStoreChanged);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &GridView::storeSelectionFromView);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &GridView::storeSelectionFromView);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, &GridView::onSectionResized);
  connect(horizontalScrollBar(), &QAbstractSlider::valueChanged, this, [this](int value) {
    // Back at the left edge the first column is in place by itself.
    if (value != 0 || !m_holdFirst) return;
    m_holdFirst = false;
    applyFixedColumn();
  });
  watchTitles(horizontalHeader());
  setWordWrap(store.wordWrap());
  applyColumns();
  applyHeaderHeight();
  applyRowHeights();
  applyFixedColumn();
}

int GridView::px(int twips) const { return twipsToPixels(twips, m_dpi.x); }

bool GridView::frozenShown() const { return m_frozen != nullptr && !m_frozen->isHidden(); }

void GridView::onStoreChanged(const core::GridChanges& changes) {
  if (changes.colCount || changes.colLayout) {
    setWordWrap(store().wordWrap());
    applyColumns();
    applyFixedColumn();
  }
  if (changes.colLayout || changes.rowLayout || changes.rowCount) applyHeaderHeight();
  if (changes.rowLayout || changes.rowCount) applyRowHeights();
  if (changes.current || changes.rowLayout || changes.rowCount || changes.colCount) applyStoreSelection();
}

void GridView::applyColumns() {
  const core::GridStore& s = store();
  const int cols = std::min(s.cols(), m_model->columnCount());
  const bool wasApplying = std::exchange(m_applying, true);
  for (int c = 0; c < cols; ++c) {
    const int w = s.colWidth(c);
    const bool hidden = w == 0;
    if (isColumnHidden(c) != hidden) setColumnHidden(c, hidden);
    if (!hidden && columnWidth(c) != px(w)) setColumnWidth(c, px(w));
  }
  if (m_frozen != nullptr) {
    m_frozen->setWordWrap(wordWrap());
    for (int c = 1; c < cols; ++c)
      if (!m_frozen->isColumnHidden(c)) m_frozen->setColumnHidden(c, true);
    if (cols > 0) m_frozen->setColumnWidth(0, columnWidth(0));
  }
  m_applying = wasApplying;
  stretchLastColumn();
}

void GridView::stretchLastColumn() {
  const int cols = std::min(store().cols(), m_model->columnCount());
  int last = cols - 1;
  while (last >= 0 && isColumnHidden(last)) --last;
  if (last < 0) return;
  const int others = horizontalHeader()->length() - columnWidth(last);
  const int want = std::max(px(store().colWidth(last)), viewport()->width() - others);
  if (columnWidth(last) == want) return;
  const bool wasApplying = std::exchange(m_applying, true);
  setColumnWidth(last, want);
  m_applying = wasApplying;
}

void GridView::applyHeaderHeight() {
  const core::GridStore& s = store();
  const int h = px(s.rows() > 0 ? s.rowHeight(0) : core::kDefaultRowHeight);
  if (horizontalHeader()->height() != h || horizontalHeader()->minimumHeight() != h) {
    horizontalHeader()->setFixedHeight(h);
    updateGeometries();
  }
  if (m_frozen != nullptr) m_frozen->horizontalHeader()->setFixedHeight(h);
}

void GridView::applyRowHeights() {
  const std::vector<int>& custom = m_model->customHeightRows();
  if (!m_customHeights && custom.empty()) return;
  // Rows may have moved or gone back to the default: start from all default.
  for (QTableView* view : {static_cast<QTableView*>(this), m_frozen}) {
    if (view == nullptr) continue;
    QHeaderView* header = view->verticalHeader();
    if (m_customHeights) header->setDefaultSectionSize(header->defaultSectionSize());  // all rows back to it
    for (int row : custom) header->resizeSection(row, px(store().rowHeight(m_model->storeRow(row))));
  }
  m_customHeights = !custom.empty();
}

void GridView::applyFixedColumn() {
  const core::GridStore& s = store();
  const bool fixed =
      (s.fixedCols() >= 1 || m_holdFirst) && s.cols() >= 1 && m_model->columnCount() >= 1 && s.colWidth(0) > 0;
  if (!fixed) {
    if (m_frozen != nullptr) m_frozen->hide();
    return;
  }
  if (m_frozen == nullptr) createFrozenView();
  applyColumns();
  m_frozen->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
  m_frozen->show();
  updateFrozenGeometry();
}

void GridView::createFrozenView() {
  m_frozen = new QTableView(this);
  m_frozen->setObjectName(QStringLiteral("fixedColumn"));
  m_frozen->setModel(m_model);
  m_frozen->setSelectionModel(selectionModel());
  setUpTable(*m_frozen, verticalHeader()->defaultSectionSize(), horizontalHeader()->defaultSectionSize());
  m_frozen->setFocusPolicy(Qt::NoFocus);
  m_frozen->setAutoScroll(false);  // this view scrolls to the current cell, the fixed column follows it
  m_frozen->setFrameShape(QFrame::NoFrame);
  m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_frozen->setWordWrap(wordWrap());
  viewport()->stackUnder(m_frozen);
  connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_frozen->verticalScrollBar(),
          &QAbstractSlider::setValue);
  connect(m_frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
          &QAbstractSlider::setValue);
  connect(m_frozen, &QTableView::clicked, this, &QTableView::clicked);
  connect(m_frozen, &QTableView::doubleClicked, this, &QTableView::doubleClicked);
  m_frozen->viewport()->installEventFilter(this);
  watchTitles(m_frozen->horizontalHeader());
}

void GridView::watchTitles(QHeaderView* titles) {
  // Connected after the table's own column selection, so these run once it has selected.
  connect(titles, &QHeaderView::sectionPressed, this, &GridView::storeSelectionFromTitles);
  connect(titles, &QHeaderView::sectionEntered, this, &GridView::storeSelectionFromTitles);
  connect(titles, &QHeaderView::sectionClicked, this, [this] { emit clicked(currentIndex()); });
  connect(titles, &QHeaderView::sectionDoubleClicked, this, [this] { emit doubleClicked(currentIndex()); });
  titles->viewport()->installEventFilter(this);
}

void GridView::updateFrozenGeometry() {
  if (!frozenShown()) return;
  m_frozen->setGeometry(viewport()->x(), frameWidth(), columnWidth(0),
                        horizontalHeader()->height() + viewport()->height());
  m_frozen->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void GridView::onSectionResized(int column, int /*oldSize*/, int newSize) {
  if (column == 0) {
    if (m_frozen != nullptr) m_frozen->setColumnWidth(0, newSize);
    updateFrozenGeometry();
  }
  if (m_applying || newSize == 0 || column >= store().cols()) return;
  // The user dragged a column edge: the store keeps the width.
  const bool wasApplying = std::exchange(m_applying, true);
  store().setColWidth(column, pixelsToTwips(newSize, m_dpi.x));
  m_applying = wasApplying;
}

void GridView::applyStoreSelection() {
  const core::GridStore& s = store();
  QItemSelectionModel* sm = selectionModel();
  const int rows = m_model->rowCount();
  const int cols = m_model->columnCount();
  const bool wasApplying = std::exchange(m_applying, true);
  const int bottom = std::max(s.row(), s.rowSel());
  if (rows == 0 || cols == 0 || bottom < 1) {
    // Only the header row (or nothing) is selected: the view shows no current cell.
    if (sm->currentIndex().isValid() || sm->hasSelection()) sm->clear();
    m_applying = wasApplying;
    return;
  }
  // The header row has no cell in the view: a selection from it starts at the first data row.
  const int top = std::max(std::min(s.row(), s.rowSel()), 1);
  const int left = std::clamp(std::min(s.col(), s.colSel()), 0, cols - 1);
  const int right = std::clamp(std::max(s.col(), s.colSel()), 0, cols - 1);
  const QModelIndex current = s.row() >= 1
                                  ? m_model->index(m_model->nearestModelRow(s.row()), std::clamp(s.col(), 0, cols - 1))
                                  : QModelIndex();
  const QItemSelectionRange want(m_model->index(m_model->nearestModelRow(top), left),
                                 m_model->index(m_model->nearestModelRow(bottom), right));
  const QItemSelection have = sm->selection();
  if (sm->currentIndex() != current || have.size() != 1 || have.first() != want) {
    if (current.isValid())
      sm->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    else
      sm->clearCurrentIndex();
    sm->select(QItemSelection(want.topLeft(), want.bottomRight()), QItemSelectionModel::ClearAndSelect);
  }
  m_applying = wasApplying;
}

void GridView::storeSelectionFromView() {
  if (m_applying) return;
  const QItemSelectionModel* sm = selectionModel();
  const QModelIndex cur = sm->currentIndex();
  if (!cur.isValid()) return;
  const QItemSelectionRange range = rangeHolding(*sm, cur);
  // The current index is one corner of its range; the anchor is the opposite one.
  const int anchorRow = cur.row() == range.top() ? range.bottom() : range.top();
  const int anchorCol = cur.column() == range.left() ? range.right() : range.left();
  const int storeCurrent = m_model->storeRow(cur.row());
  const int storeAnchor = m_model->storeRow(anchorRow);
  if (storeCurrent < 0 || storeAnchor < 0) return;
  core::GridStore& s = store();
  if (s.row() == storeCurrent && s.col() == cur.column() && s.rowSel() == storeAnchor && s.colSel() == anchorCol)
    return;
  s.setSelection(storeCurrent, cur.column(), storeAnchor, anchorCol);
}

void GridView::storeSelectionFromTitles() {
  const QModelIndex cur = currentIndex();
  const int rows = m_model->rowCount();
  if (selectionMode() == SingleSelection || !cur.isValid() || rows == 0) return;
  const QItemSelectionRange range = rangeHolding(*selectionModel(), cur);
  const int anchorCol = cur.column() == range.left() ? range.right() : range.left();
  store().setSelection(m_model->storeRow(0), cur.column(), m_model->storeRow(rows - 1), anchorCol);
  applyStoreSelection();
}

void GridView::selectAll() {
  core::GridStore& s = store();
  if (selectionMode() == SingleSelection || selectionMode() == NoSelection || s.rows() < 1 || s.cols() < 1) return;
  s.setSelection(0, 0, s.rows() - 1, s.cols() - 1);
  applyStoreSelection();
}

void GridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  stretchLastColumn();
  updateFrozenGeometry();
}

void GridView::updateGeometries() {
  QTableView::updateGeometries();
  stretchLastColumn();  // the viewport's width may have changed with a scroll bar
  updateFrozenGeometry();
}

void GridView::mousePressEvent(QMouseEvent* event) {
  if (!swallowed(event)) QTableView::mousePressEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
  // The view saw no press of another button: report its release without selecting.
  if (!swallowed(event)) QTableView::mouseReleaseEvent(event);
  emit mouseReleased(event->button(), event->globalPosition().toPoint());
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!swallowed(event)) QTableView::mouseDoubleClickEvent(event);
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
  if (!swallowed(event)) QTableView::mouseMoveEvent(event);
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
  const bool cells = m_frozen != nullptr && watched == m_frozen->viewport();
  const bool titles = watched == horizontalHeader()->viewport() ||
                      (m_frozen != nullptr && watched == m_frozen->horizontalHeader()->viewport());
  if (!cells && !titles) return QTableView::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
      const auto* me = static_cast<QMouseEvent*>(event);
      const bool eaten = selectsNothing(*me);
      // The table's own column selection makes the first visible row current: keep the rows in place.
      if (titles) m_keepScroll = event->type() != QEvent::MouseButtonRelease && (me->buttons() & Qt::LeftButton);
      if (event->type() == QEvent::MouseButtonRelease) emit mouseReleased(me->button(), me->globalPosition().toPoint());
      if (eaten) return true;  // the fixed column and the titles share the selection: they must not move it either
      break;
    }
    default:
      break;
  }
  return QTableView::eventFilter(watched, event);
}

void GridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (m_keepScroll) return;
  if (!frozenShown()) {
    QTableView::scrollTo(index, hint);
    return;
  }
  const int keep = horizontalScrollBar()->value();
  QTableView::scrollTo(index, hint);
  if (index.column() == 0) {
    horizontalScrollBar()->setValue(keep);
    return;
  }
  // A cell that ended up under the fixed column is scrolled out from under it.
  const int hiddenBy = columnWidth(0) - visualRect(index).left();
  if (hiddenBy > 0) horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hiddenBy);
}

GridView::Place GridView::place() const {
  Place p{QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()), std::nullopt};
  const QModelIndex cur = currentIndex();
  if (cur.isValid() && !isColumnHidden(cur.column())) p.current = visualRect(cur).topLeft();
  return p;
}

void GridView::restorePlace(const Place& place) {
  m_model->flush();
  executeDelayedItemsLayout();
  updateGeometries();
  horizontalScrollBar()->setValue(place.scroll.x());
  verticalScrollBar()->setValue(place.scroll.y());
  const QModelIndex cur = currentIndex();
  if (!cur.isValid() || !place.current || isColumnHidden(cur.column())) return;
  const QRect now = visualRect(cur);
  horizontalScrollBar()->setValue(horizontalScrollBar()->value() + now.x() - place.current->x());
  const int rowPx = std::max(1, rowHeight(cur.row()));
  verticalScrollBar()->setValue(verticalScrollBar()->value() + (now.y() - place.current->y()) / rowPx);
  scrollTo(cur);  // when it can't stand where it stood
}

void GridView::revealColumn(int col) {
  m_model->flush();
  if (col <= 0 || col >= m_model->columnCount() || isColumnHidden(col)) return;
  executeDelayedItemsLayout();
  if (!m_holdFirst && store().fixedCols() < 1) {
    m_holdFirst = true;
    applyFixedColumn();
  }
  updateGeometries();
  QScrollBar* bar = horizontalScrollBar();
  const int key = frozenShown() ? columnWidth(0) : 0;
  bar->setValue(bar->value() + columnViewportPosition(col) - key);
}

}  // namespace tarvolin::platform
