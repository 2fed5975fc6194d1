// Matching the entries of two snapshots and what their counters did in between.
#include <gtest/gtest.h>

#include <tuple>

#include "core/compare/snapshot_compare.h"
#include "core/load_fixture.h"

namespace tarvolin::core {
namespace {

using test::TempDir;

class Compare : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> errors;
    types = CounterTypes::parse(
        "counter Total wait time (ms)\ncounter Rows read\ngauge Lock Count\ncounter Buffer pool * reads\n", errors);
  }
  std::unique_ptr<LoadedSnapshot> load(const std::string& text, int index = ReportLoader::kLastSnapshot) {
    auto s = std::make_unique<LoadedSnapshot>();
    loadSnapshot(dir.write("r" + std::to_string(++files) + ".txt", text), index, dir.folder(), *s);
    return s;
  }
  Comparison compare(const std::string& earlier, const std::string& later, std::optional<int64_t> given = {},
                     std::optional<DateOrder> order = {}) {
    const auto e = load(earlier);
    const auto l = load(later);
    Comparison c = compareSnapshots(*e, *l, types, given, order);
    writeComparisonGrid(c, *e, *l, grid);
    return c;
  }
  /// Each data row as "mark|cell|cell...", over the columns named.
  std::vector<std::string> rows(const std::vector<std::string>& names) const {
    std::vector<std::string> out;
    for (int r = 1; r < grid.rows(); ++r) {
      std::string line(grid.text(r, 0));
      for (const std::string& name : names)
        for (int col = 0; col < grid.cols(); ++col)
          if (grid.text(0, col) == name) line += "|" + std::string(grid.text(r, col));
      out.push_back(line);
    }
    return out;
  }
  TempDir dir;
  GridStore grid;  // of the last comparison
  CounterTypes types;
  int files = 0;
};

std::string locks(const std::string& time, const std::string& body) {
  return "  Database Lock Snapshot\n\nLocks held = 3\nSnapshot timestamp = " + time + "\n\n" + body;
}
std::string app(const std::string& handle, const std::string& wait) {
  return "Application handle = " + handle + "\nTotal wait time (ms) = " + wait + "\nList Of Locks\n";
}
std::string lock(const std::string& name, const std::string& count) {
  return " Lock Name = " + name + "\n Lock Count = " + count + "\n Lock Object Name = 5\n Object Type = Row\n\n";
}

TEST_F(Compare, LocksBelongToTheApplicationAboveThemAndCountersGiveChangeAndRate) {
  const Comparison c = compare(
      locks("11/27/2026 16:42:08.000000", app("1", "100") + lock("L1", "1") + app("2", "Not Collected") +
                                              lock("L1", "2") + lock("L7", "1") + app("3", "7") + lock("L9", "1")),
      locks("11-27-2026 16:42:18.000000",
            app("2", "50") + lock("L1", "3") + lock("L2", "1") + app("1", "40") + lock("L1", "1") + app("4", "30")));
  const std::vector<std::string> names = {
      "Application handle",          "Lock Name", "Lock Count", "Total wait time (ms)", "Total wait time (ms) (change)",
      "Total wait time (ms) (per s)"};
  // A lock shows its application's handle; a released one stands after its application's other rows.
  EXPECT_EQ(rows(names), (std::vector<std::string>{"|2|||50||",  // "Not Collected" before: no change
                                                   "|2|L1|3|||", "new|2|L2|1|||", "gone|2|L7|1|||", "reset|1|||40||",
                                                   "|1|L1|1|||", "new|4|||30|30|3.000",  // counted from zero
                                                   "gone|3|||7||", "gone|3|L9|1|||"}));
  std::vector<int> earlierRows;
  for (const ComparedEntry& e : c.entries) earlierRows.push_back(e.earlierRow);
  EXPECT_EQ(earlierRows, (std::vector<int>{3, 4, -1, 5, 1, 2, -1, 6, 7}));
  EXPECT_EQ(c.intervalNote, "Interval: 10 s");
  EXPECT_EQ(std::tuple(c.counts.matched, c.counts.added, c.counts.gone, c.counts.reset), std::tuple(4, 2, 3, 1));
  EXPECT_EQ(grid.text(0, 3), "Total wait time (ms) (change)");  // the gauge before it has none
}

TEST_F(Compare, AValueTheLaterReportLacksIsMissingNotUnchanged) {
  const std::string head = "Tablespace Snapshot\n\n";
  compare(head + "Tablespace name = A\nRows read = 100\n", head + "Tablespace name = A\nState = 0\n", 10'000'000);
  EXPECT_EQ(rows({"Rows read", "Rows read (change)", "Rows read (per s)"}), (std::vector<std::string>{"|||"}));
}

