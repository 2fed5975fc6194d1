#pragma once

#include <string>
#include <vector>

#include "core/lockwait/lock_waits.h"

namespace tarvolin::core {

/// The lock-wait rows as a tree: each waiter under its holder. Row numbers are indexes into
/// LockWaits::rows; the tree's order (children, roots) starts in the rows' own order.
struct LockWaitTree {
  std::vector<int> parent;                      ///< by row: its holder's row, -1 for a root
  std::vector<std::vector<int>> children;       ///< by row: its waiters, in shown order
  std::vector<int> roots;                       ///< rows without a holder, in shown order
  std::vector<std::vector<std::string>> texts;  ///< by row: the cells, as lockWaitHeads() names them
};

/// Builds the tree of rows written in tree order (each row's holder is the nearest row
/// above it one level up). Linear in the rows.
[[nodiscard]] LockWaitTree lockWaitTree(const LockWaits& w);

/// The cells of one row, as lockWaitHeads() names them.
[[nodiscard]] std::vector<std::string> lockWaitTexts(const LockWaitRow& r);

/// Sorts the roots and each row's waiters by column `column` (of lockWaitHeads()), rows that
/// compare equal keeping their order. Numbers compare as numbers and come before other
/// texts; "Not Collected" and then empty cells come last in either direction. A column out of
/// range restores the tree order.
void sortLockWaitTree(LockWaitTree& tree, int column, bool descending);

/// Brings back the order the tree was built in.
void restoreTreeOrder(LockWaitTree& tree);

}  // namespace tarvolin::core
