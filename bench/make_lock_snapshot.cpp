// Writes a large "Database Lock Snapshot" as the DB2 command line processor prints it on
// Windows (CR LF): database lines, then applications, each with its list of locks.
// Usage: make_lock_snapshot [LINES] [OUTPUT] [later|waiters]   (defaults: 1000000, /tmp/tarvolin-bench-lock.txt)
// With "later" it writes the same applications and locks as a snapshot taken 10 s later:
// wait times grown, and one lock in 200 replaced by another (a gone and a new entry).
// With "waiters" every tenth application is in "Lock-wait", with the lines naming the
// application holding its lock (one of the 50 before it, so chains form), and no other is.

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "report_generator.h"

namespace {

using bench::kTables;
using bench::Rng;

constexpr const char* kSpaces[] = {"TS_ORDERS", "TS_CATALOG", "TS_AUDIT", "USERSPACE1"};
constexpr const char* kModes[] = {"IX", "X", "S", "IS", "NS", "U", "SIX"};
constexpr const char* kStatus[] = {"UOW Executing", "UOW Waiting", "Lock-wait", "Connect Completed"};
constexpr const char* kNames[] = {"invoice_batch", "db2bp", "price_update.py", "java", "report_srv", "etl_load"};

class Writer {
 public:
  explicit Writer(FILE* f) : m_f(f) {}
  void line(const std::string& s) {
    std::fputs(s.c_str(), m_f);
    std::fputs("\r\n", m_f);
    ++m_lines;
  }
  void pair(const char* name, int width, const std::string& value) {
    std::string s(name);
    if (static_cast<int>(s.size()) < width) s.append(static_cast<size_t>(width) - s.size(), ' ');
    line(s + "= " + value);
  }
  [[nodiscard]] long lines() const { return m_lines; }

 private:
  FILE* m_f;
  long m_lines = 0;
};

std::string hex(Rng& rng, int digits) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string s = "0x";
  for (int i = 0; i < digits; ++i) s.push_back(kDigits[rng.below(16)]);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const long target = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000000;
  const char* path = argc > 2 ? argv[2] : "/tmp/tarvolin-bench-lock.txt";
  const bool later = argc > 3 && std::string(argv[3]) == "later";
  const bool waiters = argc > 3 && std::string(argv[3]) == "waiters";
  Rng moves;  // what changed by the later snapshot; apart, so that both write the same entries
  std::FILE* f = bench::openOutput(path);
  if (f == nullptr) return 1;
  Rng rng;
  Writer w(f);
  w.line("");
  w.line("            Database Lock Snapshot");
  w.line("");
  w.pair("Database name", 43, "ORDERS");
  w.pair("Database path", 43, "C:\\DB2\\NODE0000\\SQL00003\\MEMBER0000\\");
  w.pair("Input database alias", 43, "ORDERS");
  w.pair("Locks held", 43, std::to_string(target / 12));
  w.pair("Applications currently connected", 43, std::to_string(target / 120));
  w.pair("Agents currently waiting on locks", 43, "3");
  w.pair("Snapshot timestamp", 43, later ? "11/27/2026 16:42:18.305517" : "11/27/2026 16:42:08.305517");
  w.line("");
  for (int app = 0; w.lines() < target; ++app) {
    const int handle = 4000 + app;
    const int locks = static_cast<int>(rng.below(17));
    w.line("");
    w.pair("Application handle", 43, std::to_string(handle));
    w.pair("Application ID", 43,
           "10.20." + std::to_string(rng.below(256)) + "." + std::to_string(rng.below(256)) + "." +
               std::to_string(40000 + rng.below(20000)) + ".2611271" + std::to_string(10000 + rng.below(89999)));
    w.pair("Sequence number", 43, "000" + std::to_string(10 + rng.below(89)));
    w.pair("Application name", 43, kNames[rng.below(6)]);
    w.pair("CONNECT Authorization ID", 43, app % 3 == 0 ? "BATCHUSR" : "WEBAPP");
    const char* status = kStatus[rng.below(4)];
    const bool waits = waiters && app % 10 == 9;
    if (waiters) status = waits ? "Lock-wait" : kStatus[app % 2];
    w.pair("Application status", 43, status);
    w.pair("Status change time", 43, "Not Collected");
    w.pair("Application code page", 43, "1208");
    w.pair("Locks held", 43, std::to_string(locks));
    std::string wait = "Not Collected";
    if (rng.below(4) == 0) wait = std::to_string(rng.below(60000) + (later ? moves.below(10000) : 0));
    w.pair("Total wait time (ms)", 43, wait);
    if (waits) {
      const int holder = 4000 + app - 1 - static_cast<int>(moves.below(50));
      w.line("");
      w.pair(" Subsection waiting for lock", 43, "0");
      w.pair(" ID of agent holding lock", 43, std::to_string(holder));
      w.pair(" Lock name", 43, hex(moves, 26));
      w.pair(" Lock object type waited on", 43, "Row");
      w.pair(" Lock mode requested", 43, "Exclusive Lock (X)");
      w.pair(" Name of tablespace holding lock", 43, kSpaces[moves.below(4)]);
      w.pair(" Schema of table holding lock", 43, "SHOP");
      w.pair(" Name of table holding lock", 43, kTables[moves.below(10)]);
    }
    if (locks == 0) continue;
    w.line("");
    w.line("List Of Locks");
    for (int l = 0; l < locks && w.lines() < target; ++l) {
      const bool row = rng.below(3) != 0;
      std::string name = hex(rng, 26);
      if (later && moves.below(200) == 0) name[2] = name[2] == 'F' ? '0' : 'F';
      w.pair(" Lock Name", 29, name);
      w.pair(" Lock Attributes", 29, row ? "0x00000008" : "0x00000000");
      w.pair(" Release Flags", 29, "0x40000000");
      w.pair(" Lock Count", 29, std::to_string(1 + rng.below(3)));
      w.pair(" Hold Count", 29, "0");
      w.pair(" Lock Object Name", 29, std::to_string(row ? rng.below(90000000) : rng.below(400)));
      w.pair(" Object Type", 29, row ? "Row" : "Table");
      w.pair(" Tablespace Name", 29, kSpaces[rng.below(4)]);
      w.pair(" Table Schema", 29, "SHOP");
      w.pair(" Table Name", 29, kTables[rng.below(10)]);
      w.pair(" Mode", 29, kModes[rng.below(7)]);
      w.line("");
    }
  }
  if (!bench::closeOutput(f, path)) return 1;
  std::printf("%s: %ld lines\n", path, w.lines());
  return 0;
}
