#include "core/compare/snapshot_compare.h"

#include <algorithm>
#include <unordered_map>

#include "core/grid/grid_output.h"
#include "core/read/entry_reader.h"
#include "core/read/text_encoding.h"
#include "core/values/decimal.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {

namespace {

constexpr std::string_view kLockKind = "Database Lock Snapshot";
constexpr std::string_view kApplicationLockKind = "Application Lock Snapshot";

/// Width of a change or rate column, in twips.
constexpr int kChangeColWidth = 1400;

/// The value of variable `name` in the snapshot's preamble, else its first in the grid, or empty.
std::string_view firstValue(const LoadedSnapshot& s, std::string_view name) {
  for (const auto& [n, value] : s.report().preamble)
    if (n == name) return value;
  const int col = s.report().vars.lookup(std::string(name));
  for (int r = 1; col >= 0 && r < s.grid.rows(); ++r)
    if (const std::string_view v = s.grid.textUnchecked(r, col); !v.empty()) return v;
  return {};
}

/// The order of the snapshot's dates: `given`, else as its time and timestamp values show.
DateOrder datesOf(const LoadedSnapshot& s, std::optional<DateOrder> given) {
  if (given) return *given;
  DateOrderEvidence evidence;
  addDateEvidence(s, evidence);
  return evidence.order();
}

/// The interval and the note that tells it, or why there is none.
void takeInterval(const LoadedSnapshot& earlier, const LoadedSnapshot& later, DateOrder dates,
                  std::optional<int64_t> given, Comparison& c) {
  const std::optional<int64_t> t1 = parseSnapshotTime(earlier.time(), dates);
  const std::optional<int64_t> t2 = parseSnapshotTime(later.time(), dates);
  constexpr std::string_view kNotLater = "the later snapshot is not later than the earlier one";
  std::string why;
  if (given) {
    c.intervalMicros = given;
    why = "given";
    if (t1 && t2 && *t2 - *t1 != *given)
      why += "; the timestamps give " + secondsText(*t2 - *t1) + " s" +
             (*t2 - *t1 <= 0 ? ": " + std::string(kNotLater) : "");
  } else if (t1 && t2) {
    c.intervalMicros = *t2 - *t1;
    if (*c.intervalMicros <= 0) why = std::string(kNotLater) + ": the (per s) columns stay empty";
  } else if ((!t1 && !earlier.time().empty()) || (!t2 && !later.time().empty())) {
    why = "the \"Snapshot timestamp\" " + (!t1 && !earlier.time().empty() ? earlier.time() : later.time()) +
          " is no date in that order and no interval was given: the (per s) columns stay empty";
  } else {
    why = std::string(!t1 && !t2 ? "neither report carries a"
                      : !t2      ? "the later report carries no"
                                 : "the earlier report carries no") +
          " \"Snapshot timestamp\" and no interval was given: the (per s) columns stay empty";
  }
  c.intervalNote = "Interval: " + (c.intervalMicros ? secondsText(*c.intervalMicros) + " s" : "unknown") +
                   (why.empty() ? "" : " (" + why + ")");
  if (!given && !why.empty()) c.intervalMicros.reset();
}

}  // namespace

ResetMarks resetMarksOf(const LoadedSnapshot& s, std::optional<DateOrder> dateOrder) {
  ResetMarks marks{s.time(), {}, std::string(firstValue(s, "Last reset timestamp")), datesOf(s, dateOrder)};
  // DB2 spells the database's start in capitals in a Table Snapshot.
  for (const std::string_view name : {"First database connect timestamp", "First Database Connect Timestamp"})
    if (marks.connect.empty()) marks.connect = firstValue(s, name);
  if (marks.connect.empty()) {
    marks.connect = firstValue(s, "Start Database Manager timestamp");
    marks.manager = !marks.connect.empty();
  }
  return marks;
}

std::string countersRestarted(const ResetMarks& earlier, const ResetMarks& later) {
  const std::optional<int64_t> reset = parseSnapshotTime(later.resetAt, later.dates);
  const std::optional<int64_t> earlierTime = parseSnapshotTime(earlier.time, earlier.dates);
  if (reset && earlierTime && *reset > *earlierTime) return "counters were reset at " + timeOfDay(later.resetAt);
  if (earlier.connect.empty() || later.connect.empty()) return {};
  const std::optional<int64_t> t1 = parseSnapshotTime(earlier.connect, earlier.dates);
  const std::optional<int64_t> t2 = parseSnapshotTime(later.connect, later.dates);
  if (t1 && t2 ? *t1 != *t2 : trimBlanks(earlier.connect) != trimBlanks(later.connect))
    return (later.manager ? "the database manager was started again at " : "the database was activated again at ") +
           timeOfDay(later.connect);
  return {};
}

