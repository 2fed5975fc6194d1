// tarvolin-export --compare end to end, on the sample pairs.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

struct Outcome {
  int exitCode = -1;
  std::vector<std::vector<std::string>> rows;  // TSV cells
  std::string err;
};

Outcome compare(const std::string& args) {
  // One file per process: CTest runs the cases of this file side by side.
  const std::string errFile = ::testing::TempDir() + "compare-" + std::to_string(::getpid()) + ".err";
  FILE* out = ::popen(
      ("cd '" TARVOLIN_SAMPLES_DIR "/compare' && '" TARVOLIN_EXPORT_EXE "' --compare " + args + " 2>'" + errFile + "'")
          .c_str(),
      "r");
  std::string text;
  for (char buf[4096]; size_t n = std::fread(buf, 1, sizeof buf, out);) text.append(buf, n);
  const int status = ::pclose(out);
  Outcome run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile);
  run.err.assign(std::istreambuf_iterator<char>(err), {});
  std::remove(errFile.c_str());
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    run.rows.emplace_back();
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) run.rows.back().push_back(cell);
    if (!line.empty() && line.back() == '\t') run.rows.back().emplace_back();
  }
  return run;
}

/// The cell of `row` under the header `name`, or "?" when there is none.
std::string cell(const Outcome& r, size_t row, const std::string& name) {
  for (size_t c = 0; c < r.rows[0].size(); ++c)
    if (r.rows[0][c] == name && row < r.rows.size() && c < r.rows[row].size()) return r.rows[row][c];
  return "?";
}

TEST(CompareExport, SamplePairsGiveChangesRatesAndMarks) {
  struct Case {
    std::string args;
    size_t row;
    std::string name, value;
  };
  const std::string dyn = "dynamic_sql_earlier.txt dynamic_sql_later.txt";
  const std::string ts = "tablespace_earlier.txt tablespace_later.txt";
  for (const Case& c :
       std::vector<Case>{{dyn, 1, "Number of executions (change)", "180"},
                         {dyn + " --interval=60", 1, "Number of executions (per s)", "3.000"},
                         {dyn, 3, "Number of executions (change)", "408"},  // a repeated statement, first with first
                         {dyn, 5, "Change", "new"},
                         {dyn, 5, "Number of executions (change)", "2"},  // a new statement counts from zero
                         {dyn, 6, "Statement text", "DELETE FROM SHOP.CART WHERE SESSION_ID = ?"},
                         {ts, 3, "Buffer pool data logical reads (per s)", "2000.000"},
                         {ts, 2, "Buffer pool data logical reads (change)", ""},  // no value before
                         {ts, 4, "Change", "reset"},
                         {ts, 4, "Buffer pool data physical reads (change)", ""},
                         {"locks_earlier.txt locks_later.txt", 5, "Total wait time (ms) (per s)", "1000.000"},
                         {"locks_earlier.txt locks_later.txt", 4, "Change", "gone"},  // after its application's locks
                         {"locks_earlier.txt locks_later.txt", 4, "Application handle", "4107"},
                         {"tables_three_snapshots.txt", 2, "Rows Read (per s)", "50.000"},
                         {"tables_three_snapshots.txt", 3, "Change", "new"},
                         {"tables_three_snapshots.txt", 3, "Rows Read (per s)", "73458.358"}}) {
    const Outcome r = compare(c.args);
    EXPECT_EQ(r.exitCode, 0) << c.args;
    ASSERT_FALSE(r.rows.empty()) << c.args;
    EXPECT_EQ(cell(r, c.row, c.name), c.value) << c.args << " row " << c.row << " " << c.name;
  }
}

TEST(CompareExport, TransposedARowPerVariableOfEachEntry) {
  struct Case {
    std::string args, entry, variable, column, value;  // entry: "" when the comparison has one
  };
  const std::string ts = "--transpose tablespace_earlier.txt tablespace_later.txt";
  const std::string db = "--transpose --kind 1 ../capture_loop.txt";
  for (const Case& c : std::vector<Case>{{db, "", "Lock waits", "Change", "4"},
                                         {db, "", "Lock waits", "Rate per s", "0.033"},
                                         {db, "", "Locks held currently", "Later", "16"},  // a gauge: no change
                                         {db, "", "Locks held currently", "Change", ""},
                                         {ts, "TS_ORDERS", "Buffer pool data logical reads", "Rate per s", "2000.000"},
                                         {ts, "TEMPSPACE1", "Buffer pool data logical reads", "Earlier", ""},
                                         {ts + " --derived", "TS_ORDERS", "Data hit ratio (%)", "Change", "99.965289"},
                                         {ts + " --derived", "TEMPSPACE1", "Data hit ratio (%)", "Later", "99.6875"}}) {
    const Outcome r = compare(c.args);
    EXPECT_EQ(r.exitCode, 0) << c.args;
    ASSERT_FALSE(r.rows.empty()) << c.args;
    EXPECT_EQ(r.rows[0][0], c.entry.empty() ? "Variable" : "Entry") << c.args;
    size_t row = 1;
    while (row < r.rows.size() &&
           !(cell(r, row, "Variable") == c.variable && (c.entry.empty() || r.rows[row][0] == c.entry)))
      ++row;
    EXPECT_EQ(cell(r, row, c.column), c.value) << c.args << " " << c.entry << " " << c.variable;
  }
}

TEST(CompareExport, StandardErrorTellsTheIntervalAndRefusals) {
  struct Case {
    std::string args;
    int exitCode;
    std::string errStart;
  };
  for (const Case& c : std::vector<Case>{
           {"tablespace_earlier.txt tablespace_later.txt", 0, "Interval: 60.5 s\nFinished. Records read: 87 "},
           {"tables_three_snapshots.txt", 0, "Interval: 120 s\n"},
           {"dynamic_sql_earlier.txt dynamic_sql_later.txt", 0, "Interval: unknown (neither report carries a"},
           {"dynamic_sql_later.txt tablespace_later.txt", 1,
            "tarvolin-export: Reports of different kinds: Dynamic SQL Snapshot Result and Tablespace Snapshot\n"},
           {"../event_log.txt", 1, "tarvolin-export: Event monitor logs hold events, not counters"},
           {"a b c", 2, "tarvolin-export: --compare takes one or two reports\n"},
           {"--interval 0 a", 2, "tarvolin-export: --interval needs a number of seconds above 0"}}) {
    const Outcome r = compare(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
    EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart) << c.args;
  }
}

}  // namespace
