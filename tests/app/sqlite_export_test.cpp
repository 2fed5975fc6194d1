// tarvolin-export --sqlite end to end: the samples into a database, and the user guide's queries on it.
#include <signal.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// The SQL queries of a text: the indented lines from one that begins with SELECT to one ending in ";".
std::vector<std::string> queriesIn(const std::string& text, const std::string& indent) {
  std::vector<std::string> queries;
  std::istringstream in(text);
  std::string query;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(indent + "SELECT ", 0) == 0) query = " ";
    if (query.empty()) continue;
    query += line.substr(indent.size()) + "\n";
    if (line.back() == ';') queries.push_back(std::move(query)), query.clear();
  }
  return queries;
}

/// The rows of `sql` in `db`, cells joined by "|".
std::vector<std::string> rowsOf(const std::string& db, const std::string& sql) {
  sqlite3* h = nullptr;
  sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(h) << sql;
  std::vector<std::string> rows;
  while (st != nullptr && sqlite3_step(st) == SQLITE_ROW) {
    std::string row;
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
      row += std::string(c > 0 ? "|" : "") + (text != nullptr ? text : "");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(st);
  sqlite3_close(h);
  return rows;
}

struct Outcome {
  int exitCode;
  std::string err;
};

Outcome exportTo(const fs::path& dir, const std::string& args) {
  const std::string command =
      "cd '" + dir.string() + "' && '" TARVOLIN_EXPORT_EXE "' " + args + " </dev/null >/dev/null 2>.stderr";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir / ".stderr")};
}

TEST(SqliteExport, TheGuidesQueriesAnswerOnTheSamplesAndASecondRunSkipsWhatItHas) {
  const fs::path dir = fs::temp_directory_path() / ("tarvolin-sqlite-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string samples = TARVOLIN_SAMPLES_DIR;
  const std::string reports =
      samples + "/capture_all.txt " + samples + "/capture_loop.txt " + samples + "/series/minutes/*.txt";
  Outcome r = exportTo(dir, "--sqlite day.db " + reports);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "Files loaded: 8, skipped: 0; snapshots added: 27, stored before: 7\n");
  r = exportTo(dir, "--sqlite=day.db " + samples + "/capture_all.txt");
  EXPECT_EQ(r.err, samples +
                       "/capture_all.txt: loaded before, skipped\nFiles loaded: 0, skipped: 1; snapshots added: 0, "
                       "stored before: 0\n");

  const std::string guide = readFile(fs::path(TARVOLIN_SAMPLES_DIR) / "../docs/readme.txt");
  const std::vector<std::string> queries = queriesIn(guide, "    ");
  const std::vector<std::vector<std::string>> answers = {
      {"4119|price_update.py|0x0002000C000000040000000052|X|INVOICE|UPDATE SHOP.PRICE SET AMOUNT = AMOUNT * 1.02 "
       "WHERE ITEM_ID = ?",
       "4119|price_update.py|0x0002000C0000000E0000000052|IX|INVOICE|UPDATE SHOP.PRICE SET AMOUNT = AMOUNT * 1.02 "
       "WHERE ITEM_ID = ?",
       "4131|report_daily|0x0002000C000000100000000052|IS|INVOICE|SELECT I.INVOICE_NO, SUM(L.AMOUNT) FROM "
       "SHOP.INVOICE I JOIN SHOP.INVOICE_LINE L ON L.INVOICE_NO = I.INVOICE_NO GROUP BY I.INVOICE_NO"},
      {"2026-12-07 17:05:00.118034|4119|4107|invoice_batch|UPDATE SHOP.INVOICE SET STATUS = 'P' WHERE INVOICE_NO = ?",
       "2026-12-07 17:07:00.120034|4131|4119|price_update.py|UPDATE SHOP.PRICE SET AMOUNT = AMOUNT * 1.02 WHERE "
       "ITEM_ID = ?"},
      {"SHOP|ORDERS|200.0", "SHOP|INVOICE|50.0", "SHOP|CART|1.5", "SYSIBM|SYSTABLES|0.2"},
      {"2026-12-07|9122004|31|2"}};
  ASSERT_EQ(queries.size(), answers.size());
  std::string manPage = readFile(fs::path(TARVOLIN_SAMPLES_DIR) / "../dist/tarvolin-export.1");
  for (size_t at; (at = manPage.find("\\-")) != std::string::npos;) manPage.replace(at, 2, "-");
  for (size_t i = 0; i < queries.size(); ++i) {
    EXPECT_EQ(rowsOf((dir / "day.db").string(), queries[i]), answers[i]) << queries[i];
    EXPECT_NE(manPage.find(queries[i].substr(1)), std::string::npos) << "the man page lacks\n" << queries[i];
  }

  std::ofstream(dir / "other.db") << "notes";
  r = exportTo(dir, "--sqlite other.db " + samples + "/capture_all.txt");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tarvolin-export: other.db is not an SQLite database; refused, left as it was\n");
  EXPECT_EQ(readFile(dir / "other.db"), "notes");
  fs::remove_all(dir);
}

TEST(SqliteExport, AnInterruptRollsBackTheFileBeingLoadedAndKeepsThoseBefore) {
  const fs::path dir = fs::temp_directory_path() / ("tarvolin-sqlite-int-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string db = (dir / "day.db").string();
  const std::string err = (dir / "err.txt").string();
  int input[2];
  ASSERT_EQ(::pipe(input), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {  // the exporter: the capture, then standard input, which waits for the test
    ::dup2(input[0], 0);
    ::close(input[1]);
    ::freopen(err.c_str(), "w", stderr);
    ::execl(TARVOLIN_EXPORT_EXE, "tarvolin-export", "--sqlite", db.c_str(), TARVOLIN_SAMPLES_DIR "/capture_all.txt",
            "-", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(input[0]);
  // Once the capture is committed the exporter reads standard input: interrupted there.
  const auto committed = [&] {  // quietly: the database may be busy or not made yet
    sqlite3* h = nullptr;
    sqlite3_stmt* st = nullptr;
    const bool one = sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
                     sqlite3_prepare_v2(h, "SELECT count(*) FROM captures", -1, &st, nullptr) == SQLITE_OK &&
                     sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == 1;
    sqlite3_finalize(st);
    sqlite3_close(h);
    return one;
  };
  for (int i = 0; i < 6000 && !committed(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ::kill(pid, SIGINT);
  const std::string more = readFile(TARVOLIN_SAMPLES_DIR "/capture_loop.txt");
  EXPECT_EQ(::write(input[1], more.data(), more.size()), static_cast<ssize_t>(more.size()));
  ::close(input[1]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(readFile(err), "tarvolin-export: -: stopped; that file was rolled back, the files before it are stored\n");
  EXPECT_EQ(
      rowsOf(db, "SELECT file FROM captures UNION ALL SELECT DISTINCT file FROM database_snapshot"),
      (std::vector<std::string>{TARVOLIN_SAMPLES_DIR "/capture_all.txt", TARVOLIN_SAMPLES_DIR "/capture_all.txt"}));
  fs::remove_all(dir);
}

}  // namespace