namespace {

/// The variables of the later report in its column order, then those only the earlier has.
void takeVariables(const LoadedSnapshot& earlier, const LoadedSnapshot& later, const CounterTypes& types,
                   Comparison& c) {
  int col = 1;
  auto add = [&](const std::string& name) {
    ComparedVariable v{name, earlier.report().vars.lookup(name), later.report().vars.lookup(name), col, false};
    v.counter = types.typeOf(name) == ValueType::Counter;
    col += v.counter ? 3 : 1;
    c.vars.push_back(std::move(v));
    c.cols = col;
  };
  for (int i = 0; i < later.report().vars.count(); ++i) add(later.report().vars[i].name);
  for (int i = 0; i < earlier.report().vars.count(); ++i)
    if (later.report().vars.lookup(earlier.report().vars[i].name) < 0) add(earlier.report().vars[i].name);
}

/// The columns of one entry: `texts` gets its cells; returns whether a counter went down.
bool fillRow(const Comparison& c, const GridStore* earlier, int erow, const GridStore* later, int lrow,
             std::vector<std::string>& texts, bool& differs) {
  bool reset = false;
  for (const ComparedVariable& v : c.vars) {
    const std::string_view before = earlier && v.earlierCol >= 0 ? earlier->textUnchecked(erow, v.earlierCol) : "";
    // A gone entry shows its earlier values; a variable the later report lacks is missing there.
    const std::string_view after = !later            ? before
                                   : v.laterCol >= 0 ? later->textUnchecked(lrow, v.laterCol)
                                                     : std::string_view{};
    texts[static_cast<size_t>(v.col)] = after;
    differs = differs || (earlier && later && before != after);
    if (!v.counter) continue;
    std::string& change = texts[static_cast<size_t>(v.col) + 1];
    std::string& rate = texts[static_cast<size_t>(v.col) + 2];
    change.clear();
    rate.clear();
    if (!later || !c.resetNote.empty()) continue;
    // A new entry began its counters at zero inside the interval: its change is its value.
    const std::optional<Decimal> d = earlier ? difference(after, before) : parseDecimal(after);
    if (!d) continue;
    if (d->units < 0) {  // went down: a reset; a new entry's negative value counts nothing
      reset = reset || earlier != nullptr;
      continue;
    }
    change = formatDecimal(*d);
    if (c.intervalMicros) rate = formatDecimal(*ratePerSecond(*d, *c.intervalMicros));
  }
  return reset;
}

/// Adds the earlier entries not matched to c.entries (the later report's, in its order): a
/// lock after the other rows of its application when the later report has that one, the
/// others at the end in the earlier report's order. Notes each lock's application.
void placeGone(const EntryKeys& before, const EntryKeys& after, const std::vector<bool>& matched, Comparison& c) {
  std::unordered_map<std::string_view, size_t> lastOfApp;  // handle: the position of its block's last row
  for (size_t i = 0; i < c.entries.size(); ++i) {
    ComparedEntry& e = c.entries[i];
    e.ownerRow = after.owner(e.laterRow);
    if (c.handleVar >= 0) lastOfApp[after.parts(e.laterRow)[1]] = i;  // a lock's key holds its application's
  }
  std::vector<std::vector<ComparedEntry>> follow(c.entries.size() + 1);  // what follows each position; last: the end
  for (int r = 1; r <= before.size(); ++r) {
    if (matched[static_cast<size_t>(r)]) continue;
    const ComparedEntry gone{r, -1, before.owner(r)};
    const auto app = gone.ownerRow > 0 ? lastOfApp.find(before.parts(r)[1]) : lastOfApp.end();
    follow[app != lastOfApp.end() ? app->second : c.entries.size()].push_back(gone);
  }
  std::vector<ComparedEntry> placed;
  placed.reserve(static_cast<size_t>(after.size()) + static_cast<size_t>(before.size()));
  for (size_t i = 0; i <= c.entries.size(); ++i) {
    if (i < c.entries.size()) placed.push_back(c.entries[i]);
    placed.insert(placed.end(), follow[i].begin(), follow[i].end());
  }
  c.entries = std::move(placed);
}

/// The keys an entry of `kind` can be known by, best first, each the names of its variables.
std::vector<std::vector<std::string>> keyChoices(const std::string& kind, const std::string& startName) {
  if (kind == "Tablespace Snapshot") return {{"Tablespace name"}, {"Tablespace ID"}};
  if (kind == "Table Snapshot") return {{"Table Schema", "Table Name"}, {"Table Name"}};
  if (kind == "Dynamic SQL Snapshot Result") return {{"Statement text"}};
  if (kind == "Application Snapshot") return {{"Application ID"}, {"Application handle"}};
  if (kind == kLockKind || kind == kApplicationLockKind)
    return {{"Application handle", "Lock Name", "Lock Object Name", "Object Type"}};
  if (const ReportKind* k = findKind(kind)) return {{std::string(k->startvar)}};
  return {{startName}};  // the first name read, wherever a configuration puts its column
}

/// Whether every entry of `grid` has a value for each of `names`.
bool everyEntryCarries(const GridStore& grid, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const int col = grid.report().vars.lookup(name);
    if (col < 0 && grid.rows() > 1) return false;
    for (int r = 1; col >= 0 && r < grid.rows(); ++r)
      if (grid.textUnchecked(r, col).empty()) return false;
  }
  return true;
}

