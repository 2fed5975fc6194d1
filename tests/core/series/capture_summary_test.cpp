// The one-page summary of a capture: figures per interval and over the window, the rules
// they break, where they depart from their median, and what is left out.
#include <gtest/gtest.h>

#include "core/load_fixture.h"
#include "core/read/shipped_files.h"
#include "core/series/capture_summary.h"
#include "core/series/summary_text.h"

namespace tarvolin::core {
namespace {

/// A Database Snapshot at 16:0M:00 of the given counters.
std::string database(int minute, int commits, int physical, int deadlocks) {
  return "\n              Database Snapshot\n\nDatabase name = SALES\nFirst database connect timestamp = "
         "12/07/2026 08:00:01.000000\nSnapshot timestamp = 12/07/2026 16:0" +
         std::to_string(minute) + ":00.000000\n\nDeadlocks detected = " + std::to_string(deadlocks) +
         "\nCommit statements attempted = " + std::to_string(commits) +
         "\nBuffer pool data logical reads = " + std::to_string(1000 * minute) +
         "\nBuffer pool data physical reads = " + std::to_string(physical) + "\n";
}

// Five minutes of a capture loop, its third interval (16:03 to 16:04) slow: ten times the
// commits, half of the data reads from disk, a deadlock.
class Summary : public ::testing::Test {
 protected:
  void SetUp() override {
    capture = dir.write("capture.txt", database(1, 100, 0, 0) + database(2, 160, 10, 0) + database(3, 220, 20, 0) +
                                           database(4, 820, 520, 1) + database(5, 880, 530, 1));
    std::vector<std::string> errors;
    figures.read(
        "Database Snapshot | Commits/s = [Commit statements attempted] / [Interval (s)]\n"
        "Database Snapshot | Data hit ratio (%) = ([Buffer pool data logical reads] - [Buffer pool data physical "
        "reads]) * 100 / [Buffer pool data logical reads] | < 90\n"
        "Database Snapshot | Deadlocks = [Deadlocks detected] | > 0\n"
        "Database Snapshot | Cache hits = [Package cache lookups] - [Package cache inserts]\n"
        "Table Snapshot | Rows read/s = [Rows Read] / [Interval (s)]\n",
        "f.txt", errors);
    EXPECT_TRUE(errors.empty());
  }
  CaptureSummary run(const SnapshotWindow& window = {}) {
    SeriesSource source{{capture}, {}, dir.folder(), {}};
    source.window = window;
    return summarizeCapture(source, figures, loadCounterTypes(TARVOLIN_DATA_DIR), std::nullopt);
  }
  test::TempDir dir;
  std::string capture;
  SummaryFigures figures;
};

TEST_F(Summary, FiguresOfEachIntervalAndOfTheWindowWithTheRulesTheyBreak) {
  const CaptureSummary s = run();
  ASSERT_EQ(s.snapshots, 5);
  ASSERT_EQ(s.intervals.size(), 4u);
  EXPECT_EQ(s.intervals[2].to, "12/07/2026 16:04:00.000000");
  EXPECT_EQ(s.figures[0].values, (std::vector<std::optional<double>>{1, 1, 10, 1}));
  EXPECT_EQ(s.figures[0].window, "3.25");  // 780 commits in 240 s
  EXPECT_EQ(s.figures[1].values, (std::vector<std::optional<double>>{99, 99, 50, 99}));
  EXPECT_EQ(s.figures[1].window, "86.75");  // on the window's sums, not a mean of the ratios
  EXPECT_TRUE(s.figures[1].breaks(2));
  EXPECT_TRUE(s.figures[1].breaks(-1));
  EXPECT_FALSE(s.figures[1].breaks(1));
  EXPECT_TRUE(s.figures[2].breaks(2));
  EXPECT_EQ(s.figures[2].median, 0.0);
  // Left out: a variable the capture lacks, a kind it lacks.
  EXPECT_EQ(s.figures[3].missing, (std::vector<std::string>{"Package cache lookups", "Package cache inserts"}));
  EXPECT_FALSE(s.figures[4].kindFound);
  // The slow interval, found by each figure's departure from its median, the largest first.
  const std::vector<Departure> d = s.departures();
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].figure, 0u);
  EXPECT_EQ(d[0].interval, 2);
  EXPECT_EQ(d[1].figure, 2u);
  EXPECT_EQ(d[2].interval, 2);
  const std::string text = summaryText(s);
  EXPECT_NE(text.find("12/07/2026 16:03:00.000000  12/07/2026 16:04:00.000000  Data hit ratio (%)     50  < 90"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Cache hits: no Package cache lookups, Package cache inserts\n"), std::string::npos);
  EXPECT_NE(text.find("Rows read/s: no Table Snapshot\n"), std::string::npos);
  EXPECT_NE(text.find("Statements by execution time: no Dynamic SQL Snapshot Result\n"), std::string::npos);
  GridStore g;
  writeSummaryGrid(s, g);
  ASSERT_EQ(g.rows(), 5);
  EXPECT_EQ(g.text(0, 4), "Deadlocks");
  EXPECT_EQ(g.text(3, 5), "Data hit ratio (%) < 90; Deadlocks > 0");
}

TEST_F(Summary, AWindowTakesItsOwnIntervalsAndAnEmptyOneNamesTheCapturesTimes) {
  const CaptureSummary s = run(parseSnapshotWindow("16:03", "16:05"));
  ASSERT_EQ(s.intervals.size(), 2u);
  EXPECT_EQ(s.figures[0].window, "5.5");
  EXPECT_THROW((void)run(parseSnapshotWindow("17:00", "")), WindowError);
}

TEST(SummaryFiguresFile, RulesAndTheShippedFile) {
  SummaryFigures f;
  std::vector<std::string> errors;
  f.read("K | A = [x] | >= 2.5\nK | B = [x] | 90\nK | C = [x] | < ninety\nk | A = [y]\n", "f.txt", errors);
  ASSERT_EQ(f.all().size(), 1u);
  EXPECT_FALSE(f.all()[0].rule);  // replaced by the last line, of the same kind in another case
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].substr(0, 9), "f.txt:2: ");
  EXPECT_EQ(FigureRule::parse(">=2.5").text, ">= 2.5");
  EXPECT_TRUE(FigureRule::parse(">= 2.5").brokenBy(2.5));
  EXPECT_FALSE(FigureRule::parse("> 2.5").brokenBy(2.5));
  errors.clear();
  (void)loadSummaryFigures(TARVOLIN_DATA_DIR, "/nonexistent", errors);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace tarvolin::core
