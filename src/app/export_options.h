#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvolin::app {

/// Command line of tarvolin-export.
struct ExportOptions {
  enum class Action { Export, Help, Version };
  Action action = Action::Export;  ///< Help and Version need no REPORT
  bool allColumns = false;
  bool csv = false;
  bool filter = false;
  std::string filterName;
  std::string filterValue;
  std::string report;  ///< "-" for standard input; with --compare the later report
  bool compare = false;
  std::string earlierReport;              ///< --compare: the earlier report (`report` itself when one is given)
  std::optional<int64_t> intervalMicros;  ///< --interval, in microseconds
  bool lockWaits = false;                 ///< --lock-waits: the lock-wait tree instead of the grid
  bool deadlocks = false;                 ///< --deadlocks: the deadlocks of an event log instead
  bool series = false;                    ///< --series: every consecutive pair of snapshots compared
  std::vector<std::string> reports;       ///< --series: the reports, in order
  std::optional<std::string> kind;        ///< --kind: which kind of a file holding several
};

/// Parses the arguments after the program name. Returns nothing and sets `error`
/// to a one-line reason when they don't fit the usage.
std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args, std::string& error);

inline constexpr const char* kExportUsage =
    "usage: tarvolin-export [--all-columns] [--csv] [--filter NAME=VALUE] REPORT\n"
    "       tarvolin-export --compare [--csv] [--interval SECONDS] [OLDER] NEWER\n"
    "       tarvolin-export --lock-waits [--csv] REPORT\n"
    "       tarvolin-export --deadlocks [--csv] REPORT\n"
    "       tarvolin-export --series [--kind K] [--csv] [--interval SECONDS] REPORT...\n"
    "       tarvolin-export --help | --version";

/// What --help prints after the usage lines.
inline constexpr const char* kExportHelp =
    "Loads a DB2 report as the viewer does (with its kind's .cfg file from the current folder)\n"
    "and writes the grid to standard output, header row first. REPORT may be - for standard\n"
    "input; a name ending in .gz is unpacked while it is read.\n"
    "\n"
    "  --all-columns        every variable, also those the configuration hides\n"
    "  --csv                comma-separated values (RFC 4180) instead of TAB-separated text;\n"
    "                       in TAB-separated text a TAB, CR or LF inside a field is written\n"
    "                       as \\t, \\r or \\n (backslashes stay as they are)\n"
    "  --filter NAME=VALUE  only the entries whose variable NAME equals VALUE\n"
    "  --compare [OLDER] NEWER\n"
    "                       the change of each entry from the first snapshot of OLDER to the last\n"
    "                       of NEWER (of NEWER's first and last when OLDER is left out): a column\n"
    "                       \"Change\" (new, gone, reset, changed or empty), then every variable,\n"
    "                       each counter followed by \"NAME (change)\" and \"NAME (per s)\" (rates\n"
    "                       with 3 decimals); the interval comes from the \"Snapshot timestamp\"\n"
    "                       lines. Which variables are counters: counter_types.txt beside the\n"
    "                       program or in ../share/tarvolin/\n"
    "  --series REPORT...   every snapshot of the reports in the order given (all of a file's, in\n"
    "                       file order), each consecutive pair compared as --compare does: columns\n"
    "                       \"From\" and \"To\" (the pair's \"Snapshot timestamp\" values, or #N, the\n"
    "                       snapshot's number from 1 across all reports), then those of --compare.\n"
    "                       Standard error says \"Snapshots: N, intervals: N-1\"; fewer than two\n"
    "                       snapshots is an error (exit 1)\n"
    "  --kind K             --series: the kind of report to take from a file holding several (its\n"
    "                       heading, or its number in the order of the file)\n"
    "  --interval SECONDS   the interval when the reports carry no \"Snapshot timestamp\"\n"
    "  --lock-waits         who waits for whom in a lock snapshot: one row per application that\n"
    "                       holds a lock somebody waits for or waits itself, in tree order (roots\n"
    "                       first, their waiters below, Level 0 for a root); marks \"deadlock\",\n"
    "                       \"not in report\" and \"holder unknown\"\n"
    "  --deadlocks          the deadlocks of an event monitor log: one row per participant of\n"
    "                       each \"Deadlock ID\", with the lock it waited for and its statement\n"
    "  -h, --help           this text\n"
    "  -v, --version        the program's version\n"
    "\n"
    "Exit status: 0 written, 1 the load met an error (the rows read before it are written),\n"
    "2 usage error.";

}  // namespace tarvolin::app
