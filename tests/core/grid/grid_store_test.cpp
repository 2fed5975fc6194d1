#include "core/grid/grid_store.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarvolin::core
