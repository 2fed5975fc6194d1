#include "core/grid/grid_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/load_fixture.h"

namespace tarvolin::core {
namespace {

using test::makeGrid;
using test::Rows;

std::vector<std::string> column(const GridStore& g, int col) {
  std::vector<std::string> out;
  for (int r = 0; r < g.rows(); ++r) out.emplace_back(g.text(r, col));
  return out;
}

struct CopyCase {
  const char* name;
  int row, col, rowSel, colSel;
  std::string text;
  int64_t cells;
  int columns = INT_MAX;  // those after are left out
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopyCells : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyCells, BuildsTabAndCrLfText) {
  GridStore g = makeGrid({{"Name", "Mode", "Empty"},  //
                          {"a1", "b1", ""},
                          {"a2", "b2", ""},
                          {"a3", "b\t3", ""}});
  g.setRowHeight(2, 0);  // hidden by a filter: still copied
  g.setColWidth(1, 0);   // hidden variable: still copied
  const CopyCase& c = GetParam();
  g.setSelection(c.row, c.col, c.rowSel, c.colSel);
  const CopiedCells copied = copyCells(g, c.columns);
  EXPECT_EQ(copied.text, c.text);
  EXPECT_EQ(copied.cells, c.cells);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyCells,
    testing::Values(CopyCase{"one_cell", 1, 0, 1, 0, "a1", 1}, CopyCase{"one_empty_cell", 3, 2, 3, 2, "", 1},
                    CopyCase{"three_rows_two_cols", 1, 0, 3, 1, "a1\tb1\r\na2\tb2\r\na3\tb\t3", 6},
                    CopyCase{"reversed", 3, 1, 1, 0, "a1\tb1\r\na2\tb2\r\na3\tb\t3", 6},
                    CopyCase{"anti_diagonal", 3, 0, 1, 1, "a1\tb1\r\na2\tb2\r\na3\tb\t3", 6},
                    CopyCase{"hidden_row_and_zero_width_column", 1, 1, 3, 1, "b1\r\nb2\r\nb\t3", 3},
                    CopyCase{"empty_last_column", 1, 1, 2, 2, "b1\t\r\nb2\t", 4},
                    CopyCase{"header_from_row_0", 0, 0, 1, 1, "Name\tMode\r\na1\tb1", 4},
                    CopyCase{"no_header_from_row_1", 1, 0, 1, 2, "a1\tb1\t", 3},
                    CopyCase{"whole_grid", 3, 2, 0, 0, "Name\tMode\tEmpty\r\na1\tb1\t\r\na2\tb2\t\r\na3\tb\t3\t", 12},
                    CopyCase{"last_column_left_out", 1, 2, 2, 0, "a1\tb1\r\na2\tb2", 4, 2},
                    CopyCase{"only_a_left_out_column", 1, 2, 3, 2, "", 0, 2}),
    [](const testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

struct SortCase {
  const char* name;
  SortOrder order;
  std::vector<std::string> values;  // data rows, top to bottom
  std::vector<std::string> sorted;
};

void PrintTo(const SortCase& c, std::ostream* os) { *os << c.name; }

class SortOneColumn : public testing::TestWithParam<SortCase> {};

/// True when long double arithmetic really keeps 64 mantissa bits here (not so under valgrind,
/// which computes x87 long doubles in 53 bits).
bool longDoubleHas64Bits() {
  volatile long double x = 9007199254740992.0L;  // 2^53
  return x + 1.0L != x;
}

TEST_P(SortOneColumn, OrdersTheDataRows) {
  const SortCase& c = GetParam();
  if (std::string_view(c.name) == "big_counters_exact" && !longDoubleHas64Bits())
    GTEST_SKIP() << "long double computes with fewer than 64 bits on this machine";
  Rows rows{{"Header"}};
  for (const std::string& v : c.values) rows.push_back({v});
  GridStore g = makeGrid(rows);
  g.setSelection(1, 0, 1, 0);  // one cell: every data row
  sortSelection(g, c.order);
  std::vector<std::string> expected{"Header"};
  expected.insert(expected.end(), c.sorted.begin(), c.sorted.end());
  EXPECT_EQ(column(g, 0), expected);
}

constexpr SortOrder kAsc = SortOrder::Ascending;
constexpr SortOrder kDesc = SortOrder::Descending;

INSTANTIATE_TEST_SUITE_P(
    Cases, SortOneColumn,
    testing::Values(
        SortCase{"integers_by_value", kAsc, {"10", "9", "100", "-5", "0"}, {"-5", "0", "9", "10", "100"}},
        SortCase{"decimals", kAsc, {"1.5", "-0.25", "1.25", ".5", "2."}, {"-0.25", ".5", "1.25", "1.5", "2."}},
        SortCase{"big_counters_exact",
                 kAsc,
                 {"18446744073709551615", "9007199254740993", "9007199254740992", "18446744073709551614"},
                 {"9007199254740992", "9007199254740993", "18446744073709551614", "18446744073709551615"}},
        SortCase{"numbers_before_text_empty_last",
                 kAsc,
                 {"", "Not Collected", "932", "", "0x0002000900", "12"},
                 {"12", "932", "0x0002000900", "Not Collected", "", ""}},
        SortCase{"descending_text_first_empty_last",
                 kDesc,
                 {"", "Not Collected", "932", "", "0x0002000900", "12"},
                 {"Not Collected", "0x0002000900", "932", "12", "", ""}},
        SortCase{"hex_lock_names_as_text",
                 kAsc,
                 {"0x000200090002FF090000000052", "0x00020009000000000000000054", "0x0002000900"},
                 {"0x0002000900", "0x00020009000000000000000054", "0x000200090002FF090000000052"}},
        SortCase{"not_numbers",
                 kAsc,
                 {"1e5", "12 ", "1,000", "-", ".", "+7", "3"},
                 {"3", "+7", "-", ".", "1,000", "12 ", "1e5"}},
        SortCase{
            "text_bytewise_case_sensitive", kAsc, {"b", "B", "a", "A", "\xc3\xa9"}, {"A", "B", "a", "b", "\xc3\xa9"}}),
    [](const testing::TestParamInfo<SortCase>& info) { return std::string(info.param.name); });

TEST(Sort, IsStableInBothOrders) {
  // Equal keys ("1" and "1.0" too, and empty ones) keep their order, ascending and descending.
  const char* const keys[] = {"2", "1", "", "1.0"};
  Rows rows{{"Key", "Tag"}};
  for (int i = 0; i < 64; ++i) rows.push_back({keys[i % 4], std::to_string(i)});
  for (SortOrder order : {kAsc, kDesc}) {
    GridStore g = makeGrid(rows);
    sortSelection(g, order);
    std::vector<std::string> expected{"Tag"};
    auto take = [&](int step, int first) {
      for (int i = first; i < 64; i += step) expected.push_back(std::to_string(i));
    };
    order == kAsc ? (take(2, 1), take(4, 0)) : (take(4, 0), take(2, 1));
    take(4, 2);  // empty keys last either way
    EXPECT_EQ(column(g, 1), expected);
  }
}

TEST(Sort, ARangeOfRowsSortsOnlyThoseRowsOnItsColumns) {
  GridStore g = makeGrid({{"A", "B", "C"},  //
                          {"9", "x", "1"},
                          {"2", "b", "2"},
                          {"2", "a", "3"},
                          {"1", "z", "4"},
                          {"0", "y", "5"}});
  g.setSelection(4, 1, 1, 0);  // rows 1 to 4, keys A then B
  sortSelection(g, kAsc);
  EXPECT_EQ(column(g, 2), (std::vector<std::string>{"C", "4", "3", "2", "1", "5"}));
  EXPECT_EQ(selectionRange(g), (CellRange{1, 4, 0, 1}));  // the selection stays
}

TEST(Sort, FurtherKeyColumnsBreakTiesInBothOrders) {
  const Rows rows{{"A", "B", "Tag"}, {"", "2", "a"},  {"x", "", "b"}, {"1", "10", "c"}, {"x", "3", "d"},
                  {"", "1", "e"},    {"1", "9", "f"}, {"", "", "g"},  {"1", "", "h"}};
  struct Case {
    SortOrder order;
    std::vector<std::string> tags;
  };
  for (const Case& c : {Case{kAsc, {"Tag", "f", "c", "h", "d", "b", "e", "a", "g"}},
                        Case{kDesc, {"Tag", "d", "b", "c", "f", "h", "a", "e", "g"}}}) {
    GridStore g = makeGrid(rows);
    g.setSelection(8, 1, 1, 0);
    sortSelection(g, c.order);
    EXPECT_EQ(column(g, 2), c.tags) << (c.order == kAsc ? "ascending" : "descending");
  }
}

TEST(Sort, RowsBeyond32768) {
  constexpr int kRows = 40'000;
  GridStore g;
  g.setRows(kRows);
  for (int r = 1; r < kRows; ++r) g.setText(r, 0, std::to_string(kRows - r));
  g.setRowHeight(kRows - 1, 0);  // holds "1"
  sortSelection(g, kAsc);
  EXPECT_EQ(g.text(1, 0), "1");
  EXPECT_EQ(g.rowHeight(1), 0);
  EXPECT_EQ(g.text(32'768, 0), "32768");
  EXPECT_EQ(g.text(kRows - 1, 0), std::to_string(kRows - 1));
}

}  // namespace
}  // namespace tarvolin::core
