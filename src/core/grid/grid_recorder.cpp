#include "core/grid/grid_recorder.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace tarvolin::core {

void replay(const GridBatch& batch, Grid& g) {
  using Op = GridBatch::Op;
  size_t text = 0;
  auto next = [&] {
    const uint32_t begin = text == 0 ? 0 : batch.ends[text - 1];
    const uint32_t end = batch.ends[text++];
    return std::string_view(batch.bytes).substr(begin, end - begin);
  };
  std::vector<std::string> row;
  for (const GridBatch::Step& s : batch.steps) {
    switch (s.op) {
      case Op::Clear:
        g.clear();
        break;
      case Op::Rows:
        g.setRows(s.a);
        break;
      case Op::Cols:
        g.setCols(s.a);
        break;
      case Op::InsertColumn:
        g.insertColumn(s.a);
        break;
      case Op::FixedRows:
        g.setFixedRows(s.a);
        break;
      case Op::FixedCols:
        g.setFixedCols(s.a);
        break;
      case Op::RowHeight:
        g.setRowHeight(s.a, s.b);
        break;
      case Op::ColWidth:
        g.setColWidth(s.a, s.b);
        break;
      case Op::ColAlignment:
        g.setColAlignment(s.a, static_cast<Alignment>(s.b));
        break;
      case Op::WordWrap:
        g.setWordWrap(s.a != 0);
        break;
      case Op::Row:
        g.setRow(s.a);
        break;
      case Op::Col:
        g.setCol(s.a);
        break;
      case Op::Text:
        g.setText(s.a, s.b, next());
        break;
      case Op::RowTexts:
        row.resize(static_cast<size_t>(s.b));
        for (std::string& t : row) t.assign(next());
        g.setRowTexts(s.a, row);
        break;
      case Op::MarkFilled:
        g.markFilled(s.a, s.b);
        break;
      case Op::Snapshot:
        g.setSnapshot(s.a);
        break;
    }
  }
  g.setRedraw(true);
  if (!batch.redraw) g.setRedraw(false);
}

GridRecorder::GridRecorder(Send send, std::chrono::milliseconds interval)
    : m_send(std::move(send)), m_interval(interval) {}

void GridRecorder::flush() {
  if (m_batch.empty()) return;
  m_lastSent = std::chrono::steady_clock::now();
  m_sentOnce = true;
  GridBatch out = std::move(m_batch);
  m_batch = {};
  m_batch.redraw = out.redraw;
  m_send(std::move(out));
}

void GridRecorder::checkRow(int row) const {
  if (row < 0 || row >= m_rows) throw std::out_of_range("Subscript out of range: row " + std::to_string(row));
}

void GridRecorder::checkCol(int col) const {
  if (col < 0 || col >= cols()) throw std::out_of_range("Subscript out of range: column " + std::to_string(col));
}

void GridRecorder::addText(std::string_view text) {
  m_batch.bytes.append(text);
  m_batch.ends.push_back(static_cast<uint32_t>(m_batch.bytes.size()));
}

void GridRecorder::clear() { step(GridBatch::Op::Clear); }

void GridRecorder::setRows(int rows) {
  if (rows < 0) throw std::out_of_range("Invalid row count " + std::to_string(rows));
  m_heights.resize(static_cast<size_t>(rows), kDefaultRowHeight);
  m_rows = rows;
  m_row = std::min(m_row, std::max(rows - 1, 0));
  step(GridBatch::Op::Rows, rows);
}

void GridRecorder::setCols(int cols) {
  if (cols < 0) throw std::out_of_range("Invalid column count " + std::to_string(cols));
  m_widths.resize(static_cast<size_t>(cols), kDefaultColWidth);
  m_col = std::min(m_col, std::max(cols - 1, 0));
  step(GridBatch::Op::Cols, cols);
}

void GridRecorder::insertColumn(int at) {
  if (at < 0 || at > cols()) throw std::out_of_range("Subscript out of range: column " + std::to_string(at));
  m_widths.insert(m_widths.begin() + at, kDefaultColWidth);
  step(GridBatch::Op::InsertColumn, at);
}

void GridRecorder::setFixedRows(int n) {
  if (n < 0 || (n > 0 && n >= m_rows + 1)) throw std::out_of_range("Invalid number of fixed rows");
  step(GridBatch::Op::FixedRows, n);
}

void GridRecorder::setFixedCols(int n) {
  if (n < 0 || (n > 0 && n >= cols() + 1)) throw std::out_of_range("Invalid number of fixed columns");
  step(GridBatch::Op::FixedCols, n);
}

void GridRecorder::setRedraw(bool on) {
  m_batch.redraw = on;
  if (on && (!m_sentOnce || std::chrono::steady_clock::now() - m_lastSent >= m_interval)) flush();
}

int GridRecorder::rowHeight(int row) const {
  checkRow(row);
  return m_heights[static_cast<size_t>(row)];
}

void GridRecorder::setRowHeight(int row, int twips) {
  checkRow(row);
  m_heights[static_cast<size_t>(row)] = std::max(twips, 0);
  step(GridBatch::Op::RowHeight, row, twips);
}

int GridRecorder::colWidth(int col) const {
  checkCol(col);
  return m_widths[static_cast<size_t>(col)];
}

void GridRecorder::setColWidth(int col, int twips) {
  checkCol(col);
  m_widths[static_cast<size_t>(col)] = std::max(twips, 0);
  step(GridBatch::Op::ColWidth, col, twips);
}

void GridRecorder::setColAlignment(int col, Alignment a) {
  checkCol(col);
  step(GridBatch::Op::ColAlignment, col, static_cast<int>(a));
}

void GridRecorder::setWordWrap(bool on) { step(GridBatch::Op::WordWrap, on ? 1 : 0); }

void GridRecorder::setRow(int row) {
  checkRow(row);
  m_row = row;
  step(GridBatch::Op::Row, row);
}

void GridRecorder::setCol(int col) {
  checkCol(col);
  m_col = col;
  step(GridBatch::Op::Col, col);
}

std::string_view GridRecorder::text(int, int) const { throw std::logic_error("A recorded grid keeps no texts"); }

void GridRecorder::setText(int row, int col, std::string_view text) {
  checkRow(row);
  checkCol(col);
  addText(text);
  step(GridBatch::Op::Text, row, col);
}

void GridRecorder::setRowTexts(int row, std::span<const std::string> texts) {
  checkRow(row);
  checkCol(static_cast<int>(texts.size()) - 1);
  for (const std::string& t : texts) addText(t);
  step(GridBatch::Op::RowTexts, row, static_cast<int>(texts.size()));
}

void GridRecorder::markFilled(int row, int col) {
  checkRow(row);
  checkCol(col);
  step(GridBatch::Op::MarkFilled, row, col);
}

}  // namespace tarvolin::core
