// The cost of the kinds index: the exporter of this build against a BASELINE exporter (one
// built before the index) on the same report in the same run, the two taken in turns; and
// `--kinds` (the index alone) against a plain export of this build.
// Usage: kinds_bench BASELINE_EXE EXPORT_EXE REPORT [RUNS]   (RUNS defaults to 5)

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_run.h"

int main(int argc, char** argv) {
  int runs = 0;
  const std::vector<std::string> args =
      bench::benchArgs(argc, argv, 3, "kinds_bench BASELINE_EXE EXPORT_EXE REPORT [RUNS]", 5, runs);
  const std::string& base = args[0];
  const std::string& exe = args[1];
  const std::string& report = args[2];
  bench::runOnce({"cat", report});  // into the page cache

  const auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::vector<double> indexRatios;
  const auto [before, after] = bench::bestInTurns({base, report}, {exe, report}, runs, indexRatios);
  std::vector<double> kindsRatios;
  const auto [plain, kinds] = bench::bestInTurns({exe, report}, {exe, "--kinds", report}, runs, kindsRatios);

  std::printf("report                 %s, %d runs of each, in turns\n", report.c_str(), runs);
  std::printf("baseline export        %8.3f s wall %8.3f s cpu  peak RSS %.1f MB\n", before.seconds, before.cpuSeconds,
              static_cast<double>(before.maxRssKiB) / 1024.0);
  std::printf("export with the index  %8.3f s wall %8.3f s cpu  peak RSS %.1f MB\n", after.seconds, after.cpuSeconds,
              static_cast<double>(after.maxRssKiB) / 1024.0);
  std::printf("--kinds                %8.3f s wall %8.3f s cpu  peak RSS %.1f MB\n", kinds.seconds, kinds.cpuSeconds,
              static_cast<double>(kinds.maxRssKiB) / 1024.0);
  std::printf(
      "index cost             %+7.1f %% of the baseline export (best against best; median of turns %+.1f %%;"
      " target at most +10 %%)\n",
      (after.seconds / before.seconds - 1) * 100, (median(indexRatios) - 1) * 100);
  std::printf("index cost, cpu        %+7.1f %% (best cpu time against best; less exposed to a busy machine)\n",
              (after.cpuSeconds / before.cpuSeconds - 1) * 100);
  std::printf("--kinds / export       %8.2f (best against best; median of turns %.2f; target at most 1)\n",
              kinds.seconds / plain.seconds, median(kindsRatios));
  std::printf("--kinds / export, cpu  %8.2f\n", kinds.cpuSeconds / plain.cpuSeconds);
  return 0;
}
