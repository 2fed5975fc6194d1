// tarvolin-export: loads a report the way the viewer does and writes its grid to
// standard output, as TAB-separated text or as CSV.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/checked_output.h"
#include "app/derived_export.h"
#include "app/export_options.h"
#include "app/grid_writer.h"
#include "app/program_folder.h"
#include "app/series_export.h"
#include "core/compare/snapshot_compare.h"
#include "core/derived/comparison_derived.h"
#include "core/grid/constant_columns.h"
#include "core/grid/entry_filter.h"
#include "core/grid/grid_store.h"
#include "core/lockwait/deadlocks.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/kinds_index.h"
#include "core/read/report_loader.h"
#include "core/read/snapshot_load.h"
#include "core/values/snapshot_time.h"
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
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0) {  // closed: the spool file would take its descriptor
      m_error = std::strerror(errno);
      m_closed = true;
      return;
    }
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
  /// Whether standard input was not open at all.
  [[nodiscard]] bool closed() const { return m_closed; }

 private:
  std::string m_path;
  std::string m_error;
  bool m_closed = false;
};

/// Spools standard input into `spooled`; false, with the reason on standard error, when it fails.
bool spool(std::optional<SpooledInput>& spooled) {
  spooled.emplace();
  if (spooled->error().empty()) return true;
  std::fprintf(stderr, "tarvolin-export: Cannot %s standard input: %s\n", spooled->closed() ? "open" : "read",
               spooled->error().c_str());
  return false;
}

using app::standardOutput;

/// The grid in row order: shown columns only (width above 0) unless `allColumns`, none of
/// `leaveOut` (ascending), then the columns of `derived` when there is one, none of
/// `derivedLeaveOut` (ascending); nothing at all when no column of `g` is written. Written
/// out before it returns, so that what a mode says next on standard error follows it.
void exportGrid(const core::GridStore& g, int columns, bool allColumns, bool csv, const std::vector<int>& leaveOut = {},
                const core::GridStore* derived = nullptr, const std::vector<int>& derivedLeaveOut = {}) {
  std::vector<int> cols;
  for (int c = 0; c < columns && c < g.cols(); ++c)
    if ((allColumns || g.colWidth(c) > 0) && !std::binary_search(leaveOut.begin(), leaveOut.end(), c))
      cols.push_back(c);
  std::vector<int> more;
  for (int c = 0; derived != nullptr && !cols.empty() && c < derived->cols(); ++c)
    if (!std::binary_search(derivedLeaveOut.begin(), derivedLeaveOut.end(), c)) more.push_back(c);
  if (!more.empty())
    app::writeGrid(g, cols, *derived, more, csv, standardOutput());
  else
    app::writeGrid(g, cols, csv, standardOutput());
  standardOutput().flush();
}

/// --series, which reads its reports twice: standard input through a file.
int exportSpooledSeries(app::ExportOptions options, const char* argv0) {
  std::optional<SpooledInput> spooled;
  for (std::string& report : options.reports) {
    if (report != "-") continue;
    if (!spooled && !spool(spooled)) return 1;
    report = spooled->path();
  }
  return app::exportSeries(options, argv0);
}

