#include "core/read/report_loader.h"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "core/grid/grid_output.h"
#include "core/grid/grid_recorder.h"
#include "core/grid/row_filters.h"
#include "core/load_fixture.h"
#include "core/read/load_progress.h"

namespace tarvolin::core::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ReportParser : public Loaded {
 protected:
  [[nodiscard]] std::vector<std::string> names() const { return table().front(); }
};

struct KindCase {
  std::string heading;  // as the line stands in the file, after any lines before it
  std::string kind;     // kindHeading expected
  std::string start;    // name that begins an entry
  std::string sep;      // separator of the kind
  bool databaseLines;   // the kind has lines before its first entry
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << '"' << c.kind << '"'; }

class Kinds : public Loaded, public ::testing::WithParamInterface<KindCase> {};

TEST_P(Kinds, CutsEntriesAtTheStartNameWithTheKindsSeparator) {
  const KindCase& k = GetParam();
  std::string text = "\n" + k.heading + "\n\n";
  if (k.databaseLines) text += "Database name " + k.sep + " SAMPLE\nSnapshot taken " + k.sep + " today\n\n";
  text += "  " + k.start + "   " + k.sep + " first\n   Size " + k.sep + " 10\n\n";
  text += k.start + k.sep + "second\nSize" + k.sep + "20\nColour " + k.sep + " red\n";
  loadText(text);
  EXPECT_EQ(report.kindHeading, k.kind);
  EXPECT_THAT(obs.kinds, ElementsAre(k.kind));
  EXPECT_EQ(table(), (Rows{{k.start, "Size", "Colour"}, {"first", "10", ""}, {"second", "20", "red"}}));
  EXPECT_EQ(counters.nentry, 2);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, Kinds,
    ::testing::Values(
        KindCase{"            Database Lock Snapshot", "Database Lock Snapshot", "Application handle", "=", true},
        // A batch file's and the command line processor's echo lines before the heading are skipped.
        KindCase{"@echo off\r\ndb2 => echo Locks of ORD\r\n  Database Lock Snapshot", "Database Lock Snapshot",
                 "Application handle", "=", true},
        // A date, an echoed command and a message with no variable line under them are no kind.
        KindCase{"Mon Dec  7 16:05:00 UTC 2026\ndb2 get snapshot for locks on sample\nSQL1611W  No data was returned.\n"
                 "\n  Database Lock Snapshot",
                 "Database Lock Snapshot", "Application handle", "=", true},
        KindCase{"Tablespace Snapshot  ", "Tablespace Snapshot", "Tablespace name", "=", true},
        KindCase{" Table Snapshot", "Table Snapshot", "Table Schema", "=", true},
        KindCase{" System Database Directory", "System Database Directory", "Database alias", "=", true},
        KindCase{" Node Directory", "Node Directory", "Node name", "=", true},
        KindCase{"Dynamic SQL Snapshot Result", "Dynamic SQL Snapshot Result", "Number of executions", "=", true},
        KindCase{"                EVENT LOG HEADER", "EVENT LOG HEADER", "Event", ":", true},
        KindCase{"  Database Snapshot", "Database Snapshot", "Database name", "=", false},
        KindCase{"Bufferpool Snapshot", "Bufferpool Snapshot", "Bufferpool name", "=", true},
        KindCase{"Application Snapshot", "Application Snapshot", "Application handle", "=", true},
        KindCase{"Application Lock Snapshot", "Application Lock Snapshot", "Application handle", "=", true},
        KindCase{"Database Manager Snapshot", "Database Manager Snapshot", "Node name", "=", true},
        // Not in the table of kinds: the first variable line names the start.
        KindCase{"Utility Snapshot", "Utility Snapshot", "Utility ID", "=", false},
        KindCase{"Node\tDirectory", "Node\tDirectory", "Node name", "=", false}));

