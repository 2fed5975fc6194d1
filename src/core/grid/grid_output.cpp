#include "core/grid/grid_output.h"

namespace tarvolin::core {

void writeEntryRow(int16_t lastCol, Grid& g, int32_t row, const LoadState& load) {
  if (row >= g.rows()) g.setRows(g.rows() + 100);
  if (lastCol >= g.cols()) g.setCols(lastCol + 1);
  if (lastCol >= 0) g.setRowTexts(row, std::span(load.vals).first(static_cast<size_t>(lastCol) + 1));
}

void writeHeaderRow(int16_t lastCol, Grid& g, const VariableTable& vars) {
  g.setRow(0);
  if (lastCol >= g.cols()) g.setCols(lastCol + 1);
  for (int i = 0; i <= lastCol; ++i) {
    const Variable& v = vars[i];
    g.setText(0, i, v.name);
    if (v.show) {
      g.setColWidth(i, v.width);
      if (g.colWidth(i) < kMinColWidth) g.setColWidth(i, kMinColWidth);
    } else {
      g.setColWidth(i, 0);
    }
    g.setCol(i);
    g.setWordWrap(true);
    g.setColAlignment(i, Alignment::LeftTop);
  }
}

}  // namespace tarvolin::core
