#include "core/compare/snapshot_compare.h"

#include <algorithm>

#include "core/compare/decimal.h"
#include "core/compare/snapshot_time.h"
#include "core/entry_reader.h"
#include "core/grid_output.h"

namespace tarvolin::core {

namespace {

constexpr std::string_view kLockKind = "Database Lock Snapshot";

/// Width of a change or rate column, in twips.
constexpr int kChangeColWidth = 1400;

/// The interval and the note that tells it, or why there is none.
void takeInterval(const LoadedSnapshot& earlier, const LoadedSnapshot& later, std::optional<int64_t> given,
                  Comparison& c) {
  const std::optional<int64_t> t1 = parseSnapshotTime(earlier.time);
  const std::optional<int64_t> t2 = parseSnapshotTime(later.time);
  std::string why;
  if (t1 && t2) {
    c.intervalMicros = *t2 - *t1;
  } else if (given) {
    c.intervalMicros = given;
  } else {
    why = std::string(!t1 && !t2 ? "neither report carries a"
                      : !t2      ? "the later report carries no"
                                 : "the earlier report carries no") +
          " \"Snapshot timestamp\" and no interval was given: the (per s) columns stay empty";
  }
  if (c.intervalMicros && *c.intervalMicros <= 0)
    why = "the later snapshot is not later than the earlier one: the (per s) columns stay empty";
  c.intervalNote = "Interval: " + (c.intervalMicros ? secondsText(*c.intervalMicros) + " s" : "unknown") +
                   (why.empty() ? "" : " (" + why + ")");
  if (!why.empty()) c.intervalMicros.reset();
}

/// The variables of the later report in its column order, then those only the earlier has.
void takeVariables(const LoadedSnapshot& earlier, const LoadedSnapshot& later, const CounterTypes& types,
                   Comparison& c) {
  int col = 1;
  auto add = [&](const std::string& name) {
    ComparedVariable v{name, earlier.shared.vars.lookup(name), later.shared.vars.lookup(name), col, false};
    v.counter = types.typeOf(name) == ValueType::Counter;
    col += v.counter ? 3 : 1;
    c.vars.push_back(std::move(v));
    c.cols = col;
  };
  for (int i = 0; i < later.shared.vars.count(); ++i) add(later.shared.vars[i].name);
  for (int i = 0; i < earlier.shared.vars.count(); ++i)
    if (later.shared.vars.lookup(earlier.shared.vars[i].name) < 0) add(earlier.shared.vars[i].name);
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
    if (!earlier || !later) continue;
    const std::optional<Decimal> a = parseDecimal(before);
    const std::optional<Decimal> b = a ? parseDecimal(after) : std::nullopt;
    if (!b) continue;
    const Decimal d = difference(*b, *a);
    if (d.units < 0) {
      reset = true;
      continue;
    }
    change = formatDecimal(d);
    if (c.intervalMicros) rate = formatDecimal(*ratePerSecond(d, *c.intervalMicros));
  }
  return reset;
}

}  // namespace

EntryKeys::EntryKeys(const LoadedSnapshot& s) : m_grid(s.grid) {
  const std::string& kind = s.shared.snaptype;
  std::vector<std::string> names;
  if (kind == "Tablespace Snapshot")
    names = {"Tablespace name"};
  else if (kind == "Table Snapshot")
    names = {"Table Schema", "Table Name"};
  else if (kind == "Dynamic SQL Snapshot Result")
    names = {"Statement text"};
  else if ((m_locks = kind == kLockKind))
    names = {"Application handle", "Lock Name", "Lock Object Name", "Object Type"};
  else if (const ReportKind* k = findKind(kind))
    names = {std::string(k->startvar)};
  else if (s.shared.vars.count() > 0)
    names = {s.shared.vars[0].name};  // the first name read, unless a configuration moved it
  for (const std::string& name : names) m_cols.push_back(s.shared.vars.lookup(name));
  if (!m_locks) return;
  m_owner.assign(static_cast<size_t>(m_grid.rows()), 0);
  for (int r = 1, owner = 0; r < m_grid.rows(); ++r) {
    const int h = m_cols[0];  // a lock row's owner, filled in, does not make it an application
    if (h >= 0 && !m_grid.textUnchecked(r, h).empty() && !m_grid.filledUnchecked(r, h)) owner = r;
    m_owner[static_cast<size_t>(r)] = owner;
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

uint64_t EntryKeys::hash(int row) const {
  uint64_t h = 0;
  for (const std::string_view part : parts(row)) h = (h ^ std::hash<std::string_view>{}(part)) * 0x9E3779B97F4A7C15ull;
  return h;
}

Comparison compareSnapshots(const LoadedSnapshot& earlier, const LoadedSnapshot& later, const CounterTypes& types,
                            std::optional<int64_t> givenMicros) {
  const std::string& kind = later.shared.snaptype;
  if (earlier.shared.snaptype != kind)
    throw CompareError("Reports of different kinds: " + earlier.shared.snaptype + " and " + kind);
  if (const ReportKind* k = findKind(kind); k != nullptr && k->sep == ':')
    throw CompareError("Event monitor logs hold events, not counters: they can't be compared");
  Comparison c;
  takeInterval(earlier, later, givenMicros, c);
  takeVariables(earlier, later, types, c);

  // Earlier rows by the hash of their key, those of one hash chained in file order: a table
  // of chains with open addressing, at most half full.
  const EntryKeys before(earlier);
  const EntryKeys after(later);
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
  for (int r = 1; r <= before.size(); ++r)
    if (!matched[static_cast<size_t>(r)]) c.entries.push_back({r, -1});
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
    const bool reset = fillRow(c, before, e.earlierRow, after, e.laterRow, texts, differs);
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

}  // namespace tarvolin::core
