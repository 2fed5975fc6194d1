// The loader's shortcuts must answer exactly what the plain steps answer: rows written
// from views, the inline byte copy, values kept per entry and synced into vals, and start
// names recognised by table index.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid_store.h"
#include "core/grow_buffer.h"
#include "load_fixture.h"

namespace tarvolin::core::loadtest {
namespace {

using ::testing::ElementsAre;
using Rows = std::vector<std::vector<std::string>>;

TEST(CopyBytes, CopiesExactlyTheBytesAskedForAtEverySize) {
  std::string src;
  for (int i = 0; i < 80; ++i) src += static_cast<char>('A' + i % 50);
  for (size_t n = 0; n <= 70; ++n) {
    std::string dst(80, '.');
    copyBytes(dst.data() + 3, src.data() + 1, n);
    const std::string want = std::string(3, '.') + src.substr(1, n) + std::string(77 - n, '.');
    EXPECT_EQ(dst, want) << n;
  }
}

/// Views into one buffer, cut as `cuts` says: {offset, length}.
std::vector<std::string_view> viewsOf(std::string_view buffer, const std::vector<std::pair<size_t, size_t>>& cuts) {
  std::vector<std::string_view> v;
  for (auto [at, n] : cuts) v.push_back(buffer.substr(at, n));
  return v;
}

TEST(GridStoreRows, RowFromViewsIsTheSameAsOneWritePerCell) {
  const std::string buffer = "alphabetagammadelta" + std::string(100, 'x') + "end";
  const std::vector<std::vector<std::pair<size_t, size_t>>> cases = {
      {{0, 5}, {5, 4}, {9, 5}, {14, 5}},          // one after another: one run
      {{14, 5}, {9, 5}, {5, 4}, {0, 5}},          // backwards: no run
      {{0, 5}, {0, 0}, {5, 4}, {0, 0}, {14, 5}},  // empty cells and a gap
      {{0, 5}, {0, 5}, {19, 100}, {119, 3}},      // a repeat, then a long run
      {{0, 0}, {0, 0}},                           // nothing at all
  };
  for (size_t k = 0; k < cases.size(); ++k) {
    const std::vector<std::string_view> views = viewsOf(buffer, cases[k]);
    GridStore viaViews;
    GridStore perCell;
    for (GridStore* g : {&viaViews, &perCell}) {
      g->setCols(static_cast<int>(views.size()));
      g->setText(1, 0, "before");  // the arena already holds text
    }
    viaViews.setRowViews(1, views);
    for (size_t i = 0; i < views.size(); ++i) perCell.setText(1, static_cast<int>(i), views[i]);
    EXPECT_EQ(gridRow(viaViews, 1), gridRow(perCell, 1)) << "case " << k;
  }
}

TEST(GridStoreRows, ColumnsAddedOneByOneKeepEveryText) {
  GridStore g;
  g.setRows(300);
  for (int c = 0; c < 40; ++c) {
    g.setCols(c + 1);
    for (int r = 0; r < 300; r += 7) g.setText(r, c, std::to_string(r) + ":" + std::to_string(c));
  }
  for (int c = 0; c < 40; ++c)
    for (int r = 0; r < 300; ++r)
      EXPECT_EQ(g.text(r, c), r % 7 == 0 ? std::to_string(r) + ":" + std::to_string(c) : "");
}

class LoaderShortcuts : public LoadFixture {};

TEST_F(LoaderShortcuts, ValsHoldTheLastEntryWhenTheLoadEnds) {
  loadText("Node Directory\nNode name = A\nSize = 1\nColour = red\nNode name = B\nSize = 2\nSize = 3\n");
  ASSERT_EQ(shared.vars.maxvar(), 2);
  EXPECT_EQ(load.vals[0], "B");
  EXPECT_EQ(load.vals[1], "3");
  EXPECT_EQ(load.vals[2], "");  // cleared when B began
  EXPECT_EQ(table(), (Rows{{"Node name", "Size", "Colour"}, {"A", "1", "red"}, {"B", "3", ""}}));
}

TEST_F(LoaderShortcuts, ValsAfterAnErrorHoldTheEntryBeingRead) {
  loadText("Node Directory\nNode name = A\nSize = 1\nNode name = B\nSize = 2\nDynamic SQL text\n");
  EXPECT_EQ(obs.errors.size(), 1u);
  EXPECT_EQ(load.vals[0], "B");
  EXPECT_EQ(load.vals[1], "2");
  EXPECT_EQ(table(), (Rows{{"Node name", "Size"}, {"A", "1"}}));
}

TEST_F(LoaderShortcuts, AnEntryThatRepeatsANameThousandsOfTimesKeepsItsLastValue) {
  std::string text = "Node Directory\nNode name = A\n";
  for (int i = 0; i < 5000; ++i) text += "Comment = " + std::string(40, 'c') + std::to_string(i) + "\n";
  text += "Size = 9\nNode name = B\nComment = short\n";
  loadText(text);
  EXPECT_EQ(table(),
            (Rows{{"Node name", "Comment", "Size"}, {"A", std::string(40, 'c') + "4999", "9"}, {"B", "short", ""}}));
  EXPECT_EQ(load.vals[1], "short");
}

TEST_F(LoaderShortcuts, StartNameFromAnEmptyNameThenTheNextOneAsTheTableHasThem) {
  // A configured blank name and a name listed twice: the start name is compared as text
  // until it is in the table, then by its first index.
  writeConfig("MyKind", "Y;;;;;;\r\nY;;;;;B;\r\nY;;;;;A;\r\nN;;;;;A;\r\n");
  loadText("My Kind\n = zero\nA = 1\nB = 2\nA = 3\nB = 4\n = five\n");
  EXPECT_EQ(table(), (Rows{{"", "B", "A", "A"}, {"zero", "", "", ""}, {"", "2", "1", ""}, {"five", "4", "3", ""}}));
  EXPECT_EQ(counters.nentry, 3);
}

TEST_F(LoaderShortcuts, LockSnapshotStartsAtEitherStartNameWhereverTheTableHasThem) {
  // The second start name is configured ahead of the first and occurs before it.
  writeConfig("DatabaseLockSnapshot", "Y;;;;;Mode;\r\nY;;;;;Lock Object Name;\r\n");
  loadText(
      "Database Lock Snapshot\nDatabase name = X\nLock Object Name = 7\nMode = S\n"
      "Application handle = 1\nMode = none\nLock Object Name = 8\n");
  EXPECT_EQ(
      table(),
      (Rows{{"Mode", "Lock Object Name", "Application handle"}, {"S", "7", ""}, {"none", "", "1"}, {"", "8", ""}}));
}

}  // namespace
}  // namespace tarvolin::core::loadtest
