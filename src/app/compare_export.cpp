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
#include "core/compare/entry_changes.h"
#include "core/compare/snapshot_compare.h"
#include "core/derived/column_plan.h"
#include "core/derived/comparison_derived.h"
#include "core/read/snapshot_load.h"
#include "core/series/series.h"

namespace tarvolin::app {

namespace {

/// Rows a slice of the comparison holds at most: it never holds a third grid of the snapshots' size.
constexpr size_t kSlice = 4096;

/// The comparison a row per entry, written a slice of rows at a time.
void writeWide(core::Comparison& c, const core::LoadedSnapshot& earlier, const core::LoadedSnapshot& later,
               const core::ComparisonDerived& more, bool derived, bool csv) {
  core::GridStore slice;
  core::GridStore extra;  // --derived: the derived columns of the slice
  extra.setCols(more.cols());
  slice.setCols(c.cols);
  slice.setRows(1);
  extra.setRows(1);
  core::writeComparisonHeader(c, later, slice, 0);
  more.writeHeader(extra, 0, 0);
  exportGrid(slice, c.cols, true, csv, {}, derived ? &extra : nullptr);
  for (size_t first = 0; first < c.entries.size(); first += kSlice) {
    const size_t last = std::min(first + kSlice, c.entries.size());
    slice.clear();
    slice.setRows(static_cast<int>(last - first));
    core::writeComparison(c, earlier, later, first, last, slice, 0);
    extra.clear();
    extra.setRows(slice.rows());
    more.fill(slice, 0, slice.rows(), extra, 0);
    exportGrid(slice, c.cols, true, csv, {}, derived ? &extra : nullptr);
  }
}

/// --transpose: a row per variable of each entry, as the comparison window shows one entry;
/// with more than one entry, each row begins with the entry's key.
void writeSideways(core::Comparison& c, const core::LoadedSnapshot& earlier, const core::LoadedSnapshot& later,
                   const core::ColumnPlan& plan, const core::ComparisonDerived& more, bool derived, bool csv) {
  const int first = c.entries.size() == 1 ? 0 : 1;
  core::GridStore out;
  out.setCols(first + static_cast<int>(core::kEntryChangeHeads.size()));
  out.setRows(1);
  if (first > 0) out.setText(0, 0, "Entry");
  core::writeEntryChangeHeads(out, 0, first);
  exportGrid(out, out.cols(), true, csv);
  const int choice = core::EntryKeys::commonChoice(earlier, later);
  const core::EntryKeys earlierKeys(earlier, choice);
  const core::EntryKeys laterKeys(later, choice);
  const core::DerivedEvaluator onEarlier(plan.columns(), earlier.report().vars);
  const int perEntry = static_cast<int>(c.vars.size()) + (derived ? more.cols() / 2 : 0);
  core::GridStore row;
  core::GridStore extra;
  row.setCols(c.cols);
  extra.setCols(more.cols());
  out.clear();
  out.setRows(0);
  for (size_t i = 0; i < c.entries.size(); ++i) {
    const core::ComparedEntry& e = c.entries[i];
    row.clear();
    row.setRows(1);
    core::writeComparison(c, earlier, later, i, i + 1, row, 0);
    const int at = out.rows();
    out.setRows(at + perEntry);
    int next = core::writeEntryChanges(c, e, earlier, later, row, 0, out, at, first);
    if (derived) {
      extra.clear();
      extra.setRows(1);
      more.fill(row, 0, 1, extra, 0);
      next = more.writeChanges(onEarlier, earlier, e.earlierRow, e.laterRow > 0, extra, 0, 0, out, next, first);
    }
    if (first > 0) {
      const std::string key =
          core::entryKeyText(e.laterRow > 0 ? laterKeys.parts(e.laterRow) : earlierKeys.parts(e.earlierRow));
      for (int r = at; r < next; ++r) out.setText(r, 0, key);
    }
    if (out.rows() >= static_cast<int>(kSlice) || i + 1 == c.entries.size()) {
      exportGrid(out, out.cols(), true, csv);
      out.clear();
      out.setRows(0);
    }
  }
}

/// The first snapshot of the earlier report and the last of the later one; false, with the
/// reason on standard error and `status` set, when they can't be had.
bool loadEnds(const ExportOptions& options, const std::string& earlierPath, const std::string& laterPath,
              core::LoadedSnapshot& earlier, core::LoadedSnapshot& later, int& status) {
  // Each file read once (both snapshots in one pass when it is one file); written as text:
  // no column is ever sized.
  core::loadFirstAndLast(earlierPath, laterPath, ".", earlier, later, false, chosenKind(options));
  for (const core::LoadedSnapshot* s : {&earlier, &later})
    if (!s->error.empty() && (s == &earlier || s->error != earlier.error))  // one file: said once
      std::fprintf(stderr, "tarvolin-export: %s\n", s->error.c_str());
  status = earlier.noSuchKind || later.noSuchKind ? 2 : 1;
  return earlier.error.empty() && later.error.empty();
}

}  // namespace

bool loadWindowPair(const ExportOptions& options, const std::vector<std::string>& paths,
                    const core::KindChoice& fallback, core::LoadedSnapshot& first, core::LoadedSnapshot& last,
                    int& status, const char* mode) {
  core::SeriesSource source{paths, std::nullopt, ".", options.dateOrder, fallback, options.window};
  if (!options.kind.empty()) source.kind = options.kind;
  status = 1;
  try {
    const int n = core::loadWindowEnds(source, first, last, [&](const std::string& note) {
      if (paths.size() > 1) std::fprintf(stderr, "%s\n", note.c_str());  // one file: said below
    });
    if (n == 0) {
      const std::string kind = !options.kind.empty() ? options.kind : fallback.heading;
      std::fprintf(stderr, "tarvolin-export: %s no %s\n",
                   paths.size() > 1 ? "the reports hold" : (paths[0] + " holds").c_str(),
                   kind.empty() ? "report" : kind.c_str());
      if (!options.kind.empty()) status = 2;  // a kind the capture lacks, as without a window
      return false;
    }
    if (n > 1) return true;
    std::fprintf(stderr, "tarvolin-export: %s holds one snapshot (%s): %s needs two\n", options.window.text().c_str(),
                 last.time().empty() ? "without a time" : last.time().c_str(), mode);
  } catch (const core::NoSuchKindError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
  } catch (const core::WindowError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return false;
  }
  status = 2;
  return false;
}

/// --compare: the first snapshot of the earlier report against the last of the later one,
/// or the first and last of a window over them.
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
  int status = 0;
  std::vector<std::string> paths = {earlierPath};  // one capture, the earlier report first
  if (laterPath != earlierPath) paths.push_back(laterPath);
  if (!(options.window.given() ? loadWindowPair(options, paths, {}, earlier, later, status, "--compare")
                               : loadEnds(options, earlierPath, laterPath, earlier, later, status)))
    return status;
  try {
    core::Comparison c = core::compareSnapshots(earlier, later, *types, options.intervalMicros, options.dateOrder);
    const core::ColumnPlan plan(&*definitions, later.report().kindHeading, later.report().vars, later.grid,
                                options.derived);
    plan.leaveOutPlaceholders(c, earlier, later);
    tellClashes(plan.clashes());
    const core::ComparisonDerived more(plan.columns(), c);
    if (options.transpose)
      writeSideways(c, earlier, later, plan, more, options.derived, options.csv);
    else
      writeWide(c, earlier, later, more, options.derived, options.csv);
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
