#include "core/read/config_file.h"

#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "core/load_fixture.h"

namespace tarvolin::core::test {
namespace {

struct SplitCase {
  std::string line;
  std::string sep;
  std::vector<std::string> fields;
  bool fits;
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class SplitFieldsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitFieldsTest, TakesTheTextBeforeEverySeparator) {
  SplitFields f;
  f.nflds = 99;
  EXPECT_EQ(splitConfigLine(GetParam().line, GetParam().sep, f), GetParam().fits);
  std::vector<std::string> got;
  for (int i = 1; i <= f.nflds; ++i) got.push_back(f.flds[static_cast<size_t>(i)]);
  EXPECT_EQ(got, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitFieldsTest,
    ::testing::Values(
        SplitCase{"Y;;;;;Lock Object Name;trailing", ";", {"Y", "", "", "", "", "Lock Object Name"}, true},
        SplitCase{"no separator", ";", {}, true}, SplitCase{";", ";", {""}, true},
        SplitCase{" a ; b ;", ";", {" a ", " b "}, true}, SplitCase{"a<>b<>c<", "<>", {"a", "b"}, true},
        SplitCase{"1;2;3;4;5;6;7;8;9;10;", ";", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, true},
        SplitCase{"1;2;3;4;5;6;7;8;9;10;11;", ";", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, false}));

/// Each record as "name|show|cmark|cfg2|cfg3|cfg4".
std::vector<std::string> records(const VariableTable& vars) {
  std::vector<std::string> out;
  for (int i = 0; i <= vars.lastIndex(); ++i) {
    const Variable& v = vars[i];
    out.push_back(v.name + "|" + (v.show ? "Y" : "N") + "|" + (v.cmark ? "C" : "-") + "|" + v.cfg2 + "|" + v.cfg3 +
                  "|" + v.cfg4);
  }
  return out;
}

struct ReadCfgCase {
  std::string text;
  std::vector<std::string> expected;
};
void PrintTo(const ReadCfgCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ReadCfg : public ::testing::TestWithParam<ReadCfgCase> {};

TEST_P(ReadCfg, FillsTheTableFromTheLinesOfTheFile) {
  TempDir dir;
  dir.write("Kind.cfg", GetParam().text);
  Report report;
  report.vars.appendName("left over");
  readConfiguration(report.vars, dir.folder(), "Kind");
  EXPECT_EQ(records(report.vars), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadCfg,
    ::testing::Values(ReadCfgCase{"\r\n   \r\n\r\n", {}},
                      ReadCfgCase{"N;;;;;Lock Object Name;\r\nn;;;;;Mode;\r\nC;;;;;Count;\r\n",
                                  {"Lock Object Name|N|-|||", "Mode|Y|-|||", "Count|Y|C|||"}},
                      ReadCfgCase{" N ;a; b ;c ;ignored; Mode ;seventh;\r\n", {" Mode |Y|-|a| b |c "}},
                      ReadCfgCase{"Y;;;;;A;\nN;;;;;B;\rY;;;;;C;", {"A|Y|-|||", "B|N|-|||", "C|Y|-|||"}},
                      ReadCfgCase{"\t\r\n", {"|Y|-|||"}},            // a tab is not blank
                      ReadCfgCase{"N;x;y;z;;Full;\r\nY;short;\r\n",  // missing fields are empty
                                  {"Full|N|-|x|y|z", "|Y|-|short||"}},
                      // eleven fields end the reading at that line, ten don't
                      ReadCfgCase{"Y;;;;;A;7;8;9;10;\r\nY;;;;;B;7;8;9;10;11;\r\nY;;;;;C;\r\n", {"A|Y|-|||"}}));

void addRecord(Report& s, const std::string& name, bool show, bool cmark, const std::string& cfg2 = "",
               const std::string& cfg3 = "", const std::string& cfg4 = "") {
  Variable& v = s.vars.edit(s.vars.appendName(name));
  v.show = show;
  v.cmark = cmark;
  v.cfg2 = cfg2;
  v.cfg3 = cfg3;
  v.cfg4 = cfg4;
}

TEST(ConfigFile, WritesSixFieldsPerRecordWithCrLfToTheKindsFile) {
  TempDir dir;
  Report report;
  addRecord(report, "Lock Object Name", true, false);
  addRecord(report, "Mode", false, false, "2", "3", "4");
  addRecord(report, "Application handle", false, true);
  ASSERT_EQ(writecfg(report.vars, dir.folder(), "Database Lock Snapshot"), std::nullopt);
  EXPECT_EQ(dir.read("DatabaseLockSnapshot.cfg"),
            "Y;;;;;Lock Object Name;\r\nN;2;3;4;;Mode;\r\nC;;;;;Application handle;\r\n");
  ASSERT_EQ(writecfg(VariableTable{}, dir.folder(), "Database Lock Snapshot"), std::nullopt);
  EXPECT_EQ(dir.read("DatabaseLockSnapshot.cfg"), "");
  EXPECT_EQ(writecfg(report.vars, dir.folder() + "/gone", "Node Directory"),
            "Unable to write to config file NodeDirectory.cfg\r\nNo such file or directory");
}

TEST(ConfigFile, RoundTripKeepsEveryRecord) {
  TempDir dir;
  Report report;
  for (int i = 0; i < 501; ++i)
    addRecord(report, "Var " + std::to_string(i), i % 3 != 0, i % 5 == 0, i % 2 ? "k" : "", "", "x y");
  ASSERT_EQ(writecfg(report.vars, dir.folder(), "Table Snapshot"), std::nullopt);
  Report back;
  readConfiguration(back.vars, dir.folder(), "TableSnapshot");
  for (int i = 0; i < 501; ++i)
    if (report.vars[i].cmark) report.vars.edit(i).show = true;  // a marked variable always comes back shown
  EXPECT_EQ(records(back.vars), records(report.vars));
}

TEST(ConfigFile, NameStaysInTheFolderWhateverTheHeadingHolds) {
  for (const auto& [kind, name] :
       std::vector<std::pair<std::string, std::string>>{{"Database Lock Snapshot", "DatabaseLockSnapshot.cfg"},
                                                        {"x/../Evil", "x_.._Evil.cfg"},
                                                        {"..\\..\\Evil Kind", ".._.._EvilKind.cfg"},
                                                        {"Tab\tand\x7f\x1b[0m", "Tab_and__[0m.cfg"}})
    EXPECT_EQ(configFileName(kind), name);
  // Loaded and written with such a heading, nothing outside the folder is read or written.
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "x");
  dir.write("Evil.cfg", "N;;;;;A;\r\n");
  SharedState shared;
  LoadState load;
  NullLoadObserver observer;
  FixedTextMeasure measure;
  GridStore grid;
  Report& report = grid.report();
  ReportLoader(shared, report, load, observer, measure, dir.folder())
      .load(dir.write("r.txt", "x/../Evil\nA = 1\n"), grid);
  EXPECT_GT(grid.colWidth(0), 0);
  ASSERT_EQ(writecfg(report.vars, dir.folder(), report.kindHeading), std::nullopt);
  EXPECT_EQ(dir.read("x_.._Evil.cfg"), "Y;;;;;A;\r\n");
  EXPECT_EQ(dir.read("Evil.cfg"), "N;;;;;A;\r\n");
}

TEST(ConfigFile, AFailedWriteLeavesTheOldFileAndNoOther) {
  TempDir dir;
  Report report;
  addRecord(report, std::string(5000, 'v'), true, false);
  dir.write("TableSnapshot.cfg", "N;;;;;old;\r\n");
  // Files may not grow past 1 KiB for a moment, as on a full disk.
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 1024;
  ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::optional<std::string> failure = writecfg(report.vars, dir.folder(), "Table Snapshot");
  ::setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_EQ(failure, "Unable to write to config file TableSnapshot.cfg\r\nFile too large");
  EXPECT_EQ(dir.read("TableSnapshot.cfg"), "N;;;;;old;\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace tarvolin::core::test
