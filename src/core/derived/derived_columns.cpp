#include "core/derived/derived_columns.h"

#include <algorithm>

#include "core/derived/kind_and_name_list.h"
#include "core/read/kinds_index.h"
#include "core/read/shipped_files.h"

namespace tarvolin::core {

DerivedColumn parseDerivedColumn(std::string_view line) {
  const size_t bar = line.find('|');
  if (bar == std::string_view::npos) throw ExpressionError("expected KIND | NAME = EXPRESSION");
  const size_t eq = line.find('=', bar);
  if (eq == std::string_view::npos) throw ExpressionError("expected \"=\" after the name");
  DerivedColumn c{std::string(trimListText(line.substr(0, bar))),
                  std::string(trimListText(line.substr(bar + 1, eq - bar - 1))),
                  {}};
  if (c.kind.empty()) throw ExpressionError("no kind before \"|\"");
  if (c.name.empty()) throw ExpressionError("no name before \"=\"");
  try {
    c.expression = Expression::parse(line.substr(eq + 1));
  } catch (const ExpressionError& e) {
    throw ExpressionError(e.reason(), e.column() + eq + 1);  // a column of the line
  }
  return c;
}

void DerivedDefinitions::read(std::string_view text, const std::string& file, std::vector<std::string>& errors) {
  readByKindAndName(text, file, parseDerivedColumn, m_columns, errors);
}

std::vector<const DerivedColumn*> pointersTo(const std::vector<DerivedColumn>& columns) {
  std::vector<const DerivedColumn*> out;
  out.reserve(columns.size());
  for (const DerivedColumn& c : columns) out.push_back(&c);
  return out;
}

std::vector<DerivedColumn> copiesOf(const std::vector<const DerivedColumn*>& columns) {
  std::vector<DerivedColumn> out;
  out.reserve(columns.size());
  for (const DerivedColumn* c : columns) out.push_back(*c);
  return out;
}

std::vector<const DerivedColumn*> DerivedDefinitions::forKind(std::string_view kind) const {
  std::vector<const DerivedColumn*> out;
  for (const DerivedColumn& c : m_columns)
    if (sameHeading(c.kind, kind)) out.push_back(&c);
  return out;
}

DerivedDefinitions loadDerivedDefinitions(const std::filesystem::path& programDir,
                                          const std::filesystem::path& workingFolder,
                                          std::vector<std::string>& errors) {
  DerivedDefinitions defs;
  readShippedAndOwn(
      programDir, workingFolder, kDerivedColumnsFile,
      [&](const std::string& text, const std::string& path) { defs.read(text, path, errors); }, errors);
  return defs;
}

DerivedEvaluator::DerivedEvaluator(const std::vector<const DerivedColumn*>& columns, const VariableTable& vars)
    : DerivedEvaluator(columns, [&vars](std::string_view name) { return vars.lookup(name); }) {}

DerivedEvaluator::DerivedEvaluator(const std::vector<const DerivedColumn*>& columns,
                                   const std::function<int(std::string_view)>& columnOf)
    : m_columns(columns) {
  for (const DerivedColumn* c : m_columns) {
    std::vector<int>& cols = m_bound.emplace_back();
    for (const std::string& v : c->expression.variables()) cols.push_back(columnOf(v));
  }
}

std::string DerivedEvaluator::value(size_t i, const GridStore& g, int row) const {
  const std::vector<int>& cols = m_bound[i];
  return m_columns[i]->expression.evaluate([&](size_t v) {
    const int col = cols[v];
    return col >= 0 && col < g.cols() ? g.textUnchecked(row, col) : std::string_view{};
  });
}

void DerivedEvaluator::fill(const GridStore& source, GridStore& target, int first) const {
  for (size_t i = 0; i < size(); ++i) target.setText(0, first + static_cast<int>(i), name(i));
  for (int r = 1; r < source.rows(); ++r)
    for (size_t i = 0; i < size(); ++i) target.setText(r, first + static_cast<int>(i), value(i, source, r));
}

}  // namespace tarvolin::core
