#include "app/derived_export.h"
#include "app/program_folder.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/compare_export.h"
#include "app/grid_writer.h"
#include "app/spooled_input.h"
#include "core/derived/column_plan.h"
#include "core/derived/statement_groups.h"
#include "core/read/report_loader.h"
#include "core/read/snapshot_load.h"
#include "core/values/counter_types.h"

namespace tarvolin::app {

std::optional<core::DerivedDefinitions> readDerivedDefinitions(const char* argv0) {
  return readShippedList<core::DerivedDefinitions>(argv0, core::loadDerivedDefinitions);
}

std::optional<core::DerivedDefinitions> derivedDefinitionsFor(const ExportOptions& options, const char* argv0) {
  if (options.derived) return readDerivedDefinitions(argv0);
  std::vector<std::string> unsaid;
  return core::loadDerivedDefinitions(programFolder(argv0), ".", unsaid);
}

void tellClashes(const std::vector<std::string>& clashes) {
  for (const std::string& name : clashes)
    std::fprintf(stderr, "tarvolin-export: derived column \"%s\" left out: the report has a variable of that name\n",
                 name.c_str());
}

namespace {

/// --statements with a window: the change of each shape over it. Exit status.
int exportStatementChanges(const ExportOptions& options, const core::CounterTypes& types) {
  core::LoadedSnapshot first;
  core::LoadedSnapshot last;
  std::optional<SpooledInput> spooled;  // an empty window's last time is read again
  const std::string path = spooledPath(options.report, spooled);
  if (path.empty()) return 1;
  int status = 0;
  if (!loadWindowPair(options, {path}, core::KindChoice{0, core::kDynamicSqlKind}, first, last, status, "--statements"))
    return status;
  if (!core::holdsStatements(last.report().kindHeading)) {
    std::fprintf(stderr, "tarvolin-export: --statements needs a Dynamic SQL snapshot, not \"%s\"\n",
                 last.report().kindHeading.c_str());
    return 1;
  }
  core::StatementShapes shapes;
  try {
    const core::Comparison c = core::compareSnapshots(first, last, types, std::nullopt, options.dateOrder);
    shapes = core::groupChangesByShape(c, first, last);
    std::fprintf(stderr, "Change from %s to %s\n%s\n", first.time().c_str(), last.time().c_str(),
                 c.intervalNote.c_str());
    if (!c.resetNote.empty()) std::fprintf(stderr, "Counted from zero: %s\n", c.resetNote.c_str());
  } catch (const core::CompareError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  core::GridStore grid;
  core::writeShapeChangeGrid(shapes, grid);
  exportGrid(grid, grid.cols() - 1, true, options.csv);
  std::fprintf(stderr, "Statement shapes: %zu\n", shapes.groups.size());
  return 0;
}

}  // namespace

int exportStatements(const ExportOptions& options, const char* argv0) {
  const std::optional<core::CounterTypes> types = readCounterTypes(argv0);
  if (!types) return 1;
  if (options.window.given()) return exportStatementChanges(options, *types);
  const std::optional<core::DerivedDefinitions> defs = readDerivedDefinitions(argv0);
  if (!defs) return 1;
  core::LoadedSnapshot report;
  const int snapshots = core::loadStatementSnapshot(options.report, ".", report, chosenKind(options));
  if (report.noSuchKind && options.kind.empty() && !report.fileKinds.empty()) {
    report.report().kindHeading = report.fileKinds.front().heading;  // said below
  } else if (!report.error.empty()) {
    std::fprintf(stderr, "tarvolin-export: %s\n", report.error.c_str());
    return report.noSuchKind && !options.kind.empty() ? 2 : 1;
  }
  if (!core::holdsStatements(report.report().kindHeading)) {
    std::fprintf(stderr, "tarvolin-export: --statements needs a Dynamic SQL snapshot, not \"%s\"\n",
                 report.report().kindHeading.c_str());
    return 1;
  }
  const core::StatementShapes shapes = core::groupByShape(report.grid, report.report().vars, *types);
  core::GridStore grid;
  const core::ColumnPlan plan(&*defs, report.report().kindHeading, report.report().vars, report.grid);
  tellClashes(plan.clashes());
  core::writeShapeGrid(shapes, plan.columns(), grid);
  writeGrid(grid, firstColumns(grid.cols() - 1), options.csv, standardOutput());  // but the hidden last
  standardOutput().flush();
  if (snapshots > 1) std::fprintf(stderr, "%s\n", core::lastSnapshotNote(snapshots, report.time()).c_str());
  std::fprintf(stderr, "%s\nStatement shapes: %zu\n", report.status.c_str(), shapes.groups.size());
  return 0;
}

}  // namespace tarvolin::app
