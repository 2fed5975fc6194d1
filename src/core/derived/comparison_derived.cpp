#include "core/derived/comparison_derived.h"

#include <algorithm>

namespace tarvolin::core {

namespace {

/// The comparison column of variable `name`: its shown value, or with `change` a counter's change.
int columnIn(const Comparison& c, std::string_view name, bool change) {
  const auto v =
      std::find_if(c.vars.begin(), c.vars.end(), [name](const ComparedVariable& x) { return x.name == name; });
  if (v == c.vars.end()) return -1;
  return change && v->counter ? v->col + 1 : v->col;
}

}  // namespace

ComparisonDerived::ComparisonDerived(const std::vector<const DerivedColumn*>& columns, const Comparison& c)
    : m_later(columns, [&c](std::string_view name) { return columnIn(c, name, false); }),
      m_interval(columns, [&c](std::string_view name) { return columnIn(c, name, true); }) {}

void ComparisonDerived::writeHeader(GridStore& out, int row, int first) const {
  for (size_t i = 0; i < m_later.size(); ++i) {
    const int col = first + 2 * static_cast<int>(i);
    out.setText(row, col, m_later.name(i));
    out.setText(row, col + 1, m_later.name(i) + " (in interval)");
  }
}

void ComparisonDerived::fill(const GridStore& comparison, int firstRow, int lastRow, GridStore& out, int first) const {
  for (int r = firstRow; r < lastRow; ++r)
    for (size_t i = 0; i < m_later.size(); ++i) {
      const int col = first + 2 * static_cast<int>(i);
      out.setText(r, col, m_later.value(i, comparison, r));
      out.setText(r, col + 1, m_interval.value(i, comparison, r));
    }
}

int ComparisonDerived::writeChanges(const DerivedEvaluator& onEarlier, const LoadedSnapshot& earlier, int earlierRow,
                                    bool inLater, const GridStore& values, int row2, int valuesFirst, GridStore& out,
                                    int row, int first) const {
  for (size_t i = 0; i < m_later.size(); ++i, ++row) {
    const int col = valuesFirst + 2 * static_cast<int>(i);
    out.setText(row, first, m_later.name(i));
    if (earlierRow > 0) out.setText(row, first + 1, onEarlier.value(i, earlier.grid, earlierRow));
    if (inLater) out.setText(row, first + 2, values.text(row2, col));
    out.setText(row, first + 3, values.text(row2, col + 1));
  }
  return row;
}

}  // namespace tarvolin::core
