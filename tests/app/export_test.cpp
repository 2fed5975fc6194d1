// tarvolin-export end to end: the real executable on the bundled samples.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

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
  /// a folder of its own, where .cfg files are read; standard input from the file `input`,
  /// standard output to the file `output`.
  RunResult run(const std::vector<std::string>& args, const std::string& input = "/dev/null",
                const std::string& program = "'" TARVOLIN_EXPORT_EXE "'", const std::string& output = ".stdout") {
    std::string command = "cd '" + m_dir.string() + "' && " + program;
    for (const std::string& a : args) command += " '" + a + "'";
    const int status = std::system((command + " <'" + input + "' >'" + output + "' 2>.stderr").c_str());
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
    int columns;  // with --all-columns: lastIndex + 1
    std::string status;
  };
  for (const Case& c : std::vector<Case>{{"lock_snapshot.txt", 10, 21, "117 Records outputted 9"},
                                         {"table_snapshot.txt", 5, 12, "57 Records outputted 4"},
                                         {"node_directory_utf16le.txt", 3, 6, "23 Records outputted 2"},
                                         {"dynamic_sql_snapshot.txt", 4, 22, "76 Records outputted 3"},
                                         {"event_log.txt", 5, 55, "106 Records outputted 4"},
                                         {"application_snapshot.txt", 4, 35, "105 Records outputted 3"}}) {
    const RunResult r = run({"--all-columns", sample(c.file)});
    EXPECT_EQ(r.exitCode, 0) << c.file;
    EXPECT_EQ(r.err, "Finished. Records read: " + c.status + "\n");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), c.lines) << c.file;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\t'), c.lines * (c.columns - 1)) << c.file;
  }
}

TEST_F(Export, EveryMemoryPoolOfAnApplicationAndEveryLineOfItsStatement) {
  const RunResult r =
      run({write("appl.txt",
                 "\n            Application Snapshot\n\nApplication handle                         = 590\n"
                 "Dynamic SQL statement text:\nSELECT NAME\n  FROM SHOP.ITEM\n WHERE ID = ?\n\n"
                 "Memory usage for application:\n\n"
                 "  Memory Pool Type                         = Application Heap\n"
                 "     Current size (bytes)                  = 65536\n\n"
                 "Agent process/thread ID                    = 512\n  Memory usage for agent:\n\n"
                 "    Memory Pool Type                       = Other Memory\n"
                 "       Current size (bytes)                = 196608\n")});
  EXPECT_EQ(
      r.out,
      "Application handle\tDynamic SQL statement text:\tMemory Pool Type\tCurrent size (bytes)\t"
      "Agent process/thread ID\tMemory Pool Type #2\tCurrent size (bytes) #2\n"
      "590\tSELECT NAME\\n  FROM SHOP.ITEM\\n WHERE ID = ?\tApplication Heap\t65536\t512\tOther Memory\t196608\n");
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
  // Options in any order; filters on different names all hold, on one name any value does.
  for (const auto& [args, status] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{sample("lock_snapshot.txt"), "--filter=Object Type=Internal Plan Lock"}, "1"},
           {{"--filter", "Table Name=INVOICE", "--filter=Table Name=PRICE_LIST", sample("lock_snapshot.txt")}, "4"},
           {{"--filter", "Table Name=INVOICE", sample("lock_snapshot.txt"), "--filter=Mode=X"}, "1"}})
    EXPECT_EQ(run(args).err, "Finished. Records read: 117 Records outputted " + status + "\n") << args[1];
  const RunResult unknown = run({"--filter", "No such name=1", sample("node_directory.txt")});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("no variable named \"No such name\""), std::string::npos);
  const RunResult missing = run({"--filter", "Node name=A", (m_dir / "absent.txt").string()});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("absent.txt: No such file"), std::string::npos) << missing.err;
}

