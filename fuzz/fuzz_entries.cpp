#include "fuzz/fuzz_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/derived/derived_columns.h"
#include "core/derived/statement_shape.h"
#include "core/grid/grid_output.h"
#include "core/grid/grid_store.h"
#include "core/grid/text_measure.h"
#include "core/read/config_file.h"
#include "core/read/load_observer.h"
#include "core/read/load_progress.h"
#include "core/read/report_loader.h"
#include "core/read/report_reader.h"
#include "core/read/shared_state.h"
#include "core/read/text_encoding.h"

namespace tarvolin::fuzz {

namespace {

/// Reports a broken invariant and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "tarvolin fuzz: invariant broken: %s\n", what);
  std::abort();
}

void check(bool ok, const char* what) {
  if (!ok) fail(what);
}

std::string g_workDir;

void removeWorkDir() {
  if (g_workDir.empty()) return;
  if (DIR* d = ::opendir(g_workDir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") ::unlink((g_workDir + "/" + name).c_str());
    }
    ::closedir(d);
  }
  ::rmdir(g_workDir.c_str());
}

/// The first call makes an empty temporary folder, so that the only configuration files
/// readConfiguration can find are the ones written here.
void makeWorkDir() {
  if (!g_workDir.empty()) return;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tarvolin-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) fail("cannot create a temporary folder");
  g_workDir = pattern;
  std::atexit(removeWorkDir);
}

/// A file of the temporary folder.
std::string inWorkDir(const char* name) { return g_workDir + "/" + name; }

void writeFile(const char* name, const void* data, size_t size) {
  const int fd = ::open(inWorkDir(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) fail("cannot create an input file");
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t w = ::write(fd, p, size);
    if (w <= 0) fail("cannot write an input file");
    p += w;
    size -= static_cast<size_t>(w);
  }
  ::close(fd);
}

