#pragma once

#include <cstdint>

#include "core/grid/grid.h"
#include "core/read/shared_state.h"

namespace tarvolin::core {

/// Header row height set by every load, in twips.
inline constexpr int kHeaderRowHeight = 1200;
/// Narrowest shown column, in twips.
inline constexpr int kMinColWidth = 800;

/// Writes vals[0..maxcol] into row `lineno` of `g`, adding 100 rows when `lineno`
/// is not below the row count and widening the grid to maxcol + 1 columns.
/// `r` is the entry's ordinal, kept for the record. Grid errors propagate.
void outputentry(int32_t r, int16_t maxcol, Grid& g, int32_t lineno, const LoadState& load);

/// Writes the header row and lays out columns 0..maxcol from the table: names in
/// row 0, width max(width, 800) when shown and 0 when hidden, word wrap on, left/top
/// alignment. Makes row 0 current. Grid errors propagate.
void outputheaders(int16_t maxcol, Grid& g, const VariableTable& vars);

}  // namespace tarvolin::core
