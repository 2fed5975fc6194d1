#pragma once

#include <array>
#include <string>

#include "core/grid/grid.h"
#include "core/read/entry_reader.h"
#include "core/read/shared_state.h"

namespace tarvolin::core {

/// Gives every lock row the owner it was listed under. In a report whose entries come
/// in two levels (an application, then its locks, as EntryReader cuts a lock snapshot),
/// a lock entry leaves "Application handle", "Application ID" and "Application name"
/// empty; this class fills them from the application entry read last, before the reload
/// filter looks at the entry, and marks the cells it filled so that a view can draw them
/// apart. A report of one level is left as it is. Cost per entry: three string copies at
/// most; the table is searched only until the three names are found.
class LockOwners {
 public:
  /// The table must outlive this object and may only grow while it is used.
  explicit LockOwners(const VariableTable& vars) : m_vars(vars) {}

  /// Forgets the owner read so far and where its columns were: for a new load.
  void reset();
  /// Notes which level the entry that `item` begins is on.
  void entryBegins(const ReportItem& item);
  /// Called once the entry being read is complete, before it is filtered: an owner's
  /// values are kept, a lock's empty owner values are filled in `vals`.
  void fill(std::array<std::string, kMaxVars>& vals);
  /// Marks in row `row` of `g` the cells that the last fill() filled in.
  void mark(Grid& g, int row) const;
  /// A variable was inserted into the table at `at`: the columns kept follow it.
  void variableInserted(int at);

  /// The names a lock row takes from its owner.
  static constexpr std::array<const char*, 3> kNames = {"Application handle", "Application ID", "Application name"};

 private:
  enum class Level : uint8_t { None, Owner, Member };

  const VariableTable& m_vars;
  Level m_level = Level::None;
  std::array<int, kNames.size()> m_cols{-1, -1, -1};
  std::array<std::string, kNames.size()> m_values;
  std::array<bool, kNames.size()> m_filled{};
};

}  // namespace tarvolin::core
