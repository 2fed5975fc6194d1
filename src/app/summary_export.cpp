#include "app/summary_export.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/checked_output.h"
#include "app/grid_writer.h"
#include "app/program_folder.h"
#include "app/spooled_input.h"
#include "core/series/capture_summary.h"
#include "core/series/summary_text.h"

namespace tarvolin::app {

namespace {

void writeSummary(const core::CaptureSummary& summary, const ExportOptions& options) {
  if (!options.csv && !options.tsv) {
    standardOutput().put(core::summaryText(summary));
    return;
  }
  core::GridStore g;
  core::writeSummaryGrid(summary, g);
  writeGrid(g, firstColumns(g.cols()), options.csv, standardOutput());
}

}  // namespace

int exportSummary(ExportOptions options, const char* argv0) {
  std::optional<SpooledInput> spooled;  // each kind reads the capture again
  for (std::string& report : options.reports)
    if ((report = spooledPath(report, spooled)).empty()) return 1;
  const std::optional<core::CounterTypes> types = readCounterTypes(argv0);
  if (!types) return 1;
  const std::optional<core::SummaryFigures> figures =
      readShippedList<core::SummaryFigures>(argv0, core::loadSummaryFigures);
  if (!figures) return 1;
  core::CaptureSummary summary;
  try {
    core::SeriesSource source{options.reports, std::nullopt, ".", options.dateOrder};
    source.window = options.window;
    summary = core::summarizeCapture(source, *figures, *types, options.intervalMicros);
  } catch (const OutputError&) {
    throw;
  } catch (const core::WindowError& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
  if (summary.snapshots < 2) {
    std::string kinds;
    for (const std::string& k : figures->kinds()) kinds += (kinds.empty() ? "" : ", ") + k;
    std::fprintf(stderr, "tarvolin-export: --summary needs two snapshots or more of a kind it has figures of (%s)\n",
                 kinds.c_str());
    return options.window.given() ? 2 : 1;
  }
  writeSummary(summary, options);
  standardOutput().flush();
  if (options.csv || options.tsv)
    for (const std::string& n : summary.notes) std::fprintf(stderr, "%s\n", n.c_str());
  return 0;
}

}  // namespace tarvolin::app
