// A series: every consecutive pair of snapshots compared, and the chart's points.
#include <gtest/gtest.h>

#include <array>

#include "core/load_fixture.h"
#include "core/read/known_indexes.h"
#include "core/read/report_reader.h"
#include "core/series/chart_data.h"
#include "core/series/series.h"

namespace tarvolin::core {
namespace {

using test::TempDir;

/// A table snapshot taken at `time` (none when empty) of tables "NAME=ROWSREAD;...".
std::string tables(const std::string& time, const std::vector<std::pair<std::string, std::string>>& rows) {
  std::string text = "\n                        Table Snapshot\n\nDatabase name = ORDERS\n";
  if (!time.empty()) text += "Snapshot timestamp = " + time + "\n";
  text += "\nTable List\n";
  for (const auto& [name, read] : rows)
    text.append(" Table Schema = SHOP\n Table Name = ")
        .append(name)
        .append("\n Rows Read = ")
        .append(read)
        .append("\n Table Type = User\n\n");
  return text;
}

class Series : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> errors;
    types = CounterTypes::parse("counter Rows Read\ngauge Data Object Pages\n", errors);
  }
  std::string file(const std::string& text) { return dir.write("s" + std::to_string(++files) + ".txt", text); }
  /// The series of `paths` as TSV lines; `snapshots` gets their number.
  std::vector<std::string> run(const std::vector<std::string>& paths, std::optional<int64_t> given = {},
                               const DerivedDefinitions* derived = nullptr, std::optional<std::string> kind = {},
                               std::optional<DateOrder> dates = {}) {
    SeriesTable table(derived);
    std::vector<std::string> lines;
    notes.clear();
    IntervalHooks hooks{[&](const std::string& note) { notes.push_back(note); },
                        [&](SeriesInterval& iv) { table.plan(iv); }};
    const auto take = [&](SeriesInterval& iv) {
      table.write(iv, [&](const GridStore& g, const std::vector<int>& cols) {
        for (int r = 0; r < g.rows(); ++r) {
          std::string line;
          for (size_t i = 0; i < cols.size(); ++i) line += (i ? "\t" : "") + std::string(g.text(r, cols[i]));
          lines.push_back(line);
        }
      });
    };
    snapshots = forEachInterval({paths, std::move(kind), dir.folder(), dates}, types, given, take, hooks);
    dropped = table.dropped();
    return lines;
  }
  TempDir dir;
  CounterTypes types;
  int files = 0;
  int snapshots = 0;
  std::vector<std::string> dropped;
  std::vector<std::string> notes;
};

constexpr const char* kHeader =
    "From\tTo\tChange\tTable Schema\tTable Name\tRows Read\tRows Read (change)\tRows Read (per s)\tTable Type";

TEST_F(Series, PairsInOrderWithResetsAndEntriesThatAppear) {
  const std::string s1 = tables("2026-12-01 10:00:00", {{"A", "100"}});
  const std::string s2 = tables("2026-12-01 10:01:00", {{"A", "160"}, {"B", "5"}});
  const std::string s3 = tables("2026-12-01 10:02:00", {{"A", "10"}, {"B", "65"}});
  const std::vector<std::string> expected = {
      kHeader,
      "2026-12-01 10:00:00\t2026-12-01 10:01:00\t\tSHOP\tA\t160\t60\t1.000\tUser",
      "2026-12-01 10:00:00\t2026-12-01 10:01:00\tnew\tSHOP\tB\t5\t5\t0.083\tUser",  // counted from zero
      "2026-12-01 10:01:00\t2026-12-01 10:02:00\treset\tSHOP\tA\t10\t\t\tUser",
      "2026-12-01 10:01:00\t2026-12-01 10:02:00\t\tSHOP\tB\t65\t60\t1.000\tUser",
  };
  // One file holding the three, the three as files, and a mix give the same rows.
  EXPECT_EQ(run({file(s1 + s2 + s3)}), expected);
  EXPECT_EQ(snapshots, 3);
  EXPECT_EQ(run({file(s1), file(s2), file(s3)}), expected);
  EXPECT_EQ(run({file(s1 + s2), file(s3)}), expected);
  // A minute without the kind (empty, SQL1611W, other kinds only) is skipped: the next interval spans it.
  const std::string other = "\n  Bufferpool Snapshot\n\nBufferpool name = IBMDEFAULTBP\n\n";
  EXPECT_EQ(run({file(s1), file(""), file("SQL1611W  No data was returned by Database System Monitor.\n"), file(s2),
                 file(other), file(s3)}),
            expected);
  ASSERT_EQ(notes.size(), 3U);
  EXPECT_EQ(notes[0], dir.folder() + "/s8.txt: no Table Snapshot, skipped");
  // --kind N is the kind's number in the first file; later files are matched by its heading.
  EXPECT_EQ(run({file(s1 + other), file(other + s2 + s3)}, {}, nullptr, "1"), expected);
  EXPECT_THROW(run({file(s1), file(s2)}, {}, nullptr, "2"), NoSuchKindError);
}