/// Of the keys of the grid's kind, the first from `from` on that every entry carries, else
/// `from` (kept within the choices). A lock snapshot has one: no single row carries a lock's key.
int keyChoice(const GridStore& grid, int from) {
  const std::vector<std::vector<std::string>> choices = keyChoices(grid.report().kindHeading, grid.report().startName);
  from = std::clamp(from, 0, static_cast<int>(choices.size()) - 1);
  for (int i = from; i < static_cast<int>(choices.size()) && choices.size() > 1; ++i)
    if (everyEntryCarries(grid, choices[static_cast<size_t>(i)])) return i;
  return from;
}

}  // namespace

EntryKeys::EntryKeys(const GridStore& grid, int from) : m_grid(grid) {
  const Report& report = grid.report();
  const std::string& kind = report.kindHeading;
  m_locks = kind == kLockKind || kind == kApplicationLockKind;
  const std::vector<std::vector<std::string>> choices = keyChoices(kind, report.startName);
  for (const std::string& name : choices[static_cast<size_t>(keyChoice(grid, from))])
    m_cols.push_back(report.vars.lookup(name));
  if (!m_locks) return;
  m_owner.assign(static_cast<size_t>(m_grid.rows()), 0);
  for (int r = 1, owner = 0; r < m_grid.rows(); ++r) {
    const int h = m_cols[0];  // a lock row's owner, filled in, does not make it an application
    if (h >= 0 && !m_grid.textUnchecked(r, h).empty() && !m_grid.filledUnchecked(r, h)) owner = r;
    m_owner[static_cast<size_t>(r)] = owner;
  }
}

int EntryKeys::commonChoice(const LoadedSnapshot& a, const LoadedSnapshot& b) {
  for (int from = 0;;) {
    const int inA = keyChoice(a.grid, from);
    const int inB = keyChoice(b.grid, inA);
    if (inB == inA) return inA;
    from = inB;  // a later choice than a's: try it on a too
  }
}

EntryKeys::Parts EntryKeys::parts(int row) const {
  auto cell = [&](int r, size_t i) -> std::string_view {
    return r > 0 && i < m_cols.size() && m_cols[i] >= 0 ? m_grid.textUnchecked(r, m_cols[i]) : "";
  };
  if (!m_locks) return {cell(row, 0), cell(row, 1)};
  const int owner = m_owner[static_cast<size_t>(row)];
  if (owner == row) return {"A", cell(row, 0)};
  if (!cell(row, 1).empty()) return {"L", cell(owner, 0), cell(row, 1)};
  return {"O", cell(owner, 0), cell(row, 2), cell(row, 3)};
}

int EntryKeys::owner(int row) const {
  if (!m_locks) return 0;
  const int o = m_owner[static_cast<size_t>(row)];
  return o == row ? 0 : o;
}