std::string readFile(const char* name) {
  std::string out;
  const int fd = ::open(inWorkDir(name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail("cannot read back a written file");
  char buf[4096];
  ssize_t r;
  while ((r = ::read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(r));
  ::close(fd);
  return out;
}

/// Counts what a load reports, to check it against the grid afterwards.
class CountingObserver final : public core::LoadObserver {
 public:
  void setStatus(const std::string& text) override { status = text; }
  void setFileTime(std::chrono::system_clock::time_point) override { ++fileTimes; }
  void setKind(const std::string& kind) override {
    check(!kind.empty(), "an empty kind was shown");
    ++kinds;
  }
  void showError(const std::string& message) override {
    check(!message.empty(), "an empty error message");
    ++errors;
  }

  std::string status;
  int fileTimes = 0;
  int kinds = 0;
  int errors = 0;
};

// A configuration of the lock snapshot that hides one start name and marks the other, so
// that loads of that kind run through configured, hidden and appended variables.
constexpr char kLockConfig[] =
    "N;;;;;Lock Object Name;\r\nC;a;b;c;;Application handle;\r\nY;;;;;Never in the report;\r\n";

bool fieldsAreClean(const core::Variable& v) {
  for (const std::string* s : {&v.name, &v.cfg2, &v.cfg3, &v.cfg4})
    if (s->find_first_of(";\r\n") != std::string::npos || !core::isValidUtf8(*s)) return false;
  return true;
}

void checkTable(const core::VariableTable& vars) {
  check(vars.lastIndex() >= -1 && vars.lastIndex() < core::kMaxVars, "lastIndex out of range");
  for (int i = 0; i <= vars.lastIndex(); ++i) {
    check(fieldsAreClean(vars[i]), "a configured field holds a separator, a line end or bad UTF-8");
    check(!vars[i].cmark || vars[i].show, "a marked variable is hidden");
  }
}

struct TableCopy {
  int lastIndex = -1;
  std::string rows;  // every compared field of every record, NUL-safe
};

TableCopy copyTable(const core::VariableTable& vars) {
  TableCopy t;
  t.lastIndex = vars.lastIndex();
  for (int i = 0; i <= vars.lastIndex(); ++i) {
    const core::Variable& v = vars[i];
    for (const std::string* s : {&v.name, &v.cfg2, &v.cfg3, &v.cfg4}) {
      t.rows += std::to_string(s->size());
      t.rows += ':';
      t.rows += *s;
    }
    t.rows += v.show ? 'S' : 's';
    t.rows += v.cmark ? 'M' : 'm';
  }
  return t;
}

/// Every line of `name` read with blocks of `blockSize` bytes, with a last entry "!" + the
/// error's text when reading failed.
std::vector<std::string> readLines(const char* name, size_t blockSize) {
  std::vector<std::string> lines;
  try {
    core::ReportReader in(inWorkDir(name), blockSize);
    std::string_view line;
    while (in.nextLine(line)) lines.emplace_back(line);
  } catch (const core::ReadError& e) {
    lines.push_back(std::string("!") + e.what());
  }
  return lines;
}

}  // namespace

int loadReport(const uint8_t* data, size_t size) {
  makeWorkDir();
  static bool configured = false;
  if (!configured) {
    writeFile("DatabaseLockSnapshot.cfg", kLockConfig, sizeof kLockConfig - 1);
    configured = true;
  }
  writeFile("report.txt", data, size);

  // Where the reader's blocks end must not change the lines: read once with the loader's
  // block size and once with small blocks, so that line ends, byte order marks, UTF-16
  // pairs and invalid UTF-8 meet block boundaries.
  const size_t smallBlock = 16 + (size > 0 ? data[size - 1] % 48 : 0);
  check(readLines("report.txt", size_t{1} << 20) == readLines("report.txt", smallBlock),
        "lines depend on the reader's block size");

  core::SharedState shared;
  core::LoadState load;
  CountingObserver observer;
  core::FixedTextMeasure measure;
  core::GridStore grid;
  const core::Report& report = grid.report();
  core::ReportLoader loader(shared, grid.report(), load, observer, measure, g_workDir);
  loader.load(inWorkDir("report.txt"), grid);

  const core::LoadCounters& c = loader.counters();
  const core::VariableTable& vars = report.vars;
  check(!loader.loading(), "still loading after loadCurrentFile");
  check(c.nread >= 0 && static_cast<size_t>(c.nread) <= size + 1, "more lines read than the file holds");
  check(c.nout >= 0 && c.nout <= c.nentry + 1, "more rows written than entries begun");
  check(observer.errors == (c.failed ? 1 : 0), "errors shown do not match the outcome");
  check(observer.fileTimes == 1, "the file time was not shown once");
  check(observer.kinds <= 1, "the kind was shown twice");
  check(observer.status == core::progressText(c.nread, c.nout, true), "wrong final status text");
  check(load.filterValue.empty(), "the filter survived the load");
  check(report.kindHeading.empty() || core::trimBlanks(report.kindHeading) == report.kindHeading, "untrimmed kind");
  check(vars.lastIndex() >= -1 && vars.lastIndex() < core::kMaxVars, "lastIndex out of range");
  check(grid.rows() == c.nout + 1, "row count is not nout + 1");
  check(grid.cols() >= 2 && grid.cols() >= vars.count(), "too few columns");
  check(grid.rows() == 1 || grid.fixedRows() == 1, "header row not fixed");
  check(grid.fixedCols() == 0, "a fixed column without lockcol");
  check(grid.redraw(), "redraw left off");
  for (int i = 0; i <= vars.lastIndex(); ++i) {
    check(grid.text(0, i) == vars[i].name, "header cell differs from the variable name");
    const int w = grid.colWidth(i);
    check(vars[i].show ? w >= core::kMinColWidth && w >= vars[i].width : w == 0, "wrong column width");
    check(grid.colAlignment(i) == core::Alignment::LeftTop, "wrong column alignment");
  }
  return 0;
}

int readConfig(const uint8_t* data, size_t size) {
  makeWorkDir();
  writeFile("Fuzz.cfg", data, size);
  core::VariableTable vars;
  core::readConfiguration(vars, g_workDir, "Fuzz");
  checkTable(vars);
  ::unlink(inWorkDir("Fuzz.cfg").c_str());

  // splitConfigLine: the first byte picks a separator of 0 to 3 bytes from what follows.
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t sepLen = std::min<size_t>(data[0] % 4, rest.size());
  const std::string_view sep = rest.substr(0, sepLen);
  const std::string_view line = rest.substr(sepLen);
  core::SplitFields f;
  const bool fits = core::splitConfigLine(line, sep, f);
  check(f.nflds >= 0 && f.nflds <= 10, "nflds out of range");
  size_t occurrences = 0;
  if (!sep.empty())
    for (size_t at = line.find(sep); at != std::string_view::npos; at = line.find(sep, at + sep.size())) ++occurrences;
  check(fits == (occurrences <= 10), "wrong verdict on the field count");
  check(static_cast<size_t>(f.nflds) == std::min<size_t>(occurrences, 10), "wrong field count");
  std::string joined;
  for (int i = 1; i <= f.nflds; ++i) {
    const std::string& field = f.flds[static_cast<size_t>(i)];
    check(field.find(sep) == std::string::npos || sep.empty(), "a field holds the separator");
    joined += field;
    joined += sep;
  }
  check(line.substr(0, joined.size()) == joined, "the fields do not rebuild the line");
  return 0;
}

int configRoundTrip(const uint8_t* data, size_t size) {
  makeWorkDir();
  writeFile("Fuzz.cfg", data, size);
  core::VariableTable vars;
  core::readConfiguration(vars, g_workDir, "Fuzz");
  checkTable(vars);
  const TableCopy first = copyTable(vars);

  check(!core::writecfg(vars, g_workDir, " Fu zz ").has_value(), "writing the configuration failed");  // blanks go
  const std::string written = readFile("Fuzz.cfg");
  check(written.size() >= static_cast<size_t>(first.lastIndex + 1) * 9, "written file too short");

  core::VariableTable again;
  core::readConfiguration(again, g_workDir, "Fuzz");
  const TableCopy second = copyTable(again);
  check(second.lastIndex == first.lastIndex, "round trip changed the number of variables");
  check(second.rows == first.rows, "round trip changed a variable");

  check(!core::writecfg(again, g_workDir, "Fuzz").has_value(), "writing the configuration again failed");
  check(readFile("Fuzz.cfg") == written, "a second write gave other bytes");
  ::unlink(inWorkDir("Fuzz.cfg").c_str());
  return 0;
}

int derivedColumns(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  core::DerivedDefinitions defs;
  std::vector<std::string> errors;
  defs.read(text, "f", errors);
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  check(defs.all().size() + errors.size() <= lines, "more columns and errors than lines");
  for (const std::string& e : errors) {
    check(e.rfind("f:", 0) == 0, "an error does not name the file");
    const size_t line = std::strtoul(e.c_str() + 2, nullptr, 10);
    check(line >= 1 && line <= lines, "an error names a line the file does not have");
  }
  // Values for the variables: pieces of the input itself, then a few plain numbers.
  static const char* const kValues[] = {"0", "1", "-2.5", "18446744073709551615", "0.000001", "Not Collected"};
  for (const core::DerivedColumn& c : defs.all()) {
    for (size_t round = 0; round < 3; ++round) {
      const std::string result = c.expression.evaluate([&](size_t i) {
        return std::string_view(kValues[(i + round * 5 + size) % (sizeof kValues / sizeof *kValues)]);
      });
      if (result.empty()) continue;
      const std::string_view digits = std::string_view(result).substr(result[0] == '-' ? 1 : 0);
      const size_t point = digits.find('.');
      const size_t decimals = point == std::string_view::npos ? 0 : digits.size() - point - 1;
      check(!digits.empty() && digits.find_first_not_of("0123456789.") == std::string_view::npos &&
                digits.find('.', point == std::string_view::npos ? 0 : point + 1) == std::string_view::npos &&
                point != 0 && decimals <= core::kDerivedDecimals,
            "a result is no plain number of at most 6 decimals");
      check(point == std::string_view::npos || (decimals > 0 && result.back() != '0'), "a result keeps trailing zeros");
    }
  }
  return 0;
}

int statementShapes(const uint8_t* data, size_t size) {
  const std::string_view sql(reinterpret_cast<const char*>(data), size);
  const std::string shape = core::statementShape(sql);
  // A blank may come between any two pieces of the statement ("A=1" is "A = ?").
  check(shape.size() <= 2 * sql.size(), "a shape more than twice as long as its statement");
  check(core::statementShape(shape) == shape, "shaping a shape changed it");
  return 0;
}

Entry entryByName(std::string_view target) {
  if (target == "derived_columns") return derivedColumns;
  if (target == "statement_shape") return statementShapes;
  if (target == "load_report") return loadReport;
  if (target == "read_config") return readConfig;
  if (target == "config_round_trip") return configRoundTrip;
  return nullptr;
}

}  // namespace tarvolin::fuzz