TEST_F(Series, WithoutTimesSnapshotsAreNumberedAcrossFilesAndTheGivenIntervalGivesRates) {
  const std::vector<std::string> lines =
      run({file(tables("", {{"A", "0"}}) + tables("", {{"A", "30"}})), file(tables("", {{"A", "90"}}))}, 30'000'000);
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[1], "#1\t#2\t\tSHOP\tA\t30\t30\t1.000\tUser");
  EXPECT_EQ(lines[2], "#2\t#3\t\tSHOP\tA\t90\t60\t2.000\tUser");
}

TEST_F(Series, OneSnapshotGivesNoInterval) {
  EXPECT_TRUE(run({file(tables("2026-12-01 10:00:00", {{"A", "1"}}))}).empty());
  EXPECT_EQ(snapshots, 1);
}

TEST_F(Series, ALaterIntervalsColumnComesAfterTheOneItFollows) {
  std::string s3 = tables("", {{"A", "3"}});
  s3.insert(s3.find(" Rows Read"), " Overflows = 4\n");
  const std::vector<std::string> lines =
      run({file(tables("", {{"A", "1"}})), file(tables("", {{"A", "2"}})), file(s3)});
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0],
            "From\tTo\tChange\tTable Schema\tTable Name\tOverflows\tRows Read\tRows Read (change)\t"
            "Rows Read (per s)\tTable Type");
  EXPECT_EQ(lines[1], "#1\t#2\t\tSHOP\tA\t\t2\t1\t\tUser");
  EXPECT_EQ(lines[2], "#2\t#3\t\tSHOP\tA\t4\t3\t1\t\tUser");
  EXPECT_TRUE(dropped.empty());
}

TEST_F(Series, OneDateOrderForAllTheFiles) {
  // Day first, from the 12th to the 13th: one connect time, not a restart, and a minute.
  const auto snapshot = [](const std::string& time, const std::string& read) {
    return "\n  Table Snapshot\n\nFirst database connect timestamp = 12/05/2026 08:00:00\nSnapshot timestamp = " +
           time + "\n\nTable List\n Table Schema = SHOP\n Table Name = A\n Rows Read = " + read + "\n\n";
  };
  const std::vector<std::string> paths = {file(snapshot("12/05/2026 23:59:30", "100")),
                                          file(snapshot("13/05/2026 00:00:30", "160"))};
  EXPECT_EQ(run(paths).at(1), "12/05/2026 23:59:30\t13/05/2026 00:00:30\t\tSHOP\tA\t160\t60\t1.000");
  EXPECT_TRUE(notes.empty());
  // Month first, as --date-order may say: the 13th can't be read, which standard error says.
  EXPECT_EQ(run(paths, {}, nullptr, {}, DateOrder::MDY).at(1),
            "12/05/2026 23:59:30\t13/05/2026 00:00:30\t\tSHOP\tA\t160\t60\t");
  ASSERT_EQ(notes.size(), 1U);
  EXPECT_NE(notes[0].find("\"13/05/2026 00:00:30\" is no date month first (MDY), the order --date-order gives"),
            std::string::npos)
      << notes[0];
  // A later stamp that reads only month first: said, naming --date-order.
  run({paths[0], paths[1], file(snapshot("05/14/2026 00:01:30", "170"))});
  ASSERT_EQ(notes.size(), 1U);
  EXPECT_EQ(notes[0],
            "Dates: read day first (DMY) as \"13/05/2026 00:00:30\" shows, but \"05/14/2026 00:01:30\" "
            "reads only the other way: the intervals next to it are wrong; --date-order sets the order");
  ChartSeries chart("Rows Read", ValueType::Counter);
  chart.setDateOrder(DateOrder::DMY);
  for (const std::string& path : paths)
    forEachSeriesSnapshot({{path}, {}, dir.folder(), {}},
                          [&](LoadedSnapshot& s, int n) { chart.add(s, snapshotLabel(s, n)); });
  EXPECT_EQ(chart.chart(ChartMeasure::Rate, "").lines.at(0).text, (std::vector<std::string>{"", "1.000"}));
}

