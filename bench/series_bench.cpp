// Times `tarvolin-export --series` against one plain export of the same capture loop, taken
// in turns, and compares the peak memory of --series over two captures of different lengths
// (it keeps two snapshots, so both should be alike), and the bytes read by --series over a
// window of the first quarter of the snapshots (#1 to #15 of 60) against the whole series:
// the reading ends with the window.
// Usage: series_bench EXPORT_EXE CAPTURE LONGER_CAPTURE [RUNS]

#include "bench_run.h"

int main(int argc, char** argv) {
  int runs = 0;
  const std::vector<std::string> args =
      bench::benchArgs(argc, argv, 3, "series_bench EXPORT_EXE CAPTURE LONGER_CAPTURE [RUNS]", 3, runs);
  const std::string& exe = args[0];
  bench::runOnce({exe, args[1]});  // the file into the page cache
  std::vector<double> ratios;
  const auto [plain, series] = bench::bestInTurns({exe, args[1]}, {exe, "--series", args[1]}, runs, ratios);
  const bench::Timing longer = bench::bestInARow({exe, "--series", args[2]}, 1);
  const double ratio = series.seconds / plain.seconds;
  const double memory = static_cast<double>(longer.maxRssKiB) / static_cast<double>(series.maxRssKiB);
  std::printf("plain export           %8.3f s wall, %7ld KiB peak (best of %d)\n", plain.seconds, plain.maxRssKiB,
              runs);
  std::printf("--series               %8.3f s wall, %7ld KiB peak (best of %d)\n", series.seconds, series.maxRssKiB,
              runs);
  std::printf("--series / plain       %8.2f         (target at most 3; turns:", ratio);
  for (const double r : ratios) std::printf(" %.2f", r);
  std::printf(")\n--series / plain, CPU  %8.2f         (user + system time: steadier on a shared machine)\n",
              series.cpuSeconds / plain.cpuSeconds);
  std::printf("--series, longer       %8.3f s wall, %7ld KiB peak\n", longer.seconds, longer.maxRssKiB);
  std::printf("peak longer / shorter  %8.2f         (target about 1)\n", memory);
  const bench::Timing quarter = bench::bestInARow({exe, "--series", "--to", "#15", args[1]}, runs);
  const bench::Timing middle = bench::bestInARow({exe, "--series", "--from", "#23", "--to", "#37", args[1]}, runs);
  const double read = static_cast<double>(quarter.readBytes) / static_cast<double>(series.readBytes);
  std::printf("--series --to #15      %8.3f s wall, %lld of %lld bytes read: %.2f (target about 0.25)\n",
              quarter.seconds, quarter.readBytes, series.readBytes, read);
  std::printf("--from #23 --to #37    %8.3f s wall, %.2f of the bytes read (the reading ends with #37 of 60)\n",
              middle.seconds, static_cast<double>(middle.readBytes) / static_cast<double>(series.readBytes));
  return ratio <= 3.0 && memory <= 1.25 && read <= 0.3 ? 0 : 3;
}
