#include "core/series/series.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <numeric>
#include <utility>

#include "core/derived/comparison_derived.h"
#include "core/read/kinds_index.h"
#include "core/read/known_indexes.h"
#include "core/read/report_reader.h"

namespace tarvolin::core {

namespace {

/// A column's name with its occurrence in one comparison (from 1), the later ones told apart.
std::string occurrenceKey(const std::string& name, int occurrence) {
  return occurrence == 1 ? name : name + '\x1f' + std::to_string(occurrence);
}

/// The time of the last snapshot of the chosen kind in the last of `paths` that has one.
std::string lastTimeOf(const std::vector<std::string>& paths, const KindChoice& choice) {
  for (auto path = paths.rbegin(); path != paths.rend(); ++path)
    if (const std::vector<std::string> times = listSnapshots(*path, choice); !times.empty()) return times.back();
  return {};
}

/// The snapshots of the chosen kind of a file whose index is remembered that a window holds,
/// placed from the index's times as a reading would place them.
struct IndexedWindow {
  int first = -1;  ///< from 0 in the file; -1: none
  int last = -1;
  int snapshots = 0;         ///< of the kind in the file
  bool ended = false;        ///< the window ends in the file
  std::string heading;       ///< of the kind
  std::vector<bool> inside;  ///< by snapshot from `first` on: whether the window holds it
};

/// Of `path`, when its index is remembered and places its records, the snapshots `window`
/// holds, the first numbered `before` + 1; nothing otherwise (the file is read to find them).
std::optional<IndexedWindow> indexedWindow(const std::string& path, const KindChoice& choice, WindowMatcher& window,
                                           int before) {
  const std::shared_ptr<const KindsIndex> known = rememberedIndex(path);
  const int kind = known ? known->find(choice) : -1;
  if (kind < 0 || !known->placed(kind)) return std::nullopt;
  IndexedWindow w;
  w.heading = known->kinds()[static_cast<size_t>(kind)].heading;
  for (const KindSection& s : known->sections()) {
    if (s.kind != kind || w.ended) continue;
    const int n = w.snapshots++;
    const WindowMatcher::Place place = window.place(before + n + 1, s.time);
    w.ended = place == WindowMatcher::Place::After || window.endsBy(before + n + 1);
    if (w.first >= 0) w.inside.push_back(place == WindowMatcher::Place::Inside);
    if (place != WindowMatcher::Place::Inside) continue;
    if (w.first < 0) w.inside.push_back(true);
    if (w.first < 0) w.first = n;
    w.last = n;
  }
  w.snapshots = known->kinds()[static_cast<size_t>(kind)].snapshots;
  return w;
}

/// Reads the snapshots of a series as forEachSeriesSnapshot does, file after file; `settled`
/// (when given) gets the files that hold the kind and the kind by its heading.
class SeriesReader {
 public:
  SeriesReader(const SeriesSource& source, const std::function<void(LoadedSnapshot&, int number)>& take,
               SeriesSource* settled)
      : m_source(source), m_take(take), m_settled(settled) {
    m_choice = source.kind ? parseKindChoice(*source.kind) : source.fallback;
    if (source.window.given()) m_window.emplace(source.window, source.dateOrder);
    if (settled != nullptr) *settled = {{}, source.kind, source.configFolder, source.dateOrder, source.fallback, {}};
  }

  /// Reads every file up to the window's end; returns how many snapshots `take` got.
  int run(const SeriesNote& note) {
    for (const std::string& path : m_source.paths) {
      if (m_ended) break;
      // Of a remembered index, the window's snapshots alone are read: placed already.
      const auto indexed = m_window ? indexedWindow(path, m_choice, *m_window, m_number) : std::nullopt;
      if (indexed && indexed->first < 0 && indexed->snapshots > 0) {  // none in the window: not read
        m_ended = indexed->ended;
        m_number += indexed->snapshots;
        holdsKind(path, indexed->heading);
        continue;
      }
      readFile(path, indexed, note);
    }
    if (m_window && m_number > 0 && m_given == 0)
      throw WindowError(m_window->emptyMessage(m_ended ? lastTimeOf(m_source.paths, m_choice) : m_window->lastTime()));
    return m_given;
  }

 private:
  void readFile(const std::string& path, const std::optional<IndexedWindow>& indexed, const SeriesNote& note) {
    bool any = false;
    const int before = m_number;  // the snapshots before the file
    const SnapshotPass pass = forEachSnapshot(
        path, m_choice, m_source.configFolder,
        [&](LoadedSnapshot& s) {
          if (!s.error.empty()) throw SeriesError(s.error);
          any = true;
          return deliver(s, indexed, before);
        },
        false, indexed ? indexed->first : 0,
        indexed ? indexed->last : INT_MAX);  // a series never shows the snapshots' grids: no column is sized
    if (indexed) m_number = std::max(m_number, before + indexed->snapshots);
    if (any) {
      holdsKind(path, pass.kind >= 0 ? pass.index.kinds()[static_cast<size_t>(pass.kind)].heading : std::string());
      return;
    }
    if (!pass.error.empty()) throw ReadError(pass.error);
    if (!m_byHeading && m_choice.number > 0 && !pass.index.kinds().empty())
      throw NoSuchKindError(path + " holds no such kind of report; its kinds are:\n" + listKinds(pass.index.kinds()));
    if (note)
      note(path + ": no " + (m_choice.heading.empty() ? std::string("report") : m_choice.heading) + ", skipped");
  }

