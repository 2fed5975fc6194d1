// tarvolin-export: loads a report the way the viewer does and writes its grid to
// standard output, as TAB-separated text or as CSV.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/export_options.h"
#include "app/grid_writer.h"
#include "core/grid_store.h"
#include "core/report_parser.h"

namespace {

using namespace tarvolin;

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

/// The grid in row order: shown columns only (width above 0) unless `allColumns`.
void exportGrid(const core::GridStore& g, int columns, bool allColumns, bool csv) {
  std::vector<int> cols;
  for (int c = 0; c < columns && c < g.cols(); ++c)
    if (allColumns || g.colWidth(c) > 0) cols.push_back(c);
  app::writeGrid(g, cols, csv, stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = app::parseExportOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "tarvolin-export: %s\n%s\n", error.c_str(), app::kExportUsage);
    return 2;
  }
  core::SharedState shared;
  core::LoadState load;
  core::GridStore grid;
  core::FixedTextMeasure measure;
  StderrObserver observer;

  if (options->filter) {
    // The filter picks its column by index, as the viewer's reload does: a first load
    // finds the variable's index in this report. If that load fails, the second one
    // reports why.
    core::NullLoadObserver quiet;
    core::ReportLoader first(shared, load, quiet, measure, ".");
    first.do_refresh(options->report, grid);
    const int idx = shared.vars.lookup(options->filterName);
    if (idx < 0 && !first.counters().failed) {
      std::fprintf(stderr, "tarvolin-export: the report has no variable named \"%s\"\n", options->filterName.c_str());
      return 1;
    }
    if (idx >= 0) {
      load.like_col = static_cast<int16_t>(idx);
      load.like_val = options->filterValue;
    }
  }
  core::ReportLoader loader(shared, load, observer, measure, ".");  // .cfg files from the current folder
  loader.do_refresh(options->report, grid);
  exportGrid(grid, shared.vars.count(), options->allColumns, options->csv);
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", observer.status().c_str());
  return observer.failed() ? 1 : 0;
}
