#include "app/export_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <limits>
#include <tuple>

#include "core/values/decimal.h"

namespace tarvolin::app {

namespace {

constexpr const char* kDescription =
    "Loads a DB2 report as the viewer does (with its kind's .cfg file from the current folder)\n"
    "and writes the grid to standard output, header row first. REPORT may be - for standard\n"
    "input; a name ending in .gz is unpacked while it is read.\n";

constexpr const char* kExitStatus =
    "Exit status: 0 written, 1 the load met an error (the rows read before it are written)\n"
    "or a line of derived_columns.txt or summary_figures.txt is wrong, 2 usage error.";

/// Where the help of an option starts on its line.
constexpr size_t kHelpColumn = 23;

/// Values of the options that are checked after parsing.
struct RawOptions {
  std::vector<std::string> filters;
  std::string interval;
  std::string dateOrder;
  std::string from;
  std::string to;
  std::vector<std::string> reports;
  bool help = false;
  bool version = false;
  bool compare = false;  // the mode options, one of which sets ExportOptions::mode
  bool series = false;
  bool lockWaits = false;
  bool deadlocks = false;
  bool kinds = false;
  bool statements = false;
  bool sqlite = false;  // set when --sqlite has its value
  bool summary = false;
};

/// Declares options on a CLI11 app and keeps each one's help for exportHelp().
class Declarer {
 public:
  explicit Declarer(CLI::App* cli) : m_cli(cli) {}
  /// An option without a value; `shown` is what --help writes after its names.
  void flag(const std::string& names, bool& target, const std::string& shown, const std::string& help) {
    if (m_cli != nullptr) m_cli->add_flag(names, target);
    addHelp(names, shown, help);
  }
  /// An option with one value, given once, not empty.
  void value(const std::string& names, std::string& target, const std::string& shown, const std::string& help) {
    if (m_cli != nullptr)
      m_cli->add_option(names, target)->check([](const std::string& v) {
        return v.empty() ? std::string("an empty value is no value") : std::string();
      });
    addHelp(names, shown, help);
  }
  /// An option with one value, that may be given again.
  void values(const std::string& names, std::vector<std::string>& target, const std::string& shown,
              const std::string& help) {
    if (m_cli != nullptr) m_cli->add_option(names, target)->allow_extra_args(false);
    addHelp(names, shown, help);
  }
  [[nodiscard]] const std::string& help() const { return m_help; }

