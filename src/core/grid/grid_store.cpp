#include "core/grid/grid_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace tarvolin::core {

GridStore::GridStore() : m_report(std::make_shared<Report>()) {
  setCols(2);
  setRows(2);
  m_changes = {};
}

GridStore::GridStore(std::shared_ptr<Report> report) : m_report(std::move(report)) {
  if (!m_report) throw std::invalid_argument("A grid store needs a report");
  m_heights.assign(static_cast<size_t>(rows()), kDefaultRowHeight);
  m_widths.assign(static_cast<size_t>(cols()), kDefaultColWidth);
  m_align.assign(static_cast<size_t>(cols()), Alignment::LeftCenter);
}

GridStore::~GridStore() {
  if (GridObserver* observer = std::exchange(m_observer.observer, nullptr)) observer->gridGone();
}

GridStore::GridStore(const GridStore& other) : Grid(other), m_report(std::make_shared<Report>(*other.m_report)) {
  takeLayout(other);
}

GridStore& GridStore::operator=(const GridStore& other) {
  if (this == &other) return *this;
  if (m_report)
    *m_report = *other.m_report;
  else
    m_report = std::make_shared<Report>(*other.m_report);  // a store moved from
  takeLayout(other);
  return *this;
}

GridStore::GridStore(GridStore&& other) noexcept : m_report(std::move(other.m_report)) { takeLayout(std::move(other)); }

GridStore& GridStore::operator=(GridStore&& other) noexcept {
  if (this == &other) return *this;
  m_report = std::move(other.m_report);
  takeLayout(std::move(other));
  return *this;
}

template <class Store>
void GridStore::takeLayout(Store&& other) {
  m_heights = std::forward<Store>(other).m_heights;
  m_widths = std::forward<Store>(other).m_widths;
  m_align = std::forward<Store>(other).m_align;
  m_fixedRows = other.m_fixedRows;
  m_fixedCols = other.m_fixedCols;
  m_redraw = other.m_redraw;
  m_wordWrap = other.m_wordWrap;
  m_row = other.m_row;
  m_col = other.m_col;
  m_rowSel = other.m_rowSel;
  m_colSel = other.m_colSel;
  m_changes = other.m_changes;
}

void GridStore::reset() {
  GridStore fresh;
  *m_report = std::move(*fresh.m_report);
  takeLayout(std::move(fresh));
}

void GridStore::checkRow(int row) const {
  if (row < 0 || row >= rows()) throw std::out_of_range("Subscript out of range: row " + std::to_string(row));
}

void GridStore::checkCol(int col) const {
  if (col < 0 || col >= cols()) throw std::out_of_range("Subscript out of range: column " + std::to_string(col));
}

void GridStore::changed() {
  if (m_redraw && m_observer.observer != nullptr && m_changes.any()) m_observer.observer->gridChanged();
}

void GridStore::markText(int row) {
  if (m_changes.firstTextRow < 0 || row < m_changes.firstTextRow) m_changes.firstTextRow = row;
  m_changes.lastTextRow = std::max(m_changes.lastTextRow, row);
}

void GridStore::replaceWith(GridStore&& other) {
  if (this == &other) return;
  *m_report = std::move(*other.m_report);
  takeLayout(std::move(other));
  other.reset();
  m_changes.rowCount = m_changes.colCount = m_changes.rowLayout = m_changes.colLayout = m_changes.current = true;
  if (rows() > 0) {
    m_changes.firstTextRow = 0;
    m_changes.lastTextRow = rows() - 1;
  }
  changed();
}

GridChanges GridStore::takeChanges() {
  GridChanges c = m_changes;
  m_changes = {};
  return c;
}

void GridStore::clear() {
  m_report->cells.clearTexts();
  if (rows() > 0) {
    markText(0);
    markText(rows() - 1);
  }
  changed();
}

void GridStore::setRows(int rows) {
  if (rows < 0) throw std::out_of_range("Invalid row count " + std::to_string(rows));
  if (rows == this->rows()) return;
  const int before = this->rows();
  m_report->cells.setRows(rows);
  m_heights.resize(static_cast<size_t>(rows), kDefaultRowHeight);
  // Rows dropped change the layout even when as many come back before an observer looks:
  // a row hidden before must not stay hidden in a view that only adds the new rows.
  if (rows < before) m_changes.rowLayout = true;
  m_row = std::min(m_row, std::max(rows - 1, 0));
  m_rowSel = std::min(m_rowSel, std::max(rows - 1, 0));
  m_changes.rowCount = true;
  changed();
}

void GridStore::setCols(int cols) {
  if (cols < 0) throw std::out_of_range("Invalid column count " + std::to_string(cols));
  if (cols == this->cols()) return;
  m_report->cells.setCols(cols);
  m_widths.resize(static_cast<size_t>(cols), kDefaultColWidth);
  m_align.resize(static_cast<size_t>(cols), Alignment::LeftCenter);
  m_col = std::min(m_col, std::max(cols - 1, 0));
  m_colSel = std::min(m_colSel, std::max(cols - 1, 0));
  m_changes.colCount = true;
  changed();
}