/// --kinds: one line per kind of the report, in order of first appearance.
int exportKinds(const app::ExportOptions& options) {
  std::optional<SpooledInput> spooled;
  std::string path = options.report;
  if (path == "-") {  // read through a file, as every other mode
    if (!spool(spooled)) return 1;
    path = spooled->path();
  }
  try {
    const core::KindsIndex index = core::indexKinds(path);
    app::CheckedOutput& out = standardOutput();
    out.put("Kind\tSnapshots\tEntries\n");
    for (const core::KindSummary& k : index.kinds())
      out.put(k.heading + '\t' + std::to_string(k.snapshots) + '\t' + std::to_string(k.rows) + '\n');
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  return 0;
}

/// After a load of the default kind: names the file's other kinds, if any.
void noteOtherKinds(const core::KindsIndex& index, int loaded) {
  const std::vector<core::KindSummary>& kinds = index.kinds();
  if (kinds.size() < 2 || loaded < 0) return;
  std::fprintf(stderr,
               "tarvolin-export: the report holds %zu kinds; this is the first, \"%s\". --kind picks another:\n%s",
               kinds.size(), kinds[static_cast<size_t>(loaded)].heading.c_str(), core::listKinds(kinds).c_str());
}

/// --compare: the first snapshot of the earlier report against the last of the later one.
int compareReports(const app::ExportOptions& options, const char* argv0) {
  const std::optional<core::DerivedDefinitions> definitions = app::derivedDefinitionsFor(options, argv0);
  if (!definitions) return 1;
  std::optional<core::CounterTypes> types;
  try {
    types = core::loadCounterTypes(app::programFolder(argv0));
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
  // Each file read once (both snapshots in one pass when it is one file); written as text:
  // no column is ever sized.
  core::loadFirstAndLast(earlierPath, laterPath, ".", earlier, later, false, app::chosenKind(options));
  for (const core::LoadedSnapshot* s : {&earlier, &later})
    if (!s->error.empty() && (s == &earlier || s->error != earlier.error))  // one file: said once
      std::fprintf(stderr, "tarvolin-export: %s\n", s->error.c_str());
  if (earlier.noSuchKind || later.noSuchKind) return 2;
  if (!earlier.error.empty() || !later.error.empty()) return 1;
  try {
    core::Comparison c = core::compareSnapshots(earlier, later, *types, options.intervalMicros, options.dateOrder);
    const std::vector<const core::DerivedColumn*> kindColumns = definitions->forKind(later.shared.kindHeading);
    core::leaveOutPlaceholders(c, earlier, later, kindColumns);
    const core::DerivedFit fit = core::fitDerivedColumns(kindColumns, later.shared.vars, later.grid);
    if (options.derived) app::tellClashes(fit.clashes);
    const core::ComparisonDerived more(options.derived ? fit.columns : std::vector<const core::DerivedColumn*>{}, c);
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

/// A result grid without its hidden last column.
void exportResult(const core::GridStore& g, bool csv) { exportGrid(g, g.cols() - 1, true, csv); }

/// --lock-waits: the tree of who waits for whom.
int exportLockWaits(const app::ExportOptions& options) {
  core::LoadedSnapshot report;
  core::loadLockSnapshot(options.report, ".", report, app::chosenKind(options), false);  // no column is shown
  if (report.noSuchKind && options.kind.empty()) {
    if (!report.fileKinds.empty()) report.shared.kindHeading = report.fileKinds.front().heading;  // said below
  } else if (!report.error.empty()) {
    std::fprintf(stderr, "tarvolin-export: %s\n", report.error.c_str());
    return report.noSuchKind ? 2 : 1;
  }
  if (!core::holdsLockWaits(report.shared.kindHeading)) {
    std::fprintf(stderr, "tarvolin-export: --lock-waits needs a lock snapshot, not \"%s\"\n",
                 report.shared.kindHeading.c_str());
    return 1;
  }
  const core::LockWaits waits = core::findLockWaits(report.grid, report.shared.vars);
  core::GridStore grid;
  core::writeLockWaitGrid(waits, grid);
  exportResult(grid, options.csv);
  if (waits.rows.empty()) std::fprintf(stderr, "%s\n", std::string(core::kNoLockWaits).c_str());
  if (const std::string which = core::snapshotOfText(report.time); !which.empty())
    std::fprintf(stderr, "%s\n", which.c_str());
  std::fprintf(stderr, "%s\nApplications waiting: %d\n", report.status.c_str(), waits.waiting);
  return 0;
}

/// --deadlocks: one row per participant of each deadlock.
int exportDeadlocks(const app::ExportOptions& options) {
  std::vector<core::Deadlock> deadlocks;
  core::GridStore grid;
  try {  // the output's own failures go to main()
    deadlocks = core::readDeadlocks(options.report);
    core::writeDeadlockGrid(deadlocks, grid);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  exportResult(grid, options.csv);
  std::fprintf(stderr, "Deadlocks: %zu\n", deadlocks.size());
  return 0;
}

/// One run of the program; its exit status.
int run(int argc, char** argv) {
  std::string error;
  auto options = app::parseExportOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "tarvolin-export: %s\n%s\n", error.c_str(), app::kExportUsage);
    return 2;
  }
  if (options->action == app::ExportOptions::Action::Help) {
    standardOutput().put(app::exportHelp() + "\n");
    return 0;
  }
  if (options->action == app::ExportOptions::Action::Version) {
    standardOutput().put("tarvolin-export " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
                         "." + std::to_string(kVersionPatch) + "\n");
    return 0;
  }
  if (options->compare) return compareReports(*options, argv[0]);
  if (options->series) return exportSpooledSeries(*options, argv[0]);
  if (options->lockWaits) return exportLockWaits(*options);
  if (options->deadlocks) return exportDeadlocks(*options);
  if (options->kinds) return exportKinds(*options);
  if (options->statements) return app::exportStatements(*options, argv[0]);
  const std::optional<core::DerivedDefinitions> definitions = app::derivedDefinitionsFor(*options, argv[0]);
  if (!definitions) return 1;
  core::SharedState shared;
  core::LoadState load;
  core::GridStore grid;
  core::FixedTextMeasure measure;
  StderrObserver observer;

  core::EntryFilter filter;
  for (const app::ExportFilter& f : options->filters) filter.add(f.name, f.value);
  core::ReportLoader loader(shared, load, observer, measure, ".");  // .cfg files from the current folder
  loader.setSizeColumns(false);                                     // written as text: no column is ever sized
  loader.setKind(app::chosenKind(*options));
  loader.setEntryFilter(std::move(filter));
  loader.load(options->report, grid);
  if (loader.loadedKind() < 0 && !options->kind.empty() && !loader.index().kinds().empty()) {
    std::fprintf(stderr, "tarvolin-export: the report holds no kind \"%s\"; its kinds are:\n%s", options->kind.c_str(),
                 core::listKinds(loader.index().kinds()).c_str());
    return 2;
  }
  // The filter names its variables: one that the report has nowhere is a mistake, said
  // before anything is written. After a failed load, its error says enough.
  for (const app::ExportFilter& f : options->filters) {
    if (shared.vars.lookup(f.name) >= 0 || loader.counters().failed) continue;
    const auto derivedNamed = [&f](const core::DerivedColumn* d) { return d->name == f.name; };
    const bool isDerived = std::ranges::any_of(definitions->forKind(shared.kindHeading), derivedNamed);
    std::fprintf(stderr, "tarvolin-export: the report has no variable named \"%s\"%s\n", f.name.c_str(),
                 isDerived ? " (--filter takes the report's own variables, not its derived columns)" : "");
    return 1;
  }
  if (options->kind.empty()) noteOtherKinds(loader.index(), loader.loadedKind());
  // Columns the kind's configuration keeps for derived columns hold nothing of the report.
  const core::DerivedFit fit = core::fitDerivedColumns(definitions->forKind(shared.kindHeading), shared.vars, grid);
  std::vector<int> leaveOut = fit.placeholders;
  core::GridStore derivedGrid;
  std::vector<int> derivedLeaveOut;
  if (options->derived) {
    app::tellClashes(fit.clashes);
    app::computeDerivedColumns(fit.columns, shared.vars, grid, derivedGrid);
    if (options->hideConstant) derivedLeaveOut = core::constantColumns(derivedGrid);
  }
  if (options->hideConstant) {
    const std::vector<int> constant = core::constantColumns(grid);
    std::vector<int> both;
    std::ranges::set_union(leaveOut, constant, std::back_inserter(both));
    leaveOut = std::move(both);
  }
  exportGrid(grid, shared.vars.count(), options->allColumns, options->csv, leaveOut,
             options->derived ? &derivedGrid : nullptr, derivedLeaveOut);
  std::fprintf(stderr, "%s\n", observer.status().c_str());
  return observer.failed() ? 1 : 0;
}

}  // namespace

/// Every mode's output is checked up to the close of standard output. A failed write ends
/// the run at once with "Cannot write the output: <reason>" and status 1, except when the
/// reader of a pipe has gone (`tarvolin-export big.txt | head`): that run ends quietly with
/// status 0, as the reader has what it wanted. SIGPIPE is ignored so that this holds
/// whatever the caller did with the signal.
int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  try {
    const int status = run(argc, argv);
    // Text a mode printed through stdio instead is checked too.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) throw app::OutputError(errno != 0 ? errno : EIO);
    standardOutput().close();
    return status;
  } catch (const app::OutputError& e) {
    if (e.error() == EPIPE) return 0;
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
}
