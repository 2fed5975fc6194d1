#include "core/report_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load_fixture.h"

namespace tarvolin::core::loadtest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Rows = std::vector<std::vector<std::string>>;

class ReportParser : public LoadFixture {};

// ---- kinds and start names -------------------------------------------------------------

struct KindCase {
  std::string heading;  // as the line stands in the file
  std::string kind;     // snaptype expected
  std::string start;    // name that begins an entry
  std::string sep;      // separator of the kind
  bool databaseLines;   // the kind has lines before its first entry
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
void PrintTo(const KindCase& c, std::ostream* os) { *os << '"' << c.kind << '"'; }

class Kinds : public LoadFixture, public ::testing::WithParamInterface<KindCase> {};

TEST_P(Kinds, CutsEntriesAtTheStartNameWithTheKindsSeparator) {
  const KindCase& k = GetParam();
  std::string text = "\n" + k.heading + "\n\n";
  if (k.databaseLines) text += "Database name " + k.sep + " SAMPLE\nSnapshot taken " + k.sep + " today\n\n";
  text += "  " + k.start + "   " + k.sep + " first\n   Size " + k.sep + " 10\n\n";
  text += k.start + k.sep + "second\nSize" + k.sep + "20\nColour " + k.sep + " red\n";
  loadText(text);

  EXPECT_EQ(shared.snaptype, k.kind);
  EXPECT_THAT(obs.kinds, ElementsAre(k.kind));
  EXPECT_TRUE(obs.errors.empty());
  EXPECT_EQ(table(), (Rows{{k.start, "Size", "Colour"}, {"first", "10", ""}, {"second", "20", "red"}}));
  EXPECT_EQ(counters.nentry, 2);
  EXPECT_EQ(counters.nout, 2);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, Kinds,
    ::testing::Values(
        KindCase{"            Database Lock Snapshot", "Database Lock Snapshot", "Application handle", "=", true},
        KindCase{"Tablespace Snapshot  ", "Tablespace Snapshot", "Tablespace name", "=", true},
        KindCase{" Table Snapshot", "Table Snapshot", "Table Schema", "=", true},
        KindCase{" System Database Directory", "System Database Directory", "Database alias", "=", true},
        KindCase{" Node Directory", "Node Directory", "Node name", "=", true},
        KindCase{"Dynamic SQL Snapshot Result", "Dynamic SQL Snapshot Result", "Number of executions", "=", true},
        KindCase{"                EVENT LOG HEADER", "EVENT LOG HEADER", "Event", ":", true},
        // Not in the table of kinds: the first variable line names the start.
        KindCase{"Application Snapshot", "Application Snapshot", "Application handle", "=", false},
        KindCase{"Database lock snapshot", "Database lock snapshot", "Agent id", "=", false},
        KindCase{"Node\tDirectory", "Node\tDirectory", "Node name", "=", false}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return "case" + std::to_string(info.index); });

TEST(FindKind, KnowsTheSevenHeadingsExactly) {
  ASSERT_NE(findKind("Database Lock Snapshot"), nullptr);
  EXPECT_EQ(findKind("Database Lock Snapshot")->startvar2, "Lock Object Name");
  EXPECT_EQ(findKind("EVENT LOG HEADER")->sep, ':');
  EXPECT_EQ(findKind("Node Directory")->startvar2, "");
  EXPECT_EQ(findKind("node directory"), nullptr);
  EXPECT_EQ(findKind(" Node Directory"), nullptr);
  EXPECT_EQ(findKind(""), nullptr);
}

TEST_F(ReportParser, LockSnapshotInterleavesApplicationAndLockRows) {
  loadText(
      "   Database Lock Snapshot\n\n"
      "Database name                = ORD\nLocks held                   = 3\n\n"
      "Application handle           = 7\nApplication name             = batch\nLocks held                   = 2\n\n"
      "List Of Locks\n"
      " Lock Name                   = 0x01\n Lock Object Name            = 28\n Mode                        = IX\n\n"
      " Lock Name                   = 0x02\n Lock Object Name            = 29\n Mode                        = X\n\n"
      "Application handle           = 9\nApplication name             = db2bp\nLocks held                   = 0\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"Application handle", "Application name", "Locks held", "Lock Name",
                                               "Lock Object Name", "Mode"}));
  // A lock's attributes printed above its "Lock Object Name" belong to the entry before it.
  EXPECT_EQ(table(),
            (Rows{{"Application handle", "Application name", "Locks held", "Lock Name", "Lock Object Name", "Mode"},
                  {"7", "batch", "2", "0x01", "", ""},
                  {"", "", "", "0x02", "28", "IX"},
                  {"", "", "", "", "29", "X"},
                  {"9", "db2bp", "0", "", "", ""}}));
  EXPECT_EQ(lastStatus(), "Finished. Records read: 21 Records outputted 4");
}

