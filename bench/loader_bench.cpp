// Times `tarvolin-export --all-columns REPORT > /dev/null` against `wc -l REPORT` on the
// same file in the same run, and reports the exporter's peak resident memory.
// Usage: loader_bench EXPORT_EXE REPORT [RUNS]

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Timing {
  double seconds = 0;
  double cpuSeconds = 0;  // user + system time of the child
  long maxRssKiB = 0;
  int status = -1;
};

/// Runs argv with stdout and stderr going to /dev/null; wall time and the child's rusage.
Timing runOnce(const std::vector<std::string>& args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  Timing t;
  pid_t pid = 0;
  const auto start = std::chrono::steady_clock::now();
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::perror(argv[0]);
    std::exit(1);
  }
  struct rusage usage {};
  int status = 0;
  if (::wait4(pid, &status, 0, &usage) != pid) {
    std::perror("wait4");
    std::exit(1);
  }
  t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  t.maxRssKiB = usage.ru_maxrss;
  auto secs = [](const timeval& tv) { return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1e6; };
  t.cpuSeconds = secs(usage.ru_utime) + secs(usage.ru_stime);
  t.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return t;
}

/// Best wall time of `runs` runs in a row; largest RSS.
Timing bestInARow(const std::vector<std::string>& args, int runs) {
  Timing b;
  b.seconds = b.cpuSeconds = 1e30;
  for (int i = 0; i < runs; ++i) {
    const Timing t = runOnce(args);
    if (t.status != 0) {
      std::fprintf(stderr, "%s exited with %d\n", args[0].c_str(), t.status);
      std::exit(1);
    }
    b.seconds = std::min(b.seconds, t.seconds);
    b.cpuSeconds = std::min(b.cpuSeconds, t.cpuSeconds);
    b.maxRssKiB = std::max(b.maxRssKiB, t.maxRssKiB);
    b.status = 0;
  }
  return b;
}

/// Best wall time of `runs` runs of each command, the runs taken in turns so that both
/// see the same machine (a shared machine speeds up and slows down over seconds); largest
/// RSS. `ratios` gets b's time over a's for each turn.
std::pair<Timing, Timing> bestInTurns(const std::vector<std::string>& a, const std::vector<std::string>& b, int runs,
                                      std::vector<double>& ratios) {
  Timing ba;
  Timing bb;
  ba.seconds = bb.seconds = 1e30;
  ba.cpuSeconds = bb.cpuSeconds = 1e30;
  for (int i = 0; i < runs; ++i) {
    const Timing ta = runOnce(a);
    const Timing tb = runOnce(b);
    for (const auto& [t, args] : {std::pair{ta, &a}, std::pair{tb, &b}})
      if (t.status != 0) {
        std::fprintf(stderr, "%s exited with %d\n", (*args)[0].c_str(), t.status);
        std::exit(1);
      }
    for (auto [t, best] : {std::pair{ta, &ba}, std::pair{tb, &bb}}) {
      best->seconds = std::min(best->seconds, t.seconds);
      best->cpuSeconds = std::min(best->cpuSeconds, t.cpuSeconds);
      best->maxRssKiB = std::max(best->maxRssKiB, t.maxRssKiB);
      best->status = 0;
    }
    ratios.push_back(tb.seconds / ta.seconds);
  }
  return {ba, bb};
}

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
  if (argc < 3) {
    std::fprintf(stderr, "usage: loader_bench EXPORT_EXE REPORT [RUNS]\n");
    return 2;
  }
  const std::string exe = argv[1];
  const std::string report = argv[2];
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
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
