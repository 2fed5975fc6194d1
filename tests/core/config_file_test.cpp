#include "core/config_file.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "load_fixture.h"

namespace tarvolin::core::loadtest {
namespace {

using ::testing::ElementsAre;
namespace fs = std::filesystem;

// ---- split_fields ---------------------------------------------------------------------

struct SplitCase {
  std::string line;
  std::vector<std::string> fields;
  bool fits;
};

// A case prints as its line (and the struct's padding is never read).
void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class SplitFieldsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitFieldsTest, TakesTheTextBeforeEverySeparator) {
  SplitFields f;
  f.nflds = 99;
  EXPECT_EQ(split_fields(GetParam().line, ";", f), GetParam().fits);
  std::vector<std::string> got;
  for (int i = 1; i <= f.nflds; ++i) got.push_back(f.flds[static_cast<size_t>(i)]);
  EXPECT_EQ(got, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitFieldsTest,
    ::testing::Values(
        SplitCase{"Y;;;;;Lock Object Name;", {"Y", "", "", "", "", "Lock Object Name"}, true},
        SplitCase{"Y;;;;;Lock Object Name;trailing text", {"Y", "", "", "", "", "Lock Object Name"}, true},
        SplitCase{"no separator", {}, true}, SplitCase{"", {}, true}, SplitCase{";", {""}, true},
        SplitCase{" a ; b ;", {" a ", " b "}, true},
        SplitCase{"1;2;3;4;5;6;7;8;9;10;", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, true},
        SplitCase{"1;2;3;4;5;6;7;8;9;10;11;", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, false}));

TEST(SplitFieldsTest, SeparatorOfSeveralCharactersComparesExactly) {
  SplitFields f;
  split_fields("a<>b<>c<", "<>", f);
  EXPECT_EQ(f.nflds, 2);
  EXPECT_EQ(f.flds[1], "a");
  EXPECT_EQ(f.flds[2], "b");
}

TEST(ConfigFileName, RemovesBlanksOnly) {
  EXPECT_EQ(configFileName("Database Lock Snapshot"), "DatabaseLockSnapshot.cfg");
  EXPECT_EQ(configFileName(" Node\tDirectory "), "Node\tDirectory.cfg");
  EXPECT_EQ(configFileName(""), ".cfg");
}

// ---- readcfg ----------------------------------------------------------------------------

struct Record {
  std::string name;
  bool show;
  bool cmark;
  std::string cfg2, cfg3, cfg4;
  bool operator==(const Record&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Record& r) {
  return os << "{\"" << r.name << "\" show=" << r.show << " cmark=" << r.cmark << " \"" << r.cfg2 << "\" \"" << r.cfg3
            << "\" \"" << r.cfg4 << "\"}";
}

std::vector<Record> records(const VariableTable& vars) {
  std::vector<Record> out;
  for (int i = 0; i <= vars.maxvar(); ++i)
    out.push_back({vars[i].name, vars[i].show, vars[i].cmark, vars[i].cfg2, vars[i].cfg3, vars[i].cfg4});
  return out;
}

struct ReadCfgCase {
  std::string text;
  std::vector<Record> expected;
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
void PrintTo(const ReadCfgCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ReadCfg : public ::testing::TestWithParam<ReadCfgCase> {
 protected:
  TempDir dir;
  ScopedCwd cwd{dir.path()};
};

TEST_P(ReadCfg, FillsTheTableFromTheLinesOfTheFile) {
  dir.write("Kind.cfg", GetParam().text);
  SharedState shared;
  shared.vars.appendName("left over");
  readcfg(shared, "Kind");
  EXPECT_EQ(records(shared.vars), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadCfg,
    ::testing::Values(
        ReadCfgCase{"", {}}, ReadCfgCase{"\r\n   \r\n\r\n", {}},
        ReadCfgCase{"Y;;;;;Lock Object Name;\r\n", {{"Lock Object Name", true, false, "", "", ""}}},
        ReadCfgCase{"N;;;;;Lock Object Name;\r\n", {{"Lock Object Name", false, false, "", "", ""}}},
        ReadCfgCase{"n;;;;;Lock Object Name;\r\n", {{"Lock Object Name", true, false, "", "", ""}}},
        ReadCfgCase{";;;;;Lock Object Name;\r\n", {{"Lock Object Name", true, false, "", "", ""}}},
        ReadCfgCase{"C;;;;;Lock Object Name;\r\n", {{"Lock Object Name", true, true, "", "", ""}}},
        ReadCfgCase{" N ;a; b ;c ;ignored; Mode ;seventh;\r\n", {{" Mode ", true, false, "a", " b ", "c "}}},
        ReadCfgCase{"Y;;;;;Name;with;semicolon;\r\n", {{"Name", true, false, "", "", ""}}},
        ReadCfgCase{"Y;;;;;A;\nN;;;;;B;\rY;;;;;C;",
                    {{"A", true, false, "", "", ""}, {"B", false, false, "", "", ""}, {"C", true, false, "", "", ""}}},
        ReadCfgCase{"\t\r\n", {{"", true, false, "", "", ""}}},  // a tab is not blank
        // short lines: missing fields are empty
        ReadCfgCase{
            "N;x;y;z;;Full;\r\nY;short;\r\nno separator\r\n",
            {{"Full", false, false, "x", "y", "z"}, {"", true, false, "short", "", ""}, {"", true, false, "", "", ""}}},
        // eleven fields end the reading at that line
        ReadCfgCase{"Y;;;;;A;\r\nY;;;;;B;7;8;9;10;11;\r\nY;;;;;C;\r\n", {{"A", true, false, "", "", ""}}},
        ReadCfgCase{"Y;;;;;A;7;8;9;10;\r\n", {{"A", true, false, "", "", ""}}}),
    [](const ::testing::TestParamInfo<ReadCfgCase>& info) { return "case" + std::to_string(info.index); });

class ConfigFile : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedCwd cwd{dir.path()};
  SharedState shared;
};

TEST_F(ConfigFile, MissingOrUnreadableFileEmptiesTheTableAndCreatesNothing) {
  shared.vars.appendName("left over");
  readcfg(shared, "Missing");
  EXPECT_EQ(shared.vars.maxvar(), -1);
  EXPECT_FALSE(fs::exists(dir.path() / "Missing.cfg"));

  fs::create_directory(dir.path() / "Folder.cfg");
  shared.vars.appendName("left over");
  readcfg(shared, "Folder");
  EXPECT_EQ(shared.vars.maxvar(), -1);
}

TEST_F(ConfigFile, ReadsAtMost501Records) {
  std::string text;
  for (int i = 0; i < 502; ++i) text += "Y;;;;;V" + std::to_string(i) + ";\r\n";
  dir.write("Big.cfg", text);
  readcfg(shared, "Big");
  EXPECT_EQ(shared.vars.maxvar(), 500);
  EXPECT_EQ(shared.vars[500].name, "V500");
}

TEST_F(ConfigFile, ReaderKeepsSeqnoAndClearsWidth) {
  shared.vars.appendName("a");
  shared.vars.edit(0).seqno = 42;
  shared.vars.setWidth(0, 999);
  dir.write("K.cfg", "Y;;;;;b;\r\n");
  readcfg(shared, "K");
  EXPECT_EQ(shared.vars[0].seqno, 42);
  EXPECT_EQ(shared.vars[0].width, 0);
  EXPECT_EQ(shared.vars.lookup("b"), 0);
  EXPECT_EQ(shared.vars.lookup("a"), -1);
}

TEST_F(ConfigFile, NameListedTwiceIsFoundAtItsFirstPlace) {
  dir.write("K.cfg", "Y;;;;;x;\r\nN;;;;;y;\r\nN;;;;;x;\r\n");
  readcfg(shared, "K");
  EXPECT_EQ(shared.vars.lookup("x"), 0);
  EXPECT_EQ(shared.vars.lookup("y"), 1);
}

// ---- writecfg -----------------------------------------------------------------------------

void addRecord(SharedState& s, const std::string& name, bool show, bool cmark, const std::string& cfg2 = "",
               const std::string& cfg3 = "", const std::string& cfg4 = "") {
  const int i = s.vars.appendName(name);
  perfvar& v = s.vars.edit(i);
  v.show = show;
  v.cmark = cmark;
  v.cfg2 = cfg2;
  v.cfg3 = cfg3;
  v.cfg4 = cfg4;
}

TEST_F(ConfigFile, WritesSixFieldsPerRecordWithCrLf) {
  shared.snaptype = "Database Lock Snapshot";
  addRecord(shared, "Lock Object Name", true, false);
  addRecord(shared, "Mode", false, false, "2", "3", "4");
  addRecord(shared, "Application handle", false, true);
  addRecord(shared, " Caf\xC3\xA9", true, true);
  ASSERT_EQ(writecfg(shared), std::nullopt);
  EXPECT_EQ(dir.read("DatabaseLockSnapshot.cfg"),
            "Y;;;;;Lock Object Name;\r\nN;2;3;4;;Mode;\r\nC;;;;;Application handle;\r\nC;;;;; Caf\xC3\xA9;\r\n");
}

TEST_F(ConfigFile, EmptyTableWritesAnEmptyFileOverTheOldOne) {
  shared.snaptype = "Node Directory";
  dir.write("NodeDirectory.cfg", "Y;;;;;old;\r\n");
  ASSERT_EQ(writecfg(shared), std::nullopt);
  EXPECT_TRUE(fs::exists(dir.path() / "NodeDirectory.cfg"));
  EXPECT_EQ(dir.read("NodeDirectory.cfg"), "");
}

TEST_F(ConfigFile, RoundTripKeepsEveryRecord) {
  shared.snaptype = "Table Snapshot";
  for (int i = 0; i < 501; ++i)
    addRecord(shared, "Var " + std::to_string(i), i % 3 != 0, i % 5 == 0, i % 2 ? "k" : "", "", "x y");
  const std::vector<Record> before = records(shared.vars);
  ASSERT_EQ(writecfg(shared), std::nullopt);

  SharedState back;
  readcfg(back, "TableSnapshot");
  std::vector<Record> expected = before;
  for (Record& r : expected)
    if (r.cmark) r.show = true;  // a marked variable always comes back shown
  EXPECT_EQ(records(back.vars), expected);

  // ...and writing what was read gives the same bytes.
  const std::string first = dir.read("TableSnapshot.cfg");
  back.snaptype = "TableSnapshot";
  ASSERT_EQ(writecfg(back), std::nullopt);
  EXPECT_EQ(dir.read("TableSnapshot.cfg"), first);
}

TEST_F(ConfigFile, FileThatIsAFolderCannotBeWritten) {
  shared.snaptype = "Node Directory";
  addRecord(shared, "Node name", true, false);
  fs::create_directory(dir.path() / "NodeDirectory.cfg");
  const auto error = writecfg(shared);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(*error, std::string("Unable to write to config file NodeDirectory.cfg\r\n") + std::strerror(EISDIR));
}

TEST_F(ConfigFile, MissingFolderInTheNameCannotBeWritten) {
  shared.snaptype = "no/such/folder";
  const auto error = writecfg(shared);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(*error, std::string("Unable to write to config file no/such/folder.cfg\r\n") + std::strerror(ENOENT));
}

TEST_F(ConfigFile, FullDiskStopsTheWriting) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  shared.snaptype = "Node Directory";
  addRecord(shared, "Node name", true, false);
  fs::create_symlink("/dev/full", dir.path() / "NodeDirectory.cfg");
  const auto error = writecfg(shared);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(*error, std::string("Unable to write to config file NodeDirectory.cfg\r\n") + std::strerror(ENOSPC));
}

}  // namespace
}  // namespace tarvolin::core::loadtest