TEST_F(Export, HideConstantLeavesOutColumnsEqualInEveryRowWrittenAfterTheFilter) {
  write("NodeDirectory.cfg", "Y;;;;;Node name;\r\nN;;;;;Comment;\r\nY;;;;;Protocol;\r\nY;;;;;Hostname;\r\n");
  const std::string report = write("n.txt",
                                   "Node Directory\n Node name = A\n Comment = c\n Protocol = TCPIP\n Hostname = h1\n"
                                   "\n Node name = B\n Comment = c\n Protocol = TCPIP\n Hostname = h2\n"
                                   "\n Node name = C\n Comment = d\n Protocol = TCPIP\n Hostname = h2\n");
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  for (const Case& c : std::vector<Case>{
           {{"--hide-constant", report}, "Node name\tHostname\nA\th1\nB\th2\nC\th2\n"},
           {{"--hide-constant", "--all-columns", report},
            "Node name\tComment\tHostname\nA\tc\th1\nB\tc\th2\nC\td\th2\n"},
           // The filter first: of B and C only Node name and Comment differ.
           {{"--hide-constant", "--all-columns", "--filter", "Hostname=h2", report},
            "Node name\tComment\nB\tc\nC\td\n"},
           // One row written: nothing is constant.
           {{"--hide-constant", "--filter", "Node name=A", report}, "Node name\tProtocol\tHostname\nA\tTCPIP\th1\n"}}) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, c.out) << c.args.size();
  }
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
                                             {"--lock-waits", "a.txt", "b.txt"},
                                             {"--compare", "--hide-constant", "a.txt", "b.txt"},
                                             {"--statements", "--derived", "x.txt"},
                                             {"--statements", "--deadlocks", "x.txt"},
                                             {"--derived", "--lock-waits", "x.txt"},
                                             {"--interval", "1", "--interval=2", "--compare", "a.txt"},
                                             {"x.txt", "--interval=1"},
                                             {"--compare", "--date-order", "DM", "x.txt"},
                                             {"--series", "--compare", "a.txt", "b.txt"},
                                             {"--series", "--filter", "a=b", "x.txt"},
                                             {"--kind", "", "x.txt"},
                                             {"--transpose", "x.txt"},
                                             {"--sqlite", "-", "x.txt"},
                                             {"--sqlite", "d.db", "--kind", "1", "x.txt"},
                                             {"--sqlite", "d.db", "--series", "x.txt"},
                                             {"--sqlite", "d.db"},
                                             {"--from", "16:07", "x.txt"},
                                             {"--deadlocks", "--to", "#2", "x.txt"},
                                             {"--series", "--from", "noon", "x.txt"},
                                             {"--lock-waits", "--date-order", "DMY", "x.txt"},
                                             {"--blockers", "x.txt"},
                                             {"--summary", "--kind", "1", "x.txt"},
                                             {"--tsv", "x.txt"}}) {
    const RunResult r = run(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: tarvolin-export"), std::string::npos) << r.err;
  }
}

TEST_F(Export, LockWaitsAndDeadlocksOfTheirOwnKindOfReportOnly) {
  const std::string firstDeadlock =
      ",1,11/27/2026 16:42:22.590031,2,2,1,10.20.31.44.51882.261127154011,invoice_batch,BATCHUSR,2,X,"
      "SHOP.PRICE_LIST,UPDATE SHOP.PRICE_LIST SET PRICE = PRICE * 1.02 WHERE GROUP_ID = ?\r";
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
      {{"--deadlocks", "--csv", sample("deadlock_events.txt")}, 0, 6, firstDeadlock, "Deadlocks: 2"},
      // A comma alone makes a CSV field quoted.
      {{"--deadlocks", "--csv",
        write("comma.txt",
              [] {
                std::string log = readFile(sample("deadlock_events.txt"));
                return log.replace(log.find(" WHERE GROUP_ID"), 0, ", CHANGED = ?");
              }())},
       0,
       6,
       ",1,11/27/2026 16:42:22.590031,2,2,1,10.20.31.44.51882.261127154011,invoice_batch,BATCHUSR,2,X,"
       "SHOP.PRICE_LIST,\"UPDATE SHOP.PRICE_LIST SET PRICE = PRICE * 1.02, CHANGED = ? WHERE GROUP_ID = ?\"\r",
       "Deadlocks: 2"},
      // Two logs appended to one file: four deadlocks, though their IDs are 1 and 2 twice.
      {{"--deadlocks", "--csv",
        write("twice.txt", readFile(sample("deadlock_events.txt")) + "\n" + readFile(sample("deadlock_events.txt")))},
       0,
       11,
       firstDeadlock,
       "Deadlocks: 4"},
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

TEST_F(Export, DerivedColumnsFollowTheShownOrAllColumnsAndTheWorkingFolderMayReplaceThem) {
  const std::string report = write("sql.txt",
                                   " Dynamic SQL Snapshot Result\n\n Number of executions = 4\n Rows read = 10\n"
                                   " Total execution time (sec.microsec)= 1.000002\n\n"
                                   " Number of executions = 0\n Rows read = Not Collected\n"
                                   " Total execution time (sec.microsec)= 0.5\n");
  write("DynamicSQLSnapshotResult.cfg", "Y;;;;;Number of executions;\r\nN;;;;;Rows read;\r\n");
  write("derived_columns.txt", "Dynamic SQL Snapshot Result | Rows read per execution = [Rows read] * 2\n");
  const std::string heads = "Average execution time (s)\tRows read per execution\tAverage CPU time (s)\n";
  RunResult r = run({"--derived", report});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Number of executions\tTotal execution time (sec.microsec)\t" + heads +
                       "4\t1.000002\t0.250001\t20\t\n0\t0.5\t\t\t\n");
  r = run({"--derived", "--all-columns", "--csv", report});
  EXPECT_EQ(r.out.substr(0, r.out.find('\r')),
            "Number of executions,Rows read,Total execution time (sec.microsec),Average execution time (s),"
            "Rows read per execution,Average CPU time (s)");

  write("derived_columns.txt", "# mine\nDynamic SQL Snapshot Result | Per row = [Rows read] /\n");
  r = run({"--derived", report});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "tarvolin-export: ./derived_columns.txt:2: formula ends early at column 54\n");
}

