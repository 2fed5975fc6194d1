#include "core/derived/statement_groups.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "core/derived/statement_shape.h"
#include "core/grid/result_grid.h"
#include "core/lockwait/lock_waits.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {

namespace {

long double approx(const Decimal& d) { return static_cast<long double>(d.units) / std::pow(10.0L, d.scale); }

/// a > b, exactly where the scaled values fit.
bool greater(const Decimal& a, const Decimal& b) {
  const int scale = std::max(a.scale, b.scale);
  __int128 x, y;
  if (__builtin_mul_overflow(a.units, powerOfTen(scale - a.scale), &x) ||
      __builtin_mul_overflow(b.units, powerOfTen(scale - b.scale), &y))
    return approx(a) > approx(b);
  return x > y;
}

/// a > b; a sum that is no number last.
void rankByTime(StatementShapes& out) {
  const auto timeAt = std::find(out.counters.begin(), out.counters.end(), kExecutionTimeName);
  const size_t t = static_cast<size_t>(timeAt - out.counters.begin());
  if (timeAt == out.counters.end()) return;
  std::stable_sort(out.groups.begin(), out.groups.end(), [t](const ShapeGroup& a, const ShapeGroup& b) {
    if (!a.sums[t] || !b.sums[t]) return a.sums[t] && !b.sums[t];
    return greater(*a.sums[t], *b.sums[t]);
  });
}

/// The sums of groupChangesByShape, each of those variables added up.
const std::vector<std::pair<std::string, std::vector<std::string>>>& changeSums() {
  static const std::vector<std::pair<std::string, std::vector<std::string>>> sums = {
      {"Executions", {"Number of executions"}},
      {"Total execution time (s)", {kExecutionTimeName}},
      {"Rows read", {"Rows read"}},
      {"CPU time (s)", {"Total user cpu time (sec.microsec)", "Total system cpu time (sec.microsec)"}}};
  return sums;
}

/// The change of one variable of entry `e` over the interval; a new entry, one whose value
/// went down and every one when the counters `restarted` counted from zero; nothing where a
/// value is no number.
std::optional<Decimal> changeOf(const ComparedVariable& v, const ComparedEntry& e, const LoadedSnapshot& earlier,
                                const LoadedSnapshot& later, bool restarted) {
  if (v.laterCol < 0) return std::nullopt;
  const std::optional<Decimal> now = parseDecimal(later.grid.text(e.laterRow, v.laterCol));
  if (!now || restarted || e.earlierRow < 0 || v.earlierCol < 0) return now;
  const std::optional<Decimal> before = parseDecimal(earlier.grid.text(e.earlierRow, v.earlierCol));
  if (!before) return std::nullopt;
  const Decimal d = difference(*now, *before);
  return d.units < 0 ? now : std::optional<Decimal>(d);
}

}  // namespace

StatementShapes groupChangesByShape(const Comparison& c, const LoadedSnapshot& earlier, const LoadedSnapshot& later) {
  StatementShapes out;
  std::vector<std::vector<const ComparedVariable*>> parts;  // by sum: its variables in the comparison
  for (const auto& [name, names] : changeSums()) {
    out.counters.push_back(name);
    parts.emplace_back();
    for (const std::string& n : names)
      for (const ComparedVariable& v : c.vars)
        if (v.name == n) parts.back().push_back(&v);
  }
  out.counters[1] = kExecutionTimeName;  // ranked by it, named below
  const ComparedVariable* text = nullptr;
  for (const ComparedVariable& v : c.vars)
    if (v.name == kStatementTextName && v.laterCol >= 0) text = &v;
  std::unordered_map<std::string, size_t> index;
  for (const ComparedEntry& e : c.entries) {
    if (e.laterRow < 0) continue;  // gone
    std::string shape = text != nullptr ? statementShape(later.grid.text(e.laterRow, text->laterCol)) : std::string();
    auto [it, added] = index.try_emplace(std::move(shape), out.groups.size());
    if (added) out.groups.push_back({it->first, {}, std::vector<std::optional<Decimal>>(parts.size(), Decimal{})});
    ShapeGroup& group = out.groups[it->second];
    group.rows.push_back(e.laterRow);
    for (size_t p = 0; p < parts.size(); ++p) {
      std::optional<Decimal>& sum = group.sums[p];
      if (parts[p].empty()) sum.reset();
      for (const ComparedVariable* v : parts[p]) {
        const std::optional<Decimal> change =
            sum ? changeOf(*v, e, earlier, later, !c.resetNote.empty()) : std::nullopt;
        sum = change ? checkedSum(*sum, *change) : std::nullopt;
      }
    }
  }
  rankByTime(out);
  out.counters[1] = changeSums()[1].first;
  return out;
}

