#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/read/variable_table.h"

namespace tarvolin::core {

/// What the program's shared module owns for the whole run: the variable table,
/// the report kind and the two program-wide flags. One instance, passed on by reference.
struct SharedState {
  VariableTable vars;
  std::string snaptype;  ///< Heading line of the report on show, trimmed; empty until read.
  bool lockcol = false;  ///< "Lock First Col?" option.
  bool cfgdone = false;  ///< The customise dialog was closed with OK.
};

/// The main window's per-load state: values of the entry being read, the stop
/// request and the reload filter.
struct LoadState {
  std::array<std::string, kMaxVars> vals;
  bool stopflag = false;
  int16_t like_col = 0;
  std::string like_val;  ///< Empty means no filter; emptied at the end of every load.

  /// Empties vals[0..maxvar].
  void clearVals(int maxvar) {
    for (int i = 0; i <= maxvar && i < kMaxVars; ++i) vals[static_cast<size_t>(i)].clear();
  }
};

}  // namespace tarvolin::core
