#include "core/report_parser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

#include "core/config_file.h"
#include "core/grow_buffer.h"
#include "core/line_scan.h"
#include "core/line_source.h"
#include "core/report_reader.h"
#include "core/text_encoding.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

/// The values of the entry being read. They are kept in one byte buffer while a load
/// runs, and LoadState::vals is brought up to date when it ends: storing a value is one
/// append, a new entry forgets all values at once, and the texts of a row lie one after
/// another, so the grid copies them in one go.
class EntryValues {
 public:
  /// Forgets every value, as clearing vals[0..maxvar] does.
  void clear(int maxvar) {
    ++m_gen;
    m_bytes.clear();
    m_compactAt = kCompactFrom;
    m_clearedUpTo = maxvar;
    m_setCount = 0;
    m_overwritten = false;
  }

  /// vals[idx] = value. When memory runs out, the values stay as they were.
  void set(int idx, std::string_view value) {
    if (m_bytes.size() >= m_compactAt) compactIfWasteful();
    const size_t at = m_bytes.size();
    m_bytes.append(value.data(), value.size());
    Ref& r = m_refs[static_cast<size_t>(idx)];
    if (r.gen == m_gen)
      m_overwritten = true;
    else
      m_setOrder[m_setCount++] = static_cast<int16_t>(idx);
    r = Ref{at, value.size(), m_gen};
  }

  /// When no value was set twice since the last clear(), every byte held belongs to a
  /// current value: their cells, in the order first set, as parts of bytes(). Empty
  /// otherwise, and false is returned.
  bool cells(std::array<Grid::CellText, kMaxVars>& out, size_t& count) const {
    if (m_overwritten) return false;
    for (size_t i = 0; i < m_setCount; ++i) {
      const int idx = m_setOrder[i];
      const Ref& r = m_refs[static_cast<size_t>(idx)];
      out[i] = Grid::CellText{idx, r.offset, r.length};
    }
    count = m_setCount;
    return true;
  }
  [[nodiscard]] std::string_view bytes() const { return {m_bytes.data(), m_bytes.size()}; }

  /// vals[idx]; valid until the next set() or clear().
  [[nodiscard]] std::string_view get(int idx) const {
    const Ref& r = m_refs[static_cast<size_t>(idx)];
    if (r.gen != m_gen) return {};
    return {m_bytes.data() + r.offset, r.length};
  }

  /// Leaves in vals[0..maxvar] what storing into it directly would have left: the values
  /// set since the last clear(), empty texts for the other indices that clear() covered,
  /// and the rest as it was.
  void syncTo(LoadState& load, int maxvar) const {
    for (int i = 0; i <= maxvar && i < kMaxVars; ++i) {
      if (m_refs[static_cast<size_t>(i)].gen == m_gen)
        load.vals[static_cast<size_t>(i)].assign(get(i));
      else if (i <= m_clearedUpTo)
        load.vals[static_cast<size_t>(i)].clear();
    }
  }

 private:
  struct Ref {
    size_t offset = 0;
    size_t length = 0;
    uint32_t gen = 0;  // the value is current when this is m_gen
  };
  static constexpr size_t kCompactFrom = size_t{1} << 16;

  /// Drops the bytes of overwritten values when they are more than half of what is kept,
  /// so that an entry that repeats a name over and over holds no more than about twice
  /// its current values. Looked at again when the bytes have doubled.
  void compactIfWasteful() {
    size_t live = 0;
    for (const Ref& r : m_refs)
      if (r.gen == m_gen) live += r.length;
    if (m_bytes.size() > 2 * live) {
      GrowBuffer<char> kept;
      for (const Ref& r : m_refs)
        if (r.gen == m_gen) kept.append(m_bytes.data() + r.offset, r.length);
      // Copied in full: only now move the references (nothing below throws).
      size_t at = 0;
      for (Ref& r : m_refs) {
        if (r.gen != m_gen) continue;
        r.offset = at;
        at += r.length;
      }
      m_bytes.swap(kept);
    }
    m_compactAt = std::max(kCompactFrom, 2 * m_bytes.size());
  }

  GrowBuffer<char> m_bytes;
  size_t m_compactAt = kCompactFrom;           // size of m_bytes at which waste is looked for
  std::array<int16_t, kMaxVars> m_setOrder{};  // indices set since clear(), in the order first set
  size_t m_setCount = 0;
  bool m_overwritten = false;  // some index was set twice since clear()
  std::array<Ref, kMaxVars> m_refs{};
  uint32_t m_gen = 1;
  int m_clearedUpTo = -1;  // maxvar at the last clear(); -1 before the first
};

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

