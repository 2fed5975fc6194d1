#pragma once

#include <cstdint>

#include "core/grid/grid.h"
#include "core/read/shared_state.h"

namespace tarvolin::core {

/// Header row height set by every load, in twips.
inline constexpr int kHeaderRowHeight = 1200;
/// Narrowest shown column, in twips.
inline constexpr int kMinColWidth = 800;

/// Writes vals[0..lastCol] into row `row` of `g`, adding 100 rows when `row` is not
/// below the row count and widening the grid to lastCol + 1 columns. Grid errors propagate.
void writeEntryRow(int16_t lastCol, Grid& g, int32_t row, const LoadState& load);

/// Writes the header row and lays out columns 0..lastCol from the table: names in
/// row 0, width max(width, 800) when shown and 0 when hidden, word wrap on, left/top
/// alignment. Makes row 0 current. Grid errors propagate.
void writeHeaderRow(int16_t lastCol, Grid& g, const VariableTable& vars);

}  // namespace tarvolin::core