void GridStore::insertColumn(int at) {
  if (at < 0 || at > cols()) throw std::out_of_range("Subscript out of range: column " + std::to_string(at));
  m_report->cells.insertColumn(at);
  m_widths.push_back(kDefaultColWidth);
  m_align.push_back(Alignment::LeftCenter);
  m_changes.colCount = true;
  std::copy_backward(m_widths.begin() + at, m_widths.end() - 1, m_widths.end());
  std::copy_backward(m_align.begin() + at, m_align.end() - 1, m_align.end());
  m_widths[static_cast<size_t>(at)] = kDefaultColWidth;
  m_align[static_cast<size_t>(at)] = Alignment::LeftCenter;
  if (rows() > 0) {
    markText(0);
    markText(rows() - 1);
  }
  m_changes.colLayout = true;
  changed();
}

void GridStore::setFixedRows(int n) {
  if (n < 0 || (n > 0 && n >= rows() + 1)) throw std::out_of_range("Invalid number of fixed rows");
  m_fixedRows = n;
  m_changes.colLayout = true;
  changed();
}

void GridStore::setFixedCols(int n) {
  if (n < 0 || (n > 0 && n >= cols() + 1)) throw std::out_of_range("Invalid number of fixed columns");
  m_fixedCols = n;
  m_changes.colLayout = true;
  changed();
}

void GridStore::setRedraw(bool on) {
  m_redraw = on;
  changed();
}

int GridStore::rowHeight(int row) const {
  checkRow(row);
  return m_heights[static_cast<size_t>(row)];
}

void GridStore::setRowHeight(int row, int twips) {
  checkRow(row);
  twips = std::max(twips, 0);
  int& h = m_heights[static_cast<size_t>(row)];
  if (h == twips) return;
  h = twips;
  m_changes.rowLayout = true;
  changed();
}

int GridStore::colWidth(int col) const {
  checkCol(col);
  return m_widths[static_cast<size_t>(col)];
}

void GridStore::setColWidth(int col, int twips) {
  checkCol(col);
  m_widths[static_cast<size_t>(col)] = std::max(twips, 0);
  m_changes.colLayout = true;
  changed();
}

Alignment GridStore::colAlignment(int col) const {
  checkCol(col);
  return m_align[static_cast<size_t>(col)];
}

void GridStore::setColAlignment(int col, Alignment a) {
  checkCol(col);
  m_align[static_cast<size_t>(col)] = a;
  m_changes.colLayout = true;
  changed();
}

void GridStore::setWordWrap(bool on) {
  m_wordWrap = on;
  m_changes.colLayout = true;
  changed();
}

void GridStore::setRow(int row) {
  checkRow(row);
  m_row = m_rowSel = row;
  m_colSel = m_col;
  m_changes.current = true;
  changed();
}

void GridStore::setCol(int col) {
  checkCol(col);
  m_col = m_colSel = col;
  m_rowSel = m_row;
  m_changes.current = true;
  changed();
}

void GridStore::setSelection(int row, int col, int rowSel, int colSel) {
  auto clampRow = [this](int r) { return std::clamp(r, 0, std::max(rows() - 1, 0)); };
  auto clampCol = [this](int c) { return std::clamp(c, 0, std::max(cols() - 1, 0)); };
  m_row = clampRow(row);
  m_col = clampCol(col);
  m_rowSel = clampRow(rowSel);
  m_colSel = clampCol(colSel);
  m_changes.current = true;
  changed();
}

std::string_view GridStore::text(int row, int col) const {
  checkRow(row);
  checkCol(col);
  return textUnchecked(row, col);
}

void GridStore::setText(int row, int col, std::string_view text) {
  m_report->cells.setText(row, col, text);
  markText(row);
  changed();
}

void GridStore::setRowTexts(int row, std::span<const std::string> texts) {
  if (texts.empty()) return;
  m_report->cells.setRowTexts(row, texts);
  markText(row);
  changed();
}

void GridStore::markFilled(int row, int col) {
  m_report->cells.markFromOwner(row, col);
  markText(row);
  changed();
}

void GridStore::permuteRows(int first, const std::vector<int>& order) {
  const int n = static_cast<int>(order.size());
  if (first < 0 || first + n > rows()) throw std::out_of_range("Invalid rows to reorder");
  std::vector<char> seen(static_cast<size_t>(n), 0);
  for (int src : order) {
    if (src < first || src >= first + n || seen[static_cast<size_t>(src - first)])
      throw std::invalid_argument("Row order is not a permutation");
    seen[static_cast<size_t>(src - first)] = 1;
  }
  m_report->cells.permuteRows(first, order);
  std::vector<int> heights(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    heights[static_cast<size_t>(i)] = m_heights[static_cast<size_t>(order[static_cast<size_t>(i)])];
  std::copy(heights.begin(), heights.end(), m_heights.begin() + first);
  if (n > 0) {
    markText(first);
    markText(first + n - 1);
  }
  m_changes.rowLayout = true;
  changed();
}

}  // namespace tarvolin::core