namespace {

/// progressText into `s`, reusing its storage: the loader shows progress every 100 lines.
void formatProgress(std::string& s, int32_t nread, int32_t nout, bool finished) {
  char digits[16];
  s.assign(finished ? "Finished. Records read: " : "Records read: ");
  s.append(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, nread).ptr - digits));
  s.append(" Records outputted ");
  s.append(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, nout).ptr - digits));
}

}  // namespace

std::string progressText(int32_t nread, int32_t nout, bool finished) {
  std::string s;
  formatProgress(s, nread, nout, finished);
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

/// For each variable, the bytes that began its last line up to and including the
/// separator: a line that begins with the same bytes names the same variable, with its
/// value right after them. Shapes of 16 to 63 bytes are kept (names are padded to the
/// separator's column, so almost all are).
class LineShapes {
 public:
  void remember(int idx, std::string_view prefix) {
    Shape& s = m_shapes[static_cast<size_t>(idx)];
    if (prefix.size() < 16 || prefix.size() > sizeof s.bytes) {
      s.length = 0;
      return;
    }
    std::memcpy(s.bytes, prefix.data(), prefix.size());
    s.length = static_cast<uint8_t>(prefix.size());
  }

  /// The length of variable idx's shape when `line` begins with it, else 0.
  [[nodiscard]] size_t match(int idx, std::string_view line) const {
    const Shape& s = m_shapes[static_cast<size_t>(idx)];
    const size_t n = s.length;
    if (n == 0 || line.size() < n) return 0;
#if defined(__SSE2__)
    // 16 bytes at a time; the last block overlaps the one before.
    auto differ = [&](size_t at) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.bytes + at));
      return _mm_movemask_epi8(_mm_cmpeq_epi8(a, b)) != 0xFFFF;
    };
    for (size_t at = 0; at + 16 < n; at += 16)
      if (differ(at)) return 0;
    return differ(n - 16) ? 0 : n;
#else
    return std::memcmp(line.data(), s.bytes, n) == 0 ? n : 0;
#endif
  }

 private:
  struct alignas(64) Shape {
    char bytes[63];
    uint8_t length = 0;  // 0: none kept
  };
  std::array<Shape, kMaxVars> m_shapes{};
};

/// The state of one load, step by step.
class ReportLoader::Run {
 public:
  Run(ReportLoader& owner, Grid& g)
      : m_shared(owner.m_shared),
        m_load(owner.m_load),
        m_obs(owner.m_observer),
        m_measure(owner.m_measure),
        m_c(owner.m_counters),
        m_readAheadFrom(owner.m_readAheadFrom),
        m_g(g) {
    m_maxAdvance = m_measure.maxAsciiAdvanceTwips();
  }

