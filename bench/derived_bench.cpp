// Times what derived columns and statement shapes cost the exporter, each against the plain
// export of the same report in the same run (runs taken in turns):
//   LOCK_REPORT: `--all-columns --derived` against `--all-columns` (no derived columns by default);
//   SQL_REPORT:  the same, with the three shipped Dynamic SQL columns on every row;
//   BIG_SQL_REPORT: `--statements` (target: under 1 s), and the plain export for reference.
// Usage: derived_bench EXPORT_EXE LOCK_REPORT SQL_REPORT BIG_SQL_REPORT [RUNS]

#include "bench_run.h"

namespace {

using namespace bench;

/// Prints the plain and the derived run of `report` and returns the ratio of their best times.
double compareOn(const std::string& exe, const std::string& label, const std::string& report, int runs) {
  std::vector<double> ratios;
  const auto [plain, derived] =
      bestInTurns({exe, "--all-columns", report}, {exe, "--all-columns", "--derived", report}, runs, ratios);
  std::sort(ratios.begin(), ratios.end());
  const double ratio = derived.seconds / plain.seconds;
  std::printf("%-6s plain %7.3f s  --derived %7.3f s  ratio %.2f (median of the turns %.2f; target at most 1.30)\n",
              label.c_str(), plain.seconds, derived.seconds, ratio, ratios[ratios.size() / 2]);
  std::printf("%-6s cpu   %7.3f s            %7.3f s  ratio %.2f\n", "", plain.cpuSeconds, derived.cpuSeconds,
              derived.cpuSeconds / plain.cpuSeconds);
  return ratio;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 0;
  const std::vector<std::string> args =
      benchArgs(argc, argv, 4, "derived_bench EXPORT_EXE LOCK_REPORT SQL_REPORT BIG_SQL_REPORT [RUNS]", 5, runs);
  const std::string& exe = args[0];
  const double lock = compareOn(exe, "lock", args[1], runs);
  const double sql = compareOn(exe, "sql", args[2], runs);
  std::vector<double> ratios;
  const auto [plain, shapes] =
      bestInTurns({exe, "--all-columns", args[3]}, {exe, "--statements", args[3]}, runs, ratios);
  std::printf("big sql  plain %7.3f s  --statements %7.3f s (target under 1 s), ratio %.2f, peak RSS %.1f MB\n",
              plain.seconds, shapes.seconds, shapes.seconds / plain.seconds,
              static_cast<double>(shapes.maxRssKiB) / 1024.0);
  std::printf("best of %d runs each, taken in turns\n", runs);
  return lock <= 1.3 && sql <= 1.3 && shapes.seconds < 1.0 ? 0 : 3;
}
