// What the benchmarks share: running a program and taking its time and memory.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace bench {

/// Seconds of wall time since `start`.
inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Timing {
  double seconds = 0;
  double cpuSeconds = 0;  // user + system time of the child
  long maxRssKiB = 0;
  long long readBytes = -1;  // what the child read ("rchar" of /proc/PID/io), -1 when unknown
  int status = -1;
};

/// The bytes the exited (not yet reaped) child `pid` read, or -1.
inline long long childReadBytes(pid_t pid) {
  siginfo_t info{};
  if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0) return -1;
  std::FILE* io = std::fopen(("/proc/" + std::to_string(pid) + "/io").c_str(), "r");
  if (io == nullptr) return -1;
  long long bytes = -1;
  char name[32];
  long long value = 0;
  while (std::fscanf(io, "%31s %lld", name, &value) == 2)
    if (std::string(name) == "rchar:") bytes = value;
  std::fclose(io);
  return bytes;
}

/// The command line of a benchmark: `count` arguments, then an optional number of runs
/// (`runs`: at least 1, `defaultRuns` when left out). Prints `usage` and exits with 2 when
/// arguments are missing.
inline std::vector<std::string> benchArgs(int argc, char** argv, int count, const char* usage, int defaultRuns,
                                          int& runs) {
  if (argc < count + 1) {
    std::fprintf(stderr, "usage: %s\n", usage);
    std::exit(2);
  }
  runs = argc > count + 1 ? std::max(1, std::atoi(argv[count + 1])) : defaultRuns;
  return {argv + 1, argv + count + 1};
}

/// Runs argv with stdout and stderr going to /dev/null; wall time and the child's rusage.
inline Timing runOnce(const std::vector<std::string>& args) {
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
  t.readBytes = childReadBytes(pid);
  struct rusage usage {};
  int status = 0;
  if (::wait4(pid, &status, 0, &usage) != pid) {
    std::perror("wait4");
    std::exit(1);
  }
  t.seconds = secondsSince(start);
  posix_spawn_file_actions_destroy(&actions);
  t.maxRssKiB = usage.ru_maxrss;
  auto secs = [](const timeval& tv) { return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1e6; };
  t.cpuSeconds = secs(usage.ru_utime) + secs(usage.ru_stime);
  t.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return t;
}

/// Best wall time of `runs` runs in a row; largest RSS.
inline Timing bestInARow(const std::vector<std::string>& args, int runs) {
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
    b.readBytes = std::max(b.readBytes, t.readBytes);
    b.status = 0;
  }
  return b;
}

/// Best wall time of `runs` runs of each command, the runs taken in turns so that both
/// see the same machine (a shared machine speeds up and slows down over seconds); largest
/// RSS. `ratios` gets b's time over a's for each turn.
inline std::pair<Timing, Timing> bestInTurns(const std::vector<std::string>& a, const std::vector<std::string>& b,
                                             int runs, std::vector<double>& ratios) {
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
      best->readBytes = std::max(best->readBytes, t.readBytes);
      best->status = 0;
    }
    ratios.push_back(tb.seconds / ta.seconds);
  }
  return {ba, bb};
}

}  // namespace bench
