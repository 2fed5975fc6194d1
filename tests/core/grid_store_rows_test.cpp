// Whole-row writes and large grids of the grid store (the loader's path).

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/grid_store.h"
#include "core/grow_buffer.h"

namespace tarvolin::core {
namespace {

/// A Grid that forwards to a GridStore but keeps Grid's own setRowTexts.
class ForwardingGrid : public Grid {
 public:
  explicit ForwardingGrid(GridStore& g) : m_g(g) {}
  void clear() override { m_g.clear(); }
  int rows() const override { return m_g.rows(); }
  void setRows(int n) override { m_g.setRows(n); }
  int cols() const override { return m_g.cols(); }
  void setCols(int n) override { m_g.setCols(n); }
  int fixedRows() const override { return m_g.fixedRows(); }
  void setFixedRows(int n) override { m_g.setFixedRows(n); }
  int fixedCols() const override { return m_g.fixedCols(); }
  void setFixedCols(int n) override { m_g.setFixedCols(n); }
  void setRedraw(bool on) override { m_g.setRedraw(on); }
  bool redraw() const override { return m_g.redraw(); }
  int rowHeight(int r) const override { return m_g.rowHeight(r); }
  void setRowHeight(int r, int t) override { m_g.setRowHeight(r, t); }
  int colWidth(int c) const override { return m_g.colWidth(c); }
  void setColWidth(int c, int t) override { m_g.setColWidth(c, t); }
  Alignment colAlignment(int c) const override { return m_g.colAlignment(c); }
  void setColAlignment(int c, Alignment a) override { m_g.setColAlignment(c, a); }
  bool wordWrap() const override { return m_g.wordWrap(); }
  void setWordWrap(bool on) override { m_g.setWordWrap(on); }
  int row() const override { return m_g.row(); }
  void setRow(int r) override { m_g.setRow(r); }
  int col() const override { return m_g.col(); }
  void setCol(int c) override { m_g.setCol(c); }
  std::string_view text(int r, int c) const override { return m_g.text(r, c); }
  void setText(int r, int c, std::string_view t) override {
    ++setTextCalls;
    m_g.setText(r, c, t);
  }
  int setTextCalls = 0;

