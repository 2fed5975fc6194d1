// tarvolin-export end to end: the real executable on the bundled samples.
#include <stdlib.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/version.h"

namespace {

namespace fs = std::filesystem;

std::string sample(const std::string& name) { return std::string(TARVOLIN_SAMPLES_DIR) + "/" + name; }

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
  void TearDown() override { fs::remove_all(m_dir); }

  /// Runs `program` (a shell word; tarvolin-export by default) with `args` (no single quotes in them) in
  /// a folder of its own, where .cfg files are read; standard input from the file `input`.
  RunResult run(const std::vector<std::string>& args, const std::string& input = "/dev/null",
                const std::string& program = "'" TARVOLIN_EXPORT_EXE "'") {
    std::string command = "cd '" + m_dir.string() + "' && " + program;
    for (const std::string& a : args) command += " '" + a + "'";
    const int status = std::system((command + " <'" + input + "' >.stdout 2>.stderr").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(m_dir / ".stdout"), readFile(m_dir / ".stderr")};
  }
  std::string write(const std::string& name, const std::string& bytes) {
    std::ofstream(m_dir / name, std::ios::binary) << bytes;
    return (m_dir / name).string();
  }
  fs::path m_dir;
};

TEST_F(Export, EverySampleGivesOneLinePerEntryAndEveryVariable) {
  struct Case {
    std::string file;
    int lines;    // header and rows
    int columns;  // with --all-columns: maxvar + 1
    std::string status;
  };
  for (const Case& c : std::vector<Case>{{"lock_snapshot.txt", 10, 21, "117 Records outputted 9"},
                                         {"table_snapshot.txt", 5, 12, "57 Records outputted 4"},
                                         {"node_directory_utf16le.txt", 3, 6, "23 Records outputted 2"},
                                         {"dynamic_sql_snapshot.txt", 4, 22, "76 Records outputted 3"},
                                         {"event_log.txt", 5, 37, "106 Records outputted 4"},
                                         {"application_snapshot.txt", 4, 35, "105 Records outputted 3"}}) {
    const RunResult r = run({"--all-columns", sample(c.file)});
    EXPECT_EQ(r.exitCode, 0) << c.file;
    EXPECT_EQ(r.err, "Finished. Records read: " + c.status + "\n");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), c.lines) << c.file;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\t'), c.lines * (c.columns - 1)) << c.file;
  }
}

TEST_F(Export, TabAndCsvOfTheShownColumnsAsConfiguredInTheWorkingFolder) {
  EXPECT_EQ(run({sample("node_directory_crlf.txt")}).out,
            "Node name\tComment\tDirectory entry type\tProtocol\tHostname\tService name\n"
            "NODEDW1\twarehouse primary\tLOCAL\tTCPIP\tdw-primary.example.net\t50010\n"
            "NODEHQ\t\tLOCAL\tTCPIP\t192.0.2.17\tdb2c_hqinst\n");
  write("NodeDirectory.cfg", "Y;;;;;Hostname;\r\nN;;;;;Comment;\r\nY;;;;;Node name;\r\n");
  const std::string report =
      write("q.txt", "Node Directory\r\n Node name = A\r\n Comment = hidden\r\n Hostname = say \"hi\", then go\r\n");
  EXPECT_EQ(run({"--csv", report}).out, "Hostname,Node name\r\n\"say \"\"hi\"\", then go\",A\r\n");
  EXPECT_EQ(run({"--all-columns", report}).out, "Hostname\tComment\tNode name\nsay \"hi\", then go\thidden\tA\n");
  // A TAB inside a name or value is escaped in TSV, so every row keeps its fields; a backslash stays.
  const std::string tabs = write("t.txt", "Tablespace Snapshot\n Tablespace name = A\tB\\C\n\tShared = x\n");
  EXPECT_EQ(run({tabs}).out, "Tablespace name\t\\tShared\nA\\tB\\C\tx\n");
  EXPECT_EQ(run({"--csv", tabs}).out, "Tablespace name,\tShared\r\nA\tB\\C,x\r\n");
}

