#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvolin::app {

/// Command line of tarvolin-export.
struct ExportOptions {
  bool allColumns = false;
  bool csv = false;
  bool filter = false;
  std::string filterName;
  std::string filterValue;
  std::string report;
};

/// Parses the arguments after the program name. Returns nothing and sets `error`
/// to a one-line reason when they don't fit the usage.
std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args, std::string& error);

inline constexpr const char* kExportUsage =
    "usage: tarvolin-export [--all-columns] [--csv] [--filter NAME=VALUE] REPORT";

}  // namespace tarvolin::app
