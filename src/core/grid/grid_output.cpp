#include "core/grid/grid_output.h"

namespace tarvolin::core {

void outputentry(int32_t /*r*/, int16_t maxcol, Grid& g, int32_t lineno, const LoadState& load) {
  if (lineno >= g.rows()) g.setRows(g.rows() + 100);
  if (maxcol >= g.cols()) g.setCols(maxcol + 1);
  if (maxcol >= 0) g.setRowTexts(lineno, std::span(load.vals).first(static_cast<size_t>(maxcol) + 1));
}

void outputheaders(int16_t maxcol, Grid& g, const VariableTable& vars) {
  g.setRow(0);
  if (maxcol >= g.cols()) g.setCols(maxcol + 1);
  for (int i = 0; i <= maxcol; ++i) {
    const perfvar& v = vars[i];
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
