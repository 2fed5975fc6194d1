// Times building the lock-wait tree of a large lock snapshot against loading that snapshot,
// both in this process, then `tarvolin-export --lock-waits REPORT > /dev/null` against
// `tarvolin-export --all-columns REPORT > /dev/null`, taken in turns.
// Usage: lockwait_bench EXPORT_EXE REPORT [RUNS]   (REPORT: make_lock_snapshot 1000000 PATH waiters)

#include "bench_run.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/report_loader.h"

int main(int argc, char** argv) {
  using namespace bench;
  using namespace tarvolin;
  int runs = 0;
  const std::vector<std::string> args = benchArgs(argc, argv, 2, "lockwait_bench EXPORT_EXE REPORT [RUNS]", 5, runs);
  const std::string& exe = args[0];
  const std::string& report = args[1];
  double load = 1e30;
  double tree = 1e30;
  core::LockWaits waits;
  int rows = 0;
  for (int i = 0; i < runs; ++i) {
    core::SharedState shared;
    core::LoadState state;
    core::GridStore grid;
    core::FixedTextMeasure measure;
    core::NullLoadObserver observer;
    core::ReportLoader loader(shared, grid.report(), state, observer, measure, ".");
    auto start = std::chrono::steady_clock::now();
    loader.load(report, grid);
    load = std::min(load, bench::secondsSince(start));
    start = std::chrono::steady_clock::now();
    waits = core::findLockWaits(grid, grid.report().vars);
    tree = std::min(tree, bench::secondsSince(start));
    rows = grid.rows() - 1;
  }
  std::vector<double> ratios;
  const auto [plain, lw] = bestInTurns({exe, "--all-columns", report}, {exe, "--lock-waits", report}, runs, ratios);
  std::sort(ratios.begin(), ratios.end());
  std::printf("report               %s: %d entries, %d applications waiting, %zu tree rows\n", report.c_str(), rows,
              waits.waiting, waits.rows.size());
  std::printf("load (in process)    %8.3f s\n", load);
  std::printf("tree (in process)    %8.3f s   (target at most 1 s)  tree / load %.3f\n", tree, tree / load);
  std::printf("export --all-columns %8.3f s wall  peak RSS %.1f MB\n", plain.seconds,
              static_cast<double>(plain.maxRssKiB) / 1024.0);
  std::printf("export --lock-waits  %8.3f s wall  peak RSS %.1f MB\n", lw.seconds,
              static_cast<double>(lw.maxRssKiB) / 1024.0);
  std::printf("lock-waits / export  %8.2f wall; median of the turns %.2f\n", lw.seconds / plain.seconds,
              ratios[ratios.size() / 2]);
  std::printf("best of %d runs each, on %ld cores\n", runs, ::sysconf(_SC_NPROCESSORS_ONLN));
  return tree <= 1.0 ? 0 : 3;
}