TEST_F(Compare, RepeatedKeysMatchInOrderAndLocksWithoutNameByObject) {
  const std::string oldLock = " Lock Object Name = 5\n Object Type = ";
  const Comparison c = compare(locks("", app("1", "0") + oldLock + "Row\n" + oldLock + "Table\n"),
                               locks("", app("1", "0") + oldLock + "Table\n" + oldLock + "Row\n"));
  EXPECT_EQ(c.entries[1].earlierRow, 3);
  EXPECT_EQ(c.entries[2].earlierRow, 2);
  const Comparison d = compare(
      "Tablespace Snapshot\nTablespace name = A\nRows read = 10\nTablespace name = A\n"
      "Rows read = 20\nTablespace name = A\nRows read = 30\n",
      "Tablespace Snapshot\nTablespace name = A\nRows read = 15\nTablespace name = A\n"
      "Rows read = 26\n",
      5'000'000);
  EXPECT_EQ(rows({"Rows read (change)", "Rows read (per s)"}),
            (std::vector<std::string>{"|5|1.000", "|6|1.200", "gone||"}));
  EXPECT_EQ(d.intervalNote, "Interval: 5 s (given)");
  // All the lines of a statement tell it from another; a name again in an entry is a counter of its own.
  const auto sql = [](const std::string& read, const std::string& again, const std::string& where) {
    return " Number of executions = 1\n Rows read = " + read + "\n Rows read = " + again +
           "\n Statement text = SELECT A\n  WHERE B = " + where + "\n\n";
  };
  const std::string head = "Dynamic SQL Snapshot Result\n";
  compare(head + sql("10", "1", "1") + sql("4000", "2", "2"), head + sql("4010", "5", "2") + sql("20", "1", "1"),
          1'000'000);
  EXPECT_EQ(rows({"Rows read (change)", "Rows read #2 (change)"}), (std::vector<std::string>{"|10|3", "|10|0"}));
}

TEST_F(Compare, IntervalIsTheGivenOneElseFromBothTimestampsAndRestartedCountersGiveNothing) {
  struct Case {
    std::string t1, t2;
    std::optional<int64_t> given;
    std::optional<DateOrder> order;
    std::string later;  // the later report's preamble lines other than "Snapshot timestamp"
    std::string note, row, reset;
  };
  const std::string resetAt = "Last reset timestamp = 2026-11-27 16:45:50.0\n";
  const std::string connect = "First database connect timestamp = 2026-11-27 ";
  for (const Case& k : std::vector<Case>{
           {"2026-11-27 16:45:30.011874", "11/27/2026 16:46:30.511874", {}, {}, "", "Interval: 60.5 s", "|2.000", ""},
           {"2026-11-27 01:55:00.0",
            "2026-11-27 03:05:00.0",
            600'000'000,
            {},
            "",  // a clock change between
            "Interval: 600 s (given; the timestamps give 4200 s)",
            "|0.202",
            ""},
           {"", "", 4'000'000, {}, "", "Interval: 4 s (given)", "|30.250", ""},
           {"2026-11-27 16:45:30.0", "", {}, {}, "", "Interval: unknown (the later report carries no", "|", ""},
           {"2026-11-27 16:45:31.0",
            "2026-11-27 16:45:30.0",
            {},
            {},
            "",
            "Interval: -1 s (the later snapshot is not",
            "|",
            ""},
           {"2026-11-27 16:45:31.0",
            "2026-11-27 16:45:30.0",
            4'000'000,
            {},
            "",
            "Interval: 4 s (given; the timestamps give -1 s: the later snapshot is not",
            "|30.250",
            ""},
           {"09-01-2008 23:59:00", "10-01-2008 00:01:00", {}, {}, "", "Interval: 120 s", "|1.008", ""},
           {"02/01/2008 23:59:00", "03/01/2008 00:01:00", {}, DateOrder::DMY, "", "Interval: 120 s", "|1.008", ""},
           // one order for both: the 13th tells that the 12th is day first too
           {"12/01/2026 23:59:00", "13/01/2026 00:01:00", {}, {}, "", "Interval: 120 s", "|1.008", ""},
           {"2026-11-27 16:45:30.0",
            "2026-11-27 16:46:30.0",
            {},
            {},
            resetAt,
            "Interval: 60 s",
            "reset|",
            "counters were reset at 16:45:50"},
           {"2026-11-27 16:45:30.0",
            "2026-11-27 16:46:30.0",
            {},
            {},
            connect + "16:45:40.0\n",
            "Interval: 60 s",
            "reset|",
            "the database was activated again at 16:45:40"},
           {"2026-11-27 16:45:30.0",
            "2026-11-27 16:46:30.0",
            {},
            {},
            "Start Database Manager timestamp = 2026-11-27 16:45:45.0\n",
            "Interval: 60 s",
            "reset|",
            "the database manager was started again at 16:45:45"}}) {
    auto ts = [&](const std::string& t, const std::string& reads, const std::string& more) {
      return "Tablespace Snapshot\n" + (more.empty() ? connect + "07:00:00.0\n" : more) +
             (t.empty() ? "" : "Snapshot timestamp = " + t + "\n") +
             "Tablespace name = A\nBuffer pool data logical reads = " + reads + "\n";
    };
    // The earlier report starts its counters as the later one names it, at 07:00; the later
    // has a new tablespace B that read as much as A did in between.
    const std::string earlierStart = k.later.substr(0, k.later.find(" = ") + 3) + "2026-11-27 07:00:00.0\n";
    const Comparison c = compare(
        ts(k.t1, "10", k.later.empty() ? "" : earlierStart),
        ts(k.t2, "131", k.later) + "Tablespace name = B\nBuffer pool data logical reads = 121\n", k.given, k.order);
    EXPECT_EQ(c.intervalNote.substr(0, k.note.size()), k.note);
    EXPECT_EQ(rows({"Buffer pool data logical reads (per s)"}),
              (std::vector<std::string>{k.row, "new" + k.row.substr(k.row.find('|'))}))
        << k.note;
    EXPECT_EQ(c.resetNote, k.reset);
  }
}