// One row per application and one per lock, in the layout DB2 prints since version 8 ("Lock Name"
// first) and in the older one ("Lock Object Name" first); each lock row takes its application's
// handle, ID and name (marked as filled in), and leaves the application's other columns empty.
TEST_F(ReportParser, LockSnapshotGivesOneRowPerApplicationAndPerLockInBothLayouts) {
  const std::string head =
      "   Database Lock Snapshot\n\nDatabase name                = ORD\nLocks held                   = 3\n\n"
      "Application handle           = 7\nApplication name             = batch\nLocks held                   = 2\n\n"
      "List Of Locks\n";
  const std::string tail = "Application handle           = 9\nApplication name             = db2bp\n";
  loadText(head +
           " Lock Name                   = 0x01\n Lock Count = 1\n Lock Object Name            = 28\n"
           " Mode                        = IX\n\n Lock Name                   = 0x02\n Lock Count = 2\n"
           " Lock Object Name            = 29\n Mode                        = X\n Application name = own\n\n"
           " Lock Name = 0x03\n\n" +
           tail);
  EXPECT_EQ(table(), (Rows{{"Application handle", "Application name", "Locks held", "Lock Name", "Lock Count",
                            "Lock Object Name", "Mode"},
                           {"7", "batch", "2", "", "", "", ""},
                           {"7", "batch", "", "0x01", "1", "28", "IX"},
                           {"7", "own", "", "0x02", "2", "29", "X"},
                           {"7", "batch", "", "0x03", "", "", ""},
                           {"9", "db2bp", "", "", "", "", ""}}));
  auto filled = [this](int row) { return grid.filledUnchecked(row, 0) + 2 * grid.filledUnchecked(row, 1); };
  EXPECT_THAT((std::vector{filled(1), filled(2), filled(3), filled(4), filled(5)}), ElementsAre(0, 3, 1, 3, 0));
  EXPECT_EQ(lastStatus(), "Finished. Records read: 25 Records outputted 5");

  loadText(head +
           " Lock Object Name            = 28\n Mode                        = IX\n\n"
           " Lock Object Name            = 29\n Mode                        = X\n Lock Object Name = 30\n\n" +
           tail);
  EXPECT_EQ(table(), (Rows{{"Application handle", "Application name", "Locks held", "Lock Object Name", "Mode"},
                           {"7", "batch", "2", "", ""},
                           {"7", "batch", "", "28", "IX"},
                           {"7", "batch", "", "29", "X"},
                           {"7", "batch", "", "30", ""},
                           {"9", "db2bp", "", "", ""}}));

  // Only the lines like an application's handle: the application and all its locks; like a
  // lock's mode: the lock, still with its holder (found in this report's own columns).
  for (const auto& [col, val, rows] : {std::tuple{0, "7", 4}, std::tuple{4, "X", 2}}) {
    load.filterColumn = static_cast<int16_t>(col);
    load.filterValue = val;
    loadText(
        "Database Lock Snapshot\nApplication handle = 7\nApplication ID = A7\nApplication name = batch\n"
        " Lock Object Name = 28\n Mode = X\n Lock Object Name = 29\n Mode = IX\n" +
        tail);
    EXPECT_EQ(grid.rows(), rows);
    EXPECT_EQ(std::string(grid.text(rows - 1, 0)) + "|" + std::string(grid.text(rows - 1, 2)), "7|batch");
  }
}

