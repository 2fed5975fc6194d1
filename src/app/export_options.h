#pragma once

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
  std::string report;  ///< "-" for standard input
};

/// Parses the arguments after the program name. Returns nothing and sets `error`
/// to a one-line reason when they don't fit the usage.
std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args, std::string& error);

inline constexpr const char* kExportUsage =
    "usage: tarvolin-export [--all-columns] [--csv] [--filter NAME=VALUE] REPORT\n"
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
    "  -h, --help           this text\n"
    "  -v, --version        the program's version\n"
    "\n"
    "Exit status: 0 written, 1 the load met an error (the rows read before it are written),\n"
    "2 usage error.";

}  // namespace tarvolin::app
