#pragma once

#include <vector>

#include "core/compare/snapshot_compare.h"
#include "core/derived/derived_columns.h"
#include "core/grid/grid_store.h"

namespace tarvolin::core {

/// The derived columns of a comparison, each twice: NAME on the values the comparison shows
/// for each variable (the later snapshot's), then "NAME (in interval)" on each counter's
/// change (other variables as shown): the average over the interval, not since activation.
class ComparisonDerived {
 public:
  /// Bound to the columns of `c`, which must outlive this object.
  ComparisonDerived(const std::vector<const DerivedColumn*>& columns, const Comparison& c);

  /// Columns written: two per derived column.
  [[nodiscard]] int cols() const { return static_cast<int>(m_later.size()) * 2; }

  /// The names into row `row` of `out`, from column `first`.
  void writeHeader(GridStore& out, int row, int first) const;

  /// For rows [firstRow, lastRow) of `comparison` (a grid laid out as the comparison), the
  /// values into the same rows of `out` from column `first`; `out` must have them.
  void fill(const GridStore& comparison, int firstRow, int lastRow, GridStore& out, int first) const;

  /// The derived columns of one entry on their side, below the variables writeEntryChanges
  /// wrote: a row per derived column from row `row` of `out`, in columns `first` to `first + 3`:
  /// its name, its value on row `earlierRow` of `earlier` (by `onEarlier`, bound to its
  /// variables; empty for 0), and the value and, under Change, the value in the interval that
  /// row `row2` of `values` holds from column `valuesFirst` (as fill() wrote them; empty
  /// unless `inLater`). Returns the row after the last written.
  int writeChanges(const DerivedEvaluator& onEarlier, const LoadedSnapshot& earlier, int earlierRow, bool inLater,
                   const GridStore& values, int row2, int valuesFirst, GridStore& out, int row, int first) const;

 private:
  DerivedEvaluator m_later;
  DerivedEvaluator m_interval;
};

}  // namespace tarvolin::core