 private:
  GridStore& m_g;
};

std::vector<std::string> rowOf(const GridStore& g, int r) {
  std::vector<std::string> out;
  for (int c = 0; c < g.cols(); ++c) out.emplace_back(g.text(r, c));
  return out;
}

/// Stores of 6 columns and 3 rows, each with `texts` in row 2: {column, text}.
void prepare(std::initializer_list<GridStore*> stores, const std::vector<std::pair<int, std::string>>& texts) {
  for (GridStore* g : stores) {
    g->setCols(6);
    g->setRows(3);
    for (const auto& [c, t] : texts) g->setText(2, c, t);
  }
}

TEST(GridStoreRows, RowWriteIsTheSameAsOneWritePerCell) {
  const std::vector<std::string> texts = {"a", "", "third cell", std::string("nul\0byte", 8), ""};
  GridStore direct;
  GridStore viaBase;
  ForwardingGrid base(viaBase);
  prepare({&direct, &viaBase}, {{1, "old"}, {5, "kept"}});
  direct.setRowTexts(2, texts);
  base.setRowTexts(2, texts);
  EXPECT_EQ(base.setTextCalls, 5);
  EXPECT_EQ(rowOf(direct, 2), rowOf(viaBase, 2));
  EXPECT_EQ(rowOf(direct, 2),
            (std::vector<std::string>{"a", "", "third cell", std::string("nul\0byte", 8), "", "kept"}));
  const GridChanges changes = direct.takeChanges();
  EXPECT_EQ(changes.firstTextRow, 2);
  EXPECT_EQ(changes.lastTextRow, 2);
}

TEST(GridStoreRows, CellsFromABlockSetOnlyThoseCells) {
  const std::string block = std::string("alphaBETA") + std::string("nul\0z", 5);
  const std::vector<Grid::CellText> cells = {{4, 0, 5}, {0, 5, 4}, {2, 9, 5}, {3, 0, 0}};
  GridStore direct;
  GridStore viaBase;
  ForwardingGrid base(viaBase);
  prepare({&direct, &viaBase}, {{1, "kept"}, {3, "emptied"}});
  direct.setCellsFrom(2, block, cells);
  base.setCellsFrom(2, block, cells);
  const std::vector<std::string> want = {"BETA", "kept", std::string("nul\0z", 5), "", "alpha", ""};
  EXPECT_EQ(rowOf(direct, 2), want);
  EXPECT_EQ(rowOf(viaBase, 2), want);
  EXPECT_EQ(direct.takeChanges().firstTextRow, 2);

  // A column or a text outside throws before anything changes.
  for (const Grid::CellText& bad :
       {Grid::CellText{6, 0, 1}, Grid::CellText{-1, 0, 1}, Grid::CellText{1, 10, 5}, Grid::CellText{1, 15, 0}}) {
    const std::vector<Grid::CellText> two = {{0, 0, 5}, bad};
    const size_t arena = direct.arenaBytes();
    EXPECT_THROW(direct.setCellsFrom(2, block, two), std::out_of_range);
    EXPECT_EQ(direct.arenaBytes(), arena);
    EXPECT_EQ(rowOf(direct, 2), want);
  }
}

TEST(GridStoreRows, RowWriteOutsideTheGridThrowsAndChangesNothing) {
  GridStore g;
  g.setText(1, 0, "x");
  const std::vector<std::string> three = {"1", "2", "3"};
  EXPECT_THROW(g.setRowTexts(1, three), std::out_of_range);
  EXPECT_THROW(g.setRowTexts(2, std::vector<std::string>{"1"}), std::out_of_range);
  EXPECT_EQ(g.text(1, 0), "x");
  g.setRowTexts(1, std::vector<std::string>{});
  EXPECT_EQ(g.text(1, 0), "x");
}

TEST(GridStoreRows, LargeGridGrowsShrinksAndGrowsBackEmpty) {
  GridStore g;
  g.setCols(16);
  const std::string value(40, 'v');
  std::vector<std::string> row(16, value);
  int rows = 2;
  for (int r = 1; r < 60000; ++r) {
    if (r >= rows) g.setRows(rows += 100);
    row[0] = std::to_string(r);
    g.setRowTexts(r, row);
  }
  EXPECT_GT(g.arenaBytes(), size_t{30} << 20);
  EXPECT_EQ(g.text(59999, 0), "59999");
  EXPECT_EQ(g.text(12345, 15), value);

  GridStore copy = g;
  EXPECT_EQ(copy.text(59999, 0), "59999");
  GridStore moved = std::move(copy);
  EXPECT_EQ(moved.text(777, 7), value);

  g.setRows(10);
  g.setRows(60000);
  EXPECT_EQ(g.text(9, 3), value);
  EXPECT_EQ(g.text(10, 3), "");
  EXPECT_EQ(g.text(59999, 0), "");
  g.setCols(40);  // restride of a large grid
  EXPECT_EQ(g.text(9, 0), "9");
  EXPECT_EQ(g.text(9, 39), "");
  g.clear();
  EXPECT_EQ(g.text(9, 0), "");
}

TEST(GrowBuffer, NewElementsAreZeroWhereverTheyComeFrom) {
  for (size_t big : {size_t{1000}, size_t{3} << 20}) {  // heap block, then a mapping of its own
    SCOPED_TRACE(big);
    GrowBuffer<uint32_t> b;
    b.resize(big);
    for (size_t i = 0; i < big; i += 997) EXPECT_EQ(b[i], 0u);
    for (size_t i = 0; i < big; ++i) b[i] = 7;
    b.resize(10);
    b.resize(big * 2);
    EXPECT_EQ(b[9], 7u);
    for (size_t i = 10; i < big * 2; i += 991) ASSERT_EQ(b[i], 0u) << i;
    b.clear();
    b.resize(5);
    EXPECT_EQ(b[4], 0u);
    const uint32_t more[3] = {1, 2, 3};
    b.append(more, 3);
    ASSERT_EQ(b.size(), 8u);
    EXPECT_EQ(b[7], 3u);
    GrowBuffer<uint32_t> c = b;
    EXPECT_EQ(c.size(), 8u);
    EXPECT_EQ(c[6], 2u);
  }
}

}  // namespace
}  // namespace tarvolin::core
