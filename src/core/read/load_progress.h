#pragma once

#include <cstdint>
#include <string>

#include "core/grid/grid.h"
#include "core/read/load_observer.h"

namespace tarvolin::core {

/// "Records read: N Records outputted M" (or with the "Finished. " prefix).
[[nodiscard]] std::string progressText(int32_t nread, int32_t nout, bool finished);

/// Keeps the user informed while a load reads: every 100th line read shows the counts
/// in the status line and switches the grid's redraw on and off, so that what watches it
/// (a view, a GridRecorder) takes the rows written so far. Holds references to the observer
/// and the grid, which must outlive it.
class LoadProgress {
 public:
  static constexpr int32_t kEvery = 100;

  LoadProgress(LoadObserver& observer, Grid& grid) : m_observer(observer), m_grid(grid) {}

  /// Called after line `nread` was counted, with the rows written so far.
  void lineRead(int32_t nread, int32_t nout) {
    if (nread % kEvery == 0) show(nread, nout);
  }

 private:
  void show(int32_t nread, int32_t nout);

  LoadObserver& m_observer;
  Grid& m_grid;
};

}  // namespace tarvolin::core