uint64_t EntryKeys::hash(int row) const {
  uint64_t h = 0;
  for (const std::string_view part : parts(row)) h = (h ^ std::hash<std::string_view>{}(part)) * 0x9E3779B97F4A7C15ull;
  return h;
}

void addDateEvidence(const LoadedSnapshot& s, DateOrderEvidence& evidence) {
  evidence.add(s.time());
  for (const auto& [name, value] : s.report().preamble) evidence.add(value);
  constexpr std::string_view kStamp = "timestamp";
  for (int col = 0; col < s.report().vars.count() && col < s.grid.cols(); ++col) {
    if (!s.report().vars[col].name.ends_with(kStamp)) continue;
    for (int r = 1; r < s.grid.rows(); ++r) evidence.add(s.grid.textUnchecked(r, col));
  }
}

Comparison compareSnapshots(const LoadedSnapshot& earlier, const LoadedSnapshot& later, const CounterTypes& types,
                            std::optional<int64_t> givenMicros, std::optional<DateOrder> dateOrder) {
  const std::string& kind = later.report().kindHeading;
  if (earlier.report().kindHeading != kind)
    throw CompareError("Reports of different kinds: " + earlier.report().kindHeading + " and " + kind);
  if (const ReportKind* k = findKind(kind); k != nullptr && k->sep == ':')
    throw CompareError("Event monitor logs hold events, not counters: they can't be compared");
  Comparison c;
  // One order for both snapshots' dates (a field above 12 in either tells it), so that a
  // day-first capture going from the 12th to the 13th is read one way.
  DateOrderEvidence evidence;
  addDateEvidence(earlier, evidence);
  addDateEvidence(later, evidence);
  const DateOrder dates = dateOrder.value_or(evidence.order());
  takeInterval(earlier, later, dates, givenMicros, c);
  c.resetNote = countersRestarted(resetMarksOf(earlier, dates), resetMarksOf(later, dates));
  takeVariables(earlier, later, types, c);
  for (size_t i = 0; kind == kLockKind && i < c.vars.size(); ++i)
    if (c.vars[i].name == "Application handle") c.handleVar = static_cast<int>(i);

  // Earlier rows by the hash of their key, those of one hash chained in file order: a table
  // of chains with open addressing, at most half full.
  const int key = EntryKeys::commonChoice(earlier, later);
  const EntryKeys before(earlier, key);
  const EntryKeys after(later, key);
  std::vector<int> next(static_cast<size_t>(before.size()) + 1, -1);
  std::vector<bool> matched(next.size(), false);
  struct Chain {
    uint64_t hash = 0;
    int first = 0;  // row not yet matched, 0 for a free slot
    int last = 0;
  };
  size_t mask = 15;
  while (mask < 2 * next.size()) mask = mask * 2 + 1;
  std::vector<Chain> chains(mask + 1);
  auto slot = [&](uint64_t hash) -> Chain& {
    size_t i = hash & mask;
    while (chains[i].first != 0 && chains[i].hash != hash) i = (i + 1) & mask;
    return chains[i];
  };
  for (int r = 1; r <= before.size(); ++r) {
    Chain& chain = slot(before.hash(r));
    if (chain.first != 0)
      next[static_cast<size_t>(std::exchange(chain.last, r))] = r;
    else
      chain = {before.hash(r), r, r};
  }
  c.entries.reserve(static_cast<size_t>(after.size()));
  for (int r = 1; r <= after.size(); ++r) {
    ComparedEntry e{-1, r};
    if (Chain& chain = slot(after.hash(r)); chain.first != 0) {
      const EntryKeys::Parts key = after.parts(r);
      while (chain.first > 0 && matched[static_cast<size_t>(chain.first)])
        chain.first = next[static_cast<size_t>(chain.first)];
      for (int m = chain.first; m > 0 && e.earlierRow < 0; m = next[static_cast<size_t>(m)])
        if (!matched[static_cast<size_t>(m)] && before.parts(m) == key) e.earlierRow = m;
    }
    if (e.earlierRow > 0) matched[static_cast<size_t>(e.earlierRow)] = true;
    (e.earlierRow > 0 ? c.counts.matched : c.counts.added) += 1;
    c.entries.push_back(e);
  }
  placeGone(before, after, matched, c);
  c.counts.gone = static_cast<int>(c.entries.size()) - after.size();
  return c;
}

