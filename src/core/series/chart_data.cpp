#include "core/series/chart_data.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "core/grid/column_widths.h"
#include "core/series/summary_figures.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {

namespace {

double toDouble(const Decimal& d) { return static_cast<double>(d.units) / std::pow(10.0, d.scale); }

/// The interval from `earlier` to `later` as compareSnapshots takes it.
std::optional<int64_t> intervalBetween(const std::string& earlier, const std::string& later,
                                       std::optional<int64_t> given, std::optional<DateOrder> dates) {
  const std::optional<int64_t> t1 = parseSnapshotTime(earlier, dates);
  const std::optional<int64_t> t2 = parseSnapshotTime(later, dates);
  std::optional<int64_t> micros = t1 && t2 ? std::optional<int64_t>(*t2 - *t1) : given;
  if (micros && *micros <= 0) micros.reset();
  return micros;
}

}  // namespace

std::string entryLabel(const std::string& key, std::string_view handle, std::string_view name) {
  std::string label = key;
  if (!handle.empty() && !name.empty()) label = std::string(handle) + " " + std::string(name);
  if (label.size() <= kLabelLength) return label;
  // The first words and the last, each cut at a blank, as many as half the length takes.
  const size_t half = kLabelLength / 2;
  size_t head = label.rfind(' ', half);
  if (head == std::string::npos || head == 0) head = half;
  size_t tail = label.find(' ', label.size() - half);
  tail = tail == std::string::npos ? label.size() - half : tail + 1;
  if (tail <= head) return label;
  while (head > 0 && (static_cast<unsigned char>(label[head]) & 0xC0) == 0x80) --head;  // whole UTF-8 characters
  while (tail < label.size() && (static_cast<unsigned char>(label[tail]) & 0xC0) == 0x80) ++tail;
  return label.substr(0, head) + " \u2026 " + label.substr(tail);
}

ChartSeries::ChartSeries(std::string variable, ValueType type, std::optional<int64_t> givenMicros)
    : m_variable(std::move(variable)), m_type(type), m_given(givenMicros) {}

ChartSeries::ChartSeries(DerivedColumn column, const CounterTypes& types, std::optional<int64_t> givenMicros)
    : m_variable(column.name), m_type(ValueType::Unlisted), m_given(givenMicros), m_derived(std::move(column)) {
  for (const std::string& v : m_derived->expression.variables())
    m_counter.push_back(types.typeOf(v) == ValueType::Counter);
}

std::vector<ChartMeasure> ChartSeries::measures() const {
  if (m_derived) return {ChartMeasure::InInterval, ChartMeasure::Value};
  if (m_type == ValueType::Counter) return {ChartMeasure::Rate, ChartMeasure::Change, ChartMeasure::Value};
  return {ChartMeasure::Value};
}

void ChartSeries::clear() {
  m_labels.clear();
  m_times.clear();
  m_lastMarks = {};
  m_intervals.clear();
  m_entries.clear();
  m_index.clear();
}

void ChartSeries::add(const LoadedSnapshot& s, const std::string& label) {
  const size_t at = m_labels.size();
  m_intervals.push_back(at == 0 ? std::nullopt : intervalBetween(m_lastMarks.time, s.time(), m_given, m_dates));
  ResetMarks marks = resetMarksOf(s, m_dates);
  const bool restarted = at > 0 && !countersRestarted(m_lastMarks, marks).empty();  // no counter has a change
  m_lastMarks = std::move(marks);
  m_labels.push_back(label);
  m_times.push_back(parseSnapshotTime(s.time(), m_dates));
  std::vector<int> cols;  // the variable's column, or those of the formula's variables
  if (m_derived)
    for (const std::string& v : m_derived->expression.variables()) cols.push_back(s.report().vars.lookup(v));
  else
    cols.push_back(s.report().vars.lookup(m_variable));
  const EntryKeys keys(s);
  const int handleCol = s.report().vars.lookup("Application handle");
  const int nameCol = s.report().vars.lookup("Application name");
  const int idCol = s.report().vars.lookup("Application ID");
  std::unordered_map<std::string, int> seen;  // occurrences of each key in this snapshot
  for (int row = 1; row <= keys.size(); ++row) {
    std::string key = entryKeyText(keys.parts(row));
    if (const int n = ++seen[key]; n > 1) key += " (" + std::to_string(n) + ")";
    auto [it, added] = m_index.emplace(key, m_entries.size());
    if (added) {
      // An application keyed by its ID is named by its handle and name.
      const bool byId = idCol >= 0 && handleCol >= 0 && nameCol >= 0 && keys.parts(row)[0] == s.grid.text(row, idCol);
      m_entries.push_back({key,
                           entryLabel(key, byId ? s.grid.text(row, handleCol) : std::string_view(),
                                      byId ? s.grid.text(row, nameCol) : std::string_view()),
                           {},
                           {},
                           0,
                           {},
                           0});
    }
    Entry& e = m_entries[it->second];
    e.values.resize(at + 1);
    e.changes.resize(at + 1);
    if (m_derived)
      takeDerived(e, s.grid, row, cols, at, restarted);
    else
      takeValue(e, s.grid, row, cols[0], at, restarted);
    e.lastAt = at + 1;
  }
}

