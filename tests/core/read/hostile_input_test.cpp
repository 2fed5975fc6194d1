// Reports and configuration files that are not what they should be: each load must end
// with a message or a plain report, never a crash, a hang or a broken grid.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "core/load_fixture.h"
#include "core/read/config_file.h"

namespace tarvolin::core::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string randomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);  // the engine's output is fixed by the standard
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

constexpr size_t kFiftyMiB = size_t{50} << 20;
constexpr int kBigEntries = 40000;  // about 1.6 MB: read ahead, and more than one block

std::string bigReport() {
  std::string s = "Table Snapshot\n";
  for (int k = 0; k < kBigEntries; ++k) s += "Table Schema = s" + std::to_string(k) + "\nTable name = t\n";
  return s;
}

struct ReportCase {
  const char* name;
  std::function<std::string(const TempDir&)> make;  // makes the report, returns the path to load
  const char* message;                              // part of the error expected, or nullptr for none
  int nout;                                         // rows expected, or -1
  std::function<void(const std::string& path)> onStatus = {};
};
void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

std::function<std::string(const TempDir&)> file(std::function<std::string()> bytes) {
  return [bytes = std::move(bytes)](const TempDir& d) { return d.write("report.txt", bytes()); };
}
std::function<std::string(const TempDir&)> file(std::string bytes) {
  return file([bytes = std::move(bytes)] { return bytes; });
}

class HostileReport : public Loaded, public testing::WithParamInterface<ReportCase> {};

std::vector<ReportCase> reportCases() {
  const std::string png = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0\0\0\x01\0\x08\x06\0\0\0"s;
  auto unlinkOnce = [](const std::string& path) { ::unlink(path.c_str()); };  // at line 100, and again at the end
  return {
      {"EmptyFile", file(""), nullptr, 0},
      {"RandomBytes", file(randomBytes(256 * 1024, 8)), "", -1},
      {"ImageAfterAHeading", file("Table Snapshot\nTable Schema = a\n" + png + randomBytes(64 * 1024, 9)), "", -1},
      {"NulBytesInsideLines", file("Table Snapshot\nTable Schema = a\0b\nTable\0name = x\0\n"s), nullptr, 1},
      {"SingleLineOf50MiB", file([] { return std::string(kFiftyMiB, 'x'); }), nullptr, 0},
      {"ValueOf50MiB",
       file([] { return "Table Snapshot\nTable Schema = " + std::string(kFiftyMiB, 'v') + "\nTable Schema = b"; }),
       nullptr, 2},
      {"DirectoryAsReport", [](const TempDir& d) { return d.folder(); }, "Is a directory", 0},
      {"PipeAsReport",  // opening a pipe without a writer must not wait for one
       [](const TempDir& d) { return ::mkfifo((d.path() / "p").c_str(), 0600) == 0 ? (d.path() / "p").string() : ""; },
       "not a regular file", 0},
      {"DeviceAsReport", [](const TempDir&) { return "/dev/zero"s; }, "not a regular file", 0},
      {"PathThatDoesNotExist", [](const TempDir& d) { return (d.path() / "gone" / "r.txt").string(); },
       "No such file or directory", 0},
      {"SymbolicLinkLoop",  // unreadable for every user, root included
       [](const TempDir& d) {
         fs::create_symlink("loop", d.path() / "loop");
         return (d.path() / "loop").string();
       },
       "Too many levels of symbolic links", 0},
      {"DeletedWhileLoading", file(bigReport), nullptr, kBigEntries, unlinkOnce},
  };
}

TEST_P(HostileReport, FinishesWithAMessageOrAPlainReport) {
  const ReportCase& rc = GetParam();
  const std::string path = rc.make(dir);
  if (rc.onStatus) obs.onStatus = [&](const std::string&) { rc.onStatus(path); };
  loadFile(path);
  EXPECT_TRUE(rc.message != nullptr || obs.errors.empty());
  if (rc.message != nullptr && *rc.message != '\0') {
    ASSERT_EQ(obs.errors.size(), 1u);
    EXPECT_NE(obs.errors[0].find(rc.message), std::string::npos) << obs.errors[0];
  }
  EXPECT_TRUE(rc.nout < 0 || counters.nout == rc.nout) << counters.nout;
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileReport, testing::ValuesIn(reportCases()),
                         [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

constexpr char kTableReport[] = "Table Snapshot\nTable Schema = s\nTable name = t\n";

TEST_F(Loaded, HostileConfigurationsAreReadSilentlyAndTheLoadGoesOn) {
  struct Case {
    const char* name;
    std::function<void()> make;  // puts TableSnapshot.cfg in place
    int lastIndex;               // after readConfiguration; -2: any
    int nout;                    // rows of the load that follows; -1: any
  };
  const fs::path file = dir.path() / "TableSnapshot.cfg";
  std::string full;
  for (int i = 0; i < 600; ++i) full += "Y;;;;;v" + std::to_string(i) + ";\r\n";
  for (const Case& c : std::vector<Case>{
           {"Missing", [] {}, -1, 1},
           {"Pipe", [&] { ::mkfifo(file.c_str(), 0600); }, -1, 1},
           {"FullTableLeavesNoRoomForTheReport", [&] { dir.write("TableSnapshot.cfg", full); }, 500, 0},
           {"BinaryBytes", [&] { dir.write("TableSnapshot.cfg", randomBytes(16 * 1024, 11)); }, -2, -1}}) {
    SCOPED_TRACE(c.name);
    fs::remove(file);
    c.make();
    Report configured;
    configured.vars.appendName("left over");
    readConfiguration(configured.vars, dir.folder(), "TableSnapshot");
    EXPECT_TRUE(c.lastIndex < -1 || configured.vars.lastIndex() == c.lastIndex);
    for (int i = 0; i <= configured.vars.lastIndex(); ++i)
      EXPECT_EQ(configured.vars[i].name.find_first_of(";\r\n"), std::string::npos);
    obs = {};
    loadText("Table Snapshot\nTable Schema = s\nTable name = t\n");
    EXPECT_TRUE(c.nout < 0 || counters.nout == c.nout);
    if (c.nout == 1) {
      EXPECT_EQ(grid.text(1, report.vars.lookup("Table name")), "t");
    }
    EXPECT_TRUE(std::string_view(c.name) != "Missing" || !fs::exists(file));  // reading creates nothing
  }
}

}  // namespace
}  // namespace tarvolin::core::test
