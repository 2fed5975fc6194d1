#include "core/grid/grid_store.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/grid/grid_commands.h"

namespace tarvolin::core {
namespace {

TEST(GridStore, ALargeGridGrowsShrinksAndGrowsBackEmpty) {
  GridStore g;
  g.setCols(3);
  for (int rows = 100; rows <= 100'000; rows += 100) g.setRows(rows);
  for (int r = 0; r < 100'000; r += 997) g.setText(r, 2, "r" + std::to_string(r));
  g.setCols(40);  // the rows are laid out anew
  EXPECT_EQ(g.text(32'901, 2), "r32901");
  EXPECT_EQ(g.text(99'700, 2), "r99700");
  g.setRows(10);
  g.setRows(100'000);
  EXPECT_EQ(g.text(32'901, 2), "");
  EXPECT_EQ(g.text(0, 2), "r0");
  EXPECT_THROW(g.setRowTexts(100'000, std::vector<std::string>(1)), std::out_of_range);
  EXPECT_THROW(g.setRowTexts(1, std::vector<std::string>(41)), std::out_of_range);
}

TEST(GridStore, TellsItsObserverWhenItGoesAndCopiesTellNobody) {
  struct Counting : GridObserver {
    void gridChanged() override {}
    void gridGone() override { ++gone; }
    int gone = 0;
  } observer;
  {
    GridStore g;
    g.setObserver(&observer);
    { const GridStore copy(g); }
    { const GridStore moved(std::move(g)); }
    EXPECT_EQ(observer.gone, 0);
  }
  EXPECT_EQ(observer.gone, 1);
}

/// Rows keep their entry, snapshot and owner marks in the report as the view reorders or
/// hides them; a copy of the store is a report of its own.
TEST(GridStore, ShowsAReportWhoseRowsKeepTheirEntries) {
  struct Case {
    const char* what;
    std::function<void(GridStore&)> act;
    std::string order;    // column 0 of rows 1..3 afterwards
    std::string entries;  // their entry numbers
    int ownerRow;         // the row whose column 1 came from its owner
  };
  const Case cases[] = {
      {"sorted",
       [](GridStore& g) {
         sortRows(g, {1, 3, 0, 0}, SortOrder::Ascending);
       },
       "abc", "231", 1},
      {"column hidden", [](GridStore& g) { g.setColWidth(1, 0); }, "cab", "123", 2},
      {"row hidden, then sorted",
       [](GridStore& g) {
         g.setRowHeight(2, 0);
         sortRows(g, {1, 3, 0, 0}, SortOrder::Descending);
       },
       "cba", "132", 3},
      {"a copy changed",
       [](GridStore& g) {
         GridStore(g).permuteRows(1, {3, 2, 1});
       },
       "cab", "123", 2},
  };
  for (const Case& c : cases) {
    GridStore g;
    g.report().cells.setSnapshot(1);
    g.setRows(1);
    g.setRows(4);  // rows 1..3: entries 1..3 of snapshot 1
    for (int r = 1; r <= 3; ++r) g.setText(r, 0, std::string(1, "cab"[r - 1]));
    g.markFilled(2, 1);
    const std::vector<int> widths{g.colWidth(0), g.colWidth(1)};
    c.act(g);
    std::string order;
    std::string entries;
    for (int r = 1; r <= 3; ++r) {
      order += g.text(r, 0);
      entries += std::to_string(g.report().cells.entry(r));
      EXPECT_EQ(g.report().cells.snapshot(r), 1) << c.what;
      EXPECT_EQ(g.report().cells.fromOwner(r, 1), r == c.ownerRow) << c.what << " row " << r;
    }
    EXPECT_EQ(order, c.order) << c.what;
    EXPECT_EQ(entries, c.entries) << c.what;
    EXPECT_EQ(g.report().cells.cols(), 2) << c.what;  // hiding is the view's
    EXPECT_EQ(g.colWidth(0), widths[0]) << c.what;
  }
}

}  // namespace
}  // namespace tarvolin::core