void writeShapeChangeGrid(const StatementShapes& shapes, GridStore& out) {
  static const DerivedDefinitions perExecution = [] {
    DerivedDefinitions d;
    std::vector<std::string> errors;
    d.read(
        "Shapes | Execution time per execution (s) = [Total execution time (s)] / [Executions]\n"
        "Shapes | Rows read per execution = [Rows read] / [Executions]\n"
        "Shapes | CPU time per execution (s) = [CPU time (s)] / [Executions]\n",
        "", errors);
    return d;
  }();
  writeShapeGrid(shapes, perExecution.forKind("Shapes"), out);
}

StatementShapes groupByShape(const GridStore& g, const VariableTable& vars, const CounterTypes& types) {
  StatementShapes out;
  std::vector<int> cols;
  for (int i = 0; i < vars.count() && i < g.cols(); ++i)
    if (types.typeOf(vars[i].name) == ValueType::Counter) {
      out.counters.push_back(vars[i].name);
      cols.push_back(i);
    }
  const int textCol = vars.lookup(kStatementTextName);
  std::unordered_map<std::string, size_t> index;
  for (int r = 1; r < g.rows(); ++r) {
    std::string shape =
        textCol >= 0 && textCol < g.cols() ? statementShape(g.textUnchecked(r, textCol)) : std::string();
    auto [it, added] = index.try_emplace(std::move(shape), out.groups.size());
    if (added) {
      out.groups.push_back({it->first, {}, std::vector<std::optional<Decimal>>(cols.size(), Decimal{})});
    }
    ShapeGroup& group = out.groups[it->second];
    group.rows.push_back(r);
    for (size_t c = 0; c < cols.size(); ++c) {
      std::optional<Decimal>& sum = group.sums[c];
      if (!sum) continue;
      const std::optional<Decimal> v = parseDecimal(g.textUnchecked(r, cols[c]));
      sum = v ? checkedSum(*sum, *v) : std::nullopt;
    }
  }
  rankByTime(out);
  return out;
}

void writeShapeGrid(const StatementShapes& shapes, const std::vector<const DerivedColumn*>& derived, GridStore& out) {
  std::vector<std::string> heads = {"Statement shape", "Statements"};
  heads.insert(heads.end(), shapes.counters.begin(), shapes.counters.end());
  const int firstDerived = static_cast<int>(heads.size());
  for (const DerivedColumn* d : derived) heads.push_back(d->name);
  startResultGrid(out, heads, static_cast<int>(shapes.groups.size()));
  const DerivedEvaluator eval(derived, [&shapes](std::string_view name) {
    const auto at = std::find(shapes.counters.begin(), shapes.counters.end(), name);
    return at == shapes.counters.end() ? -1 : static_cast<int>(at - shapes.counters.begin()) + 2;
  });
  std::vector<std::string> texts(heads.size());
  for (size_t i = 0; i < shapes.groups.size(); ++i) {
    const ShapeGroup& group = shapes.groups[i];
    const int row = static_cast<int>(i) + 1;
    texts[0] = group.shape;
    texts[1] = std::to_string(group.rows.size());
    for (size_t c = 0; c < group.sums.size(); ++c) texts[c + 2] = group.sums[c] ? formatDecimal(*group.sums[c]) : "";
    for (size_t d = 0; d < eval.size(); ++d) texts[static_cast<size_t>(firstDerived) + d].clear();
    setResultRow(out, row, texts, group.rows.front());
    for (size_t d = 0; d < eval.size(); ++d)
      out.setText(row, firstDerived + static_cast<int>(d), eval.value(d, out, row));
  }
}

void writeShapeStatements(const ShapeGroup& group, const GridStore& report, const VariableTable& vars, GridStore& out) {
  const int textCol = vars.lookup(kStatementTextName);
  out.clear();
  out.setCols(static_cast<int>(group.rows.size()) + 2);
  out.setRows(2);
  out.setText(0, 0, "Statement shape");
  out.setText(0, 1, "Statements");
  out.setText(1, 0, group.shape);
  out.setText(1, 1, std::to_string(group.rows.size()));
  for (size_t i = 0; i < group.rows.size(); ++i) {
    const int row = group.rows[i];
    const int col = static_cast<int>(i) + 2;
    out.setText(0, col, "Entry " + std::to_string(row));
    if (textCol >= 0 && textCol < report.cols() && row < report.rows()) out.setText(1, col, report.text(row, textCol));
  }
}

int loadStatementSnapshot(const std::string& path, const std::string& configFolder, LoadedSnapshot& out,
                          const KindChoice& kind, bool sizeColumns) {
  KindChoice choice = kind;
  if (choice.isDefault()) choice.heading = kDynamicSqlKind;
  return loadLastSnapshot(path, configFolder, out, sizeColumns, choice);
}

std::string lastSnapshotNote(int snapshots, std::string_view time) {
  std::string clock = snapshotOfText(time);  // "Snapshot of HH:MM:SS"
  if (!clock.empty()) clock = ", " + clock.substr(clock.rfind(' ') + 1);
  const std::string n = std::to_string(snapshots);
  return "Statements of the last snapshot (" + n + " of " + n + clock + ")";
}

}  // namespace tarvolin::core
