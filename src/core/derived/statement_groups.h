#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/compare/snapshot_compare.h"
#include "core/derived/derived_columns.h"
#include "core/grid/grid_store.h"
#include "core/read/snapshot_load.h"
#include "core/read/variable_table.h"
#include "core/values/counter_types.h"
#include "core/values/decimal.h"

namespace tarvolin::core {

/// The kind --statements and "Statements by Shape" work on.
inline constexpr const char* kDynamicSqlKind = "Dynamic SQL Snapshot Result";
inline constexpr const char* kStatementTextName = "Statement text";
inline constexpr const char* kExecutionTimeName = "Total execution time (sec.microsec)";

/// The statements of one shape and their counters summed.
struct ShapeGroup {
  std::string shape;
  std::vector<int> rows;                     ///< the report's rows with this shape, in order
  std::vector<std::optional<Decimal>> sums;  ///< one per counter; empty where a value is no number
};

/// A Dynamic SQL report grouped by statement shape.
struct StatementShapes {
  std::vector<std::string> counters;  ///< the kind's counters, in column order
  std::vector<ShapeGroup> groups;     ///< by total execution time, largest first, empty last
};

/// Groups rows 1 to the last of `g` (columns are the variables of `vars`) by the shape of
/// their "Statement text", and sums each variable that `types` calls a counter. Ties keep
/// the order of the shapes' first statements. Cost: one pass over the cells of the counters
/// and one hash lookup per row; throws std::bad_alloc only.
[[nodiscard]] StatementShapes groupByShape(const GridStore& g, const VariableTable& vars, const CounterTypes& types);

/// Writes the groups as a result grid (see startResultGrid): "Statement shape", "Statements",
/// each counter's sum, then `derived` computed on the sums; the hidden column holds the
/// group's first report row. Throws std::bad_alloc only.
void writeShapeGrid(const StatementShapes& shapes, const std::vector<const DerivedColumn*>& derived, GridStore& out);

/// The statements of `group` for an entry detail: a header row "Statement shape",
/// "Statements", then "Entry N" for each report row N of the group, and one row with the
/// shape, the count and each entry's "Statement text" of `report`.
void writeShapeStatements(const ShapeGroup& group, const GridStore& report, const VariableTable& vars, GridStore& out);

/// Groups the statements of a comparison of two Dynamic SQL snapshots (compareSnapshots) by
/// the shape of their text and sums their change over the interval: "Executions", "Total
/// execution time (s)", "Rows read" and "CPU time (s)" (user plus system), in that order as
/// `counters`. A statement the later snapshot has and the earlier lacks, or whose counters went
/// down (it left the package cache and came back), is counted from zero: its later values;
/// so is every statement when the counters restarted in between (Comparison::resetNote). A statement gone by the later
/// snapshot ran no more: left out. A value that is no number leaves its sum empty. Ordered by total execution time,
/// largest first, as groupByShape; `rows` are the later grid's.
[[nodiscard]] StatementShapes groupChangesByShape(const Comparison& c, const LoadedSnapshot& earlier,
                                                  const LoadedSnapshot& later);

/// Writes groups of groupChangesByShape as a result grid: "Statement shape", "Statements",
/// the four sums, then each of them per execution ("Execution time per execution (s)",
/// "Rows read per execution", "CPU time per execution (s)"; empty without executions).
void writeShapeChangeGrid(const StatementShapes& shapes, GridStore& out);

/// Loads the statements to group from `path`: the last snapshot of its Dynamic SQL kind, or
/// of `kind` when one is chosen (a capture loop's snapshots each hold totals since the
/// database started: adding them up would count the same executions again). Returns the
/// number of snapshots of that kind; as loadLastSnapshot otherwise.
int loadStatementSnapshot(const std::string& path, const std::string& configFolder, LoadedSnapshot& out,
                          const KindChoice& kind = {}, bool sizeColumns = false);

/// What to tell when the statements of the last of `snapshots` snapshots were grouped:
/// "Statements of the last snapshot (3 of 3, 17:07:00)", the time when `time` has one.
[[nodiscard]] std::string lastSnapshotNote(int snapshots, std::string_view time);

/// Whether `kindHeading` is the kind whose statements can be grouped.
[[nodiscard]] inline bool holdsStatements(const std::string& kindHeading) { return kindHeading == kDynamicSqlKind; }

}  // namespace tarvolin::core