  void run(const std::string& file) {
    m_c = {};
    try {
      prepare();
      std::optional<LineSource> in;
      in.emplace(file, m_readAheadFrom);
      m_obs.setFileTime(in->modified());
      read(*in);
      finishEntry();  // the last entry, also after Stop
    } catch (const std::exception& e) {
      m_c.failed = true;
      m_obs.showError(e.what());
    }
    m_values.syncTo(m_load, m_shared.vars.maxvar());
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

  void read(LineSource& in) {
    while (!m_load.stopflag) {
      if (m_at >= m_lines.size() && !nextBatch(in)) return;
      ++m_c.nread;
      if (--m_untilProgress == 0) {
        m_untilProgress = kProgressEvery;
        showProgress();
      }
      if (!handleKnownShape(m_lines[m_at])) handleLine(m_lines[m_at], in);
      ++m_at;
      m_obs.yieldEvents();
    }
  }

  /// Takes the source's next batch of lines; false at the end of the file.
  bool nextBatch(LineSource& in) {
    m_lines = in.next();
    m_at = 0;
    return !m_lines.empty();
  }

  void showProgress() {
    formatProgress(m_progress, m_c.nread, m_c.nout, false);
    m_obs.setStatus(m_progress);
    m_g.setRedraw(true);
    m_g.setRedraw(false);
  }

  /// Any line that handleKnownShape did not take.
  [[gnu::noinline]] void handleLine(const ReportLine& line, LineSource& in) {
    if (m_shared.snaptype.empty()) {
      const std::string_view trimmed = trimPadded(line.text);
      if (trimmed.empty()) return;
      if (line.text.find("echo") != std::string_view::npos || startsWith(line.text, "----------")) return;
      takeHeading(trimmed);
      return;
    }
    std::string_view name;
    std::string_view value;
    // The separator is never a blank, so a line that holds it is not blank either.
    const size_t at = findByte(line.text, m_sep);
    if (at == std::string_view::npos) {
      const std::string_view trimmed = trimPadded(line.text);
      if (trimmed.empty()) return;
      if (startsWith(trimmed, "Dynamic SQL")) {
        m_name.assign(trimmed);  // the next read replaces the line's buffer
        bool ascii = false;
        const std::string_view next = continuation(in, ascii);
        store(m_name, next, ascii);
        return;
      }
      if (m_sep == ':' && line.text.find("Event") != std::string_view::npos) {
        name = "Event";
        value = trimmed;
      } else {
        return;
      }
    } else {
      name = trimPadded(line.text.substr(0, at));
      value = trimPadded(line.text.substr(at + 1));
    }
    if (m_startvar.empty()) setStartvar(name);
    int idx = findVariable(name);
    if (isStartName(name, idx)) {
      beginEntry();
    } else if (m_c.nentry == 0) {
      return;
    }
    if (idx < 0) idx = m_shared.vars.appendName(name);
    if (at != std::string_view::npos && !m_startvar.empty()) m_shapes.remember(idx, line.text.substr(0, at + 1));
    storeAt(idx, value, line.ascii);
  }

  /// The common line: the variable that followed the previous one last time, laid out
  /// as it was then (the same bytes up to and including the separator). Name, index and
  /// value are then known without searching; the effect is the general path's.
  bool handleKnownShape(const ReportLine& line) {
    const int guess = m_follow[static_cast<size_t>(m_prev)];
    if (guess < 0) return false;
    const size_t prefix = m_shapes.match(guess, line.text);
    if (prefix == 0) return false;
    if (isStartIndex(guess)) {
      beginEntry();
    } else if (m_c.nentry == 0) {
      return true;
    }
    storeAt(guess, trimPadded(line.text.substr(prefix)), line.ascii);
    return true;
  }

  [[gnu::noinline]] void beginEntry() {
    finishEntry();
    m_values.clear(m_shared.vars.maxvar());
    ++m_c.nentry;
  }

  void setStartvar(std::string_view name) {
    m_startvar.assign(name);
    m_startIdx = -1;
  }

  /// The variable's index, or -1. Entries repeat their names in the same order: the
  /// variable that followed the previous one last time is the first guess (the table
  /// checks it exactly).
  int findVariable(std::string_view name) const {
    return m_shared.vars.lookupHint(name, m_follow[static_cast<size_t>(m_prev)]);
  }

  /// name == startvar or name == startvar2 (when set). A name already in the table
  /// (`idx` >= 0) is compared by index: the table answers the first index of a name, so
  /// equal indices mean equal names, and the start names' indices are looked up only
  /// until they exist.
  bool isStartName(std::string_view name, int idx) {
    if (idx < 0) return name == m_startvar || (!m_startvar2.empty() && name == m_startvar2);
    return isStartIndex(idx);
  }

  /// isStartName for a name in the table, by its index (idx >= 0).
  bool isStartIndex(int idx) {
    if (idx == m_startIdx) return true;
    if (m_startIdx < 0) {
      m_startIdx = m_shared.vars.lookup(m_startvar);
      if (idx == m_startIdx) return true;
    }
    if (m_startvar2.empty()) return false;
    if (idx == m_startIdx2) return true;
    if (m_startIdx2 >= 0) return false;
    m_startIdx2 = m_shared.vars.lookup(m_startvar2);
    return idx == m_startIdx2;
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

  /// The line after a "Dynamic SQL" name (after one empty line, the one after that).
  std::string_view continuation(LineSource& in, bool& ascii) {
    std::string_view next;
    if (!takeNext(in, next, ascii)) throw pastEnd(in);
    if (next.empty() && !takeNext(in, next, ascii)) throw pastEnd(in);
    return trimPadded(next);
  }

  ReadError pastEnd(const LineSource& in) const {
    return ReadError("Input past end of file: " + in.path() + " ends after \"" + m_name + "\"");
  }

  /// The next line, taken from the batches as the main loop takes them (such lines are
  /// not counted as read).
  bool takeNext(LineSource& in, std::string_view& line, bool& ascii) {
    if (m_at + 1 < m_lines.size())
      ++m_at;
    else if (!nextBatch(in))  // the line being handled is no longer needed
      return false;
    line = m_lines[m_at].text;
    ascii = m_lines[m_at].ascii;
    return true;
  }

  void store(std::string_view name, std::string_view value, bool ascii) {
    const int idx = findVariable(name);
    storeAt(idx >= 0 ? idx : m_shared.vars.appendName(name), value, ascii);
  }

  [[gnu::always_inline]] void storeAt(int idx, std::string_view value, bool ascii) {
    m_follow[static_cast<size_t>(m_prev)] = static_cast<int16_t>(idx);
    m_prev = idx;
    m_values.set(idx, value);
    m_hasdata = true;
    widen(idx, value, ascii);
  }

  /// `ascii`: the value is known to be plain ASCII.
  void widen(int idx, std::string_view value, bool ascii) {
    if (value.empty()) return;
    // The threshold kept for this column belongs to its width when it was found; widths
    // only grow while a load runs (this is their one writer), so it is never too high.
    if (ascii && value.size() < m_unbeaten[static_cast<size_t>(idx)].length) return;
    const int current = m_shared.vars[idx].width;
    // An ASCII value can't be wider than its length times the widest ASCII advance:
    // when even that bound can't beat the column, measuring is skipped.
    if (m_maxAdvance > 0 && value.size() < unbeatenLength(idx, current) && (ascii || isAscii(value))) return;
    const int w = valueWidth(value, m_measure);
    if (w > current) m_shared.vars.setWidth(idx, static_cast<int16_t>(std::min(w, 32767)));
  }

  /// The bound of a value of n ASCII characters, rounded exactly as a measured width is
  /// (length times advance, then times 1.2).
  int asciiBound(size_t n) const { return roundHalfEven(static_cast<double>(n) * m_maxAdvance * 1.2); }

  /// Shortest length from 1 to 60 whose bound beats `width` (60 if none does): shorter ASCII values can't
  /// widen the column. The bound grows with the length, so this is a threshold; it is
  /// kept per column until the column's width changes.
  size_t unbeatenLength(int idx, int width) {
    Unbeaten& u = m_unbeaten[static_cast<size_t>(idx)];
    if (u.width != width) {
      u.width = width;
      u.length = 1;  // values are never empty here
      while (u.length < kLongValueChars && asciiBound(u.length) <= width) ++u.length;
    }
    return u.length;
  }

  void finishEntry() {
    if (!m_hasdata) return;
    if (!m_load.like_val.empty()) {
      const int col = m_load.like_col;
      if (col < 0 || col >= kMaxVars || m_values.get(col) != m_load.like_val) return;
    }
    ++m_c.nout;
    writeRow(m_shared.vars.maxvar(), m_c.nout);
    m_hasdata = false;
  }

  /// outputentry(nentry, maxcol, g, lineno), reading the values where the load keeps them.
  void writeRow(int16_t maxcol, int32_t lineno) {
    if (lineno >= m_g.rows()) m_g.setRows(m_g.rows() + 100);
    if (maxcol >= m_g.cols()) m_g.setCols(maxcol + 1);
    if (maxcol < 0) return;
    // A row is written once, into cells that are still empty: only the values set need
    // writing, and when none was overwritten they lie one after another.
    size_t count = 0;
    if (m_values.cells(m_cells, count)) {
      m_g.setCellsFrom(lineno, m_values.bytes(), std::span<const Grid::CellText>(m_cells.data(), count));
      return;
    }
    for (int i = 0; i <= maxcol; ++i) m_row[static_cast<size_t>(i)] = m_values.get(i);
    m_g.setRowViews(lineno, std::span<const std::string_view>(m_row.data(), static_cast<size_t>(maxcol) + 1));
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
  uint64_t m_readAheadFrom;
  Grid& m_g;
  double m_maxAdvance = 0;
  char m_sep = '=';
  std::string m_startvar;
  std::string m_startvar2;
  int m_startIdx = -1;   // first index of m_startvar in the table, once it is there
  int m_startIdx2 = -1;  // the same for m_startvar2
  std::string m_name;
  std::span<const ReportLine> m_lines;  // the batch of lines being read
  size_t m_at = 0;                      // the line of it being handled
  LineShapes m_shapes;
  std::string m_progress;  // the status text shown every 100 lines
  static constexpr int kProgressEvery = 100;
  int m_untilProgress = kProgressEvery;  // lines read until it is shown next
  bool m_hasdata = false;
  EntryValues m_values;
  std::array<std::string_view, kMaxVars> m_row;  // the texts writeRow hands to the grid
  std::array<Grid::CellText, kMaxVars> m_cells;  // or the cells it sets
  int m_prev = kMaxVars;                         // index of the variable stored last; kMaxVars before the first
  struct Unbeaten {
    int width = -1;     // the column width `length` was found for; -1: not yet
    size_t length = 0;  // 0 until found: no value is skipped unmeasured
  };
  std::array<Unbeaten, kMaxVars> m_unbeaten{};
  // By variable (and kMaxVars for "none yet"): the variable stored after it last time, or -1.
  std::array<int16_t, kMaxVars + 1> m_follow = makeFollow();

  static std::array<int16_t, kMaxVars + 1> makeFollow() {
    std::array<int16_t, kMaxVars + 1> a{};
    a.fill(-1);
    return a;
  }
};

ReportLoader::ReportLoader(SharedState& shared, LoadState& load, LoadObserver& observer, TextMeasure& measure)
    : m_shared(shared),
      m_load(load),
      m_observer(observer),
      m_measure(measure),
      m_readAheadFrom(LineSource::kReadAheadFrom) {}

void ReportLoader::do_refresh(const std::string& file, Grid& g) {
  m_loading = true;
  Run run(*this, g);
  run.run(file);
  m_loading = false;
}

}  // namespace tarvolin::core
