// Deadlocks read from event monitor logs.
#include <gtest/gtest.h>

#include "core/load_fixture.h"
#include "core/lockwait/deadlocks.h"

namespace tarvolin::core {
namespace {

/// Each participant as "id apps rolledBack | no applId waitsFor mode table entry mark".
std::vector<std::string> rows(const std::vector<Deadlock>& deadlocks) {
  std::vector<std::string> out;
  for (const Deadlock& d : deadlocks)
    for (const DeadlockParticipant& p : d.participants)
      out.push_back(d.id + " " + d.applications + " " + d.rolledBack + " | " + p.number + " " + p.applId + " " +
                    p.waitsFor + " " + p.mode + " " + p.table + " " + std::to_string(p.entryRow) + " " + p.mark);
  return out;
}

TEST(Deadlocks, SampleWithTwoDeadlocksAndAMissingRecord) {
  const std::vector<Deadlock> d = readDeadlocks(TARVOLIN_SAMPLES_DIR "/deadlock_events.txt");
  const std::string a = "10.20.31.44.51882.261127154011", b = "10.20.31.58.40210.261127164150",
                    c = "10.20.31.61.40877.261127165002";
  EXPECT_EQ(rows(d), (std::vector<std::string>{
                         "1 2 2 | 1 " + a + " 2 X SHOP.PRICE_LIST 4 ",
                         "1 2 2 | 2 " + b + " 1 NS SHOP.INVOICE 4 rolled back",
                         "2 3 1 | 1 " + a + " 2 U WH.STOCK 5 rolled back",
                         "2 3 1 | 2 " + b + " 3 X SHOP.INVOICE_LINE 5 ",
                         "2 3 1 | 3 " + c + "    0 record missing",
                     }));
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].participants[1].statement, "SELECT TOTAL FROM SHOP.INVOICE WHERE INVOICE_ID = ?");
  EXPECT_EQ(d[1].participants[1].statement, "");
  // Name and authorisation ID from the connection's header event, also for a missing record.
  EXPECT_EQ(d[0].participants[1].applName + "/" + d[0].participants[1].authId, "price_update.py/WEBAPP");
  EXPECT_EQ(d[1].participants[2].authId, "WHUSR");
}

TEST(Deadlocks, RecordsOutOfOrderOrWithoutTheirDeadlockEvent) {
  const std::string head = "EVENT LOG HEADER\n  Event Monitor name: M\n";
  const std::string conn = "2) Deadlocked Connection ...\n  Deadlock ID: 7\n  Participant no.: ";
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {head + "1) Deadlock Event ...\n" + conn + "2\n  Participant no. holding the lock: 10\n  Appl Id: B\n" + conn +
           "10\n  Appl Id: J\n  Participant no. holding the lock: 2\n",
       {"7   | 2 B 10   1 ", "7   | 10 J 2   1 "}},
      {head + "1) Deadlock Event ...\n  Deadlock ID: 3\n  Number of applications deadlocked: 2\n"
              "  Rolled back Appl participant no: 2\n",
       {"3 2 2 | 2     0 record missing"}},
      {head + "1) Connection Event ...\n  Appl Id: A\n", {}},
      // The database activated again: its "Deadlock ID" 1 is another deadlock.
      {head + "1) Deadlock Event ...\n  Deadlock ID: 1\n  Number of applications deadlocked: 2\n" +
           "2) Deadlocked Connection ...\n  Deadlock ID: 1\n  Participant no.: 1\n  Appl Id: A\n" +
           "--\n  Database Name: ORDERS\n  First connection timestamp: 11/27/2026 09:00:00.0\n--\n" +
           "3) Deadlocked Connection ...\n  Deadlock ID: 1\n  Participant no.: 1\n  Appl Id: B\n",
       {"1 2  | 1 A    1 ", "1   | 1 B    1 "}},
      // So does another log formatted into the same file.
      {head + "1) Deadlock Event ...\n  Deadlock ID: 1\n" + "2) Deadlocked Connection ...\n  Deadlock ID: 1\n" +
           "  Participant no.: 1\n  Appl Id: A\n" + head + "--\n  Database Name: ORDERS\n--\n" +
           "1) Deadlock Event ...\n  Deadlock ID: 1\n  Number of applications deadlocked: 3\n" +
           "2) Deadlocked Connection ...\n  Deadlock ID: 1\n  Participant no.: 2\n  Appl Id: B\n",
       {"1   | 1 A    1 ", "1 3  | 2 B    2 "}},
  };
  test::TempDir dir;
  for (const auto& [log, expected] : cases) EXPECT_EQ(rows(readDeadlocks(dir.write("log.txt", log))), expected) << log;
  EXPECT_THROW((void)readDeadlocks(dir.write("l.txt", "Database Lock Snapshot\n")), WrongReportKind);
  EXPECT_THROW((void)readDeadlocks(dir.write("e.txt", "")), WrongReportKind);
}

}  // namespace
}  // namespace tarvolin::core
