#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/grid/grid.h"

namespace tarvolin::core {

/// Changes made to a grid, in order, to be made again to another grid (replay): what a
/// load running on one thread hands to the grid a window shows on another. The texts
/// travel packed in one buffer and are moved, not kept, by the recorder that wrote them.
struct GridBatch {
  enum class Op : uint8_t {
    Clear,
    Rows,
    Cols,
    InsertColumn,
    FixedRows,
    FixedCols,
    RowHeight,
    ColWidth,
    ColAlignment,
    WordWrap,
    Row,
    Col,
    Text,
    RowTexts,
    MarkFilled,
    Snapshot,
  };
  struct Step {
    Op op;
    int a = 0;  ///< the row, count or column the call took first
    int b = 0;  ///< its second argument; for RowTexts the number of texts
  };
  std::vector<Step> steps;
  std::string bytes;           ///< the texts of Text and RowTexts steps, one after another
  std::vector<uint32_t> ends;  ///< where each text ends in bytes
  bool redraw = false;         ///< the redraw switch after the last step

  [[nodiscard]] bool empty() const { return steps.empty(); }
};

/// Makes `batch`'s changes to `g`, then switches redraw on (so a view shows them) and
/// leaves it as the recorded grid had it. Grid errors propagate.
void replay(const GridBatch& batch, Grid& g);

/// A grid that keeps no cells: it writes every change into a GridBatch and hands the
/// batch on (`send`) when redraw is switched on and at least `interval` has passed since
/// the last one (the first at once), and on flush(). It knows its sizes, widths, heights
/// and current cell, so that a loader can write into it as into a GridStore; text()
/// throws std::logic_error, since the texts have gone with their batch.
class GridRecorder final : public Grid {
 public:
  using Send = std::function<void(GridBatch&& batch)>;

  GridRecorder(Send send, std::chrono::milliseconds interval);

  /// Hands on what was recorded since the last batch, if anything.
  void flush();

  void clear() override;
  [[nodiscard]] int rows() const override { return m_rows; }
  void setRows(int rows) override;
  [[nodiscard]] int cols() const override { return static_cast<int>(m_widths.size()); }
  void setCols(int cols) override;
  void insertColumn(int at) override;
  void setFixedRows(int n) override;
  void setFixedCols(int n) override;
  void setRedraw(bool on) override;
  [[nodiscard]] int rowHeight(int row) const override;
  void setRowHeight(int row, int twips) override;
  [[nodiscard]] int colWidth(int col) const override;
  void setColWidth(int col, int twips) override;
  void setColAlignment(int col, Alignment a) override;
  void setWordWrap(bool on) override;
  [[nodiscard]] int row() const override { return m_row; }
  void setRow(int row) override;
  [[nodiscard]] int col() const override { return m_col; }
  void setCol(int col) override;
  [[nodiscard]] std::string_view text(int row, int col) const override;
  void setText(int row, int col, std::string_view text) override;
  void setRowTexts(int row, std::span<const std::string> texts) override;
  void markFilled(int row, int col) override;
  void setSnapshot(int snapshot) override { step(GridBatch::Op::Snapshot, snapshot); }

 private:
  void checkRow(int row) const;
  void checkCol(int col) const;
  void step(GridBatch::Op op, int a = 0, int b = 0) { m_batch.steps.push_back({op, a, b}); }
  void addText(std::string_view text);

  Send m_send;
  std::chrono::milliseconds m_interval;
  std::chrono::steady_clock::time_point m_lastSent{};
  bool m_sentOnce = false;
  GridBatch m_batch;
  int m_rows = 0;
  std::vector<int> m_heights;
  std::vector<int> m_widths;
  int m_row = 0;
  int m_col = 0;
};

}  // namespace tarvolin::core
