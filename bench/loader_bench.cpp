// Times `tarvolin-export --all-columns REPORT > /dev/null` against `wc -l REPORT` on the
// same file in the same run, and reports the exporter's peak resident memory.
// Usage: loader_bench EXPORT_EXE REPORT [RUNS]

#include <sys/stat.h>

#include "bench_run.h"

namespace {

using namespace bench;

long countLines(const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return -1;
  static char buf[1 << 16];
  long n = 0;
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
    for (size_t i = 0; i < got; ++i) n += buf[i] == '\n';
  std::fclose(f);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 0;
  const std::vector<std::string> args =
      bench::benchArgs(argc, argv, 2, "loader_bench EXPORT_EXE REPORT [RUNS]", 3, runs);
  const std::string& exe = args[0];
  const std::string& report = args[1];
  struct stat st {};
  if (::stat(report.c_str(), &st) != 0) {
    std::perror(report.c_str());
    return 1;
  }
  const double mb = static_cast<double>(st.st_size) / 1e6;
  const long lines = countLines(report.c_str());  // also brings the file into the page cache

  std::vector<double> ratios;
  const auto [wc, ex] = bestInTurns({"wc", "-l", report}, {exe, "--all-columns", report}, runs, ratios);
  std::sort(ratios.begin(), ratios.end());
  // wc -l over and over finds the file in the processor's last-level cache: a harder baseline.
  const Timing wcInARow = bestInARow({"wc", "-l", report}, runs);

  double load[3] = {0, 0, 0};
  if (FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3) load[0] = -1;
    std::fclose(f);
  }
  std::printf("report          %s: %.1f MB, %ld lines\n", report.c_str(), mb, lines);
  std::printf("wc -l           %8.3f s wall %8.3f s cpu  %8.1f MB/s  %12.0f lines/s\n", wc.seconds, wc.cpuSeconds,
              mb / wc.seconds, static_cast<double>(lines) / wc.seconds);
  std::printf("tarvolin-export %8.3f s wall %8.3f s cpu  %8.1f MB/s  %12.0f lines/s  peak RSS %.1f MB\n", ex.seconds,
              ex.cpuSeconds, mb / ex.seconds, static_cast<double>(lines) / ex.seconds,
              static_cast<double>(ex.maxRssKiB) / 1024.0);
  const double timeRatio = ex.seconds / wc.seconds;
  const double rssRatio = static_cast<double>(ex.maxRssKiB) * 1024.0 / static_cast<double>(st.st_size);
  std::printf("time / wc -l    %8.2f wall  (target at most 8); median of the turns %.2f\n", timeRatio,
              ratios[ratios.size() / 2]);
  std::printf("peak RSS / file %8.2f       (target at most 1)\n", rssRatio);
  std::printf("wc -l in a row  %8.3f s wall: time / that %.2f\n", wcInARow.seconds, ex.seconds / wcInARow.seconds);
  std::printf("best of %d runs each, taken in turns; load average %.2f on %ld cores\n", runs, load[0],
              ::sysconf(_SC_NPROCESSORS_ONLN));
  return timeRatio <= 8.0 && rssRatio <= 1.0 ? 0 : 3;
}
