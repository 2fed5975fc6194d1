#pragma once

#include <string>
#include <vector>

#include "core/grid/grid_store.h"

namespace tarvolin::core {

/// Clears `out` and gives it `heads` as its header row, `rows` rows below it and one more
/// column, of width 0, for each row's entry in the report (see setResultRow).
void startResultGrid(GridStore& out, const std::vector<std::string>& heads, int rows);

/// Writes `texts` (as many as the heads) and `entryRow` into row `row` of a result grid.
void setResultRow(GridStore& out, int row, const std::vector<std::string>& texts, int entryRow);

/// Widens each shown column to its longest text (header included), up to a limit; one pass
/// over the cells.
void fitResultColumns(GridStore& g);

/// The report row kept in the hidden last column of row `row`, 0 for none.
[[nodiscard]] int resultEntryRow(const GridStore& g, int row);

}  // namespace tarvolin::core
