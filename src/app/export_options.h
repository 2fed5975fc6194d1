#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/compare/snapshot_time.h"

namespace tarvolin::app {

/// One --filter: entries whose variable `name` equals `value`.
struct ExportFilter {
  std::string name;
  std::string value;
};

/// Command line of tarvolin-export.
struct ExportOptions {
  enum class Action { Export, Help, Version };
  Action action = Action::Export;  ///< Help and Version need no REPORT
  bool allColumns = false;
  bool csv = false;
  std::vector<ExportFilter> filters;  ///< --filter, in the order given
  std::string report;                 ///< "-" for standard input; with --compare the later report
  bool compare = false;
  std::string earlierReport;                 ///< --compare: the earlier report (`report` itself when one is given)
  std::optional<int64_t> intervalMicros;     ///< --interval, in microseconds
  std::optional<core::DateOrder> dateOrder;  ///< --date-order
  bool lockWaits = false;                    ///< --lock-waits: the lock-wait tree instead of the grid
  bool deadlocks = false;                    ///< --deadlocks: the deadlocks of an event log instead
};

/// Parses the arguments after the program name: options in any order, before or after the
/// reports, each as `--opt value` or `--opt=value`; after `--` everything is a report.
/// Returns nothing and sets `error` to a one-line reason when they don't fit the usage.
std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args, std::string& error);

inline constexpr const char* kExportUsage =
    "usage: tarvolin-export [--all-columns] [--csv] [--filter NAME=VALUE]... REPORT\n"
    "       tarvolin-export --compare [--csv] [--interval SECONDS] [--date-order DMY|MDY|YMD]\n"
    "                       [OLDER] NEWER\n"
    "       tarvolin-export --lock-waits [--csv] REPORT\n"
    "       tarvolin-export --deadlocks [--csv] REPORT\n"
    "       tarvolin-export --help | --version";

/// What --help prints: the usage, what the program does, then a line or more per option
/// as the options are declared, and the exit status.
std::string exportHelp();

}  // namespace tarvolin::app
