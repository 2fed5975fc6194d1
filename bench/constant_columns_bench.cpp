// "Hide Constant Columns" on an application-snapshot-like grid of 100,000 data rows by 150
// columns: the constant check (core::constantColumns) and the whole command
// (core::hideConstantColumns), each against a baseline measured in the same run, a plain read
// of every cell's length. Two grids: a typical one, where two thirds of the columns are
// constant ("Not Collected", 0, the database name, empty) and the rest differ within the
// first rows; and the worst case, where every column is constant, so every cell is compared.
// Build in Release.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "core/grid/constant_columns.h"
#include "core/grid/grid_store.h"

namespace {

using tarvolin::core::GridStore;
using Clock = std::chrono::steady_clock;

constexpr int kDataRows = 100'000;
constexpr int kCols = 150;
constexpr int kRuns = 5;
constexpr double kTargetMs = 50;

/// Every third column varies from row to row unless `allConstant`; the others hold one of
/// the usual constant values, each row with its own copy of the bytes, as a load writes them.
GridStore makeGrid(bool allConstant) {
  static const char* const kConstants[] = {"Not Collected", "0", "ORDERS", "", "1208", "UOW Waiting"};
  GridStore g;
  g.setCols(kCols);
  g.setRows(kDataRows + 1);
  std::vector<std::string> texts(kCols);
  for (int c = 0; c < kCols; ++c) texts[static_cast<size_t>(c)] = "Variable " + std::to_string(c);
  g.setRowTexts(0, texts);
  for (int r = 1; r <= kDataRows; ++r) {
    for (int c = 0; c < kCols; ++c)
      texts[static_cast<size_t>(c)] =
          !allConstant && c % 3 == 0 ? std::to_string(r * 7 + c) : kConstants[c % std::size(kConstants)];
    g.setRowTexts(r, texts);
  }
  return g;
}

double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

/// Best wall time and best CPU time of this thread, in ms: on a busy machine the wall time
/// also counts the time other processes had the processor.
struct Times {
  double wall = 1e300;
  double cpu = 1e300;
};

template <typename F>
Times best(F&& run) {
  Times t;
  for (int i = 0; i < kRuns; ++i) {
    const auto w0 = Clock::now();
    const double c0 = threadCpuMs();
    run();
    t.cpu = std::min(t.cpu, threadCpuMs() - c0);
    t.wall = std::min(t.wall, std::chrono::duration<double, std::milli>(Clock::now() - w0).count());
  }
  return t;
}

void report(const char* what, Times t, Times base) {
  std::printf(
      "%-24s wall %7.2f ms, CPU %7.2f ms (target < %.0f ms: %s)   baseline wall %6.2f ms, CPU %6.2f ms  "
      "ratio (CPU) %5.2fx\n",
      what, t.wall, t.cpu, kTargetMs, t.cpu < kTargetMs ? "met" : "MISSED", base.wall, base.cpu,
      base.cpu > 0 ? t.cpu / base.cpu : 0.0);
}

void measure(const char* name, bool allConstant) {
  const auto t0 = Clock::now();
  GridStore grid = makeGrid(allConstant);
  const double genMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  size_t constant = 0;
  const Times check = best([&] { constant = tarvolin::core::constantColumns(grid).size(); });
  // Baseline: what touching every cell once costs, without comparing anything.
  size_t bytes = 0;
  const Times base = best([&] {
    bytes = 0;
    for (int r = 1; r <= kDataRows; ++r)
      for (int c = 0; c < kCols; ++c) bytes += grid.textUnchecked(r, c).size();
  });
  const Times hide = best([&] {
    const tarvolin::core::HiddenColumns hidden = tarvolin::core::hideConstantColumns(grid);
    tarvolin::core::showHiddenColumns(grid, hidden);
  });
  std::printf("%s grid: %d data rows x %d columns, %zu constant, %zu text bytes, generated in %.0f ms\n", name,
              kDataRows, kCols, constant, bytes, genMs);
  report("  constant check", check, base);
  report("  hide and show again", hide, base);
}

}  // namespace

int main() {
  std::printf("best of %d runs each; baseline: reading every data cell's length once\n", kRuns);
  measure("typical", false);
  measure("all-constant", true);
  return 0;
}
