#include "app/export_options.h"

#include <algorithm>
#include <limits>

#include "core/compare/decimal.h"

namespace tarvolin::app {

namespace {

/// Seconds above 0, up to microseconds, as microseconds.
std::optional<int64_t> parseSeconds(const std::string& text) {
  const std::optional<core::Decimal> d = core::parseDecimal(text);
  if (!d || d->units <= 0 || d->scale > 6) return std::nullopt;
  __int128 micros = d->units;
  for (int i = d->scale; i < 6; ++i) micros *= 10;
  if (micros > std::numeric_limits<int64_t>::max()) return std::nullopt;
  return static_cast<int64_t>(micros);
}

}  // namespace

std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args, std::string& error) {
  ExportOptions o;
  // --series takes any number of reports, wherever it stands before "--".
  o.series = std::find(args.begin(), std::find(args.begin(), args.end(), "--"), "--series") != args.end();
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
    } else if (!optionsEnded && a == "--series") {
    } else if (!optionsEnded && a == "--kind") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = "--kind needs a kind's heading or number";
        return std::nullopt;
      }
      o.kind = args[++i];
    } else if (!optionsEnded && a == "--compare") {
      o.compare = true;
    } else if (!optionsEnded && (a == "--lock-waits" || a == "--deadlocks")) {
      (a == "--lock-waits" ? o.lockWaits : o.deadlocks) = true;
    } else if (!optionsEnded && a == "--interval") {
      if (i + 1 >= args.size() || !(o.intervalMicros = parseSeconds(args[i + 1]))) {
        error = "--interval needs a number of seconds above 0, at most 6 decimals";
        return std::nullopt;
      }
      ++i;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      error = "unknown option " + a;
      return std::nullopt;
    } else if (o.series) {
      o.reports.push_back(a);
      o.report = a;
      haveReport = true;
    } else if (haveReport && (!o.compare || !o.earlierReport.empty())) {
      error = o.compare ? "--compare takes one or two reports" : "only one REPORT can be given";
      return std::nullopt;
    } else {
      if (haveReport) o.earlierReport = o.report;
      o.report = a;
      haveReport = true;
    }
  }
  if (int(o.compare) + int(o.lockWaits) + int(o.deadlocks) + int(o.series) > 1) {
    error = "--compare, --lock-waits, --deadlocks and --series can't be used together";
    return std::nullopt;
  }
  if ((o.lockWaits || o.deadlocks) && (o.filter || o.allColumns)) {
    error = std::string(o.lockWaits ? "--lock-waits" : "--deadlocks") + " takes no --filter or --all-columns";
    return std::nullopt;
  }
  if ((o.compare || o.series) && o.filter) {
    error = std::string("--filter can't be used with ") + (o.series ? "--series" : "--compare");
    return std::nullopt;
  }
  if (o.kind && !o.series) {
    error = "--kind needs --series";
    return std::nullopt;
  }
  if (!o.compare && !o.series && (o.intervalMicros || !o.earlierReport.empty())) {
    error = o.intervalMicros ? "--interval needs --compare or --series" : "only one REPORT can be given";
    return std::nullopt;
  }
  if (o.compare && o.earlierReport.empty()) o.earlierReport = o.report;
  if (!haveReport) {
    error = "no REPORT given";
    return std::nullopt;
  }
  return o;
}

}  // namespace tarvolin::app