// ---- the preamble ------------------------------------------------------------------

struct PreambleCase {
  std::string before;  // lines in front of "Node Directory"
  std::string kind;    // heading taken
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
void PrintTo(const PreambleCase& c, std::ostream* os) { *os << '"' << c.kind << '"'; }

class Preamble : public LoadFixture, public ::testing::WithParamInterface<PreambleCase> {};

TEST_P(Preamble, SkipsBlankEchoAndHyphenLinesOnly) {
  loadText(GetParam().before + "Node Directory\n Node name = N1\n");
  EXPECT_EQ(shared.snaptype, GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Preamble,
    ::testing::Values(PreambleCase{"", "Node Directory"}, PreambleCase{"\n   \n\n", "Node Directory"},
                      PreambleCase{"echo list node directory\n", "Node Directory"},
                      PreambleCase{"db2 => @echo off\n", "Node Directory"},
                      PreambleCase{"----------\n", "Node Directory"},
                      PreambleCase{"-----------------------------------\n", "Node Directory"},
                      PreambleCase{"----------not hyphens after ten\n", "Node Directory"}, PreambleCase{"\t\n", "\t"},
                      PreambleCase{"ECHO in capitals\n", "ECHO in capitals"}, PreambleCase{"---------\n", "---------"},
                      PreambleCase{" ----------\n", "----------"},
                      PreambleCase{"db2 list node directory\n", "db2 list node directory"}));

TEST_F(ReportParser, FileWithoutHeadingLoadsAsEmptyReport) {
  writeConfig("", "Y;;;;;Should not be read;\r\n");
  loadText("\n   \necho one\n----------\n");
  EXPECT_EQ(shared.snaptype, "");
  EXPECT_TRUE(obs.kinds.empty());
  EXPECT_EQ(shared.vars.maxvar(), -1);
  EXPECT_EQ(grid.rows(), 1);
  EXPECT_TRUE(obs.errors.empty());
  EXPECT_EQ(lastStatus(), "Finished. Records read: 4 Records outputted 0");
}

TEST_F(ReportParser, EchoAfterTheHeadingIsAnOrdinaryLine) {
  loadText("Node Directory\n Node name = echo\n----------\n Comment = ---------- echo\n");
  EXPECT_EQ(table(), (Rows{{"Node name", "Comment"}, {"echo", "---------- echo"}}));
}

// ---- separators --------------------------------------------------------------------

struct SplitCase {
  std::string heading;
  std::string line;  // follows one start line in the body
  std::string name;  // variable expected ("" when the line is ignored)
  std::string value;
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class Separators : public LoadFixture, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(Separators, SplitAtTheFirstSeparatorAndTrimBlanksOnly) {
  const SplitCase& c = GetParam();
  const std::string start = c.heading == "EVENT LOG HEADER" ? "Event: E1\n" : "Node name = N1\n";
  loadText(c.heading + "\n" + start + c.line + "\n");
  ASSERT_TRUE(obs.errors.empty());
  if (c.name.empty()) {
    EXPECT_EQ(shared.vars.maxvar(), 0) << "line should be ignored";
    return;
  }
  ASSERT_EQ(shared.vars.maxvar(), 1);
  EXPECT_EQ(shared.vars[1].name, c.name);
  EXPECT_EQ(grid.text(1, 1), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Separators,
    ::testing::Values(SplitCase{"Node Directory", " Statement text = SELECT A FROM T WHERE B = 1", "Statement text",
                                "SELECT A FROM T WHERE B = 1"},
                      SplitCase{"Node Directory", " Comment                =", "Comment", ""},
                      SplitCase{"Node Directory", "Comment=   ", "Comment", ""},
                      SplitCase{"Node Directory", "\tTabbed\t = \tvalue\t ", "\tTabbed\t", "\tvalue\t"},
                      SplitCase{"Node Directory", "Time : 10:22:01", "", ""},
                      SplitCase{"Node Directory", "List Of Locks", "", ""},
                      SplitCase{"Node Directory", "Node 2 entry:", "", ""},
                      SplitCase{"Node Directory", "Deadlock Event ...", "", ""},
                      SplitCase{"EVENT LOG HEADER", "  Lock wait start time: 11/27/2026 16:42:12.004418",
                                "Lock wait start time", "11/27/2026 16:42:12.004418"},
                      SplitCase{"EVENT LOG HEADER", "  Table of lock waited on      : PRICE_LIST",
                                "Table of lock waited on", "PRICE_LIST"},
                      SplitCase{"EVENT LOG HEADER", "  Rows read = 12", "", ""},
                      SplitCase{"EVENT LOG HEADER", "  Deadlocked Connection ...", "", ""}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(ReportParser, EmptyNameIsAVariableOfItsOwn) {
  loadText("Node Directory\nNode name = N1\n = nameless\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"Node name", ""}));
  EXPECT_EQ(grid.text(1, 1), "nameless");
}

TEST_F(ReportParser, NamesDifferingInCaseOrInnerBlanksAreDifferentVariables) {
  loadText("Node Directory\nNode name = N1\nService name = a\nservice name = b\nService  name = c\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"Node name", "Service name", "service name", "Service  name"}));
}

// ---- event lines ---------------------------------------------------------------------

TEST_F(ReportParser, EventLogSplitsAtColonAndStartsEntriesAtEventLines) {
  loadText(
      "--------------------------------------------------------------------------\n"
      "                            EVENT LOG HEADER\n"
      "  Event Monitor name: LOCKEVMON\n"
      "  Server Product ID:  SQL11055\n"
      "--------------------------------------------------------------------------\n\n"
      "3) Connection Header Event ...\n"
      "  Appl Handle: 17\n"
      "  Connect timestamp: 11/27/2026 15:40:11.020876\n\n"
      "4) Deadlock Event ...\n"
      "  Deadlock ID:   1\n"
      "5) Deadlocked Connection ...\n"
      "  Deadlock ID:   2\n");
  EXPECT_EQ(shared.snaptype, "EVENT LOG HEADER");
  EXPECT_EQ(table(), (Rows{{"Event", "Appl Handle", "Connect timestamp", "Deadlock ID"},
                           {"3) Connection Header Event ...", "17", "11/27/2026 15:40:11.020876", ""},
                           {"4) Deadlock Event ...", "", "", "2"}}));
}

TEST_F(ReportParser, EventLineInAnEqualsReportIsIgnored) {
  loadText("Node Directory\nNode name = N1\n4) Deadlock Event ...\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"Node name"}));
  EXPECT_EQ(grid.rows(), 2);
}

// ---- entries --------------------------------------------------------------------

TEST_F(ReportParser, LinesBeforeTheFirstEntryAddNoColumnsAndNoRows) {
  loadText(" Node Directory\n\n Number of entries in the directory = 2\n\nNode 1 entry:\n\n Node name = A\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"Node name"}));
  EXPECT_EQ(table(), (Rows{{"Node name"}, {"A"}}));
}

TEST_F(ReportParser, NameTwiceInOneEntryKeepsItsLastValue) {
  loadText("Node Directory\nNode name = A\nComment = one\nComment = two\nNode name = B\nComment = three\n");
  EXPECT_EQ(table(), (Rows{{"Node name", "Comment"}, {"A", "two"}, {"B", "three"}}));
}

TEST_F(ReportParser, AReportOfOneVariableKeepsTheSecondEmptyColumn) {
  loadText("Node Directory\nNode name = A\n");
  EXPECT_EQ(grid.cols(), 2);
  EXPECT_EQ(grid.text(0, 1), "");
}

// ---- continued "Dynamic SQL" variables ----------------------------------------------------

struct ContinuedCase {
  std::string after;  // what follows "Dynamic SQL statement text:"
  std::string value;
  int nread;  // lines counted
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
void PrintTo(const ContinuedCase& c, std::ostream* os) { *os << '"' << c.after << '"'; }

class Continued : public LoadFixture, public ::testing::WithParamInterface<ContinuedCase> {};

TEST_P(Continued, TakesTheNextLineOrTheOneAfterAnEmptyLine) {
  const ContinuedCase& c = GetParam();
  loadText("Application Snapshot\nApplication handle = 1\nDynamic SQL statement text:\n" + c.after +
           "Application handle = 2\n");
  ASSERT_TRUE(obs.errors.empty());
  EXPECT_EQ(cell(1, "Dynamic SQL statement text:"), c.value);
  EXPECT_EQ(cell(2, "Application handle"), "2");
  EXPECT_EQ(counters.nread, c.nread);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Continued,
    ::testing::Values(ContinuedCase{"  select * from t where a = 'x'  \n", "select * from t where a = 'x'", 4},
                      ContinuedCase{"\nselect 2\n", "select 2", 4}, ContinuedCase{"\r\nselect 3\r\n", "select 3", 4},
                      // a line of blanks is not empty: it is the (empty) value, and the
                      // statement after it is a line without separator
                      ContinuedCase{"   \nselect 4\n", "", 5},
                      ContinuedCase{"Application name = hidden\n", "Application name = hidden", 4}));

TEST_F(ReportParser, ContinuedVariableIsTakenBeforeTheFirstEntry) {
  loadText("Application Snapshot\nDynamic SQL statement text:\nselect 1\nApplication handle = 1\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"Dynamic SQL statement text:", "Application handle"}));
  // It makes the first entry hold data, so it is written when the first entry begins.
  EXPECT_EQ(table(), (Rows{{"Dynamic SQL statement text:", "Application handle"}, {"select 1", ""}, {"", "1"}}));
}

TEST_F(ReportParser, ContinuedVariableDoesNotStartAnEntry) {
  loadText("Application Snapshot\nDynamic SQL text:\nselect 1\nDynamic SQL text:\nselect 2\nA = 1\n");
  // The first variable line names the start; the continued ones don't.
  EXPECT_EQ(table(), (Rows{{"Dynamic SQL text:", "A"}, {"select 2", ""}, {"", "1"}}));
}

TEST_F(ReportParser, FileEndingAtAContinuedVariableIsAnErrorThatKeepsTheRows) {
  for (const std::string tail : {"", "\n", "\r\n\r\n"}) {
    SCOPED_TRACE(testing::PrintToString(tail));
    obs = {};
    loadText(
        "Application Snapshot\nApplication handle = 1\nApplication handle = 2\nApplication name = x\n"
        "Dynamic SQL statement text:" +
        tail);
    ASSERT_EQ(obs.errors.size(), 1u);
    EXPECT_THAT(obs.errors[0], HasSubstr("report.txt"));
    EXPECT_TRUE(counters.failed);
    // The entry being read (handle 2) is not written.
    EXPECT_EQ(table(), (Rows{{"Application handle", "Application name"}, {"1", ""}}));
    EXPECT_EQ(lastStatus(), "Finished. Records read: 5 Records outputted 1");
  }
}

// ---- the reload filter -------------------------------------------------------------------

TEST_F(ReportParser, ReloadFilterWritesOnlyMatchingEntriesTheLastIncluded) {
  const std::string text =
      "Node Directory\nNode name = A\nProtocol = TCPIP\nNode name = B\nProtocol = tcpip\nNode name = C\n"
      "Node name = D\nProtocol = TCPIP\n";
  load.like_col = 1;
  load.like_val = "TCPIP";
  loadText(text);
  EXPECT_EQ(table(), (Rows{{"Node name", "Protocol"}, {"A", "TCPIP"}, {"D", "TCPIP"}}));
  EXPECT_EQ(counters.nentry, 4);
  EXPECT_EQ(counters.nout, 2);
  EXPECT_EQ(lastStatus(), "Finished. Records read: 8 Records outputted 2");
  EXPECT_EQ(load.like_val, "");  // serves one load only

  loadText(text);
  EXPECT_EQ(counters.nout, 4);
}

TEST_F(ReportParser, ReloadFilterOnAColumnNoEntryHasWritesNothing) {
  load.like_col = 7;
  load.like_val = "x";
  loadText("Node Directory\nNode name = A\n");
  EXPECT_EQ(counters.nout, 0);
  EXPECT_EQ(grid.rows(), 1);
  EXPECT_EQ(grid.text(0, 0), "Node name");
}

// ---- the table limit -------------------------------------------------------------------

std::string reportWithNames(int distinct) {
  std::string text = "Node Directory\nNode name = first\nOld = 1\nNode name = second\n";
  for (int i = 3; i <= distinct; ++i) text += "V" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  return text + "Node name = third\n";
}

TEST_F(ReportParser, FiveHundredAndOneVariablesLoad) {
  loadText(reportWithNames(501));
  EXPECT_TRUE(obs.errors.empty());
  EXPECT_EQ(shared.vars.maxvar(), 500);
  EXPECT_EQ(grid.cols(), 501);
  EXPECT_EQ(counters.nout, 3);
  EXPECT_EQ(grid.text(2, 500), "501");
}

TEST_F(ReportParser, FiveHundredAndSecondVariableEndsTheLoadKeepingTheRows) {
  loadText(reportWithNames(502));
  ASSERT_EQ(obs.errors.size(), 1u);
  EXPECT_THAT(obs.errors[0], HasSubstr("V502"));
  EXPECT_EQ(shared.vars.maxvar(), 500);
  EXPECT_EQ(counters.nout, 1);
  EXPECT_EQ(grid.rows(), 2);
  EXPECT_EQ(grid.text(0, 500), "V501");
  EXPECT_EQ(grid.text(1, 0), "first");
  EXPECT_EQ(lastStatus(), "Finished. Records read: " + std::to_string(4 + 500) + " Records outputted 1");
}

TEST_F(ReportParser, ConfigurationOfFiveHundredAndOneLeavesNoRoomForANewName) {
  std::string cfg;
  for (int i = 0; i < 501; ++i) cfg += "Y;;;;;C" + std::to_string(i) + ";\r\n";
  writeConfig("NodeDirectory", cfg);
  loadText("Node Directory\nC3 = x\nNode name = A\n");
  EXPECT_EQ(obs.errors.size(), 1u);
  EXPECT_EQ(shared.vars.maxvar(), 500);
}

TEST_F(ReportParser, ValuesOfTheLastLoadBeyondTheNewTableAreCleared) {
  std::string big = "Node Directory\nNode name = A\n";
  for (int i = 1; i < 80; ++i) big += "V" + std::to_string(i) + " = v\n";
  loadText(big);
  ASSERT_EQ(shared.vars.maxvar(), 79);
  loadText("Node Directory\nNode name = A\n");
  for (int i = 1; i < 80; ++i) EXPECT_EQ(load.vals[static_cast<size_t>(i)], "") << i;
}

// ---- configuration and layout --------------------------------------------------------------

TEST_F(ReportParser, ConfigurationOrdersHidesAndKeepsColumns) {
  writeConfig("NodeDirectory", "Y;;;;;Protocol;\r\nN;;;;;Comment;\r\nY;;;;;Never mentioned;\r\nY;;;;; Node name;\r\n");
  loadText(" Node  Directory \nNode name = A\nComment = secret\nProtocol = TCPIP\nHostname = h\n");
  // "Node  Directory" is not a known kind: its start is its first variable, its file the same.
  EXPECT_EQ(names(), (std::vector<std::string>{"Protocol", "Comment", "Never mentioned", " Node name", "Node name",
                                               "Hostname"}));
  EXPECT_EQ(table(), (Rows{{"Protocol", "Comment", "Never mentioned", " Node name", "Node name", "Hostname"},
                           {"TCPIP", "secret", "", "", "A", "h"}}));
  EXPECT_EQ(grid.colWidth(1), 0);
  EXPECT_EQ(grid.colWidth(2), kMinColWidth);
  EXPECT_EQ(grid.colWidth(3), kMinColWidth);
}

TEST_F(ReportParser, LayoutOfTheFinishedGrid) {
  shared.lockcol = true;
  grid.setRows(500);
  grid.setCols(40);
  loadText("Node Directory\nNode name = A\nComment = c\nNode name = B\n");
  EXPECT_EQ(grid.rows(), 3);
  EXPECT_EQ(grid.cols(), 2);
  EXPECT_EQ(grid.fixedRows(), 1);
  EXPECT_EQ(grid.fixedCols(), 1);
  EXPECT_EQ(grid.rowHeight(0), kHeaderRowHeight);
  EXPECT_TRUE(grid.redraw());
  EXPECT_TRUE(grid.wordWrap());
  EXPECT_EQ(grid.row(), 0);
  EXPECT_EQ(grid.colAlignment(0), Alignment::LeftTop);
  EXPECT_EQ(grid.colAlignment(1), Alignment::LeftTop);
  EXPECT_EQ(grid.colWidth(0), kMinColWidth);

  shared.lockcol = false;
  loadText("Node Directory\nNode name = A\n");
  EXPECT_EQ(grid.fixedCols(), 0);
}

TEST_F(ReportParser, LoadStartsFromTwoColumns) {
  grid.setCols(40);
  grid.setText(1, 39, "old");
  loadText("Node Directory\nNode name = A\nComment = c\n");
  EXPECT_EQ(grid.cols(), 2);
  EXPECT_EQ(table(), (Rows{{"Node name", "Comment"}, {"A", "c"}}));
}

TEST_F(ReportParser, ObserverSeesOneWholeLoad) {
  std::string text = "Node Directory\n";
  for (int i = 0; i < 120; ++i) text += "Node name = N" + std::to_string(i) + "\n";
  loadText(text);
  EXPECT_THAT(obs.waitCursor, ElementsAre(true, false));
  EXPECT_THAT(obs.stopEnabled, ElementsAre(true, false));
  EXPECT_EQ(obs.fileTimes, 1);
  EXPECT_EQ(obs.yields, 121);
  EXPECT_THAT(obs.statuses, ElementsAre("Records read: 100 Records outputted 97",
                                        "Finished. Records read: 121 Records outputted 120"));
}

// ---- row blocks ----------------------------------------------------------------------

TEST(OutputEntry, AddsRowsInBlocksOfHundredAndWidensColumns) {
  GridStore g;
  LoadState load;
  load.vals[0] = "a";
  load.vals[4] = "e";
  g.setRows(100);
  outputentry(1, 4, g, 99, load);
  EXPECT_EQ(g.rows(), 100);
  EXPECT_EQ(g.cols(), 5);
  EXPECT_THAT(gridRow(g, 99), ElementsAre("a", "", "", "", "e"));
  outputentry(2, 1, g, 100, load);
  EXPECT_EQ(g.rows(), 200);
  EXPECT_EQ(g.cols(), 5);
  EXPECT_THAT(gridRow(g, 100), ElementsAre("a", "", "", "", ""));
}

TEST_F(ReportParser, RowsGrowInBlocksWhileLoadingAndAreCutAtTheEnd) {
  std::string text = "Node Directory\n";
  for (int i = 1; i <= 150; ++i) text += "Node name = N" + std::to_string(i) + "\n";
  std::vector<int> seen;
  obs.onYield = [&](int) {
    if (seen.empty() || seen.back() != grid.rows()) seen.push_back(grid.rows());
  };
  loadText(text);
  EXPECT_THAT(seen, ElementsAre(2, 102, 202));
  EXPECT_EQ(grid.rows(), 151);
  EXPECT_EQ(grid.text(150, 0), "N150");
}

// ---- outputheaders --------------------------------------------------------------------

TEST(OutputHeaders, LaysOutEveryColumnFromTheTable) {
  VariableTable vars;
  vars.appendName("narrow");
  vars.appendName("wide");
  vars.appendName("hidden");
  vars.setWidth(0, 799);
  vars.setWidth(1, 801);
  vars.setWidth(2, 5000);
  vars.edit(2).show = false;
  GridStore g;
  g.setRows(3);
  g.setSelection(2, 1, 2, 1);
  outputheaders(2, g, vars);
  EXPECT_THAT(gridRow(g, 0), ElementsAre("narrow", "wide", "hidden"));
  EXPECT_EQ(g.colWidth(0), 800);
  EXPECT_EQ(g.colWidth(1), 801);
  EXPECT_EQ(g.colWidth(2), 0);
  EXPECT_EQ(g.row(), 0);
  EXPECT_EQ(g.col(), 2);
  EXPECT_TRUE(g.wordWrap());
  for (int c = 0; c < 3; ++c) EXPECT_EQ(g.colAlignment(c), Alignment::LeftTop);
}

TEST(OutputHeaders, EmptyTableChangesOnlyTheCurrentRow) {
  VariableTable vars;
  GridStore g;
  g.setSelection(1, 1, 1, 1);
  g.setColWidth(0, 1234);
  outputheaders(-1, g, vars);
  EXPECT_EQ(g.row(), 0);
  EXPECT_EQ(g.colWidth(0), 1234);
  EXPECT_FALSE(g.wordWrap());
  EXPECT_EQ(g.cols(), 2);
}

// ---- Stop -------------------------------------------------------------------------

TEST_F(ReportParser, StopEndsTheReadingAndWritesTheEntryBeingRead) {
  obs.onYield = [this](int line) {
    if (line == 5) load.stopflag = true;
  };
  loadText("Node Directory\nNode name = A\nComment = a\nNode name = B\nComment = b\nNode name = C\nComment = c\n");
  EXPECT_TRUE(obs.errors.empty());
  EXPECT_EQ(table(), (Rows{{"Node name", "Comment"}, {"A", "a"}, {"B", "b"}}));
  EXPECT_EQ(lastStatus(), "Finished. Records read: 5 Records outputted 2");
  EXPECT_THAT(obs.stopEnabled, ElementsAre(true, false));
  EXPECT_THAT(obs.waitCursor, ElementsAre(true, false));
}

TEST_F(ReportParser, StopAppliesTheReloadFilterToTheEntryBeingRead) {
  obs.onYield = [this](int line) {
    if (line == 4) load.stopflag = true;
  };
  load.like_col = 1;
  load.like_val = "a";
  loadText("Node Directory\nNode name = A\nComment = a\nNode name = B\nComment = b\n");
  EXPECT_EQ(table(), (Rows{{"Node name", "Comment"}, {"A", "a"}}));
}

TEST_F(ReportParser, StopBeforeALoadIsForgottenByTheLoad) {
  load.stopflag = true;
  loadText("Node Directory\nNode name = A\n");
  EXPECT_EQ(counters.nout, 1);
}

// ---- errors ----------------------------------------------------------------------------

TEST_F(ReportParser, MissingFileIsReportedAndLeavesOnlyTheHeaderRow) {
  loadText("Node Directory\nNode name = A\nNode name = B\n");
  ASSERT_EQ(grid.fixedRows(), 1);
  obs = {};
  loadFile((dir.path() / "no such report.txt").string());
  ASSERT_EQ(obs.errors.size(), 1u);
  EXPECT_THAT(obs.errors[0], HasSubstr("no such report.txt"));
  EXPECT_EQ(obs.fileTimes, 0);
  EXPECT_EQ(grid.rows(), 1);
  EXPECT_EQ(grid.fixedRows(), 1);  // left as it was
  EXPECT_EQ(shared.vars.maxvar(), -1);
  EXPECT_EQ(shared.snaptype, "");
  EXPECT_EQ(lastStatus(), "Finished. Records read: 0 Records outputted 0");
  EXPECT_THAT(obs.stopEnabled, ElementsAre(true, false));
}

TEST_F(ReportParser, DirectoryOrEmptyNameIsAnError) {
  for (const std::string& path : {dir.path().string(), std::string()}) {
    obs = {};
    loadFile(path);
    EXPECT_EQ(obs.errors.size(), 1u) << path;
    EXPECT_TRUE(counters.failed);
  }
}

TEST_F(ReportParser, BinaryGarbageLoadsWithoutACrash) {
  std::string text = "Node Directory\nNode name = A\n";
  for (int i = 0; i < 4096; ++i) text.push_back(static_cast<char>((i * 7919) & 0xFF));
  text += std::string("\nComment = x\0y", 14) + "\n";
  loadText(text);
  EXPECT_TRUE(obs.errors.empty());
  EXPECT_EQ(cell(1, "Comment"), std::string("x\0y", 3));
}

}  // namespace
}  // namespace tarvolin::core::loadtest
