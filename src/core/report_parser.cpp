#include "core/report_parser.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>

#include "core/config_file.h"
#include "core/report_reader.h"
#include "core/text_encoding.h"

namespace tarvolin::core {

namespace {

constexpr std::array<ReportKind, 7> kKinds = {{
    {"Database Lock Snapshot", "Application handle", "Lock Object Name", '='},
    {"Tablespace Snapshot", "Tablespace name", "", '='},
    {"Table Snapshot", "Table Schema", "", '='},
    {"System Database Directory", "Database alias", "", '='},
    {"Node Directory", "Node name", "", '='},
    {"Dynamic SQL Snapshot Result", "Number of executions", "", '='},
    {"EVENT LOG HEADER", "Event", "", ':'},
}};

constexpr size_t kLongValueChars = 60;

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

/// trimBlanks for the hot loop: report names are padded with blanks up to their "="
/// column, so trailing blanks are skipped a word at a time.
std::string_view trimSpaces(std::string_view s) {
  constexpr uint64_t kBlanks = 0x2020202020202020ULL;
  const char* b = s.data();
  const char* e = b + s.size();
  while (b < e && *b == ' ') ++b;
  while (e - b >= 8) {
    uint64_t w;
    std::memcpy(&w, e - 8, 8);
    if (w == kBlanks) {
      e -= 8;
      continue;
    }
    if constexpr (std::endian::native == std::endian::little)
      return {b, static_cast<size_t>(e - b) - std::countl_zero(w ^ kBlanks) / 8};
    break;
  }
  while (e > b && e[-1] == ' ') --e;
  return {b, static_cast<size_t>(e - b)};
}

int roundHalfEven(double x) {
  double r = std::nearbyint(x);  // the default rounding mode is to nearest, ties to even
  if (r > 2147483647.0) return 2147483647;
  return static_cast<int>(r);
}

}  // namespace

const ReportKind* findKind(std::string_view heading) {
  for (const ReportKind& k : kKinds)
    if (k.heading == heading) return &k;
  return nullptr;
}

int valueWidth(std::string_view value, TextMeasure& measure) {
  if (value.empty()) return 0;
  const size_t chars = isAscii(value) ? value.size() : utf8Length(value);
  if (chars >= kLongValueChars) return kLongValueWidth;
  return roundHalfEven(measure.textWidthTwips(value) * 1.2);
}

double FixedTextMeasure::textWidthTwips(std::string_view text) {
  return m_perChar * static_cast<double>(utf8Length(text));
}

std::string progressText(int32_t nread, int32_t nout, bool finished) {
  std::string s = finished ? "Finished. Records read: " : "Records read: ";
  s += std::to_string(nread);
  s += " Records outputted ";
  s += std::to_string(nout);
  return s;
}

void outputentry(int32_t /*r*/, int16_t maxcol, Grid& g, int32_t lineno, const LoadState& load) {
  if (lineno >= g.rows()) g.setRows(g.rows() + 100);
  if (maxcol >= g.cols()) g.setCols(maxcol + 1);
  if (maxcol >= 0)
    g.setRowTexts(lineno, std::span<const std::string>(load.vals.data(), static_cast<size_t>(maxcol) + 1));
}

void outputheaders(int16_t maxcol, Grid& g, const VariableTable& vars) {
  g.setRow(0);
  if (maxcol >= g.cols()) g.setCols(maxcol + 1);
  for (int i = 0; i <= maxcol; ++i) {
    const perfvar& v = vars[i];
    g.setText(0, i, v.name);
    if (v.show) {
      g.setColWidth(i, v.width);
      if (g.colWidth(i) < kMinColWidth) g.setColWidth(i, kMinColWidth);
    } else {
      g.setColWidth(i, 0);
    }
    g.setCol(i);
    g.setWordWrap(true);
    g.setColAlignment(i, Alignment::LeftTop);
  }
}

/// The state of one load, step by step.
class ReportLoader::Run {
 public:
  Run(ReportLoader& owner, Grid& g)
      : m_shared(owner.m_shared),
        m_load(owner.m_load),
        m_obs(owner.m_observer),
        m_measure(owner.m_measure),
        m_c(owner.m_counters),
        m_g(g) {
    m_maxAdvance = m_measure.maxAsciiAdvanceTwips();
  }