/// The numbers of the snapshots of `times` that the window holds, read as a loader hands
/// them on (ending at the first after the window); or what its TIME's error says.
std::string windowOf(const std::string& from, const std::string& to, const std::vector<std::string>& times,
                     std::optional<DateOrder> order = {}) {
  try {
    WindowMatcher m(parseSnapshotWindow(from, to), order);
    std::string got;
    for (int n = 1; n <= static_cast<int>(times.size()); ++n) {
      const WindowMatcher::Place place = m.place(n, times[static_cast<size_t>(n - 1)]);
      if (place == WindowMatcher::Place::After) break;
      if (place == WindowMatcher::Place::Inside) got += (got.empty() ? "" : ",") + std::to_string(n);
      if (m.endsBy(n)) break;
    }
    return got.empty() ? m.emptyMessage(m.lastTime()) : got;
  } catch (const WindowError& e) {
    return std::string("error: ") + e.what();
  }
}

TEST(SnapshotWindow, TimesAsPrintedOnTheDayOrByNumberBothEndsIncluded) {
  const std::vector<std::string> day = {"12/07/2026 16:05:00.121034", "12/07/2026 16:06:00.123518",
                                        "12/07/2026 16:07:00.000000", "12/07/2026 16:15:40.500000",
                                        "12/07/2026 23:59:30.000000", "12/08/2026 00:00:30.000000"};
  const std::vector<std::string> dayFirst = {"06/12/2026 10:00:00", "13/12/2026 10:01:00", "14/12/2026 09:00:00"};
  const std::vector<std::string> yearFirst = {"2026-12-07 16:05:00.5", "2026-12-07 16:06:00.5"};
  const struct {
    std::string from, to;
    const std::vector<std::string>& times;
    std::optional<DateOrder> order;
    std::string got;
  } cases[] = {
      {"16:06", "16:15", day, {}, "2,3,4"},  // a minute covered whole: 16:15:40 is in
      {"16:06:00", "16:07:00", day, {}, "2,3"},
      {"16:06:00.1", "", day, {}, "2,3,4,5,6"},  // .1 covers .100000 to .199999
      {"16:06:00.123518", "16:06:00.123518", day, {}, "2"},
      {"16:06:00.123519",
       "16:06:00.2",
       day,
       {},
       "--from 16:06:00.123519 --to 16:06:00.2 holds no snapshot; the "
       "capture's snapshots are from 12/07/2026 16:05:00.121034 to "
       "12/07/2026 16:07:00.000000"},  // read up to the first after it
      {"#2", "#4", day, {}, "2,3,4"},
      {"#3", "16:15", day, {}, "3,4"},
      {"", "#1", day, {}, "1"},
      {"12/07/2026 16:07", "12/08/2026 00:00:30", day, {}, "3,4,5,6"},
      {"23:59", "00:01", day, {}, "5,6"},  // over midnight
      {"12/07/2026 16:08",
       "12/07/2026 16:05",
       day,
       {},
       "--from 12/07/2026 16:08:00 --to 12/07/2026 16:05:00 holds "
       "no snapshot; the capture's snapshots are from 12/07/2026 "
       "16:05:00.121034 to 12/07/2026 16:06:00.123518"},
      {"13/12/2026 10:01", "", dayFirst, {}, "2,3"},  // a day above 12 tells the order
      {"06/12/2026 10:00", "06/12/2026 10:00", dayFirst, DateOrder::DMY, "1"},
      {"13/12/2026 10:01", "", dayFirst, DateOrder::MDY, "error: \"13/12/2026 10:01:00\" is no date month first"},
      {"2026-12-07 16:06", "16:06:00.5", yearFirst, {}, "2"},
      {"#0", "", day, {}, "error: \"#0\" is no snapshot number: #N counts the snapshots from 1"},
      {"25:00", "", day, {}, "error: \"25:00\" is no time"},
      {"12/07/2026", "", day, {}, "error: \"12/07/2026\" is no time"},
      {"16:5", "", day, {}, "error: \"16:5\" is no time"},
      {"13/13/2026 10:00", "", day, {}, "error: \"13/13/2026 10:00\" is no time"},
  };
  for (const auto& c : cases) {
    const std::string got = windowOf(c.from, c.to, c.times, c.order);
    EXPECT_EQ(got.substr(0, c.got.size()), c.got) << c.from << " to " << c.to;
  }
}

