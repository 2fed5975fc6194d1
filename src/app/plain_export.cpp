#include "app/plain_export.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/checked_output.h"
#include "app/derived_export.h"
#include "app/grid_writer.h"
#include "app/spooled_input.h"
#include "core/derived/column_plan.h"
#include "core/grid/constant_columns.h"
#include "core/grid/entry_filter.h"
#include "core/grid/grid_store.h"
#include "core/read/report_loader.h"

namespace tarvolin::app {

namespace {

/// Reports load errors on standard error.
class StderrObserver : public core::NullLoadObserver {
 public:
  void setStatus(const std::string& text) override { m_status = text; }
  void showError(const std::string& message) override {
    std::fprintf(stderr, "tarvolin-export: %s\n", message.c_str());
    m_failed = true;
  }
  [[nodiscard]] const std::string& status() const { return m_status; }
  [[nodiscard]] bool failed() const { return m_failed; }

 private:
  std::string m_status;
  bool m_failed = false;
};

/// After a load of the default kind: names the file's other kinds, if any.
void noteOtherKinds(const core::KindsIndex& index, int loaded) {
  const std::vector<core::KindSummary>& kinds = index.kinds();
  if (kinds.size() < 2 || loaded < 0) return;
  std::fprintf(stderr,
               "tarvolin-export: the report holds %zu kinds; this is the first, \"%s\". --kind picks another:\n%s",
               kinds.size(), kinds[static_cast<size_t>(loaded)].heading.c_str(), core::listKinds(kinds).c_str());
}

}  // namespace

int exportReport(const ExportOptions& options, const char* argv0) {
  const std::optional<core::DerivedDefinitions> definitions = derivedDefinitionsFor(options, argv0);
  if (!definitions) return 1;
  core::SharedState shared;
  core::LoadState load;
  core::GridStore grid;
  core::Report& report = grid.report();
  core::FixedTextMeasure measure;
  StderrObserver observer;

  core::EntryFilter filter;
  for (const ExportFilter& f : options.filters) filter.add(f.name, f.value);
  core::ReportLoader loader(shared, report, load, observer, measure, ".");  // .cfg files from the current folder
  loader.setSizeColumns(false);                                             // written as text: no column is ever sized
  loader.setKind(chosenKind(options));
  loader.setEntryFilter(std::move(filter));
  loader.load(options.report, grid);
  if (loader.loadedKind() < 0 && !options.kind.empty() && !loader.index().kinds().empty()) {
    std::fprintf(stderr, "tarvolin-export: the report holds no kind \"%s\"; its kinds are:\n%s", options.kind.c_str(),
                 core::listKinds(loader.index().kinds()).c_str());
    return 2;
  }
  const core::ColumnPlan plan(&*definitions, report.kindHeading, report.vars, grid, options.derived);
  // The filter names its variables: one that the report has nowhere is a mistake, said
  // before anything is written. After a failed load, its error says enough.
  for (const ExportFilter& f : options.filters) {
    if (report.vars.lookup(f.name) >= 0 || loader.counters().failed) continue;
    std::fprintf(
        stderr, "tarvolin-export: the report has no variable named \"%s\"%s\n", f.name.c_str(),
        plan.isDerivedName(f.name) ? " (--filter takes the report's own variables, not its derived columns)" : "");
    return 1;
  }
  if (options.kind.empty()) noteOtherKinds(loader.index(), loader.loadedKind());
  // Columns the kind's configuration keeps for derived columns hold nothing of the report.
  std::vector<int> leaveOut = plan.placeholders();
  core::GridStore derivedGrid;
  std::vector<int> derivedLeaveOut;
  if (options.derived) {
    tellClashes(plan.clashes());
    plan.computeInto(report.vars, grid, derivedGrid);
    if (options.hideConstant) derivedLeaveOut = core::constantColumns(derivedGrid);
  }
  if (options.hideConstant) {
    const std::vector<int> constant = core::constantColumns(grid);
    std::vector<int> both;
    std::ranges::set_union(leaveOut, constant, std::back_inserter(both));
    leaveOut = std::move(both);
  }
  exportGrid(grid, report.vars.count(), options.allColumns, options.csv, leaveOut,
             options.derived ? &derivedGrid : nullptr, derivedLeaveOut);
  std::fprintf(stderr, "%s\n", observer.status().c_str());
  return observer.failed() ? 1 : 0;
}

}  // namespace tarvolin::app