  void run(const std::string& file) {
    m_c = {};
    try {
      prepare();
      std::optional<ReportReader> in;
      in.emplace(file);
      m_obs.setFileTime(in->modified());
      read(*in);
      finishEntry();  // the last entry, also after Stop
    } catch (const std::exception& e) {
      m_c.failed = true;
      m_obs.showError(e.what());
    }
    finish();
  }

 private:
  void prepare() {
    // Until the grid is reset an error must still reach finish(); nothing here throws on
    // a grid that holds at least one row and column.
    m_g.clear();
    m_g.setCols(2);
    m_g.setRows(2);
    m_g.setRedraw(false);
    m_g.setRowHeight(0, kHeaderRowHeight);
    m_g.setRowHeight(1, kDefaultRowHeight);
    m_hasdata = false;
    m_load.clearVals(m_shared.vars.maxvar());
    m_shared.vars.reset();
    m_shared.snaptype.clear();
    m_obs.setWaitCursor(true);
    m_sep = '=';
    m_load.stopflag = false;
    m_obs.setStopEnabled(true);
  }

  void read(ReportReader& in) {
    std::string_view line;
    while (!m_load.stopflag && in.nextLine(line)) {
      ++m_c.nread;
      if (m_c.nread % 100 == 0) {
        m_obs.setStatus(progressText(m_c.nread, m_c.nout, false));
        m_g.setRedraw(true);
        m_g.setRedraw(false);
      }
      handleLine(line, in);
      m_obs.yieldEvents();
    }
  }

  void handleLine(std::string_view line, ReportReader& in) {
    if (m_shared.snaptype.empty()) {
      const std::string_view trimmed = trimSpaces(line);
      if (trimmed.empty()) return;
      if (line.find("echo") != std::string_view::npos || startsWith(line, "----------")) return;
      takeHeading(trimmed);
      return;
    }
    std::string_view name;
    std::string_view value;
    // The separator is never a blank, so a line that holds it is not blank either.
    const size_t at = line.find(m_sep);
    if (at == std::string_view::npos) {
      const std::string_view trimmed = trimSpaces(line);
      if (trimmed.empty()) return;
      if (startsWith(trimmed, "Dynamic SQL")) {
        m_name.assign(trimmed);  // the next read replaces the line's buffer
        const std::string_view next = continuation(in);
        store(m_name, next, in.lastLineAscii());
        return;
      }
      if (m_sep == ':' && line.find("Event") != std::string_view::npos) {
        name = "Event";
        value = trimmed;
      } else {
        return;
      }
    } else {
      name = trimSpaces(line.substr(0, at));
      value = trimSpaces(line.substr(at + 1));
    }
    if (m_startvar.empty()) m_startvar.assign(name);
    if (name == m_startvar || (!m_startvar2.empty() && name == m_startvar2)) {
      finishEntry();
      m_load.clearVals(m_shared.vars.maxvar());
      ++m_c.nentry;
    } else if (m_c.nentry == 0) {
      return;
    }
    store(name, value, in.lastLineAscii());
  }

  void takeHeading(std::string_view trimmed) {
    m_shared.snaptype.assign(trimmed);
    m_obs.setKind(m_shared.snaptype);
    readcfg(m_shared, removeBlanks(m_shared.snaptype));
    if (const ReportKind* kind = findKind(m_shared.snaptype)) {
      m_startvar.assign(kind->startvar);
      m_startvar2.assign(kind->startvar2);
      m_sep = kind->sep;
    }
  }

