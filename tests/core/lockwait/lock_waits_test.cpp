// The lock-wait tree of a lock snapshot: roots, chains, cycles and holders outside the report.
#include <gtest/gtest.h>

#include "core/load_fixture.h"
#include "core/lockwait/lock_waits.h"

namespace tarvolin::core {
namespace {

/// An application: "H" holds, "H>G" waits for agent G, "H>@G" names only G's application ID,
/// "H>?" has no holder lines, "H>-" holder lines "Not Collected".
std::string app(const std::string& shape) {
  const size_t gt = shape.find('>');
  const std::string h = shape.substr(0, gt);
  std::string text = "Application handle    = " + h + "\nApplication ID        = *LOCAL.db2." + h +
                     "\nApplication name      = app" + h +
                     "\nApplication status    = " + (gt == std::string::npos ? "UOW Executing" : "Lock-wait") +
                     "\nTotal wait time (ms)  = 5\n\n";
  if (gt == std::string::npos) return text + "List Of Locks\n Lock Name   = 0x01\n Mode  = X\n\n";
  const std::string holder = shape.substr(gt + 1);
  if (holder == "?") return text;
  if (holder == "-") return text + " ID of agent holding lock    = Not Collected\n";
  if (holder[0] == '@') return text + " Application ID holding lock = *LOCAL.db2." + holder.substr(1) + "\n";
  return text + " ID of agent holding lock    = " + holder + "\n Lock mode requested = X\n";
}

class LockWaitTree : public test::Loaded {
 protected:
  /// Rows as "level handle>waitingFor direct/total mark" (">" only for a waiter).
  std::vector<std::string> tree(const std::vector<std::string>& apps) {
    std::string text = "Database Lock Snapshot\n\n";
    for (const std::string& a : apps) text += app(a);
    loadText(text);
    waits = findLockWaits(grid, report.vars);
    std::vector<std::string> out;
    for (const LockWaitRow& r : waits.rows)
      out.push_back(std::to_string(r.level) + " " + r.handle + (r.status == "Lock-wait" ? ">" + r.waitingFor : "") +
                    " " + std::to_string(r.directWaiters) + "/" + std::to_string(r.totalWaiters) +
                    (r.mark.empty() ? "" : " " + r.mark));
    return out;
  }
  LockWaits waits;
};

TEST_F(LockWaitTree, BuildsRootsChainsCyclesAndOutsideHolders) {
  using V = std::vector<std::string>;
  const struct Case {
    const char* what;
    V apps;
    V rows;
  } cases[] = {
      {"depth 1", {"1", "2>1"}, {"0 1 1/1", "1 2>1 0/0"}},
      {"depth 4, the holder below its waiter in the report",
       {"5>4", "1", "2>1", "3>2", "4>3"},
       {"0 1 1/4", "1 2>1 1/3", "2 3>2 1/2", "3 4>3 1/1", "4 5>4 0/0"}},
      {"roots and waiters by total waiters, report order among equals",
       {"1", "2", "3>1", "4>2", "5>4", "6>2", "7>1"},
       {"0 2 2/3", "1 4>2 1/1", "2 5>4 0/0", "1 6>2 0/0", "0 1 2/2", "1 3>1 0/0", "1 7>1 0/0"}},
      {"the holder named by application ID only", {"1", "2>@1"}, {"0 1 1/1", "1 2>1 0/0"}},
      {"a cycle of two with a waiter",
       {"3>2", "2>3", "4>3"},
       {"0 3>2 2/2 deadlock", "1 2>3 0/0 deadlock", "1 4>3 0/0"}},
      {"a cycle of three", {"1>3", "2>1", "3>2"}, {"0 1>3 1/2 deadlock", "1 2>1 1/1 deadlock", "2 3>2 0/0 deadlock"}},
      {"waiting for itself", {"1>1"}, {"0 1>1 0/0 deadlock"}},
      {"holders outside the report, 0 and an unknown application ID",
       {"1>9", "2>0", "3>9", "4>@8"},
       {"0 9 2/2 not in report", "1 1>9 0/0", "1 3>9 0/0", "0 0 1/1 not in report", "1 2>0 0/0",
        "0 *LOCAL.db2.8 1/1 not in report", "1 4>*LOCAL.db2.8 0/0"}},
      {"holder lines missing or not collected", {"1>?", "2>-"}, {"0  2/2 holder unknown", "1 1> 0/0", "1 2> 0/0"}},
  };
  for (const Case& c : cases) EXPECT_EQ(tree(c.apps), c.rows) << c.what;
}

TEST_F(LockWaitTree, ChainOfAHundredThousandNeedsNoDeepStack) {
  constexpr int kDepth = 100000;
  std::vector<std::string> apps{"0>" + std::to_string(kDepth - 1)};  // and a cycle through all of them
  for (int i = 1; i < kDepth; ++i) apps.push_back(std::to_string(i) + ">" + std::to_string(i - 1));
  const std::vector<std::string> rows = tree(apps);
  ASSERT_EQ(rows.size(), static_cast<size_t>(kDepth));
  EXPECT_EQ(rows.front(), "0 0>99999 1/99999 deadlock");
  EXPECT_EQ(waits.rows.back().level, kDepth - 1);
}

}  // namespace
}  // namespace tarvolin::core
