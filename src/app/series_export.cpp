#include "app/series_export.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/checked_output.h"
#include "app/derived_export.h"
#include "app/grid_writer.h"
#include "app/program_folder.h"
#include "app/spooled_input.h"
#include "core/series/series.h"

namespace tarvolin::app {

namespace {

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
  return text;
}

/// The series of `options.reports`, each read twice (the first pass plans the columns).
int writeSeries(const ExportOptions& options, const char* argv0) {
  const std::optional<core::DerivedDefinitions> definitions = derivedDefinitionsFor(options, argv0);
  if (!definitions) return 1;
  int snapshots = 0;
  std::string intervalNote;  // of the first interval without a known length
  core::SeriesTable table(&*definitions, options.derived);
  int status = 0;
  bool written = false;  // rows went out
  try {
    const core::CounterTypes types = core::loadCounterTypes(programFolder(argv0));
    std::optional<std::string> kind;
    if (!options.kind.empty()) kind = options.kind;
    core::IntervalHooks hooks;
    hooks.note = [](const std::string& note) { std::fprintf(stderr, "%s\n", note.c_str()); };
    hooks.plan = [&](core::SeriesInterval& iv) { table.plan(iv); };
    const auto take = [&](core::SeriesInterval& iv) {
      if (!iv.comparison.intervalMicros && intervalNote.empty())
        intervalNote = iv.from + " to " + iv.to + ": " + iv.comparison.intervalNote;
      table.write(iv, [&](const core::GridStore& g, const std::vector<int>& cols) {
        writeGrid(g, cols, options.csv, standardOutput());
        written = true;
      });
    };
    core::SeriesSource source{options.reports, kind, ".", options.dateOrder};
    source.window = options.window;
    snapshots = core::forEachInterval(source, types, options.intervalMicros, take, hooks);
  } catch (const OutputError&) {
    throw;  // ends the run (see main)
  } catch (const core::NoSuchKindError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    status = written ? 1 : 2;  // before any row, as --kind K of every other mode: a usage error
  } catch (const core::WindowError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    status = 2;  // found by the first pass, before any row
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    status = 1;
  }
  standardOutput().flush();
  if (status == 0 && snapshots < 2) {
    std::fprintf(stderr, "tarvolin-export: --series needs at least two snapshots, %s %d\n",
                 options.window.given() ? (options.window.text() + " holds").c_str() : "the reports hold", snapshots);
    return options.window.given() && snapshots == 1 ? 2 : 1;  // a window too narrow: widen it
  }
  tellClashes(table.clashes());
  if (!intervalNote.empty()) std::fprintf(stderr, "%s\n", intervalNote.c_str());
  if (!table.dropped().empty())
    std::fprintf(stderr, "Columns the first interval lacks, left out: %s\n", joined(table.dropped()).c_str());
  if (status == 0) std::fprintf(stderr, "Snapshots: %d, intervals: %d\n", snapshots, snapshots - 1);
  return status;
}

}  // namespace

int exportSeries(ExportOptions options, const char* argv0) {
  std::optional<SpooledInput> spooled;  // read twice: standard input through a file
  for (std::string& report : options.reports)
    if ((report = spooledPath(report, spooled)).empty()) return 1;
  return writeSeries(options, argv0);
}

}  // namespace tarvolin::app
