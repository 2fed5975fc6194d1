#include "load_fixture.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <tuple>

namespace tarvolin::core::loadtest {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "tarvolin-core-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // A test may have made parts read-only; give them back before removing.
  fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
  for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
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

ScopedCwd::ScopedCwd(const fs::path& dir) : m_previous(fs::current_path()) { fs::current_path(dir); }

ScopedCwd::~ScopedCwd() {
  std::error_code ec;
  fs::current_path(m_previous, ec);
}

std::vector<std::string> gridRow(const GridStore& g, int r) {
  std::vector<std::string> out;
  for (int c = 0; c < g.cols(); ++c) out.emplace_back(g.text(r, c));
  return out;
}

void LoadFixture::loadText(std::string_view text) { loadFile(dir.write("report.txt", text)); }

namespace {

/// The first difference between two grids, or "" when they hold the same.
std::string gridDifference(const GridStore& a, const GridStore& b) {
  if (a.rows() != b.rows() || a.cols() != b.cols()) return "size";
  if (a.fixedRows() != b.fixedRows() || a.fixedCols() != b.fixedCols()) return "fixed rows or columns";
  for (int r = 0; r < a.rows(); ++r) {
    if (a.rowHeight(r) != b.rowHeight(r)) return "height of row " + std::to_string(r);
    for (int c = 0; c < a.cols(); ++c)
      if (a.text(r, c) != b.text(r, c)) return "cell " + std::to_string(r) + "," + std::to_string(c);
  }
  for (int c = 0; c < a.cols(); ++c)
    if (a.colWidth(c) != b.colWidth(c) || a.colAlignment(c) != b.colAlignment(c)) return "column " + std::to_string(c);
  return "";
}

std::vector<std::string> tableOf(const VariableTable& vars) {
  std::vector<std::string> out;
  for (int i = 0; i <= vars.maxvar(); ++i) {
    const perfvar& v = vars[i];
    out.push_back(v.name + "|" + (v.show ? "Y" : "N") + "|" + std::to_string(v.width) + "|" + std::to_string(v.seqno));
  }
  return out;
}

}  // namespace

void LoadFixture::loadFile(const std::string& path) {
  // Every load of these tests is done a second time, from copies of the state it starts
  // from, with the file read ahead on a second thread: it must end the same way. Not when
  // a hook acts at each yield, as that acts on this fixture's state.
  const bool twin = !obs.onYield;
  SharedState shared2 = shared;
  LoadState load2 = load;
  GridStore grid2 = grid;
  RecordingObserver obs2 = obs;

  ReportLoader loader(shared, load, obs, measure);
  loader.do_refresh(path, grid);
  EXPECT_FALSE(loader.loading());
  counters = loader.counters();
  if (!twin) return;

  FixedTextMeasure measure2 = measure;
  ReportLoader ahead(shared2, load2, obs2, measure2);
  ahead.setReadAheadFrom(0);
  ahead.do_refresh(path, grid2);
  const LoadCounters& c2 = ahead.counters();
  EXPECT_EQ(std::tie(counters.nread, counters.nout, counters.nentry, counters.failed),
            std::tie(c2.nread, c2.nout, c2.nentry, c2.failed));
  EXPECT_EQ(gridDifference(grid, grid2), "") << "read ahead";
  EXPECT_EQ(tableOf(shared.vars), tableOf(shared2.vars));
  EXPECT_EQ(shared.snaptype, shared2.snaptype);
  EXPECT_TRUE(load.vals == load2.vals);
  EXPECT_EQ(load.like_val, load2.like_val);
  EXPECT_EQ(obs.statuses, obs2.statuses);
  EXPECT_EQ(obs.errors, obs2.errors);
  EXPECT_EQ(obs.kinds, obs2.kinds);
  EXPECT_EQ(obs.yields, obs2.yields);
}

void LoadFixture::writeConfig(const std::string& kindWithoutBlanks, std::string_view text) const {
  dir.write(kindWithoutBlanks + ".cfg", text);
}

std::vector<std::vector<std::string>> LoadFixture::table() const {
  std::vector<std::vector<std::string>> out;
  for (int r = 0; r < grid.rows(); ++r) {
    std::vector<std::string> row;
    for (int c = 0; c <= shared.vars.maxvar(); ++c) row.emplace_back(grid.text(r, c));
    out.push_back(std::move(row));
  }
  return out;
}

std::string LoadFixture::cell(int r, const std::string& name) const {
  const int c = shared.vars.lookup(name);
  if (c < 0) {
    ADD_FAILURE() << "no variable named \"" << name << "\"";
    return "<none>";
  }
  return std::string(grid.text(r, c));
}

std::vector<std::string> LoadFixture::names() const {
  std::vector<std::string> out;
  for (int i = 0; i <= shared.vars.maxvar(); ++i) out.push_back(shared.vars[i].name);
  return out;
}

}  // namespace tarvolin::core::loadtest