TEST_F(Export, ALargeReportComesOutWholeAndInOrder) {
  // Megabytes and more than 32,768 rows: read ahead on a second thread.
  std::string report = "Table Snapshot\r\n\r\n";
  std::string tab = "Table Schema\tTable Name\tRows Read\n";
  for (int i = 0; i < 40000; ++i) {
    const std::string rows = i % 3 == 0 ? std::to_string(i * 17) : "";
    report += " Table Schema                       = S" + std::to_string(i % 7) +
              "\r\n Table Name                         = T" + std::to_string(i) + "\r\n" +
              (rows.empty() ? "" : " Rows Read                          = " + rows + "\r\n") + "\r\n";
    tab += "S" + std::to_string(i % 7) + "\tT" + std::to_string(i) + "\t" + rows + "\n";
  }
  const RunResult r = run({"--all-columns", write("big.txt", report)});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out == tab) << r.out.size() << " bytes against " << tab.size();
}

TEST_F(Export, FilterKeepsOnlyEntriesWithThatValue) {
  const RunResult r = run({"--filter", "Table Name=INVOICE", sample("lock_snapshot.txt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "Finished. Records read: 117 Records outputted 3\n");
  EXPECT_EQ(run({"--filter=Object Type=Internal Plan Lock", sample("lock_snapshot.txt")}).err,
            "Finished. Records read: 117 Records outputted 1\n");
  const RunResult unknown = run({"--filter", "No such name=1", sample("node_directory.txt")});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("no variable named \"No such name\""), std::string::npos);
  const RunResult missing = run({"--filter", "Node name=A", (m_dir / "absent.txt").string()});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("absent.txt: No such file"), std::string::npos) << missing.err;
}

TEST_F(Export, MistakesInTheArgumentsExitWithTwoAndShowTheUsage) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"--tab", "x.txt"},
                                             {"a.txt", "b.txt"},
                                             {"--filter", "x.txt"},
                                             {"--filter", "=v", "x.txt"},
                                             {"--lock-waits", "--deadlocks", "x.txt"},
                                             {"--compare", "--lock-waits", "x.txt"},
                                             {"--deadlocks", "--filter", "a=b", "x.txt"},
                                             {"--lock-waits", "--all-columns", "x.txt"},
                                             {"--lock-waits", "a.txt", "b.txt"}}) {
    const RunResult r = run(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: tarvolin-export"), std::string::npos) << r.err;
  }
}

TEST_F(Export, LockWaitsAndDeadlocksOfTheirOwnKindOfReportOnly) {
  const struct Case {
    std::vector<std::string> args;
    int exitCode, lines;
    std::string firstRow, errHas;  // the row after the header; what standard error says
  } cases[] = {
      {{"--lock-waits", sample("lock_waits.txt")},
       0,
       23,
       "0\t100\tinvoice_batch\tUOW Executing\t\t\t\t\tNot Collected\t2\t5\t",
       "Applications waiting: 17"},
      {{"--lock-waits", sample("table_snapshot.txt")}, 1, 0, "", "needs a lock snapshot, not \"Table Snapshot\""},
      {{"--lock-waits", sample("absent.txt")}, 1, 0, "", "No such file"},
      {{"--deadlocks", "--csv", sample("deadlock_events.txt")},
       0,
       6,
       ",1,11/27/2026 16:42:22.590031,2,2,1,10.20.31.44.51882.261127154011,invoice_batch,BATCHUSR,2,X,"
       "SHOP.PRICE_LIST,"
       "UPDATE SHOP.PRICE_LIST SET PRICE = PRICE * 1.02 WHERE GROUP_ID = ?\r",
       "Deadlocks: 2"},
      {{"--deadlocks", sample("lock_waits.txt")}, 1, 0, "", "not an event monitor log"},
      {{"--deadlocks", sample("absent.txt")}, 1, 0, "", "No such file"},
  };
  for (const Case& c : cases) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[1];
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), c.lines) << c.args[1];
    if (c.lines > 1) {
      EXPECT_EQ(r.out.substr(r.out.find('\n') + 1, c.firstRow.size() + 1), c.firstRow + "\n");
    }
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
  }
  const RunResult none = run({"--lock-waits", write("w.txt", "Database Lock Snapshot\nApplication handle = 7\n")});
  EXPECT_EQ(none.err.substr(0, 37), "No application is waiting for a lock\n");
  EXPECT_EQ(std::count(none.out.begin(), none.out.end(), '\n'), 1);
}

}  // namespace

