#include "core/grid_store.h"

#include <gtest/gtest.h>

namespace tarvolin::core {
namespace {

TEST(GridStore, StartsAsTheControlDoes) {
  GridStore g;
  EXPECT_EQ(g.rows(), 2);
  EXPECT_EQ(g.cols(), 2);
  EXPECT_EQ(g.text(1, 1), "");
}

}  // namespace
}  // namespace tarvolin::core