TEST_F(Series, AWindowReadsNoFurtherThanItsEndAndKeepsTheNumbersOfTheCapture) {
  const std::string early =
      file(tables("2026-12-01 10:00:00", {{"A", "1"}}) + tables("2026-12-01 10:01:00", {{"A", "5"}}) +
           tables("2026-12-01 10:02:00", {{"A", "6"}}));
  const std::string late = file(tables("2026-12-01 10:03:00", {{"A", "9"}}));
  const std::string missing = dir.folder() + "/missing.txt";
  SeriesSource source{{early, late, missing}, {}, dir.folder(), {}};
  std::vector<std::string> seen;
  const auto take = [&](LoadedSnapshot& s, int n) { seen.push_back(snapshotLabel(s, n)); };
  source.window = parseSnapshotWindow("10:01", "#4");  // the missing file after it is never opened
  EXPECT_EQ(forEachSeriesSnapshot(source, take), 3);
  EXPECT_EQ(seen, (std::vector<std::string>{"2026-12-01 10:01:00", "2026-12-01 10:02:00", "2026-12-01 10:03:00"}));
  source.window = parseSnapshotWindow("#2", "#3");
  LoadedSnapshot first, last;
  EXPECT_EQ(loadWindowEnds(source, first, last), 2);
  EXPECT_EQ(first.time(), "2026-12-01 10:01:00");
  EXPECT_EQ(last.time(), "2026-12-01 10:02:00");
  // Of a remembered index only the window's records are read: fewer lines for #2 than a
  // whole read, which reads on to the beginning of #3 to see that #2 ended.
  std::vector<std::string> status;
  const auto keep = [&](LoadedSnapshot& s, int n) { status.push_back(std::to_string(n) + " " + s.status); };
  source.paths = {early};
  source.window = parseSnapshotWindow("#2", "#2");
  forEachSeriesSnapshot(source, keep);
  setRememberIndexes(true);
  rememberIndex(early, std::make_shared<const KindsIndex>(indexKinds(early)));
  forEachSeriesSnapshot(source, keep);
  source.window = parseSnapshotWindow("10:02", "");
  forEachSeriesSnapshot(source, keep);
  setRememberIndexes(false);
  EXPECT_EQ(status, (std::vector<std::string>{"2 Finished. Records read: 28 Records outputted 1",
                                              "2 Finished. Records read: 12 Records outputted 1",
                                              "3 Finished. Records read: 11 Records outputted 1"}));
  source.paths = {early, late, missing};
  // Of an empty window the message names the capture's first and last snapshot.
  source.paths.pop_back();
  source.window = parseSnapshotWindow("09:00", "09:30");
  try {
    forEachSeriesSnapshot(source, take);
    ADD_FAILURE() << "no error";
  } catch (const WindowError& e) {
    EXPECT_EQ(std::string(e.what()),
              "--from 09:00 --to 09:30 holds no snapshot; the capture's snapshots are from 2026-12-01 10:00:00 to "
              "2026-12-01 10:03:00");
  }
  // --series over a window: the intervals inside it only.
  EXPECT_EQ(run({early, late}).size(), 1U + 3U);  // without one: every interval
  source.window = parseSnapshotWindow("10:01", "");
  snapshots = forEachInterval(source, types, 60000000, [&](SeriesInterval& iv) { seen.push_back(iv.from); });
  EXPECT_EQ(snapshots, 3);
  EXPECT_EQ(std::vector<std::string>(seen.end() - 2, seen.end()),
            (std::vector<std::string>{"2026-12-01 10:01:00", "2026-12-01 10:02:00"}));
}

TEST_F(Series, AFailingLoadStopsTheSeries) {
  EXPECT_THROW(run({file(tables("", {{"A", "1"}})), dir.folder() + "/missing.txt"}), ReadError);
}

