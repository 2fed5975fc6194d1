// Grid commands on a generated lock-snapshot-like grid of 100,000 data rows by 30 columns:
// Sort Ascending on one column, Exclude lines like this, Show all lines and Copy Cells of the
// whole grid, each against a baseline measured in the same run. Build in Release.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/grid/grid_commands.h"
#include "core/grid/grid_store.h"
#include "core/grid/row_filters.h"

namespace {

using tarvolin::core::GridStore;
using Clock = std::chrono::steady_clock;

constexpr int kDataRows = 100'000;
constexpr int kCols = 30;
constexpr int kRuns = 5;

const char* const kNames[kCols] = {"Application handle",
                                   "Application ID",
                                   "Sequence number",
                                   "Application name",
                                   "CONNECT Authorization ID",
                                   "Application status",
                                   "Status change time",
                                   "Application code page",
                                   "Locks held",
                                   "Total wait time (ms)",
                                   "Lock Name",
                                   "Lock Attributes",
                                   "Release Flags",
                                   "Lock Count",
                                   "Hold Count",
                                   "Lock Object Name",
                                   "Object Type",
                                   "Tablespace Name",
                                   "Table Schema",
                                   "Table Name",
                                   "Mode",
                                   "Status",
                                   "Lock Escalation",
                                   "Lock wait start timestamp",
                                   "Lock mode requested",
                                   "Lock hold time (ms)",
                                   "Data Partition Id",
                                   "Node number",
                                   "Agent ID holding lock",
                                   "Rows read"};

std::string hex(std::mt19937_64& rng, int digits) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string s = "0x";
  for (int i = 0; i < digits; ++i) s += kHex[rng() % 16];
  return s;
}

/// One application row followed by its locks, about one application per 20 rows, as a lock
/// snapshot loads: application columns 0-9, lock columns 10-29, the other half empty.
GridStore makeGrid() {
  std::mt19937_64 rng(20261206);
  GridStore g;
  g.setCols(kCols);
  g.setRows(kDataRows + 1);
  g.setRowHeight(0, 1200);
  for (int c = 0; c < kCols; ++c) g.setText(0, c, kNames[c]);
  const char* const types[] = {"Row", "Table", "Internal Plan Lock", "Internal Variation Lock", "Tablespace"};
  const char* const modes[] = {"X", "S", "IX", "IS", "NS", "U"};
  const char* const tables[] = {"EXPLAIN_STREAM", "ORDERS", "CUSTOMER", "LINEITEM", "SYSTABLES", "EVENTLOG"};
  int handle = 900;
  for (int r = 1; r <= kDataRows; ++r) {
    if (r % 20 == 1) {
      ++handle;
      g.setText(r, 0, std::to_string(handle));
      g.setText(r, 1, "GA188A4C.H2F3." + std::to_string(80109004206 + r));
      g.setText(r, 2, "0024");
      g.setText(r, 3, "db2jcc_application");
      g.setText(r, 4, "EAIHIN1U");
      g.setText(r, 5, (rng() % 3) != 0 ? "UOW Waiting" : "Lock-wait");
      g.setText(r, 6, "Not Collected");
      g.setText(r, 7, "1208");
      g.setText(r, 8, std::to_string(rng() % 200));
      g.setText(r, 9, (rng() % 2) != 0 ? "Not Collected" : std::to_string(rng() % 100000));
      continue;
    }
    g.setText(r, 10, hex(rng, 26));
    g.setText(r, 11, hex(rng, 8));
    g.setText(r, 12, "0x40000000");
    g.setText(r, 13, std::to_string(1 + rng() % 3));
    g.setText(r, 14, std::to_string(rng() % 2));
    g.setText(r, 15, std::to_string(rng() % 1'000'000));
    g.setText(r, 16, types[rng() % 5]);
    g.setText(r, 17, "USERSPACE1");
    g.setText(r, 18, "EAIHIN1U");
    g.setText(r, 19, tables[rng() % 6]);
    g.setText(r, 20, modes[rng() % 6]);
    g.setText(r, 21, (rng() % 10) != 0 ? "Granted" : "Converting");
    g.setText(r, 22, "NO");
    g.setText(r, 23, "12/06/2026 14:" + std::to_string(10 + rng() % 50) + ":00.000000");
    g.setText(r, 24, modes[rng() % 6]);
    g.setText(r, 25, std::to_string(rng() % 60000));
    g.setText(r, 26, "0");
    g.setText(r, 27, "0");
    g.setText(r, 28, std::to_string(handle));
    g.setText(r, 29, std::to_string(rng() % 10'000'000));
  }
  return g;
}

