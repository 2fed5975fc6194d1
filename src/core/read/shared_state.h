#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "core/read/variable_table.h"  // kMaxVars

namespace tarvolin::core {

/// The program-wide flags, for the whole run (the report on show, its kind and variables,
/// are a Report). One instance, passed on by reference.
struct SharedState {
  bool lockcol = false;  ///< "Lock First Col?" option.
  bool cfgdone = false;  ///< The customise dialog was closed with OK.
};

/// The main window's per-load state: values of the entry being read, the stop
/// request and the reload filter. Only the stop request may be set from another thread
/// than the one that runs the load.
struct LoadState {
  std::array<std::string, kMaxVars> vals;
  std::atomic<bool> stopRequested = false;  ///< ends the load at the next line; cleared by whoever starts one
  int16_t filterColumn = 0;
  std::string filterValue;  ///< Empty means no filter; emptied at the end of every load.

  /// Empties vals[0..lastIndex].
  void clearVals(int lastIndex) {
    for (int i = 0; i <= lastIndex && i < kMaxVars; ++i) vals[static_cast<size_t>(i)].clear();
  }
};

}  // namespace tarvolin::core
