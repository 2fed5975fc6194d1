// A capture in a database: what the loader stores, read back through the sqlite3 library.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/database/capture_load.h"
#include "core/database/sql_values.h"
#include "core/load_fixture.h"

namespace tarvolin::core {
namespace {

using test::TempDir;

/// A minute of "get snapshot for all": a table snapshot and a lock snapshot in which
/// application 8 waits for application 7 (its "Lock name" beside the locks' "Lock Name").
std::string minute(int m, int rowsRead) {
  const std::string time = "12/07/2026 16:0" + std::to_string(m) + ":00.000000";
  return "\n            Table Snapshot\n\nSnapshot timestamp = " + time +
         "\n\nTable List\n Table Schema = SHOP\n Table Name = INVOICE\n Rows Read = " + std::to_string(rowsRead) +
         "\n Overflows = 1.5\n\n Table Schema = SHOP\n Table Name = ORDERS\n Rows Read = 7\n Overflows = 0\n\n"
         "\n            Database Lock Snapshot\n\nDatabase name = ORDERS\nSnapshot timestamp = " +
         time +
         "\n\nApplication handle = 7\nSequence number = 00012\nApplication name = batch\n"
         "Status change time = Not Collected\n\nList Of Locks\n Lock Name = 0x0A\n Mode = X\n\n"
         "Application handle = 8\nApplication name = web\nID of agent holding lock = 7\nLock name = 0x0A\n\n";
}

/// The rows of `sql`, each cell as "type:text" ("integer:7", "null:").
std::vector<std::string> query(const std::string& db, const std::string& sql) {
  sqlite3* h = nullptr;
  EXPECT_EQ(sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(h);
  std::vector<std::string> rows;
  while (st != nullptr && sqlite3_step(st) == SQLITE_ROW) {
    std::string row;
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      static const char* types[] = {"", "integer", "real", "text", "blob", "null"};
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
      row += std::string(c > 0 ? "|" : "") + types[sqlite3_column_type(st, c)] + ":" + (text ? text : "");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(st);
  sqlite3_close(h);
  return rows;
}

class Capture : public ::testing::Test {
 protected:
  /// Loads the files into the database, in a store of their own (as one run of the exporter).
  std::vector<CaptureOutcome> run(const std::vector<std::string>& files) {
    CaptureStore store(db);
    CaptureLoader loader(store, {dir.folder(), std::nullopt, loadCounterTypes(TARVOLIN_DATA_DIR)});
    std::vector<CaptureOutcome> out;
    for (const std::string& f : files) out.push_back(loader.load(f));
    return out;
  }
  [[nodiscard]] std::vector<std::string> rows(const std::string& sql) const { return query(db, sql); }

  TempDir dir;
  std::string db = (dir.path() / "day.db").string();
};

TEST(SqlValues, IntegersRealsNullsAndTextThatKeepsItsDigits) {
  struct Case {
    std::string text;
    SqlValue value;
  };
  for (const Case& c : std::vector<Case>{{"", std::monostate{}},
                                         {"Not Collected", std::monostate{}},
                                         {"12", int64_t{12}},
                                         {"-12", int64_t{-12}},
                                         {"0", int64_t{0}},
                                         {"00012", std::string_view("00012")},
                                         {"99999999999999999999", std::string_view("99999999999999999999")},
                                         {"3.25", 3.25},
                                         {"-0.5", -0.5},
                                         {"1.", std::string_view("1.")},
                                         {"1.2.3", std::string_view("1.2.3")},
                                         {"0x0A", std::string_view("0x0A")}})
    EXPECT_EQ(sqlValue(c.text), c.value) << c.text;
  EXPECT_EQ(isoTime("12/07/2026 16:05:00.1", DateOrder::MDY), "2026-12-07 16:05:00.100000");
  EXPECT_EQ(isoTime("07.12.2026 16.05.00", DateOrder::DMY), "2026-12-07 16:05:00.000000");
  EXPECT_EQ(isoTime("not a time", DateOrder::MDY), std::nullopt);
}

TEST_F(Capture, EveryKindTypedWithItsIntervalsContinuedByALaterRun) {
  const std::string a = dir.write("a.txt", minute(0, 100) + minute(1, 160));
  run({a});
  run({dir.write("b.txt", minute(2, 220))});
  EXPECT_EQ(rows("SELECT snapshot, file, entry, \"Table Name\", \"Rows Read\", Overflows FROM table_snapshot "
                 "WHERE \"Table Name\" = 'INVOICE'"),
            (std::vector<std::string>{
                "text:2026-12-07 16:00:00.000000|text:" + a + "|integer:1|text:INVOICE|integer:100|real:1.5",
                "text:2026-12-07 16:01:00.000000|text:" + a + "|integer:1|text:INVOICE|integer:160|real:1.5",
                "text:2026-12-07 16:02:00.000000|text:" + dir.folder() +
                    "/b.txt|integer:1|text:INVOICE|integer:220|real:1.5"}));
  // The waiter's "Lock name" is a column of its own; a lock row carries its application's columns.
  EXPECT_EQ(rows("SELECT entry, \"Application handle\", \"Sequence number\", \"Status change time\", \"Lock Name\", "
                 "\"Lock name (2)\" FROM database_lock_snapshot WHERE snapshot LIKE '% 16:00:%'"),
            (std::vector<std::string>{
                "integer:1|integer:7|text:00012|null:|null:|null:", "integer:2|integer:7|null:|null:|text:0x0A|null:",
                "integer:3|integer:8|null:|null:|null:|text:0x0A"}));
  EXPECT_EQ(rows("SELECT \"from\", \"to\", \"Rows Read (change)\", \"Rows Read (per s)\" FROM table_snapshot_intervals "
                 "WHERE \"Table Name\" = 'INVOICE'"),
            (std::vector<std::string>{
                "text:2026-12-07 16:00:00.000000|text:2026-12-07 16:01:00.000000|integer:60|real:1.0",
                "text:2026-12-07 16:01:00.000000|text:2026-12-07 16:02:00.000000|integer:60|real:1.0"}));
  EXPECT_EQ(rows("SELECT kind, count(*) FROM snapshots GROUP BY kind"),
            (std::vector<std::string>{"text:database_lock_snapshot|integer:3", "text:table_snapshot|integer:3"}));
}

TEST_F(Capture, AFileLoadedBeforeIsSkippedAndOfAGrownOneOnlyTheNewSnapshotsAreAdded) {
  const std::string a = dir.write("a.txt", minute(0, 100));
  EXPECT_EQ(run({a})[0].added, 2);
  const std::vector<CaptureOutcome> again = run({a});
  EXPECT_TRUE(again[0].skipped);
  dir.write("a.txt", minute(0, 100) + minute(1, 130));
  const CaptureOutcome grown = run({a})[0];
  EXPECT_EQ(grown.added, 2);
  EXPECT_EQ(grown.present, 2);
  EXPECT_EQ(rows("SELECT count(*) FROM table_snapshot"), std::vector<std::string>{"integer:4"});
  EXPECT_EQ(rows("SELECT file, kinds, first_snapshot, last_snapshot FROM captures"),
            std::vector<std::string>{"text:" + a +
                                     "|text:Table Snapshot, Database Lock Snapshot|text:2026-12-07 "
                                     "16:00:00.000000|text:2026-12-07 16:01:00.000000"});
}

TEST_F(Capture, AFileThatFailsIsRolledBackWholeAndTheFilesBeforeItStay) {
  const std::string a = dir.write("a.txt", minute(0, 100));
  std::string tooWide = minute(1, 160) + "\n            Table Snapshot\n\nTable List\n Table Schema = S\n";
  for (int i = 0; i < 510; ++i) tooWide += " Variable " + std::to_string(i) + " = 1\n";
  const std::string b = dir.write("b.txt", tooWide);
  const std::string c = dir.write("c.txt", minute(2, 220));
  struct Case {
    std::string file;
    CaptureError::Cause cause;
    std::function<void(CaptureStore&, CaptureLoader&)> set;
  };
  for (const Case& k : std::vector<Case>{
           {b, CaptureError::Cause::Load, {}},
           {c, CaptureError::Cause::Stopped,
            [](CaptureStore&, CaptureLoader&l) {
              l.setProgress([&l](int done, int) {
                if (done == 1) l.requestStop();
              });
            }},
           {c, CaptureError::Cause::Full, [](CaptureStore&s, CaptureLoader&) {
              s.database().exec("PRAGMA max_page_count = " + std::to_string(s.database().integer("PRAGMA page_count")));
            }}}) {
    CaptureStore store(db);
    CaptureLoader loader(store, {dir.folder(), std::nullopt, loadCounterTypes(TARVOLIN_DATA_DIR)});
    if (!store.database().integer("SELECT count(*) FROM captures")) loader.load(a);
    if (k.set) k.set(store, loader);
    try {
      loader.load(k.file);
      ADD_FAILURE() << k.file;
    } catch (const CaptureError& e) {
      EXPECT_EQ(e.cause(), k.cause) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind(k.file + ": ", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(rows("SELECT DISTINCT file FROM table_snapshot UNION SELECT file FROM captures"),
            std::vector<std::string>{"text:" + a});
  EXPECT_EQ(rows("SELECT count(*) FROM sqlite_master WHERE name LIKE '%_intervals'"),
            std::vector<std::string>{"integer:0"});
}

TEST_F(Capture, ADatabaseTarvolinDidNotMakeIsRefusedAndLeftAsItWas) {
  const auto refused = [&](const std::string& setup) {
    if (!setup.empty()) {
      std::filesystem::remove(db);
      sqlite3* h = nullptr;
      sqlite3_open(db.c_str(), &h);
      EXPECT_EQ(sqlite3_exec(h, setup.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << setup;
      sqlite3_close(h);
    }
    const std::string before = dir.read("day.db");
    try {
      CaptureStore store(db);
    } catch (const ForeignDatabaseError&) {
      return dir.read("day.db") == before && !std::filesystem::exists(db + "-wal");
    }
    return false;
  };
  EXPECT_TRUE(refused("CREATE TABLE t(a)"));
  EXPECT_TRUE(
      refused("CREATE TABLE captures(file); PRAGMA application_id = " + std::to_string(CaptureStore::kApplicationId)));
  std::filesystem::remove(db);
  run({dir.write("a.txt", minute(0, 100))});
  EXPECT_FALSE(refused(""));  // its own database opens again
  dir.write("day.db", "not a database, but a note about one");
  EXPECT_THROW(CaptureStore{db}, ForeignDatabaseError);
  EXPECT_EQ(dir.read("day.db"), "not a database, but a note about one");
  std::filesystem::remove(db);
  EXPECT_NO_THROW(run({}));  // a new file
}

}  // namespace
}  // namespace tarvolin::core