  /// Gives `s` to `take` when the window holds it; returns whether to read on.
  bool deliver(LoadedSnapshot& s, const std::optional<IndexedWindow>& indexed, int before) {
    ++m_number;
    if (indexed) {
      m_number = std::max(m_number, before + indexed->first + 1);
      if (!indexed->inside[static_cast<size_t>(m_number - before - 1 - indexed->first)]) return true;
    } else if (m_window) {
      const WindowMatcher::Place place = m_window->place(m_number, s.time());
      m_ended = place == WindowMatcher::Place::After;
      if (place != WindowMatcher::Place::Inside) return !m_ended;
    }
    LoadedSnapshot own = takeSnapshot(s);  // `take` may move from it, its variables too
    ++m_given;
    m_take(own, m_number);
    m_ended =
        indexed ? indexed->ended && m_number == before + indexed->last + 1 : m_window && m_window->endsBy(m_number);
    return !m_ended;
  }

  /// `path` holds the series' kind, of heading `heading` (empty: unknown).
  void holdsKind(const std::string& path, const std::string& heading) {
    if (!m_byHeading && !heading.empty()) m_choice = KindChoice{0, heading, false};
    m_byHeading = !m_choice.heading.empty();
    if (m_settled == nullptr) return;
    m_settled->paths.push_back(path);
    m_settled->kind = m_choice.heading;
  }

  const SeriesSource& m_source;
  const std::function<void(LoadedSnapshot&, int number)>& m_take;
  SeriesSource* m_settled;
  KindChoice m_choice;
  bool m_byHeading = false;  // m_choice names the series' kind by the heading met in its first file
  int m_number = 0;          // snapshots met, in the window or not
  int m_given = 0;
  std::optional<WindowMatcher> m_window;
  bool m_ended = false;  // by the window's end
};

int readSeries(const SeriesSource& source, const std::function<void(LoadedSnapshot&, int number)>& take,
               const SeriesNote& note, SeriesSource* settled) {
  return SeriesReader(source, take, settled).run(note);
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

int loadWindowEnds(const SeriesSource& source, LoadedSnapshot& first, LoadedSnapshot& last, const SeriesNote& note) {
  int n = 0;
  return readSeries(
      source,
      [&](LoadedSnapshot& s, int) {
        last = std::move(s);
        if (n++ == 0) first = last;
      },
      note, nullptr);
}

int forEachInterval(const SeriesSource& source, const CounterTypes& types, std::optional<int64_t> givenMicros,
                    const std::function<void(SeriesInterval&)>& take, const IntervalHooks& hooks) {
  // First pass: the files that hold the kind, the order of the dates, the window's
  // snapshots by number and the sketches.
  SeriesSource settled;
  DateOrderEvidence evidence;
  LoadedSnapshot previous;  // the one before, kept whole: its rows are the earlier side
  std::string previousLabel;
  int firstNumber = 0;
  int lastNumber = 0;
  readSeries(
      source,
      [&](LoadedSnapshot& s, int number) {
        if (firstNumber == 0) firstNumber = number;
        lastNumber = number;
        addDateEvidence(s, evidence);  // given an order too: to say where a date is none in it
        if (!hooks.plan) return;
        LoadedSnapshot sketch = sketchOf(s);
        std::string label = snapshotLabel(sketch, number);
        if (number > firstNumber) {
          Comparison c = compareSnapshots(previous, sketch, types, givenMicros, DateOrder::YMD);
          SeriesInterval iv{previous, sketch, c, previousLabel, label, number - firstNumber};
          hooks.plan(iv);
        }
        previous = std::move(sketch);
        previousLabel = std::move(label);
      },
      hooks.note, &settled);
  settled.dateOrder = decideDateOrder(evidence, source.dateOrder, hooks.note);
  if (source.window.given() && firstNumber > 0)  // the same snapshots again, however the dates now read
    settled.window = {{WindowBound::Form::Number, "", firstNumber}, {WindowBound::Form::Number, "", lastNumber}};
  previous = LoadedSnapshot();
  return readSeries(
      settled,
      [&](LoadedSnapshot& s, int number) {
        std::string label = snapshotLabel(s, number);
        if (number > firstNumber) {
          Comparison c = compareSnapshots(previous, s, types, givenMicros, settled.dateOrder);
          SeriesInterval iv{previous, s, c, previousLabel, label, number - firstNumber};
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
