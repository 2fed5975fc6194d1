#include "core/lockwait/lock_wait_tree.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace tarvolin::core {

namespace {

constexpr std::string_view kNotCollected = "Not Collected";

std::optional<double> number(const std::string& t) {
  double value = 0;
  const char* end = t.data() + t.size();
  const auto [ptr, ec] = std::from_chars(t.data(), end, value);
  if (t.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

/// 0 for a number, 1 for other text, 2 for "Not Collected", 3 for an empty cell.
int rank(const std::string& t) {
  if (t.empty()) return 3;
  if (t == kNotCollected) return 2;
  return number(t) ? 0 : 1;
}

/// Whether `a` sorts before `b`; equal texts (and equal numbers) compare equal.
bool before(const std::string& a, const std::string& b, bool descending) {
  const int ra = rank(a);
  const int rb = rank(b);
  if (ra != rb) return ra < rb;
  if (ra == 0) {
    const double x = *number(a);
    const double y = *number(b);
    return descending ? y < x : x < y;
  }
  return descending ? b < a : a < b;
}

}  // namespace

std::vector<std::string> lockWaitTexts(const LockWaitRow& r) {
  return {std::to_string(r.level),
          r.handle,
          r.name,
          r.status,
          r.waitingFor,
          r.mode,
          r.object,
          r.table,
          r.waitMs,
          std::to_string(r.directWaiters),
          std::to_string(r.totalWaiters),
          r.mark};
}

LockWaitTree lockWaitTree(const LockWaits& w) {
  LockWaitTree t;
  const size_t n = w.rows.size();
  t.parent.assign(n, -1);
  t.children.resize(n);
  t.texts.reserve(n);
  std::vector<int> path;  // by level: the last row seen at that level
  for (size_t i = 0; i < n; ++i) {
    const int row = static_cast<int>(i);
    const int level = std::max(0, w.rows[i].level);
    t.texts.push_back(lockWaitTexts(w.rows[i]));
    path.resize(std::min(static_cast<size_t>(level), path.size()));
    if (path.empty()) {
      t.roots.push_back(row);
    } else {
      t.parent[i] = path.back();
      t.children[static_cast<size_t>(path.back())].push_back(row);
    }
    path.push_back(row);
  }
  return t;
}

void sortLockWaitTree(LockWaitTree& tree, int column, bool descending) {
  if (column < 0 || column >= static_cast<int>(lockWaitHeads().size())) {
    restoreTreeOrder(tree);
    return;
  }
  const auto col = static_cast<size_t>(column);
  auto sortRows = [&](std::vector<int>& rows) {
    std::ranges::sort(rows, [&](int a, int b) {
      const std::string& x = tree.texts[static_cast<size_t>(a)][col];
      const std::string& y = tree.texts[static_cast<size_t>(b)][col];
      if (before(x, y, descending)) return true;
      if (before(y, x, descending)) return false;
      return a < b;  // tree order among equals
    });
  };
  sortRows(tree.roots);
  for (std::vector<int>& c : tree.children) sortRows(c);
}

void restoreTreeOrder(LockWaitTree& tree) {
  std::ranges::sort(tree.roots);
  for (std::vector<int>& c : tree.children) std::ranges::sort(c);
}

}  // namespace tarvolin::core
