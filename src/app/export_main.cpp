// tarvolin-export: loads a report the way the viewer does and writes its grid to
// standard output, as TAB-separated text or as CSV, or what one of its modes makes of it.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/checked_output.h"
#include "app/compare_export.h"
#include "app/derived_export.h"
#include "app/export_options.h"
#include "app/plain_export.h"
#include "app/result_export.h"
#include "app/series_export.h"
#include "app/sqlite_export.h"
#include "app/summary_export.h"
#include "core/version.h"

namespace {

using namespace tarvolin;
using Mode = app::ExportOptions::Mode;

/// One run of the program; its exit status.
int run(int argc, char** argv) {
  std::string error;
  const auto options = app::parseExportOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "tarvolin-export: %s\n%s\n", error.c_str(), app::kExportUsage);
    return 2;
  }
  switch (options->mode) {
    case Mode::Help:
      app::standardOutput().put(app::exportHelp() + "\n");
      return 0;
    case Mode::Version:
      app::standardOutput().put("tarvolin-export " + std::to_string(kVersionMajor) + "." +
                                std::to_string(kVersionMinor) + "." + std::to_string(kVersionPatch) + "\n");
      return 0;
    case Mode::Compare:
      return app::exportComparison(*options, argv[0]);
    case Mode::Series:
      return app::exportSeries(*options, argv[0]);
    case Mode::LockWaits:
      return app::exportLockWaits(*options);
    case Mode::Deadlocks:
      return app::exportDeadlocks(*options);
    case Mode::Kinds:
      return app::exportKinds(*options);
    case Mode::Statements:
      return app::exportStatements(*options, argv[0]);
    case Mode::Sqlite:
      return app::exportSqlite(*options, argv[0]);
    case Mode::Summary:
      return app::exportSummary(*options, argv[0]);
    case Mode::Grid:
      break;
  }
  return app::exportReport(*options, argv[0]);
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
    app::standardOutput().close();
    return status;
  } catch (const app::OutputError& e) {
    if (e.error() == EPIPE) return 0;
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return 1;
  }
}
