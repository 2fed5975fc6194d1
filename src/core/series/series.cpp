#include "core/series/series.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "core/derived/comparison_derived.h"
#include "core/read/kinds_index.h"
#include "core/read/report_reader.h"

namespace tarvolin::core {

namespace {

/// A column's name with its occurrence in one comparison (from 1), the later ones told apart.
std::string occurrenceKey(const std::string& name, int occurrence) {
  return occurrence == 1 ? name : name + '\x1f' + std::to_string(occurrence);
}

/// Reads the snapshots of `source` as forEachSeriesSnapshot does; `settled` gets the files
/// that hold the kind and the kind by its heading.
int readSeries(const SeriesSource& source, const std::function<void(LoadedSnapshot&, int number)>& take,
               const SeriesNote& note, SeriesSource* settled) {
  KindChoice choice = source.kind ? parseKindChoice(*source.kind) : KindChoice{};
  bool byHeading = false;  // `choice` names the series' kind by the heading met in its first file
  int number = 0;
  if (settled != nullptr) *settled = {{}, source.kind, source.configFolder, source.dateOrder};
  for (const std::string& path : source.paths) {
    bool any = false;
    const SnapshotPass pass = forEachSnapshot(
        path, choice, source.configFolder,
        [&](LoadedSnapshot& s) {
          if (!s.error.empty()) throw SeriesError(s.error);
          LoadedSnapshot own = takeSnapshot(s);  // `take` may move from it, its variables too
          any = true;
          take(own, ++number);
          return true;
        },
        false);  // a series never shows the snapshots' grids: no column is sized
    if (any) {
      if (!byHeading && pass.kind >= 0)
        choice = KindChoice{0, pass.index.kinds()[static_cast<size_t>(pass.kind)].heading, false};
      byHeading = !choice.heading.empty();
      if (settled != nullptr) {
        settled->paths.push_back(path);
        settled->kind = choice.heading;
      }
      continue;
    }
    if (!pass.error.empty()) throw ReadError(pass.error);
    if (!byHeading && choice.number > 0 && !pass.index.kinds().empty())
      throw NoSuchKindError(path + " holds no such kind of report; its kinds are:\n" + listKinds(pass.index.kinds()));
    if (note) note(path + ": no " + (choice.heading.empty() ? std::string("report") : choice.heading) + ", skipped");
  }
  return number;
}

const char* orderName(DateOrder order) {
  switch (order) {
    case DateOrder::DMY:
      return "day first (DMY)";
    case DateOrder::MDY:
      return "month first (MDY)";
    case DateOrder::YMD:
      break;
  }
  return "year first (YMD)";
}

}  // namespace

DateOrder decideDateOrder(const DateOrderEvidence& evidence, std::optional<DateOrder> given, const SeriesNote& note,
                          std::string_view setting) {
  const DateOrder order = given.value_or(evidence.order());
  const std::string& against = evidence.against(order);
  if (against.empty() || !note) return order;
  if (given)
    note("Dates: \"" + against + "\" is no date " + orderName(order) + ", the order " + std::string(setting) +
         " gives: the intervals next to it have no length");
  else
    note("Dates: read " + std::string(orderName(order)) + " as \"" + evidence.onlyIn(order) + "\" shows, but \"" +
         against + "\" reads only the other way: the intervals next to it are wrong; " + std::string(setting) +
         " sets the order");
  return order;
}

namespace {

/// A sketch of `s` for the first pass: its variables, time and preamble, and a grid of its
/// header row and one row that holds the first value of each column that has one.
LoadedSnapshot sketchOf(LoadedSnapshot& s) {
  LoadedSnapshot sketch = takeSnapshot(s);
  GridStore& g = sketch.grid;
  if (g.rows() > 2) {
    for (int col = 0; col < g.cols(); ++col)
      for (int r = 1; r < g.rows() && g.text(1, col).empty(); ++r)
        if (const std::string_view v = g.text(r, col); !v.empty()) g.setText(1, col, std::string(v));
    g.setRows(2);
  }
  return sketch;
}

}  // namespace

std::string snapshotLabel(const LoadedSnapshot& s, int number) {
  return s.time().empty() ? "#" + std::to_string(number) : s.time();
}

int forEachSeriesSnapshot(const SeriesSource& source, const std::function<void(LoadedSnapshot&, int number)>& take,
                          const SeriesNote& note) {
  return readSeries(source, take, note, nullptr);
}

int forEachInterval(const SeriesSource& source, const CounterTypes& types, std::optional<int64_t> givenMicros,
                    const std::function<void(SeriesInterval&)>& take, const IntervalHooks& hooks) {
  // First pass: the files that hold the kind, the order of the dates and the sketches.
  SeriesSource settled;
  DateOrderEvidence evidence;
  LoadedSnapshot previous;  // the one before, kept whole: its rows are the earlier side
  std::string previousLabel;
  readSeries(
      source,
      [&](LoadedSnapshot& s, int number) {
        addDateEvidence(s, evidence);  // given an order too: to say where a date is none in it
        if (!hooks.plan) return;
        LoadedSnapshot sketch = sketchOf(s);
        std::string label = snapshotLabel(sketch, number);
        if (number > 1) {
          Comparison c = compareSnapshots(previous, sketch, types, givenMicros, DateOrder::YMD);
          SeriesInterval iv{previous, sketch, c, previousLabel, label, number - 1};
          hooks.plan(iv);
        }
        previous = std::move(sketch);
        previousLabel = std::move(label);
      },
      hooks.note, &settled);
  settled.dateOrder = decideDateOrder(evidence, source.dateOrder, hooks.note);
  previous = LoadedSnapshot();
  return readSeries(
      settled,
      [&](LoadedSnapshot& s, int number) {
        std::string label = snapshotLabel(s, number);
        if (number > 1) {
          Comparison c = compareSnapshots(previous, s, types, givenMicros, settled.dateOrder);
          SeriesInterval iv{previous, s, c, previousLabel, label, number - 1};
          take(iv);
        }
        previous = std::move(s);
        previousLabel = std::move(label);
      },
      {}, nullptr);
}

void SeriesTable::takeKind(const SeriesInterval& iv) {
  if (m_kindTaken || m_definitions == nullptr) return;
  m_kindTaken = true;
  m_plan =
      ColumnPlan(m_definitions, iv.later.report().kindHeading, iv.later.report().vars, iv.later.grid, m_addDerived);
}

void SeriesTable::headerOf(const SeriesInterval& iv) {
  const Comparison& c = iv.comparison;
  m_part.clear();
  m_part.setCols(c.cols);
  m_part.setRows(1);
  writeComparisonHeader(c, iv.later, m_part, 0);
}

void SeriesTable::plan(SeriesInterval& iv) {
  takeKind(iv);
  m_plan.leaveOutPlaceholders(iv.comparison, iv.earlier, iv.later);
  headerOf(iv);
  std::unordered_map<std::string, int> seen;
  size_t at = 0;  // where a column new to the table goes: after the last one met that it has
  for (int col = 0; col < iv.comparison.cols; ++col) {
    std::string name(m_part.text(0, col));
    std::string key = occurrenceKey(name, ++seen[name]);
    if (const auto it = m_index.find(key); it != m_index.end()) {
      at = static_cast<size_t>(it->second) + 1;
      continue;
    }
    for (auto& [k, index] : m_index)
      if (static_cast<size_t>(index) >= at) ++index;
    m_names.insert(m_names.begin() + static_cast<std::ptrdiff_t>(at), std::move(name));
    m_index.emplace(std::move(key), static_cast<int>(at++));
  }
}

void SeriesTable::mapColumns(const SeriesInterval& iv) {
  const Comparison& c = iv.comparison;
  headerOf(iv);
  const int empty = c.cols + 2;
  std::unordered_map<std::string, int> seen;
  if (m_names.empty()) {
    for (int col = 0; col < c.cols; ++col) {
      m_names.emplace_back(m_part.text(0, col));
      m_index.emplace(occurrenceKey(m_names.back(), ++seen[m_names.back()]), col);
    }
    seen.clear();
  }
  m_cols.assign(m_names.size() + 2, empty);
  m_cols[0] = c.cols;
  m_cols[1] = c.cols + 1;
  for (size_t i = 0; i < 2 * m_plan.columns().size(); ++i) m_cols.push_back(empty + 1 + static_cast<int>(i));
  for (int col = 0; col < c.cols; ++col) {
    std::string name(m_part.text(0, col));
    if (const auto it = m_index.find(occurrenceKey(name, ++seen[name])); it != m_index.end())
      m_cols[static_cast<size_t>(it->second) + 2] = col;
    else if (std::find(m_dropped.begin(), m_dropped.end(), name) == m_dropped.end())
      m_dropped.push_back(std::move(name));
  }
}

void SeriesTable::write(SeriesInterval& iv, const Output& out) {
  Comparison& c = iv.comparison;
  takeKind(iv);
  m_plan.leaveOutPlaceholders(c, iv.earlier, iv.later);
  const ComparisonDerived derived(m_plan.columns(), c);  // bound to this interval's columns
  mapColumns(iv);
  if (!m_headerWritten) {
    m_headerWritten = true;
    const int names = static_cast<int>(m_names.size());
    GridStore header;
    header.setCols(names + 2 + derived.cols());
    header.setRows(1);
    header.setText(0, 0, "From");
    header.setText(0, 1, "To");
    for (int i = 0; i < names; ++i) header.setText(0, i + 2, m_names[static_cast<size_t>(i)]);
    derived.writeHeader(header, 0, names + 2);
    std::vector<int> cols(static_cast<size_t>(header.cols()));
    std::iota(cols.begin(), cols.end(), 0);
    out(header, cols);
  }
  for (size_t begin = 0; begin < c.entries.size(); begin += kSlice) {
    const size_t end = std::min(begin + kSlice, c.entries.size());
    const int rows = static_cast<int>(end - begin);
    m_part.clear();
    m_part.setCols(c.cols + 3 + derived.cols());
    m_part.setRows(rows);
    writeComparison(c, iv.earlier, iv.later, begin, end, m_part, 0);
    for (int r = 0; r < rows; ++r) {
      m_part.setText(r, c.cols, iv.from);
      m_part.setText(r, c.cols + 1, iv.to);
    }
    derived.fill(m_part, 0, rows, m_part, c.cols + 3);
    out(m_part, m_cols);
  }
}

}  // namespace tarvolin::core
