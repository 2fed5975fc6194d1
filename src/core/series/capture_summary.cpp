#include "core/series/capture_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/derived/statement_groups.h"
#include "core/read/kinds_index.h"
#include "core/read/known_indexes.h"
#include "core/values/decimal.h"

namespace tarvolin::core {

namespace {

constexpr const char* kTableKind = "Table Snapshot";
constexpr const char* kApplicationKind = "Application Snapshot";
constexpr const char* kStatementsTitle = "Statements by execution time";

/// The value of `text` as a double, for ranking and medians only.
double asDouble(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

/// Column `col` of the comparison grid summed over its entries; nothing when a value there
/// is no number or none has one.
std::optional<Decimal> summed(const GridStore& g, int col) {
  std::optional<Decimal> sum;
  for (int r = 1; r < g.rows(); ++r) {
    const std::string_view text = g.text(r, col);
    if (text.empty()) continue;
    const std::optional<Decimal> v = parseDecimal(text);
    if (!v) return std::nullopt;
    sum = sum ? checkedSum(*sum, *v) : v;
    if (!sum) return std::nullopt;
  }
  return sum;
}

/// The figures of one kind over its intervals, and their sums over the window.
class KindFigures {
 public:
  KindFigures(CaptureSummary& out, std::vector<size_t> figures) : m_out(out), m_figures(std::move(figures)) {
    for (size_t f : m_figures) {
      const size_t vars = m_out.figures[f].figure.expression.variables().size();
      m_sums.emplace_back(vars);
      m_counter.emplace_back(vars, true);
    }
    m_complete.assign(m_figures.size(), false);
  }

  void take(SeriesInterval& iv) {
    GridStore g;
    writeComparisonGrid(iv.comparison, iv.earlier, iv.later, g);
    const size_t at = static_cast<size_t>(iv.number - 1);
    if (m_out.intervals.size() <= at) m_out.intervals.add(iv.from, iv.to);
    if (!iv.comparison.intervalMicros && !std::exchange(m_lengthTold, true))
      m_out.notes.push_back(iv.from + " to " + iv.to + ": " + iv.comparison.intervalNote);
    for (size_t i = 0; i < m_figures.size(); ++i) takeFigure(i, iv, g, at);
  }

  /// The window's values, and the variables never found.
  void finish() {
    for (size_t i = 0; i < m_figures.size(); ++i) {
      FigureValues& f = m_out.figures[m_figures[i]];
      f.kindFound = true;
      if (m_complete[i]) f.missing.clear();  // lacked by some intervals only
      std::vector<std::string> texts;
      bool any = true;
      for (const std::optional<Decimal>& s : m_sums[i]) {
        any = any && s.has_value();
        texts.push_back(s ? formatDecimal(*s) : std::string());
      }
      if (any) f.window = f.figure.expression.evaluate([&](size_t v) { return std::string_view(texts[v]); });
    }
  }

 private:
  void takeFigure(size_t i, const SeriesInterval& iv, const GridStore& g, size_t at) {
    FigureValues& f = m_out.figures[m_figures[i]];
    const std::vector<std::string>& names = f.figure.expression.variables();
    std::vector<std::optional<Decimal>> values(names.size());
    bool complete = true;
    for (size_t v = 0; v < names.size(); ++v) {
      if (names[v] == kIntervalSecondsName) {
        if (iv.comparison.intervalMicros) values[v] = Decimal{*iv.comparison.intervalMicros, 6};
        continue;
      }
      const auto var = std::find_if(iv.comparison.vars.begin(), iv.comparison.vars.end(),
                                    [&](const ComparedVariable& c) { return c.name == names[v]; });
      if (var == iv.comparison.vars.end()) {
        complete = false;
        if (std::find(f.missing.begin(), f.missing.end(), names[v]) == f.missing.end()) f.missing.push_back(names[v]);
        continue;
      }
      m_counter[i][v] = var->counter;
      values[v] = summed(g, var->counter ? var->col + 1 : var->col);
    }
    if (complete) m_complete[i] = true;
    std::vector<std::string> texts;
    for (const std::optional<Decimal>& v : values) texts.push_back(v ? formatDecimal(*v) : std::string());
    std::string value = f.figure.expression.evaluate([&](size_t v) { return std::string_view(texts[v]); });
    if (f.values.size() <= at) f.values.resize(at + 1);
    if (value.empty()) return;
    f.values[at] = asDouble(value);
    for (size_t v = 0; v < values.size(); ++v) addToWindow(m_sums[i][v], *values[v], m_counter[i][v]);
  }

  /// A counter's change adds up; a value that is no counter keeps its highest.
  static void addToWindow(std::optional<Decimal>& sum, const Decimal& v, bool counter) {
    if (!sum)
      sum = v;
    else if (counter)
      sum = checkedSum(*sum, v).value_or(*sum);
    else if (difference(v, *sum).units > 0)
      sum = v;
  }

  CaptureSummary& m_out;
  std::vector<size_t> m_figures;                            // indices into m_out.figures
  std::vector<std::vector<std::optional<Decimal>>> m_sums;  // by figure, by variable: over the window
  std::vector<std::vector<bool>> m_counter;                 // by figure, by variable
  bool m_lengthTold = false;                                // of the first interval without a length
  std::vector<bool> m_complete;                             // by figure: some interval had every variable
};

/// The first and last snapshot of `kind` in the window; false when the window holds none.
/// Without a window, of the first and last file alone when both hold the kind.
bool loadEnds(SeriesSource& s, const std::string& kind, LoadedSnapshot& first, LoadedSnapshot& last) {
  s.kind = kind;
  try {
    if (!s.window.given() && s.paths.size() > 2) {
      SeriesSource a{{s.paths.front()}, s.kind, s.configFolder, s.dateOrder, s.fallback, {}};
      SeriesSource b{{s.paths.back()}, s.kind, s.configFolder, s.dateOrder, s.fallback, {}};
      LoadedSnapshot other;
      if (loadWindowEnds(a, first, other) > 0 && loadWindowEnds(b, other, last) > 0) return true;
    }
    return loadWindowEnds(s, first, last) > 0;
  } catch (const WindowError&) {
    return false;
  } catch (const NoSuchKindError&) {
    return false;
  }
}

/// The values of `names` on row `row` of `s`.
std::vector<std::string> shownValues(const LoadedSnapshot& s, int row, const std::vector<std::string>& names) {
  std::vector<std::string> out;
  for (const std::string& n : names) {
    const int col = s.report().vars.lookup(n);
    out.emplace_back(col >= 0 && col < s.grid.cols() ? s.grid.text(row, col) : std::string_view{});
  }
  return out;
}

/// What a top list of entries ranks by and shows.
struct EntryTop {
  const char* title;
  const char* keyColumn;
  const char* variable;  ///< ranked by its change
  const char* column;    ///< the change's header
  std::vector<std::string> shown;
  bool byShape = false;  ///< statements grouped by shape, by their execution time (the rest unused)
};

/// The entries whose `top.variable` grew most from `first` to `last`.
TopList entryTop(const EntryTop& top, Comparison& c, const GridStore& g, const LoadedSnapshot& last,
                 const EntryKeys& keys) {
  TopList list{top.title, last.report().kindHeading, {top.keyColumn}, {}};
  list.columns.insert(list.columns.end(), top.shown.begin(), top.shown.end());
  list.columns.emplace_back(top.column);
  const auto var = std::find_if(c.vars.begin(), c.vars.end(),
                                [&](const ComparedVariable& v) { return v.name == top.variable && v.counter; });
  if (var == c.vars.end()) return list;
  std::vector<std::pair<Decimal, size_t>> ranked;
  for (size_t e = 0; e < c.entries.size(); ++e) {
    if (c.entries[e].laterRow < 0) continue;
    const std::optional<Decimal> change = parseDecimal(g.text(static_cast<int>(e) + 1, var->col + 1));
    if (change && change->units > 0) ranked.emplace_back(*change, e);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return difference(a.first, b.first).units > 0; });
  if (ranked.size() > static_cast<size_t>(kSummaryTopRows)) ranked.resize(kSummaryTopRows);
  for (const auto& [change, e] : ranked) {
    const int row = c.entries[e].laterRow;
    TopRow r{{entryKeyText(keys.parts(row))}, entryKeyText(keys.parts(row)), row};
    for (std::string& v : shownValues(last, row, top.shown)) r.cells.push_back(std::move(v));
    r.cells.push_back(formatDecimal(change));
    list.rows.push_back(std::move(r));
  }
  return list;
}

/// The statements' shapes by their execution time over the window.
TopList statementTop(const Comparison& c, const LoadedSnapshot& first, const LoadedSnapshot& last,
                     const EntryKeys& keys) {
  TopList list{kStatementsTitle, last.report().kindHeading, {"Statement shape"}, {}};
  const StatementShapes shapes = groupChangesByShape(c, first, last);
  for (const std::string& name : shapes.counters) list.columns.push_back(name);
  for (const ShapeGroup& group : shapes.groups) {
    if (list.rows.size() == static_cast<size_t>(kSummaryTopRows)) break;
    if (group.sums.size() < 2 || !group.sums[1] || group.sums[1]->units <= 0) continue;  // none ran in the window
    TopRow r{{group.shape}, entryKeyText(keys.parts(group.rows.front())), group.rows.front()};
    for (const std::optional<Decimal>& sum : group.sums) r.cells.push_back(sum ? formatDecimal(*sum) : std::string());
    list.rows.push_back(std::move(r));
  }
  return list;
}

/// The top lists of `kind`, from its first and last snapshot in the window.
void addTops(CaptureSummary& out, SeriesSource& source, const CounterTypes& types, std::optional<int64_t> givenMicros,
             const std::string& kind, const std::vector<EntryTop>& tops) {
  LoadedSnapshot first;
  LoadedSnapshot last;
  if (!loadEnds(source, kind, first, last)) {
    for (const EntryTop& t : tops) out.lacking.push_back(std::string(t.title) + ": no " + kind);
    return;
  }
  Comparison c = compareSnapshots(first, last, types, givenMicros, source.dateOrder);
  const EntryKeys keys(last, EntryKeys::commonChoice(first, last));
  GridStore g;
  writeComparisonGrid(c, first, last, g);
  for (const EntryTop& t : tops)
    out.tops.push_back(t.byShape ? statementTop(c, first, last, keys) : entryTop(t, c, g, last, keys));
}

/// Of few files, their indexes kept, so that each kind then reads its own records alone.
void indexOnce(const std::vector<std::string>& paths) {
  if (paths.size() > kKeptIndexes) return;
  setRememberIndexes(true);
  for (const std::string& path : paths)
    if (!rememberedIndex(path)) (void)listSnapshots(path, KindChoice{});
}

}  // namespace

void SummaryIntervals::add(const std::string& from, const std::string& to) {
  for (const std::string* l : {&from, &to}) {
    if (l == &from && !m_ends.empty()) continue;
    m_text += *l;
    m_ends.push_back(static_cast<uint32_t>(m_text.size()));
  }
}

std::string SummaryIntervals::label(size_t snapshot) const {
  const size_t begin = snapshot == 0 ? 0 : m_ends[snapshot - 1];
  return m_text.substr(begin, m_ends[snapshot] - begin);
}

bool FigureValues::breaks(int i) const {
  if (!figure.rule) return false;
  if (i < 0) return !window.empty() && figure.rule->brokenBy(asDouble(window));
  const std::optional<double>& v = values[static_cast<size_t>(i)];
  return v && figure.rule->brokenBy(*v);
}

std::vector<Departure> CaptureSummary::departures() const {
  std::vector<Departure> out;
  for (size_t f = 0; f < figures.size(); ++f) {
    const FigureValues& fv = figures[f];
    const auto valued =
        std::count_if(fv.values.begin(), fv.values.end(), [](const std::optional<double>& v) { return v.has_value(); });
    if (!fv.shown() || !fv.median || valued < 3) continue;  // of two, each is as far from their median
    Departure best{f, -1, 0, 0};
    for (size_t i = 0; i < fv.values.size(); ++i) {
      if (!fv.values[i]) continue;
      const double v = *fv.values[i];
      const double rel = std::fabs(v - *fv.median) / std::max(std::fabs(*fv.median), 1.0);
      if (rel > best.relative) best = {f, static_cast<int>(i), v, rel};
    }
    if (best.interval >= 0) out.push_back(best);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const Departure& a, const Departure& b) { return a.relative > b.relative; });
  return out;
}