// A kind of several snapshots begins each row with its snapshot's time, the rows of the first
// too (known once the second begins); a kind of one has no such column. It is a variable like
// the others: the filters find it and every other column by name, and a .cfg may place it.
TEST_F(ReportParser, SeveralSnapshotsOfAKindGiveEachRowItsSnapshot) {
  const std::string first =
      "Database Lock Snapshot\nSnapshot timestamp = T1\nApplication handle = 7\nApplication name = batch\n"
      " Lock Object Name = 28\n";
  loadText(first);
  EXPECT_EQ(
      table(),
      (Rows{{"Application handle", "Application name", "Lock Object Name"}, {"7", "batch", ""}, {"7", "batch", "28"}}));
  const std::string both = first +
                           "Database Lock Snapshot\nSnapshot timestamp = T2\nApplication handle = 8\n"
                           "Application name = db2bp\n Lock Object Name = 29\n";
  loadText(both);
  EXPECT_EQ(table(), (Rows{{"Snapshot", "Application handle", "Application name", "Lock Object Name"},
                           {"T1", "7", "batch", ""},
                           {"T1", "7", "batch", "28"},
                           {"T2", "8", "db2bp", ""},
                           {"T2", "8", "db2bp", "29"}}));
  EXPECT_TRUE(grid.filledUnchecked(2, 1) && grid.filledUnchecked(4, 2) && !grid.filledUnchecked(2, 0));
  // Written through a recorder (a column inserted before rows written, marks) and replayed:
  // the same grid, cell by cell.
  GridStore replayed;
  GridRecorder recorder([&](GridBatch&& b) { replay(b, replayed); }, std::chrono::milliseconds(0));
  ReportLoader(shared, report, load, obs, measure, dir.folder()).load((dir.path() / "report.txt").string(), recorder);
  recorder.flush();
  ASSERT_EQ(std::tuple(replayed.rows(), replayed.cols(), replayed.fixedRows(), replayed.redraw()),
            std::tuple(grid.rows(), grid.cols(), grid.fixedRows(), true));
  for (int r = 0; r < grid.rows(); ++r)
    for (int c = 0; c < grid.cols(); ++c)
      EXPECT_EQ(
          std::tuple(replayed.text(r, c), replayed.filledUnchecked(r, c), replayed.colWidth(c),
                     replayed.report().cells.snapshot(r)),
          std::tuple(grid.text(r, c), grid.filledUnchecked(r, c), grid.colWidth(c), grid.report().cells.snapshot(r)));
  EXPECT_THROW((void)recorder.text(0, 0), std::logic_error);
  for (const auto& [col, val, last] : {std::tuple{0, "T2", "29"}, std::tuple{1, "7", "28"}}) {
    load.filterColumn = static_cast<int16_t>(col);  // the column of the grid on show
    load.filterValue = val;
    loadText(both);
    EXPECT_EQ(table().size(), 3u);
    EXPECT_EQ(grid.text(2, 3), last);
  }
  dir.write("DatabaseLockSnapshot.cfg", "Y;;;;;Application handle;\r\nN;;;;;Snapshot;\r\n");
  loadText(both);
  EXPECT_EQ(table()[1], (std::vector<std::string>{"7", "T1", "batch", ""}));
  EXPECT_EQ(grid.colWidth(1), 0);
}

