// tarvolin-export end to end: the real executable on the bundled samples.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kSamples = TARVOLIN_SAMPLES_DIR;

std::string sample(const std::string& name) { return kSamples + "/" + name; }

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  out.push_back(cur);
  return out;
}

/// Lines of `s` (each ended by LF; the text after the last LF must be empty).
std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> out = split(s, '\n');
  EXPECT_EQ(out.back(), "") << "output does not end with a line end";
  out.pop_back();
  return out;
}

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class Export : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tarvolin-export-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }

  /// Runs tarvolin-export with `args` in the test's own working directory.
  RunResult run(const std::vector<std::string>& args) {
    const fs::path outPath = m_dir / ".stdout";
    const fs::path errPath = m_dir / ".stderr";
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(m_dir.c_str()) != 0) ::_exit(126);
      const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
      std::vector<char*> argv;
      static std::string exe = TARVOLIN_EXPORT_EXE;
      argv.push_back(exe.data());
      std::vector<std::string> copy = args;
      for (std::string& a : copy) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(exe.c_str(), argv.data());
      ::_exit(127);
    }
    RunResult r;
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readFile(outPath);
    r.err = readFile(errPath);
    return r;
  }

  void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(m_dir / name, std::ios::binary) << bytes;
  }
  [[nodiscard]] std::string path(const std::string& name) const { return (m_dir / name).string(); }

  fs::path m_dir;
};

// ---- every sample loads ------------------------------------------------------------------

struct SampleCase {
  std::string file;
  std::string firstHeader;
  int rows;
  int columns;  // with --all-columns: maxvar + 1
  std::string status;
};

class Samples : public Export, public ::testing::WithParamInterface<SampleCase> {};

TEST_P(Samples, ExportAllColumnsGivesOneLinePerEntryAndExactlyEveryVariable) {
  const SampleCase& c = GetParam();
  const RunResult r = run({"--all-columns", sample(c.file)});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, c.status + "\n");
  const std::vector<std::string> out = lines(r.out);
  ASSERT_EQ(static_cast<int>(out.size()), c.rows + 1);
  const std::vector<std::string> header = split(out[0], '\t');
  EXPECT_EQ(header[0], c.firstHeader);
  EXPECT_EQ(std::set<std::string>(header.begin(), header.end()).size(), header.size()) << "names repeat";
  for (const std::string& line : out) EXPECT_EQ(static_cast<int>(split(line, '\t').size()), c.columns) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Samples,
    ::testing::Values(
        SampleCase{"lock_snapshot.txt", "Application handle", 9, 21, "Finished. Records read: 117 Records outputted 9"},
        SampleCase{"tablespace_snapshot.txt", "Tablespace name", 3, 36,
                   "Finished. Records read: 135 Records outputted 3"},
        SampleCase{"table_snapshot.txt", "Table Schema", 4, 12, "Finished. Records read: 57 Records outputted 4"},
        SampleCase{"database_directory.txt", "Database alias", 3, 11, "Finished. Records read: 42 Records outputted 3"},
        SampleCase{"node_directory.txt", "Node name", 2, 6, "Finished. Records read: 23 Records outputted 2"},
        SampleCase{"node_directory_crlf.txt", "Node name", 2, 6, "Finished. Records read: 23 Records outputted 2"},
        SampleCase{"node_directory_utf16le.txt", "Node name", 2, 6, "Finished. Records read: 23 Records outputted 2"},
        SampleCase{"dynamic_sql_snapshot.txt", "Number of executions", 3, 22,
                   "Finished. Records read: 76 Records outputted 3"},
        SampleCase{"event_log.txt", "Event", 4, 37, "Finished. Records read: 106 Records outputted 4"},
        SampleCase{"application_snapshot.txt", "Application handle", 3, 35,
                   "Finished. Records read: 105 Records outputted 3"}),
    [](const ::testing::TestParamInfo<SampleCase>& info) {
      std::string name = info.param.file.substr(0, info.param.file.find('.'));
      return name;
    });