TEST_F(Compare, KindsMustMatchEventLogsAreRefusedDirectoriesMarkChangesAndKeysFallBack) {
  const std::string ts = "Tablespace Snapshot\nTablespace name = A\n";
  const std::string dbdir = " System Database Directory\n Database alias = A\n Directory entry type = Indirect\n";
  auto refusal = [&](const std::string& a, const std::string& b) {
    try {
      (void)compare(a, b);
    } catch (const CompareError& e) {
      return std::string(e.what());
    }
    return std::string("compared");
  };
  EXPECT_EQ(refusal(ts, "Table Snapshot\nTable Schema = S\n"),
            "Reports of different kinds: Tablespace Snapshot and Table Snapshot");
  const std::string events = "EVENT LOG HEADER\n  Event Monitor name: M\n1) Connection Header Event ...\n";
  EXPECT_EQ(refusal(events, events), "Event monitor logs hold events, not counters: they can't be compared");
  const Comparison c = compare(dbdir + " Database alias = B\n Directory entry type = Indirect\n",
                               dbdir + " Database alias = B\n Directory entry type = Remote\n");
  EXPECT_EQ(rows({"Database alias"}), (std::vector<std::string>{"|A", "changed|B"}));
  // A kind of no known key is keyed by the name its entries begin with, not by the first column.
  dir.write("AgentSnapshot.cfg", "Y;;;;;Application name;\nY;;;;;Application handle;\n");
  const std::string apps = "Agent Snapshot\nApplication handle = 8\nApplication name = db2bp\n";
  compare("Agent Snapshot\nApplication handle = 7\nApplication name = db2bp\n" + apps.substr(15), apps);
  EXPECT_EQ(rows({"Application handle"}), (std::vector<std::string>{"|8", "gone|7"}));
  // Applications without "Application ID" (a report cut down with grep) are known by their handle.
  const std::string withId =
      "Application Snapshot\nApplication handle = 7\nApplication ID = *LOCAL.a.1\nRows read = 10\n";
  compare(withId + "Application handle = 8\nApplication ID = *LOCAL.a.2\nRows read = 20\n",
          "Application Snapshot\nApplication handle = 8\nRows read = 25\nApplication handle = 7\nRows read = 12\n");
  EXPECT_EQ(rows({"Application handle", "Rows read (change)"}), (std::vector<std::string>{"|8|5", "|7|2"}));
}

TEST_F(Compare, AFileOfSeveralSnapshotsLoadsOneByNumberAndAsOneReportByDefault) {
  std::string text;
  for (const char* t : {"16:40:00.0", "16:41:00.0", "16:42:00.0"})
    text += std::string("\n   Tablespace Snapshot\n\nSnapshot timestamp = 2026-11-27 ") + t +
            "\nNumber of accessed tablespaces = 1\n\nTablespace name = A" + t + "\nRows read = 1\n";
  EXPECT_EQ(listSnapshots(dir.write("three.txt", text)),
            (std::vector<std::string>{"2026-11-27 16:40:00.0", "2026-11-27 16:41:00.0", "2026-11-27 16:42:00.0"}));
  const auto middle = load(text, 1);
  EXPECT_EQ(middle->grid.rows(), 2);
  EXPECT_EQ(std::string(middle->grid.text(1, 0)) + " " + middle->time(), "A16:41:00.0 2026-11-27 16:41:00.0");
  const auto whole = load(text, ReportLoader::kWholeFile);
  EXPECT_EQ(whole->grid.rows(), 4);  // as the viewer shows it: a heading ends the entry above, its preamble joins none
  EXPECT_EQ(whole->report().vars.lookup("Snapshot timestamp"), -1);
}

}  // namespace
}  // namespace tarvolin::core
