#include "core/grid/row_filters.h"

#include <gtest/gtest.h>

#include "core/grid/grid_store.h"

namespace tarvolin::core {
namespace {

std::vector<int> hiddenRows(const GridStore& g) {
  std::vector<int> rows;
  for (int r = 0; r < g.rows(); ++r)
    if (g.rowHeight(r) == 0) rows.push_back(r);
  return rows;
}

TEST(RedoGrid, HidesExactlyTheMatchingDataRowsAndExclusionsAddUp) {
  const std::vector<std::string> values{"Object Type", "Row", "row", "Row ", "", "Table", "Row", " Row"};
  struct Case {
    std::vector<std::string> exclusions;
    std::vector<int> hidden;
  };
  for (const Case& c : std::vector<Case>{{{"Row"}, {1, 6}},
                                         {{"ROW"}, {}},
                                         {{"Row "}, {3}},
                                         {{" Row"}, {7}},
                                         {{""}, {4}},
                                         {{"Object Type"}, {}},  // the header row is not data
                                         {{"Table", "", "row"}, {2, 4, 5}}}) {
    GridStore g;
    g.setRows(static_cast<int>(values.size()));
    g.setRowHeight(0, 1200);
    for (size_t i = 0; i < values.size(); ++i) g.setText(static_cast<int>(i), 0, values[i]);
    for (const std::string& value : c.exclusions) hideRowsLike(g, 0, value);
    EXPECT_EQ(hiddenRows(g), c.hidden) << c.exclusions.front();
    EXPECT_EQ(g.rowHeight(0), 1200);
    EXPECT_TRUE(g.redraw());
  }
}

TEST(RowFilters, CoverRowsBeyond32768AndShowAllGivesEveryDataRowItsHeight) {
  constexpr int kRows = 70'000;
  GridStore g;
  g.setRows(kRows);
  g.setRowHeight(0, 1200);
  g.setRowHeight(3, 600);  // never hidden, yet resized
  for (int r : {32'767, 32'768, 65'535, 65'536, kRows - 1}) g.setText(r, 1, "Row");
  EXPECT_THROW(hideRowsLike(g, 2, "Row"), std::out_of_range);  // before changing anything
  hideRowsLike(g, 1, "Row");
  EXPECT_EQ(hiddenRows(g), (std::vector<int>{32'767, 32'768, 65'535, 65'536, kRows - 1}));
  showAllRows(g);
  EXPECT_EQ(g.rowHeight(0), 1200);
  for (int r : {1, 3, 32'768, kRows - 1}) EXPECT_EQ(g.rowHeight(r), kDefaultRowHeight) << r;
}

}  // namespace
}  // namespace tarvolin::core
