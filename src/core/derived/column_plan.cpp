#include "core/derived/column_plan.h"

#include <algorithm>

#include "core/grid/column_widths.h"
#include "core/grid/grid_output.h"

namespace tarvolin::core {

namespace {

/// Whether column `col` of `g` holds nothing in rows 1 to the last (a column `g` lacks holds nothing).
bool emptyColumn(const GridStore& g, int col) {
  if (col < 0 || col >= g.cols()) return true;
  for (int r = 1; r < g.rows(); ++r)
    if (!g.textUnchecked(r, col).empty()) return false;
  return true;
}

/// Writes the column of `eval`'s column `i` into the variable of its name when the table has
/// one (a placeholder), else into a new one at the end; as wide as the column width rule
/// makes it when its variable is shown, 0 when hidden. Returns the column, or -1 when the
/// table is full.
int writeDerivedColumn(const DerivedEvaluator& eval, size_t i, VariableTable& vars, GridStore& g,
                       ColumnWidths& widths) {
  int col = vars.lookup(eval.name(i));
  if (col < 0) {
    if (vars.full()) return -1;
    col = vars.appendName(eval.name(i));
  }
  if (g.rows() < 1) g.setRows(1);
  if (g.cols() <= col) g.setCols(col + 1);
  g.setText(0, col, eval.name(i));
  for (int r = 1; r < g.rows(); ++r) {
    const std::string value = eval.value(i, g, r);
    widths.widen(col, value);
    g.setText(r, col, value);
  }
  g.setColWidth(col, vars[col].show ? std::max<int>(vars[col].width, kMinColWidth) : 0);
  g.setColAlignment(col, Alignment::LeftTop);
  return col;
}

/// Keeps the header row and the rows whose column `col` (one `g` has) holds exactly `value`,
/// in their order.
void keepRowsWith(GridStore& g, int col, std::string_view value) {
  std::vector<int> kept;
  std::vector<int> dropped;
  for (int r = 1; r < g.rows(); ++r) (g.textUnchecked(r, col) == value ? kept : dropped).push_back(r);
  if (dropped.empty()) return;
  const int count = static_cast<int>(kept.size());
  kept.insert(kept.end(), dropped.begin(), dropped.end());
  g.permuteRows(1, kept);
  g.setRows(count + 1);
}

}  // namespace

ColumnPlan::ColumnPlan(const DerivedDefinitions* definitions, std::string_view kind, const VariableTable& vars,
                       const GridStore& grid, bool addDerived, std::vector<ColumnFilter> filters)
    : m_addDerived(addDerived) {
  if (definitions == nullptr) return;
  for (const DerivedColumn* c : definitions->forKind(kind)) {
    m_kindColumns.push_back(*c);
    const int col = vars.lookup(c->name);
    if (col >= 0 && !emptyColumn(grid, col)) {
      if (addDerived) m_clashes.push_back(c->name);
      continue;
    }
    if (addDerived) m_columns.push_back(*c);
    if (col >= 0) m_placeholders.push_back(col);
  }
  std::ranges::sort(m_placeholders);
  if (addDerived) m_filters = std::move(filters);
}

bool ColumnPlan::isDerivedName(std::string_view name) const {
  return std::ranges::any_of(m_kindColumns, [name](const DerivedColumn& c) { return c.name == name; });
}

std::optional<ColumnFilter> ColumnPlan::takeDerivedFilter(const VariableTable& vars, LoadState& load) const {
  if (!m_addDerived || load.filterValue.empty() || load.filterColumn > vars.lastIndex()) return std::nullopt;
  const std::string& name = vars[load.filterColumn].name;
  if (!isDerivedName(name)) return std::nullopt;
  ColumnFilter taken{name, std::move(load.filterValue)};
  load.filterValue.clear();
  return taken;
}

std::vector<int> ColumnPlan::addTo(VariableTable& vars, GridStore& grid, TextMeasure& measure) const {
  if (!m_addDerived) {
    for (const int col : m_placeholders)
      if (col < grid.cols()) grid.setColWidth(col, 0);
    return {};
  }
  std::vector<int> added;
  if (!m_columns.empty()) {
    const DerivedEvaluator eval(columns(), vars);  // bound to the report's own variables
    ColumnWidths widths(vars, measure);
    for (size_t i = 0; i < eval.size(); ++i)
      if (const int col = writeDerivedColumn(eval, i, vars, grid, widths); col >= 0) added.push_back(col);
  }
  for (const ColumnFilter& f : m_filters)
    if (const int col = vars.lookup(f.column); col >= 0 && col < grid.cols()) keepRowsWith(grid, col, f.value);
  return added;
}

void ColumnPlan::computeInto(const VariableTable& vars, const GridStore& grid, GridStore& out) const {
  const DerivedEvaluator eval(columns(), vars);
  out.setCols(static_cast<int>(eval.size()));
  out.setRows(std::max(grid.rows(), 1));
  eval.fill(grid, out, 0);
}

void ColumnPlan::leaveOutPlaceholders(Comparison& c, const LoadedSnapshot& earlier, const LoadedSnapshot& later) const {
  const auto standsFor = [&](const ComparedVariable& v) {
    return isDerivedName(v.name) && emptyColumn(earlier.grid, v.earlierCol) && emptyColumn(later.grid, v.laterCol);
  };
  const std::string handle = c.handleVar >= 0 ? c.vars[static_cast<size_t>(c.handleVar)].name : std::string();
  if (std::erase_if(c.vars, standsFor) == 0) return;
  layOutColumns(c, handle);
}

}  // namespace tarvolin::core
