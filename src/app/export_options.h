#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/read/kinds_index.h"
#include "core/series/snapshot_window.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::app {

/// One --filter: entries whose variable `name` equals `value`.
struct ExportFilter {
  std::string name;
  std::string value;
};

/// Command line of tarvolin-export.
struct ExportOptions {
  /// What the run does; one mode at a time.
  enum class Mode {
    Grid,        ///< the report's grid (no mode option)
    Compare,     ///< --compare: the change of each entry between two snapshots
    Series,      ///< --series: every consecutive pair of snapshots compared
    LockWaits,   ///< --lock-waits: the lock-wait tree instead of the grid
    Deadlocks,   ///< --deadlocks: the deadlocks of an event log instead
    Kinds,       ///< --kinds: the kinds of report the file holds instead
    Statements,  ///< --statements: a Dynamic SQL report's statements by shape
    Sqlite,      ///< --sqlite: every kind of the reports into a database
    Summary,     ///< --summary: the one-page summary of a capture
    Help,        ///< --help (needs no REPORT)
    Version,     ///< --version (needs no REPORT)
  };
  Mode mode = Mode::Grid;
  bool allColumns = false;
  bool csv = false;
  std::vector<ExportFilter> filters;         ///< --filter, in the order given
  std::string report;                        ///< "-" for standard input; with --compare the later report
  std::string earlierReport;                 ///< --compare: the earlier report (`report` itself when one is given)
  std::optional<int64_t> intervalMicros;     ///< --interval, in microseconds
  std::optional<core::DateOrder> dateOrder;  ///< --date-order
  bool hideConstant = false;                 ///< --hide-constant: leave out the columns equal in every row written
  std::string kind;                          ///< --kind: a heading or its number in the --kinds list; empty: none given
  bool derived = false;                      ///< --derived: the kind's derived columns after the others
  bool transpose = false;                    ///< --transpose: a comparison a row per variable
  std::vector<std::string> reports;          ///< --series, --sqlite: the reports, in order
  std::string database;                      ///< --sqlite: the database's path
  core::SnapshotWindow window;               ///< --from and --to; none given: every mode as without
  bool blockers = false;                     ///< --blockers: --lock-waits writes one row per root blocker
  bool tsv = false;                          ///< --tsv: --summary writes its intervals as TAB-separated text
};

/// The kind --kind names, or the default choice.
[[nodiscard]] core::KindChoice chosenKind(const ExportOptions& options);

/// Parses the arguments after the program name: options in any order, before or after the
/// reports, each as `--opt value` or `--opt=value`; after `--` everything is a report.
/// Returns nothing and sets `error` to a one-line reason when they don't fit the usage.
std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args, std::string& error);

inline constexpr const char* kExportUsage =
    "usage: tarvolin-export [--all-columns] [--csv] [--derived] [--filter NAME=VALUE]... [--hide-constant]\n"
    "                       [--kind K] REPORT\n"
    "       tarvolin-export --compare [--csv] [--derived] [--interval SECONDS] [--date-order DMY|MDY|YMD]\n"
    "                       [--kind K] [--from TIME] [--to TIME] [--transpose] [OLDER] NEWER\n"
    "       tarvolin-export --lock-waits [--blockers] [--csv] [--kind K] [--date-order DMY|MDY|YMD]\n"
    "                       [--from TIME] [--to TIME] REPORT\n"
    "       tarvolin-export --deadlocks [--csv] REPORT\n"
    "       tarvolin-export --series [--csv] [--derived] [--interval SECONDS] [--date-order DMY|MDY|YMD]\n"
    "                       [--kind K] [--from TIME] [--to TIME] REPORT...\n"
    "       tarvolin-export --statements [--csv] [--kind K] [--date-order DMY|MDY|YMD] [--from TIME]\n"
    "                       [--to TIME] REPORT\n"
    "       tarvolin-export --summary [--csv | --tsv] [--interval SECONDS] [--date-order DMY|MDY|YMD]\n"
    "                       [--from TIME] [--to TIME] CAPTURE...\n"
    "       tarvolin-export --kinds REPORT\n"
    "       tarvolin-export --sqlite OUT.db [--date-order DMY|MDY|YMD] REPORT...\n"
    "       tarvolin-export --help | --version";

/// What --help prints: the usage, what the program does, then a line or more per option
/// as the options are declared, and the exit status.
std::string exportHelp();

}  // namespace tarvolin::app