TEST_F(Series, ChartPointsForEachMeasure) {
  ChartSeries chart("Rows Read", ValueType::Counter);
  const std::vector<std::string> times = {"2026-12-01 10:00:00", "2026-12-01 10:00:10", "2026-12-01 10:00:20",
                                          "2026-12-01 10:00:30"};
  const std::vector<std::vector<std::pair<std::string, std::string>>> snaps = {
      {{"A", "0"}, {"B", "0"}},
      {{"A", "10"}, {"B", "100"}, {"C", "7"}},
      {{"A", "5"}, {"B", "300"}, {"C", "Not Collected"}},
      {{"A", "45"}, {"B", "300"}, {"C", "8"}},
  };
  forEachSeriesSnapshot({{file(tables(times[0], snaps[0]) + tables(times[1], snaps[1]) + tables(times[2], snaps[2]) +
                               tables(times[3], snaps[3]))},
                         {},
                         dir.folder(),
                         {}},
                        [&](LoadedSnapshot& s, int n) { chart.add(s, snapshotLabel(s, n)); });
  using Y = std::vector<std::optional<double>>;
  const struct {
    ChartMeasure measure;
    size_t most;
    Y a, b;
  } rows[] = {
      {ChartMeasure::Rate, 3, {{}, 1.0, {}, 4.0}, {{}, 10.0, 20.0, 0.0}},
      {ChartMeasure::Change, 3, {{}, 10.0, {}, 40.0}, {{}, 100.0, 200.0, 0.0}},
      {ChartMeasure::Value, 2, {0.0, 10.0, 5.0, 45.0}, {0.0, 100.0, 300.0, 300.0}},
  };
  for (const auto& row : rows) {
    // The current entry first, then the largest total change: B (300), A (50), C (7).
    const ChartData d = chart.chart(row.measure, "SHOP A", row.most);
    ASSERT_EQ(d.lines.size(), row.most);
    EXPECT_EQ(d.labels, times);
    EXPECT_EQ(d.lines[0].key, "SHOP A");
    EXPECT_EQ(d.lines[0].y, row.a);
    EXPECT_EQ(d.lines[1].key, "SHOP B");
    EXPECT_EQ(d.lines[1].y, row.b);
    if (row.most == 3) {
      EXPECT_EQ(d.lines[2].key, "SHOP C");
    }
  }
  // C is new at 10:00:10, counted from zero; "Not Collected" before 8 gives no change.
  EXPECT_EQ(chart.chart(ChartMeasure::Rate, "", 3).lines.at(2).y, (Y{{}, 0.7, {}, {}}));
  const ChartData top = chart.chart(ChartMeasure::Rate, "", 2);
  ASSERT_EQ(top.lines.size(), 2U);
  EXPECT_EQ(top.lines[0].key, "SHOP B");
  EXPECT_EQ(top.lines[1].key, "SHOP A");
  EXPECT_EQ(top.lines[1].text[3], "4.000");

  GridStore g;
  writeChartTable(top, "Rows Read (per s)", g);
  ASSERT_EQ(g.rows(), 1 + 3 + 2);
  EXPECT_EQ(g.text(5, 0), times[3]);
  EXPECT_EQ(g.text(5, 1), "4.000");
  EXPECT_EQ(g.text(5, 2), "SHOP A");
}

TEST_F(Series, RatesWithoutSnapshotTimesShowTheChangeAndSayWhy) {
  ChartSeries chart("Rows Read", ValueType::Counter);
  forEachSeriesSnapshot({{file(tables("", {{"A", "1"}}) + tables("", {{"A", "31"}}))}, {}, dir.folder(), {}},
                        [&](LoadedSnapshot& s, int n) { chart.add(s, snapshotLabel(s, n)); });
  const ChartData d = chart.chart(ChartMeasure::Rate, "");
  EXPECT_EQ(d.shown, ChartMeasure::Change);
  EXPECT_EQ(d.note, kNoTimesNote);
  EXPECT_EQ(d.lines.at(0).text, (std::vector<std::string>{"", "30"}));
  EXPECT_TRUE(chart.chart(ChartMeasure::Value, "").note.empty());
}

