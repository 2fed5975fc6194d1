#include "core/grid_commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace tarvolin::core {
namespace {

using Rows = std::vector<std::vector<std::string>>;

/// Row 0 is the header row; every row as wide as the first.
GridStore makeGrid(const Rows& rows) {
  GridStore g;
  g.setCols(static_cast<int>(rows.front().size()));
  g.setRows(static_cast<int>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) g.setText(static_cast<int>(r), static_cast<int>(c), rows[r][c]);
  return g;
}

std::vector<std::string> column(const GridStore& g, int col) {
  std::vector<std::string> out;
  for (int r = 0; r < g.rows(); ++r) out.emplace_back(g.text(r, col));
  return out;
}

// ---- selection and clipboard ----

TEST(NormalisedRange, WhicheverWayItWasDragged) {
  const CellRange expected{2, 5, 1, 3};
  EXPECT_EQ(normalisedRange(2, 1, 5, 3), expected);
  EXPECT_EQ(normalisedRange(5, 3, 2, 1), expected);
  EXPECT_EQ(normalisedRange(5, 1, 2, 3), expected);
  EXPECT_EQ(normalisedRange(2, 3, 5, 1), expected);
  EXPECT_EQ(expected.cellCount(), 12);
  EXPECT_EQ((CellRange{0, 99'999, 0, 29}).cellCount(), 3'000'000);
}

struct CopyCase {
  const char* name;
  int row, col, rowSel, colSel;
  std::string text;
  int64_t cells;
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
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
  const CopiedCells copied = copyCells(g);
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
                    CopyCase{"whole_grid", 3, 2, 0, 0, "Name\tMode\tEmpty\r\na1\tb1\t\r\na2\tb2\t\r\na3\tb\t3\t", 12}),
    [](const testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

TEST(CopyCells, StatusTextCountsCells) {
  EXPECT_EQ(copiedStatusText(1), "1 cells copied to the clipboard");
  EXPECT_EQ(copiedStatusText(3'000'000), "3000000 cells copied to the clipboard");
}

TEST(CopyCells, RangeOutsideTheGridThrows) {
  GridStore g;  // 2 x 2
  EXPECT_THROW((void)cellsText(g, {0, 2, 0, 0}), std::out_of_range);
  EXPECT_THROW((void)cellsText(g, {0, 0, 1, 0}), std::out_of_range);
  EXPECT_THROW((void)cellsText(g, {-1, 0, 0, 0}), std::out_of_range);
  EXPECT_EQ(cellsText(g, {0, 1, 0, 1}), "\t\r\n\t");
}

TEST(CurrentCellText, IsTheTextOfRowAndCol) {
  GridStore g = makeGrid({{"Name", "Mode"}, {"a1", "b1"}});
  g.setSelection(1, 1, 0, 0);
  EXPECT_EQ(currentCellText(g), "b1");
}

// ---- column width and lock ----

TEST(MakeColumnWider, AddsFiveThousandTwipsEachTime) {
  GridStore g;
  g.setCols(3);
  g.setColWidth(1, 800);
  g.setColWidth(2, 0);
  g.setCol(1);
  makeColumnWider(g);
  EXPECT_EQ(g.colWidth(1), 5800);
  makeColumnWider(g);
  EXPECT_EQ(g.colWidth(1), 10800);
  EXPECT_EQ(g.colWidth(2), 0);
  g.setCol(2);
  makeColumnWider(g);  // a hidden variable's column shows again
  EXPECT_EQ(g.colWidth(2), 5000);
  g.setColWidth(2, INT_MAX - 1);
  makeColumnWider(g);
  EXPECT_EQ(g.colWidth(2), INT_MAX);
}

TEST(LockFirstCol, TwiceReturnsToNoFixedColumn) {
  SharedState shared;
  GridStore g;
  g.setFixedCols(0);
  EXPECT_TRUE(lockFirstCol(shared, g));
  EXPECT_TRUE(shared.lockcol);
  EXPECT_EQ(g.fixedCols(), 1);
  EXPECT_FALSE(lockFirstCol(shared, g));
  EXPECT_FALSE(shared.lockcol);
  EXPECT_EQ(g.fixedCols(), 0);
}

// ---- sorting ----

struct SortCase {
  const char* name;
  SortOrder order;
  std::vector<std::string> values;  // data rows, top to bottom
  std::vector<std::string> sorted;
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
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
        SortCase{"integers_descending", kDesc, {"10", "9", "100", "-5", "0"}, {"100", "10", "9", "0", "-5"}},
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
            "text_bytewise_case_sensitive", kAsc, {"b", "B", "a", "A", "\xc3\xa9"}, {"A", "B", "a", "b", "\xc3\xa9"}},
        SortCase{"times_of_day_as_text",
                 kAsc,
                 {"09-01-2008 11:46:27.191344", "09-01-2008 09:05:00.000000"},
                 {"09-01-2008 09:05:00.000000", "09-01-2008 11:46:27.191344"}}),
    [](const testing::TestParamInfo<SortCase>& info) { return std::string(info.param.name); });

TEST(Sort, IsStableInBothOrders) {
  // Equal numbers ("1" and "1.0" too) keep their order, ascending and descending.
  for (SortOrder order : {kAsc, kDesc}) {
    GridStore g = makeGrid({{"Key", "Tag"}, {"2", "a"}, {"1", "b"}, {"2", "c"}, {"1.0", "d"}, {"", "e"}, {"", "f"}});
    g.setSelection(3, 0, 3, 0);
    sortSelection(g, order);
    const std::vector<std::string> expected = order == kAsc
                                                  ? std::vector<std::string>{"Tag", "b", "d", "a", "c", "e", "f"}
                                                  : std::vector<std::string>{"Tag", "a", "c", "b", "d", "e", "f"};
    EXPECT_EQ(column(g, 1), expected);
  }
}

TEST(Sort, HiddenRowsMoveWithTheirHeight) {
  GridStore g = makeGrid({{"Key"}, {"3"}, {"1"}, {"2"}});
  g.setRowHeight(0, 1200);
  g.setRowHeight(1, 0);  // "3" hidden
  sortSelection(g, kAsc);
  EXPECT_EQ(column(g, 0), (std::vector<std::string>{"Key", "1", "2", "3"}));
  EXPECT_EQ(g.rowHeight(0), 1200);
  EXPECT_EQ(g.rowHeight(1), kDefaultRowHeight);
  EXPECT_EQ(g.rowHeight(3), 0);
  EXPECT_EQ(g.hiddenRowCount(), 1);
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

TEST(Sort, HeaderRowNeverMovesAndASelectionFromRow0CountsAsOneRow) {
  GridStore g = makeGrid({{"Z"}, {"3"}, {"2"}, {"1"}});
  g.setSelection(0, 0, 1, 0);  // header and one data row: every data row
  sortSelection(g, kAsc);
  EXPECT_EQ(column(g, 0), (std::vector<std::string>{"Z", "1", "2", "3"}));
  g.setSelection(0, 0, 3, 0);
  sortSelection(g, kDesc);
  EXPECT_EQ(column(g, 0), (std::vector<std::string>{"Z", "3", "2", "1"}));
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

TEST(Sort, AnAlreadySortedGridReportsNoChange) {
  GridStore g = makeGrid({{"K"}, {"1"}, {"2"}});
  g.takeChanges();
  sortSelection(g, kAsc);
  EXPECT_FALSE(g.takeChanges().any());
  sortSelection(g, kDesc);
  EXPECT_TRUE(g.takeChanges().rowLayout);
}

}  // namespace
}  // namespace tarvolin::core
