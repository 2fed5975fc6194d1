// tarvolin-export: loads a report the way the viewer does and writes its grid to
// standard output, as TAB-separated text or as CSV.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/export_options.h"
#include "app/grid_writer.h"
#include "app/series_export.h"
#include "core/compare/snapshot_compare.h"
#include "core/grid_store.h"
#include "core/lockwait/deadlocks.h"
#include "core/lockwait/lock_waits.h"
#include "core/report_loader.h"
#include "core/version.h"

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

/// Standard input copied whole to a temporary file (in $TMPDIR, else /tmp), for a report
/// that is read more than once; removed with this object. When it can't be copied whole,
/// error() says why and no file is left.
class SpooledInput {
 public:
  SpooledInput() {
    const char* tmp = std::getenv("TMPDIR");
    std::string name = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tarvolin-export-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
      m_error = std::strerror(errno);
      return;
    }
    m_path = name;
    std::FILE* out = ::fdopen(fd, "wb");
    if (out == nullptr) ::close(fd);
    bool whole = out != nullptr;
    char buf[1 << 16];
    for (size_t n; whole && (n = std::fread(buf, 1, sizeof buf, stdin)) > 0;) whole = std::fwrite(buf, 1, n, out) == n;
    whole = whole && !std::ferror(stdin);
    int err = errno;
    if (out != nullptr && std::fclose(out) != 0 && whole) {
      whole = false;
      err = errno;
    }
    if (!whole) {
      m_error = std::strerror(err);
      ::unlink(m_path.c_str());
      m_path.clear();
    }
  }
  ~SpooledInput() {
    if (!m_path.empty()) ::unlink(m_path.c_str());
  }
  SpooledInput(const SpooledInput&) = delete;
  SpooledInput& operator=(const SpooledInput&) = delete;
  [[nodiscard]] const std::string& path() const { return m_path; }
  /// Why standard input could not be copied, or empty.
  [[nodiscard]] const std::string& error() const { return m_error; }

 private:
  std::string m_path;
  std::string m_error;
};

/// Spools standard input into `spooled`; false, with the reason on standard error, when it fails.
bool spool(std::optional<SpooledInput>& spooled) {
  spooled.emplace();
  if (spooled->error().empty()) return true;
  std::fprintf(stderr, "tarvolin-export: Cannot read standard input: %s\n", spooled->error().c_str());
  return false;
}

/// The grid in row order: shown columns only (width above 0) unless `allColumns`.
void exportGrid(const core::GridStore& g, int columns, bool allColumns, bool csv) {
  std::vector<int> cols;
  for (int c = 0; c < columns && c < g.cols(); ++c)
    if (allColumns || g.colWidth(c) > 0) cols.push_back(c);
  app::writeGrid(g, cols, csv, stdout);
}

