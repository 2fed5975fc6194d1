// Writes a large "Dynamic SQL Snapshot Result" as the DB2 command line processor prints it
// (CR LF): 24 variable lines per statement, the statements spread over 300 shapes whose
// literals change from one entry to the next, as an application that puts its values in
// the SQL text makes it. With SNAPSHOTS, the report is taken that many times, as a capture
// loop does: the same statements, each counter N times its first value in the Nth.
// Usage: make_dynamic_sql [STATEMENTS] [OUTPUT] [SNAPSHOTS]
//        (defaults: 40000, /tmp/tarvolin-bench-sql.txt, 1)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "report_generator.h"

namespace {

using bench::kTables;
using bench::Rng;

void pair(FILE* f, const char* name, const std::string& value) {
  std::fprintf(f, " %-35s= %s\r\n", name, value.c_str());
}

/// Seconds with microseconds, `times` a random time below `maxSeconds`.
std::string micros(Rng& rng, uint32_t maxSeconds, uint64_t times) {
  const uint64_t fraction = rng.below(1000000);  // drawn first, as the reports made so far were
  const uint64_t seconds = rng.below(maxSeconds);
  const uint64_t total = (seconds * 1000000 + fraction) * times;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%llu.%06llu", static_cast<unsigned long long>(total / 1000000),
                static_cast<unsigned long long>(total % 1000000));
  return buf;
}

/// A counter's value: `times` a random value below `n`.
std::string counter(Rng& rng, uint32_t n, uint64_t times) { return std::to_string(rng.below(n) * times); }

/// Statement `shape` (0 to 299) with fresh literals.
std::string statement(Rng& rng, int shape) {
  const std::string table = std::string("SHOP.") + kTables[shape % 10];
  const std::string id = std::to_string(rng.below(9000000));
  switch (shape % 3) {
    case 0:
      return "SELECT * FROM " + table + " WHERE ID = " + id + " AND C" + std::to_string(shape) + " = 'X" +
             std::to_string(rng.below(1000)) + "'";
    case 1:
      return "UPDATE " + table + " SET AMOUNT = AMOUNT * 1.0" + std::to_string(rng.below(9)) + " WHERE ID IN (" + id +
             ", " + std::to_string(rng.below(99)) + ", -" + std::to_string(shape) + ")";
    default:
      return "DELETE FROM " + table + " WHERE CREATED < '2026-11-" + std::to_string(10 + rng.below(18)) + "' AND K" +
             std::to_string(shape) + " = X'" + std::to_string(rng.below(99)) + "'";
  }
}

/// One snapshot of `count` statements; counters `times` their first values.
void writeSnapshot(FILE* f, long count, uint64_t times) {
  Rng rng;  // the same statements in every snapshot
  std::fputs("\r\n                  Dynamic SQL Snapshot Result\r\n\r\n", f);
  pair(f, "Database name", "ORDERS");
  pair(f, "Database path", "C:\\DB2\\NODE0000\\SQL00003\\MEMBER0000\\");
  for (long i = 0; i < count; ++i) {
    std::fputs("\r\n", f);
    pair(f, "Number of executions", counter(rng, 100000, times));
    pair(f, "Number of compilations", std::to_string(1 + rng.below(3)));
    pair(f, "Worst preparation time (ms)", std::to_string(rng.below(90)));
    pair(f, "Best preparation time (ms)", std::to_string(rng.below(10)));
    pair(f, "Internal rows deleted", "0");
    pair(f, "Internal rows inserted", "0");
    pair(f, "Rows read", rng.below(50) == 0 ? "Not Collected" : counter(rng, 4000000, times));
    pair(f, "Internal rows updated", "0");
    pair(f, "Rows written", counter(rng, 1000, times));
    pair(f, "Statement sorts", counter(rng, 100, times));
    pair(f, "Statement sort overflows", counter(rng, 5, times));
    pair(f, "Total sort time", counter(rng, 5000, times));
    pair(f, "Buffer pool data logical reads", counter(rng, 900000, times));
    pair(f, "Buffer pool data physical reads", counter(rng, 50000, times));
    pair(f, "Buffer pool index logical reads", counter(rng, 900000, times));
    pair(f, "Buffer pool index physical reads", counter(rng, 5000, times));
    std::fprintf(f, " Total execution time (sec.microsec)= %s\r\n", micros(rng, 30, times).c_str());
    std::fprintf(f, " Total user cpu time (sec.microsec) = %s\r\n", micros(rng, 20, times).c_str());
    std::fprintf(f, " Total system cpu time (sec.microsec)= %s\r\n", micros(rng, 2, times).c_str());
    pair(f, "Total statistic fabrication time (milliseconds)", "0");
    pair(f, "Total synchronous runstats time  (milliseconds)", "0");
    pair(f, "Statement text", statement(rng, static_cast<int>(rng.below(300))));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 40000;
  const char* path = argc > 2 ? argv[2] : "/tmp/tarvolin-bench-sql.txt";
  const long snapshots = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 1;
  std::FILE* f = bench::openOutput(path);
  if (f == nullptr) return 1;
  for (long s = 1; s <= snapshots; ++s) writeSnapshot(f, count, static_cast<uint64_t>(s));
  if (!bench::closeOutput(f, path)) return 1;
  std::printf("%s: %ld statements, %ld snapshots\n", path, count, snapshots);
  return 0;
}
