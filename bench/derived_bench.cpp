// Times what derived columns and statement shapes cost the exporter, each against the plain
// export of the same report in the same run (runs taken in turns):
//   LOCK_REPORT: `--all-columns --derived` against `--all-columns` (no derived columns by default);
//   SQL_REPORT:  the same, with the three shipped Dynamic SQL columns on every row;
//   BIG_SQL_REPORT: `--statements` (target: under 1 s), and the plain export for reference;
//   SQL_SERIES: a capture loop of Dynamic SQL snapshots, `--series --derived` against
//   `--series` (no target: figures only).
// Usage: derived_bench EXPORT_EXE LOCK_REPORT SQL_REPORT BIG_SQL_REPORT SQL_SERIES [RUNS]

#include "bench_run.h"

namespace {

using namespace bench;

/// Prints the plain and the derived run of `report` (with `mode`: --all-columns or --series)
/// and returns the ratio of their best times.
double compareOn(const std::string& exe, const std::string& label, const std::string& report, int runs,
                 const std::string& mode = "--all-columns") {
  std::vector<double> ratios;
  const auto [plain, derived] = bestInTurns({exe, mode, report}, {exe, mode, "--derived", report}, runs, ratios);
  std::sort(ratios.begin(), ratios.end());
  const double ratio = derived.seconds / plain.seconds;
  std::printf("%-6s plain %7.3f s  --derived %7.3f s  ratio %.2f (median of the turns %.2f%s)\n", label.c_str(),
              plain.seconds, derived.seconds, ratio, ratios[ratios.size() / 2],
              mode == "--series" ? "" : "; target at most 1.30");
  std::printf("%-6s cpu   %7.3f s            %7.3f s  ratio %.2f\n", "", plain.cpuSeconds, derived.cpuSeconds,
              derived.cpuSeconds / plain.cpuSeconds);
  return ratio;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 0;
  const std::vector<std::string> args = benchArgs(
      argc, argv, 5, "derived_bench EXPORT_EXE LOCK_REPORT SQL_REPORT BIG_SQL_REPORT SQL_SERIES [RUNS]", 5, runs);
  const std::string& exe = args[0];
  const double lock = compareOn(exe, "lock", args[1], runs);
  const double sql = compareOn(exe, "sql", args[2], runs);
  std::vector<double> ratios;
  const auto [plain, shapes] =
      bestInTurns({exe, "--all-columns", args[3]}, {exe, "--statements", args[3]}, runs, ratios);
  std::printf("big sql  plain %7.3f s  --statements %7.3f s (target under 1 s), ratio %.2f, peak RSS %.1f MB\n",
              plain.seconds, shapes.seconds, shapes.seconds / plain.seconds,
              static_cast<double>(shapes.maxRssKiB) / 1024.0);
  compareOn(exe, "series", args[4], runs, "--series");
  std::printf("best of %d runs each, taken in turns\n", runs);
  return lock <= 1.3 && sql <= 1.3 && shapes.seconds < 1.0 ? 0 : 3;
}
