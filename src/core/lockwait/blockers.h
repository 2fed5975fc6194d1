#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/grid/grid_store.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/variable_table.h"

namespace tarvolin::core {

/// An application that was a root blocker in a window of lock snapshots.
struct Blocker {
  std::string handle;
  std::string name;
  std::string id;         ///< "Application ID", where its lock snapshot row has one
  std::string firstSeen;  ///< the first snapshot in which it blocked (its label: time or #N)
  std::string lastSeen;   ///< and the last
  int snapshots = 0;      ///< in how many snapshots it blocked
  int mostWaiters = 0;    ///< the most applications waiting below it at once
  std::string waitMs;     ///< "Total wait time (ms)" of its waiters summed, in the last snapshot it blocked
  std::string statement;  ///< its statement text in the capture's Application Snapshot, or empty
};

/// The root blockers of the lock snapshots of a window, gathered snapshot by snapshot: one
/// per application handle, in the order they first blocked. A root that is only "holder
/// unknown" (its waiters' holder not collected) is none. Memory: one record per blocker.
class BlockerHistory {
 public:
  /// Takes the lock waits `w` found in snapshot `label` (its grid `g`, variables `vars`).
  void add(const LockWaits& w, const GridStore& g, const VariableTable& vars, const std::string& label);
  /// Takes the statements of an Application Snapshot (`g`, `vars`): each blocker's
  /// "Dynamic SQL statement text:" by its "Application handle"; a later one replaces an earlier.
  void addStatements(const GridStore& g, const VariableTable& vars);
  [[nodiscard]] const std::vector<Blocker>& blockers() const { return m_blockers; }
  /// Writes them as a result grid (see startResultGrid): "Application handle", "Application
  /// name", "Application ID", "First blocked", "Last blocked", "Snapshots", "Most waiters",
  /// "Waiters' wait time (ms)", "Statement".
  void write(GridStore& out) const;

 private:
  std::vector<Blocker> m_blockers;
  std::unordered_map<std::string, size_t> m_byHandle;
};

}  // namespace tarvolin::core
