// Times `tarvolin-export --compare EARLIER LATER > /dev/null` against one
// `tarvolin-export --all-columns LATER > /dev/null` in the same run, the two taken in
// turns, and reports the comparison's peak resident memory against the two files' size.
// Usage: compare_bench EXPORT_EXE EARLIER LATER [RUNS]

#include <sys/stat.h>

#include "bench_run.h"

int main(int argc, char** argv) {
  using namespace bench;
  int runs = 0;
  const std::vector<std::string> args =
      benchArgs(argc, argv, 3, "compare_bench EXPORT_EXE EARLIER LATER [RUNS]", 5, runs);
  const std::string& exe = args[0];
  const std::string& earlier = args[1];
  const std::string& later = args[2];
  double bytes = 0;
  for (const std::string& path : {earlier, later}) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
      std::perror(path.c_str());
      return 1;
    }
    bytes += static_cast<double>(st.st_size);
  }
  runOnce({exe, "--compare", earlier, later});  // both files into the page cache
  std::vector<double> ratios;
  const auto [one, cmp] = bestInTurns({exe, "--all-columns", later}, {exe, "--compare", earlier, later}, runs, ratios);
  std::sort(ratios.begin(), ratios.end());
  const double timeRatio = cmp.seconds / one.seconds;
  const double rssRatio = static_cast<double>(cmp.maxRssKiB) * 1024.0 / bytes;
  std::printf("reports              %s, %s: %.1f MB together\n", earlier.c_str(), later.c_str(), bytes / 1e6);
  std::printf("export --all-columns %8.3f s wall %8.3f s cpu  peak RSS %.1f MB\n", one.seconds, one.cpuSeconds,
              static_cast<double>(one.maxRssKiB) / 1024.0);
  std::printf("export --compare     %8.3f s wall %8.3f s cpu  peak RSS %.1f MB\n", cmp.seconds, cmp.cpuSeconds,
              static_cast<double>(cmp.maxRssKiB) / 1024.0);
  std::printf("compare / export     %8.2f wall  (target at most 3); median of the turns %.2f\n", timeRatio,
              ratios[ratios.size() / 2]);
  std::printf("peak RSS / files     %8.2f       (target at most 1)\n", rssRatio);
  std::printf("best of %d runs each, taken in turns, on %ld cores\n", runs, ::sysconf(_SC_NPROCESSORS_ONLN));
  return timeRatio <= 3.0 && rssRatio <= 1.0 ? 0 : 3;
}