TEST(ChartLabels, AnApplicationByHandleAndNameAStatementByItsEnds) {
  const std::string statement =
      "SELECT C.ID, C.NAME, SUM(L.AMOUNT) FROM SHOP.CUSTOMER C JOIN SHOP.INVOICE_LINE L ON L.CUST = C.ID GROUP BY "
      "C.ID, C.NAME";
  const struct {
    std::string key, handle, name, label;
  } rows[] = {
      {"*LOCAL.db2inst1.261207160501", "4107", "db2bp", "4107 db2bp"},
      {"*LOCAL.db2inst1.261207160501", "", "", "*LOCAL.db2inst1.261207160501"},  // no handle: the key
      {"SHOP INVOICE", "", "", "SHOP INVOICE"},
      {statement, "", "", "SELECT C.ID, C.NAME, \u2026 BY C.ID, C.NAME"},
  };
  for (const auto& r : rows) EXPECT_EQ(entryLabel(r.key, r.handle, r.name), r.label) << r.key;
}

TEST_F(Series, NoChangeInTheChartOverAnIntervalInWhichTheCountersRestarted) {
  const auto snapshot = [](const std::string& time, const std::string& preamble, const std::string& read) {
    return "\n  Table Snapshot\n\n" + preamble + "Snapshot timestamp = " + time +
           "\n\nTable List\n Table Schema = SHOP\n Table Name = A\n Rows Read = " + read + "\n\n";
  };
  const std::string connected = "First database connect timestamp = 2026-12-01 08:00:00\n";
  const struct {
    std::string laterPreamble;
    bool restarted;
  } cases[] = {
      {connected + "Last reset timestamp = 2026-12-01 10:00:05\n", true},
      {"First database connect timestamp = 2026-12-01 10:00:07\n", true},
      {connected + "Last reset timestamp = 2026-12-01 09:00:00\n", false},  // before the earlier snapshot
  };
  std::vector<std::string> errors;
  DerivedDefinitions defs;
  defs.read("Table Snapshot | Twice = [Rows Read] * 2\n", "d", errors);
  for (const auto& c : cases) {
    const std::string path = file(snapshot("2026-12-01 10:00:00", connected, "100") +
                                  snapshot("2026-12-01 10:00:10", c.laterPreamble, "150"));
    ChartSeries plain("Rows Read", ValueType::Counter);
    ChartSeries derived(*defs.forKind("Table Snapshot").at(0), types);
    forEachSeriesSnapshot({{path}, {}, dir.folder(), {}}, [&](LoadedSnapshot& s, int n) {
      plain.add(s, snapshotLabel(s, n));
      derived.add(s, snapshotLabel(s, n));
    });
    const std::vector<std::string> change = {"", c.restarted ? "" : "50"};
    EXPECT_EQ(plain.chart(ChartMeasure::Change, "").lines.at(0).text, change) << c.laterPreamble;
    EXPECT_EQ(derived.chart(ChartMeasure::InInterval, "").lines.at(0).text,
              (std::vector<std::string>{"", c.restarted ? "" : "100"}));
    // As the series table has it.
    const std::vector<std::string> lines = run({path}, {}, &defs);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[1].substr(lines[1].rfind('\t') + 1), c.restarted ? "" : "100");
  }
}

TEST_F(Series, ANewEntryHasAnIntervalValueWhereTheFormulaHoldsNoCounter) {
  const auto snapshot = [](const std::string& time, const std::string& entries) {
    return "\n  Table Snapshot\n\nSnapshot timestamp = " + time + "\n\nTable List\n" + entries;
  };
  const auto table = [](const char* name, const char* pages) {
    return std::string(" Table Schema = SHOP\n Table Name = ") + name +
           "\n Rows Read = 1\n Data Object Pages = " + pages + "\n\n";
  };
  const std::string path = file(snapshot("2026-12-01 10:00:00", table("A", "3")) +
                                snapshot("2026-12-01 10:00:10", table("A", "4") + table("B", "5")));
  std::vector<std::string> errors;
  DerivedDefinitions defs;
  defs.read("Table Snapshot | Pages twice = [Data Object Pages] * 2\n", "d", errors);
  ChartSeries chart(*defs.forKind("Table Snapshot").at(0), types);
  forEachSeriesSnapshot({{path}, {}, dir.folder(), {}},
                        [&](LoadedSnapshot& s, int n) { chart.add(s, snapshotLabel(s, n)); });
  const ChartData d = chart.chart(ChartMeasure::InInterval, "SHOP B");
  EXPECT_EQ(d.lines.at(0).text, (std::vector<std::string>{"", "10"}));
  const std::vector<std::string> lines = run({path}, {}, &defs);  // the series: B is "new"
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[2].substr(lines[2].rfind('\t') + 1), "10");
}