TEST_F(Export, PlacesAConfigurationKeepsForDerivedColumnsChangeNoOutput) {
  // Customise saves the derived columns shown in the viewer in the kind's configuration.
  const std::string own = "Y;;;;;Number of executions;\r\nY;;;;;Statement text;\r\n";
  const std::string kept =
      "Y;;;;;Number of executions;\r\nY;;;;;Average execution time (s);\r\n"
      "Y;;;;;Statement text;\r\nN;;;;;Rows read per execution;\r\n";
  const std::string earlier = sample("compare/dynamic_sql_earlier.txt");
  const std::string later = sample("compare/dynamic_sql_later.txt");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {later},
           {"--all-columns", later},
           {"--derived", later},
           {"--derived", "--hide-constant", later},
           {"--compare", earlier, later},
           {"--compare", "--derived", earlier, later},
           {"--series", "--derived", earlier, later},
       }) {
    write("DynamicSQLSnapshotResult.cfg", own);
    const RunResult expected = run(args);
    write("DynamicSQLSnapshotResult.cfg", kept);
    const RunResult r = run(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected.out) << args.front();
    EXPECT_EQ(r.err, expected.err) << args.front();
  }
}

TEST_F(Export, DerivedColumnsAreLeftOutWhereTheyWouldHideOrRepeatAVariable) {
  write("derived_columns.txt",
        "Dynamic SQL Snapshot Result | Rows read = [Rows read] * 2\n"
        "Dynamic SQL Snapshot Result | Deleted twice = [Internal rows deleted] * 2\n");
  const RunResult r = run({"--derived", "--all-columns", "--hide-constant", sample("dynamic_sql_snapshot.txt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string header = r.out.substr(0, r.out.find('\n')) + '\t';
  EXPECT_EQ(header.find("\tRows read\t"), header.rfind("\tRows read\t"));  // the report's own, once
  EXPECT_NE(r.err.find("derived column \"Rows read\" left out: the report has a variable of that name"),
            std::string::npos);
  // No row deleted: the constant derived column goes with its constant variable.
  EXPECT_EQ(header.find("eleted"), std::string::npos) << header;
  EXPECT_NE(header.find("Average execution time (s)"), std::string::npos);
  // Statements by shape leave it out too.
  const RunResult shapes = run({"--statements", sample("dynamic_sql_snapshot.txt")});
  const std::string shapeHeader = shapes.out.substr(0, shapes.out.find('\n')) + '\t';
  EXPECT_EQ(shapeHeader.find("\tRows read\t"), shapeHeader.rfind("\tRows read\t"));
  EXPECT_NE(shapes.err.find("derived column \"Rows read\" left out"), std::string::npos);
  // A report without entries: nothing, as without --derived.
  EXPECT_EQ(run({"--derived", write("none.txt", " Dynamic SQL Snapshot Result\n")}).out, "");
}

TEST_F(Export, StatementsByShapeOfADynamicSqlReportOnly) {
  const std::string report = write("sql.txt",
                                   " Dynamic SQL Snapshot Result\n\n"
                                   " Number of executions = 2\n Total execution time (sec.microsec)= 0.5\n"
                                   " Statement text = SELECT * FROM T WHERE ID IN (1, 2)\n\n"
                                   " Number of executions = 1\n Total execution time (sec.microsec)= 3\n"
                                   " Statement text = DELETE FROM T WHERE ID = 7\n\n"
                                   " Number of executions = 3\n Total execution time (sec.microsec)= 4.25\n"
                                   " Statement text = SELECT *  FROM T WHERE ID IN ('a', -5)\n");
  RunResult r = run({"--statements", report});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("\tAverage CPU")),
            "Statement shape\tStatements\tNumber of executions\tTotal execution time (sec.microsec)\t"
            "Average execution time (s)\tRows read per execution");
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1),
            "SELECT * FROM T WHERE ID IN (?+)\t2\t5\t4.75\t0.95\t\t\n"
            "DELETE FROM T WHERE ID = ?\t1\t1\t3\t3\t\t\n");
  EXPECT_NE(r.err.find("Statement shapes: 2"), std::string::npos);
  EXPECT_EQ(r.err.find("last snapshot"), std::string::npos);  // one snapshot: nothing to say

  // A capture loop: the counters are totals, so only the last snapshot is grouped (the sums
  // of both would put the SELECT first).
  const auto statement = [](const char* execs, const char* time, const char* text) {
    return std::string(" Number of executions = ") + execs + "\n Total execution time (sec.microsec)= " + time +
           "\n Statement text = " + text + "\n\n";
  };
  const std::string loop =
      write("loop.txt", " Dynamic SQL Snapshot Result\n\n" + statement("10", "10", "SELECT A FROM T WHERE K = 1") +
                            statement("5", "1", "DELETE FROM T WHERE K = 'b'") + " Dynamic SQL Snapshot Result\n\n" +
                            statement("11", "12.5", "SELECT A FROM T WHERE K = 1") +
                            statement("50", "20", "DELETE FROM T WHERE K = 'b'"));
  r = run({"--statements", loop});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1),
            "DELETE FROM T WHERE K = ?\t1\t50\t20\t0.4\t\t\nSELECT A FROM T WHERE K = ?\t1\t11\t12.5\t1.136364\t\t\n");
  EXPECT_NE(r.err.find("Statements of the last snapshot (2 of 2)\n"), std::string::npos) << r.err;

  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string errHas;
  } cases[] = {
      {{"--statements", sample("table_snapshot.txt")}, 1, "needs a Dynamic SQL snapshot, not \"Table Snapshot\""},
      // A capture of every kind: its Dynamic SQL snapshots, unless --kind names another.
      {{"--statements", sample("capture_loop.txt")}, 0, "Statements of the last snapshot (3 of 3, 17:07:00)"},
      {{"--statements", "--kind", "1", sample("capture_loop.txt")}, 1, "not \"Database Snapshot\""},
      {{"--statements", "--kind", "Nope", sample("capture_loop.txt")}, 2, "its kinds are:"},
  };
  for (const auto& c : cases) {
    r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back();
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
  }
}

}  // namespace