void writeComparisonHeader(const Comparison& c, const LoadedSnapshot& later, GridStore& g, int row) {
  g.setText(row, 0, "Change");
  g.setColWidth(0, kMinColWidth);
  for (const ComparedVariable& v : c.vars) {
    const int width = v.laterCol >= 0 ? later.grid.colWidth(v.laterCol) : kMinColWidth;
    g.setText(row, v.col, v.name);
    g.setColWidth(v.col, width);
    if (!v.counter) continue;
    g.setText(row, v.col + 1, v.name + " (change)");
    g.setText(row, v.col + 2, v.name + " (per s)");
    g.setColWidth(v.col + 1, width > 0 ? kChangeColWidth : 0);
    g.setColWidth(v.col + 2, width > 0 ? kChangeColWidth : 0);
  }
  for (int i = 0; i < c.cols; ++i) g.setColAlignment(i, Alignment::LeftTop);
  g.setWordWrap(true);
  g.setRowHeight(row, kHeaderRowHeight);
}

void writeComparison(Comparison& c, const LoadedSnapshot& earlier, const LoadedSnapshot& later, size_t first,
                     size_t last, GridStore& g, int row) {
  const bool markChanged = std::none_of(c.vars.begin(), c.vars.end(), [](const auto& v) { return v.counter; });
  std::vector<std::string> texts(static_cast<size_t>(c.cols));
  for (size_t i = first; i < last; ++i, ++row) {
    const ComparedEntry& e = c.entries[i];
    const GridStore* before = e.earlierRow > 0 ? &earlier.grid : nullptr;
    const GridStore* after = e.laterRow > 0 ? &later.grid : nullptr;
    bool differs = false;
    const bool reset = fillRow(c, before, e.earlierRow, after, e.laterRow, texts, differs) ||
                       (before && after && !c.resetNote.empty());
    if (c.handleVar >= 0 && e.ownerRow > 0) {  // a lock: its application's handle
      const ComparedVariable& v = c.vars[static_cast<size_t>(c.handleVar)];
      const int col = after ? v.laterCol : v.earlierCol;
      texts[static_cast<size_t>(v.col)] = col >= 0 ? (after ? after : before)->textUnchecked(e.ownerRow, col) : "";
    }
    const bool changed = before && after && !reset && markChanged && differs;
    texts[0] = !before ? kNewMark : !after ? kGoneMark : reset ? kResetMark : changed ? kChangedMark : "";
    c.counts.reset += reset ? 1 : 0;
    c.counts.changed += changed ? 1 : 0;
    g.setRowTexts(row, texts);
  }
}

void writeComparisonGrid(Comparison& c, const LoadedSnapshot& earlier, const LoadedSnapshot& later, GridStore& g) {
  g.clear();
  g.setRedraw(false);
  g.setCols(c.cols);
  g.setRows(static_cast<int>(c.entries.size()) + 1);
  writeComparisonHeader(c, later, g, 0);
  writeComparison(c, earlier, later, 0, c.entries.size(), g, 1);
  g.setFixedRows(g.rows() > 1 ? 1 : 0);
  g.setFixedCols(0);
  g.setRedraw(true);
}

std::string entryKeyText(const EntryKeys::Parts& parts) {
  std::string text;
  for (const std::string_view part : parts) {
    if (part.empty()) continue;
    if (!text.empty()) text += ' ';
    text += part;
  }
  return text;
}

void layOutColumns(Comparison& c, std::string_view handle) {
  c.cols = 1;
  c.handleVar = -1;
  for (size_t i = 0; i < c.vars.size(); ++i) {
    ComparedVariable& v = c.vars[i];
    v.col = c.cols;
    c.cols += v.counter ? 3 : 1;
    if (!handle.empty() && v.name == handle) c.handleVar = static_cast<int>(i);
  }
}

void putFirst(Comparison& c, const std::vector<std::string>& names) {
  const std::string handle = c.handleVar >= 0 ? c.vars[static_cast<size_t>(c.handleVar)].name : std::string();
  auto next = c.vars.begin();
  for (const std::string& name : names) {
    const auto found = std::find_if(next, c.vars.end(), [&](const ComparedVariable& v) { return v.name == name; });
    if (found != c.vars.end()) next = std::rotate(next, found, found + 1);
  }
  layOutColumns(c, handle);
}

}  // namespace tarvolin::core