/// --compare: the first snapshot of the earlier report against the last of the later one.
int compareReports(const app::ExportOptions& options, const char* argv0) {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) program = std::filesystem::absolute(argv0);
  std::optional<core::CounterTypes> types;
  try {
    types = core::loadCounterTypes(program.parent_path());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  std::optional<SpooledInput> spooled;
  std::string earlierPath = options.earlierReport;
  std::string laterPath = options.report;
  if (laterPath == "-" || earlierPath == "-") {  // standard input can be read only once
    if (!spool(spooled)) return 1;
    (laterPath == "-" ? laterPath : earlierPath) = spooled->path();
    if (earlierPath == "-") earlierPath = spooled->path();
  }
  core::LoadedSnapshot earlier;
  core::LoadedSnapshot later;
  core::loadSnapshotPair(earlierPath, 0, laterPath, core::ReportLoader::kLastSnapshot, ".", earlier, later,
                         false);  // written as text: no column is ever sized
  for (const core::LoadedSnapshot* s : {&earlier, &later})
    if (!s->error.empty()) std::fprintf(stderr, "tarvolin-export: %s\n", s->error.c_str());
  if (!earlier.error.empty() || !later.error.empty()) return 1;
  try {
    core::Comparison c = core::compareSnapshots(earlier, later, *types, options.intervalMicros);
    // Written a slice of rows at a time, so that the comparison never holds a third grid.
    constexpr size_t kSlice = 4096;
    core::GridStore slice;
    slice.setCols(c.cols);
    slice.setRows(1);
    core::writeComparisonHeader(c, later, slice, 0);
    exportGrid(slice, c.cols, true, options.csv);
    for (size_t first = 0; first < c.entries.size(); first += kSlice) {
      const size_t last = std::min(first + kSlice, c.entries.size());
      slice.clear();
      slice.setRows(static_cast<int>(last - first));
      core::writeComparison(c, earlier, later, first, last, slice, 0);
      exportGrid(slice, c.cols, true, options.csv);
    }
    std::fflush(stdout);
    const core::CompareCounts& n = c.counts;
    std::fprintf(stderr, "%s\n%s\n%s\nEntries matched: %d, new: %d, gone: %d, reset: %d, changed: %d\n",
                 c.intervalNote.c_str(), earlier.status.c_str(), later.status.c_str(), n.matched, n.added, n.gone,
                 n.reset, n.changed);
  } catch (const core::CompareError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  return 0;
}

/// A result grid without its hidden last column.
void exportResult(const core::GridStore& g, bool csv) {
  exportGrid(g, g.cols() - 1, true, csv);
  std::fflush(stdout);
}

/// --lock-waits: the tree of who waits for whom.
int exportLockWaits(const app::ExportOptions& options) {
  core::LoadedSnapshot report;
  core::loadSnapshot(options.report, core::ReportLoader::kWholeFile, ".", report, false);  // no column is shown
  if (!report.error.empty()) {
    std::fprintf(stderr, "tarvolin-export: %s\n", report.error.c_str());
    return 1;
  }
  if (!core::holdsLockWaits(report.shared.snaptype)) {
    std::fprintf(stderr, "tarvolin-export: --lock-waits needs a lock snapshot, not \"%s\"\n",
                 report.shared.snaptype.c_str());
    return 1;
  }
  const core::LockWaits waits = core::findLockWaits(report.grid, report.shared.vars);
  core::GridStore grid;
  core::writeLockWaitGrid(waits, grid);
  exportResult(grid, options.csv);
  if (waits.rows.empty()) std::fprintf(stderr, "%s\n", std::string(core::kNoLockWaits).c_str());
  std::fprintf(stderr, "%s\nApplications waiting: %d\n", report.status.c_str(), waits.waiting);
  return 0;
}

/// --deadlocks: one row per participant of each deadlock.
int exportDeadlocks(const app::ExportOptions& options) {
  try {
    const std::vector<core::Deadlock> deadlocks = core::readDeadlocks(options.report);
    core::GridStore grid;
    core::writeDeadlockGrid(deadlocks, grid);
    exportResult(grid, options.csv);
    std::fprintf(stderr, "Deadlocks: %zu\n", deadlocks.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  auto options = app::parseExportOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "tarvolin-export: %s\n%s\n", error.c_str(), app::kExportUsage);
    return 2;
  }
  if (options->action == app::ExportOptions::Action::Help) {
    std::printf("%s\n\n%s\n", app::kExportUsage, app::kExportHelp);
    return 0;
  }
  if (options->action == app::ExportOptions::Action::Version) {
    std::printf("tarvolin-export %d.%d.%d\n", kVersionMajor, kVersionMinor, kVersionPatch);
    return 0;
  }
  if (options->compare) return compareReports(*options, argv[0]);
  if (options->series) {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return app::exportSeries(*options, (ec ? std::filesystem::absolute(argv[0]) : program).parent_path());
  }
  if (options->lockWaits) return exportLockWaits(*options);
  if (options->deadlocks) return exportDeadlocks(*options);
  core::SharedState shared;
  core::LoadState load;
  core::GridStore grid;
  core::FixedTextMeasure measure;
  StderrObserver observer;

  std::optional<SpooledInput> spooled;
  if (options->filter && options->report == "-") {  // standard input can be read only once
    if (!spool(spooled)) return 1;
    options->report = spooled->path();
  }
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
  loader.setSizeColumns(false);                                     // written as text: no column is ever sized
  loader.do_refresh(options->report, grid);
  exportGrid(grid, shared.vars.count(), options->allColumns, options->csv);
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", observer.status().c_str());
  return observer.failed() ? 1 : 0;
}
