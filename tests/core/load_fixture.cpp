#include "load_fixture.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "core/grid/grid_output.h"
#include "core/read/load_progress.h"

namespace tarvolin::core::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "tarvolin-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
  for (const auto& e : fs::recursive_directory_iterator(m_path, ec))
    fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
  fs::remove_all(m_path, ec);
}

std::string TempDir::write(const std::string& name, std::string_view bytes) const {
  const fs::path p = m_path / name;
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + p.string());
  return p.string();
}

std::string TempDir::read(const std::string& name) const {
  std::ifstream in(m_path / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Loaded::loadFile(const std::string& path) {
  ReportLoader loader(shared, report, load, obs, measure, dir.folder());
  loader.setReadFunction(read);
  loader.load(path, grid);
  counters = loader.counters();
  EXPECT_FALSE(loader.loading());
  EXPECT_EQ(lastStatus(), progressText(counters.nread, counters.nout, true));
  EXPECT_EQ(obs.errors.size(), counters.failed ? 1u : 0u);
  EXPECT_TRUE(load.filterValue.empty());
  EXPECT_TRUE(grid.redraw());
  EXPECT_EQ(grid.rows(), counters.nout + 1);
  if (grid.rows() > 1) {
    EXPECT_EQ(grid.fixedRows(), 1);
  }
  EXPECT_EQ(grid.fixedCols(), shared.lockcol ? 1 : 0);
  EXPECT_EQ(grid.rowHeight(0), kHeaderRowHeight);
  for (int i = 0; i <= report.vars.lastIndex(); ++i) {
    const Variable& v = report.vars[i];
    EXPECT_EQ(grid.text(0, i), v.name);
    EXPECT_EQ(grid.colWidth(i), v.show ? std::max<int>(v.width, kMinColWidth) : 0) << v.name;
    EXPECT_EQ(grid.colAlignment(i), Alignment::LeftTop);
  }
}

Rows Loaded::table() const {
  Rows rows;
  for (int r = 0; r < grid.rows(); ++r) {
    rows.emplace_back();
    for (int c = 0; c <= report.vars.lastIndex(); ++c) rows.back().emplace_back(grid.text(r, c));
  }
  return rows;
}

GridStore makeGrid(const Rows& rows) {
  GridStore g;
  g.setCols(static_cast<int>(rows.front().size()));
  g.setRows(static_cast<int>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) g.setText(static_cast<int>(r), static_cast<int>(c), rows[r][c]);
  return g;
}

}  // namespace tarvolin::core::test