TEST_F(Export, CommandLinesOfBothPrograms) {
  const std::string version = std::to_string(tarvolin::kVersionMajor) + "." + std::to_string(tarvolin::kVersionMinor) +
                              "." + std::to_string(tarvolin::kVersionPatch);
  struct Case {
    std::string program;
    std::vector<std::string> args;
    int exitCode;
    std::string out;  // what standard output begins with
    std::string err;  // what standard error holds
  };
  std::vector<Case> cases = {{TARVOLIN_EXPORT_EXE, {"--help"}, 0, "usage: tarvolin-export", ""},
                             {TARVOLIN_EXPORT_EXE, {"-v"}, 0, "tarvolin-export " + version + "\n", ""},
                             {TARVOLIN_EXPORT_EXE, {"--bogus", "x.txt"}, 2, "", "unknown option --bogus"}};
#ifdef TARVOLIN_VIEWER_EXE
  // Answered before any window opens: no display is needed.
  for (Case c : std::vector<Case>{{"", {"--help"}, 0, "Usage: ", ""},
                                  {"", {"--version"}, 0, "tarvolin " + version + "\n", ""},
                                  {"", {"-style", "fusion", "-reverse", "-v"}, 0, "tarvolin " + version, ""},
                                  {"", {"--bogus"}, 2, "", "Unknown option 'bogus'"},
                                  {"", {"a.txt", "b.txt"}, 2, "", "Only one REPORT"}}) {
    c.program = TARVOLIN_VIEWER_EXE;
    cases.push_back(c);
  }
#endif
  for (const Case& c : cases) {
    const bool viewer = c.program != TARVOLIN_EXPORT_EXE;
    const RunResult r =
        run(c.args, "/dev/null",
            (viewer ? "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '" : "'") + c.program + "'");
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0];
    EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << c.args[0];
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
}

TEST_F(Export, StandardInputAndGzipReadLikeThePlainFile) {
  const std::string plain = sample("lock_snapshot.txt");
  const RunResult expected = run({plain});
  const std::string packed = (m_dir / "lock.txt.gz").string();
  ASSERT_EQ(std::system(("gzip -c '" + plain + "' >'" + packed + "'").c_str()), 0);
  for (const RunResult& r : {run({"-"}, plain), run({packed}), run({"--filter", "Mode=IX", "-"}, plain)}) {
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err,
              r.out.size() < expected.out.size() ? "Finished. Records read: 117 Records outputted 3\n" : expected.err);
  }
  EXPECT_EQ(run({packed}).out, expected.out);
  EXPECT_EQ(run({"--filter", "Mode=IX", "-"}, plain).out, run({"--filter", "Mode=IX", plain}).out);

  // Cut short: the entries before the cut are written, the reason is given, and the exit code is 1.
  std::string tables = "Table Snapshot\n";
  for (int i = 0; i < 5000; ++i) tables += " Table Schema = S\n Table Name = T" + std::to_string(i * 7919) + "\n";
  const std::string whole = run({write("t.txt", tables)}).out;
  ASSERT_EQ(std::system(("cd '" + m_dir.string() + "' && gzip t.txt").c_str()), 0);
  const std::string bytes = readFile(m_dir / "t.txt.gz");
  const RunResult cut = run({write("cut.txt.gz", bytes.substr(0, bytes.size() / 2))});
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_NE(cut.err.find("cut.txt.gz: unexpected end of file (not a whole gzip file)"), std::string::npos) << cut.err;
  EXPECT_GT(std::count(cut.out.begin(), cut.out.end(), '\n'), 1000);
  EXPECT_EQ(whole.substr(0, cut.out.size()), cut.out);
}
