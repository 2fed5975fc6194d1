#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/grid/constant_columns.h"
#include "core/grid/find_column.h"

#include "core/load_fixture.h"

namespace tarvolin::core {
namespace {

using test::makeGrid;
using test::Rows;

struct ConstantCase {
  const char* name;
  Rows rows;
  std::vector<int> constant;
};

void PrintTo(const ConstantCase& c, std::ostream* os) { *os << c.name; }

class ConstantColumns : public testing::TestWithParam<ConstantCase> {};

TEST_P(ConstantColumns, NamesTheColumnsEqualInEveryDataRow) {
  EXPECT_EQ(constantColumns(makeGrid(GetParam().rows)), GetParam().constant);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConstantColumns,
    testing::Values(ConstantCase{"header_only", {{"A", "B"}}, {}},
                    ConstantCase{"one_data_row", {{"A", "B"}, {"x", ""}}, {}},
                    ConstantCase{"two_equal_rows", {{"A", "B"}, {"x", ""}, {"x", ""}}, {0, 1}},
                    ConstantCase{"differs_only_in_last_row",
                                 {{"A", "B", "C"}, {"0", "N", ""}, {"0", "N", ""}, {"0", "N", ""}, {"0", "N", "1"}},
                                 {0, 1}},
                    ConstantCase{"differs_only_in_first_row", {{"A", "B"}, {"1", "N"}, {"0", "N"}, {"0", "N"}}, {1}},
                    ConstantCase{"prefix_and_case_differ",
                                 {{"A", "B", "C"}, {"Not", "ab", "x"}, {"Not Collected", "AB", "x"}},
                                 {2}},
                    ConstantCase{"differs_late_in_long_texts",
                                 {{"A", "B", "C", "D"},
                                  {"Not Collected", "12/04/2026 08:48:40.1", "0123456", "x"},
                                  {"Not CollecteD", "12/04/2026 08:48:40.2", "0123457", "x"},
                                  {"Not Collected", "12/04/2026 08:48:40.1", "0123456", "a text to follow them"}},
                                 {}},
                    ConstantCase{"header_differs_only", {{"A", "B"}, {"1", "2"}, {"1", "2"}}, {0, 1}}));

TEST(ConstantColumns, EmptyGridNamesNone) { EXPECT_TRUE(constantColumns(GridStore()).empty()); }

TEST(HideConstantColumns, HidesShownConstantColumnsAndGivesTheirWidthsBack) {
  GridStore g = makeGrid({{"Handle", "Status", "Db", "Cfg hidden"},
                          {"1", "Not Collected", "ORDERS", "x"},
                          {"2", "Not Collected", "ORDERS", "x"}});
  g.setColWidth(2, 1500);
  g.setColWidth(3, 0);  // hidden by the configuration: neither counted nor given a width later
  const HiddenColumns hidden = hideConstantColumns(g);
  EXPECT_EQ(hidden.count(), 2);
  EXPECT_TRUE(hidden.holds(1) && hidden.holds(2) && !hidden.holds(3) && !hidden.holds(0));
  EXPECT_TRUE(g.colWidth(0) == kDefaultColWidth && g.colWidth(1) == 0 && g.colWidth(2) == 0);
  showHiddenColumns(g, hidden);
  EXPECT_TRUE(g.colWidth(1) == kDefaultColWidth && g.colWidth(2) == 1500 && g.colWidth(3) == 0);
}

struct FindCase {
  const char* name;
  int from;
  std::string part;
  ColumnMatch match;
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

class FindColumn : public testing::TestWithParam<FindCase> {};

TEST_P(FindColumn, GoesToTheNextShownMatch) {
  GridStore g = makeGrid(
      {{"Application handle", "Lock waits since connect", "Lock Timeout", "Rows read", "Locks held", "Agent ID"},
       {"1", "0", "-1", "9", "4", "7"}});
  g.setColWidth(4, 0);  // "Locks held": hidden
  g.setColWidth(5, 0);  // "Agent ID": hidden
  const FindCase& c = GetParam();
  const ColumnMatch m = findColumn(g, c.from, c.part);
  EXPECT_EQ(m.col, c.match.col);
  EXPECT_EQ(m.hidden, c.match.hidden);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindColumn,
                         testing::Values(FindCase{"case_insensitive", 0, "LOCK WAITS", {1, -1}},
                                         FindCase{"next_match", 1, "lock", {2, -1}},
                                         FindCase{"wraps_past_hidden_to_first", 2, "lock", {1, -1}},
                                         FindCase{"lone_match_found_again", 3, "rows", {3, -1}},
                                         FindCase{"from_outside_starts_at_zero", -1, "application", {0, -1}},
                                         FindCase{"no_match", 0, "bufferpool", {-1, -1}},
                                         FindCase{"empty_part", 0, "", {-1, -1}},
                                         FindCase{"only_hidden_match", 0, "held", {-1, 4}}));

}  // namespace
}  // namespace tarvolin::core