 private:
  void addHelp(std::string names, const std::string& shown, const std::string& help) {
    for (size_t at = 0; (at = names.find(',', at)) != std::string::npos; at += 2) names.insert(at + 1, " ");
    std::string line = "  " + names + (shown.empty() ? "" : " " + shown);
    line += line.size() + 1 < kHelpColumn ? std::string(kHelpColumn - line.size(), ' ')
                                          : "\n" + std::string(kHelpColumn, ' ');
    for (size_t at = 0, end; at < help.size(); at = end + 1) {
      end = std::min(help.find('\n', at), help.size());
      if (at > 0) line += "\n" + std::string(kHelpColumn, ' ');
      line += help.substr(at, end - at);
    }
    m_help += line + "\n";
  }
  CLI::App* m_cli;
  std::string m_help;
};

/// Every option of the program with its help, in the order --help lists them.
void declareOptions(Declarer& d, ExportOptions& o, RawOptions& raw) {
  d.flag("--all-columns", o.allColumns, "", "every variable, also those the configuration hides");
  d.flag("--csv", o.csv, "",
         "comma-separated values (RFC 4180) instead of TAB-separated text;\n"
         "in TAB-separated text a TAB, CR or LF inside a field is written\n"
         "as \\t, \\r or \\n (backslashes stay as they are)");
  d.flag("--derived", o.derived, "",
         "also the kind's derived columns, after the others: figures computed\n"
         "from each entry, defined in derived_columns.txt beside the program\n"
         "(or in ../share/tarvolin/) and in the current folder; with --compare\n"
         "or --series each twice: NAME on the later values, \"NAME (in\n"
         "interval)\" on the counters' changes");
  d.values("--filter", raw.filters, "NAME=VALUE",
           "only the entries whose variable NAME equals VALUE; given again,\n"
           "filters on different names must all match, on one name any value");
  d.flag("--hide-constant", o.hideConstant, "",
         "leave out every column whose value is the same in every row written\n"
         "(after --filter; empty everywhere counts too); with fewer than two\n"
         "rows nothing is left out");
  d.flag("--kinds", raw.kinds, "",
         "the kinds of report the file holds (a \"get snapshot for all\" capture\n"
         "holds several), as TSV: Kind, Snapshots, Entries (rows of its grid)");
  d.value("--kind", o.kind, "K",
          "the kind to read: its heading (any case) or its number in the --kinds\n"
          "list; without it the first kind (standard error names the others)");
  d.flag("--compare", raw.compare, "[OLDER] NEWER",
         "the change of each entry from the first snapshot of OLDER to the last\n"
         "of NEWER (of NEWER's first and last when OLDER is left out): a column\n"
         "\"Change\" (new, gone, reset, changed or empty), then every variable,\n"
         "each counter followed by \"NAME (change)\" and \"NAME (per s)\" (rates\n"
         "with 3 decimals); the interval comes from the \"Snapshot timestamp\"\n"
         "lines. Which variables are counters: counter_types.txt beside the\n"
         "program or in ../share/tarvolin/");
  d.flag("--transpose", o.transpose, "",
         "with --compare: a row per variable, as Variable, Earlier, Later,\n"
         "Change, \"Rate per s\" (and with --derived a row per derived column);\n"
         "of a comparison of several entries, a first column \"Entry\" (the\n"
         "entry's key) and each entry's rows in turn");
  d.flag("--series", raw.series, "REPORT...",
         "every snapshot of the reports in the order given (all of a file's, in\n"
         "file order), each consecutive pair compared as --compare does: columns\n"
         "\"From\" and \"To\" (the pair's \"Snapshot timestamp\" values, or #N, the\n"
         "snapshot's number from 1 across all reports), then those of --compare,\n"
         "every column any interval has. The kind is that --kind names in the\n"
         "first report (its first kind without --kind), later reports matched by\n"
         "its heading; a report without it is skipped (\"t_02.txt: no Table\n"
         "Snapshot, skipped\" on standard error) and the next interval spans the\n"
         "gap. All dates are read in one order. Standard error says \"Snapshots:\n"
         "N, intervals: N-1\"; fewer than two snapshots is an error (exit 1)");
  d.value("--interval", raw.interval, "SECONDS",
          "the interval, instead of the one of the \"Snapshot timestamp\" lines");
  d.value("--date-order", raw.dateOrder, "DMY|MDY|YMD",
          "the order of day, month and year in the reports' dates (of all the\n"
          "reports of --series); by default one order per report (per series),\n"
          "read from the form of its dates: with / month first, with . day\n"
          "first, with - year first after four digits and else day first,\n"
          "unless a field above 12 in any of them shows the other order");
  d.value("--from", raw.from, "TIME",
          "with --compare, --series, --statements, --lock-waits or --summary:\n"
          "only the snapshots from TIME on (see --to for TIME)");
  d.value("--to", raw.to, "TIME",
          "only the snapshots up to TIME, included. TIME as the report prints\n"
          "it (\"12/07/2026 16:06:00.121034\", its date read as --date-order\n"
          "says), HH:MM[:SS] on the day of the first snapshot (--to earlier than\n"
          "a --from HH:MM: the next day), or #N, the Nth snapshot of the kind\n"
          "from 1 (across all the reports). A time without seconds covers its\n"
          "minute, without a fraction its second: --to 16:15 takes 16:15:40.\n"
          "--compare compares the window's first and last snapshot (of OLDER and\n"
          "NEWER read as one capture, OLDER first); --series its intervals;\n"
          "--statements ranks the shapes by their change over it; --lock-waits\n"
          "writes the tree of each of its snapshots. The reading ends with the\n"
          "window. A window without a snapshot is a usage error (exit 2) that\n"
          "names the first and last snapshot time");
  d.flag("--lock-waits", raw.lockWaits, "",
         "who waits for whom in a lock snapshot: one row per application that\n"
         "holds a lock somebody waits for or waits itself, in tree order (roots\n"
         "first, their waiters below, Level 0 for a root); marks \"deadlock\",\n"
         "\"not in report\" and \"holder unknown\". Of a file of several\n"
         "snapshots, the last lock snapshot (standard error names its time);\n"
         "with --from or --to, the tree of every lock snapshot in the window,\n"
         "each row after a column \"Snapshot\" (its time, or #N)");
  d.flag("--blockers", o.blockers, "",
         "with --lock-waits: one row per root blocker over the window (every\n"
         "lock snapshot without one) instead of the trees: \"Application\n"
         "handle\", \"Application name\", \"Application ID\", \"First blocked\",\n"
         "\"Last blocked\" (the snapshots' times), \"Snapshots\" (in which it\n"
         "blocked), \"Most waiters\" (at once), \"Waiters' wait time (ms)\" (at\n"
         "its last snapshot) and \"Statement\" (of the capture's Application\n"
         "Snapshot in the window, where it has one)");
  d.flag("--deadlocks", raw.deadlocks, "",
         "the deadlocks of an event monitor log: one row per participant of\n"
         "each \"Deadlock ID\", with the lock it waited for and its statement");
  d.flag("--statements", raw.statements, "",
         "a Dynamic SQL snapshot's statements grouped by shape (literals as ?,\n"
         "an IN or VALUES list of any length as (?+), names in capitals, spacing\n"
         "of its own): \"Statement shape\", \"Statements\", each counter summed\n"
         "and the derived columns on the sums, largest total execution time\n"
         "first; of a file of several snapshots (or kinds), its last Dynamic\n"
         "SQL snapshot. With --from or --to: the change over the window (its\n"
         "last snapshot less its first, a statement new in it counted from\n"
         "zero): \"Executions\", \"Total execution time (s)\", \"Rows read\",\n"
         "\"CPU time (s)\" and each per execution");
  d.flag("--summary", raw.summary, "CAPTURE...",
         "a page of what a DBA reads first of a capture (its files in order, as\n"
         "--series reads them), per interval and over the window: commits/s,\n"
         "rows read/s, buffer pool hit ratios, lock waits, deadlocks, sort\n"
         "overflows, package cache..., as summary_figures.txt beside the\n"
         "program (or in ../share/tarvolin/) and in the current folder define\n"
         "them; the rules of thumb each interval breaks; the intervals farthest\n"
         "from each figure's median; the top 5 statements (by execution time),\n"
         "tables (by rows read) and applications (by rows read and by lock\n"
         "wait time) over the window. A figure the capture lacks is named at\n"
         "the end. With --csv or --tsv, the figures of each interval instead");
  d.flag("--tsv", o.tsv, "", "with --summary: the intervals' figures as TAB-separated text");
  d.value("--sqlite", o.database, "OUT.db",
          "every kind of every snapshot of the reports into the SQLite database\n"
          "OUT.db (made when missing): a table per kind (\"table_snapshot\"),\n"
          "columns snapshot (ISO time), file, entry and one per variable; for\n"
          "each kind the intervals --series writes (\"table_snapshot_intervals\");\n"
          "tables captures, snapshots and kinds. A file loaded before (same name,\n"
          "size and time) is skipped, of another only the snapshots not yet\n"
          "stored are added. Each file is one transaction: a file that fails (a\n"
          "load error, a full disk, Ctrl-C) is rolled back, those before it stay,\n"
          "exit 1. A database Tarvolin did not make is refused (exit 1)");
  d.flag("-h,--help", raw.help, "", "this text");
  d.flag("-v,--version", raw.version, "", "the program's version");
}

/// Seconds above 0, up to microseconds, as microseconds.
std::optional<int64_t> parseSeconds(const std::string& text) {
  const std::optional<core::Decimal> d = core::parseDecimal(text);
  if (!d || d->units <= 0 || d->scale > 6) return std::nullopt;
  __int128 micros = d->units;
  for (int i = d->scale; i < 6; ++i) micros *= 10;
  if (micros > std::numeric_limits<int64_t>::max()) return std::nullopt;
  return static_cast<int64_t>(micros);
}

/// The values that need more than CLI11 checks; the error, or empty.
std::string takeValues(const RawOptions& raw, ExportOptions& o) {
  for (const std::string& f : raw.filters) {
    const size_t eq = f.find('=');
    if (eq == std::string::npos || eq == 0) return "--filter needs NAME=VALUE, got \"" + f + "\"";
    o.filters.push_back({f.substr(0, eq), f.substr(eq + 1)});
  }
  if (!raw.interval.empty() && !(o.intervalMicros = parseSeconds(raw.interval)))
    return "--interval needs a number of seconds above 0, at most 6 decimals";
  if (!raw.dateOrder.empty() && !(o.dateOrder = core::parseDateOrder(raw.dateOrder)))
    return "--date-order needs DMY, MDY or YMD, got \"" + raw.dateOrder + "\"";
  for (auto [text, bound, name] : {std::tuple(&raw.from, &o.window.from, "--from"), {&raw.to, &o.window.to, "--to"}}) {
    try {
      *bound = core::parseWindowBound(*text);
    } catch (const core::WindowError& e) {
      return std::string(name) + ": " + e.what();
    }
  }
  if (raw.reports.empty()) return "no REPORT given";
  const bool compare = o.mode == ExportOptions::Mode::Compare;
  if (o.mode == ExportOptions::Mode::Series || o.mode == ExportOptions::Mode::Sqlite ||
      o.mode == ExportOptions::Mode::Summary) {
    o.reports = raw.reports;
    o.report = raw.reports.back();
    return {};
  }
  if (raw.reports.size() > (compare ? 2u : 1u))
    return compare ? "--compare takes one or two reports" : "only one REPORT can be given";
  o.report = raw.reports.back();
  if (compare) o.earlierReport = raw.reports.front();
  return {};
}

/// The mode its option names (the first of several, which is an error: returned, else empty).
std::string takeMode(const RawOptions& raw, ExportOptions& o) {
  using Mode = ExportOptions::Mode;
  const std::pair<bool, Mode> modes[] = {{raw.series, Mode::Series},       {raw.compare, Mode::Compare},
                                         {raw.lockWaits, Mode::LockWaits}, {raw.deadlocks, Mode::Deadlocks},
                                         {raw.kinds, Mode::Kinds},         {raw.statements, Mode::Statements},
                                         {raw.sqlite, Mode::Sqlite},       {raw.summary, Mode::Summary}};
  for (const auto& [given, mode] : modes) {
    if (!given) continue;
    if (o.mode != Mode::Grid)
      return "--compare, --series, --lock-waits, --deadlocks, --kinds, --statements, --sqlite and --summary can't be "
             "used together";
    o.mode = mode;
  }
  return {};
}

/// The combinations of options that make no sense; the error, or empty.
std::string checkCombination(const ExportOptions& o) {
  using Mode = ExportOptions::Mode;
  const Mode m = o.mode;
  const bool overTime = m == Mode::Compare || m == Mode::Series || m == Mode::Sqlite || m == Mode::Summary;
  if (m == Mode::Sqlite && o.database == "-") return "--sqlite needs the path of a database, not -";
  if (m == Mode::Sqlite && (!o.filters.empty() || o.allColumns || o.hideConstant || o.csv || o.derived ||
                            !o.kind.empty() || o.intervalMicros))
    return "--sqlite takes no --filter, --all-columns, --hide-constant, --csv, --derived, --kind or --interval";
  if (m == Mode::Summary && (!o.filters.empty() || o.allColumns || o.derived || !o.kind.empty() || o.hideConstant))
    return "--summary takes no --filter, --all-columns, --derived, --kind or --hide-constant";
  if (o.tsv && (m != Mode::Summary || o.csv)) return "--tsv needs --summary, without --csv";
  if (m == Mode::Series && (!o.filters.empty() || o.allColumns || o.hideConstant))
    return "--series takes no --filter, --all-columns or --hide-constant";
  if (o.hideConstant && m != Mode::Grid)
    return "--hide-constant can't be used with --compare, --lock-waits, --deadlocks, --kinds or --statements";
  if ((m == Mode::Kinds || m == Mode::Deadlocks) && !o.kind.empty())
    return std::string(m == Mode::Kinds ? "--kinds" : "--deadlocks") + " takes no --kind";
  if (m == Mode::Kinds && (!o.filters.empty() || o.allColumns || o.csv))
    return "--kinds takes no --filter, --all-columns or --csv";
  if (m == Mode::Statements && (!o.filters.empty() || o.allColumns || o.derived))
    return "--statements takes no --filter, --all-columns or --derived (its derived columns are always written)";
  if (o.derived && (m == Mode::LockWaits || m == Mode::Deadlocks || m == Mode::Kinds))
    return "--derived can't be used with --lock-waits, --deadlocks or --kinds";
  if ((m == Mode::LockWaits || m == Mode::Deadlocks) && (!o.filters.empty() || o.allColumns))
    return std::string(m == Mode::LockWaits ? "--lock-waits" : "--deadlocks") + " takes no --filter or --all-columns";
  if (m == Mode::Compare && !o.filters.empty()) return "--filter can't be used with --compare";
  if (m != Mode::Compare && o.transpose) return "--transpose needs --compare";
  if (!overTime && o.intervalMicros) return "--interval needs --compare, --series or --summary";
  const bool windowed =
      m == Mode::Compare || m == Mode::Series || m == Mode::Statements || m == Mode::LockWaits || m == Mode::Summary;
  if (!overTime && o.dateOrder && !(windowed && o.window.given()))
    return "--date-order needs --compare, --series, --sqlite, --summary or a window (--from, --to)";
  if (!windowed && o.window.given())
    return "--from and --to need --compare, --series, --statements, --lock-waits or --summary";
  if (o.blockers && m != Mode::LockWaits) return "--blockers needs --lock-waits";
  return {};
}

}  // namespace

std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args, std::string& error) {
  ExportOptions o;
  RawOptions raw;
  CLI::App cli;
  cli.set_help_flag();
  cli.allow_extras();
  Declarer declarer(&cli);
  declareOptions(declarer, o, raw);
  cli.add_option("REPORT", raw.reports);
  // After "--" every argument is a report; before it, help and version answer whatever else
  // the line holds.
  const auto optionsEnd = std::find(args.begin(), args.end(), std::string("--"));
  for (auto a = args.begin(); a != optionsEnd; ++a) {
    if (*a == "-h" || *a == "--help") o.mode = ExportOptions::Mode::Help;
    if (*a == "-v" || *a == "--version") o.mode = ExportOptions::Mode::Version;
    if (o.mode != ExportOptions::Mode::Grid) return o;
  }
  try {
    cli.parse(std::vector<std::string>(std::make_reverse_iterator(optionsEnd), args.rend()));  // last first
  } catch (const CLI::ParseError& e) {
    error = e.what();
    return std::nullopt;
  }
  if (const std::vector<std::string> extra = cli.remaining(); !extra.empty()) {
    error = "unknown option " + extra.front();
    return std::nullopt;
  }
  if (optionsEnd != args.end()) raw.reports.insert(raw.reports.end(), optionsEnd + 1, args.end());
  raw.sqlite = cli.count("--sqlite") > 0;
  const std::string conflict = takeMode(raw, o);
  error = takeValues(raw, o);
  if (error.empty()) error = conflict;
  if (error.empty()) error = checkCombination(o);
  if (!error.empty()) return std::nullopt;
  return o;
}

std::string exportHelp() {
  ExportOptions o;
  RawOptions raw;
  Declarer declarer(nullptr);
  declareOptions(declarer, o, raw);
  return std::string(kExportUsage) + "\n\n" + kDescription + "\n" + declarer.help() + "\n" + kExitStatus;
}

core::KindChoice chosenKind(const ExportOptions& options) {
  return options.kind.empty() ? core::KindChoice{} : core::parseKindChoice(options.kind);
}

}  // namespace tarvolin::app