CaptureSummary summarizeCapture(const SeriesSource& source, const SummaryFigures& figures, const CounterTypes& types,
                                std::optional<int64_t> givenMicros) {
  CaptureSummary out;
  for (const SummaryFigure& f : figures.all()) out.figures.push_back({f, {}, {}, {}, {}, false});
  indexOnce(source.paths);
  std::optional<WindowError> emptyWindow;
  IntervalHooks hooks;
  hooks.note = [&out](const std::string& note) {
    if (note.starts_with("Dates:") && std::find(out.notes.begin(), out.notes.end(), note) == out.notes.end())
      out.notes.push_back(note);
  };
  SeriesSource s = source;  // of each kind in turn
  for (const std::string& kind : figures.kinds()) {
    std::vector<size_t> mine;
    for (size_t f = 0; f < out.figures.size(); ++f)
      if (sameHeading(out.figures[f].figure.kind, kind)) mine.push_back(f);
    KindFigures kindFigures(out, mine);
    s.kind = kind;
    int snapshots = 0;
    try {
      snapshots = forEachInterval(
          s, types, givenMicros, [&](SeriesInterval& iv) { kindFigures.take(iv); }, hooks);
    } catch (const WindowError& e) {
      if (!emptyWindow) emptyWindow = e;
      continue;
    }
    if (snapshots < 2) continue;
    kindFigures.finish();
    if (out.kind.empty()) {
      out.kind = kind;
      out.snapshots = snapshots;
    }
  }
  if (out.kind.empty() && emptyWindow) throw *emptyWindow;
  for (FigureValues& f : out.figures) {
    f.values.resize(out.intervals.size());
    std::vector<double> v;
    for (const std::optional<double>& t : f.values)
      if (t) v.push_back(*t);
    if (v.empty()) continue;
    std::sort(v.begin(), v.end());
    const size_t mid = v.size() / 2;
    f.median = v.size() % 2 != 0 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
  }
  if (out.kind.empty()) return out;
  addTops(out, s, types, givenMicros, kDynamicSqlKind, {{kStatementsTitle, "", "", "", {}, true}});
  addTops(out, s, types, givenMicros, kTableKind, {{"Tables by rows read", "Table", "Rows Read", "Rows read", {}}});
  addTops(out, s, types, givenMicros, kApplicationKind,
          {{"Applications by rows read",
            "Application",
            "Rows read",
            "Rows read",
            {"Application handle", "Application name"}},
           {"Applications by lock wait time",
            "Application",
            "Time application waited on locks (ms)",
            "Lock wait time (ms)",
            {"Application handle", "Application name"}}});
  return out;
}

}  // namespace tarvolin::core
