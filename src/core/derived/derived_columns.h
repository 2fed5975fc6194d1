#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/derived/expression.h"
#include "core/grid/grid_store.h"
#include "core/read/variable_table.h"

namespace tarvolin::core {

/// Name of the definitions file, shipped with the programs and looked for in the working folder.
inline constexpr const char* kDerivedColumnsFile = "derived_columns.txt";

/// One derived column: `KIND | NAME = EXPRESSION`.
struct DerivedColumn {
  std::string kind;  ///< the report's heading, trimmed ("Dynamic SQL Snapshot Result"), matched in any case
  std::string name;  ///< the column's header
  Expression expression;
};

/// One line "KIND | NAME = EXPRESSION" as a column; throws ExpressionError saying what is
/// wrong (its column counted in the line).
[[nodiscard]] DerivedColumn parseDerivedColumn(std::string_view line);

/// Pointers to each of `columns`, in order, valid while `columns` is unchanged.
[[nodiscard]] std::vector<const DerivedColumn*> pointersTo(const std::vector<DerivedColumn>& columns);

/// Copies of `columns`, to keep beyond the definitions they point into (which may be read again).
[[nodiscard]] std::vector<DerivedColumn> copiesOf(const std::vector<const DerivedColumn*>& columns);

/// The derived columns of every kind, in the order of their files.
class DerivedDefinitions {
 public:
  /// Parses the text of a definitions file: lines `KIND | NAME = EXPRESSION`, blank lines
  /// and lines starting with `#` skipped. A bad line is skipped and adds "FILE:LINE: reason"
  /// to `errors`, with `file` as given. Each line adds a column, or replaces the column of
  /// the same kind and name defined before (in place).
  void read(std::string_view text, const std::string& file, std::vector<std::string>& errors);

  /// The columns of `kind` (a report's `kindHeading`), in order. Cost: a scan of all definitions.
  [[nodiscard]] std::vector<const DerivedColumn*> forKind(std::string_view kind) const;

  [[nodiscard]] const std::vector<DerivedColumn>& all() const { return m_columns; }

 private:
  std::vector<DerivedColumn> m_columns;
};

/// Reads the shipped file (beside the program, else ../share/tarvolin/), then the file of
/// `workingFolder`, whose lines add columns or replace shipped ones. A missing working-folder
/// file is no error; a missing shipped file, an unreadable file or a bad line each adds one
/// text to `errors` and the rest is still read.
[[nodiscard]] DerivedDefinitions loadDerivedDefinitions(const std::filesystem::path& programDir,
                                                        const std::filesystem::path& workingFolder,
                                                        std::vector<std::string>& errors);

/// The columns bound to the variables of one loaded report: each formula's variables as
/// column indices (-1 for a variable the report lacks).
class DerivedEvaluator {
 public:
  DerivedEvaluator(const std::vector<const DerivedColumn*>& columns, const VariableTable& vars);
  /// Bound through `columnOf`, which gives a variable's column or -1.
  DerivedEvaluator(const std::vector<const DerivedColumn*>& columns,
                   const std::function<int(std::string_view)>& columnOf);

  [[nodiscard]] size_t size() const { return m_columns.size(); }
  [[nodiscard]] const std::string& name(size_t i) const { return m_columns[i]->name; }

  /// Column `i` for row `row` of `g` (whose columns are the table's variables).
  [[nodiscard]] std::string value(size_t i, const GridStore& g, int row) const;

  /// Fills columns `first` to `first + size() - 1` of `target` (which may be `source` itself,
  /// and must have its rows and those columns): the names in row 0, in every further row
  /// the values computed on the same row of `source`.
  void fill(const GridStore& source, GridStore& target, int first) const;

 private:
  std::vector<const DerivedColumn*> m_columns;
  std::vector<std::vector<int>> m_bound;
};

}  // namespace tarvolin::core