struct LinesCase {
  std::string text;
  Rows table;  // header row and data rows expected
};
void PrintTo(const LinesCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

class Lines : public Loaded, public ::testing::WithParamInterface<LinesCase> {};

TEST_P(Lines, GiveTheseRows) {
  loadText(GetParam().text);
  EXPECT_TRUE(obs.errors.empty());
  EXPECT_EQ(table(), GetParam().table);
}

INSTANTIATE_TEST_SUITE_P(
    Preamble, Lines,
    ::testing::Values(
        // Blank, "echo" and ten-hyphen lines before the heading are skipped, nothing else.
        LinesCase{"\n   \necho list\ndb2 => @echo off\n----------x\nNode Directory\nNode name = A\n",
                  {{"Node name"}, {"A"}}},
        LinesCase{"---------\nNode name = A\n", {{"Node name"}, {"A"}}},  // nine hyphens: the heading
        LinesCase{"\n   \necho one\n----------\n", {{}}},
        // After the heading "echo" and hyphens are ordinary; lines before the first entry are dropped.
        LinesCase{"Node Directory\nNumber of entries = 2\nNode 1 entry:\n Node name = echo\n----------\n"
                  " Comment = ---------- echo\n",
                  {{"Node name", "Comment"}, {"echo", "---------- echo"}}},
        // The first separator splits; blanks are trimmed, tabs are not; no separator, no variable.
        LinesCase{"Node Directory\nNode name = N1\n Text = SELECT A FROM T WHERE B = 1\n Comment         =\n"
                  "\tTabbed\t = \tvalue\t \nTime : 10:22:01\nList Of Locks\n4) Deadlock Event ...\n = nameless\n",
                  {{"Node name", "Text", "Comment", "\tTabbed\t", ""},
                   {"N1", "SELECT A FROM T WHERE B = 1", "", "\tvalue\t", "nameless"}}},
        // Names are compared exactly; a name again in an entry goes to "NAME #2", "NAME #3", ...,
        // also where the line that came next last time was its second one.
        LinesCase{"Node Directory\nNode name = A\nService name = a\nservice name = b\nService  name = c\n"
                  "Service name = d\nNode name = B\nService  name = e\nService name = f\nService name = g\n"
                  "Service name = h\n",
                  {{"Node name", "Service name", "service name", "Service  name", "Service name #2", "Service name #3"},
                   {"A", "a", "b", "c", "d", ""},
                   {"B", "f", "", "e", "g", "h"}}},
        // Event logs split at ':' and begin entries at lines holding "Event".
        LinesCase{"-----------\n        EVENT LOG HEADER\n  Event Monitor name: LOCKEVMON\n-----------\n\n"
                  "3) Connection Header Event ...\n  Appl Handle: 17\n  Start: 15:40:11.020876\n  Rows read = 12\n"
                  "4) Deadlock Event ...\n  Deadlock ID:   1\n5) Deadlocked Connection ...\n  Deadlock ID:   2\n",
                  {{"Event", "Appl Handle", "Start", "Deadlock ID", "Deadlock ID #2"},
                   {"3) Connection Header Event ...", "17", "15:40:11.020876", "", ""},
                   {"4) Deadlock Event ...", "", "", "1", "2"}}},
        // A heading is never a value: a repeated one ends the entry being read, and its
        // preamble joins no entry; of a file of several kinds the first is read. Its second
        // snapshot gives the kind a first column "Snapshot", here without times.
        LinesCase{"Dynamic SQL Snapshot Result\n Database name = D\n Number of executions = 1\n Statement text = a\n"
                  "Dynamic SQL Snapshot Result\n\n Database name = D\n Number of executions = 2\n"
                  "Table Snapshot\n Table Schema = S\n Number of executions = 3\n",
                  {{"Snapshot", "Number of executions", "Statement text"}, {"#1", "1", "a"}, {"#2", "2", ""}}},
        // "Dynamic SQL" names take the next lines (after one empty line, the ones after) up to
        // a blank one, joined by LF, also before the first entry, and never begin an entry.
        LinesCase{"Appl Info\nDynamic SQL text:\nselect 1\n  from t where a = 1  \n\nA = 1\nDynamic SQL text:\n\n"
                  "select 2\nB = 2\n\nA = 2\nDynamic SQL text:\r\n  Name = x  \r\n\r\nDynamic SQL text:\n   \n"
                  "select 4\n",
                  {{"Dynamic SQL text:", "A", "Dynamic SQL text: #2"},
                   {"select 1\n  from t where a = 1", "", ""},
                   {"select 2\nB = 2", "1", ""},
                   {"Name = x", "2", ""}}},
        // So does "Statement text", up to a blank line, a heading, a date line or the next entry's
        // start name, even where its first line is empty. The first snapshot, with no time
        // before it, takes the date line inside it.
        LinesCase{"Dynamic SQL Snapshot Result\n Number of executions = 1\n Statement text = SELECT A\n   FROM T\n"
                  "  WHERE B = 1\n\n Number of executions = 2\n Statement text =\nSELECT 2\n"
                  " Number of executions = 3\n Statement text = SELECT 3\nMon Dec  7 16:05:00 UTC 2026\n"
                  "Dynamic SQL Snapshot Result\n Number of executions = 4\n",
                  {{"Snapshot", "Number of executions", "Statement text"},
                   {"2026-12-07 16:05:00", "1", "SELECT A\n   FROM T\n  WHERE B = 1"},
                   {"2026-12-07 16:05:00", "2", "SELECT 2"},
                   {"2026-12-07 16:05:00", "3", "SELECT 3"},
                   {"2026-12-07 16:05:00", "4", ""}}}));

TEST_F(ReportParser, FileEndingAtAContinuedVariableIsAnErrorThatKeepsTheRows) {
  for (const std::string tail : {"", "\n", "\r\n\r\n"}) {
    SCOPED_TRACE(testing::PrintToString(tail));
    obs = {};
    loadText("Application Snapshot\nApplication handle = 1\nApplication handle = 2\nDynamic SQL statement text:" +
             tail);
    ASSERT_EQ(obs.errors.size(), 1u);
    EXPECT_THAT(obs.errors[0], HasSubstr("report.txt"));
    EXPECT_EQ(table(), (Rows{{"Application handle"}, {"1"}}));  // the entry being read is not written
    EXPECT_EQ(lastStatus(), "Finished. Records read: 4 Records outputted 1");
  }
}

TEST_F(ReportParser, ReadFailingHalfwayKeepsTheEntriesReadBeforeAndGivesTheReason) {
  // A small file is read in the caller's thread, one of a megabyte and more on a thread of its own.
  for (const int entries : {10, 40000}) {
    SCOPED_TRACE(entries);
    std::string text = "Table Snapshot\n";
    for (int i = 0; i < entries; ++i) text += " Table Schema = S" + std::to_string(i) + "\n Rows Read = 7\n";
    const int cut = entries / 2;  // the entry being read when the read fails
    const auto failAt = static_cast<off_t>(text.find(" Rows", text.find("= S" + std::to_string(cut) + "\n")) + 3);
    read = [failAt](int fd, char* dst, size_t n) -> std::ptrdiff_t {
      const off_t at = ::lseek(fd, 0, SEEK_CUR);
      if (at >= failAt) {
        errno = EIO;
        return -1;
      }
      return ::read(fd, dst, std::min(n, static_cast<size_t>(failAt - at)));
    };
    obs = {};
    loadText(text);
    EXPECT_THAT(obs.errors, ElementsAre(HasSubstr("report.txt: Input/output error")));
    EXPECT_EQ(counters.nout, cut);
    EXPECT_EQ(grid.text(cut, 0), "S" + std::to_string(cut - 1));
    EXPECT_EQ(lastStatus(), progressText(2 * cut + 2, cut, true));
  }
}

TEST_F(ReportParser, ReloadFilterWritesOnlyMatchingEntriesTheLastIncluded) {
  const std::string text =
      "Node Directory\nNode name = A\nProtocol = TCPIP\nNode name = B\nProtocol = tcpip\nNode name = C\n"
      "Node name = D\nProtocol = TCPIP\n";
  load.filterColumn = 1;
  load.filterValue = "TCPIP";
  loadText(text);
  EXPECT_EQ(table(), (Rows{{"Node name", "Protocol"}, {"A", "TCPIP"}, {"D", "TCPIP"}}));
  EXPECT_EQ(counters.nentry, 4);
  loadText(text);  // the filter served one load only
  EXPECT_EQ(counters.nout, 4);
  load.filterColumn = 7;
  load.filterValue = "x";
  loadText(text);
  EXPECT_EQ(counters.nout, 0);
}

TEST_F(ReportParser, ReloadAfterExcludingTheFirstRowShowsItAgain) {
  const std::string text = "Node Directory\nNode name = A\nNode name = B\nNode name = A\n";
  loadText(text);
  hideRowsLike(grid, 0, "A");
  ASSERT_EQ(grid.rowHeight(1), 0);
  loadText(text);
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(grid.rowHeight(r), kDefaultRowHeight) << r;
  EXPECT_EQ(grid.text(1, 0), "A");
}

std::string reportWithNames(int distinct) {
  std::string text = "Node Directory\nNode name = first\nOld = 1\nNode name = second\n";
  for (int i = 3; i <= distinct; ++i) text += "V" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  return text + "Node name = third\n";
}

TEST_F(ReportParser, FiveHundredAndOneVariablesLoadAndTheNextEndsTheLoadKeepingTheRows) {
  loadText(reportWithNames(501));
  EXPECT_TRUE(obs.errors.empty());
  EXPECT_EQ(counters.nout, 3);
  EXPECT_EQ(grid.text(2, 500), "501");
  loadText(reportWithNames(502));
  ASSERT_EQ(obs.errors.size(), 1u);
  EXPECT_THAT(obs.errors[0], HasSubstr("V502"));
  EXPECT_EQ(report.vars.lastIndex(), 500);
  EXPECT_EQ(table().at(1).at(0), "first");
  EXPECT_EQ(lastStatus(), "Finished. Records read: 504 Records outputted 1");
  obs = {};
  loadText(reportWithNames(501) + "Old = 2\nOld = 3\n");  // a name again in an entry takes a column
  EXPECT_THAT(obs.errors, ElementsAre(HasSubstr("\"Old #2\"")));
  obs = {};
  loadText(reportWithNames(501) + "Node Directory\nNode name = A\n");  // full: no Snapshot column
  EXPECT_TRUE(obs.errors.empty());
  EXPECT_EQ(std::tuple(counters.nout, grid.text(0, 0)), std::tuple(4, "Node name"));
  obs = {};
  loadText("Node Directory\nNode name = A\n");  // the values of the last load are cleared
  for (int i = 1; i <= 500; ++i) ASSERT_EQ(load.vals[static_cast<size_t>(i)], "") << i;
}

TEST_F(ReportParser, ConfigurationOrdersHidesAndKeepsColumns) {
  dir.write("NodeDirectory.cfg",
            "Y;;;;;Protocol;\r\nN;;;;;Comment;\r\nY;;;;;Never mentioned;\r\nY;;;;; Node name;\r\n");
  loadText(" Node  Directory \nNode name = A\nComment = secret\nProtocol = TCPIP\nHostname = h\n");
  // "Node  Directory" is not a known kind: its start is its first variable, its file the same.
  EXPECT_EQ(table(), (Rows{{"Protocol", "Comment", "Never mentioned", " Node name", "Node name", "Hostname"},
                           {"TCPIP", "secret", "", "", "A", "h"}}));
  EXPECT_EQ(grid.colWidth(1), 0);
}

TEST_F(ReportParser, LayoutOfTheFinishedGrid) {
  shared.lockcol = true;
  grid.setRows(500);
  grid.setCols(40);
  grid.setText(1, 39, "old");
  loadText("Node Directory\nNode name = A\nComment = c\nNode name = B\n");
  EXPECT_EQ(grid.cols(), 2);
  EXPECT_EQ(table(), (Rows{{"Node name", "Comment"}, {"A", "c"}, {"B", ""}}));
  EXPECT_TRUE(grid.wordWrap());
  EXPECT_EQ(grid.colWidth(1), 800);
  EXPECT_EQ(grid.row(), 0);
}

TEST_F(ReportParser, WithoutSizingTheCellsAreTheSameAndShownColumnsTheNarrowest) {
  const std::string wide(50, 'x');
  ReportLoader loader(shared, report, load, obs, measure, dir.folder());
  loader.setSizeColumns(false);
  loader.load(dir.write("w.txt", "Node Directory\nNode name = " + wide + "\nComment = c\n"), grid);
  EXPECT_EQ(table(), (Rows{{"Node name", "Comment"}, {wide, "c"}}));
  EXPECT_EQ(grid.colWidth(0), 800);  // 6000 when measured
}

TEST_F(ReportParser, ObserverSeesOneWholeLoadAndRowsGrowInBlocksOfHundred) {
  std::string text = "Node Directory\n";
  for (int i = 1; i <= 150; ++i) text += "Node name = N" + std::to_string(i) + "\n";
  std::vector<int> rows;
  obs.onStatus = [&](const std::string&) { rows.push_back(grid.rows()); };
  loadText(text);
  EXPECT_THAT(rows, ElementsAre(102, 151));
  EXPECT_EQ(grid.text(150, 0), "N150");
  EXPECT_EQ(obs.fileTimes, 1);
  EXPECT_THAT(obs.statuses, ElementsAre("Records read: 100 Records outputted 97",
                                        "Finished. Records read: 151 Records outputted 150"));
}

TEST_F(ReportParser, StopEndsTheReadingAndWritesTheEntryBeingReadIfItPassesTheFilter) {
  std::string text = "Node Directory\n";
  for (int i = 1; i <= 80; ++i)
    text += "Node name = N" + std::to_string(i) + "\nComment = " + (i == 50 ? "a" : "b") + "\n";
  obs.onStatus = [this](const std::string&) { load.stopRequested = true; };  // at line 100: entry 50's name
  loadText(text);
  EXPECT_EQ(counters.nout, 50);
  EXPECT_EQ(table().back(), (std::vector<std::string>{"N50", ""}));
  EXPECT_EQ(lastStatus(), "Finished. Records read: 100 Records outputted 50");
  loadText(text);  // still set, also before the load began: nothing is read
  EXPECT_EQ(counters.nread, 0);
  load.stopRequested = false;
  load.filterColumn = 1;
  load.filterValue = "b";
  loadText(text);
  EXPECT_EQ(counters.nout, 49);  // entry 50 ends without its comment
}

TEST_F(ReportParser, MissingFileIsReportedAndLeavesOnlyTheHeaderRow) {
  loadText("Node Directory\nNode name = A\nNode name = B\n");
  obs = {};
  loadFile((dir.path() / "no such report.txt").string());
  ASSERT_EQ(obs.errors.size(), 1u);
  EXPECT_THAT(obs.errors[0], HasSubstr("no such report.txt"));
  EXPECT_EQ(obs.fileTimes, 0);
  EXPECT_EQ(grid.rows(), 1);
  EXPECT_EQ(report.vars.lastIndex(), -1);
  EXPECT_EQ(report.kindHeading, "");
}

}  // namespace
}  // namespace tarvolin::core::test
