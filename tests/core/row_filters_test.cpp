#include "core/row_filters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/grid_store.h"

namespace tarvolin::core {
namespace {

/// A loaded-looking grid: header row 1200 twips high, one column of values below it.
GridStore columnGrid(const std::vector<std::string>& values) {
  GridStore g;
  g.setRows(static_cast<int>(values.size()) + 1);
  g.setText(0, 0, "Object Type");
  g.setRowHeight(0, 1200);
  for (size_t i = 0; i < values.size(); ++i) g.setText(static_cast<int>(i) + 1, 0, values[i]);
  return g;
}

std::vector<int> hiddenRows(const GridStore& g) {
  std::vector<int> rows;
  for (int r = 0; r < g.rows(); ++r)
    if (g.rowHeight(r) == 0) rows.push_back(r);
  return rows;
}

struct CountingObserver : GridObserver {
  int calls = 0;
  void gridChanged() override { ++calls; }
};

struct ExcludeCase {
  const char* name;
  std::vector<std::string> exclusions;
  std::vector<int> hidden;
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
void PrintTo(const ExcludeCase& c, std::ostream* os) { *os << c.name; }

class RedoGrid : public testing::TestWithParam<ExcludeCase> {};

TEST_P(RedoGrid, HidesExactlyTheMatchingDataRows) {
  GridStore g = columnGrid({"Row", "row", "Row ", "", "Table", "Row", " Row"});
  for (const std::string& value : GetParam().exclusions) redo_grid(g, 0, value);
  EXPECT_EQ(hiddenRows(g), GetParam().hidden);
  EXPECT_EQ(g.rowHeight(0), 1200);
  EXPECT_TRUE(g.redraw());
}

INSTANTIATE_TEST_SUITE_P(Cases, RedoGrid,
                         testing::Values(ExcludeCase{"exact", {"Row"}, {1, 6}}, ExcludeCase{"other_case", {"ROW"}, {}},
                                         ExcludeCase{"lower_case", {"row"}, {2}},
                                         ExcludeCase{"trailing_blank", {"Row "}, {3}},
                                         ExcludeCase{"leading_blank", {" Row"}, {7}},
                                         ExcludeCase{"empty_value", {""}, {4}},
                                         ExcludeCase{"header_text_is_not_data", {"Object Type"}, {}},
                                         ExcludeCase{"add_up", {"Row", "Table"}, {1, 5, 6}},
                                         ExcludeCase{"add_up_three", {"Table", "", "row"}, {2, 4, 5}},
                                         ExcludeCase{"repeat_changes_nothing", {"Row", "Row"}, {1, 6}}),
                         [](const testing::TestParamInfo<ExcludeCase>& info) { return std::string(info.param.name); });

TEST(RedoGrid, EmptyCellMatchesRowsWithoutTheVariable) {
  GridStore g;
  g.setCols(3);
  g.setRows(4);
  g.setText(1, 2, "X");  // rows 2 and 3 never had column 2 filled
  redo_grid(g, 2, "");
  EXPECT_EQ(hiddenRows(g), (std::vector<int>{2, 3}));
}

TEST(RedoGrid, ColumnOutsideTheGridThrowsAndChangesNothing) {
  GridStore g = columnGrid({"a", "b"});
  EXPECT_THROW(redo_grid(g, 2, "a"), std::out_of_range);
  EXPECT_THROW(redo_grid(g, -1, "a"), std::out_of_range);
  EXPECT_TRUE(hiddenRows(g).empty());
  EXPECT_TRUE(g.redraw());
}

TEST(RedoGrid, TellsTheObserverOnce) {
  GridStore g = columnGrid({"a", "b", "a", "a"});
  CountingObserver observer;
  g.setObserver(&observer);
  g.takeChanges();
  redo_grid(g, 0, "a");
  EXPECT_EQ(observer.calls, 1);
  EXPECT_TRUE(g.takeChanges().rowLayout);
  g.setObserver(nullptr);
}

TEST(RedoGridShowall, GivesEveryDataRowTheDefaultHeight) {
  GridStore g = columnGrid({"a", "b", "c", "d"});
  g.setRowHeight(2, 0);
  g.setRowHeight(3, 600);  // never hidden, yet resized
  redo_grid_showall(g);
  EXPECT_EQ(g.rowHeight(0), 1200);
  for (int r = 1; r < g.rows(); ++r) EXPECT_EQ(g.rowHeight(r), kDefaultRowHeight) << "row " << r;
  EXPECT_EQ(g.hiddenRowCount(), 0);
  EXPECT_TRUE(g.redraw());
}

TEST(RedoGridShowall, OnAGridOfOnlyTheHeaderRowDoesNothing) {
  GridStore g;
  g.setRows(1);
  g.setRowHeight(0, 1200);
  redo_grid_showall(g);
  redo_grid(g, 0, "");
  EXPECT_EQ(g.rowHeight(0), 1200);
}

TEST(RowFilters, CoverRowsBeyond32768) {
  constexpr int kRows = 70'000;
  GridStore g;
  g.setRows(kRows);
  for (int r : {32'767, 32'768, 65'535, 65'536, kRows - 1}) g.setText(r, 1, "Row");
  redo_grid(g, 1, "Row");
  EXPECT_EQ(hiddenRows(g), (std::vector<int>{32'767, 32'768, 65'535, 65'536, kRows - 1}));
  EXPECT_EQ(g.hiddenRowCount(), 5);
  redo_grid(g, 1, "");
  EXPECT_EQ(g.hiddenRowCount(), kRows - 1);
  redo_grid_showall(g);
  EXPECT_EQ(g.hiddenRowCount(), 0);
  EXPECT_EQ(g.rowHeight(kRows - 1), kDefaultRowHeight);
  EXPECT_EQ(g.rows(), kRows);
}

TEST(Menlike, TakesTheCurrentColumnAndCellText) {
  GridStore g = columnGrid({"Row", "Table"});
  g.setCols(3);
  g.setText(2, 1, "EAIHIN1U ");
  g.setSelection(2, 1, 1, 0);
  LoadState load;
  menlike(load, g);
  EXPECT_EQ(load.like_col, 1);
  EXPECT_EQ(load.like_val, "EAIHIN1U ");
}

TEST(Menlike2, ReloadsOnlyOnANonEmptyAnswer) {
  GridStore g = columnGrid({"Row"});
  g.setCol(1);
  LoadState load;
  load.like_val = "stale";
  EXPECT_TRUE(menlike2(load, g, "Table"));
  EXPECT_EQ(load.like_col, 1);
  EXPECT_EQ(load.like_val, "Table");

  load.like_val.clear();
  g.setCol(0);
  EXPECT_FALSE(menlike2(load, g, ""));
  EXPECT_EQ(load.like_col, 0);
  EXPECT_TRUE(load.like_val.empty());
}

}  // namespace
}  // namespace tarvolin::core
