// The lock-wait tree: each waiter under its holder, siblings sorted within their level.
#include <gtest/gtest.h>

#include "core/lockwait/lock_wait_tree.h"

namespace tarvolin::core {
namespace {

/// Rows in tree order: level, handle, wait time.
LockWaits waits() {
  LockWaits w;
  const struct {
    int level;
    const char *handle, *waitMs;
  } rows[] = {
      {0, "7", "10"}, {1, "12", "Not Collected"},  {2, "30", "5"}, {2, "4", ""},   {1, "9", "200"}, {0, "777", ""},
      {1, "8", "30"}, {1, "100", "Not Collected"}, {1, "25", "3"}, {1, "60", "30"}};
  for (const auto& r : rows) {
    LockWaitRow row;
    row.level = r.level;
    row.handle = r.handle;
    row.waitMs = r.waitMs;
    w.rows.push_back(row);
  }
  return w;
}

/// The shown rows, depth first, as "handle" with one "." per level.
std::string shown(const LockWaitTree& t) {
  std::string out;
  auto walk = [&](auto& self, int row, int depth) -> void {
    out +=
        (out.empty() ? "" : " ") + std::string(static_cast<size_t>(depth), '.') + t.texts[static_cast<size_t>(row)][1];
    for (int c : t.children[static_cast<size_t>(row)]) self(self, c, depth + 1);
  };
  for (int r : t.roots) walk(walk, r, 0);
  return out;
}

TEST(LockWaitTreeTest, SortsSiblingsWithinTheirLevelAndRestoresTreeOrder) {
  const int handle = 1;
  const int waitMs = 8;
  const struct {
    int column;
    bool descending;
    const char* expected;
  } cases[] = {
      {-1, false, "7 .12 ..30 ..4 .9 777 .8 .100 .25 .60"},
      {handle, false, "7 .9 .12 ..4 ..30 777 .8 .25 .60 .100"},
      {handle, true, "777 .100 .60 .25 .8 7 .12 ..30 ..4 .9"},
      // Numbers first, equals in tree order, then "Not Collected", then empty cells.
      {waitMs, false, "7 .9 .12 ..30 ..4 777 .25 .8 .60 .100"},
      {waitMs, true, "7 .9 .12 ..30 ..4 777 .8 .60 .25 .100"},
  };
  for (const auto& c : cases) {
    LockWaitTree t = lockWaitTree(waits());
    sortLockWaitTree(t, handle, true);  // a sort before, undone by a tree-order one
    sortLockWaitTree(t, c.column, c.descending);
    EXPECT_EQ(shown(t), c.expected) << c.column << (c.descending ? " descending" : " ascending");
    EXPECT_EQ(t.parent[3], 1);  // "4" waits for "12"
    EXPECT_EQ(t.parent[5], -1);
  }
  LockWaitTree t = lockWaitTree(waits());
  sortLockWaitTree(t, waitMs, true);
  restoreTreeOrder(t);
  EXPECT_EQ(shown(t), cases[0].expected);
}

}  // namespace
}  // namespace tarvolin::core