template <typename F>
double bestMs(F&& run) {
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    const auto t0 = Clock::now();
    run();
    const auto t1 = Clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

/// Times `op` on a fresh copy of `grid` per run (the copy is not timed).
template <typename F>
double bestOnCopyMs(const GridStore& grid, F&& op) {
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    GridStore g = grid;
    const auto t0 = Clock::now();
    op(g);
    const auto t1 = Clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

size_t textBytes(const GridStore& g) {
  size_t n = 0;
  for (int r = 0; r < g.rows(); ++r)
    for (int c = 0; c < g.cols(); ++c) n += g.textUnchecked(r, c).size();
  return n;
}

void report(const char* what, double ms, double targetMs, const char* baseline, double baseMs) {
  std::printf("%-34s %9.2f ms  (target < %6.0f ms: %s)   baseline %-38s %8.2f ms  ratio %6.1fx\n", what, ms, targetMs,
              ms < targetMs ? "met" : "MISSED", baseline, baseMs, baseMs > 0 ? ms / baseMs : 0.0);
}

}  // namespace

int main() {
  const auto t0 = Clock::now();
  const GridStore grid = makeGrid();
  const double genMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  std::printf("grid: %d data rows x %d columns, %zu text bytes, generated in %.0f ms; best of %d runs each\n",
              kDataRows, kCols, textBytes(grid), genMs, kRuns);

  // Sort Ascending on "Lock Object Name" (numbers, empty on application rows), one cell selected.
  constexpr int kSortCol = 15;
  const double sortMs = bestOnCopyMs(grid, [](GridStore& g) {
    g.setSelection(5, kSortCol, 5, kSortCol);
    tarvolin::core::sortSelection(g, tarvolin::core::SortOrder::Ascending);
  });
  std::vector<std::pair<double, uint32_t>> parsed;
  for (int r = 1; r <= kDataRows; ++r) {
    const std::string_view t = grid.textUnchecked(r, kSortCol);
    double v = 1e300;  // empty last
    if (!t.empty()) std::from_chars(t.data(), t.data() + t.size(), v);
    parsed.emplace_back(v, static_cast<uint32_t>(r));
  }
  const double sortBase = bestMs([&] {
    auto keys = parsed;
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  });
  report("Sort Ascending (numbers)", sortMs, 500, "stable_sort of pre-parsed doubles", sortBase);
  std::vector<int> shuffled(kDataRows);
  std::iota(shuffled.begin(), shuffled.end(), 1);
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937_64(7));
  const double moveMs = bestOnCopyMs(grid, [&](GridStore& g) { g.permuteRows(1, shuffled); });
  std::printf("  (of a sort, moving the rows: GridStore::permuteRows of a random order alone takes %.2f ms)\n", moveMs);

  // The same on a text column ("Lock Name", hex).
  const double sortTextMs = bestOnCopyMs(grid, [](GridStore& g) {
    g.setSelection(5, 10, 5, 10);
    tarvolin::core::sortSelection(g, tarvolin::core::SortOrder::Ascending);
  });
  report("Sort Ascending (hex text)", sortTextMs, 500, "stable_sort of pre-parsed doubles", sortBase);

  // Exclude lines like this: "Object Type" = "Row" (about a fifth of the rows).
  constexpr int kExclCol = 16;
  const double exclMs = bestOnCopyMs(grid, [](GridStore& g) { tarvolin::core::hideRowsLike(g, kExclCol, "Row"); });
  std::vector<int> heights(static_cast<size_t>(kDataRows) + 1, 250);
  const double exclBase = bestMs([&] {
    for (int r = 1; r <= kDataRows; ++r)
      if (grid.textUnchecked(r, kExclCol) == "Row") heights[static_cast<size_t>(r)] = 0;
  });
  GridStore excluded = grid;
  tarvolin::core::hideRowsLike(excluded, kExclCol, "Row");
  int hidden = 0;
  for (int r = 1; r < excluded.rows(); ++r) hidden += excluded.rowHeight(r) == 0;
  std::printf("  (%d rows hidden)\n", hidden);
  report("Exclude lines like this", exclMs, 100, "compare loop into a plain vector", exclBase);

  // Show all lines after that exclusion.
  const double showMs = bestOnCopyMs(excluded, [](GridStore& g) { tarvolin::core::showAllRows(g); });
  const double showBase = bestMs([&] { std::fill(heights.begin() + 1, heights.end(), 250); });
  report("Show all lines", showMs, 100, "std::fill of a height vector", showBase);

  // Copy Cells of the whole grid, header included.
  GridStore whole = grid;
  whole.setSelection(0, 0, kDataRows, kCols - 1);
  size_t copied = 0;
  const double copyMs = bestMs([&] {
    const tarvolin::core::CopiedCells c = tarvolin::core::copyCells(whole);
    copied = c.text.size();
  });
  const std::vector<char> source(textBytes(grid), 'x');
  const double copyBase = bestMs([&] {
    std::string buf(source.size(), '\0');
    std::memcpy(buf.data(), source.data(), source.size());
    copied += static_cast<size_t>(buf[buf.size() / 2] == 'y');
  });
  std::printf("  (%zu bytes of clipboard text)\n", copied);
  report("Copy Cells (whole grid)", copyMs, 1000, "allocate + memcpy of the arena size", copyBase);
  return 0;
}
