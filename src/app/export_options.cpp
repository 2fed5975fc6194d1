#include "app/export_options.h"

namespace tarvolin::app {

std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args, std::string& error) {
  ExportOptions o;
  bool haveReport = false;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (a == "--help" || a == "-h")) {
      o.action = ExportOptions::Action::Help;
      return o;
    } else if (!optionsEnded && (a == "--version" || a == "-v")) {
      o.action = ExportOptions::Action::Version;
      return o;
    } else if (!optionsEnded && a == "--all-columns") {
      o.allColumns = true;
    } else if (!optionsEnded && a == "--csv") {
      o.csv = true;
    } else if (!optionsEnded && (a == "--filter" || a.rfind("--filter=", 0) == 0)) {
      std::string filterArg;
      if (a == "--filter") {
        if (i + 1 >= args.size()) {
          error = "--filter needs NAME=VALUE";
          return std::nullopt;
        }
        filterArg = args[++i];
      } else {
        filterArg = a.substr(9);
      }
      const size_t eq = filterArg.find('=');
      if (eq == std::string::npos || eq == 0) {
        error = "--filter needs NAME=VALUE, got \"" + filterArg + "\"";
        return std::nullopt;
      }
      o.filter = true;
      o.filterName = filterArg.substr(0, eq);
      o.filterValue = filterArg.substr(eq + 1);
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      error = "unknown option " + a;
      return std::nullopt;
    } else if (haveReport) {
      error = "only one REPORT can be given";
      return std::nullopt;
    } else {
      o.report = a;
      haveReport = true;
    }
  }
  if (!haveReport) {
    error = "no REPORT given";
    return std::nullopt;
  }
  return o;
}

}  // namespace tarvolin::app