void ChartSeries::takeValue(Entry& e, const GridStore& g, int row, int col, size_t at, bool restarted) const {
  if (col >= 0) e.values[at] = parseDecimal(g.text(row, col));
  if (at == 0 || !e.values[at]) return;
  const bool counter = m_type == ValueType::Counter;
  if (e.lastAt != at) {  // new: a counter began at zero inside the interval, a gauge has no change
    if (!counter || restarted || e.values[at]->units < 0) return;
    e.changes[at] = e.values[at];
  } else {
    if (!e.values[at - 1]) return;
    const Decimal d = difference(*e.values[at], *e.values[at - 1]);
    if (counter && (d.units < 0 || restarted)) return;  // reset
    e.changes[at] = d;
  }
  e.total += std::fabs(toDouble(*e.changes[at]));
}

void ChartSeries::takeDerived(Entry& e, const GridStore& g, int row, const std::vector<int>& cols, size_t at,
                              bool restarted) const {
  const Expression& formula = m_derived->expression;
  std::vector<std::string> now(cols.size());
  for (size_t k = 0; k < cols.size(); ++k)
    if (cols[k] >= 0) now[k] = g.text(row, cols[k]);
  e.values[at] = parseDecimal(formula.evaluate([&now](size_t k) -> std::string_view { return now[k]; }));
  if (at > 0) {                          // over the interval that ends here; a new entry's counters began at zero in it
    const bool before = e.lastAt == at;  // the entry was in the snapshot before
    std::vector<std::string> change(now.size());
    for (size_t k = 0; k < now.size(); ++k) {
      if (formula.variables()[k] == kIntervalSecondsName) {  // a summary figure per second
        if (m_intervals[at]) change[k] = formatDecimal(Decimal{*m_intervals[at], 6});
        continue;
      }
      if (!m_counter[k]) {
        change[k] = now[k];
        continue;
      }
      if (restarted) continue;
      const std::optional<Decimal> d = before ? difference(now[k], e.inputs[k]) : parseDecimal(now[k]);
      if (d && d->units >= 0) change[k] = formatDecimal(*d);  // a counter that went down has no change
    }
    e.changes[at] = parseDecimal(formula.evaluate([&change](size_t k) -> std::string_view { return change[k]; }));
    if (e.changes[at]) e.total += std::fabs(toDouble(*e.changes[at]));
  }
  e.inputs = std::move(now);
}

ChartLine ChartSeries::line(const Entry& e, ChartMeasure measure) const {
  ChartLine l{e.key, e.label, std::vector<std::optional<double>>(m_labels.size()),
              std::vector<std::string>(m_labels.size())};
  for (size_t i = 0; i < e.values.size(); ++i) {
    std::optional<Decimal> d;
    if (measure == ChartMeasure::Value)
      d = e.values[i];
    else if (measure == ChartMeasure::Change || measure == ChartMeasure::InInterval)
      d = e.changes[i];
    else if (e.changes[i] && m_intervals[i])
      d = ratePerSecond(*e.changes[i], *m_intervals[i]);
    if (!d) continue;
    l.y[i] = toDouble(*d);
    l.text[i] = formatDecimal(*d);
  }
  return l;
}

ChartData ChartSeries::chart(ChartMeasure measure, const std::string& current, size_t most) const {
  const std::vector<ChartMeasure> offered = measures();
  if (std::find(offered.begin(), offered.end(), measure) == offered.end()) measure = offered.front();
  ChartData data{m_labels, m_times, {}, measure, {}};
  if (measure == ChartMeasure::Rate && m_intervals.size() > 1 &&
      std::none_of(m_intervals.begin(), m_intervals.end(), [](auto& i) { return i.has_value(); })) {
    measure = data.shown = ChartMeasure::Change;
    data.note = kNoTimesNote;
  }
  std::vector<size_t> order(m_entries.size());
  std::iota(order.begin(), order.end(), size_t{0});
  const auto it = m_index.find(current);
  if (it != m_index.end() && most > 0) {
    data.lines.push_back(line(m_entries[it->second], measure));
    order.erase(order.begin() + static_cast<std::ptrdiff_t>(it->second));
  }
  const size_t more = std::min(order.size(), most - data.lines.size());
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(more), order.end(),
                    [&](size_t a, size_t b) {
                      return m_entries[a].total != m_entries[b].total ? m_entries[a].total > m_entries[b].total : a < b;
                    });
  for (size_t i = 0; i < more; ++i) data.lines.push_back(line(m_entries[order[i]], measure));
  return data;
}

void writeChartTable(const ChartData& data, const std::string& valueTitle, GridStore& g, TextMeasure* measure) {
  size_t points = 0;
  for (const ChartLine& l : data.lines)
    points += static_cast<size_t>(std::count_if(l.y.begin(), l.y.end(), [](auto& y) { return y.has_value(); }));
  g.clear();
  g.setCols(4);
  g.setRows(static_cast<int>(points) + 1);
  const std::string header[] = {"Snapshot", valueTitle, "Entry", ""};
  for (int c = 0; c < 4; ++c) g.setText(0, c, header[c]);
  int row = 0;
  for (const ChartLine& l : data.lines)
    for (size_t i = 0; i < l.y.size(); ++i) {
      if (!l.y[i]) continue;
      ++row;
      g.setText(row, 0, data.labels[i]);
      g.setText(row, 1, l.text[i]);
      g.setText(row, 2, l.key);
      g.setText(row, 3, std::to_string(row));
    }
  g.setFixedRows(1);
  g.setFixedCols(0);
  for (int c = 0; measure != nullptr && c < 3; ++c) {
    int width = 0;
    for (int r = 0; r < g.rows(); ++r) width = std::max(width, valueWidth(g.text(r, c), *measure));
    g.setColWidth(c, width);
  }
  g.setColWidth(3, 0);
}

}  // namespace tarvolin::core
