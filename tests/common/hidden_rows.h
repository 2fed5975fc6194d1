#pragma once

#include "core/grid_store.h"

namespace tarvolin::test {

/// Data rows (1 to rows() - 1) of `g` whose height is 0.
inline int hiddenRowCount(const core::GridStore& g) {
  int n = 0;
  for (int r = 1; r < g.rows(); ++r) n += g.rowHeight(r) == 0;
  return n;
}

}  // namespace tarvolin::test