// A capture of many kinds: one kind at a time, chosen by heading or number, the first by default.
TEST_F(Export, ACaptureExportsOneKindAtATime) {
  // An echoed command and a message have no variable line under them: no kind.
  const std::string echoed = write("echoed.txt",
                                   "db2 get snapshot for dynamic sql on sample\nSQL1611W  No data was returned by "
                                   "Database System Monitor.\n\n  Database Lock Snapshot\n\nDatabase name = SAMPLE\n\n"
                                   "Application handle = 7\nLocks held = 1\nList Of Locks\n Lock Name = 0x01\n");
  const auto database = [](const char* name, const char* time) {
    return std::string("\n  Database Snapshot\n\nDatabase name = ") + name + "\nSnapshot timestamp = 12/07/2026 " +
           time + "\nCommit statements attempted = 10\n";
  };
  const std::string databases =  // "get snapshot for all databases", twice
      write("databases.txt", database("ORDERS", "17:05:00") + database("BILLING", "17:05:00") +
                                 database("ORDERS", "17:06:00") + database("BILLING", "17:06:00"));
  EXPECT_EQ(run({"--kinds", echoed}).out, "Kind\tSnapshots\tEntries\nDatabase Lock Snapshot\t1\t2\n");
  const struct Case {
    std::vector<std::string> args;
    int exitCode, lines;
    std::string firstRow, errHas;  // the row after the header; what standard error says
  } cases[] = {
      {{"--kind", "table SNAPSHOT", sample("capture_all.txt")},
       0,
       5,
       "SHOP\tINVOICE\tUser\t123\t42\t1922002\t54914\t0\t0",
       "Records outputted 4"},
      {{"--kind", "5", sample("capture_all.txt")}, 0, 5, "SHOP\tINVOICE\tUser\t123\t42\t1922002\t54914\t0\t0", ""},
      {{echoed}, 0, 3, "7\t1\t", "Records outputted 2"},
      {{"--series", databases},
       0,
       3,
       "12/07/2026 17:05:00\t12/07/2026 17:06:00\t\tORDERS",
       "Snapshots: 2, intervals: 1"},
      {{sample("capture_all.txt")}, 0, 2, "ORDERS", "this is the first, \"Database Snapshot\". --kind picks another"},
      {{"--kind", "8", sample("capture_all.txt")}, 2, 0, "", "its kinds are:\n  1. Database Snapshot\n"},
      // A kind of several snapshots: each row begins with its snapshot's time, a filter may pick one.
      {{"--kind", "Table Snapshot", sample("capture_loop.txt")},
       0,
       13,
       "12/07/2026 17:05:00.118034\tSHOP\tINVOICE\tUser",
       "Records outputted 12"},
      {{"--kind", "6", "--filter", "Snapshot=12/07/2026 17:06:00.119034", sample("capture_loop.txt")},
       0,
       6,
       "12/07/2026 17:06:00.119034\t4119\t10.20.31.41.50101.261207081522",
       "Records outputted 5"},
      {{"--series", "--kind", "8", sample("capture_all.txt")}, 2, 0, "", "its kinds are:\n  1. Database Snapshot\n"},
      // A later file without the kind is skipped; --kind N is the number in the first file, later
      // files are matched by its heading; --date-order reads every date of the series.
      {{"--series", "--kind", "Table Snapshot", sample("series/tables_loop.txt"), sample("dynamic_sql_snapshot.txt")},
       0,
       19,
       "2026-11-27 16:47:02.770318\t",
       "dynamic_sql_snapshot.txt: no Table Snapshot, skipped\nSnapshots: 6, intervals: 5\n"},
      {{"--series", "--kind", "5", sample("capture_all.txt"), sample("table_snapshot.txt")},
       0,
       6,
       "12/07/2026 17:05:00.118034\t11/27/2026 16:47:02.770318\treset\tSYSIBM\tSYSTABLES",
       "Snapshots: 2, intervals: 1"},
      {{"--series", "--date-order", "YMD", "--kind", "Table Snapshot", sample("capture_loop.txt")},
       0,
       9,
       "12/07/2026 17:05:00.118034\t12/07/2026 17:06:00.119034\t\tSHOP\tINVOICE",
       "Dates: \"12/07/2026 17:05:00.118034\" is no date year first (YMD), the order --date-order gives"},
      // The last lock snapshot alone: 4107, gone by 17:07, holds nothing.
      {{"--lock-waits", sample("capture_loop.txt")},
       0,
       3,
       "0\t4119\tprice_update.py\tUOW Executing\t\t\t\t\t48210\t1\t1\t",
       "Snapshot of 17:07:00\n"},
      {{"--compare", "--kind", "Application Snapshot", sample("capture_loop.txt")},
       0,
       4,
       "\t4119\tUOW Executing",
       "Entries matched: 2, new: 0, gone: 1"},
  };
  for (const Case& c : cases) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0];
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), c.lines) << c.args[0];
    if (c.lines > 1) {
      EXPECT_EQ(r.out.substr(r.out.find('\n') + 1, c.firstRow.size()), c.firstRow);
    }
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
  }
  EXPECT_EQ(run({"--kinds", sample("capture_loop.txt")}).out,
            "Kind\tSnapshots\tEntries\nDatabase Snapshot\t3\t3\nBufferpool Snapshot\t3\t3\n"
            "Application Snapshot\t3\t7\nTablespace Snapshot\t3\t8\nTable Snapshot\t3\t12\n"
            "Database Lock Snapshot\t3\t17\nDynamic SQL Snapshot Result\t3\t9\n");
}

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
  std::vector<Case> cases = {
      {TARVOLIN_EXPORT_EXE, {"--help"}, 0, "usage: tarvolin-export", ""},
      {TARVOLIN_EXPORT_EXE, {"-v"}, 0, "tarvolin-export " + version + "\n", ""},
      {TARVOLIN_EXPORT_EXE, {"--bogus", "x.txt"}, 2, "", "unknown option --bogus"},
      {TARVOLIN_EXPORT_EXE,
       {sample("compare/tablespace_earlier.txt"), sample("compare/tablespace_later.txt"), "--compare"},
       0,
       "Change\t",
       "Interval: 60.5 s\n"}};
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
  const std::string loop = sample("series/tables_loop.txt");
  EXPECT_EQ(run({"--series", "-"}, loop).out, run({"--series", loop}).out);  // read twice
  const std::string slow = sample("slow_window.txt");  // read again for the statements of the blockers
  EXPECT_EQ(run({"--lock-waits", "--blockers", "-"}, slow).out, run({"--lock-waits", "--blockers", slow}).out);

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
  // The result modes write nothing of a report cut short; every mode refuses a closed standard input.
  for (const char* mode : {"--compare", "--lock-waits"}) {
    const RunResult r = run({mode, (m_dir / "cut.txt.gz").string()});
    EXPECT_EQ(std::tuple(r.exitCode, r.out), std::tuple(1, std::string())) << mode;
    EXPECT_NE(r.err.find("cut.txt.gz: unexpected end of file"), std::string::npos) << r.err;
  }
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--compare", "-"}, {"--filter", "Mode=X", "-"}}) {
    const RunResult r = run(args, "/dev/null", "sh -c 'exec \"$0\" \"$@\" <&-' '" TARVOLIN_EXPORT_EXE "'");
    EXPECT_EQ(r.exitCode, 1) << args[0];
    EXPECT_NE(r.err.find("Cannot open standard input"), std::string::npos) << r.err;
  }
}

