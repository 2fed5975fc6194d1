#include "load_fixture.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

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

void LoadFixture::loadFile(const std::string& path) {
  ReportLoader loader(shared, load, obs, measure);
  loader.do_refresh(path, grid);
  EXPECT_FALSE(loader.loading());
  counters = loader.counters();
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