  std::string_view continuation(ReportReader& in) {
    std::string_view next;
    if (!in.nextLine(next)) throw ReadError("Input past end of file: " + in.path() + " ends after \"" + m_name + "\"");
    if (next.empty() && !in.nextLine(next))
      throw ReadError("Input past end of file: " + in.path() + " ends after \"" + m_name + "\"");
    return trimSpaces(next);
  }

  void store(std::string_view name, std::string_view value, bool ascii) {
    VariableTable& vars = m_shared.vars;
    // Entries repeat their names in the same order: the variable that followed the
    // previous one last time is the first guess (the table checks it exactly).
    int idx = vars.lookupHint(name, m_prev >= 0 ? m_follow[static_cast<size_t>(m_prev)] : -1);
    if (idx < 0) idx = vars.appendName(name);
    if (m_prev >= 0) m_follow[static_cast<size_t>(m_prev)] = static_cast<int16_t>(idx);
    m_prev = idx;
    m_load.vals[static_cast<size_t>(idx)].assign(value);
    m_hasdata = true;
    widen(idx, value, ascii);
  }

  /// `ascii`: the value is known to be plain ASCII.
  void widen(int idx, std::string_view value, bool ascii) {
    if (value.empty()) return;
    const int current = m_shared.vars[idx].width;
    // An ASCII value can't be wider than its length times the widest ASCII advance:
    // when even that bound can't beat the column, measuring is skipped. The bound is
    // rounded exactly as a measured width is (length times advance, then times 1.2).
    if (m_maxAdvance > 0 && value.size() < kLongValueChars &&
        roundHalfEven(static_cast<double>(value.size()) * m_maxAdvance * 1.2) <= current && (ascii || isAscii(value)))
      return;
    const int w = valueWidth(value, m_measure);
    if (w > current) m_shared.vars.setWidth(idx, static_cast<int16_t>(std::min(w, 32767)));
  }

  void finishEntry() {
    if (!m_hasdata) return;
    if (!m_load.like_val.empty()) {
      const int col = m_load.like_col;
      if (col < 0 || col >= kMaxVars || m_load.vals[static_cast<size_t>(col)] != m_load.like_val) return;
    }
    ++m_c.nout;
    outputentry(m_c.nentry, m_shared.vars.maxvar(), m_g, m_c.nout, m_load);
    m_hasdata = false;
  }

  void finish() {
    try {
      outputheaders(m_shared.vars.maxvar(), m_g, m_shared.vars);
    } catch (const std::exception& e) {
      m_obs.showError(e.what());
    }
    try {
      m_g.setRedraw(true);
      m_g.setRows(m_c.nout + 1);
      if (m_g.rows() > 1) m_g.setFixedRows(1);
      m_g.setFixedCols(m_shared.lockcol ? 1 : 0);
    } catch (const std::exception& e) {
      m_obs.showError(e.what());
    }
    m_obs.setWaitCursor(false);
    m_obs.setStopEnabled(false);
    m_obs.setStatus(progressText(m_c.nread, m_c.nout, true));
    m_load.like_val.clear();
  }

  SharedState& m_shared;
  LoadState& m_load;
  LoadObserver& m_obs;
  TextMeasure& m_measure;
  LoadCounters& m_c;
  Grid& m_g;
  double m_maxAdvance = 0;
  char m_sep = '=';
  std::string m_startvar;
  std::string m_startvar2;
  std::string m_name;
  bool m_hasdata = false;
  int m_prev = -1;  // index of the variable stored last
  std::array<int16_t, kMaxVars> m_follow = makeFollow();

  static std::array<int16_t, kMaxVars> makeFollow() {
    std::array<int16_t, kMaxVars> a{};
    a.fill(-1);
    return a;
  }
};

ReportLoader::ReportLoader(SharedState& shared, LoadState& load, LoadObserver& observer, TextMeasure& measure)
    : m_shared(shared), m_load(load), m_observer(observer), m_measure(measure) {}

void ReportLoader::do_refresh(const std::string& file, Grid& g) {
  m_loading = true;
  Run run(*this, g);
  run.run(file);
  m_loading = false;
}

}  // namespace tarvolin::core