TEST_F(Export, AFailedWriteInEveryModeGivesTheReasonAndExitsWithOne) {
  const std::string compare = std::string(TARVOLIN_SAMPLES_DIR) + "/compare/";
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {sample("lock_snapshot.txt")},
           {"--csv", "--all-columns", sample("event_log.txt")},
           {"--filter", "Mode=IX", sample("lock_snapshot.txt")},
           {"--compare", compare + "tablespace_earlier.txt", compare + "tablespace_later.txt"},
           {"--lock-waits", sample("lock_waits.txt")},
           {"--deadlocks", sample("deadlock_events.txt")},
           {"--help"}}) {
    const RunResult r = run(args, "/dev/null", "'" TARVOLIN_EXPORT_EXE "'", "/dev/full");
    EXPECT_EQ(r.exitCode, 1) << args[0];
    // Nothing said as if all went well: the reason alone.
    EXPECT_EQ(r.err, "tarvolin-export: Cannot write the output: No space left on device\n") << args[0];
  }
}

TEST_F(Export, APipeClosedByItsReaderEndsTheExportQuietly) {
  std::string report = "Node Directory\n";
  for (int i = 0; i < 20000; ++i)
    report += " Node name = N" + std::to_string(i) + "\n Comment = " + std::string(60, 'c') + "\n";
  const std::string path = write("nodes.txt", report);
  // Whatever the caller did with SIGPIPE, as a shell or a script language may do either.
  for (const auto disposition : {SIG_DFL, SIG_IGN}) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(SIGPIPE, disposition);
      const int err = ::open((m_dir / ".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(fds[1], STDOUT_FILENO);
      ::dup2(err, STDERR_FILENO);
      ::close(fds[0]);
      ::execl(TARVOLIN_EXPORT_EXE, TARVOLIN_EXPORT_EXE, path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    char head[100];  // as `head -c 100` reads and goes: far less than the export
    EXPECT_GT(::read(fds[0], head, sizeof head), 0);
    ::close(fds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    EXPECT_EQ(readFile(m_dir / ".stderr"), "");
  }
}

// A capture with a slow window in the middle, 16:07 to 16:09: a blocking chain and a
// statement that slows down, among statements that ran all day.
TEST_F(Export, AWindowOfTimeInEveryMode) {
  const std::string capture = sample("slow_window.txt");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string first;  // what the output's second line on begins with
    std::string errHas;
  } cases[] = {
      // Ranked by the change over the window, the statement new in it counted from zero.
      {{"--statements", "--from", "16:07", "--to", "16:09", capture},
       0,
       "UPDATE SHOP.ORDERS SET STATUS = ? WHERE CUST_ID = ?\t1\t20\t120.000000\t1302000\t4.000000\t6\t65100\t0.2\n"
       "INSERT INTO SHOP.AUDIT (ID, NOTE) VALUES (?+)\t1\t10\t5.000000\t0\t1.500000\t0.5\t0\t0.15\n",
       "Change from 12/07/2026 16:07:00.119877 to 12/07/2026 16:09:00.120931\nInterval: 120.001054 s\n"},
      // Without a window: the totals of the last snapshot, where the day's statement leads.
      {{"--statements", capture}, 0, "SELECT COUNT(*) FROM SHOP.ORDER_LINE\t1\t1006\t", "(7 of 7, 16:11:00)"},
      {{"--compare", "--kind", "2", "--from", "#3", "--to", "16:09", capture},
       0,
       "\t1004\t2\t",
       "Interval: 120.001054 s"},
      // Two reports read as one capture, the earlier first: #1 and #2 are their snapshots.
      {{"--compare", "--from", "#1", "--to", "#2", sample("compare/dynamic_sql_earlier.txt"),
        sample("compare/dynamic_sql_later.txt")},
       0,
       "\t3300\t180\t",
       "Entries matched: 4, new: 1, gone: 1"},
      {{"--series", "--kind", "2", "--to", "16:06", capture},
       0,
       "12/07/2026 16:05:00.121034\t12/07/2026 16:06:00.123518\t",
       "Snapshots: 2, intervals: 1\n"},
      {{"--lock-waits", "--from", "12/07/2026 16:07", "--to", "16:09", capture},
       0,
       "12/07/2026 16:07:00.119877\t0\t5120\torder_batch\t",
       "Snapshots: 3, with lock waits: 3, most applications waiting at once: 3\n"},
      {{"--lock-waits", "--from", "16:09", capture},
       0,
       "12/07/2026 16:09:00.120931\t0\t5120\t",
       "No application waits at the last snapshot (12/07/2026 16:11:00.118305), but 1 of the window's"},
      // One row per root blocker, its statement from the capture's Application Snapshot.
      {{"--lock-waits", "--blockers", "--from", "16:06", capture},
       0,
       "5102\treport_daily\t10.20.31.42.50102.261207150402\t12/07/2026 16:06:00.123518\t12/07/2026 "
       "16:06:00.123518\t1\t1\t5300\tSELECT COUNT(*) FROM SHOP.ORDER_LINE\n5120\torder_batch\t"
       "10.20.31.44.51882.261207150011\t12/07/2026 16:07:00.119877\t12/07/2026 16:09:00.120931\t3\t3\t82050\t"
       "UPDATE SHOP.ORDERS SET STATUS = 'S' WHERE CUST_ID = 4711\n",
       "Root blockers: 2\n"},
      {{"--lock-waits", "--from", "17:00", capture},
       2,
       "",
       "--from 17:00 holds no snapshot; the capture's snapshots are from 12/07/2026 16:05:00.121034 to 12/07/2026 "
       "16:11:00.118305\n"},
      {{"--series", "--kind", "2", "--from", "15:00", "--to", "15:59", capture},
       2,
       "",
       "to 12/07/2026 16:11:00.118305"},
      {{"--compare", "--from", "16:07", "--to", "16:07:30", capture},
       2,
       "",
       "holds one snapshot (12/07/2026 16:07:00.119877): --compare needs two"},
  };
  for (const auto& c : cases) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[1] << " " << r.err;
    EXPECT_EQ(r.out.substr(std::min(r.out.size(), r.out.find('\n') + 1), c.first.size()), c.first) << c.args[1];
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
  }
}

TEST_F(Export, SummaryOfACaptureAsTextOrItsIntervalsAsTsv) {
  const RunResult text = run({"--summary", sample("capture_loop.txt")});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  for (const char* has :
       {"3 snapshots of Database Snapshot, 2 intervals", "   Total hit ratio (%)  ",
        "12/07/2026 17:07:00.120034  Deadlocks      1  > 0\n", "\nStatements by execution time\n",
        "  10.20.31.42.50102.261207090402                4131  report_daily                    20105\n",
        "   Database files closed: no Database files closed\n"})
    EXPECT_NE(text.out.find(has), std::string::npos) << has << "\n" << text.out;
  const RunResult tsv = run({"--summary", "--tsv", "--to", "17:06", sample("capture_loop.txt")});
  EXPECT_EQ(tsv.out.substr(0, tsv.out.find('\n')),
            "From\tTo\tCommits/s\tRollbacks/s\tRows read/s\tRows read per row selected\tData hit ratio (%)\tIndex hit "
            "ratio (%)\tTotal hit ratio (%)\tLock waits/s\tAverage lock wait (ms)\tDeadlocks\tLock timeouts\tLock "
            "escalations\tSort overflows (%)\tRules broken");
  EXPECT_EQ(std::count(tsv.out.begin(), tsv.out.end(), '\n'), 2);
  EXPECT_EQ(run({"--summary", "--from", "18:00", sample("capture_loop.txt")}).exitCode, 2);
  EXPECT_EQ(run({"--summary", sample("slow_window.txt")}).exitCode, 1);  // no Database Snapshot
}

TEST_F(Export, SeriesOfOneFileAndOfFilesPerMinuteAreTheSame) {
  const RunResult one = run({"--series", sample("series/tables_loop.txt")});
  std::vector<std::string> minutes = {"--series"};
  for (const auto& f : fs::directory_iterator(sample("series/minutes"))) minutes.push_back(f.path().string());
  std::sort(minutes.begin() + 1, minutes.end());
  const RunResult files = run(minutes);
  EXPECT_EQ(one.exitCode, 0);
  EXPECT_EQ(one.err, "Snapshots: 6, intervals: 5\n");
  EXPECT_EQ(files.out, one.out);
  EXPECT_EQ(files.err, one.err);
  // The header, then 3 + 3 + 4 + 4 + 4 entries, among them a reset and an entry that appears.
  EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 1 + 3 + 3 + 4 + 4 + 4);
  EXPECT_NE(one.out.find("16:50:02.770318\t2026-11-27 16:51:02.770318\treset\tSHOP\tINVOICE"), std::string::npos);
  EXPECT_NE(one.out.find("16:50:02.770318\tnew\tSHOP\tCART"), std::string::npos);
}

