// Times `tarvolin-export --sqlite` over FILES minute captures of "get snapshot for all" (each
// about 0.6 MB: a database, 60 applications, 2,000 tables, 60 applications' 480 locks, 300
// statements; a day is 1,440 of them, about 0.9 GB) against the plain export of every kind
// of each file (one run per kind and file, as a script without --sqlite does it), and
// compares the peak memory of --sqlite over FILES and 4 x FILES files (it should stay flat).
// In the same run, --summary of the FILES against --series of their Database kind (target: at
// most twice that plus one pass, the plain export of every kind), and its peak memory over
// FILES and 4 x FILES.
// The captures are written to a temporary folder and removed.
// Usage: sqlite_bench EXPORT_EXE [FILES] [RUNS]   (defaults: 60, 1). Build it Release.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_run.h"

namespace {

namespace fs = std::filesystem;

constexpr int kApplications = 60;
constexpr int kTables = 2000;
constexpr int kLocksEach = 8;
constexpr int kStatements = 300;
constexpr int kKinds = 5;

/// "MM/DD/YYYY HH:MM:SS.000000" of minute `m` of 12/07/2026 (m may run into the next days).
std::string stampOf(int m) {
  char text[40];
  std::snprintf(text, sizeof text, "12/%02d/2026 %02d:%02d:00.000000", 7 + m / 1440, m / 60 % 24, m % 60);
  return text;
}

std::string line(const char* name, const std::string& value, int width = 43) {
  std::string l = name;
  l.resize(static_cast<size_t>(width), ' ');
  return l + "= " + value + "\n";
}

/// One minute's capture; counters grow with `m`.
std::string minuteCapture(int m) {
  const std::string at = stampOf(m);
  const auto n = [m](long base, long perMinute) { return std::to_string(base + perMinute * m); };
  std::string out = "\n              Database Snapshot\n\n" + line("Database name", "ORDERS") +
                    line("Snapshot timestamp", at) + "\n" + line("Rows read", n(9000000, 70000)) +
                    line("Rows selected", n(900000, 3000)) + line("Commit statements attempted", n(10000, 60)) +
                    line("Rollback statements attempted", n(10, m % 7 == 0 ? 1 : 0)) + line("Lock waits", n(30, 1)) +
                    line("Time database waited on locks (ms)", n(3000, 40)) + line("Deadlocks detected", n(0, 0)) +
                    line("Lock Timeouts", n(2, 0)) + line("Lock escalations", n(0, 0)) +
                    line("Total sorts", n(500, 30)) + line("Sort overflows", n(5, 1)) +
                    line("Buffer pool data logical reads", n(1000000, 20000)) +
                    line("Buffer pool data physical reads", n(10000, 300)) +
                    line("Buffer pool index logical reads", n(800000, 15000)) +
                    line("Buffer pool index physical reads", n(2000, 50)) + line("Package cache lookups", n(5000, 90)) +
                    line("Package cache inserts", n(400, 3)) + line("Package cache overflows", "0") +
                    line("Database files closed", "0") + "\n";
  for (int a = 0; a < kApplications; ++a)
    out += "\n            Application Snapshot\n\n" + line("Application handle", std::to_string(4000 + a)) +
           line("Application name", "app" + std::to_string(a)) + line("Snapshot timestamp", at) +
           line("Rows read", n(100000L * a, 900)) + line("Rows written", n(1000L * a, 9)) +
           line("Commit statements", n(100, 1)) + "Dynamic SQL statement text:\nSELECT * FROM SHOP.T" +
           std::to_string(a) + " WHERE ID = ?\n\n";
  out += "\n                        Table Snapshot\n\n" + line("Snapshot timestamp", at, 37) + "\nTable List\n";
  for (int t = 0; t < kTables; ++t)
    out += line(" Table Schema", "SHOP", 21) + line(" Table Name", "T" + std::to_string(t), 21) +
           line(" Table Type", "User", 21) + line(" Data Object Pages", std::to_string(100 + t), 21) +
           line(" Rows Read", n(1000L * t, t % 50), 21) + line(" Rows Written", n(t, t % 7), 21) +
           line(" Overflows", "0", 21) + line(" Page Reorgs", "0", 21) + "\n";
  out += "\n            Database Lock Snapshot\n\n" + line("Database name", "ORDERS") + line("Snapshot timestamp", at) +
         "\n";
  for (int a = 0; a < kApplications; ++a) {
    out += line("Application handle", std::to_string(4000 + a)) + line("Application name", "app" + std::to_string(a)) +
           line("Locks held", std::to_string(kLocksEach)) + "\nList Of Locks\n";
    for (int l = 0; l < kLocksEach; ++l)
      out += line(" Lock Name", "0x0002000C0000" + std::to_string(10000 + a * 100 + l), 29) +
             line(" Lock Count", "1", 29) + line(" Object Type", "Row", 29) +
             line(" Table Name", "T" + std::to_string(l), 29) + line(" Mode", "X", 29) + "\n";
  }
  out += "\n              Dynamic SQL Snapshot Result\n\n" + line(" Database name", "ORDERS", 35) + "\n";
  for (int s = 0; s < kStatements; ++s)
    out += line(" Number of executions", n(s, 3), 35) + line(" Rows read", n(100L * s, 40), 35) +
           line(" Total execution time (sec.microsec)", std::to_string(s + m * (s % 10)) + ".5", 35) +
           line(" Statement text",
                "SELECT C" + std::to_string(s) + " FROM SHOP.T" + std::to_string(s) + " WHERE ID = ?", 35) +
           "\n";
  return out;
}

std::vector<std::string> writeCaptures(const fs::path& dir, int files) {
  std::vector<std::string> paths;
  for (int m = 0; m < files; ++m) {
    char name[32];
    std::snprintf(name, sizeof name, "minute_%05d.txt", m);
    paths.push_back((dir / name).string());
    std::ofstream(paths.back(), std::ios::binary) << minuteCapture(m);
  }
  return paths;
}

/// Wall and CPU time of every kind of every file exported the plain way, one run each.
bench::Timing plainExports(const std::string& exe, const std::vector<std::string>& files) {
  bench::Timing sum;
  sum.status = 0;
  for (const std::string& f : files)
    for (int k = 1; k <= kKinds; ++k) {
      const bench::Timing t = bench::runOnce({exe, "--all-columns", "--kind", std::to_string(k), f});
      sum.seconds += t.seconds;
      sum.cpuSeconds += t.cpuSeconds;
      sum.maxRssKiB = std::max(sum.maxRssKiB, t.maxRssKiB);
      if (t.status != 0) sum.status = t.status;
    }
  return sum;
}

bench::Timing sqliteExport(const std::string& exe, const fs::path& db, const std::vector<std::string>& files) {
  fs::remove(db);
  fs::remove(db.string() + "-wal");
  std::vector<std::string> args = {exe, "--sqlite", db.string()};
  args.insert(args.end(), files.begin(), files.end());
  return bench::runOnce(args);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 0;
  const std::vector<std::string> args =
      bench::benchArgs(argc, argv, 1, "sqlite_bench EXPORT_EXE [FILES] [RUNS]", 1, runs);
  const int files = argc > 2 ? std::max(2, std::atoi(argv[2])) : 60;
  runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
  const fs::path dir = fs::temp_directory_path() / ("tarvolin-sqlite-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::vector<std::string> more = writeCaptures(dir, 4 * files);
  const std::vector<std::string> some(more.begin(), more.begin() + files);
  uintmax_t bytes = 0;
  for (const std::string& f : some) bytes += fs::file_size(f);
  bench::Timing plain, sqlite;
  plain.seconds = sqlite.seconds = plain.cpuSeconds = sqlite.cpuSeconds = 1e30;
  for (int r = 0; r < runs; ++r) {  // in turns: both see the same machine
    const bench::Timing p = plainExports(args[0], some);
    const bench::Timing s = sqliteExport(args[0], dir / "day.db", some);
    if (p.status != 0 || s.status != 0) {
      std::fprintf(stderr, "an export failed (%d, %d)\n", p.status, s.status);
      return 1;
    }
    plain.seconds = std::min(plain.seconds, p.seconds);
    plain.cpuSeconds = std::min(plain.cpuSeconds, p.cpuSeconds);
    sqlite.seconds = std::min(sqlite.seconds, s.seconds);
    sqlite.cpuSeconds = std::min(sqlite.cpuSeconds, s.cpuSeconds);
    sqlite.maxRssKiB = std::max(sqlite.maxRssKiB, s.maxRssKiB);
  }
  const uintmax_t dbBytes = fs::file_size(dir / "day.db");
  const bench::Timing longer = sqliteExport(args[0], dir / "day.db", more);
  std::vector<std::string> seriesArgs = {args[0], "--series", "--kind", "Database Snapshot"};
  std::vector<std::string> summaryArgs = {args[0], "--summary"};
  seriesArgs.insert(seriesArgs.end(), some.begin(), some.end());
  summaryArgs.insert(summaryArgs.end(), some.begin(), some.end());
  std::vector<double> turns;
  const auto [series, summary] = bench::bestInTurns(seriesArgs, summaryArgs, runs, turns);
  summaryArgs.resize(2);
  summaryArgs.insert(summaryArgs.end(), more.begin(), more.end());
  const bench::Timing summaryLonger = bench::runOnce(summaryArgs);
  seriesArgs.resize(4);
  seriesArgs.insert(seriesArgs.end(), more.begin(), more.end());
  const bench::Timing seriesLonger = bench::runOnce(seriesArgs);  // what the file names alone add
  fs::remove_all(dir);
  std::printf("%d files, %.1f MB, %d kinds each\n", files, static_cast<double>(bytes) / 1e6, kKinds);
  std::printf("plain export per kind  %8.3f s wall, %8.3f s CPU\n", plain.seconds, plain.cpuSeconds);
  std::printf("--sqlite               %8.3f s wall, %8.3f s CPU, %7ld KiB peak, database %.1f MB\n", sqlite.seconds,
              sqlite.cpuSeconds, sqlite.maxRssKiB, static_cast<double>(dbBytes) / 1e6);
  std::printf("--sqlite / plain       %8.2f wall, %.2f CPU (target at most 4)\n", sqlite.seconds / plain.seconds,
              sqlite.cpuSeconds / plain.cpuSeconds);
  std::printf("--sqlite, %d files   %8.3f s wall, %8.3f s CPU, %7ld KiB peak\n", 4 * files, longer.seconds,
              longer.cpuSeconds, longer.maxRssKiB);
  const double memory = static_cast<double>(longer.maxRssKiB) / static_cast<double>(sqlite.maxRssKiB);
  std::printf("peak 4N / N            %8.2f         (target about 1)\n", memory);
  const double budget = 2 * series.cpuSeconds + plain.cpuSeconds;
  const double summaryMemory = static_cast<double>(summaryLonger.maxRssKiB) / static_cast<double>(summary.maxRssKiB);
  std::printf("--series, Database     %8.3f s wall, %8.3f s CPU, %7ld KiB peak\n", series.seconds, series.cpuSeconds,
              series.maxRssKiB);
  std::printf("--summary              %8.3f s wall, %8.3f s CPU, %7ld KiB peak\n", summary.seconds, summary.cpuSeconds,
              summary.maxRssKiB);
  std::printf("--summary / --series   %8.2f wall, %.2f CPU\n", summary.seconds / series.seconds,
              summary.cpuSeconds / series.cpuSeconds);
  std::printf("--summary / (2 x --series + plain), CPU %5.2f (target at most 1)\n", summary.cpuSeconds / budget);
  std::printf("--summary, %d files  %8.3f s wall, %7ld KiB peak; 4N / N %.2f (target about 1)\n", 4 * files,
              summaryLonger.seconds, summaryLonger.maxRssKiB, summaryMemory);
  std::printf("--series, %d files   %8.3f s wall, %7ld KiB peak; 4N / N %.2f (the file names' share)\n", 4 * files,
              seriesLonger.seconds, seriesLonger.maxRssKiB,
              static_cast<double>(seriesLonger.maxRssKiB) / static_cast<double>(series.maxRssKiB));
  return sqlite.seconds / plain.seconds <= 4.0 && memory <= 1.25 && summary.cpuSeconds <= budget &&
                 summaryMemory <= 1.25
             ? 0
             : 3;
}
