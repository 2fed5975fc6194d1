#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/compare/snapshot_compare.h"
#include "core/derived/derived_columns.h"
#include "core/grid/grid_store.h"
#include "core/grid/text_measure.h"
#include "core/read/shared_state.h"
#include "core/read/snapshot_load.h"
#include "core/read/variable_table.h"

namespace tarvolin::core {

/// A row filter by the name of its column: a report variable's or a derived column's.
struct ColumnFilter {
  std::string column;
  std::string value;
};

/// How the derived columns of one kind meet one loaded report, sorted out once: the columns
/// to compute, the report's columns that only stand for one (placeholders), the ones left out
/// for a variable of their name (clashes), and the row filters on derived columns, which
/// only apply once those columns are computed. Every feature that shows derived columns (or
/// leaves out their placeholders) makes one and applies it. Holds copies of the definitions,
/// so it outlives them.
class ColumnPlan {
 public:
  /// No derived columns: nothing to compute, nothing left out.
  ColumnPlan() = default;

  /// The derived columns of `definitions` (none when null) for the report of heading `kind`
  /// loaded into `vars` and `grid`. With `addDerived` they are to be computed (clashes left
  /// out) and `filters` are kept for addTo(); without, the plan only knows their names and
  /// placeholders. Cost: a scan of the definitions and of each placeholder's column.
  ColumnPlan(const DerivedDefinitions* definitions, std::string_view kind, const VariableTable& vars,
             const GridStore& grid, bool addDerived = true, std::vector<ColumnFilter> filters = {});

  /// The derived columns to compute, in the definitions' order: none without addDerived.
  /// Valid while the plan is.
  [[nodiscard]] std::vector<const DerivedColumn*> columns() const { return pointersTo(m_columns); }

  /// The report's columns that stand for a derived column of the kind: named as one and
  /// empty in every row (its configuration lists it once Customise saved it). Ascending.
  [[nodiscard]] const std::vector<int>& placeholders() const { return m_placeholders; }

  /// Derived columns left out because the report has a variable of their name that holds
  /// values: none without addDerived.
  [[nodiscard]] const std::vector<std::string>& clashes() const { return m_clashes; }

  /// The filters addTo() applies after computing the derived columns.
  [[nodiscard]] const std::vector<ColumnFilter>& filters() const { return m_filters; }

  /// Whether `name` is one of the kind's derived columns (a clash too).
  [[nodiscard]] bool isDerivedName(std::string_view name) const;

  /// Before a reload of the report this plan was made for: when the filter of `load` is on
  /// a column of `vars` (the report's table as this plan left it) that is a derived column
  /// the plan adds, takes it out of `load` (which cannot fill that column) and returns it,
  /// for the next plan's addTo(). Otherwise leaves `load` alone and returns nothing.
  [[nodiscard]] std::optional<ColumnFilter> takeDerivedFilter(const VariableTable& vars, LoadState& load) const;

  /// Applies the plan to the report it was made for, in place. With addDerived: each column
  /// to compute becomes a variable, the placeholder of its name (the configuration may list
  /// it, shown or hidden) or else a new one at the end (none once the table is full), with
  /// its name in the header row and its values in rows 1 to the last, as wide as the column
  /// width rule makes it with `measure` when its variable is shown, 0 when hidden; then only
  /// the rows that pass each filter (on a column of its name) are kept. Without addDerived:
  /// the placeholders are hidden (width 0). Returns the indices of the columns added.
  std::vector<int> addTo(VariableTable& vars, GridStore& grid, TextMeasure& measure) const;

  /// The columns computed on `grid` (whose columns are the variables `vars`) into `out`: a
  /// header row and a row for each of `grid`'s, one column per derived column.
  void computeInto(const VariableTable& vars, const GridStore& grid, GridStore& out) const;

  /// Takes out of `c` (as compareSnapshots made it of `earlier` and `later`, nothing written
  /// yet) the variables that stand for a derived column of the kind in both snapshots (named
  /// as one and empty, or lacking, in each), whether or not the columns are added, and lays
  /// its columns out again: the comparison then holds the reports' own variables only.
  void leaveOutPlaceholders(Comparison& c, const LoadedSnapshot& earlier, const LoadedSnapshot& later) const;

 private:
  std::vector<DerivedColumn> m_kindColumns;  ///< all of the kind's, clashes too
  std::vector<DerivedColumn> m_columns;      ///< to compute
  std::vector<int> m_placeholders;
  std::vector<std::string> m_clashes;
  std::vector<ColumnFilter> m_filters;
  bool m_addDerived = false;
};

}  // namespace tarvolin::core
