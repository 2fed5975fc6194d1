#include "core/derived/column_plan.h"

#include <algorithm>

#include "core/derived/comparison_derived.h"

namespace tarvolin::core {

ColumnPlan::ColumnPlan(const DerivedDefinitions* definitions, std::string_view kind, const VariableTable& vars,
                       const GridStore& grid, bool addDerived, std::vector<ColumnFilter> filters)
    : m_addDerived(addDerived) {
  if (definitions == nullptr) return;
  const std::vector<const DerivedColumn*> kindColumns = definitions->forKind(kind);
  m_kindColumns = copiesOf(kindColumns);
  DerivedFit fit = fitDerivedColumns(kindColumns, vars, grid);
  m_placeholders = std::move(fit.placeholders);
  if (!addDerived) return;
  m_columns = copiesOf(fit.columns);
  m_clashes = std::move(fit.clashes);
  m_filters = std::move(filters);
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
  const std::vector<int> added =
      m_columns.empty() ? std::vector<int>{} : addDerivedColumns(columns(), vars, grid, measure);
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
  core::leaveOutPlaceholders(c, earlier, later, pointersTo(m_kindColumns));
}

}  // namespace tarvolin::core