TEST_F(Series, DerivedColumnOnEachSnapshotAndOnEachIntervalsChangesInTableAndChart) {
  // Per page = reads (a counter) / pages (a gauge): in the interval, the reads' change over
  // the pages at its end.
  const auto snapshot = [](const std::string& time, const std::vector<std::array<std::string, 3>>& rows) {
    std::string text = "\n  Table Snapshot\n\nSnapshot timestamp = " + time + "\n\nTable List\n";
    for (const auto& [name, read, pages] : rows)
      text.append(" Table Schema = SHOP\n Table Name = ")
          .append(name)
          .append("\n Rows Read = ")
          .append(read)
          .append("\n Data Object Pages = ")
          .append(pages)
          .append("\n\n");
    return text;
  };
  const std::string path =
      file(snapshot("2026-12-01 10:00:00", {{"A", "100", "10"}, {"B", "0", "0"}}) +
           snapshot("2026-12-01 10:00:10", {{"A", "160", "20"}, {"B", "50", "5"}, {"C", "7", "7"}}) +
           snapshot("2026-12-01 10:00:20", {{"A", "40", "20"}, {"B", "80", "5"}, {"C", "Not Collected", "7"}}) +
           snapshot("2026-12-01 10:00:30", {{"A", "100", "30"}, {"B", "130", "0"}, {"C", "14", "7"}}));
  std::vector<std::string> errors;
  DerivedDefinitions defs;
  defs.read("Table Snapshot | Per page = [Rows Read] / [Data Object Pages]\n", "d", errors);
  ASSERT_EQ(errors, std::vector<std::string>{});

  std::vector<std::string> derived;  // Table Name, Per page, Per page (in interval)
  for (const std::string& line : run({path}, {}, &defs)) {
    std::vector<std::string> cells;
    for (size_t at = 0, tab = 0; tab != std::string::npos; at = tab + 1)
      cells.push_back(line.substr(at, (tab = line.find('\t', at)) - at));
    derived.push_back(cells[4] + "|" + cells[cells.size() - 2] + "|" + cells.back());
  }
  EXPECT_EQ(derived, (std::vector<std::string>{"Table Name|Per page|Per page (in interval)",  //
                                               "A|8|3", "B|10|10", "C|1|1",                   // C is new: from zero
                                               "A|2|", "B|16|6", "C||",                       // A went down
                                               "A|3.333333|2", "B||", "C|2|"}));              // B: 0 pages

  ChartSeries chart(*defs.forKind("Table Snapshot").at(0), types);
  EXPECT_EQ(chart.measures(), (std::vector<ChartMeasure>{ChartMeasure::InInterval, ChartMeasure::Value}));
  forEachSeriesSnapshot({{path}, {}, dir.folder(), {}},
                        [&](LoadedSnapshot& s, int n) { chart.add(s, snapshotLabel(s, n)); });
  using T = std::vector<std::string>;
  const struct {
    ChartMeasure measure;
    T b, a, c;  // ranked by the sum of the interval values: B 16, A 5, C 1
  } rows[] = {
      {ChartMeasure::InInterval, {"", "10", "6", ""}, {"", "3", "", "2"}, {"", "1", "", ""}},
      {ChartMeasure::Value, {"", "10", "16", ""}, {"10", "8", "2", "3.333333"}, {"", "1", "", "2"}},
      {ChartMeasure::Rate, {"", "10", "6", ""}, {"", "3", "", "2"}, {"", "1", "", ""}},  // not offered
  };
  for (const auto& row : rows) {
    const ChartData d = chart.chart(row.measure, "");
    ASSERT_EQ(d.lines.size(), 3U);
    EXPECT_EQ(d.lines[0].text, row.b);
    EXPECT_EQ(d.lines[1].text, row.a);
    EXPECT_EQ(d.lines[2].text, row.c);
  }
}

}  // namespace
}  // namespace tarvolin::core
