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

}  // namespace

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
  const auto timeAt = std::find(out.counters.begin(), out.counters.end(), kExecutionTimeName);
  if (timeAt != out.counters.end()) {
    const size_t t = static_cast<size_t>(timeAt - out.counters.begin());
    std::stable_sort(out.groups.begin(), out.groups.end(), [t](const ShapeGroup& a, const ShapeGroup& b) {
      if (!a.sums[t] || !b.sums[t]) return a.sums[t] && !b.sums[t];
      return greater(*a.sums[t], *b.sums[t]);
    });
  }
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
