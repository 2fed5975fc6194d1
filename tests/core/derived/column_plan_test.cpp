// The plan of a kind's derived columns over one loaded report, as every feature applies it.
#include <gtest/gtest.h>

#include "core/derived/column_plan.h"
#include "core/load_fixture.h"

namespace tarvolin::core {
namespace {

TEST(ColumnPlan, PlaceholdersClashesFiltersAndKindsWithoutDefinitions) {
  struct Case {
    const char* what;
    const char* kind;
    test::Rows report;  // its header row names the variables
    bool addDerived;
    std::vector<ColumnFilter> filters;
    std::vector<std::string> columns;
    std::vector<int> placeholders;
    std::vector<std::string> clashes;
    test::Rows after;  // addTo() applied
  };
  std::vector<std::string> errors;
  DerivedDefinitions defs;
  defs.read("K | Per = [A] * 2\nK | Twice = [A] * 2\n", "d", errors);
  const test::Rows report = {{"A", "Per"}, {"1", ""}, {"3", ""}};
  for (const Case& c : std::vector<Case>{
           {"placeholder filled",
            "K",
            report,
            true,
            {},
            {"Per", "Twice"},
            {1},
            {},
            {{"A", "Per", "Twice"}, {"1", "2", "2"}, {"3", "6", "6"}}},
           {"placeholder hidden", "K", report, false, {}, {}, {1}, {}, report},
           {"clash",
            "k",
            {{"A", "Per"}, {"1", "x"}},
            true,
            {},
            {"Twice"},
            {},
            {"Per"},
            {{"A", "Per", "Twice"}, {"1", "x", "2"}}},
           {"filter on a derived column",
            "K",
            report,
            true,
            {{"Twice", "6"}},
            {"Per", "Twice"},
            {1},
            {},
            {{"A", "Per", "Twice"}, {"3", "6", "6"}}},
           {"kind without definitions", "L", report, true, {{"Twice", "6"}}, {}, {}, {}, report},
       }) {
    VariableTable vars;
    for (const std::string& name : c.report.front()) vars.appendName(name);
    GridStore g = test::makeGrid(c.report);
    const ColumnPlan plan(&defs, c.kind, vars, g, c.addDerived, c.filters);
    std::vector<std::string> names;
    for (const DerivedColumn* d : plan.columns()) names.push_back(d->name);
    EXPECT_EQ(names, c.columns) << c.what;
    EXPECT_EQ(plan.placeholders(), c.placeholders) << c.what;
    EXPECT_EQ(plan.clashes(), c.clashes) << c.what;
    FixedTextMeasure measure;
    plan.addTo(vars, g, measure);
    test::Rows rows;
    for (int r = 0; r < g.rows(); ++r) {
      rows.emplace_back();
      for (int col = 0; col < g.cols(); ++col) rows.back().emplace_back(g.text(r, col));
    }
    EXPECT_EQ(rows, c.after) << c.what;
    for (const int col : c.placeholders) EXPECT_EQ(g.colWidth(col) == 0, !c.addDerived) << c.what;
  }
}

TEST(ColumnPlan, AReloadFilterOnADerivedColumnIsTakenFromTheLoad) {
  std::vector<std::string> errors;
  DerivedDefinitions defs;
  defs.read("K | Twice = [A] * 2\n", "d", errors);
  for (const bool addDerived : {true, false}) {
    VariableTable vars;
    vars.appendName("A");
    GridStore g = test::makeGrid({{"A"}, {"1"}});
    FixedTextMeasure measure;
    const ColumnPlan plan(&defs, "K", vars, g, addDerived);
    plan.addTo(vars, g, measure);
    for (const int16_t col : {0, 1}) {  // A, then Twice (when added)
      LoadState load;
      load.filterColumn = col;
      load.filterValue = "2";
      const std::optional<ColumnFilter> taken = plan.takeDerivedFilter(vars, load);
      const bool derived = addDerived && col == 1;
      EXPECT_EQ(taken.has_value(), derived) << addDerived << col;
      EXPECT_EQ(load.filterValue, derived ? "" : "2") << addDerived << col;
      EXPECT_EQ(taken.value_or(ColumnFilter{}).column, derived ? "Twice" : "");
    }
  }
}

}  // namespace
}  // namespace tarvolin::core
