#include "app/compare_export.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/checked_output.h"
#include "app/derived_export.h"
#include "app/grid_writer.h"
#include "app/program_folder.h"
#include "app/spooled_input.h"
#include "core/compare/snapshot_compare.h"
#include "core/derived/column_plan.h"
#include "core/derived/comparison_derived.h"
#include "core/read/snapshot_load.h"

namespace tarvolin::app {

/// --compare: the first snapshot of the earlier report against the last of the later one.
int exportComparison(const ExportOptions& options, const char* argv0) {
  const std::optional<core::DerivedDefinitions> definitions = derivedDefinitionsFor(options, argv0);
  if (!definitions) return 1;
  const std::optional<core::CounterTypes> types = readCounterTypes(argv0);
  if (!types) return 1;
  std::optional<SpooledInput> spooled;  // standard input can be read only once
  const std::string laterPath = spooledPath(options.report, spooled);
  const std::string earlierPath = spooledPath(options.earlierReport, spooled);
  if (laterPath.empty() || earlierPath.empty()) return 1;
  core::LoadedSnapshot earlier;
  core::LoadedSnapshot later;
  // Each file read once (both snapshots in one pass when it is one file); written as text:
  // no column is ever sized.
  core::loadFirstAndLast(earlierPath, laterPath, ".", earlier, later, false, chosenKind(options));
  for (const core::LoadedSnapshot* s : {&earlier, &later})
    if (!s->error.empty() && (s == &earlier || s->error != earlier.error))  // one file: said once
      std::fprintf(stderr, "tarvolin-export: %s\n", s->error.c_str());
  if (earlier.noSuchKind || later.noSuchKind) return 2;
  if (!earlier.error.empty() || !later.error.empty()) return 1;
  try {
    core::Comparison c = core::compareSnapshots(earlier, later, *types, options.intervalMicros, options.dateOrder);
    const core::ColumnPlan plan(&*definitions, later.report().kindHeading, later.report().vars, later.grid,
                                options.derived);
    plan.leaveOutPlaceholders(c, earlier, later);
    tellClashes(plan.clashes());
    const core::ComparisonDerived more(plan.columns(), c);
    // Written a slice of rows at a time, so that the comparison never holds a third grid.
    constexpr size_t kSlice = 4096;
    core::GridStore slice;
    core::GridStore extra;  // --derived: the derived columns of the slice
    extra.setCols(more.cols());
    slice.setCols(c.cols);
    slice.setRows(1);
    extra.setRows(1);
    core::writeComparisonHeader(c, later, slice, 0);
    more.writeHeader(extra, 0, 0);
    exportGrid(slice, c.cols, true, options.csv, {}, options.derived ? &extra : nullptr);
    for (size_t first = 0; first < c.entries.size(); first += kSlice) {
      const size_t last = std::min(first + kSlice, c.entries.size());
      slice.clear();
      slice.setRows(static_cast<int>(last - first));
      core::writeComparison(c, earlier, later, first, last, slice, 0);
      extra.clear();
      extra.setRows(slice.rows());
      more.fill(slice, 0, slice.rows(), extra, 0);
      exportGrid(slice, c.cols, true, options.csv, {}, options.derived ? &extra : nullptr);
    }
    const core::CompareCounts& n = c.counts;
    std::fprintf(stderr, "%s\n", c.intervalNote.c_str());
    if (!c.resetNote.empty()) std::fprintf(stderr, "Every entry reset, no change or rate: %s\n", c.resetNote.c_str());
    std::fprintf(stderr, "%s\n%s\nEntries matched: %d, new: %d, gone: %d, reset: %d, changed: %d\n",
                 earlier.status.c_str(), later.status.c_str(), n.matched, n.added, n.gone, n.reset, n.changed);
  } catch (const core::CompareError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace tarvolin::app