TEST_F(Export, SeriesDerivedColumnsAreThoseOfTheComparisonOfEachPair) {
  write("derived_columns.txt",
        "Table Snapshot | Read per written = [Rows Read] / [Rows Written]\n"
        "Table Snapshot | Pages per write = [Data Object Pages] / [Rows Written]\n");
  std::vector<std::string> minutes;
  for (const auto& f : fs::directory_iterator(sample("series/minutes"))) minutes.push_back(f.path().string());
  std::sort(minutes.begin(), minutes.end());
  std::vector<std::string> args = {"--series", "--derived"};
  args.insert(args.end(), minutes.begin(), minutes.end());
  const RunResult series = run(args);
  ASSERT_EQ(series.exitCode, 0) << series.err;
  // Each interval's rows are those of --compare --derived on its two files, after From and To.
  std::vector<std::string> expected;
  for (size_t i = 0; i + 1 < minutes.size(); ++i) {
    const RunResult pair = run({"--compare", "--derived", minutes[i], minutes[i + 1]});
    ASSERT_EQ(pair.exitCode, 0) << pair.err;
    std::istringstream lines(pair.out);
    std::string line;
    for (bool header = true; std::getline(lines, line); header = false)
      if (!header || i == 0) expected.push_back(line);
  }
  std::istringstream lines(series.out);
  std::vector<std::string> got;
  for (std::string line; std::getline(lines, line);)
    got.push_back(line.substr(line.find('\t', line.find('\t') + 1) + 1));  // From and To dropped
  EXPECT_EQ(got, expected);
  ASSERT_FALSE(got.empty());
  EXPECT_TRUE(
      got[0].ends_with("\tRead per written\tRead per written (in interval)\tPages per write\t"
                       "Pages per write (in interval)"))
      << got[0];
}

TEST_F(Export, SeriesWithoutTimesNumbersTheSnapshotsAndRefusesOne) {
  std::string text = readFile(sample("series/tables_loop.txt"));
  for (size_t at; (at = text.find("Snapshot timestamp")) != std::string::npos;)
    text.erase(at, text.find('\n', at) - at);
  const RunResult r = run({"--series", "--interval", "30", write("loop.txt", text)});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("\n#5\t#6\t\tSYSIBM\tSYSTABLES\tCatalog\t412\t4475\t15\t0.500\t"), std::string::npos) << r.out;
  const RunResult single = run({"--series", "--csv", sample("table_snapshot.txt")});
  EXPECT_EQ(single.exitCode, 1);
  EXPECT_EQ(single.out, "");
  EXPECT_NE(single.err.find("at least two snapshots"), std::string::npos) << single.err;
}
