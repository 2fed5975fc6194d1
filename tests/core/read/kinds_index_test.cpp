#include "core/read/kinds_index.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "core/load_fixture.h"
#include "core/read/known_indexes.h"
#include "core/read/snapshot_load.h"
#include "core/read/text_encoding.h"

namespace tarvolin::core::test {
namespace {

// Per-entry headings as DB2 prints them for "get snapshot for all": one before each
// application, each with the snapshot's timestamp inside the entry.
std::string application(int handle, const std::string& time) {
  std::string text = "\n            Application Snapshot\n\nApplication handle   = " + std::to_string(handle) +
                     "\nApplication status   = UOW Waiting\n";
  if (!time.empty()) text += "Snapshot timestamp   = 12/07/2026 " + time + "\n";
  return text + "Rows read            = " + std::to_string(handle * 10) + "\n";
}

std::string table(const std::string& name, const std::string& time) {
  return "\n   Table Snapshot\n\nSnapshot timestamp = 12/07/2026 " + time +
         "\nDatabase name = ORDERS\n\nTable List\n Table Schema = SHOP\n Table Name = " + name + "\n Rows Read = 10\n";
}

std::string database(const std::string& name, const std::string& time) {
  return "\n   Database Snapshot\n\nDatabase name = " + name + "\nSnapshot timestamp = 12/07/2026 " + time +
         "\nCommits = 1\n";
}

// The Dynamic SQL section of "get snapshot for all": no timestamp of its own.
std::string statements(const std::string& executions) {
  return "\n Dynamic SQL Snapshot Result\n\n Database name = ORDERS\n\n Number of executions = " + executions +
         "\n Statement text = select 1\n";
}

/// Each kind's grid, read whole, or from the records of `known` alone ("" when no records were read).
std::string gridOf(const std::string& path, const std::string& folder, int kind,
                   std::shared_ptr<const KindsIndex> known) {
  SharedState shared;
  LoadState state;
  NullLoadObserver observer;
  FixedTextMeasure measure;
  GridStore g;
  ReportLoader loader(shared, g.report(), state, observer, measure, folder);
  loader.setKind(KindChoice{kind + 1, "", false});
  loader.setKnownIndex(path, known);
  loader.load(path, g);
  if (known && !loader.readParts()) return "";
  std::string text = g.report().time() + "/" + std::to_string(loader.loadedKind()) + "\n";
  for (int r = 0; r < g.rows(); ++r, text += "\n")
    for (int c = 0; c < g.cols(); ++c) text += std::string(g.text(r, c)) + "|";
  return text;
}

// The bytes at each record begin with its heading, and each kind read from its records
// alone gives the grid a whole read gives.
void expectPartsReadAsWhole(const std::string& path, const std::string& folder) {
  const auto index = std::make_shared<const KindsIndex>(indexKinds(path));
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  for (const KindSection& s : index->sections()) {
    ASSERT_GE(s.offset, 0);
    ASSERT_LE(static_cast<size_t>(s.offset + s.length), bytes.size());
    const std::string_view part = std::string_view(bytes).substr(static_cast<size_t>(s.offset));
    EXPECT_EQ(trimBlanks(part.substr(0, part.find_first_of("\r\n"))),
              index->kinds()[static_cast<size_t>(s.kind)].heading);
  }
  for (int k = 0; k < static_cast<int>(index->kinds().size()); ++k)
    EXPECT_EQ(gridOf(path, folder, k, index), gridOf(path, folder, k, nullptr)) << path << " kind " << k;
}

struct IndexCase {
  std::string what;
  std::string text;
  std::string kinds;      // per kind "heading snapshots rows", in order of first appearance
  std::string snapshots;  // the first kind's snapshots, delivered one by one: "time:first column values"
};
void PrintTo(const IndexCase& c, std::ostream* os) { *os << c.what; }

class Index : public ::testing::TestWithParam<IndexCase> {
 protected:
  TempDir dir;
};

TEST_P(Index, CountsKindsSnapshotsAndRowsInOnePass) {
  const std::string path = dir.write("capture.txt", GetParam().text);
  std::string kinds;
  const KindsIndex index = indexKinds(path);
  for (const KindSummary& k : index.kinds())
    kinds += (kinds.empty() ? "" : "|") + k.heading + " " + std::to_string(k.snapshots) + " " + std::to_string(k.rows);
  EXPECT_EQ(kinds, GetParam().kinds);

  std::string snapshots;
  std::string times;
  std::string rowSnapshots;  // of each row, as one load of the whole kind should number them
  const SnapshotPass pass = forEachSnapshot(path, {}, dir.folder(), [&](LoadedSnapshot& s) {
    for (int r = 1; r < s.grid.rows(); ++r) {
      rowSnapshots += std::to_string(std::count(times.begin(), times.end(), '|'));
      EXPECT_EQ(s.report().cells.snapshot(r), 0);  // of its one time
    }
    times += s.time() + "|";
    snapshots += (snapshots.empty() ? "" : "|") + s.time().substr(s.time().find(' ') + 1) + ":";
    for (int r = 1; r < s.grid.rows(); ++r) snapshots += (r > 1 ? "," : "") + std::string(s.grid.text(r, 0));
    return true;
  });
  EXPECT_TRUE(pass.error.empty()) << pass.error;
  EXPECT_EQ(snapshots, GetParam().snapshots);
  // One record per snapshot; the chooser's times are those the loads give.
  size_t count = 0;
  for (const KindSummary& k : index.kinds()) count += static_cast<size_t>(k.snapshots);
  EXPECT_EQ(index.sections().size(), count);
  std::string listed;
  for (const std::string& t : listSnapshots(path)) listed += t + "|";
  EXPECT_EQ(listed, times);
  LoadedSnapshot whole;
  loadSnapshot(path, ReportLoader::kWholeFile, dir.folder(), whole, false);
  std::string wholeTimes;
  for (const std::string& t : whole.report().snapshotTimes) wholeTimes += t + "|";
  std::string wholeRows;
  for (int r = 1; r < whole.grid.rows(); ++r) {
    wholeRows += std::to_string(whole.report().cells.snapshot(r));
    EXPECT_EQ(whole.report().cells.entry(r), r);
  }
  EXPECT_EQ(wholeTimes, times);
  EXPECT_EQ(wholeRows, rowSnapshots);
  EXPECT_TRUE(whole.report().index && whole.report().kind == 0);
  expectPartsReadAsWhole(path, dir.folder());
  std::string crlf = "\xEF\xBB\xBF";  // a byte order mark moves every offset on
  for (const char c : GetParam().text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  expectPartsReadAsWhole(dir.write("crlf.txt", crlf), dir.folder());
}

TEST(KindParts, CapturesReadByKindAsWholeAndUnplacedFilesReadThrough) {
  TempDir dir;
  for (const char* sample : {"capture_loop.txt", "script_capture.txt", "capture_all.txt"})
    expectPartsReadAsWhole(std::string(TARVOLIN_SAMPLES_DIR "/") + sample, dir.folder());
  std::ifstream all(TARVOLIN_SAMPLES_DIR "/capture_all.txt", std::ios::binary);
  const std::string minute((std::istreambuf_iterator<char>(all)), std::istreambuf_iterator<char>());
  std::string day;  // past LineSource::kReadAheadFrom: the places come from the reading thread
  while (day.size() <= LineSource::kReadAheadFrom) day += minute;
  expectPartsReadAsWhole(dir.write("day.txt", day), dir.folder());
  // A remembered index: the last snapshot alone is read, with the count of the whole file.
  const std::string loop = TARVOLIN_SAMPLES_DIR "/capture_loop.txt";
  LoadedSnapshot whole;
  LoadedSnapshot last;
  const int snapshots = loadLastSnapshot(loop, dir.folder(), whole, false, parseKindChoice("2"));
  setRememberIndexes(true);
  ASSERT_EQ(listSnapshots(loop, parseKindChoice("2")).size(), static_cast<size_t>(snapshots));
  ASSERT_TRUE(rememberedIndex(loop));
  EXPECT_EQ(loadLastSnapshot(loop, dir.folder(), last, false, parseKindChoice("2")), snapshots);
  setRememberIndexes(false);
  EXPECT_TRUE(snapshots > 1 && last.time() == whole.time() && last.status != whole.status);  // fewer lines read
  EXPECT_EQ(std::string(last.grid.textBytes()), std::string(whole.grid.textBytes()));
  // A gzip file and UTF-16 have no places: a load given their index reads them whole.
  const std::string text = table("A", "17:05:00") + database("D", "17:05:00");
  const std::string gz = (dir.path() / "capture.txt.gz").string();
  gzFile out = gzopen(gz.c_str(), "wb");
  gzwrite(out, text.data(), static_cast<unsigned>(text.size()));
  gzclose(out);
  std::string utf16 = "\xFF\xFE";
  for (const char c : text) utf16 += std::string{c, '\0'};
  for (const std::string& path : {gz, dir.write("utf16.txt", utf16)}) {
    const auto index = std::make_shared<const KindsIndex>(indexKinds(path));
    ASSERT_EQ(index->kinds().size(), 2U);
    EXPECT_FALSE(index->placed(1));
    EXPECT_EQ(gridOf(path, dir.folder(), 1, index), "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Captures, Index,
    ::testing::Values(
        IndexCase{"PerEntryHeadingWithTheSameTimeContinuesTheSnapshot",
                  application(7, "17:05:00") + application(8, "17:05:00") + application(9, "17:05:00"),
                  "Application Snapshot 1 3", "17:05:00:7,8,9"},
        IndexCase{"PerEntryHeadingWithoutATimeContinuesIt", application(7, "17:05:00") + application(8, ""),
                  "Application Snapshot 1 2", "17:05:00:7,8"},
        // The later time comes inside the entry: that entry opens the next snapshot.
        IndexCase{"PerEntryHeadingWithALaterTimeBeginsOne",
                  application(7, "17:05:00") + application(8, "17:05:00") + application(7, "17:06:00"),
                  "Application Snapshot 2 3", "17:05:00:7,8|17:06:00:7"},
        IndexCase{"PerEntryHeadingAfterAnotherKindBeginsOne",
                  application(7, "17:05:00") + table("A", "17:05:00") + application(8, "17:05:00"),
                  "Application Snapshot 2 2|Table Snapshot 1 1", "17:05:00:7|17:05:00:8"},
        IndexCase{"ARepeatedHeadingOfAnotherKindBeginsASnapshot",
                  table("A", "17:05:00") + table("B", "17:05:00") + table("C", "17:06:00"), "Table Snapshot 3 3",
                  "17:05:00:SHOP|17:05:00:SHOP|17:06:00:SHOP"},
        // A kind outside the table: its heading, met once, is a heading wherever it repeats;
        // its start name is taken once, from its first section.
        IndexCase{"AnUnknownHeadingRepeats",
                  "Utility Info\nPreamble line\nUtility ID = 1\nState = Run\nUtility Info\nUtility ID = 2\n"
                  "Utility ID = 3\n",
                  "Utility Info 2 3", ":1|:2,3"},
        // Lines without "=" that are no headings of the table change nothing.
        IndexCase{"SubBlockTitlesAreNoHeadings",
                  "Database Snapshot\nDatabase name = D\nWorkspace Information\n Shared high water mark = 0\n"
                  "Alter bufferpool information:\n Current size = 1\nTable List\nList Of Locks\nUtility Info\n",
                  "Database Snapshot 1 1", ":D"},
        // "get snapshot for all databases": one snapshot of a row per database.
        IndexCase{"DatabasesOfOneMomentAreOneSnapshot",
                  database("ORDERS", "17:05:00") + database("BILLING", "17:05:00") + database("ORDERS", "17:06:00"),
                  "Database Snapshot 2 3", "17:05:00:ORDERS,BILLING|17:06:00:ORDERS"},
        // Lines with no variable line under them before the next heading are no kind.
        IndexCase{"EchoedCommandsAreNoKind",
                  "db2 get snapshot for tables on orders\n" + table("A", "17:05:00") +
                      "db2 get snapshot for tables on orders\nSQL1611W  No data was returned.\n" +
                      table("B", "17:06:00"),
                  "Table Snapshot 2 2", "17:05:00:SHOP|17:06:00:SHOP"},
        // A section without a timestamp: the latest read before it, of any kind or a date line.
        IndexCase{"SectionsWithoutATimeTakeTheLatestBeforeThem",
                  "Mon Dec  7 17:04:00 UTC 2026\n" + statements("1") + table("A", "17:06:00") + statements("2") +
                      "2026-12-07T17:07:00,5+01:00\n" + statements("3"),
                  "Dynamic SQL Snapshot Result 3 3|Table Snapshot 1 1", "17:04:00:1|17:06:00:2|17:07:00.5:3"}));

// Whatever the kind read, the values of the other kinds never reach its rows or columns.
TEST(KindChoices, TheChosenKindAloneFillsTheGrid) {
  TempDir dir;
  const std::string path = dir.write(
      "capture.txt", table("A", "17:05:00") +
                         "\n   Database Lock Snapshot\n\nDatabase name = ORDERS\nLocks held = 1\n\n"
                         "Application handle = 7\nLocks held = 1\nList Of Locks\n Lock Name = 0x01\n Table Name = A\n" +
                         application(8, "17:05:00"));
  struct Case {
    KindChoice choice;
    Rows rows;
  };
  const std::vector<Case> cases = {
      {{}, {{"Table Schema", "Table Name", "Rows Read"}, {"SHOP", "A", "10"}}},
      {{2, "", false},
       {{"Application handle", "Locks held", "Lock Name", "Table Name"}, {"7", "1", "", ""}, {"7", "", "0x01", "A"}}},
      {{0, "APPLICATION snapshot", false},
       {{"Application handle", "Application status", "Snapshot timestamp", "Rows read"},
        {"8", "UOW Waiting", "12/07/2026 17:05:00", "80"}}},
      {{0, "", true},
       {{"Application handle", "Locks held", "Lock Name", "Table Name"}, {"7", "1", "", ""}, {"7", "", "0x01", "A"}}},
  };
  for (const auto& c : cases) {
    LoadedSnapshot s;
    loadSnapshot(path, ReportLoader::kWholeFile, dir.folder(), s, false, c.choice);
    Rows rows;
    for (int r = 0; r < s.grid.rows(); ++r) {
      rows.emplace_back();
      for (int col = 0; col < s.report().vars.count(); ++col) rows.back().emplace_back(s.grid.text(r, col));
    }
    EXPECT_EQ(rows, c.rows) << c.choice.number << c.choice.heading;
  }
  LoadedSnapshot none;
  loadSnapshot(path, ReportLoader::kLastSnapshot, dir.folder(), none, false, parseKindChoice("4"));
  EXPECT_TRUE(none.noSuchKind);
  EXPECT_NE(none.error.find("3. Application Snapshot"), std::string::npos) << none.error;
}

}  // namespace
}  // namespace tarvolin::core::test
