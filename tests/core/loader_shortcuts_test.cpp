// The loader's shortcuts must answer exactly what the plain steps answer: rows written
// from views, the inline byte copy, values kept per entry and synced into vals, start
// names recognised by table index, and lines read by their remembered layout.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
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

/// `text` with the blanks between each line's name and its first '=' replaced by
/// `pad(i)` blanks on line i. The lines after a "Dynamic SQL" name are its value and stay.
std::string repadded(const std::string& text, const std::function<int(int)>& pad) {
  std::istringstream in(text);
  std::string out;
  std::string line;
  int keep = 0;
  for (int i = 0; std::getline(in, line); ++i) {
    const size_t eq = line.find('=');
    if (keep > 0 || eq == std::string::npos) {
      if (line.find("Dynamic SQL") != std::string::npos && eq == std::string::npos)
        keep = 2;
      else if (keep > 0)
        --keep;
      out += line + "\n";
      continue;
    }
    size_t nameEnd = eq;
    while (nameEnd > 0 && line[nameEnd - 1] == ' ') --nameEnd;
    out += line.substr(0, nameEnd) + std::string(static_cast<size_t>(pad(i)), ' ') + line.substr(eq) + "\n";
  }
  return out;
}

std::string readSample(const std::string& name) {
  std::ifstream in(std::string(TARVOLIN_SAMPLES_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A line laid out as the previous line of its variable was is read without searching for
// its separator or its name: lines laid out otherwise must give the same grid.
TEST_F(LoaderShortcuts, TheBlanksBeforeTheSeparatorChangeNothing) {
  const std::vector<std::function<int(int)>> pads = {
      [](int) { return 0; },                      // no line is long enough to be remembered
      [](int i) { return i % 5 == 0 ? 3 : 40; },  // mostly the same, some not
      [](int i) { return (i * 7) % 45; },         // each line unlike the one before
      [](int) { return 70; },                     // too long to be remembered
  };
  for (const char* name : {"lock_snapshot.txt", "table_snapshot.txt", "tablespace_snapshot.txt",
                           "dynamic_sql_snapshot.txt", "database_directory.txt", "application_snapshot.txt"}) {
    loadText(readSample(name));
    const Rows want = table();
    std::vector<int16_t> widths;
    for (int i = 0; i <= shared.vars.maxvar(); ++i) widths.push_back(shared.vars[i].width);
    ASSERT_GT(want.size(), 2u) << name;
    for (size_t k = 0; k < pads.size(); ++k) {
      loadText(repadded(readSample(name), pads[k]));
      EXPECT_EQ(table(), want) << name << " padding " << k;
      for (int i = 0; i <= shared.vars.maxvar() && i < static_cast<int>(widths.size()); ++i)
        EXPECT_EQ(shared.vars[i].width, widths[static_cast<size_t>(i)]) << name << " " << shared.vars[i].name;
    }
  }
}

TEST_F(LoaderShortcuts, ARememberedLayoutStillStartsEntriesAndSkipsWhatComesBeforeTheFirst) {
  const std::string pad(20, ' ');
  loadText("Node Directory\n" + std::string("Comment") + pad + "= before\n" + "Comment" + pad + "= still before\n" +
           "Node name" + pad + "= A\n" + "Comment" + pad + "= x=y\n" + "Node name" + pad + "= B\n" + "Comment" + pad +
           "=\n" + "Comment" + pad + "= again\n" + "Node name" + pad + "=   C   \n");
  EXPECT_EQ(table(), (Rows{{"Node name", "Comment"}, {"A", "x=y"}, {"B", "again"}, {"C", ""}}));
  EXPECT_EQ(counters.nentry, 3);
}

}  // namespace
}  // namespace tarvolin::core::loadtest