// ---- output formats -------------------------------------------------------------------

TEST_F(Export, NodeDirectoryAsTabSeparatedText) {
  const RunResult r = run({sample("node_directory.txt")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "Node name\tComment\tDirectory entry type\tProtocol\tHostname\tService name\n"
            "NODEDW1\twarehouse primary\tLOCAL\tTCPIP\tdw-primary.example.net\t50010\n"
            "NODEHQ\t\tLOCAL\tTCPIP\t192.0.2.17\tdb2c_hqinst\n");
}

TEST_F(Export, WindowsLineEndsAndUtf16GiveTheSameGrid) {
  const std::string plain = run({"--all-columns", sample("node_directory.txt")}).out;
  EXPECT_EQ(run({"--all-columns", sample("node_directory_crlf.txt")}).out, plain);
  EXPECT_EQ(run({"--all-columns", sample("node_directory_utf16le.txt")}).out, plain);
}

TEST_F(Export, CsvQuotesOnlyWhatNeedsQuoting) {
  writeFile("q.txt",
            "Node Directory\r\n Node name = A\r\n Comment = say \"hi\", then go\r\n Protocol = TCPIP\r\n"
            " Node name = B\r\n Comment = plain\r\n");
  const RunResult r = run({"--csv", path("q.txt")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "Node name,Comment,Protocol\r\nA,\"say \"\"hi\"\", then go\",TCPIP\r\nB,plain,\r\n");
}

TEST_F(Export, ALargeReportComesOutWholeAndInOrder) {
  // Over a megabyte and thousands of rows: read ahead on a second thread, written by two.
  std::string report = "Table Snapshot\r\n\r\n";
  std::string tab = "Table Schema\tTable Name\tRows Read\n";
  std::string csv = "Table Schema,Table Name,Rows Read\r\n";
  for (int i = 0; i < 12000; ++i) {
    const std::string schema = "S" + std::to_string(i % 7);
    const std::string table = i % 5 == 0 ? "T,\"" + std::to_string(i) + "\"" : "T" + std::to_string(i);
    const std::string rows = i % 3 == 0 ? std::to_string(i * 17) : "";
    report += " Table Schema                       = " + schema + "\r\n Table Name                         = " + table +
              "\r\n" + (rows.empty() ? "" : " Rows Read                          = " + rows + "\r\n") + "\r\n";
    tab += schema + "\t" + table + "\t" + rows + "\n";
    csv += schema + "," + (i % 5 == 0 ? "\"T,\"\"" + std::to_string(i) + "\"\"\"" : table) + "," + rows + "\r\n";
  }
  ASSERT_GT(report.size(), size_t{1} << 20);
  writeFile("big.txt", report);
  const RunResult plain = run({"--all-columns", path("big.txt")});
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_TRUE(plain.out == tab) << plain.out.size() << " bytes against " << tab.size();
  EXPECT_EQ(plain.err,
            "Finished. Records read: " + std::to_string(2 + 12000 * 3 + 4000) + " Records outputted 12000\n");
  const RunResult quoted = run({"--csv", path("big.txt")});
  EXPECT_TRUE(quoted.out == csv) << quoted.out.size() << " bytes against " << csv.size();
}

TEST_F(Export, CsvOfTheDynamicSqlSampleQuotesStatementsWithCommas) {
  const RunResult r = run({"--csv", sample("dynamic_sql_snapshot.txt")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find(",\"SELECT PRICE, CURRENCY FROM SHOP.PRICE_LIST WHERE ITEM_NO = ? AND VALID_TO > CURRENT "
                       "DATE\"\r\n"),
            std::string::npos)
      << r.out;
}

// ---- configuration and filter ---------------------------------------------------------------

TEST_F(Export, ConfigurationInTheWorkingDirectoryOrdersAndHidesColumns) {
  writeFile("NodeDirectory.cfg", "Y;;;;;Hostname;\r\nN;;;;;Comment;\r\nY;;;;;Node name;\r\n");
  const RunResult shown = run({sample("node_directory.txt")});
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_EQ(lines(shown.out)[0], "Hostname\tNode name\tDirectory entry type\tProtocol\tService name");
  const RunResult all = run({"--all-columns", sample("node_directory.txt")});
  EXPECT_EQ(lines(all.out)[0], "Hostname\tComment\tNode name\tDirectory entry type\tProtocol\tService name");
  EXPECT_EQ(lines(all.out)[1], "dw-primary.example.net\twarehouse primary\tNODEDW1\tLOCAL\tTCPIP\t50010");
}

TEST_F(Export, FilterKeepsOnlyEntriesWithThatValue) {
  const RunResult r = run({"--filter", "Table Name=INVOICE", sample("lock_snapshot.txt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "Finished. Records read: 117 Records outputted 3\n");
  const std::vector<std::string> out = lines(r.out);
  ASSERT_EQ(out.size(), 4u);
  const std::vector<std::string> header = split(out[0], '\t');
  const auto col = std::find(header.begin(), header.end(), "Lock Object Name") - header.begin();
  EXPECT_EQ(split(out[1], '\t')[static_cast<size_t>(col)], "27525121");
  EXPECT_EQ(split(out[2], '\t')[static_cast<size_t>(col)], "28");
  EXPECT_EQ(split(out[3], '\t')[static_cast<size_t>(col)], "28");

  const RunResult joined = run({"--filter=Object Type=Internal Plan Lock", sample("lock_snapshot.txt")});
  EXPECT_EQ(joined.exitCode, 0);
  EXPECT_EQ(lines(joined.out).size(), 2u);
}

TEST_F(Export, FilterOnAnUnknownVariableFails) {
  const RunResult r = run({"--filter", "No such name=1", sample("node_directory.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("No such name"), std::string::npos);
  EXPECT_EQ(r.out, "");
}

TEST_F(Export, FilterOnAMissingReportTellsWhyTheLoadFailed) {
  const RunResult r = run({"--filter", "Node name=A", path("absent.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("absent.txt"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("no variable named"), std::string::npos) << r.err;
}

// ---- errors and exit codes ---------------------------------------------------------------------

TEST_F(Export, LoadErrorKeepsTheRowsReadAndExitsWithOne) {
  writeFile("cut.txt", "Application Snapshot\nApplication handle = 1\nApplication handle = 2\nDynamic SQL text:\n");
  const RunResult r = run({path("cut.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "Application handle\n1\n");
  const std::vector<std::string> err = lines(r.err);
  ASSERT_EQ(err.size(), 2u) << r.err;
  EXPECT_EQ(err[0].rfind("tarvolin-export: ", 0), 0u);
  EXPECT_NE(err[0].find("cut.txt"), std::string::npos);
  EXPECT_EQ(err[1], "Finished. Records read: 4 Records outputted 1");
}

TEST_F(Export, MissingReportExitsWithOne) {
  const RunResult r = run({path("absent.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  const std::vector<std::string> err = lines(r.err);
  ASSERT_EQ(err.size(), 2u) << r.err;
  EXPECT_NE(err[0].find("absent.txt"), std::string::npos);
  EXPECT_EQ(err[1], "Finished. Records read: 0 Records outputted 0");
}

class Usage : public Export, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(Usage, MistakesExitWithTwoAndShowTheUsage) {
  const RunResult r = run(GetParam());
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("usage: tarvolin-export"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Arguments, Usage,
                         ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"--csv"},
                                           std::vector<std::string>{"--tab", "x.txt"},
                                           std::vector<std::string>{"a.txt", "b.txt"},
                                           std::vector<std::string>{"--filter", "x.txt"},
                                           std::vector<std::string>{"--filter", "=v", "x.txt"},
                                           std::vector<std::string>{"x.txt", "--filter"}));

TEST_F(Export, DoubleDashEndsTheOptions) {
  writeFile("-odd.txt", "Node Directory\nNode name = N\n");
  const RunResult r = run({"--", "-odd.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Node name\nN\n");
}

}  // namespace
